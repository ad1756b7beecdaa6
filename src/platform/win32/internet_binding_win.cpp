#include "platform/win32/internet_binding_win.h"

#include <cstdio>

namespace platform::wininet {

namespace {

constexpr const char* kLibrary = "wininet.dll";

[[noreturn]] void StopCannotBind(const char* function) {
  char message[256];
  std::snprintf(message, sizeof message,
                "The function %s could not be bound from %s.\nThe program will now end.", function,
                kLibrary);
  MessageBoxA(nullptr, message, "Merravine", MB_OK | MB_ICONERROR | MB_TASKMODAL);
  ExitProcess(1);
}

template <typename Fn>
void Bind(HMODULE library, const char* name, Fn& slot) {
  FARPROC address = library != nullptr ? GetProcAddress(library, name) : nullptr;
  if (address == nullptr) StopCannotBind(name);
  slot = reinterpret_cast<Fn>(reinterpret_cast<void*>(address));
}

}  // namespace

const WinInet& Api() {
  // The library stays loaded for the rest of the run.
  static const WinInet api = [] {
    WinInet bound;
    HMODULE library = LoadLibraryA(kLibrary);
    if (library == nullptr) StopCannotBind("InternetOpenA");
    Bind(library, "InternetOpenA", bound.open);
    Bind(library, "InternetConnectA", bound.connect);
    Bind(library, "HttpOpenRequestA", bound.openRequest);
    Bind(library, "HttpSendRequestA", bound.sendRequest);
    Bind(library, "InternetReadFile", bound.readFile);
    Bind(library, "HttpQueryInfoA", bound.queryInfo);
    Bind(library, "InternetCloseHandle", bound.closeHandle);
    Bind(library, "InternetCombineUrlA", bound.combineUrl);
    Bind(library, "InternetCrackUrlA", bound.crackUrl);
    return bound;
  }();
  return api;
}

}  // namespace platform::wininet
