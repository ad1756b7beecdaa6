// Conversion between code pages through UTF-16, over the platform's code-page
// calls. The UTF-16 value between the stages is a Bytes of little-endian
// 16-bit units, the terminating zero unit included.
#pragma once

#include "text/text.h"

namespace merravine {

inline constexpr int kCodePageAnsi = 0;  // the system's ANSI code page (936 on Linux)
inline constexpr int kCodePageUtf8 = 65001;
inline constexpr int kCodePageGbk = 936;

// UTF-8 bytes to code page 936 text.
Text Utf8ToGbk(const Text& t);

// Text of `codePage` to UTF-16 units, terminator included; empty for an empty t.
Bytes MultiToWide(const Text& t, int codePage = kCodePageUtf8);

// UTF-16 units, read up to the first zero unit, to text of `codePage`.
Text WideToMulti(const Bytes& w, int codePage = kCodePageAnsi);

}  // namespace merravine
