#include "course/fetch_course_list.h"

#include <utility>

#include "app/globals.h"
#include "course/course_retrieval.h"
#include "platform/window.h"
#include "text/gbk_literals.h"

namespace merravine {

using platform::ControlId;

void AddLessonRow(const Lesson& lesson) {
  // Work posted by a worker may arrive after the globals were released.
  if (!g_courseTitles || !g_courseUrls) return;
  const int row = platform::ListInsertRow(ControlId::超级列表框1);
  platform::ListSetCell(ControlId::超级列表框1, row, 0, lesson.title);
  platform::ListSetCell(ControlId::超级列表框1, row, 1, lesson.videoAddress);
  platform::SetControlText(ControlId::标签2,
                           TextJoin(Text(gbk::第), NumberToText(lesson.number), Text(gbk::课)));
  TextListAppend(*g_courseTitles, lesson.title);
  TextListAppend(*g_courseUrls, lesson.videoAddress);
}

void FetchCourseList(const Text& courseAddress) {
  RetrieveCourse(courseAddress, [](const Lesson& lesson) {
    platform::RunOnMainThread([lesson] { AddLessonRow(lesson); });
  });
  platform::RunOnMainThread([] { platform::SetControlEnabled(ControlId::按钮1, true); });
}

void OnDownloadClick() {
  // The disabled button is the mark of a running retrieval: one at a time,
  // since a second one would share g_regex and interleave its rows.
  if (!platform::ControlEnabled(ControlId::按钮1)) return;
  // The address is read here, on the main thread, and handed to the worker,
  // so the worker never has to wait for the main thread.
  Text address = platform::ControlText(ControlId::编辑框1);
  platform::SetControlEnabled(ControlId::按钮1, false);
  if (!platform::StartThread([address = std::move(address)] { FetchCourseList(address); })) {
    platform::SetControlEnabled(ControlId::按钮1, true);
  }
}

}  // namespace merravine
