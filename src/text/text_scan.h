// The character walk shared by the scanning operations (internal to src/text).
//
// A byte of 0x80 or above starts a two-byte character whatever the byte after
// it, so a match may only start where the walk from the scan's origin stands.
#pragma once

#include <cstddef>
#include <string_view>

namespace merravine::text_scan {

inline constexpr std::size_t kNone = std::string_view::npos;

inline bool IsLeadByte(char c) {
  return static_cast<unsigned char>(c) >= 0x80;
}

// Length of the character at p: 1, or 2 for a lead byte (1 for a dangling one).
inline std::size_t CharLength(std::string_view s, std::size_t p) {
  return IsLeadByte(s[p]) && p + 1 < s.size() ? 2 : 1;
}

inline unsigned char FoldAsciiUpper(unsigned char c) {
  return static_cast<unsigned char>(c - 'A') < 26U ? static_cast<unsigned char>(c + 0x20) : c;
}

// Byte comparison at p, folding A-Z on both sides when ignoreCase is set.
bool MatchesAt(std::string_view hay, std::size_t p, std::string_view needle, bool ignoreCase);

// The first position p >= from where the walk that begins at `from` stands and
// from which `needle` (not empty) matches; kNone when there is none. `from`
// must be a character boundary of the caller's walk.
std::size_t NextMatch(std::string_view hay, std::size_t from, std::string_view needle,
                      bool ignoreCase);

}  // namespace merravine::text_scan
