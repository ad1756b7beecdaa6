// Text at the window system's boundary: code page 936 and UTF-8 to UTF-16 and
// back, with the two kernel32 conversion calls.
#include "platform/win32/window_win32.h"

namespace platform::win32 {

namespace {

constexpr UINT kGbk = 936;

std::wstring ToWide(UINT codePage, std::string_view bytes) {
  if (bytes.empty()) return {};
  const int length = static_cast<int>(bytes.size());
  const int needed = MultiByteToWideChar(codePage, 0, bytes.data(), length, nullptr, 0);
  if (needed <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(needed), L'\0');
  MultiByteToWideChar(codePage, 0, bytes.data(), length, wide.data(), needed);
  return wide;
}

std::string FromWide(UINT codePage, const wchar_t* wide, int length) {
  if (wide == nullptr || length <= 0) return {};
  const int needed = WideCharToMultiByte(codePage, 0, wide, length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return {};
  std::string bytes(static_cast<std::size_t>(needed), '\0');
  WideCharToMultiByte(codePage, 0, wide, length, bytes.data(), needed, nullptr, nullptr);
  return bytes;
}

}  // namespace

std::wstring WideFrom936(const Text& text) {
  return ToWide(kGbk, text.View());
}

Text To936(const wchar_t* wide, int length) {
  return Text::Result(FromWide(kGbk, wide, length));
}

std::wstring WideFromUtf8(std::string_view utf8) {
  return ToWide(CP_UTF8, utf8);
}

std::string Utf8FromWide(const wchar_t* wide, int length) {
  return FromWide(CP_UTF8, wide, length);
}

}  // namespace platform::win32
