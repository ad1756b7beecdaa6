// The clipboard: the text as Unicode (converted from code page 936) and, for
// readers that ask for it, as its code page 936 bytes.
#include <memory>

#include <QByteArray>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "platform/posix/window_qt.h"

namespace platform {

bool SetClipboardText(const Text& text) {
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return false;
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (clipboard == nullptr) return false;
  auto data = std::make_unique<QMimeData>();
  data->setText(qt::ToQString(text));
  data->setData(QStringLiteral("text/plain;charset=GBK"),
                QByteArray(text.View().data(), static_cast<qsizetype>(text.View().size())));
  clipboard->setMimeData(data.release());  // the clipboard owns it
  return true;
}

}  // namespace platform
