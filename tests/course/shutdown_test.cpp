// Closing the window in the middle of a retrieval: the globals are released
// while the worker waits for a slow lesson answer. The worker must stop without
// touching released state (ThreadSanitizer and AddressSanitizer builds check
// the accesses), and the main thread must not wait for it.
#include <gtest/gtest.h>

#include "course_fixture.h"

namespace merravine::testing {
namespace {

using Shutdown = CourseTest;

TEST_F(Shutdown, DuringARetrievalReleasesSafelyAndTheWorkerStops) {
  constexpr int kLessons = 20;
  for (int round = 0; round < 4; ++round) {
    SCOPED_TRACE(round);
    fake::SetText(ControlId::编辑框1, CoursePage("slow_20_100"));
    OnDownloadClick();
    ASSERT_TRUE(fake::PumpUntil([] { return !fake::Rows().empty(); }));
    // What the end of the program does: the loop ends, then the release.
    fake::CloseQueue();
    ReleaseGlobals();
    EXPECT_EQ(g_regex, nullptr);
    // Only the test waits: the worker ends after the lesson it is fetching.
    fake::JoinThreads();
    EXPECT_LT(fake::Rows().size(), static_cast<std::size_t>(kLessons));

    InitGlobals();
    fake::Reset(MainWindowDesign());
  }
}

}  // namespace
}  // namespace merravine::testing
