// The sample courses and the exact text of the two answers the program reads:
// the course list (UTF-8, one lesson record per line) and the lesson answer
// that carries the video address between :[" and "]}.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace merravine::sample {

// How a lesson deviates from a well-formed one, so that tests can reach every
// path of the retrieval with a real service.
enum class LessonKind {
  kNormal,
  kEmptyLessonAnswer,      // the lesson endpoint answers 404 with an empty body
  kLessonAnswerNoMarkers,  // the lesson answer has no :[" ... "]}
  kRecordWithoutFields,    // the record has neither title":" nor getVideoUrl":"
  kUnclosedRecord,         // the record lacks its closing subtitleUrl
};

struct Lesson {
  std::string title;  // as it stands in the answer, JSON escapes included
  LessonKind kind = LessonKind::kNormal;
};

struct Course {
  std::string id;
  std::string name;
  std::vector<Lesson> lessons;  // fixed courses
  int generatedCount = 0;       // generated courses: this many normal lessons
  int lessonDelayMs = 0;        // the lesson endpoint waits this long per lesson

  int Count() const;
  Lesson At(int n) const;  // 1 <= n <= Count()
};

// A built-in course, or a generated one: gen_<count>, bench1000 (gen_1000),
// slow (10 lessons, 500 ms each) and slow_<count>_<ms>.
std::optional<Course> FindCourse(std::string_view id);
// The ids of the fixed courses, for the index page.
std::vector<std::string> FixedCourseIds();

// host is "127.0.0.1:PORT" (the Host the request came to), so that every
// address in an answer leads back to this service.
std::string LessonAddress(std::string_view host, std::string_view courseId, int n);
std::string VideoAddress(std::string_view host, std::string_view courseId, int n);
std::string CourseListAnswer(const Course& course, std::string_view host);

struct Reply {
  int status = 200;
  std::string body;
};
Reply LessonAnswer(const Course& course, int n, std::string_view host);

}  // namespace merravine::sample
