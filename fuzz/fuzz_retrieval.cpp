// The whole retrieval behind the download button, without a network: the
// double of the internet facility answers the course-list request with the
// fuzzed list answer and each lesson request with one of the fuzzed lesson
// answers; the double of the window records the rows. Checked: one row per
// match, the two lists in step with the rows, one request per lesson, and
// (where the engine's view of the text is the character walk's) the records
// and fields that the rules give.
//
// Input: the fields list answer (UTF-8) and up to four lesson answers,
// separated by NUL bytes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/globals.h"
#include "course/fetch_course_list.h"
#include "fake_internet.h"
#include "fake_window.h"
#include "fuzz_check.h"
#include "text/charset.h"
#include "text/gbk_literals.h"
#include "text/text.h"
#include "text_model.h"

namespace merravine {
namespace {

using model::Str;

constexpr std::size_t kLessonAnswers = 4;

// The records "seriNum.*?subtitleUrl" finds, "." standing for any character
// but LF, taken left to right without overlap.
std::vector<Str> ModelRecords(const Str& g) {
  const Str head = "seriNum";
  const Str tail = "subtitleUrl";
  std::vector<Str> records;
  int from = 1;
  while (from <= static_cast<int>(g.size())) {
    const int a = model::Find(g, head, from, false);
    if (a == -1) break;
    const int b = model::Find(g, tail, a + static_cast<int>(head.size()), false);
    if (b == -1) break;
    const int end = b + static_cast<int>(tail.size());  // 1-based, one past
    const Str record = g.substr(static_cast<std::size_t>(a) - 1, static_cast<std::size_t>(end - a));
    const std::size_t lineEnd = record.find('\n');
    if (lineEnd == Str::npos) {
      records.push_back(record);
      from = end;
    } else {
      // Every later start on this line meets the same nearest "subtitleUrl",
      // beyond the same line end: go on after it.
      from = a + static_cast<int>(lineEnd) + 1;
    }
  }
  return records;
}

// Where the engine reads characters as the walk does: code page 936 text as
// Utf8ToGbk makes it, without the one-byte 0x80 that code page 936 also has.
bool EngineSeesTheWalk(const Str& g) {
  return g.find('\x80') == Str::npos;
}

}  // namespace
}  // namespace merravine

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace merravine;
  const std::vector<std::string> fields = model::Fields(data, size, 1 + kLessonAnswers);
  std::vector<std::string> lessonAnswers(fields.begin() + 1, fields.end());
  while (lessonAnswers.size() > 1 && lessonAnswers.back().empty()) lessonAnswers.pop_back();

  // The first request is the course list's, each later one a lesson's.
  std::size_t sends = 0;
  fake_net::Reset([&](const fake_net::Request& request) {
    fake_net::Answer answer;
    if (request.path.empty()) return answer;  // the early ask at InternetOpenA
    answer.body = sends == 0 ? fields[0] : lessonAnswers[(sends - 1) % lessonAnswers.size()];
    ++sends;
    answer.rawHeaders = "HTTP/1.1 200 OK\r\n\r\n";
    return answer;
  });
  fake_window::Reset("http://fuzz.example/play_400004169_19743.shtml");
  InitGlobals();

  OnDownloadClick();

  int matches = -1;
  WithRegex([&](RegexObject& regex) { matches = regex.MatchCount(); });
  const auto& rows = fake_window::Rows();
  const int rowCount = static_cast<int>(rows.size());

  fuzz::ExpectEqual(rowCount, matches, "one row per match");
  fuzz::ExpectEqual(TextListCount(*g_courseTitles), rowCount, "titles in step with the rows");
  fuzz::ExpectEqual(TextListCount(*g_courseUrls), rowCount, "addresses in step with the rows");
  for (int i = 0; i < rowCount; ++i) {
    const auto& row = rows[static_cast<std::size_t>(i)];
    fuzz::Expect(row.title == TextListAt(*g_courseTitles, i + 1), "row title is the list's");
    fuzz::Expect(row.videoAddress == TextListAt(*g_courseUrls, i + 1), "row address is the list's");
  }
  fuzz::ExpectEqual(fake_window::BadCells(), 0, "cells only of rows that exist");
  fuzz::Expect(fake_window::ButtonEnabled(), "the button is enabled again");
  if (rowCount > 0) {
    fuzz::ExpectEqual(fake_window::Label2().View(),
                      TextJoin(Text(gbk::第), NumberToText(rowCount), Text(gbk::课)).View(),
                      "the label counts the last lesson");
  }
  fuzz::ExpectEqual(static_cast<long long>(fake_net::Requests().size()), 1 + rowCount,
                    "one request for the list and one per lesson");
  fuzz::Expect(fake_net::Requests()[0].path == "/ajax/getvideolistinfo_400004169_19743.shtml",
               "the course-list request");
  fuzz::ExpectEqual(fake_net::OpenHandles(), 0, "every handle is closed");

  if (std::getenv("MERRAVINE_FUZZ_VERBOSE") != nullptr) {
    std::fprintf(stderr, "retrieval: %d rows, %d matches, %zu requests\n", rowCount, matches,
                 fake_net::Requests().size());
  }
  const Str listAnswer(Utf8ToGbk(Text(fields[0])).View());
  if (EngineSeesTheWalk(listAnswer)) {
    std::vector<Str> records = ModelRecords(listAnswer);
    // The engine bounds each search: one that runs out of its time limit ends
    // the run as "no further match", which keeps a hostile answer from holding
    // the worker. The rows are then the records before that point.
    fuzz::Expect(rowCount <= static_cast<int>(records.size()), "no more rows than records");
    records.resize(static_cast<std::size_t>(rowCount));
    fuzz::ExpectEqual(rowCount, static_cast<long long>(records.size()), "rows are the records");
    for (std::size_t i = 0; i < records.size(); ++i) {
      const Str title = model::Between(records[i], "title\":\"", "\",\"getVideoUrl");
      fuzz::ExpectEqual(rows[i].title.View(), title, "the title between its delimiters");
      const Str& answer = lessonAnswers[i % lessonAnswers.size()];
      fuzz::ExpectEqual(rows[i].videoAddress.View(), model::Between(answer, ":[\"", "\"]}"),
                        "the video address between its delimiters");
    }
  }

  ReleaseGlobals();
  return 0;
}
