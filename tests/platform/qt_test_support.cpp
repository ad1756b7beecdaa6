#include "qt_test_support.h"

#include <memory>

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "platform/posix/window_qt.h"

namespace merravine::testing {

namespace {

// Polls every few milliseconds from whatever event loop runs (a modal box or
// a menu runs its own), until found() yields a widget; then act runs once.
template <typename Widget>
void WhenOpen(std::function<Widget*()> find, std::function<void(Widget&)> act) {
  QTimer* timer = std::make_unique<QTimer>(QCoreApplication::instance()).release();  // app owns it
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, timer,
                   [timer, find = std::move(find), act = std::move(act)] {
                     Widget* widget = find();
                     if (widget == nullptr || !widget->isVisible()) return;
                     timer->stop();
                     timer->deleteLater();  // after act, which may run a nested loop
                     act(*widget);
                   });
  timer->start();
}

}  // namespace

void WhenNoticeOpens(std::function<void(QMessageBox&)> inspect) {
  WhenOpen<QMessageBox>(
      [] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); },
      std::move(inspect));
}

void WhenPopupOpens(std::function<void(QMenu&)> inspect) {
  WhenOpen<QMenu>([] { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); },
                  std::move(inspect));
}

void ChooseFromPopup(QMenu& menu, int index, PopupSeen& seen, Qt::MouseButton button) {
  seen.shown = true;
  seen.topLeft = menu.pos();
  seen.items.clear();
  for (const QAction* action : menu.actions()) seen.items << action->text();
  if (index < 0 || index >= menu.actions().size()) {
    QTest::keyClick(&menu, Qt::Key_Escape);
    return;
  }
  const QPoint centre = menu.actionGeometry(menu.actions()[index]).center();
  QTest::mouseMove(&menu, centre);
  QTest::mouseClick(&menu, button, Qt::NoModifier, centre);
}

void RightClickList(QWidget& list, QPoint at) {
  auto* view = list.findChild<QWidget*>(QStringLiteral("qt_scrollarea_viewport"));
  QWidget& target = view != nullptr ? *view : list;
  QTest::mouseClick(&target, Qt::RightButton, Qt::NoModifier, at);
  QContextMenuEvent event(QContextMenuEvent::Mouse, at, target.mapToGlobal(at));
  QApplication::sendEvent(&target, &event);
}

bool WaitFor(const std::function<bool()>& done, int timeoutMs) {
  return QTest::qWaitFor(done, timeoutMs);
}

QWidget& ControlWidget(platform::ControlId id) {
  QWidget* widget = platform::qt::Control(id);
  if (widget == nullptr) throw std::runtime_error("no such control: is the window there?");
  return *widget;
}

QString ControlString(platform::ControlId id) {
  return platform::qt::ToQString(platform::ControlText(id));
}

Text Gbk(const char* utf8) {
  return platform::qt::FromQString(QString::fromUtf8(utf8));
}

}  // namespace merravine::testing

void PrintTo(const QString& value, std::ostream* out) {
  *out << '"' << value.toStdString() << '"';
}

void PrintTo(const QStringList& value, std::ostream* out) {
  *out << '{';
  for (const QString& item : value) {
    PrintTo(item, out);
    *out << ' ';
  }
  *out << '}';
}

void PrintTo(const QPoint& value, std::ostream* out) {
  *out << '(' << value.x() << ", " << value.y() << ')';
}

// One offscreen application for the whole run, made before any test and
// destroyed after the last one.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  QApplication application(argc, argv);
  return RUN_ALL_TESTS();
}
