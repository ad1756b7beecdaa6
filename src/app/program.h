// The program's frame: start-up, the window's handlers, the message loop.
#pragma once

#include "platform/window.h"

namespace merravine {

// Creates the global state, registers its release for program end, creates
// the main window and runs the message loop until the window is gone. Yields
// the process's exit status: 0, or 1 when the window could not be created.
int RunProgram();

// The notice that greets the user before the main window appears.
void ShowStartupNotice();

// The list's right-click: pops up the copy menu.
void OnListRightClick();

// Runs the copy command of a pop-up menu item; unknown commands do nothing.
void OnMenuCommand(int command);

// The handlers of the main window, wired to the routines above.
platform::WindowEvents MainWindowEvents();

}  // namespace merravine
