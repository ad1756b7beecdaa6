// The download button and the worker that fills the course list.
#pragma once

#include "course/course_retrieval.h"
#include "text/text.h"

namespace merravine {

// The download button's click handler (main thread). Starts one retrieval on
// a worker thread for the address now in the address box and disables the
// button until that retrieval ends; a click while one runs starts nothing.
void OnDownloadClick();

// The worker: retrieves the course and hands each lesson to the main thread,
// which adds its row, sets the lesson counter and appends to both lists in one
// step; at the end it enables the download button again.
void FetchCourseList(const Text& courseAddress);

// The main thread's part for one lesson: the row, its two cells, the counter
// and both list entries, in one step; nothing once the globals are released.
void AddLessonRow(const Lesson& lesson);

}  // namespace merravine
