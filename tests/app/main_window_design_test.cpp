// The main window's design data: what each backend builds the window from.
#include "app/main_window_design.h"

#include <gtest/gtest.h>

#include "course/service_host.h"
#include "text/gbk_literals.h"

namespace merravine {
namespace {

using platform::ControlDesign;
using platform::ControlId;
using platform::ControlKind;

const ControlDesign& Find(const platform::WindowDesign& design, ControlId id) {
  for (const ControlDesign& control : design.controls) {
    if (control.id == id) return control;
  }
  ADD_FAILURE() << "control missing";
  return design.controls.front();
}

TEST(MainWindowDesign, WindowCaptionAndOuterSize) {
  const auto design = MainWindowDesign();
  EXPECT_EQ(design.caption, Text(gbk::窗口标题));
  EXPECT_EQ(design.caption.View().substr(0, 9), "Merravine");
  EXPECT_EQ(design.outerWidth, 535);
  EXPECT_EQ(design.outerHeight, 446);
}

TEST(MainWindowDesign, EveryControlAtItsPlace) {
  struct Expected {
    ControlId id;
    ControlKind kind;
    int left, top, width, height;
    bool visible, tabStop;
  };
  const Expected table[] = {
      {ControlId::标签1, ControlKind::Label, 4, 8, 64, 24, true, false},
      {ControlId::编辑框1, ControlKind::EditBox, 64, 8, 392, 24, true, true},
      {ControlId::按钮1, ControlKind::PushButton, 464, 8, 56, 24, true, true},
      {ControlId::超级列表框1, ControlKind::ListView, -1, 40, 528, 304, true, true},
      {ControlId::编辑框2, ControlKind::EditBox, 112, 248, 120, 48, false, true},
      {ControlId::编辑框3, ControlKind::EditBox, 312, 248, 144, 56, false, true},
      {ControlId::标签2, ControlKind::Label, 25, 352, 480, 32, true, false},
  };
  const auto design = MainWindowDesign();
  ASSERT_EQ(design.controls.size(), std::size(table));
  for (const Expected& e : table) {
    const ControlDesign& c = Find(design, e.id);
    SCOPED_TRACE(static_cast<int>(e.id));
    EXPECT_EQ(c.kind, e.kind);
    EXPECT_EQ(c.left, e.left);
    EXPECT_EQ(c.top, e.top);
    EXPECT_EQ(c.width, e.width);
    EXPECT_EQ(c.height, e.height);
    EXPECT_EQ(c.visible, e.visible);
    EXPECT_EQ(c.tabStop, e.tabStop);
  }
}

TEST(MainWindowDesign, TextsAndLooks) {
  const auto design = MainWindowDesign();
  EXPECT_EQ(Find(design, ControlId::标签1).text, Text(gbk::课程地址冒号));
  EXPECT_EQ(Find(design, ControlId::按钮1).text, Text(gbk::下载));
  EXPECT_EQ(Find(design, ControlId::编辑框1).text,
            TextJoin(Text("http://"), ServiceHost(), "/play_400004169_19743.shtml"));
  EXPECT_EQ(Find(design, ControlId::标签2).text, Text(""));

  const ControlDesign& counter = Find(design, ControlId::标签2);
  EXPECT_EQ(counter.textColor, 0xFF0000u);
  EXPECT_TRUE(counter.centred);
  EXPECT_EQ(counter.fontHeight, 24);
  EXPECT_TRUE(counter.gb2312);
  EXPECT_FALSE(Find(design, ControlId::标签1).centred);
  EXPECT_EQ(Find(design, ControlId::标签1).textColor, 0x000000u);

  // The accumulator boxes must keep the CR LF of every line.
  EXPECT_TRUE(Find(design, ControlId::编辑框2).multiline);
  EXPECT_TRUE(Find(design, ControlId::编辑框3).multiline);
  EXPECT_FALSE(Find(design, ControlId::编辑框1).multiline);

  const auto& columns = Find(design, ControlId::超级列表框1).columns;
  ASSERT_EQ(columns.size(), 2u);
  EXPECT_EQ(columns[0].caption, Text(gbk::课程名称));
  EXPECT_EQ(columns[0].width, 500);
  EXPECT_EQ(columns[1].caption, Text(gbk::课程地址));
  EXPECT_EQ(columns[1].width, 50);
}

TEST(MainWindowDesign, TheCopyMenuHasItsFourItemsInOrder) {
  const auto design = MainWindowDesign();
  EXPECT_EQ(design.menuCaption, Text(gbk::复制));
  ASSERT_EQ(design.menu.size(), 4u);
  EXPECT_EQ(design.menu[0].text, Text(gbk::复制选中课程));
  EXPECT_EQ(design.menu[0].command, kCopySelectedTitle);
  EXPECT_EQ(design.menu[1].text, Text(gbk::复制全部课程));
  EXPECT_EQ(design.menu[1].command, kCopyAllTitles);
  EXPECT_EQ(design.menu[2].text, Text(gbk::复制选中地址));
  EXPECT_EQ(design.menu[2].command, kCopySelectedAddress);
  EXPECT_EQ(design.menu[3].text, Text(gbk::复制全部地址));
  EXPECT_EQ(design.menu[3].command, kCopyAllAddresses);
}

}  // namespace
}  // namespace merravine
