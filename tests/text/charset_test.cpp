// UTF-8 to code page 936 through UTF-16, and the two stages on their own.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "case_name.h"
#include "text/charset.h"

namespace merravine {
namespace {

std::string_view Utf8(const char8_t* s) {
  return reinterpret_cast<const char*>(s);
}

struct Utf8Case {
  const char* name;
  std::string_view utf8;
  std::string_view gbk;
};

class Utf8ToGbkTest : public testing::TestWithParam<Utf8Case> {};

TEST_P(Utf8ToGbkTest, Converts) {
  const Utf8Case& c = GetParam();
  EXPECT_EQ(Utf8ToGbk(Text(c.utf8)).View(), c.gbk);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Utf8ToGbkTest,
    testing::Values(Utf8Case{"ascii_unchanged", "{\"seriNum\":1,\"title\":\"a b\"}\r\n",
                             "{\"seriNum\":1,\"title\":\"a b\"}\r\n"},
                    Utf8Case{"chinese_three_bytes_become_two", Utf8(u8"第1课 下载"),
                             "\xB5\xDA"
                             "1\xBF\xCE \xCF\xC2\xD4\xD8"},
                    Utf8Case{"full_width_forms", Utf8(u8"１２：　"),
                             "\xA3\xB1\xA3\xB2\xA3\xBA\xA1\xA1"},
                    Utf8Case{"euro_sign_is_0x80", Utf8(u8"5€"), "5\x80"},
                    Utf8Case{"two_byte_utf8", Utf8(u8"é"), "\xA8\xA6"},
                    Utf8Case{"character_936_lacks_becomes_question_mark", Utf8(u8"aกb"), "a?b"},
                    // Invalid UTF-8 becomes U+FFFD, which code page 936 cannot hold.
                    Utf8Case{"invalid_byte",
                             "a\xFF"
                             "b",
                             "a?b"},
                    Utf8Case{"truncated_sequence_at_end", "ab\xE4\xB8", "ab?"}),
    CaseName<Utf8Case>);

TEST(Utf8ToGbk, EmptyInputGivesEmptyText) {
  EXPECT_TRUE(Utf8ToGbk(Text("")).IsAbsent());
  EXPECT_TRUE(Utf8ToGbk(Text()).IsAbsent());
}

TEST(MultiToWide, UnitsWithTerminator) {
  const Bytes w = MultiToWide(Text("ab"));
  EXPECT_EQ(w.View(), std::string_view("a\0b\0\0\0", 6));
  EXPECT_EQ(BytesLength(MultiToWide(Text())), 0);
  EXPECT_EQ(BytesLength(MultiToWide(Text(""))), 2);  // the terminator alone
}

TEST(MultiToWide, CodePage936) {
  // 0xB5 0xDA is U+7B2C; 0x80 is U+20AC.
  const Bytes w = MultiToWide(Text("\xB5\xDA\x80"), kCodePageGbk);
  EXPECT_EQ(w.View(), std::string_view("\x2C\x7B\xAC\x20\0\0", 6));
}

TEST(MultiToWide, BufferHoldsEveryUnitOfInvalidUtf8) {
  // Code page 936 bytes read as UTF-8: four invalid bytes, four U+FFFD, more
  // units than the same bytes make in code page 936. The buffer still holds
  // them all and the terminator.
  const Bytes w = MultiToWide(Text("\xCF\xC2\xD4\xD8"));
  EXPECT_EQ(w.View(), std::string_view("\xFD\xFF\xFD\xFF\xFD\xFF\xFD\xFF\0\0", 10));
  EXPECT_EQ(WideToMulti(w, kCodePageGbk).View(), "????");
}

TEST(WideToMulti, RoundTripsThroughUtf16) {
  const Text gbk("\xB8\xB4\xD6\xC6 copy");
  EXPECT_EQ(WideToMulti(MultiToWide(gbk, kCodePageGbk), kCodePageGbk), gbk);
  EXPECT_EQ(WideToMulti(MultiToWide(gbk, kCodePageGbk), kCodePageUtf8).View(), Utf8(u8"复制 copy"));
  EXPECT_EQ(WideToMulti(MultiToWide(gbk, kCodePageGbk)), gbk) << "ANSI code page is 936";
}

TEST(WideToMulti, ReadsNoFurtherThanItsUnits) {
  // No terminator inside the value: conversion stops at its end.
  EXPECT_EQ(WideToMulti(Bytes(std::string_view("a\0b\0", 4))).View(), "ab");
  // An odd last byte is no unit.
  EXPECT_EQ(WideToMulti(Bytes(std::string_view("a\0b\0c", 5))).View(), "ab");
  // The first zero unit ends the text.
  EXPECT_EQ(WideToMulti(Bytes(std::string_view("a\0\0\0b\0", 6))).View(), "a");
  EXPECT_TRUE(WideToMulti(Bytes(std::string_view("a", 1))).IsAbsent());
  EXPECT_TRUE(WideToMulti(Bytes()).IsAbsent());
}

}  // namespace
}  // namespace merravine
