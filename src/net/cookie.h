// Merging the cookies an answer sets into a cookie text of the caller's, and
// the small list routines the merge is built from. A cookie text is entries
// separated by ";"; the merged text uses "; " and holds no other blank.
#pragma once

#include "text/text.h"

namespace merravine {

// Both arguments lose every blank. The result, also stored into `cookies`,
// holds the answer's cookies in their order, then the earlier cookies whose
// names the answer did not set; "=deleted" entries and exact repeats go.
Text CookieMerge(Text& cookies, Text& returnedCookies);

// The trimmed bytes before the entry's first "="; the whole trimmed entry
// when it has none.
Text CookieName(const Text& entry);

// True when some entry of the list has that cookie name (byte for byte).
bool CookieListHasName(const TextList& list, const Text& name);

// The text with every piece that repeats an earlier one removed.
Text TextUniquePieces(const Text& t, const Text& separator);

// The 1-based position of the first entry equal to the item, or -1.
int TextListIndexOf(const TextList& list, const Text& item);

}  // namespace merravine
