// The command-line mode's arguments and standard streams on POSIX systems,
// where the program's arguments are UTF-8 and the streams need no set-up.
#include <unistd.h>

#include <cerrno>

#include "platform/window.h"

namespace platform {

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
  return arguments;
}

void ConnectStandardStreams() {}

void WriteStandardStream(int stream, std::string_view utf8) {
  const int fd = stream == 2 ? STDERR_FILENO : STDOUT_FILENO;
  while (!utf8.empty()) {
    const ssize_t written = ::write(fd, utf8.data(), utf8.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;  // a closed pipe or a full disk: nothing more to do
    utf8.remove_prefix(static_cast<std::size_t>(written));
  }
}

bool StandardStreamIsTerminal(int stream) {
  return ::isatty(stream == 2 ? STDERR_FILENO : STDOUT_FILENO) == 1;
}

}  // namespace platform
