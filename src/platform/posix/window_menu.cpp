// The pop-up menu: built anew from the design at each right click and shown
// 3 pixels right of and below the mouse cursor.
#include <QAction>
#include <QCursor>
#include <QMenu>
#include <QMetaObject>
#include <QPoint>

#include "platform/posix/window_qt.h"

namespace platform {

void ShowPopupMenu() {
  QWidget* window = qt::MainWidget();
  const WindowDesign* design = qt::Design();
  if (window == nullptr || design == nullptr) return;

  QMenu menu(window);
  for (const MenuItemDesign& item : design->menu) {
    QAction* action = menu.addAction(qt::ToQString(item.text));
    action->setData(item.command);
  }
  const QAction* chosen = menu.exec(QCursor::pos() + QPoint(3, 3));
  if (chosen == nullptr) return;  // dismissed: nothing runs

  // The chosen command reaches the window after the menu has closed and this
  // call has returned, as a command message would.
  const int command = chosen->data().toInt();
  QMetaObject::invokeMethod(
      window,
      [command] {
        const WindowEvents* events = qt::Events();
        if (events != nullptr && events->menuChosen) events->menuChosen(command);
      },
      Qt::QueuedConnection);
}

}  // namespace platform
