// The copy commands over the lists that a retrieval filled.
#include "course/clipboard_commands.h"

#include <gtest/gtest.h>

#include "course_fixture.h"

namespace merravine::testing {
namespace {

using CopyCommands = CourseTest;

Text Lines(std::initializer_list<Text> items) {
  Text all("");
  for (const Text& item : items) all = TextJoin(all, item, "\r\n");
  return all;
}

TEST_F(CopyCommands, CopyAllPutsExactlyTheCurrentListEveryTime) {
  Download("three");
  const Text titles =
      Lines({Gbk("第一课 认识汉字"), Gbk("第二课 拼音基础"), Gbk("第三课 笔画与笔顺")});
  CopyAllTitles();
  EXPECT_EQ(fake::Clipboard(), titles);
  CopyAllTitles();
  EXPECT_EQ(fake::Clipboard(), titles) << "a second use must not repeat the list";

  CopyAllAddresses();
  EXPECT_EQ(fake::Clipboard(),
            Lines({VideoAddress("three", 1), VideoAddress("three", 2), VideoAddress("three", 3)}));

  Download("no-video");
  CopyAllTitles();
  EXPECT_EQ(fake::Clipboard(),
            TextJoin(titles, Lines({Gbk("正常的课时"), Gbk("空白应答"), Gbk("应答缺少标记")})));
  CopyAllAddresses();
  const auto rows = fake::Rows();
  EXPECT_EQ(fake::Clipboard(),
            Lines({VideoAddress("three", 1), VideoAddress("three", 2), VideoAddress("three", 3),
                   VideoAddress("no-video", 1), Text(""), rows[5].second}))
      << "an empty address keeps its line";
}

TEST_F(CopyCommands, CopyAllOverEmptyListsPutsAnEmptyText) {
  CopyAllTitles();
  EXPECT_EQ(fake::ClipboardWrites(), 1);
  EXPECT_EQ(fake::Clipboard(), Text(""));
}

TEST_F(CopyCommands, SelectedRowCommandsCopyThatRowsEntryAlone) {
  Download("three");
  fake::Select(1);
  CopySelectedTitle();
  EXPECT_EQ(fake::Clipboard(), Gbk("第二课 拼音基础"));
  CopySelectedAddress();
  EXPECT_EQ(fake::Clipboard(), VideoAddress("three", 2));
}

TEST_F(CopyCommands, SelectedRowCommandsDoNothingWithoutARowOfTheLists) {
  Download("three");
  for (int row : {-1, 3}) {
    fake::Select(row);
    CopySelectedTitle();
    CopySelectedAddress();
  }
  EXPECT_EQ(fake::ClipboardWrites(), 0);
}

}  // namespace
}  // namespace merravine::testing
