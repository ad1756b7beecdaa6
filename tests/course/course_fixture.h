// A fresh program state for each test: the globals, and the double of the
// window built from the real design, with the address box pointing at a
// course of the sample service.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "app/globals.h"
#include "app/main_window_design.h"
#include "course/fetch_course_list.h"
#include "course/service_host.h"
#include "fake_window.h"
#include "text/charset.h"

namespace merravine::testing {

using platform::ControlId;

// The sample service's texts are UTF-8; the program's are code page 936.
inline Text Gbk(const char* utf8) {
  return Utf8ToGbk(Text(utf8));
}

inline Text CoursePage(const std::string& courseId) {
  return TextJoin(Text("http://"), ServiceHost(), "/play_", courseId.c_str(), ".shtml");
}

inline Text VideoAddress(const std::string& courseId, int n) {
  return TextJoin(Text("http://"), ServiceHost(), "/video/", courseId.c_str(), "/",
                  std::to_string(n).c_str(), ".mp4");
}

class CourseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitGlobals();
    fake::Reset(MainWindowDesign());
  }

  void TearDown() override {
    fake::CloseQueue();
    fake::JoinThreads();
    ReleaseGlobals();
    EXPECT_EQ(fake::OffThreadCalls(), 0) << "a worker touched a control directly";
  }

  // Presses the download button for a course and waits until the retrieval
  // has ended (the button is enabled again).
  void Download(const std::string& courseId) {
    fake::SetText(ControlId::编辑框1, CoursePage(courseId));
    OnDownloadClick();
    ASSERT_TRUE(fake::PumpUntil([] { return fake::Enabled(ControlId::按钮1); }))
        << "the retrieval of " << courseId << " did not end";
  }
};

}  // namespace merravine::testing
