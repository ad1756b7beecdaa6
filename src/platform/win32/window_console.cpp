// The command-line mode's arguments and standard streams on Windows.
//
// The program is linked for the GUI subsystem, so Windows gives it no console:
// redirected handles come with it, and a console it was started from has to be
// attached. Bytes go to a file or pipe unchanged (WriteFile), and as characters
// to a console (WriteConsoleW), so the output is the same UTF-8 as on Linux and
// reads right on the console whatever its code page.
#include <memory>

#include "platform/win32/window_win32.h"
// After windows.h, which it needs.
#include <shellapi.h>

namespace platform {

namespace {

HANDLE g_streams[3] = {nullptr, nullptr, nullptr};  // bound once, at start-up

bool Usable(HANDLE handle) {
  return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
         GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
}

HANDLE StreamHandle(int stream) {
  const int index = stream == 2 ? 2 : 1;
  if (g_streams[index] == nullptr) {
    g_streams[index] = GetStdHandle(index == 2 ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
  }
  return g_streams[index];
}

}  // namespace

std::vector<std::string> CommandLineArguments(int /*argc*/, char** /*argv*/) {
  std::vector<std::string> arguments;
  int count = 0;
  struct LocalFreer {
    void operator()(LPWSTR* p) const { LocalFree(p); }
  };
  std::unique_ptr<LPWSTR, LocalFreer> argv(CommandLineToArgvW(GetCommandLineW(), &count));
  if (!argv) return arguments;
  for (int i = 1; i < count; ++i) {
    const wchar_t* argument = argv.get()[i];
    arguments.push_back(win32::Utf8FromWide(argument, static_cast<int>(wcslen(argument))));
  }
  return arguments;
}

void ConnectStandardStreams() {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
  if ((!Usable(out) || !Usable(err)) && AttachConsole(ATTACH_PARENT_PROCESS)) {
    const auto console = [] {
      return CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    };
    if (!Usable(out)) out = console();
    if (!Usable(err)) err = console();
  }
  g_streams[1] = out;
  g_streams[2] = err;
}

void WriteStandardStream(int stream, std::string_view utf8) {
  HANDLE handle = StreamHandle(stream);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return;
  if (IsConsole(handle)) {
    const std::wstring wide = win32::WideFromUtf8(utf8);
    DWORD written = 0;
    WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    return;
  }
  while (!utf8.empty()) {
    DWORD written = 0;
    if (!WriteFile(handle, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr) ||
        written == 0) {
      return;  // a closed pipe or a full disk: nothing more to do
    }
    utf8.remove_prefix(written);
  }
}

bool StandardStreamIsTerminal(int stream) {
  return IsConsole(StreamHandle(stream));
}

}  // namespace platform
