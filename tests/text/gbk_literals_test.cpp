// Every Chinese text of the program is written twice, in UTF-8 and as its
// code page 936 bytes; the two must agree.
#include <gtest/gtest.h>

#include <string_view>

#include "text/charset.h"
#include "text/gbk_literals.h"

namespace merravine {
namespace {

struct Literal {
  const char* name;
  std::string_view utf8;
  std::string_view gbk;
};

#define MERRAVINE_GBK_LITERAL_ENTRY(name, utf8, bytes) \
  Literal{#name, reinterpret_cast<const char*>(utf8), gbk::name},
const Literal kLiterals[] = {MERRAVINE_GBK_LITERALS(MERRAVINE_GBK_LITERAL_ENTRY)};
#undef MERRAVINE_GBK_LITERAL_ENTRY

TEST(GbkLiterals, BytesAreTheUtf8SpellingInCodePage936) {
  for (const Literal& literal : kLiterals) {
    EXPECT_EQ(Utf8ToGbk(Text(literal.utf8)).View(), literal.gbk) << literal.name;
  }
}

}  // namespace
}  // namespace merravine
