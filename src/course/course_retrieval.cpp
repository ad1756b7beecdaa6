#include "course/course_retrieval.h"

#include "app/globals.h"
#include "course/service_host.h"
#include "net/web_request.h"
#include "platform/automation.h"
#include "regex/regex_object.h"
#include "text/charset.h"
#include "text/delimited.h"

namespace merravine {

namespace {

// A lesson record runs from "seriNum" to the nearest "subtitleUrl" after it.
constexpr const char* kLessonRecordPattern = "seriNum.*?subtitleUrl";

}  // namespace

Text CourseIdentifier(const Text& courseAddress) {
  return TextBetween(courseAddress, "play_", ".shtml");
}

Text CourseListAddress(const Text& courseAddress) {
  return TextJoin(Text("http://"), ServiceHost(), "/ajax/getvideolistinfo_",
                  CourseIdentifier(courseAddress), ".shtml");
}

RetrievalResult RetrieveCourse(const Text& courseAddress,
                               const std::function<void(const Lesson&)>& onLesson) {
  RetrievalResult result;
  const Text rawAnswer = WebGetText(CourseListAddress(courseAddress));
  result.listAnswered = TextLength(rawAnswer) > 0;
  const Text listAnswer = Utf8ToGbk(rawAnswer);

  // The worker enters COM once and never leaves: the objects it makes stay held
  // by g_regex after the thread ends.
  platform::ComInitialize();
  int count = 0;
  const bool alive = WithRegex([&](RegexObject& regex) {
    regex.Create(kLessonRecordPattern, listAnswer, false, true, true);
    count = regex.MatchCount();
  });
  if (!alive) return result;

  for (int n = 1; n <= count; ++n) {
    Text record;
    if (!WithRegex([&](RegexObject& regex) { record = regex.MatchText(n); })) break;
    Lesson lesson;
    lesson.number = n;
    lesson.title = TextBetween(record, "title\":\"", "\",\"getVideoUrl");
    const Text lessonAddress = TextBetween(record, "getVideoUrl\":\"", "\",\"");
    const Text lessonAnswer = WebGetText(lessonAddress);
    lesson.videoAddress = TextBetween(lessonAnswer, ":[\"", "\"]}");
    onLesson(lesson);
    ++result.lessons;
  }
  return result;
}

}  // namespace merravine
