// Cookie merge: the answer's cookies replace and delete earlier ones, and the
// result comes out in one canonical form.
#include "net/cookie.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace merravine {
namespace {

TextList ListOf(std::initializer_list<const char*> items) {
  TextList list;
  for (const char* item : items) TextListAppend(list, item);
  return list;
}

struct MergeCase {
  const char* cookies;
  const char* returned;
  const char* cookiesAfter;
  const char* returnedAfter;
};

void PrintTo(const MergeCase& c, std::ostream* os) {
  *os << '"' << c.cookies << "\" + \"" << c.returned << '"';
}

class CookieMergeTest : public ::testing::TestWithParam<MergeCase> {};

TEST_P(CookieMergeTest, MergesIntoTheCallersCookies) {
  const MergeCase& c = GetParam();
  Text cookies = c.cookies;
  Text returned = c.returned;
  const Text result = CookieMerge(cookies, returned);
  EXPECT_EQ(cookies.Str(), c.cookiesAfter);
  EXPECT_EQ(returned.Str(), c.returnedAfter);
  EXPECT_EQ(result.Str(), c.cookiesAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CookieMergeTest,
    ::testing::Values(MergeCase{"", "", "", ""}, MergeCase{"a=1; b=2", "", "a=1; b=2", ""},
                      MergeCase{"", "a=1; b=2", "a=1; b=2", "a=1;b=2"},
                      // The answer's cookies first, then the old ones it did not set.
                      MergeCase{"a=1; b=2", "b=3; c=4", "b=3; c=4; a=1", "b=3;c=4"},
                      MergeCase{"a=1; b=2", "a=deleted", "b=2", "a=deleted"},
                      // Of several old entries with one name only the first is kept.
                      MergeCase{"a=1;a=2", "", "a=1", ""},
                      // Identical entries collapse; same name, different value stay.
                      MergeCase{"", "a=1; a=1", "a=1", "a=1;a=1"},
                      MergeCase{"", "a=1; a=2", "a=1; a=2", "a=1;a=2"},
                      MergeCase{"A=1", "a=2", "a=2; A=1", "a=2"},  // names are case-sensitive
                      MergeCase{"x = hello world", "", "x=helloworld", ""},
                      MergeCase{"flag; a=1", "flag", "flag; a=1", "flag"},  // an entry without "="
                      MergeCase{"s=deleted; a=1", "", "a=1", ""},
                      // A doubled ";" is an empty entry; a trailing one adds nothing.
                      MergeCase{"a=1;;b=2", "", "a=1; ; b=2", ""}, MergeCase{"a=1;", "", "a=1", ""},
                      // Full-width spaces (0xA1 0xA1) are blanks too; other double-byte
                      // characters in a value survive whole.
                      MergeCase{"n=\xC4\xE3\xA1\xA1\xBA\xC3", "", "n=\xC4\xE3\xBA\xC3", ""},
                      // The form in which the request routine collects an answer's
                      // cookies; the empty entry ends up last and goes with the final "; ".
                      MergeCase{"sid=old; lang=zh", "sid=new; ; lang=deleted", "sid=new",
                                "sid=new;;lang=deleted"}));

TEST(CookieNameTest, IsTheTrimmedTextBeforeTheFirstEquals) {
  EXPECT_EQ(CookieName(" a =1").Str(), "a");
  EXPECT_EQ(CookieName("a=b=c").Str(), "a");
  EXPECT_EQ(CookieName(" flag ").Str(), "flag");
  EXPECT_EQ(CookieName("=v").Str(), "");
  EXPECT_EQ(CookieName("").Str(), "");
}

TEST(CookieListHasNameTest, ComparesNamesByteForByte) {
  const TextList list = ListOf({"a=1", " b =2", "flag"});
  EXPECT_TRUE(CookieListHasName(list, "a"));
  EXPECT_TRUE(CookieListHasName(list, "b"));
  EXPECT_TRUE(CookieListHasName(list, "flag"));
  EXPECT_FALSE(CookieListHasName(list, "A"));
  EXPECT_FALSE(CookieListHasName(list, "a=1"));
  EXPECT_FALSE(CookieListHasName(TextList(), ""));
}

TEST(TextUniquePiecesTest, DropsRepeatedPieces) {
  EXPECT_EQ(TextUniquePieces("a; a; b", "; ").Str(), "a; b");
  EXPECT_EQ(TextUniquePieces("b; a; b; a", "; ").Str(), "b; a");
  EXPECT_EQ(TextUniquePieces("", "; ").Str(), "");
  EXPECT_EQ(TextUniquePieces("x", "; ").Str(), "x");
  // Pieces compare byte for byte: letter case matters.
  EXPECT_EQ(TextUniquePieces("a,A,a", ",").Str(), "a,A");
}

TEST(TextListIndexOfTest, FindsTheFirstEqualEntry) {
  const TextList list = ListOf({"a", "b", "a", ""});
  EXPECT_EQ(TextListIndexOf(list, "a"), 1);
  EXPECT_EQ(TextListIndexOf(list, "b"), 2);
  EXPECT_EQ(TextListIndexOf(list, ""), 4);
  EXPECT_EQ(TextListIndexOf(list, "A"), -1);
  EXPECT_EQ(TextListIndexOf(TextList(), "a"), -1);
}

}  // namespace
}  // namespace merravine
