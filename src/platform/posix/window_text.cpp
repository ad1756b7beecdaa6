// Text crosses into Qt as UTF-16 converted explicitly from code page 936, and
// comes back converted to 936, through the code-page facility; the process
// locale plays no part.
#include <string>

#include <QString>

#include "platform/codepage.h"
#include "platform/posix/window_qt.h"

namespace platform::qt {

QString ToQString(const Text& text) {
  if (text.Length() == 0) return {};
  // A byte never makes more than one UTF-16 unit.
  QString result(text.Length(), Qt::Uninitialized);
  const int length = MultiByteToWideChar(kCodePageGbk, 0, text.View().data(), text.Length(),
                                         reinterpret_cast<char16_t*>(result.data()), text.Length());
  result.truncate(length);
  return result;
}

Text FromQString(const QString& text) {
  if (text.isEmpty()) return {};
  const auto* source = reinterpret_cast<const char16_t*>(text.constData());
  const int units = static_cast<int>(text.size());
  // A UTF-16 unit never makes more than two bytes of 936.
  std::string bytes(static_cast<std::size_t>(units) * 2, '\0');
  const int length = WideCharToMultiByte(kCodePageGbk, 0, source, units, bytes.data(),
                                         static_cast<int>(bytes.size()), nullptr, nullptr);
  bytes.resize(static_cast<std::size_t>(length));
  return Text::Result(std::move(bytes));
}

}  // namespace platform::qt
