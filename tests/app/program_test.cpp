// Start-up and the wiring of the window's events to the handlers.
#include "app/program.h"

#include <gtest/gtest.h>

#include "app/globals.h"
#include "app/main_window_design.h"
#include "fake_window.h"
#include "text/gbk_literals.h"

namespace merravine {
namespace {

using platform::ControlId;

TEST(RunProgram, ShowsTheNoticeAloneBeforeTheWindowAndReleasesNothingEarly) {
  EXPECT_EQ(RunProgram(), 0);
  const std::vector<std::string> expected = {"created", "notice:Tovrela", "shown"};
  EXPECT_EQ(fake::Log(), expected);
  EXPECT_EQ(fake::NoticeText(), Text(gbk::启动提示));
  EXPECT_NE(g_courseTitles, nullptr);
  EXPECT_NE(g_regex, nullptr);
  ReleaseGlobals();
  EXPECT_EQ(g_courseTitles, nullptr);
  EXPECT_EQ(g_courseUrls, nullptr);
  EXPECT_EQ(g_regex, nullptr);
  ReleaseGlobals();  // a second release finds nothing and does nothing
}

class Wiring : public ::testing::Test {
 protected:
  void SetUp() override {
    InitGlobals();
    fake::Reset(MainWindowDesign());
    g_courseTitles->Append(Text("A"));
    g_courseUrls->Append(Text("a"));
  }
  void TearDown() override {
    fake::CloseQueue();
    fake::JoinThreads();
    ReleaseGlobals();
  }
  platform::WindowEvents events = MainWindowEvents();
};

TEST_F(Wiring, RightClickOnTheListPopsUpTheMenu) {
  events.rightClicked(ControlId::超级列表框1);
  EXPECT_EQ(fake::PopupsShown(), 1);
}

TEST_F(Wiring, EachMenuCommandRunsItsCopyCommand) {
  fake::Select(0);
  const struct {
    int command;
    const char* clipboard;
  } table[] = {{kCopySelectedTitle, "A"},
               {kCopyAllTitles, "A\r\n"},
               {kCopySelectedAddress, "a"},
               {kCopyAllAddresses, "a\r\n"}};
  for (const auto& row : table) {
    events.menuChosen(row.command);
    EXPECT_EQ(fake::Clipboard(), Text(row.clipboard)) << row.command;
  }
  events.menuChosen(99);
  EXPECT_EQ(fake::ClipboardWrites(), 4);
}

TEST_F(Wiring, TheDownloadButtonStartsARetrieval) {
  events.clicked(ControlId::按钮1);
  EXPECT_EQ(fake::ThreadsStarted(), 1);
  EXPECT_FALSE(fake::Enabled(ControlId::按钮1));
}

}  // namespace
}  // namespace merravine
