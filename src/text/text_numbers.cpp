// Conversions between Text and 32-bit integers.
#include <charconv>
#include <cstdint>

#include "text/text.h"
#include "text/text_scan.h"

namespace merravine {

namespace {

// Full-width forms as the parser should see them: 0xA3 0xA1..0xFE are the
// full-width ASCII characters, and a few punctuation marks of row 0xA1 read as
// their plain forms.
std::string FoldFullWidth(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t p = 0; p < s.size();) {
    const auto c = static_cast<unsigned char>(s[p]);
    if (c < 0x80 || p + 1 == s.size()) {
      out.push_back(s[p]);
      ++p;
      continue;
    }
    const auto d = static_cast<unsigned char>(s[p + 1]);
    if (c == 0xA3 && d >= 0xA1 && d <= 0xFE) {
      out.push_back(static_cast<char>(d - 0x80));
    } else if (c == 0xA1 && d == 0xA1) {
      out.push_back(' ');
    } else if (c == 0xA1 && d == 0xAB) {
      out.push_back('~');
    } else if (c == 0xA1 && (d == 0xEE || d == 0xEF)) {
      out.push_back('*');
    } else {
      out.append(s.substr(p, 2));
    }
    p += 2;
  }
  return out;
}

bool IsParseSpace(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

}  // namespace

Text NumberToText(std::int32_t n) {
  char digits[16];
  const auto end = std::to_chars(digits, digits + sizeof digits, n).ptr;
  return Text(std::string_view(digits, static_cast<std::size_t>(end - digits)));
}

std::int32_t TextToInt(const Text& t) {
  const std::string s = FoldFullWidth(t.View());
  std::size_t p = 0;
  while (p < s.size() && IsParseSpace(s[p])) ++p;
  bool negative = false;
  if (p < s.size() && (s[p] == '+' || s[p] == '-')) {
    negative = s[p] == '-';
    ++p;
  }
  // Unsigned arithmetic wraps like 32-bit two's complement, without overflow.
  std::uint32_t value = 0;
  for (; p < s.size() && s[p] >= '0' && s[p] <= '9'; ++p) {
    value = value * 10U + static_cast<std::uint32_t>(s[p] - '0');
  }
  if (negative) value = 0U - value;
  return static_cast<std::int32_t>(value);
}

}  // namespace merravine
