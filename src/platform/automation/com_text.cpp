// Text crosses into automation objects as UTF-16 converted from code page 936,
// named explicitly, so the result does not depend on the system's ANSI code
// page (on a Chinese system the two are the same).
#include <string>

#include "platform/automation/invoke.h"
#include "platform/codepage.h"

namespace platform::detail {

std::u16string WideFromText(const Text& text) {
  if (text.Length() == 0) return {};
  const char* source = text.Str().c_str();
  const int needed = MultiByteToWideChar(kCodePageGbk, 0, source, -1, nullptr, 0);
  if (needed <= 1) return {};
  std::u16string wide(static_cast<std::size_t>(needed), u'\0');
  const int written = MultiByteToWideChar(kCodePageGbk, 0, source, -1, wide.data(), needed);
  wide.resize(written > 0 ? static_cast<std::size_t>(written - 1) : 0);  // drop the terminator
  return wide;
}

Text TextFromWide(std::u16string_view wide) {
  if (wide.empty()) return {};
  const std::u16string source(wide);  // NUL-terminated for the length -1 form
  const int needed =
      WideCharToMultiByte(kCodePageGbk, 0, source.c_str(), -1, nullptr, 0, nullptr, nullptr);
  if (needed <= 1) return {};
  std::string bytes(static_cast<std::size_t>(needed), '\0');
  const int written = WideCharToMultiByte(kCodePageGbk, 0, source.c_str(), -1, bytes.data(), needed,
                                          nullptr, nullptr);
  bytes.resize(written > 0 ? static_cast<std::size_t>(written - 1) : 0);
  return Text::Result(std::move(bytes));
}

}  // namespace platform::detail
