// The regular-expression object against whichever engine "VBScript.RegExp"
// gives: natively the built-in engine over libicu, under Wine the script
// engine of Wine (a real one). Both must give the same results, so the
// expectations hold for either.
#include "regex/regex_object.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "platform/automation.h"
#include "under_wine.h"

namespace merravine {
namespace {

// "中" in code page 936.
const std::string kZhong = "\xD6\xD0";

struct Expected {
  std::string value;
  int position;
};

struct MatchCase {
  const char* name;
  std::string pattern;
  std::string subject;
  bool ignoreCase, multiline, global;
  std::vector<Expected> matches;
  // Set where Wine's script engine departs from Windows: why, in a few words.
  const char* wineDeparts = nullptr;
};

// Runs of Create with the options given; each lists every match with its byte
// position. Dialect cases come with what the script engine does.
const MatchCase kMatchCases[] = {
    {"LazyStopsAtNearestEnd",
     "seriNum.*?subtitleUrl",
     "{seriNum a subtitleUrl} {seriNum b subtitleUrl} {seriNum c}",
     true,
     true,
     true,
     {{"seriNum a subtitleUrl", 1}, {"seriNum b subtitleUrl", 25}}},
    {"PositionCountsBytesBehindDoubleByte", "ab", kZhong + "ab", true, true, true, {{"ab", 2}}},
    {"PositionBehindSeveralDoubleBytes",
     "ab",
     kZhong + kZhong + "ab",
     true,
     true,
     true,
     {{"ab", 4}}},
    {"PositionOfOverlappingText", "aa", "aaaaa", true, true, true, {{"aa", 0}, {"aa", 2}}},
    {"PositionSearchIsCaseExact", "aa", "Aaa", false, true, true, {{"aa", 1}}},
    {"PositionFoldsCaseWhenIgnoring", "aa", "xAaa", true, true, true, {{"Aa", 1}}},
    {"NotGlobalStopsAtFirst", "b.", "b1 b2 b3", true, true, false, {{"b1", 0}}},
    {"CaseMattersWithoutIgnoreCase", "B", "abB", false, true, true, {{"B", 2}}},
    {"DotStopsAtLineFeed", "a.c", "a\nc abc", true, true, true, {{"abc", 4}}},
    {"CaretFollowsLinesWhenMultiline", "^x", "x\nx", true, true, true, {{"x", 0}, {"x", 2}}},
    {"CaretOnlyAtStartOtherwise", "^x", "x\nx", true, false, true, {{"x", 0}}},
    {"DollarOnlyAtEndOtherwise", "x$", "x\nx\n", true, false, true, {}},
    {"DollarBeforeLineEndWhenMultiline", "x$", "x\r\nx", true, true, true, {{"x", 0}, {"x", 3}}},
    {"DigitClassIsAscii",
     "\\d+",
     "12\xA3\xB3"
     "4",
     true,
     true,
     true,
     {{"12", 0}, {"4", 4}}},
    {"WordClassIsAscii", "\\w+", "ab" + kZhong + "cd", true, true, true, {{"ab", 0}, {"cd", 4}}},
    {"WordBoundaryIsAscii",
     "\\bcd",
     "ab" + kZhong + "cd cd",
     true,
     true,
     true,
     {{"cd", 4}, {"cd", 7}}},
    {"ClassesRangesAndNegation", "[^a-c\\d]+", "ab9xy-", true, true, true, {{"xy-", 3}}},
    {"LiteralBraces", "{\"a\":\\{", "x{\"a\":{", true, true, true, {{"{\"a\":{", 1}}},
    {"BoundedRepeat", "a{2,3}", "aaaaa", true, true, true, {{"aaa", 0}, {"aa", 3}}},
    // Windows' engine steps past an empty match; Wine's (8.0) finds the same
    // empty match again and again until memory runs out, then Execute fails.
    {"EmptyMatchesAdvance",
     "x*",
     "ax",
     true,
     true,
     true,
     {{"", 0}, {"x", 1}, {"", 2}},
     "loops on an empty match"},
    // Windows' "." excludes only the line feed, as its documentation says;
    // Wine's follows the ECMAScript rule and also stops at CR, U+2028, U+2029.
    {"DotMatchesCarriageReturn",
     "a.c",
     "a\rc",
     true,
     true,
     true,
     {{"a\rc", 0}},
     "\".\" stops at CR"},
    // Windows' "\s" is [ \f\n\r\t\v], as its documentation says; Wine's also
    // takes the ideographic space U+3000 (0xA1 0xA1 in code page 936).
    {"SpaceClassIsAscii",
     "\\s",
     "a\xA1\xA1"
     "b c",
     true,
     true,
     true,
     {{" ", 4}},
     "\\s takes U+3000"},
    {"BackspaceInClass", "[\\b]", "a\bb", true, true, true, {{"\b", 1}}},
    {"NotWordBoundary", "\\Bb", "ab b", true, true, true, {{"b", 1}}},
    {"LookAhead", "a(?=b)", "ab ac", true, true, true, {{"a", 0}}},
    {"NegativeLookAhead", "a(?!b)", "ab ac", true, true, true, {{"a", 3}}},
    {"BracesAndBracketsThatStandAlone", "a{,3}}]", "a{,3}}]", true, true, true, {{"a{,3}}]", 0}}},
    {"ControlAndOctalEscapes", "\\cJ\\101", "x\nA", false, true, true, {{"\nA", 1}}},
    {"OctalWhereNoSuchGroup", "(a)\\10", "a\b", true, true, true, {{"a\b", 0}}},
    {"HyphenBesideClassEscapeIsLiteral", "[\\d-z]+", "1-z", true, true, true, {{"1-z", 0}}},
    {"EmptyClassMatchesNothing", "[]a", "ab", true, true, true, {}},
    {"NegatedEmptyClassMatchesAnything", "[^]", "a\n", true, true, true, {{"a", 0}, {"\n", 1}}},
    {"EmptyPatternMatchesEverywhere", "", "ab", true, true, true, {{"", 0}, {"", 1}, {"", 2}}},
    {"UnknownEscapeIsTheLetter", "\\qz", "qz", true, true, true, {{"qz", 0}}},
    {"HexAndUnicodeEscapes", "\\x41\\u0042", "zab", true, true, true, {{"ab", 1}}},
    {"BackReference", "(a)\\1", "aaa", true, true, true, {{"aa", 0}}},
    {"DoubleByteLiteral",
     kZhong + "+",
     "a" + kZhong + kZhong + "b",
     true,
     true,
     true,
     {{kZhong + kZhong, 1}}},
};

void PrintTo(const MatchCase& c, std::ostream* os) {
  *os << c.name;
}

class RegexMatchTest : public testing::TestWithParam<MatchCase> {};

TEST_P(RegexMatchTest, MatchesAndPositions) {
  const MatchCase& c = GetParam();
  if (c.wineDeparts && UnderWine()) GTEST_SKIP() << "Wine departs from Windows: " << c.wineDeparts;
  RegexObject regex;
  ASSERT_TRUE(
      regex.Create(c.pattern.c_str(), c.subject.c_str(), c.ignoreCase, c.multiline, c.global));
  ASSERT_EQ(regex.MatchCount(), static_cast<int>(c.matches.size()));
  for (std::size_t i = 0; i < c.matches.size(); ++i) {
    int position = -100;
    EXPECT_EQ(regex.MatchText(static_cast<int>(i) + 1, &position).Str(), c.matches[i].value)
        << "match " << i + 1;
    EXPECT_EQ(position, c.matches[i].position) << "match " << i + 1;
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, RegexMatchTest, testing::ValuesIn(kMatchCases),
                         [](const auto& param) { return std::string(param.param.name); });

// Patterns that the script dialect refuses: Create reports false and every
// read gives nothing.
const char* const kRefusedPatterns[] = {
    "(", "a)", "[ab", "*a", "a**", "(?<=a)b", "(?i)a", "a\\", "a{3,2}",
};

TEST(RegexObjectTest, RefusedPatternGivesFalseAndEmptyReads) {
  for (const char* pattern : kRefusedPatterns) {
    RegexObject regex;
    EXPECT_FALSE(regex.Create(pattern, "a(b)c")) << pattern;
    EXPECT_EQ(regex.MatchCount(), 0) << pattern;
    EXPECT_TRUE(regex.MatchText(1).Str().empty()) << pattern;
    EXPECT_EQ(regex.SubMatchCount(), 0) << pattern;
  }
}

TEST(RegexObjectTest, OptionsDefaultToTrue) {
  RegexObject regex;
  // Case ignored, every match, and "^" after a line feed.
  ASSERT_TRUE(regex.Create("^AB", "ab\nab"));
  ASSERT_EQ(regex.MatchCount(), 2);
  int position = 0;
  EXPECT_EQ(regex.MatchText(2, &position).Str(), "ab");
  EXPECT_EQ(position, 3);
}

TEST(RegexObjectTest, EmptySubjectRunsWithoutMatches) {
  RegexObject regex;
  EXPECT_TRUE(regex.Create("a", ""));
  EXPECT_EQ(regex.MatchCount(), 0);
  EXPECT_EQ(regex.SubMatchCount(), 0);
  EXPECT_TRUE(regex.MatchText(1).Str().empty());
}

TEST(RegexObjectTest, ReadsBeforeAnyCreateAreEmpty) {
  RegexObject regex;
  EXPECT_TRUE(regex.GetPattern().IsAbsent());
  EXPECT_TRUE(regex.Replace("x").Str().empty());
  EXPECT_EQ(regex.MatchCount(), 0);
  EXPECT_EQ(regex.SubMatchCount(), 0);
  int position = 77;
  EXPECT_TRUE(regex.MatchText(1, &position).Str().empty());
  EXPECT_TRUE(regex.SubMatchText(1, 1).Str().empty());
  regex.Reserved();
}

TEST(RegexObjectTest, PositionIsLeftAloneWhenNotAsked) {
  RegexObject regex;
  ASSERT_TRUE(regex.Create("b", "ab"));
  EXPECT_EQ(regex.MatchText(1).Str(), "b");
  EXPECT_EQ(regex.SubMatchText(1, 1).Str(), "");
}

TEST(RegexObjectTest, IndicesOutsideTheRunGiveEmptyText) {
  RegexObject regex;
  ASSERT_TRUE(regex.Create("(a)(b)?", "a a"));
  ASSERT_EQ(regex.MatchCount(), 2);
  for (int index : {0, -1, 3, 1000}) {
    EXPECT_TRUE(regex.MatchText(index).Str().empty()) << index;
    EXPECT_TRUE(regex.SubMatchText(index, 1).Str().empty()) << index;
  }
  for (int sub : {0, 3}) EXPECT_TRUE(regex.SubMatchText(1, sub).Str().empty()) << sub;
}

TEST(RegexObjectTest, SubMatchesWithPositions) {
  RegexObject regex;
  const std::string subject = kZhong + " id=7;name=Li " + kZhong + " id=8;name=Wu";
  ASSERT_TRUE(regex.Create("id=(\\d+);name=(\\w+)", subject.c_str()));
  EXPECT_EQ(regex.SubMatchCount(), 2);
  int position = 0;
  EXPECT_EQ(regex.SubMatchText(2, 1, &position).Str(), "8");
  EXPECT_EQ(position, 22);
  EXPECT_EQ(regex.SubMatchText(2, 2, &position).Str(), "Wu");
  EXPECT_EQ(position, 29);
  EXPECT_EQ(regex.SubMatchText(1, 2, &position).Str(), "Li");
  EXPECT_EQ(position, 13);
}

TEST(RegexObjectTest, GroupThatTookNoPartIsEmpty) {
  RegexObject regex;
  ASSERT_TRUE(regex.Create("(a)|(b)", "b"));
  EXPECT_EQ(regex.SubMatchCount(), 2);
  EXPECT_TRUE(regex.SubMatchText(1, 1).IsAbsent());
  EXPECT_EQ(regex.SubMatchText(1, 2).Str(), "b");
}

TEST(RegexObjectTest, SubMatchCountWithoutMatchesIsZero) {
  RegexObject regex;
  ASSERT_TRUE(regex.Create("(a)(b)", "xyz"));
  EXPECT_EQ(regex.SubMatchCount(), 0);
}

struct ReplaceCase {
  const char* pattern;
  bool global;
  const char* replacement;
  const char* expected;
};

TEST(RegexObjectTest, ReplaceExpandsTemplates) {
  const ReplaceCase cases[] = {
      {"(\\w+)=(\\w+)", true, "$2=$1", "b=a; d=c"},
      {"\\w+=", true, "[$&]", "[a=]b; [c=]d"},
      {"=", true, "$$", "a$b; c$d"},
      {"(=)", true, "$3$0", "a$3$0b; c$3$0d"},
      {";", true, "<$`|$'>", "a=b<a=b| c=d> c=d"},
      {"\\w", false, "_", "_=b; c=d"},
      {"(x)?=", true, "[$1]", "a[]b; c[]d"},
      {"(a)", true, "$10|$01|$0|$|$x", "a0|a|$0|$|$x=b; c=d"},
  };
  for (const ReplaceCase& c : cases) {
    RegexObject regex;
    ASSERT_TRUE(regex.Create(c.pattern, "a=b; c=d", true, true, c.global)) << c.pattern;
    EXPECT_EQ(regex.Replace(c.replacement).Str(), c.expected) << c.pattern;
  }
}

TEST(RegexObjectTest, ReplaceKeepsDoubleByteTextAndDefaultsToEmpty) {
  RegexObject regex;
  const std::string subject = kZhong + "ab" + kZhong;
  ASSERT_TRUE(regex.Create("b", subject.c_str()));
  EXPECT_EQ(regex.Replace(kZhong.c_str()).Str(), kZhong + "a" + kZhong + kZhong);
  EXPECT_EQ(regex.Replace().Str(), kZhong + "a" + kZhong);
}

TEST(RegexObjectTest, GetPatternGivesTheLastPattern) {
  RegexObject regex;
  const std::string pattern = kZhong + "(\\d)";
  ASSERT_TRUE(regex.Create("first", "x"));
  ASSERT_TRUE(regex.Create(pattern.c_str(), "x"));
  EXPECT_EQ(regex.GetPattern().Str(), pattern);
}

TEST(RegexObjectTest, CopySharesTheRunAndKeepsItsOwnSubject) {
  RegexObject original;
  ASSERT_TRUE(original.Create("a(.)", "a1 a2"));
  RegexObject copy(original);
  ASSERT_TRUE(original.Create("b", "b"));
  EXPECT_EQ(copy.MatchCount(), 2);
  int position = 0;
  EXPECT_EQ(copy.MatchText(2, &position).Str(), "a2");
  EXPECT_EQ(position, 3);
  EXPECT_EQ(copy.Replace("<$1>").Str(), "<1> <2>");
  EXPECT_EQ(original.MatchCount(), 1);

  RegexObject assigned;
  assigned = copy;
  EXPECT_EQ(assigned.SubMatchText(1, 1).Str(), "1");
}

TEST(RegexObjectTest, ManyRecordsOfACourseAnswer) {
  std::string answer = "{\"list\":[";
  for (int i = 0; i < 300; ++i) {
    answer += "{\"seriNum\":" + std::to_string(i) + ",\"title\":\"" + kZhong + std::to_string(i) +
              "\",\"subtitleUrl\":\"\"},";
  }
  answer += "]}";
  RegexObject regex;
  ASSERT_TRUE(regex.Create("seriNum.*?subtitleUrl", answer.c_str()));
  ASSERT_EQ(regex.MatchCount(), 300);
  int position = 0;
  const Text last = regex.MatchText(300, &position);
  EXPECT_EQ(last.Str(), "seriNum\":299,\"title\":\"" + kZhong + "299\",\"subtitleUrl");
  EXPECT_EQ(answer.substr(static_cast<std::size_t>(position), last.Str().size()), last.Str());
}

// The automation layer itself: the counts the object relies on.
class AutomationTest : public testing::Test {
 protected:
  AutomationTest() { platform::ComInitialize(); }
  ~AutomationTest() override { platform::ComUninitialize(); }
};

TEST_F(AutomationTest, FirstIndexCountsCharactersOfTheConvertedSubject) {
  platform::ComObject engine;
  ASSERT_TRUE(platform::CreateObject(engine, "VBScript.RegExp"));
  EXPECT_TRUE(platform::WriteProperty(engine, "Pattern", "ab"));
  const std::string subject = kZhong + "ab";
  const platform::ComObject matches =
      platform::CallObject(engine, "Execute", {Text(subject.c_str())});
  const platform::ComObject match = platform::ReadObject(matches, "Item", 0.0);
  EXPECT_EQ(platform::ReadNumber(match, "FirstIndex"), 1);
  EXPECT_EQ(platform::ReadText(engine, "IgnoreCase").Str(), "0");
  EXPECT_EQ(platform::ReadText(engine, "Global").Str(), "0");
  EXPECT_EQ(platform::ReadText(engine, "Multiline").Str(), "0");
  EXPECT_TRUE(platform::WriteProperty(engine, "IgnoreCase", true));
  EXPECT_EQ(platform::ReadText(engine, "IgnoreCase").Str(), "-1");
  EXPECT_FALSE(platform::WriteProperty(engine, "Singleline", true));
  EXPECT_FALSE(platform::WriteProperty(engine, "NoSuchMember", true));
  EXPECT_TRUE(platform::ReadObject(matches, "Item", 1.0).IsEmpty());
  EXPECT_EQ(platform::ReadNumber(matches, "NoSuchMember"), 0);
}

TEST_F(AutomationTest, ReferencesCopyMoveAndClear) {
  platform::ComObject engine;
  EXPECT_FALSE(platform::CreateObject(engine, "No.SuchClass"));
  EXPECT_TRUE(engine.IsEmpty());
  ASSERT_TRUE(platform::CreateObject(engine, "vbscript.regexp"));
  platform::ComObject copy = engine;
  EXPECT_TRUE(platform::WriteProperty(copy, "Pattern", "q"));
  EXPECT_EQ(platform::ReadText(engine, "Pattern").Str(), "q");
  platform::ComObject moved = std::move(copy);
  EXPECT_TRUE(copy.IsEmpty());  // NOLINT(bugprone-use-after-move): moved-from is empty
  engine.Clear();
  EXPECT_TRUE(engine.IsEmpty());
  EXPECT_EQ(platform::ReadText(moved, "Pattern").Str(), "q");
  EXPECT_FALSE(platform::CreateObject(moved, "No.SuchClass"));
  EXPECT_EQ(platform::ReadText(moved, "Pattern").Str(), "q");
}

}  // namespace
}  // namespace merravine
