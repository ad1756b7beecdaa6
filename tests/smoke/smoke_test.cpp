#include <gtest/gtest.h>
#include <string>
TEST(Smoke, Utf8Identifier) { int 编辑框1 = 1; EXPECT_EQ(编辑框1, 1); }
