// UTF-16 to code page 936 by a table of ICU's own "windows-936" mapping, one
// UTF-16 unit at a time (internal to the ICU code-page layer).
#pragma once

namespace platform::icu_gbk {

// Like WideCharToMultiByte for code page 936 with flags 0: a source length of
// -1 reads up to and including the terminator; a unit that code page 936
// lacks (a surrogate included) becomes `defaultChar`, and `usedDefault` tells
// whether that happened. Returns -1 when ICU has no table for code page 936.
int FromUnicode(const char16_t* source, int sourceLength, char* destination, int destinationSize,
                char defaultChar, bool* usedDefault);

}  // namespace platform::icu_gbk
