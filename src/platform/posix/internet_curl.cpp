// The seven internet calls over libcurl. Handles are objects kept in a table of
// the layer: a handle that the table does not know (already closed, or never
// made) is refused rather than followed.
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "platform/internet.h"
#include "platform/internet_layer.h"
#include "platform/posix/internet_curl_exchange.h"
#include "platform/posix/internet_curl_global.h"

namespace platform {

namespace {

using curl_layer::Exchange;
using curl_layer::ProxySettings;
using curl_layer::RequestSettings;

struct Session : InternetObject {
  std::string agent;
  bool hasAgent = false;
  ProxySettings proxy;
};

struct Connection : InternetObject {
  Session session;  // a copy, so closing the session first leaves nothing dangling
  std::string host;
  int port = 0;
};

struct Request : InternetObject {
  explicit Request(RequestSettings settings) : exchange(std::move(settings)) {}
  Exchange exchange;
  bool sent = false;
};

// One proxy address as "host:port"; an optional "http://" in front is dropped,
// and an address for any other protocol is not used.
std::string ProxyAddress(std::string_view address) {
  if (address.size() >= 7 && EqualsNoCase(address.substr(0, 7), "http://")) {
    address.remove_prefix(7);
  }
  while (!address.empty() && address.back() == '/') address.remove_suffix(1);
  if (address.find("://") != std::string_view::npos) return {};
  return std::string(address);
}

// A proxy list: entries separated by blanks or ";", each "scheme=address" or a
// bare address for every scheme. Only http and https take part.
ProxySettings ParseProxyList(std::string_view list) {
  ProxySettings settings;
  std::size_t start = 0;
  while (start < list.size()) {
    std::size_t end = list.find_first_of(" ;", start);
    if (end == std::string_view::npos) end = list.size();
    const std::string_view entry = list.substr(start, end - start);
    start = end + 1;
    if (entry.empty()) continue;
    const std::size_t equals = entry.find('=');
    if (equals == std::string_view::npos) {
      settings.http = settings.https = ProxyAddress(entry);
    } else if (EqualsNoCase(entry.substr(0, equals), "http")) {
      settings.http = ProxyAddress(entry.substr(equals + 1));
    } else if (EqualsNoCase(entry.substr(0, equals), "https")) {
      settings.https = ProxyAddress(entry.substr(equals + 1));
    }
  }
  return settings;
}

}  // namespace

InternetHandle InternetOpenA(const char* agent, std::uint32_t accessType, const char* proxy,
                             const char* /*proxyBypass*/, std::uint32_t /*flags*/) {
  if (!curl_layer::CurlReady()) return nullptr;
  auto session = std::make_unique<Session>();
  session->hasAgent = agent != nullptr;
  if (agent != nullptr) {
    // The agent becomes one header line; a line break in it would start another.
    const std::string_view text(agent);
    std::size_t end = 0;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
    session->agent = std::string(text.substr(0, end));
  }
  if (accessType == INTERNET_OPEN_TYPE_PROXY) {
    if (proxy == nullptr) return nullptr;
    session->proxy = ParseProxyList(proxy);
  }
  return InternetHandles().Add(std::move(session));
}

InternetHandle InternetConnectA(InternetHandle internet, const char* serverName, int port,
                                const char* /*userName*/, const char* /*password*/,
                                std::uint32_t service, std::uint32_t /*flags*/,
                                std::uintptr_t /*context*/) {
  const Session* session = InternetHandles().Find<Session>(internet);
  if (session == nullptr || service != INTERNET_SERVICE_HTTP || serverName == nullptr ||
      *serverName == '\0') {
    return nullptr;
  }
  auto connection = std::make_unique<Connection>();
  connection->session = *session;
  connection->host = serverName;
  connection->port = port;
  return InternetHandles().Add(std::move(connection));
}

InternetHandle HttpOpenRequestA(InternetHandle connect, const char* verb, const char* objectName,
                                const char* /*version*/, const char* /*referrer*/,
                                const char** /*acceptTypes*/, std::uint32_t flags,
                                std::uintptr_t /*context*/) {
  const Connection* connection = InternetHandles().Find<Connection>(connect);
  if (connection == nullptr) return nullptr;
  RequestSettings settings;
  settings.agent = connection->session.agent;
  settings.hasAgent = connection->session.hasAgent;
  settings.proxy = connection->session.proxy;
  settings.host = connection->host;
  settings.port = connection->port;
  settings.verb = verb != nullptr && *verb != '\0' ? verb : "GET";
  settings.objectPath = objectName != nullptr ? objectName : "/";
  settings.flags = flags;
  return InternetHandles().Add(std::make_unique<Request>(std::move(settings)));
}

bool HttpSendRequestA(InternetHandle request, const char* headers, std::uint32_t headersLength,
                      const void* optional, std::uint32_t optionalLength) {
  Request* target = InternetHandles().Find<Request>(request);
  if (target == nullptr || target->sent) return false;
  target->sent = true;
  std::string_view headerBlock;
  if (headers != nullptr) {
    // A length of all ones means "up to the NUL", as with the Windows call.
    headerBlock = headersLength == 0xFFFFFFFFu ? std::string_view(headers)
                                               : std::string_view(headers, headersLength);
  }
  std::string_view body;
  if (optional != nullptr)
    body = std::string_view(static_cast<const char*>(optional), optionalLength);
  return target->exchange.Send(headerBlock, body);
}

bool InternetReadFile(InternetHandle file, void* buffer, std::uint32_t bytesToRead,
                      std::uint32_t* bytesRead) {
  if (bytesRead == nullptr) return false;
  *bytesRead = 0;
  Request* target = InternetHandles().Find<Request>(file);
  if (target == nullptr || buffer == nullptr) return false;
  std::size_t copied = 0;
  const bool ok = target->exchange.Read(static_cast<char*>(buffer), bytesToRead, &copied);
  *bytesRead = static_cast<std::uint32_t>(copied);
  return ok;
}

bool HttpQueryInfoA(InternetHandle request, std::uint32_t infoLevel, void* buffer,
                    std::uint32_t* bufferLength, std::uint32_t* /*index*/) {
  Request* target = InternetHandles().Find<Request>(request);
  if (target == nullptr || bufferLength == nullptr) return false;
  if ((infoLevel & 0xFFFF) != HTTP_QUERY_RAW_HEADERS_CRLF) return false;
  const std::string* head = target->exchange.RawHead();
  if (head == nullptr) return false;
  if (buffer == nullptr || *bufferLength < head->size() + 1) {
    *bufferLength = static_cast<std::uint32_t>(head->size() + 1);
    return false;
  }
  std::memcpy(buffer, head->data(), head->size());
  static_cast<char*>(buffer)[head->size()] = '\0';
  *bufferLength = static_cast<std::uint32_t>(head->size());
  return true;
}

bool InternetCloseHandle(InternetHandle internet) {
  if (internet == nullptr) return false;
  return InternetHandles().Close(internet);
}

}  // namespace platform
