#include "app/main_window_design.h"

#include "course/service_host.h"
#include "text/gbk_literals.h"

namespace merravine {

using platform::ColumnDesign;
using platform::ControlDesign;
using platform::ControlId;
using platform::ControlKind;

namespace {

ControlDesign Control(ControlId id, ControlKind kind, int left, int top, int width, int height,
                      bool visible, bool tabStop, Text text) {
  ControlDesign c;
  c.id = id;
  c.kind = kind;
  c.left = left;
  c.top = top;
  c.width = width;
  c.height = height;
  c.visible = visible;
  c.tabStop = tabStop;
  c.text = std::move(text);
  return c;
}

}  // namespace

platform::WindowDesign MainWindowDesign() {
  platform::WindowDesign design;
  design.caption = Text(gbk::窗口标题);
  design.outerWidth = 535;
  design.outerHeight = 446;

  // In creation order, which is also the tab order of the visible controls.
  design.controls.push_back(Control(ControlId::标签1, ControlKind::Label, 4, 8, 64, 24, true, false,
                                    Text(gbk::课程地址冒号)));
  design.controls.push_back(Control(ControlId::编辑框1, ControlKind::EditBox, 64, 8, 392, 24, true,
                                    true, DefaultCourseAddress()));
  design.controls.push_back(Control(ControlId::按钮1, ControlKind::PushButton, 464, 8, 56, 24, true,
                                    true, Text(gbk::下载)));

  ControlDesign list =
      Control(ControlId::超级列表框1, ControlKind::ListView, -1, 40, 528, 304, true, true, Text());
  list.columns = {ColumnDesign{Text(gbk::课程名称), 500}, ColumnDesign{Text(gbk::课程地址), 50}};
  design.controls.push_back(std::move(list));

  // The two accumulator boxes of the copy-all commands: never shown, under the list.
  ControlDesign titlesBox =
      Control(ControlId::编辑框2, ControlKind::EditBox, 112, 248, 120, 48, false, true, Text());
  titlesBox.multiline = true;
  design.controls.push_back(std::move(titlesBox));
  ControlDesign addressesBox =
      Control(ControlId::编辑框3, ControlKind::EditBox, 312, 248, 144, 56, false, true, Text());
  addressesBox.multiline = true;
  design.controls.push_back(std::move(addressesBox));

  ControlDesign counter =
      Control(ControlId::标签2, ControlKind::Label, 25, 352, 480, 32, true, false, Text());
  counter.textColor = 0xFF0000;
  counter.centred = true;
  counter.fontHeight = 24;
  counter.gb2312 = true;
  design.controls.push_back(std::move(counter));

  design.menuCaption = Text(gbk::复制);
  design.menu = {
      {Text(gbk::复制选中课程), kCopySelectedTitle},
      {Text(gbk::复制全部课程), kCopyAllTitles},
      {Text(gbk::复制选中地址), kCopySelectedAddress},
      {Text(gbk::复制全部地址), kCopyAllAddresses},
  };
  return design;
}

}  // namespace merravine
