#include "app/cli.h"

#include "app/globals.h"
#include "course/course_retrieval.h"
#include "text/charset.h"
#include "text/text.h"

#ifndef MERRAVINE_VERSION
#error "MERRAVINE_VERSION must be defined by the build"
#endif

namespace merravine {

namespace {

constexpr std::string_view kUsage =
    "Usage: merravine [--list ADDRESS]\n"
    "\n"
    "Without arguments, opens the window. With --list, fetches the course whose\n"
    "course page address is ADDRESS and writes one line per lesson to standard\n"
    "output: the title, a TAB, the video address (UTF-8).\n"
    "\n"
    "  --list ADDRESS  list the lessons of the course page ADDRESS\n"
    "  --help          show this help and exit\n"
    "  --version       show the version and exit\n"
    "\n"
    "MERRAVINE_SERVICE_HOST (host[:port]) replaces the built-in service host.\n"
    "Exit status: 0 when the course list was fetched, 1 when the course-list\n"
    "request got no answer, 2 for a usage error.\n";

// Code page 936 text as UTF-8 for the streams.
std::string GbkToUtf8(const Text& text) {
  return WideToMulti(MultiToWide(text, kCodePageGbk), kCodePageUtf8).Str();
}

int UsageError(const CommandLineStreams& streams, std::string_view message) {
  std::string line = "merravine: ";
  line += message;
  line += " (try 'merravine --help')\n";
  streams.err(line);
  return kExitUsage;
}

// "第n课" in UTF-8, followed by a carriage return so that the next progress
// line (or a line of output on the same terminal) writes over it.
std::string ProgressLine(int n) {
  return "\xE7\xAC\xAC" + std::to_string(n) + "\xE8\xAF\xBE\r";  // 第 n 课
}

int ListCourse(const std::string& addressUtf8, const CommandLineStreams& streams) {
  // The address reaches the retrieval as code page 936 text, as it would from
  // the address box.
  const Text address = Utf8ToGbk(Text(addressUtf8));
  InitGlobals();
  const RetrievalResult result = RetrieveCourse(address, [&](const Lesson& lesson) {
    std::string line = GbkToUtf8(lesson.title);
    line += '\t';
    line += GbkToUtf8(lesson.videoAddress);
    line += '\n';
    streams.out(line);
    if (streams.errIsTerminal) streams.err(ProgressLine(lesson.number));
  });
  ReleaseGlobals();
  if (streams.errIsTerminal && result.lessons > 0) streams.err("\n");
  return result.listAnswered ? kExitSuccess : kExitNoAnswer;
}

}  // namespace

bool IsCommandLineMode(const std::vector<std::string>& arguments) {
  return !arguments.empty();
}

int RunCommandLine(const std::vector<std::string>& arguments, const CommandLineStreams& streams) {
  if (arguments.empty()) return UsageError(streams, "no command given");
  const std::string& first = arguments[0];
  if (first == "--help" || first == "-h") {
    if (arguments.size() > 1) return UsageError(streams, "--help takes no argument");
    streams.out(kUsage);
    return kExitSuccess;
  }
  if (first == "--version") {
    if (arguments.size() > 1) return UsageError(streams, "--version takes no argument");
    streams.out("merravine " MERRAVINE_VERSION "\n");
    return kExitSuccess;
  }
  if (first == "--list") {
    if (arguments.size() < 2) return UsageError(streams, "--list needs an ADDRESS");
    if (arguments.size() > 2) return UsageError(streams, "too many arguments");
    return ListCourse(arguments[1], streams);
  }
  return UsageError(streams, "unknown argument '" + first + "'");
}

}  // namespace merravine
