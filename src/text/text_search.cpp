// Searches, replacement and splitting: everything that looks for a needle
// along the character walk.
#include "text/text.h"
#include "text/text_scan.h"

namespace merravine {

using text_scan::kNone;
using text_scan::NextMatch;

int TextFind(const Text& t, const Text& needle, std::optional<int> start, bool ignoreCase) {
  const std::string_view hay = t.View();
  // Start 2..length begins exactly there, even on a second byte, which the
  // walk then reads as a first byte.
  const std::size_t from = start && *start > 1 ? static_cast<std::size_t>(*start) - 1 : 0;
  if (from >= hay.size()) return -1;
  // An empty needle is found at 1, not at the start, whenever the region holds a byte.
  if (needle.View().empty()) return 1;
  const std::size_t p = NextMatch(hay, from, needle.View(), ignoreCase);
  return p == kNone ? -1 : static_cast<int>(p) + 1;
}

int TextFindLast(const Text& t, const Text& needle, bool ignoreCase) {
  const std::string_view hay = t.View();
  if (hay.empty()) return -1;
  if (needle.View().empty()) return 1;
  std::size_t last = kNone;
  // Matches may overlap: the walk moves on by one character after a match.
  for (std::size_t p = NextMatch(hay, 0, needle.View(), ignoreCase); p != kNone;
       p = NextMatch(hay, p + text_scan::CharLength(hay, p), needle.View(), ignoreCase)) {
    last = p;
  }
  return last == kNone ? -1 : static_cast<int>(last) + 1;
}

Text TextReplace(const Text& t, const Text& find, const Text& replacement, bool caseSensitive) {
  const std::string_view hay = t.View();
  const std::string_view needle = find.View();
  if (hay.empty() || needle.empty()) return t;
  std::string out;
  std::size_t at = 0;
  for (std::size_t p = NextMatch(hay, 0, needle, !caseSensitive); p != kNone;
       p = NextMatch(hay, at, needle, !caseSensitive)) {
    out.append(hay.substr(at, p - at));
    out.append(replacement.View());
    at = p + needle.size();  // replaced text is never searched again
  }
  std::string_view rest = hay.substr(at);
  // The walk drops a dangling lead byte that it reaches as a character of its
  // own; with a needle of two bytes or more the last byte is part of the
  // unsearched tail instead, and stays.
  if (needle.size() == 1 && !rest.empty() && text_scan::IsLeadByte(rest.back())) {
    std::size_t p = at;
    while (p + 1 < hay.size()) p += text_scan::CharLength(hay, p);
    if (p == hay.size() - 1) rest.remove_suffix(1);
  }
  out.append(rest);
  return Text::Result(std::move(out));
}

TextList TextSplit(const Text& t, const Text& separator) {
  TextList list;
  const std::string_view hay = t.View();
  const std::string_view sep = separator.View();
  if (hay.empty()) return list;
  if (sep.empty()) {
    list.Append(t);
    return list;
  }
  std::size_t pieceStart = 0;
  for (std::size_t p = NextMatch(hay, 0, sep, false); p != kNone;
       p = NextMatch(hay, pieceStart, sep, false)) {
    list.Append(Text::Result(hay.substr(pieceStart, p - pieceStart)));
    pieceStart = p + sep.size();
  }
  if (pieceStart < hay.size()) list.Append(Text::Result(hay.substr(pieceStart)));
  return list;
}

}  // namespace merravine
