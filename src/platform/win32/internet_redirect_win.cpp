#include "platform/win32/internet_redirect_win.h"

#include <cstring>
#include <string_view>
#include <vector>

#include "platform/internet.h"
#include "platform/internet_layer.h"
#include "platform/win32/internet_binding_win.h"

namespace platform::wininet {

namespace {

constexpr DWORD kQueryStatusCode = 19;
constexpr DWORD kQueryLocation = 33;
constexpr DWORD kQueryFlagNumber = 0x20000000;
constexpr DWORD kCombineNoEncode = 0x20000000;  // ICU_NO_ENCODE: we encode the path ourselves
constexpr int kSchemeHttp = 3;
constexpr int kSchemeHttps = 4;

// The current address of a request, as the base for a relative Location.
std::string AddressOf(const Target& target) {
  std::string host = target.host;
  if (host.find(':') != std::string::npos) host = "[" + host + "]";
  std::string address = std::string(target.secure ? "https://" : "http://") + host;
  if (target.port != 0) address += ":" + std::to_string(target.port);
  return address + EncodeObjectPath(target.objectPath);
}

std::optional<std::string> CombineWithLibrary(const std::string& base,
                                              const std::string& relative) {
  std::vector<char> combined(3 * (base.size() + relative.size()) + 64);
  for (int attempt = 0; attempt < 2; ++attempt) {
    DWORD length = static_cast<DWORD>(combined.size());
    if (Api().combineUrl(base.c_str(), relative.c_str(), combined.data(), &length,
                         kCombineNoEncode)) {
      return std::string(combined.data(), strnlen(combined.data(), combined.size()));
    }
    if (length <= combined.size()) break;
    combined.resize(length + 1);
  }
  return std::nullopt;
}

// The absolute address of a Location value relative to `base` (which has no
// fragment). The library's combination replaces the last path segment for a
// reference that is only a query, and removes "../" inside a query, so only
// the part before the query goes through it; the query follows unchanged, and
// a fragment is dropped, as it never goes out.
std::optional<std::string> Combine(const std::string& base, std::string_view location) {
  location = location.substr(0, location.find('#'));
  const std::size_t queryAt = location.find('?');
  const std::string_view reference = location.substr(0, queryAt);
  const std::string_view query =
      queryAt == std::string_view::npos ? std::string_view() : location.substr(queryAt);
  if (reference.empty()) {
    if (query.empty()) return base;
    return base.substr(0, base.find('?')) + std::string(query);
  }
  std::optional<std::string> combined =
      CombineWithLibrary(base.substr(0, base.find('?')), std::string(reference));
  if (combined) *combined += query;
  return combined;
}

}  // namespace

DWORD StatusCode(void* request) {
  DWORD code = 0;
  DWORD length = sizeof code;
  if (!Api().queryInfo(request, kQueryStatusCode | kQueryFlagNumber, &code, &length, nullptr)) {
    return 0;
  }
  return code;
}

std::string LocationOf(void* request) {
  std::vector<char> value(1024);
  for (int attempt = 0; attempt < 2; ++attempt) {
    DWORD length = static_cast<DWORD>(value.size());
    if (Api().queryInfo(request, kQueryLocation, value.data(), &length, nullptr)) {
      return std::string(value.data(), strnlen(value.data(), value.size()));
    }
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || length <= value.size()) break;
    value.resize(length + 1);
  }
  return {};
}

bool IsRedirectStatus(DWORD code) {
  return code == 301 || code == 302 || code == 303 || code == 307 || code == 308;
}

std::optional<Target> ResolveRedirect(const Target& from, const std::string& location,
                                      DWORD flags) {
  const std::optional<std::string> address = Combine(AddressOf(from), location);
  if (!address) return std::nullopt;
  const std::size_t room = address->size() + 1;
  std::vector<char> host(room);
  std::vector<char> path(room);
  std::vector<char> extra(room);
  UrlComponents parts{};
  parts.structSize = sizeof parts;
  parts.hostName = host.data();
  parts.hostNameLength = static_cast<DWORD>(room);
  parts.urlPath = path.data();
  parts.urlPathLength = static_cast<DWORD>(room);
  parts.extraInfo = extra.data();
  parts.extraInfoLength = static_cast<DWORD>(room);
  if (!Api().crackUrl(address->c_str(), 0, 0, &parts)) return std::nullopt;

  Target target;
  target.secure = parts.schemeKind == kSchemeHttps;
  if (parts.schemeKind != kSchemeHttp && !target.secure) return std::nullopt;
  const bool allowed = target.secure == from.secure ||
                       (target.secure && (flags & INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS) != 0);
  if (!allowed) return std::nullopt;
  target.host.assign(host.data(), strnlen(host.data(), room));
  if (target.host.empty()) return std::nullopt;
  target.port = parts.port;
  std::string objectPath(path.data(), strnlen(path.data(), room));
  std::string query(extra.data(), strnlen(extra.data(), room));
  query = query.substr(0, query.find('#'));  // a fragment never goes out
  target.objectPath = EncodeObjectPath(objectPath + query);
  return target;
}

}  // namespace platform::wininet
