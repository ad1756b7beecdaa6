// The notice: a message box with only OK, no icon and no owner, modal to the
// whole application; OK, Return, Esc and the close button all dismiss it.
#include <QMessageBox>

#include "platform/posix/window_qt.h"

namespace platform {

void ShowNotice(const Text& text, const Text& caption) {
  if (!qt::EnsureApplication()) return;
  QMessageBox box;
  box.setIcon(QMessageBox::NoIcon);
  box.setWindowTitle(qt::ToQString(caption));
  box.setTextFormat(Qt::PlainText);
  box.setText(qt::ToQString(text));
  box.setStandardButtons(QMessageBox::Ok);
  box.setDefaultButton(QMessageBox::Ok);
  box.setEscapeButton(QMessageBox::Ok);
  box.setWindowModality(Qt::ApplicationModal);
  box.exec();
}

}  // namespace platform
