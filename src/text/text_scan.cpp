#include "text/text_scan.h"

namespace merravine::text_scan {

bool MatchesAt(std::string_view hay, std::size_t p, std::string_view needle, bool ignoreCase) {
  if (!ignoreCase) return hay.substr(p, needle.size()) == needle;
  for (std::size_t i = 0; i < needle.size(); ++i) {
    if (FoldAsciiUpper(static_cast<unsigned char>(hay[p + i])) !=
        FoldAsciiUpper(static_cast<unsigned char>(needle[i]))) {
      return false;
    }
  }
  return true;
}

namespace {

// Case-sensitive search: the library's byte search finds candidates, and each
// one is checked against the character walk without walking the whole text. A
// byte below 0x80 is never a lead byte, so the position after it is always a
// boundary; from there, a run of k lead-range bytes ends on a boundary exactly
// when k is even. `known` only moves forward, so the backward look is bounded
// by the distance covered since the previous candidate.
std::size_t NextExactMatch(std::string_view hay, std::size_t from, std::string_view needle) {
  std::size_t known = from;
  std::size_t p = from;
  for (;;) {
    p = hay.find(needle, p);
    if (p == kNone) return kNone;
    std::size_t q = p;
    while (q > known && IsLeadByte(hay[q - 1])) --q;
    if ((p - q) % 2 == 0) return p;
    // p is the second byte of the character at p - 1.
    known = p + 1;
    p = p + 1;
  }
}

std::size_t NextFoldedMatch(std::string_view hay, std::size_t from, std::string_view needle) {
  const std::size_t n = needle.size();
  for (std::size_t p = from; p < hay.size() && hay.size() - p >= n; p += CharLength(hay, p)) {
    if (MatchesAt(hay, p, needle, true)) return p;
  }
  return kNone;
}

}  // namespace

std::size_t NextMatch(std::string_view hay, std::size_t from, std::string_view needle,
                      bool ignoreCase) {
  if (from >= hay.size() || hay.size() - from < needle.size()) return kNone;
  return ignoreCase ? NextFoldedMatch(hay, from, needle) : NextExactMatch(hay, from, needle);
}

}  // namespace merravine::text_scan
