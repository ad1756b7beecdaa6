// The internet facility: the HTTP client calls that the request routine makes,
// shaped like the Windows internet client library's ANSI calls of the same names.
//
// Implementations: win32/internet_win.cpp binds wininet.dll by name at first use;
// posix/internet_curl*.cpp is our own layer over libcurl that behaves the same
// way for what the routine relies on.
//
// Three handles are involved in one exchange: a session (InternetOpenA), a
// connection to one host and port (InternetConnectA) and one request on it
// (HttpOpenRequestA). Each is closed with InternetCloseHandle; closing a null
// handle does nothing. A failed open yields a null handle.
#pragma once

#include <cstdint>

namespace platform {

// Opaque handle; null on failure.
struct InternetObject;
using InternetHandle = InternetObject*;

// InternetOpenA access types.
inline constexpr std::uint32_t INTERNET_OPEN_TYPE_DIRECT = 1;
inline constexpr std::uint32_t INTERNET_OPEN_TYPE_PROXY = 3;

// InternetConnectA service.
inline constexpr std::uint32_t INTERNET_SERVICE_HTTP = 3;

// HttpOpenRequestA flags.
inline constexpr std::uint32_t INTERNET_FLAG_RELOAD = 0x80000000;   // never answer from a cache
inline constexpr std::uint32_t INTERNET_FLAG_NEED_FILE = 0x10;      // no meaning without a cache
inline constexpr std::uint32_t INTERNET_FLAG_NO_COOKIES = 0x80000;  // no cookie jar at all
inline constexpr std::uint32_t INTERNET_FLAG_NO_AUTO_REDIRECT = 0x200000;
inline constexpr std::uint32_t INTERNET_FLAG_SECURE = 0x800000;  // TLS, certificate checked
// A redirect from http to https is followed rather than refused.
inline constexpr std::uint32_t INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS = 0x4000;

// HttpQueryInfoA level: the status line and every header line of the final
// answer, each ending in CR LF, then an empty line, NUL-terminated.
inline constexpr std::uint32_t HTTP_QUERY_RAW_HEADERS_CRLF = 22;

// agent: the User-Agent text. accessType DIRECT (proxy and proxyBypass null) or
// PROXY with a proxy list such as "http=host:port". flags: 0.
InternetHandle InternetOpenA(const char* agent, std::uint32_t accessType, const char* proxy,
                             const char* proxyBypass, std::uint32_t flags);

// serverName: host without port; userName and password: null; service: HTTP.
InternetHandle InternetConnectA(InternetHandle internet, const char* serverName, int port,
                                const char* userName, const char* password, std::uint32_t service,
                                std::uint32_t flags, std::uintptr_t context);

// verb "GET" or "POST"; objectName: path and query; version "HTTP/1.1";
// referrer and acceptTypes null; flags from the INTERNET_FLAG_ values.
InternetHandle HttpOpenRequestA(InternetHandle connect, const char* verb, const char* objectName,
                                const char* version, const char* referrer, const char** acceptTypes,
                                std::uint32_t flags, std::uintptr_t context);

// Sends the request with the header block (lines separated by CR LF) and the
// optional body, and waits for the head of the final answer.
bool HttpSendRequestA(InternetHandle request, const char* headers, std::uint32_t headersLength,
                      const void* optional, std::uint32_t optionalLength);

// Reads up to bytesToRead bytes of the body. *bytesRead is 0 at the end of the
// body and after a failure.
bool InternetReadFile(InternetHandle file, void* buffer, std::uint32_t bytesToRead,
                      std::uint32_t* bytesRead);

// Writes the requested information, NUL-terminated, into buffer. When
// *bufferLength is too small the call fails and *bufferLength receives the size
// that is needed.
bool HttpQueryInfoA(InternetHandle request, std::uint32_t infoLevel, void* buffer,
                    std::uint32_t* bufferLength, std::uint32_t* index);

bool InternetCloseHandle(InternetHandle internet);

}  // namespace platform
