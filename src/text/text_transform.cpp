// Operations that build a changed copy of a Text: trimming, space removal,
// lower-casing, joining, and the byte order comparison.
#include <cstring>

#include "text/text.h"
#include "text/text_scan.h"

namespace merravine {

namespace {

using text_scan::IsLeadByte;

constexpr unsigned char kWideSpaceByte = 0xA1;  // 0xA1 0xA1 is the double-byte space

bool IsWideSpaceAt(std::string_view s, std::size_t p) {
  return p + 1 < s.size() && static_cast<unsigned char>(s[p]) == kWideSpaceByte &&
         static_cast<unsigned char>(s[p + 1]) == kWideSpaceByte;
}

}  // namespace

Text TextTrim(const Text& t) {
  const std::string_view s = t.View();
  std::size_t begin = 0;
  while (begin < s.size()) {
    if (s[begin] == ' ') {
      ++begin;
    } else if (IsWideSpaceAt(s, begin)) {
      begin += 2;
    } else {
      break;
    }
  }
  std::size_t end = begin;  // end of the last character that is not a blank
  std::size_t p = begin;
  while (p < s.size()) {
    if (IsLeadByte(s[p])) {
      if (p + 1 == s.size()) {
        // A dangling lead byte alone goes; the blanks before it stay.
        return Text::Result(s.substr(begin, p - begin));
      }
      if (!IsWideSpaceAt(s, p)) end = p + 2;
      p += 2;
    } else {
      if (s[p] != ' ') end = p + 1;
      ++p;
    }
  }
  return Text::Result(s.substr(begin, end - begin));
}

Text TextRemoveSpaces(const Text& t) {
  const std::string_view s = t.View();
  std::string out;
  out.reserve(s.size());
  for (std::size_t p = 0; p < s.size();) {
    if (IsLeadByte(s[p])) {
      if (p + 1 == s.size()) break;  // a dangling lead byte is dropped
      if (!IsWideSpaceAt(s, p)) out.append(s.substr(p, 2));
      p += 2;
    } else {
      if (s[p] != ' ') out.push_back(s[p]);
      ++p;
    }
  }
  return Text::Result(std::move(out));
}

Text TextToLower(const Text& t) {
  std::string out(t.View());
  for (std::size_t p = 0; p < out.size();) {
    if (IsLeadByte(out[p])) {
      p += 2;  // both bytes of a double-byte character stay as they are
    } else {
      out[p] = static_cast<char>(text_scan::FoldAsciiUpper(static_cast<unsigned char>(out[p])));
      ++p;
    }
  }
  return Text::Result(std::move(out));
}

Text TextJoinParts(std::initializer_list<std::string_view> parts) {
  std::size_t total = 0;
  for (std::string_view part : parts) total += part.size();
  std::string out;
  out.reserve(total);
  for (std::string_view part : parts) out.append(part);
  return Text(std::move(out));  // always present, also when empty
}

int TextCompare(const Text& a, const Text& b) {
  // char_traits<char>::compare compares as unsigned char, like memcmp.
  const int c = a.View().compare(b.View());
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

}  // namespace merravine
