// Deterministic inputs for the text benchmarks: mixed code page 936 text
// (ASCII words, common Chinese characters, and characters whose second byte
// is an ASCII letter) and the same kind of text in UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace merravine::bench {

// The 16-byte needle that TextFind looks for; it occurs once, at the very end.
inline constexpr std::string_view kNeedle =
    "\xB5\xDA"
    "lesson_0042"
    "\xBF\xCE"
    "$";

// `size` bytes of mixed GBK text in lines ending in "\r\n", with `kNeedle` as
// the last bytes, "play_" at the start and ".shtml" before the needle.
const std::string& MixedGbk(std::size_t size);

// About `size` bytes of UTF-8 text with Chinese and ASCII mixed in short
// random pieces: the worst case for branch prediction.
const std::string& MixedUtf8(std::size_t size);

// About `size` bytes of UTF-8 shaped like a course-list answer: lesson records
// with ASCII keys and addresses and Chinese titles.
const std::string& AnswerUtf8(std::size_t size);

}  // namespace merravine::bench
