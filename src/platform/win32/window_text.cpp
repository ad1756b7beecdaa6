// Text at the window system's boundary: code page 936 and UTF-8 to UTF-16 and
// back, through the code-page facility (the kernel32 calls, flags 0).
#include "platform/codepage.h"
#include "platform/win32/window_win32.h"

namespace platform::win32 {

namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 wide characters");

std::wstring ToWide(CodePage codePage, std::string_view bytes) {
  if (bytes.empty()) return {};
  const int length = static_cast<int>(bytes.size());
  const int needed = platform::MultiByteToWideChar(codePage, 0, bytes.data(), length, nullptr, 0);
  if (needed <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(needed), L'\0');
  platform::MultiByteToWideChar(codePage, 0, bytes.data(), length,
                                reinterpret_cast<char16_t*>(wide.data()), needed);
  return wide;
}

std::string FromWide(CodePage codePage, const wchar_t* wide, int length) {
  if (wide == nullptr || length <= 0) return {};
  const auto* units = reinterpret_cast<const char16_t*>(wide);
  const int needed =
      platform::WideCharToMultiByte(codePage, 0, units, length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return {};
  std::string bytes(static_cast<std::size_t>(needed), '\0');
  platform::WideCharToMultiByte(codePage, 0, units, length, bytes.data(), needed, nullptr, nullptr);
  return bytes;
}

}  // namespace

std::wstring WideFrom936(const Text& text) {
  return ToWide(kCodePageGbk, text.View());
}

Text To936(const wchar_t* wide, int length) {
  return Text::Result(FromWide(kCodePageGbk, wide, length));
}

std::wstring WideFromUtf8(std::string_view utf8) {
  return ToWide(kCodePageUtf8, utf8);
}

std::string Utf8FromWide(const wchar_t* wide, int length) {
  return FromWide(kCodePageUtf8, wide, length);
}

}  // namespace platform::win32
