// The internet calls over wininet.dll, bound by name at first use and kept for
// the rest of the run. The function types are declared here so that no part of
// the program depends on the library's own header.
#include <windows.h>

#include <cstdio>
#include <mutex>

#include "platform/internet.h"

namespace platform {
namespace {

using OpenFn = void*(WINAPI*)(LPCSTR, DWORD, LPCSTR, LPCSTR, DWORD);
using ConnectFn = void*(WINAPI*)(void*, LPCSTR, WORD, LPCSTR, LPCSTR, DWORD, DWORD, DWORD_PTR);
using OpenRequestFn = void*(WINAPI*)(void*, LPCSTR, LPCSTR, LPCSTR, LPCSTR, LPCSTR*, DWORD,
                                     DWORD_PTR);
using SendRequestFn = BOOL(WINAPI*)(void*, LPCSTR, DWORD, LPVOID, DWORD);
using ReadFileFn = BOOL(WINAPI*)(void*, LPVOID, DWORD, LPDWORD);
using QueryInfoFn = BOOL(WINAPI*)(void*, DWORD, LPVOID, LPDWORD, LPDWORD);
using CloseHandleFn = BOOL(WINAPI*)(void*);

constexpr const char* kLibrary = "wininet.dll";

struct WinInet {
  OpenFn open = nullptr;
  ConnectFn connect = nullptr;
  OpenRequestFn openRequest = nullptr;
  SendRequestFn sendRequest = nullptr;
  ReadFileFn readFile = nullptr;
  QueryInfoFn queryInfo = nullptr;
  CloseHandleFn closeHandle = nullptr;
};

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

const WinInet& Api() {
  // Bound once, by whichever thread comes first; the library stays loaded.
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
    return bound;
  }();
  return api;
}

InternetHandle ToHandle(void* raw) {
  return static_cast<InternetHandle>(raw);
}
void* FromHandle(InternetHandle handle) {
  return static_cast<void*>(handle);
}

}  // namespace

InternetHandle InternetOpenA(const char* agent, std::uint32_t accessType, const char* proxy,
                             const char* proxyBypass, std::uint32_t flags) {
  return ToHandle(Api().open(agent, accessType, proxy, proxyBypass, flags));
}

InternetHandle InternetConnectA(InternetHandle internet, const char* serverName, int port,
                                const char* userName, const char* password, std::uint32_t service,
                                std::uint32_t flags, std::uintptr_t context) {
  // The port travels as 16 bits, as the library declares it.
  return ToHandle(Api().connect(FromHandle(internet), serverName, static_cast<WORD>(port), userName,
                                password, service, flags, context));
}

InternetHandle HttpOpenRequestA(InternetHandle connect, const char* verb, const char* objectName,
                                const char* version, const char* referrer, const char** acceptTypes,
                                std::uint32_t flags, std::uintptr_t context) {
  return ToHandle(Api().openRequest(FromHandle(connect), verb, objectName, version, referrer,
                                    acceptTypes, flags, context));
}

bool HttpSendRequestA(InternetHandle request, const char* headers, std::uint32_t headersLength,
                      const void* optional, std::uint32_t optionalLength) {
  return Api().sendRequest(FromHandle(request), headers, headersLength, const_cast<void*>(optional),
                           optionalLength) != FALSE;
}

bool InternetReadFile(InternetHandle file, void* buffer, std::uint32_t bytesToRead,
                      std::uint32_t* bytesRead) {
  DWORD read = 0;
  const BOOL ok = Api().readFile(FromHandle(file), buffer, bytesToRead, &read);
  if (bytesRead != nullptr) *bytesRead = ok ? read : 0;
  return ok != FALSE;
}

bool HttpQueryInfoA(InternetHandle request, std::uint32_t infoLevel, void* buffer,
                    std::uint32_t* bufferLength, std::uint32_t* index) {
  DWORD length = bufferLength != nullptr ? *bufferLength : 0;
  DWORD indexValue = index != nullptr ? *index : 0;
  const BOOL ok = Api().queryInfo(FromHandle(request), infoLevel, buffer, &length,
                                  index != nullptr ? &indexValue : nullptr);
  if (bufferLength != nullptr) *bufferLength = length;
  if (index != nullptr) *index = indexValue;
  return ok != FALSE;
}

bool InternetCloseHandle(InternetHandle internet) {
  return Api().closeHandle(FromHandle(internet)) != FALSE;
}

}  // namespace platform
