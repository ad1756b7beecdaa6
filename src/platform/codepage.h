// The code-page conversion calls, with the parameter lists and results of the
// kernel32 functions of the same names. On Windows they are those functions;
// elsewhere they are our own layer over ICU that behaves like them, with code
// page 936 as the system's ANSI code page.
//
// Behaviour the callers rely on (flags 0):
// - source length -1 reads the source up to and including its terminator, and
//   the result counts the converted terminator;
// - destination size 0 asks for the size the conversion needs and writes nothing;
// - a destination too small for the whole result gives 0;
// - a null source or a source length of 0 gives 0;
// - invalid UTF-8 becomes U+FFFD; a character that the target code page cannot
//   hold becomes its default character ('?' for 936); code page 936 maps 0x80
//   to the euro sign, as Windows does.
#pragma once

#include <cstdint>

namespace platform {

using CodePage = std::uint32_t;

inline constexpr CodePage kCodePageAnsi = 0;  // the system's ANSI code page
inline constexpr CodePage kCodePageUtf8 = 65001;
inline constexpr CodePage kCodePageGbk = 936;

// Multi-byte text of `codePage` to UTF-16. Returns the number of UTF-16 units
// written (or needed, when destinationSize is 0); 0 on failure.
int MultiByteToWideChar(CodePage codePage, std::uint32_t flags, const char* source,
                        int sourceLength, char16_t* destination, int destinationSize);

// UTF-16 to multi-byte text of `codePage`. Returns the number of bytes written
// (or needed, when destinationSize is 0); 0 on failure. `defaultChar`, when
// not null, replaces characters the code page cannot hold; `usedDefaultChar`,
// when not null, is set to whether that happened. Both must be null for UTF-8.
int WideCharToMultiByte(CodePage codePage, std::uint32_t flags, const char16_t* source,
                        int sourceLength, char* destination, int destinationSize,
                        const char* defaultChar, bool* usedDefaultChar);

}  // namespace platform
