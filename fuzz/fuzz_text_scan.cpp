// The scanning text operations against the slow model of the character rule,
// plus the properties that hold whatever the model says.
//
// Input: two header bytes (option bits; a signed start position), then the
// fields t, needle and replacement separated by NUL bytes.
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "text/text.h"
#include "text_model.h"

namespace merravine {
namespace {

void CheckSearches(const Text& t, const Text& needle, int start, bool ignoreCase) {
  const std::string s(t.View());
  const std::string n(needle.View());
  fuzz::ExpectEqual(TextFind(t, needle, std::nullopt, ignoreCase),
                    model::Find(s, n, std::nullopt, ignoreCase), "TextFind without start");
  fuzz::ExpectEqual(TextFind(t, needle, start, ignoreCase), model::Find(s, n, start, ignoreCase),
                    "TextFind with start");
  const int last = TextFindLast(t, needle, ignoreCase);
  fuzz::ExpectEqual(last, model::FindLast(s, n, ignoreCase), "TextFindLast");
  // The last match is a match: a search from there finds it again.
  if (last != -1 && !n.empty()) {
    fuzz::ExpectEqual(TextFind(t, needle, last, ignoreCase), last, "TextFind at TextFindLast");
  }
}

bool EndsWithDanglingByte(const std::string& s) {
  std::size_t p = 0;
  while (p < s.size()) {
    const std::size_t step = model::Step(s, p);
    if (step == 0) return true;
    p += step;
  }
  return false;
}

void CheckTransforms(const Text& t) {
  const std::string s(t.View());

  const Text trimmed = TextTrim(t);
  fuzz::ExpectEqual(trimmed.View(), model::Trim(s), "TextTrim");
  const std::string_view tv = trimmed.View();
  fuzz::Expect(tv.empty() || (tv[0] != ' ' && tv.substr(0, 2) != "\xA1\xA1"),
               "TextTrim leaves no leading blank");
  if (!EndsWithDanglingByte(s)) {
    fuzz::Expect(TextTrim(trimmed) == trimmed, "TextTrim is idempotent");
  }

  const Text noSpaces = TextRemoveSpaces(t);
  fuzz::ExpectEqual(noSpaces.View(), model::RemoveSpaces(s), "TextRemoveSpaces");
  // A space byte may remain as the second byte of a two-byte character.
  fuzz::Expect(TextRemoveSpaces(noSpaces) == noSpaces, "TextRemoveSpaces leaves no blank");

  const Text lower = TextToLower(t);
  fuzz::ExpectEqual(lower.View(), model::ToLower(s), "TextToLower");
  fuzz::ExpectEqual(TextLength(lower), TextLength(t), "TextToLower keeps the length");

  // Empty results are absent (only TextJoin and literals make present empties).
  fuzz::Expect(TextLength(trimmed) > 0 || trimmed.IsAbsent(), "empty TextTrim is absent");
  fuzz::Expect(TextLength(noSpaces) > 0 || noSpaces.IsAbsent(), "empty TextRemoveSpaces is absent");
  fuzz::Expect(TextLength(lower) > 0 || lower.IsAbsent(), "empty TextToLower is absent");

  fuzz::ExpectEqual(TextToInt(t), model::ToInt(s), "TextToInt");
}

void CheckReplace(const Text& t, const Text& find, const Text& replacement, bool caseSensitive) {
  const std::string s(t.View());
  const std::string f(find.View());
  const std::string r(replacement.View());
  fuzz::ExpectEqual(TextReplace(t, find, replacement, caseSensitive).View(),
                    model::Replace(s, f, r, caseSensitive), "TextReplace");
  // Replacing a text by itself gives the input back, less a dangling byte
  // that the walk drops. A needle that itself ends in a lone lead byte puts
  // the walk onto a second byte after each match, so it is left out.
  const Text same = TextReplace(t, find, find, true);
  fuzz::ExpectEqual(same.View(), model::Replace(s, f, f, true), "TextReplace find by itself");
  if (!EndsWithDanglingByte(f) && (!EndsWithDanglingByte(s) || f.size() != 1)) {
    fuzz::ExpectEqual(same.View(), s, "TextReplace find by itself is the input");
  }
}

void CheckSplit(const Text& t, const Text& separator) {
  const std::string s(t.View());
  const std::string sep(separator.View());
  const TextList pieces = TextSplit(t, separator);
  const std::vector<std::string> expected = model::Split(s, sep);
  fuzz::ExpectEqual(TextListCount(pieces), static_cast<long long>(expected.size()),
                    "TextSplit count");
  std::string joined;
  for (int i = 1; i <= TextListCount(pieces); ++i) {
    const Text piece = TextListAt(pieces, i);
    fuzz::ExpectEqual(piece.View(), expected[static_cast<std::size_t>(i) - 1], "TextSplit piece");
    if (i > 1) joined += sep;
    joined += piece.View();
  }
  // Joining the pieces with the separator gives the input back, but for a
  // final separator, which yields no empty last piece.
  if (!sep.empty()) {
    fuzz::Expect(joined == s || joined + sep == s, "TextSplit pieces joined give the input");
  }
}

}  // namespace
}  // namespace merravine

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace merravine;
  const fuzz::Header header(data, size, 2);
  const std::vector<std::string> fields = model::Fields(data, size, 3);
  const Text t = fuzz::AsText(fields[0], header.Bit(0, 0));
  const Text needle = fuzz::AsText(fields[1], header.Bit(0, 1));
  const Text replacement = fuzz::AsText(fields[2], header.Bit(0, 2));
  const bool ignoreCase = header.Bit(0, 3);
  const int start = static_cast<std::int8_t>(header.Byte(1));

  CheckSearches(t, needle, start, ignoreCase);
  CheckTransforms(t);
  CheckReplace(t, needle, replacement, header.Bit(0, 4));
  CheckSplit(t, needle);
  return 0;
}
