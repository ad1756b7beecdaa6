// Fields between delimiters and header values.
#include <gtest/gtest.h>

#include "case_name.h"

#include <string_view>

#include "text/delimited.h"

namespace merravine {
namespace {

struct BetweenCase {
  const char* name;
  std::string_view t;
  std::string_view left;
  std::string_view right;
  std::string_view expected;
};

class TextBetweenTest : public testing::TestWithParam<BetweenCase> {};

TEST_P(TextBetweenTest, CutsBetweenDelimiters) {
  const BetweenCase& c = GetParam();
  EXPECT_EQ(TextBetween(Text(c.t), Text(c.left), Text(c.right)).View(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TextBetweenTest,
    testing::Values(BetweenCase{"course_id", "http://host/play_400004169_19743.shtml", "play_",
                                ".shtml", "400004169_19743"},
                    BetweenCase{"right_only_before_left", ".shtml play_x", "play_", ".shtml", ""},
                    // Without the left delimiter the search for the right one runs from
                    // byte length(left) - 1, and everything from there is the result.
                    BetweenCase{"missing_left_takes_from_length_minus_one", "abcdef.shtml", "play_",
                                ".shtml", "def"},
                    BetweenCase{"missing_one_byte_left", "abc]", "[", "]", ""},
                    BetweenCase{"right_directly_after_left", "a[]b", "[", "]", ""},
                    BetweenCase{"first_right_after_left", "x=[1][2]", "[", "]", "1"},
                    BetweenCase{"double_byte_delimiters",
                                "\xB5\xDA"
                                "12\xBF\xCE",
                                "\xB5\xDA", "\xBF\xCE", "12"},
                    BetweenCase{"video_address", "{\"d\":[\"http://v/1.mp4\"]}", ":[\"", "\"]}",
                                "http://v/1.mp4"},
                    BetweenCase{"empty_text", "", "a", "b", ""}),
    CaseName<BetweenCase>);

TEST(TextBetweenEx, HeaderNameInAnyCase) {
  const Text headers("Host: h\r\nuser-agent: Probe/1\r\nAccept: */*\r\n");
  EXPECT_EQ(TextBetweenEx(headers, Text("User-Agent:"), Text("\r\n")).View(), " Probe/1");
}

TEST(TextBetweenEx, MissingDelimiterGivesPresentEmpty) {
  const Text lastLine("Host: h\r\nUser-Agent: Probe/1");
  const Text noRight = TextBetweenEx(lastLine, Text("User-Agent:"), Text("\r\n"));
  EXPECT_EQ(noRight.View(), "");
  EXPECT_FALSE(noRight.IsAbsent());

  const Text noLeft = TextBetweenEx(Text("a\r\nb"), Text("User-Agent:"), Text("\r\n"));
  EXPECT_EQ(noLeft.View(), "");
  EXPECT_FALSE(noLeft.IsAbsent());
}

TEST(TextBetweenEx, CaseSensitiveAndStart) {
  const Text t("Key=1;key=2;");
  EXPECT_EQ(TextBetweenEx(t, Text("key="), Text(";")).View(), "1");
  EXPECT_EQ(TextBetweenEx(t, Text("key="), Text(";"), std::nullopt, true).View(), "2");
  EXPECT_EQ(TextBetweenEx(t, Text("key="), Text(";"), 2).View(), "2");
  EXPECT_EQ(TextBetweenEx(t, Text("key="), Text(";"), 0).View(), "1");
}

TEST(TextBetweenEx, QuoteMarkerStandsForDoubleQuote) {
  // "#引号" in code page 936.
  const Text marker("#\xD2\xFD\xBA\xC5");
  const Text t("<a href=\"http://x/\">");
  EXPECT_EQ(TextBetweenEx(t, TextJoin(Text("href="), marker), marker).View(), "http://x/");
}

TEST(TextBetweenEx, AdjacentDelimitersGiveEmpty) {
  EXPECT_EQ(TextBetweenEx(Text("a[]b"), Text("["), Text("]")).View(), "");
}

TEST(HeaderValue, ValueAfterFirstColonTrimmed) {
  const struct {
    std::string_view line;
    std::string_view expected;
  } cases[] = {
      {"Location: http://x/a", "http://x/a"},
      {"Location", ""},
      {"Location:", ""},
      {"Location:  http://x:80/a  ", "http://x:80/a"},
      {"Set-Cookie: a=1\r\n", "a=1\r\n"},
      {"X:\xA1\xA1v\xA1\xA1", "v"},
  };
  for (const auto& c : cases) EXPECT_EQ(HeaderValue(Text(c.line)).View(), c.expected) << c.line;
}

}  // namespace
}  // namespace merravine
