// Searches, replacement and splitting over double-byte text.
#include <gtest/gtest.h>

#include "case_name.h"

#include <optional>
#include <string_view>
#include <vector>

#include "text/text.h"

namespace merravine {
namespace {

struct FindCase {
  const char* name;
  std::string_view t;
  std::string_view needle;
  std::optional<int> start;
  bool ignoreCase;
  int expected;
};

class TextFindTest : public testing::TestWithParam<FindCase> {};

TEST_P(TextFindTest, FindsOnCharacterBoundaries) {
  const FindCase& c = GetParam();
  EXPECT_EQ(TextFind(Text(c.t), Text(c.needle), c.start, c.ignoreCase), c.expected);
}

// 0xD6 0xD0 and 0xB0 0xA1 are double-byte characters; 0x81 0x41 is one whose
// second byte is the letter A.
INSTANTIATE_TEST_SUITE_P(
    Table, TextFindTest,
    testing::Values(
        FindCase{"first_occurrence", "abcabc", "c", std::nullopt, false, 3},
        FindCase{"start_zero_is_byte_one", "abcabc", "a", 0, false, 1},
        FindCase{"negative_start_is_byte_one", "abcabc", "a", -7, false, 1},
        FindCase{"start_skips_earlier_match", "abcabc", "a", 2, false, 4},
        FindCase{"start_past_end", "abc", "c", 4, false, -1},
        FindCase{"start_on_last_byte", "abc", "c", 3, false, 3},
        FindCase{"empty_needle_is_one_not_start", "0123456789", "", 5, false, 1},
        FindCase{"empty_needle_empty_region", "0123456789", "", 11, false, -1},
        FindCase{"empty_needle_empty_text", "", "", std::nullopt, false, -1},
        FindCase{"needle_longer_than_text", "ab", "abc", std::nullopt, false, -1},
        FindCase{"letter_as_second_byte_is_no_match", "\x81\x41", "A", std::nullopt, false, -1},
        FindCase{"letter_after_double_byte",
                 "\xD6\xD0"
                 "A",
                 "A", std::nullopt, false, 3},
        FindCase{"start_on_second_byte_reads_it_as_first", "\x81\x41", "A", 2, false, 2},
        FindCase{"start_on_second_lead_pairs_it_with_next", "\x81\x81\x41", "A", 2, false, -1},
        FindCase{"straddling_two_characters", "\xD6\xD0\xD6\xD0", "\xD0\xD6", std::nullopt, false,
                 -1},
        FindCase{"straddle_then_real_match", "\xB0\xA1\xB0\xA1x\xA1\xB0", "\xA1\xB0", std::nullopt,
                 false, 6},
        FindCase{"second_byte_folded", "\x81\x41", "\x81\x61", std::nullopt, true, 1},
        FindCase{"ascii_case_folded", "Hello World", "WORLD", std::nullopt, true, 7},
        FindCase{"case_kept_without_folding", "Hello World", "WORLD", std::nullopt, false, -1},
        FindCase{"full_width_letters_not_folded", "\xA3\xC1", "\xA3\xE1", std::nullopt, true, -1},
        FindCase{"folded_search_skips_second_byte",
                 "\x81\x61"
                 "a",
                 "A", std::nullopt, true, 3},
        FindCase{"dangling_lead_byte_found", "ab\x81", "\x81", std::nullopt, false, 3},
        FindCase{"dangling_lead_byte_folded_search", "ab\x81", "\x81", std::nullopt, true, 3}),
    CaseName<FindCase>);

TEST(TextFindLast, LastMatchOverlapsAndRespectsCharacters) {
  EXPECT_EQ(TextFindLast(Text("abab"), Text("ab")), 3);
  EXPECT_EQ(TextFindLast(Text("aaa"), Text("aa")), 2);  // matches overlap
  EXPECT_EQ(TextFindLast(Text("A\x81"
                              "A"),
                         Text("A")),
            1);
  EXPECT_EQ(TextFindLast(Text("\xD6\xD0\xD6\xD0"), Text("\xD0\xD6")), -1);
  EXPECT_EQ(TextFindLast(Text("aXbx"), Text("X"), true), 4);
  EXPECT_EQ(TextFindLast(Text("abc"), Text("")), 1);
  EXPECT_EQ(TextFindLast(Text(""), Text("")), -1);
  EXPECT_EQ(TextFindLast(Text(), Text("a")), -1);
}

struct ReplaceCase {
  const char* name;
  std::string_view t;
  std::string_view find;
  std::string_view replacement;
  bool caseSensitive;
  std::string_view expected;
};

class TextReplaceTest : public testing::TestWithParam<ReplaceCase> {};

TEST_P(TextReplaceTest, ReplacesEachOccurrenceOnce) {
  const ReplaceCase& c = GetParam();
  EXPECT_EQ(TextReplace(Text(c.t), Text(c.find), Text(c.replacement), c.caseSensitive).View(),
            c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TextReplaceTest,
    testing::Values(
        ReplaceCase{"replacement_contains_find", "aXa", "a", "aa", true, "aaXaa"},
        ReplaceCase{"no_overlap", "aaa", "aa", "b", true, "ba"},
        ReplaceCase{"folded", "Abc", "a", "z", false, "zbc"},
        ReplaceCase{"case_sensitive_keeps_other_case", "Abc", "a", "z", true, "Abc"},
        ReplaceCase{"second_byte_not_replaced",
                    "\x81\x41"
                    "A",
                    "A", "b", true,
                    "\x81\x41"
                    "b"},
        ReplaceCase{"empty_find_copies", "abc", "", "x", true, "abc"},
        ReplaceCase{"dangling_byte_dropped_by_one_byte_find", "ab\x81", "a", "x", true, "xb"},
        ReplaceCase{"short_tail_kept_with_dangling_byte", "ab\x81", "zz", "y", true, "ab\x81"},
        ReplaceCase{"double_byte_find",
                    "\xD6\xD0"
                    "a\xD6\xD0",
                    "\xD6\xD0", "-", true, "-a-"},
        ReplaceCase{"everything_removed", "aaa", "a", "", true, ""}),
    CaseName<ReplaceCase>);

TEST(TextReplace, EmptyResultIsAbsentAndEmptyInputIsCopied) {
  EXPECT_TRUE(TextReplace(Text("aaa"), Text("a"), Text(""), true).IsAbsent());
  EXPECT_FALSE(TextReplace(Text(""), Text("a"), Text("b"), true).IsAbsent());
  EXPECT_TRUE(TextReplace(Text(), Text("a"), Text("b"), true).IsAbsent());
}

struct SplitCase {
  const char* name;
  std::string_view t;
  std::string_view separator;
  std::vector<std::string_view> expected;
};

class TextSplitTest : public testing::TestWithParam<SplitCase> {};

TEST_P(TextSplitTest, SplitsIntoPieces) {
  const SplitCase& c = GetParam();
  const TextList list = TextSplit(Text(c.t), Text(c.separator));
  std::vector<std::string_view> pieces;
  for (int i = 1; i <= TextListCount(list); ++i) pieces.push_back(list.At(i).View());
  EXPECT_EQ(pieces, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TextSplitTest,
    testing::Values(SplitCase{"empty_text", "", ",", {}},
                    SplitCase{"only_separator", ",", ",", {""}},
                    SplitCase{"trailing_separator_adds_nothing", "a,b,", ",", {"a", "b"}},
                    SplitCase{"leading_separator", ",a", ",", {"", "a"}},
                    SplitCase{"adjacent_separators", "a,,b", ",", {"a", "", "b"}},
                    SplitCase{"empty_separator", "abc", "", {"abc"}},
                    SplitCase{"separator_as_second_byte", "\x81,x,y", ",", {"\x81,x", "y"}},
                    SplitCase{"two_byte_separator", "a\r\nb\r\n\r\nc", "\r\n", {"a", "b", "", "c"}},
                    SplitCase{"dangling_byte_kept_in_last_piece", "a,b\x81", ",", {"a", "b\x81"}}),
    CaseName<SplitCase>);

}  // namespace
}  // namespace merravine
