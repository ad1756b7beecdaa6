// wininet.dll, bound by name at first use and kept for the rest of the run. The
// function types are declared here so that no part of the program depends on
// the library's own header.
#pragma once

#include <windows.h>

namespace platform::wininet {

using OpenFn = void*(WINAPI*)(LPCSTR, DWORD, LPCSTR, LPCSTR, DWORD);
using ConnectFn = void*(WINAPI*)(void*, LPCSTR, WORD, LPCSTR, LPCSTR, DWORD, DWORD, DWORD_PTR);
using OpenRequestFn = void*(WINAPI*)(void*, LPCSTR, LPCSTR, LPCSTR, LPCSTR, LPCSTR*, DWORD,
                                     DWORD_PTR);
using SendRequestFn = BOOL(WINAPI*)(void*, LPCSTR, DWORD, LPVOID, DWORD);
using ReadFileFn = BOOL(WINAPI*)(void*, LPVOID, DWORD, LPDWORD);
using QueryInfoFn = BOOL(WINAPI*)(void*, DWORD, LPVOID, LPDWORD, LPDWORD);
using CloseHandleFn = BOOL(WINAPI*)(void*);

// The library's URL_COMPONENTSA, field for field.
struct UrlComponents {
  DWORD structSize;
  LPSTR scheme;
  DWORD schemeLength;
  int schemeKind;
  LPSTR hostName;
  DWORD hostNameLength;
  WORD port;
  LPSTR userName;
  DWORD userNameLength;
  LPSTR password;
  DWORD passwordLength;
  LPSTR urlPath;
  DWORD urlPathLength;
  LPSTR extraInfo;
  DWORD extraInfoLength;
};
using CombineUrlFn = BOOL(WINAPI*)(LPCSTR, LPCSTR, LPSTR, LPDWORD, DWORD);
using CrackUrlFn = BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, UrlComponents*);

struct WinInet {
  OpenFn open = nullptr;
  ConnectFn connect = nullptr;
  OpenRequestFn openRequest = nullptr;
  SendRequestFn sendRequest = nullptr;
  ReadFileFn readFile = nullptr;
  QueryInfoFn queryInfo = nullptr;
  CloseHandleFn closeHandle = nullptr;
  CombineUrlFn combineUrl = nullptr;
  CrackUrlFn crackUrl = nullptr;
};

// The bound functions. Bound once, by whichever thread comes first; a function
// that cannot be bound ends the program with a message box.
const WinInet& Api();

}  // namespace platform::wininet
