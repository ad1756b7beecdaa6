// The list view of the main window: report view with a header, grid lines and
// single full-row selection.
#pragma once

#include <functional>

#include "platform/window.h"

class QWidget;

namespace platform::qt {

// Makes the list view from its design; rightClicked runs for a right click
// anywhere in its rows area.
QWidget* MakeListView(const ControlDesign& design, QWidget* parent,
                      std::function<void()> rightClicked);

}  // namespace platform::qt
