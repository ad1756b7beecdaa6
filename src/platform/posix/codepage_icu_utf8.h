// The well-formed stretch of UTF-8 input, decoded without ICU (internal to the
// ICU code-page layer).
#pragma once

#include <cstddef>

namespace platform::icu_utf8 {

// Decodes UTF-8 from `source` up to the first byte that does not begin a
// well-formed character, the last three bytes, or the last few units of
// `capacity`. Writes the units to `destination` unless it is null, in which
// case it only counts them. Returns the number of bytes consumed and sets
// `units` to the number of UTF-16 units they make; the rest is left to ICU.
std::size_t DecodeWellFormed(const char* source, std::size_t length, char16_t* destination,
                             std::size_t capacity, std::size_t* units);

}  // namespace platform::icu_utf8
