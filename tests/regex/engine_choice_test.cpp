// Where "VBScript.RegExp" comes from: with no engine at all the object shows
// its failure behaviour; without the script engine the built-in one takes its
// place where the system has ICU (Linux, Windows 10 1903 and later; not Wine);
// and the built-in engine ends hostile patterns as "no match".
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "platform/automation.h"
#include "platform/builtin_regexp/icu_binding.h"
#include "regex/regex_object.h"

namespace merravine {
namespace {

using platform::RegExpEngines;

class EngineChoiceTest : public testing::Test {
 protected:
  ~EngineChoiceTest() override {
    platform::SetRegExpEnginesForTesting(RegExpEngines::Any);
    platform::builtin::SetIcuBindingForTesting(nullptr);
  }

  // Whether the built-in engine can be made here.
  static bool BuiltinAvailable() {
    platform::SetRegExpEnginesForTesting(RegExpEngines::BuiltinOnly);
    platform::ComInitialize();
    platform::ComObject probe;
    const bool made = platform::CreateObject(probe, "VBScript.RegExp");
    probe.Clear();
    platform::ComUninitialize();
    return made;
  }
};

void ExpectFailureBehaviour(RegexObject& regex) {
  EXPECT_FALSE(regex.Create("a(b)", "abab"));
  EXPECT_EQ(regex.MatchCount(), 0);
  EXPECT_EQ(regex.SubMatchCount(), 0);
  int position = 55;
  EXPECT_TRUE(regex.MatchText(1, &position).Str().empty());
  EXPECT_TRUE(regex.SubMatchText(1, 1, &position).Str().empty());
  EXPECT_TRUE(regex.GetPattern().Str().empty());
  EXPECT_TRUE(regex.Replace("x").Str().empty());
}

TEST_F(EngineChoiceTest, WithoutAnyEngineEverythingIsEmpty) {
  platform::SetRegExpEnginesForTesting(RegExpEngines::None);
  RegexObject regex;
  ExpectFailureBehaviour(regex);
}

// Wine has no icu.dll, so there this shows the failure behaviour; on Linux and
// on a Windows with icu.dll the built-in engine does the work.
TEST_F(EngineChoiceTest, WithoutTheScriptEngine) {
  const bool builtin = BuiltinAvailable();
  RegexObject regex;
  if (!builtin) {
    ExpectFailureBehaviour(regex);
    return;
  }
  ASSERT_TRUE(regex.Create("seriNum.*?subtitleUrl", "seriNum a subtitleUrl seriNum b subtitleUrl"));
  ASSERT_EQ(regex.MatchCount(), 2);
  EXPECT_EQ(regex.MatchText(2).Str(), "seriNum b subtitleUrl");
}

// Patterns and subjects that would keep a backtracking engine busy for hours
// end as a run without matches.
TEST_F(EngineChoiceTest, HostilePatternsEndWithoutMatch) {
  if (!BuiltinAvailable()) GTEST_SKIP() << "no built-in engine here (no ICU)";
  struct Hostile {
    const char* name;
    std::string pattern;
    std::string subject;
  };
  std::string records;
  while (records.size() < 10'000'000) records += "{\"seriNum\":1,\"title\":\"x\",\"url\":\"y\"},";
  const Hostile cases[] = {
      {"nested quantifiers", "(a+)+$", std::string(30, 'a') + "b"},
      {"10 MB without an end", "seriNum.*?subtitleUrl", records},
      {"backtracking deeper than the stack limit", "(a|b)*c", std::string(4'000'000, 'a')},
  };
  for (const Hostile& c : cases) {
    RegexObject regex;
    EXPECT_TRUE(regex.Create(c.pattern.c_str(), c.subject.c_str())) << c.name;
    EXPECT_EQ(regex.MatchCount(), 0) << c.name;
  }
}

// A long but honest match is still found.
TEST_F(EngineChoiceTest, LongMatchWithinTheLimit) {
  if (!BuiltinAvailable()) GTEST_SKIP() << "no built-in engine here (no ICU)";
  const std::string subject = "seriNum" + std::string(2'000'000, 'x') + "subtitleUrl";
  RegexObject regex;
  ASSERT_TRUE(regex.Create("seriNum.*?subtitleUrl", subject.c_str()));
  EXPECT_EQ(regex.MatchCount(), 1);
}

// A stand-in for ICU that knows literal patterns only (letters, digits and
// characters beyond ASCII), so that the built-in engine's adapter runs on a
// system without ICU too: under Wine that is the IDispatch the engine sits
// behind, with its VARIANT and BSTR conversions.
namespace fake_icu {

constexpr int kSyntaxError = 0x10300;  // U_REGEX_RULE_SYNTAX

struct Regex {
  std::u16string pattern;
  bool ignoreCase = false;
  const char16_t* text = nullptr;
  std::int32_t length = 0;
  std::int32_t next = 0;
  std::int32_t start = -1;
};

Regex* From(platform::builtin::IcuRegex* r) {
  return reinterpret_cast<Regex*>(r);
}

char16_t Fold(char16_t c) {
  return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c;
}

platform::builtin::IcuRegex* Open(const char16_t* pattern, std::int32_t length, std::uint32_t flags,
                                  void*, int* status) {
  std::u16string p(pattern, static_cast<std::size_t>(length));
  for (char16_t c : p) {
    const bool literal =
        c >= 0x80 || (c >= u'0' && c <= u'9') || (Fold(c) >= u'a' && Fold(c) <= u'z');
    if (!literal) {
      *status = kSyntaxError;
      return nullptr;
    }
  }
  auto regex = std::make_unique<Regex>();
  regex->pattern = std::move(p);
  regex->ignoreCase = (flags & platform::builtin::kIcuCaseInsensitive) != 0;
  return reinterpret_cast<platform::builtin::IcuRegex*>(regex.release());
}

void Close(platform::builtin::IcuRegex* r) {
  std::unique_ptr<Regex> owned(From(r));
}

void SetText(platform::builtin::IcuRegex* r, const char16_t* text, std::int32_t length, int*) {
  From(r)->text = text;
  From(r)->length = length;
  From(r)->next = 0;
}

std::int8_t FindNext(platform::builtin::IcuRegex* r, int*) {
  Regex& re = *From(r);
  const auto n = static_cast<std::int32_t>(re.pattern.size());
  for (std::int32_t at = re.next; at + n <= re.length; ++at) {
    bool same = true;
    for (std::int32_t k = 0; k < n && same; ++k) {
      const char16_t a = re.text[at + k];
      const char16_t b = re.pattern[static_cast<std::size_t>(k)];
      same = re.ignoreCase ? Fold(a) == Fold(b) : a == b;
    }
    if (same) {
      re.start = at;
      re.next = at + n;
      return 1;
    }
  }
  return 0;
}

std::int32_t Start(platform::builtin::IcuRegex* r, std::int32_t, int*) {
  return From(r)->start;
}
std::int32_t End(platform::builtin::IcuRegex* r, std::int32_t, int*) {
  return From(r)->start + static_cast<std::int32_t>(From(r)->pattern.size());
}
std::int32_t GroupCount(platform::builtin::IcuRegex*, int*) {
  return 0;
}
void SetLimit(platform::builtin::IcuRegex*, std::int32_t, int*) {}

constexpr platform::builtin::IcuBinding kBinding = {
    Open, Close, SetText, FindNext, Start, End, GroupCount, SetLimit, SetLimit,
};

}  // namespace fake_icu

TEST_F(EngineChoiceTest, BuiltinEngineBehindTheAutomationLayer) {
  platform::builtin::SetIcuBindingForTesting(&fake_icu::kBinding);
  platform::SetRegExpEnginesForTesting(RegExpEngines::BuiltinOnly);
  const std::string zhong = "\xD6\xD0";
  const std::string subject = zhong + "AB xab";
  RegexObject regex;
  ASSERT_TRUE(regex.Create("ab", subject.c_str()));
  ASSERT_EQ(regex.MatchCount(), 2);
  int position = 0;
  EXPECT_EQ(regex.MatchText(1, &position).Str(), "AB");
  EXPECT_EQ(position, 2);
  EXPECT_EQ(regex.MatchText(2, &position).Str(), "ab");
  EXPECT_EQ(position, 6);
  EXPECT_TRUE(regex.MatchText(3).Str().empty());
  EXPECT_EQ(regex.SubMatchCount(), 0);
  EXPECT_EQ(regex.GetPattern().Str(), "ab");
  EXPECT_EQ(regex.Replace("[$&]").Str(), zhong + "[AB] x[ab]");

  ASSERT_TRUE(regex.Create(zhong.c_str(), subject.c_str(), false, false, false));
  EXPECT_EQ(regex.MatchCount(), 1);
  EXPECT_EQ(regex.MatchText(1).Str(), zhong);

  // The fake refuses anything but literals, as ICU refuses a bad pattern.
  EXPECT_FALSE(regex.Create("a+", subject.c_str()));
  EXPECT_EQ(regex.MatchCount(), 0);
}

}  // namespace
}  // namespace merravine
