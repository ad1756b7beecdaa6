// The command-line mode: `merravine --list ADDRESS` runs the retrieval of the
// window for one course page address and writes one line per lesson.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace merravine {

// Where the command-line mode writes: UTF-8 bytes to standard output and
// standard error, and whether standard error is a terminal (progress goes
// there only then).
struct CommandLineStreams {
  std::function<void(std::string_view)> out;
  std::function<void(std::string_view)> err;
  bool errIsTerminal = false;
};

// Exit statuses.
inline constexpr int kExitSuccess =
    0;  // the course list was fetched (even with no lessons), or help/version
inline constexpr int kExitNoAnswer = 1;  // the course-list request got no answer
inline constexpr int kExitUsage = 2;     // the arguments were wrong

// Whether the arguments (after the program name, UTF-8) ask for the
// command-line mode rather than the window: any argument at all does.
bool IsCommandLineMode(const std::vector<std::string>& arguments);

// Runs the command-line mode and yields the exit status. Sets up and releases
// the global state itself.
int RunCommandLine(const std::vector<std::string>& arguments, const CommandLineStreams& streams);

}  // namespace merravine
