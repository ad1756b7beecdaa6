#include "net/cookie.h"

namespace merravine {

Text CookieMerge(Text& cookies, Text& returnedCookies) {
  cookies = TextRemoveSpaces(cookies);
  returnedCookies = TextRemoveSpaces(returnedCookies);

  const TextList oldEntries = TextSplit(cookies, ";");
  TextList merged = TextSplit(returnedCookies, ";");
  // Old entries appended here take part in later tests, so of several old
  // entries with one name only the first survives.
  for (const Text& entry : oldEntries) {
    if (!CookieListHasName(merged, CookieName(entry))) TextListAppend(merged, entry);
  }

  Text result;
  for (const Text& entry : merged) {
    if (TextCompare(TextRight(entry, 8), "=deleted") != 0) result = TextJoin(result, entry, "; ");
  }
  result = TextLeft(result, TextLength(result) - 2);
  result = TextUniquePieces(result, "; ");

  cookies = result;
  return result;
}

Text CookieName(const Text& entry) {
  const int equals = TextFind(entry, "=");
  return TextTrim(equals != -1 ? TextLeft(entry, equals - 1) : entry);
}

bool CookieListHasName(const TextList& list, const Text& name) {
  for (const Text& entry : list) {
    if (TextCompare(CookieName(entry), name) == 0) return true;
  }
  return false;
}

Text TextUniquePieces(const Text& t, const Text& separator) {
  TextList taken;
  Text output;
  for (const Text& piece : TextSplit(t, separator)) {
    if (TextListIndexOf(taken, piece) == -1) {
      TextListAppend(taken, piece);
      output = TextJoin(output, piece, separator);
    }
  }
  return TextLeft(output, TextLength(output) - TextLength(separator));
}

int TextListIndexOf(const TextList& list, const Text& item) {
  for (int i = 1; i <= TextListCount(list); ++i) {
    if (TextCompare(TextListAt(list, i), item) == 0) return i;
  }
  return -1;
}

}  // namespace merravine
