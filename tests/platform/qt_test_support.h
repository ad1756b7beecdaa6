// Helpers of the Qt window tests: the offscreen application, driving the modal
// notice and the pop-up menu, which block the main thread while they are open,
// and reaching the controls.
#pragma once

#include <functional>
#include <ostream>

#include <QPoint>
#include <QString>
#include <QStringList>

#include "platform/window.h"

class QMessageBox;
class QMenu;
class QWidget;

namespace merravine::testing {

// Runs inspect on the notice box as soon as it is open (polling from the
// event loop that the box itself runs); inspect must dismiss it.
void WhenNoticeOpens(std::function<void(QMessageBox&)> inspect);

// What a pop-up menu showed, and where.
struct PopupSeen {
  bool shown = false;
  QStringList items;
  QPoint topLeft;
};

// Runs inspect on the pop-up menu as soon as it is open; inspect must close it
// (choose an item, or dismiss it).
void WhenPopupOpens(std::function<void(QMenu&)> inspect);

// Chooses item `index` (from 0) of an open menu with a click of `button`, or
// dismisses it with Esc when index is negative; records what was shown.
void ChooseFromPopup(QMenu& menu, int index, PopupSeen& seen,
                     Qt::MouseButton button = Qt::LeftButton);

// A right click in the list's rows area, as the window system delivers it.
void RightClickList(QWidget& list, QPoint at);

// Processes events until done() holds or the time is up; the result of done().
bool WaitFor(const std::function<bool()>& done, int timeoutMs = 20000);

QWidget& ControlWidget(platform::ControlId id);
// The control's text, converted from code page 936.
QString ControlString(platform::ControlId id);
// UTF-8 text as code page 936 Text.
Text Gbk(const char* utf8);

}  // namespace merravine::testing

// Readable failure messages for Qt values.
void PrintTo(const QString& value, std::ostream* out);
void PrintTo(const QStringList& value, std::ostream* out);
void PrintTo(const QPoint& value, std::ostream* out);
