// The retrieval of one course's lessons, shared by the window and the
// command-line mode: the requests, the matching and the cutting of the fields.
#pragma once

#include <functional>

#include "text/text.h"

namespace merravine {

struct Lesson {
  int number = 0;  // from 1, in record order
  Text title;
  Text videoAddress;
};

// Everything the retrieval found for one course.
struct RetrievalResult {
  // Whether the course-list request got an answer (a non-empty body): the
  // HTTP routine yields an empty text when a request fails.
  bool listAnswered = false;
  int lessons = 0;  // lessons handed to onLesson
};

// The course identifier between "play_" and ".shtml" of a course page address.
Text CourseIdentifier(const Text& courseAddress);
// The course-list address of the service for a course page address.
Text CourseListAddress(const Text& courseAddress);

// Fetches the course list for the course page address, then each lesson's
// video address, one after another, and hands every lesson to onLesson as soon
// as its answer is in (on the calling thread). Uses g_regex; stops between two
// steps once the globals have been released, so a worker that outlives the
// window touches nothing released. Blocks for the whole retrieval.
RetrievalResult RetrieveCourse(const Text& courseAddress,
                               const std::function<void(const Lesson&)>& onLesson);

}  // namespace merravine
