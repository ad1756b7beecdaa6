// The retrieval through the download button, against the sample service.
#include <gtest/gtest.h>

#include "course/course_retrieval.h"
#include "course_fixture.h"
#include "text/gbk_literals.h"

namespace merravine::testing {
namespace {

Text Counter(int n) {
  return TextJoin(Text(gbk::第), NumberToText(n), Text(gbk::课));
}

// The rows and both lists hold the same lessons in the same order.
void ExpectListsInStepWithRows() {
  const auto rows = fake::Rows();
  ASSERT_EQ(TextListCount(*g_courseTitles), static_cast<int>(rows.size()));
  ASSERT_EQ(TextListCount(*g_courseUrls), static_cast<int>(rows.size()));
  for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
    EXPECT_EQ(TextListAt(*g_courseTitles, i + 1), rows[static_cast<std::size_t>(i)].first) << i;
    EXPECT_EQ(TextListAt(*g_courseUrls, i + 1), rows[static_cast<std::size_t>(i)].second) << i;
  }
}

TEST(CourseIdentifier, IsCutBetweenPlayAndShtml) {
  EXPECT_EQ(CourseIdentifier(Text("http://host/play_400004169_19743.shtml")),
            Text("400004169_19743"));
  EXPECT_EQ(CourseIdentifier(Text("")), Text(""));
  EXPECT_EQ(CourseListAddress(Text("http://elsewhere/play_7.shtml")),
            TextJoin(Text("http://"), ServiceHost(), "/ajax/getvideolistinfo_7.shtml"));
}

using Retrieval = CourseTest;

TEST_F(Retrieval, GivesOneRowPerLessonInRecordOrder) {
  Download("three");
  const auto rows = fake::Rows();
  ASSERT_EQ(rows.size(), 3u);
  const char* titles[] = {"第一课 认识汉字", "第二课 拼音基础", "第三课 笔画与笔顺"};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(rows[static_cast<std::size_t>(i)].first, Gbk(titles[i]));
    EXPECT_EQ(rows[static_cast<std::size_t>(i)].second, VideoAddress("three", i + 1));
  }
  EXPECT_EQ(fake::ControlTextOf(ControlId::标签2), Counter(3));
  ExpectListsInStepWithRows();
  EXPECT_EQ(fake::ThreadsStarted(), 1);
}

TEST_F(Retrieval, StartsWithTheDefaultAddressOfTheServiceHost) {
  EXPECT_EQ(fake::ControlTextOf(ControlId::编辑框1),
            TextJoin(Text("http://"), ServiceHost(), "/play_400004169_19743.shtml"));
  OnDownloadClick();
  ASSERT_TRUE(fake::PumpUntil([] { return fake::Enabled(ControlId::按钮1); }));
  const auto rows = fake::Rows();
  ASSERT_EQ(rows.size(), 8u);
  EXPECT_EQ(rows[0].first, Gbk("课程介绍与学习方法"));
  EXPECT_EQ(rows[7].first, Gbk("综合练习：通讯录程序"));
  EXPECT_EQ(fake::ControlTextOf(ControlId::标签2), Counter(8));
}

TEST_F(Retrieval, SecondPressAfterTheFirstEndsAppendsAndCountsAgain) {
  Download("three");
  Download("no-video");
  const auto rows = fake::Rows();
  ASSERT_EQ(rows.size(), 6u);
  EXPECT_EQ(rows[2].first, Gbk("第三课 笔画与笔顺"));
  EXPECT_EQ(rows[3].first, Gbk("正常的课时"));
  EXPECT_EQ(fake::ControlTextOf(ControlId::标签2), Counter(3));
  ExpectListsInStepWithRows();
  EXPECT_EQ(fake::ThreadsStarted(), 2);
}

TEST_F(Retrieval, PressDuringARetrievalStartsNothing) {
  fake::SetText(ControlId::编辑框1, CoursePage("slow_3_150"));
  OnDownloadClick();
  EXPECT_FALSE(fake::Enabled(ControlId::按钮1)) << "the button shows that work goes on";
  OnDownloadClick();
  ASSERT_TRUE(fake::PumpUntil([] { return fake::Rows().size() == 1; }));
  OnDownloadClick();
  ASSERT_TRUE(fake::PumpUntil([] { return fake::Enabled(ControlId::按钮1); }));
  EXPECT_EQ(fake::ThreadsStarted(), 1);
  EXPECT_EQ(fake::Rows().size(), 3u);
  ExpectListsInStepWithRows();
}

TEST_F(Retrieval, RecordsWithMissingPartsStillGiveTheirRows) {
  Download("no-video");
  const auto rows = fake::Rows();
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].second, VideoAddress("no-video", 1));
  EXPECT_EQ(rows[1].first, Gbk("空白应答"));
  EXPECT_EQ(rows[1].second, Text("")) << "an empty lesson answer gives an empty address";
  EXPECT_EQ(rows[2].first, Gbk("应答缺少标记"));
  ExpectListsInStepWithRows();
}

TEST_F(Retrieval, TakesTitlesAsTheyStandAndSkipsAnUnclosedLastRecord) {
  Download("quirks");
  const auto rows = fake::Rows();
  ASSERT_EQ(rows.size(), 6u) << "the seventh record has no closing subtitleUrl";
  EXPECT_EQ(rows[1].first, Gbk(R"(第二课 他说\"你好\")")) << "escapes stay as they are";
  EXPECT_EQ(rows[5].first, Gbk("第六课 正常"));
  EXPECT_EQ(rows[5].second, VideoAddress("quirks", 6));
  EXPECT_EQ(fake::ControlTextOf(ControlId::标签2), Counter(6));
  ExpectListsInStepWithRows();
}

TEST_F(Retrieval, ACourseWithoutLessonsAddsNothingAndKeepsTheCounter) {
  Download("three");
  Download("empty");
  EXPECT_EQ(fake::Rows().size(), 3u);
  EXPECT_EQ(fake::ControlTextOf(ControlId::标签2), Counter(3));
  Download("");  // an empty course identifier: the request still goes out
  EXPECT_EQ(fake::Rows().size(), 3u);
  ExpectListsInStepWithRows();
}

}  // namespace
}  // namespace merravine::testing
