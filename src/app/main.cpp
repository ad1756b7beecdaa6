// The process entry of both platforms. On Windows the program is linked for
// the GUI subsystem; the MinGW start-up code calls main all the same.
#include <cstdio>
#include <cstdlib>

#include "app/cli.h"
#include "app/globals.h"
#include "app/program.h"
#include "platform/window.h"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments = platform::CommandLineArguments(argc, argv);
  int status = 0;
  if (merravine::IsCommandLineMode(arguments)) {
    platform::ConnectStandardStreams();
    merravine::CommandLineStreams streams;
    streams.out = [](std::string_view bytes) { platform::WriteStandardStream(1, bytes); };
    streams.err = [](std::string_view bytes) { platform::WriteStandardStream(2, bytes); };
    streams.errIsTerminal = platform::StandardStreamIsTerminal(2);
    status = merravine::RunCommandLine(arguments, streams);
  } else {
    status = merravine::RunProgram();
  }
  merravine::ReleaseGlobals();
  std::fflush(nullptr);
  // A retrieval worker may still be inside a network call when the window is
  // closed. Ending here without running static destructors means no layer's
  // state (connection handles, converters, the queue to the main thread) is
  // destroyed under that worker; the operating system takes the thread down.
  std::_Exit(status);
}
