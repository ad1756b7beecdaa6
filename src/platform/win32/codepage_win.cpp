// The code-page calls are kernel32's own; this file only passes them through,
// with UTF-16 as wchar_t (16 bits on Windows).
#include <windows.h>

#include "platform/codepage.h"

namespace platform {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 units are wchar_t on Windows");

int MultiByteToWideChar(CodePage codePage, std::uint32_t flags, const char* source,
                        int sourceLength, char16_t* destination, int destinationSize) {
  return ::MultiByteToWideChar(codePage, flags, source, sourceLength,
                               reinterpret_cast<wchar_t*>(destination), destinationSize);
}

int WideCharToMultiByte(CodePage codePage, std::uint32_t flags, const char16_t* source,
                        int sourceLength, char* destination, int destinationSize,
                        const char* defaultChar, bool* usedDefaultChar) {
  BOOL used = FALSE;
  const int result = ::WideCharToMultiByte(
      codePage, flags, reinterpret_cast<const wchar_t*>(source), sourceLength, destination,
      destinationSize, defaultChar, usedDefaultChar != nullptr ? &used : nullptr);
  if (usedDefaultChar != nullptr) *usedDefaultChar = used != FALSE;
  return result;
}

}  // namespace platform
