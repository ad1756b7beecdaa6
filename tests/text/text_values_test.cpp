// Cuts by position, transformations, numbers, Bytes, TextList and the
// absent/present distinction.
#include <gtest/gtest.h>

#include "case_name.h"

#include <climits>
#include <string_view>

#include "text/text.h"

namespace merravine {
namespace {

struct CutCase {
  const char* name;
  Text (*cut)(const Text&);
  std::string_view expected;
};

const Text kTen("0123456789");

class TextCutTest : public testing::TestWithParam<CutCase> {};

TEST_P(TextCutTest, CutsByPosition) {
  const CutCase& c = GetParam();
  const Text result = c.cut(kTen);
  EXPECT_EQ(result.View(), c.expected);
  EXPECT_EQ(result.IsAbsent(), c.expected.empty()) << "empty results are absent";
}

INSTANTIATE_TEST_SUITE_P(
    Table, TextCutTest,
    testing::Values(
        CutCase{"left", [](const Text& x) { return TextLeft(x, 3); }, "012"},
        CutCase{"left_zero", [](const Text& x) { return TextLeft(x, 0); }, ""},
        CutCase{"left_negative", [](const Text& x) { return TextLeft(x, -1); }, ""},
        CutCase{"left_beyond", [](const Text& x) { return TextLeft(x, 99); }, "0123456789"},
        CutCase{"right", [](const Text& x) { return TextRight(x, 3); }, "789"},
        CutCase{"right_zero", [](const Text& x) { return TextRight(x, 0); }, ""},
        CutCase{"right_negative", [](const Text& x) { return TextRight(x, -4); }, ""},
        CutCase{"right_beyond", [](const Text& x) { return TextRight(x, 11); }, "0123456789"},
        CutCase{"mid", [](const Text& x) { return TextMid(x, 3, 2); }, "23"},
        CutCase{"mid_start_zero_is_empty", [](const Text& x) { return TextMid(x, 0, 5); }, ""},
        CutCase{"mid_negative_start", [](const Text& x) { return TextMid(x, -2, 5); }, ""},
        CutCase{"mid_rest", [](const Text& x) { return TextMid(x, 8, 100); }, "789"},
        CutCase{"mid_past_end", [](const Text& x) { return TextMid(x, 11, 1); }, ""},
        CutCase{"mid_last_byte", [](const Text& x) { return TextMid(x, 10, 1); }, "9"},
        CutCase{"mid_zero_length", [](const Text& x) { return TextMid(x, 2, 0); }, ""},
        CutCase{"mid_negative_length", [](const Text& x) { return TextMid(x, 2, -3); }, ""}),
    CaseName<CutCase>);

struct TransformCase {
  const char* name;
  Text (*transform)(const Text&);
  std::string_view t;
  std::string_view expected;
};

class TextTransformTest : public testing::TestWithParam<TransformCase> {};

TEST_P(TextTransformTest, Transforms) {
  const TransformCase& c = GetParam();
  EXPECT_EQ(c.transform(Text(c.t)).View(), c.expected);
}

// 0xA1 0xA1 is the double-byte space; 0xB0 0xA1 a character whose second byte
// is 0xA1, so 0xB0 0xA1 0xA1 0xA1 ends in a double-byte space while
// 0xB0 0xA1 0xA1 ends in a dangling lead byte.
INSTANTIATE_TEST_SUITE_P(
    Table, TextTransformTest,
    testing::Values(
        TransformCase{"trim_spaces", TextTrim, "  a b  ", "a b"},
        TransformCase{"trim_wide_spaces", TextTrim, "\xA1\xA1x\xA1\xA1 ", "x"},
        TransformCase{"trim_keeps_tab_and_crlf", TextTrim, " \tx\r\n ", "\tx\r\n"},
        TransformCase{"trim_blanks_only", TextTrim, " \xA1\xA1  ", ""},
        TransformCase{"trim_wide_space_after_character", TextTrim, "\xB0\xA1\xA1\xA1", "\xB0\xA1"},
        TransformCase{"trim_dangling_byte_not_a_blank", TextTrim, "x\xB0\xA1\xA1", "x\xB0\xA1"},
        TransformCase{"trim_dangling_byte_alone_goes", TextTrim, " x \x81", "x "},
        TransformCase{"remove_spaces", TextRemoveSpaces,
                      " a \xA1\xA1"
                      "b ",
                      "ab"},
        TransformCase{"remove_spaces_split_wide_space", TextRemoveSpaces, "\xB0\xA1\xA1\xB0",
                      "\xB0\xA1\xA1\xB0"},
        TransformCase{"remove_spaces_drops_dangling", TextRemoveSpaces, "a \x81", "a"},
        TransformCase{"lower_ascii_only", TextToLower, "ABC\x81\x41Z[@", "abc\x81\x41z[@"},
        TransformCase{"lower_keeps_full_width", TextToLower, "\xA3\xC1", "\xA3\xC1"},
        TransformCase{"lower_dangling_copied", TextToLower, "A\xC1", "a\xC1"}),
    CaseName<TransformCase>);

TEST(TextTrim, BlanksOnlyGiveAbsent) {
  EXPECT_TRUE(TextTrim(Text("   ")).IsAbsent());
}

TEST(TextToInt, ParsesAfterFoldingFullWidthForms) {
  const struct {
    std::string_view t;
    int expected;
  } cases[] = {
      {" -12abc", -12},
      {"\xA3\xB8\xA3\xB0", 80},  // full-width 8 and 0
      {"\xA3\xAD\xA3\xB5", -5},  // full-width minus and 5
      {"\xA1\xA1 7", 7},         // double-byte space before the digits
      {"\t\n\v\f\r+42", 42},
      {"", 0},
      {"abc", 0},
      {"-", 0},
      {"12 34", 12},
      {"2147483647", INT_MAX},
      {"2147483648", INT_MIN},  // one above the largest wraps
      {"-2147483648", INT_MIN},
      {"4294967297", 1},
      {"\xB0\xA1"
       "5",
       0},  // a character that is not a digit ends nothing to skip
  };
  for (const auto& c : cases) EXPECT_EQ(TextToInt(Text(c.t)), c.expected) << c.t;
  EXPECT_EQ(TextToInt(Text()), 0);
}

TEST(NumberToText, DecimalWithoutPadding) {
  EXPECT_EQ(NumberToText(0).View(), "0");
  EXPECT_EQ(NumberToText(12).View(), "12");
  EXPECT_EQ(NumberToText(-7).View(), "-7");
  EXPECT_EQ(NumberToText(INT_MIN).View(), "-2147483648");
}

TEST(TextCompare, UnsignedBytesAndPrefixes) {
  EXPECT_EQ(TextCompare(Text("a"), Text("b")), -1);
  EXPECT_EQ(TextCompare(Text("b"), Text("a")), 1);
  EXPECT_EQ(TextCompare(Text("a"), Text("ab")), -1);
  EXPECT_EQ(TextCompare(Text("\x80"), Text("a")), 1);  // bytes compare unsigned
  EXPECT_EQ(TextCompare(Text(), Text("")), 0);
  EXPECT_EQ(TextCompare(Text("A"), Text("a")), -1);  // no case folding
}

TEST(AbsentAndPresent, ReachOperatingSystemCallsDifferently) {
  EXPECT_EQ(CharToText(0).CStrOrNull(), nullptr);
  EXPECT_EQ(Text().CStrOrNull(), nullptr);
  EXPECT_EQ(Text(static_cast<const char*>(nullptr)).CStrOrNull(), nullptr);
  ASSERT_NE(Text("").CStrOrNull(), nullptr);
  EXPECT_STREQ(Text("").CStrOrNull(), "");
  EXPECT_STREQ(CharToText('A').CStrOrNull(), "A");
  EXPECT_TRUE(Text() == Text(""));  // alike in every text operation

  const Text joined = TextJoin(Text(), Text(""));
  EXPECT_FALSE(joined.IsAbsent());
  EXPECT_STREQ(joined.CStrOrNull(), "");
  EXPECT_EQ(TextJoin(Text("a"), Text(), "b", std::string_view("c\0d", 3)).View(), "abc");
}

TEST(Text, ConstructionStopsAtNul) {
  EXPECT_EQ(Text(std::string_view("ab\0c", 4)).View(), "ab");
  EXPECT_EQ(Text(std::string("ab\0c", 4)).View(), "ab");
  EXPECT_TRUE(Text::Result(std::string_view("\0c", 2)).IsAbsent());
}

TEST(Buffers, BlankTextIsSpacesBlankBytesAreZeros) {
  EXPECT_EQ(TextBlank(3).View(), "   ");
  EXPECT_TRUE(TextBlank(0).IsAbsent());
  EXPECT_TRUE(TextBlank(-2).IsAbsent());
  Text buffer = TextBlank(4);
  buffer.BufferData()[2] = '\0';
  buffer.CutAtNul();
  EXPECT_EQ(buffer.View(), "  ");

  EXPECT_EQ(BytesBlank(3).View(), std::string_view("\0\0\0", 3));
  EXPECT_EQ(BytesLength(BytesBlank(-1)), 0);
}

TEST(Bytes, CutsConversionsAndJoins) {
  const Bytes withNul(std::string_view("ab\0c", 4));
  EXPECT_EQ(BytesLength(withNul), 4);
  EXPECT_EQ(BytesToText(withNul).View(), "ab");
  EXPECT_TRUE(BytesToText(Bytes(std::string_view("\0a", 2))).IsAbsent());
  EXPECT_EQ(TextToBytes(Text("xy")).View(), "xy");
  EXPECT_EQ(BytesLength(BytesLeft(withNul, -1)), 0);
  EXPECT_EQ(BytesLeft(withNul, 3).View(), std::string_view("ab\0", 3));
  EXPECT_EQ(BytesLeft(withNul, 10), withNul);
  EXPECT_TRUE(BytesEqual(Bytes(), Bytes(std::string_view())));
  EXPECT_FALSE(BytesEqual(withNul, Bytes(std::string_view("ab"))));

  Bytes body;
  for (int i = 0; i < 3; ++i) body = BytesJoin(std::move(body), withNul);
  EXPECT_EQ(BytesLength(body), 12);
  EXPECT_EQ(BytesJoinParts({"a", std::string_view("\0", 1), "b"}).View(),
            std::string_view("a\0b", 3));
}

TEST(TextList, OwnsCopiesAddressedFromOne) {
  TextList list;
  EXPECT_EQ(TextListCount(list), 0);
  {
    Text first("first");
    TextListAppend(list, first);
  }
  TextListAppend(list, Text());
  TextListAppend(list, Text("third"));
  ASSERT_EQ(TextListCount(list), 3);
  EXPECT_EQ(TextListAt(list, 1).View(), "first");
  EXPECT_EQ(TextLength(TextListAt(list, 2)), 0);
  EXPECT_EQ(TextListAt(list, 3).View(), "third");
  EXPECT_TRUE(TextListAt(list, 0).IsAbsent());
  EXPECT_TRUE(TextListAt(list, 4).IsAbsent());
}

TEST(BitOr, CombinesHighFlags) {
  EXPECT_EQ(BitOr(1, 2), 3);
  EXPECT_EQ(BitOr(static_cast<int>(0x80000000U), 0x100, 0x4), static_cast<int>(0x80000104U));
}

}  // namespace
}  // namespace merravine
