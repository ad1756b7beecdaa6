// Text crosses into automation objects as UTF-16 converted from code page 936,
// named explicitly, so the result does not depend on the system's ANSI code
// page (on a Chinese system the two are the same).
#include <climits>
#include <string>

#include "platform/automation/invoke.h"
#include "platform/codepage.h"

namespace platform::detail {

// Both directions convert once into a buffer as large as code page 936 can
// need (a unit a byte one way, two bytes a unit the other), and count first
// only when that was not enough: a course answer is a megabyte, and counting
// would decode it twice.
std::u16string WideFromText(const Text& text) {
  if (text.Length() == 0 || text.Str().size() >= static_cast<std::size_t>(INT_MAX)) return {};
  const char* source = text.Str().c_str();
  std::u16string wide(text.Str().size() + 1, u'\0');
  int written =
      MultiByteToWideChar(kCodePageGbk, 0, source, -1, wide.data(), static_cast<int>(wide.size()));
  if (written <= 0) {
    const int needed = MultiByteToWideChar(kCodePageGbk, 0, source, -1, nullptr, 0);
    if (needed <= 1) return {};
    wide.assign(static_cast<std::size_t>(needed), u'\0');
    written = MultiByteToWideChar(kCodePageGbk, 0, source, -1, wide.data(), needed);
  }
  wide.resize(written > 0 ? static_cast<std::size_t>(written - 1) : 0);  // drop the terminator
  return wide;
}

Text TextFromWide(std::u16string_view wide) {
  if (wide.empty() || wide.size() >= static_cast<std::size_t>(INT_MAX / 2)) return {};
  const std::u16string source(wide);  // NUL-terminated for the length -1 form
  std::string bytes(2 * source.size() + 1, '\0');
  int written = WideCharToMultiByte(kCodePageGbk, 0, source.c_str(), -1, bytes.data(),
                                    static_cast<int>(bytes.size()), nullptr, nullptr);
  if (written <= 0) {
    const int needed =
        WideCharToMultiByte(kCodePageGbk, 0, source.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (needed <= 1) return {};
    bytes.assign(static_cast<std::size_t>(needed), '\0');
    written = WideCharToMultiByte(kCodePageGbk, 0, source.c_str(), -1, bytes.data(), needed,
                                  nullptr, nullptr);
  }
  bytes.resize(written > 0 ? static_cast<std::size_t>(written - 1) : 0);
  return Text::Result(std::move(bytes));
}

}  // namespace platform::detail
