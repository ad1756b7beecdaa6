// Redirects, followed by our layer one hop at a time: reading the status and
// Location of an answer, and where a Location value leads.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace platform::wininet {

constexpr int kMaxRedirects = 10;

// Where one hop of a request goes.
struct Target {
  std::string host;
  WORD port = 0;
  bool secure = false;
  std::string objectPath;
};

// The status code of the answer in hand on a library request; 0 when there is
// none.
DWORD StatusCode(void* request);

// The answer's Location value; empty when there is none.
std::string LocationOf(void* request);

bool IsRedirectStatus(DWORD code);

// The hop that a Location value leads to from `from`; none when it is not an
// http or https address, or would leave https for http, or enter https without
// the request's `flags` allowing it.
std::optional<Target> ResolveRedirect(const Target& from, const std::string& location, DWORD flags);

}  // namespace platform::wininet
