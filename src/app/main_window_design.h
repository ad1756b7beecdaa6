// The design of the main window: every control with its kind, position, size,
// text and look, the list's columns and the pop-up menu. Each window backend
// builds the window from this data.
#pragma once

#include "platform/window.h"

namespace merravine {

// The commands of the pop-up menu, as WindowEvents::menuChosen reports them.
enum MenuCommand : int {
  kCopySelectedTitle = 1,
  kCopyAllTitles = 2,
  kCopySelectedAddress = 3,
  kCopyAllAddresses = 4,
};

platform::WindowDesign MainWindowDesign();

}  // namespace merravine
