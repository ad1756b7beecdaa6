#include "text/delimited.h"

#include "text/gbk_literals.h"

namespace merravine {

Text TextBetween(const Text& t, const Text& left, const Text& right) {
  const int a = TextFind(t, left);
  const int s = a + TextLength(left);
  const int b = TextFind(t, right, s);
  return TextMid(t, s, b - s);
}

Text TextBetweenEx(const Text& t, const Text& left, const Text& right, std::optional<int> start,
                   bool caseSensitive) {
  const Text quoteMarker(gbk::引号标记);
  const Text left2 = TextReplace(left, quoteMarker, "\"", true);
  const Text right2 = TextReplace(right, quoteMarker, "\"", true);
  const bool ignoreCase = !caseSensitive;
  const int d = TextFind(t, left2, start, ignoreCase);
  if (d == -1) return Text("");
  const int from = d + TextLength(left2);
  const int e = TextFind(t, right2, from, ignoreCase);
  if (e == -1) return Text("");
  return TextMid(t, from, e - from);
}

Text HeaderValue(const Text& line) {
  const int p = TextFind(line, ":");
  if (p == -1) return Text();
  return TextTrim(TextRight(line, TextLength(line) - p));
}

}  // namespace merravine
