// What the files of the Qt window backend share: the application object, the
// main window and its controls, the events of the program, and the conversion
// between code page 936 Text and QString.
#pragma once

#include <memory>
#include <utility>

#include <QString>

#include "platform/window.h"

class QWidget;

namespace platform::qt {

// The QApplication of the process: the one that exists already (a test may
// make its own), or one made here and owned until the message loop has ended.
// Null only when none could be made.
QWidget* MainWidget();
bool EnsureApplication();
void ReleaseApplication();

// The control of the main window by its design name; null when there is no
// window.
QWidget* Control(ControlId id);
const WindowDesign* Design();
const WindowEvents* Events();

// Work for the main thread is accepted between OpenDispatch (the window is
// being made) and CloseDispatch (the message loop has ended); CloseDispatch
// drops whatever is still queued without running it.
void OpenDispatch();
void CloseDispatch();

// Explicit code page 936 conversions: the window system sees Unicode, the
// program sees 936 bytes.
QString ToQString(const Text& text);
Text FromQString(const QString& text);

// A widget owned by its Qt parent, which deletes it with itself.
template <typename Widget, typename... Args>
Widget* MakeChild(Args&&... args) {
  return std::make_unique<Widget>(std::forward<Args>(args)...).release();
}

}  // namespace platform::qt
