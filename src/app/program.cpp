#include "app/program.h"

#include <cstdlib>

#include "app/globals.h"
#include "app/main_window_design.h"
#include "course/clipboard_commands.h"
#include "course/fetch_course_list.h"
#include "text/gbk_literals.h"

namespace merravine {

using platform::ControlId;

void ShowStartupNotice() {
  platform::ShowNotice(Text(gbk::启动提示), "Tovrela");
}

void OnListRightClick() {
  platform::ShowPopupMenu();
}

void OnMenuCommand(int command) {
  switch (command) {
    case kCopySelectedTitle:
      CopySelectedTitle();
      break;
    case kCopyAllTitles:
      CopyAllTitles();
      break;
    case kCopySelectedAddress:
      CopySelectedAddress();
      break;
    case kCopyAllAddresses:
      CopyAllAddresses();
      break;
    default:
      break;
  }
}

platform::WindowEvents MainWindowEvents() {
  platform::WindowEvents events;
  events.created = ShowStartupNotice;
  events.clicked = [](ControlId id) {
    if (id == ControlId::按钮1) OnDownloadClick();
  };
  events.rightClicked = [](ControlId id) {
    if (id == ControlId::超级列表框1) OnListRightClick();
  };
  events.menuChosen = OnMenuCommand;
  return events;
}

int RunProgram() {
  InitGlobals();
  // Registered before the window exists, so that the state is released however
  // the program ends from here on; a second call finds nothing to release.
  std::atexit(ReleaseGlobals);
  if (!platform::CreateMainWindow(MainWindowDesign(), MainWindowEvents())) return 1;
  platform::RunMessageLoop();
  return 0;
}

}  // namespace merravine
