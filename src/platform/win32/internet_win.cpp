// The internet calls over wininet.dll (bound in internet_binding_win.cpp).
//
// Redirects are followed here rather than by the library: Wine's wininet
// follows a redirect loop without end, does not know 308 and repeats a 307 POST
// without its body. Every request goes out with INTERNET_FLAG_NO_AUTO_REDIRECT,
// and a redirect answer is followed one hop at a time, at most 10 hops, to http
// or https only, never from https back to http (internet_redirect_win.cpp). A
// handle of this layer is therefore our own object around the library's
// handles; the request object holds whichever request (and connection) the
// last hop made, so that reading and the header query act on the final answer.
#include <windows.h>

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/internet.h"
#include "platform/internet_layer.h"
#include "platform/win32/internet_binding_win.h"
#include "platform/win32/internet_redirect_win.h"

namespace platform {

namespace {

using wininet::Api;
using wininet::IsRedirectStatus;
using wininet::kMaxRedirects;
using wininet::LocationOf;
using wininet::ResolveRedirect;
using wininet::StatusCode;
using wininet::Target;

// One handle of the library, closed when the last owner lets go of it. A
// request or connection shares the handle it was made on, so a parent is never
// closed under a child.
class LibraryHandle {
 public:
  explicit LibraryHandle(void* raw) : raw_(raw) {}
  LibraryHandle(const LibraryHandle&) = delete;
  LibraryHandle& operator=(const LibraryHandle&) = delete;
  ~LibraryHandle() {
    if (raw_ != nullptr) Api().closeHandle(raw_);
  }
  void* get() const { return raw_; }

 private:
  void* raw_;
};
using SharedHandle = std::shared_ptr<LibraryHandle>;

SharedHandle Own(void* raw) {
  return raw != nullptr ? std::make_shared<LibraryHandle>(raw) : nullptr;
}

struct Session : InternetObject {
  SharedHandle handle;
};

struct Connection : InternetObject {
  SharedHandle session;
  SharedHandle handle;
  std::string host;
  WORD port = 0;
};

struct Request : InternetObject {
  // What every hop is opened with.
  SharedHandle session;
  std::string verb;
  std::optional<std::string> version;
  std::optional<std::string> referrer;
  std::vector<std::string> acceptTypes;
  bool hasAcceptTypes = false;
  DWORD flags = 0;  // the caller's
  DWORD_PTR context = 0;
  bool follow = false;

  // The hop in hand. The request is declared after its connection, so it is
  // closed first.
  SharedHandle connection;
  Target target;
  std::unique_ptr<LibraryHandle> current;
};

// The library's request for one hop on `connection`, never following
// redirects itself.
void* OpenLibraryRequest(const Request& request, void* connection, const std::string& verb,
                         const Target& target) {
  std::vector<LPCSTR> acceptTypes;
  if (request.hasAcceptTypes) {
    for (const std::string& type : request.acceptTypes) acceptTypes.push_back(type.c_str());
    acceptTypes.push_back(nullptr);
  }
  DWORD flags = request.flags | INTERNET_FLAG_NO_AUTO_REDIRECT;
  flags = target.secure ? flags | INTERNET_FLAG_SECURE : flags & ~INTERNET_FLAG_SECURE;
  return Api().openRequest(connection, verb.c_str(), target.objectPath.c_str(),
                           request.version ? request.version->c_str() : nullptr,
                           request.referrer ? request.referrer->c_str() : nullptr,
                           request.hasAcceptTypes ? acceptTypes.data() : nullptr, flags,
                           request.context);
}

// Opens the next hop of `request` with `verb`. The hop in hand is replaced only
// when the new one could be opened.
bool OpenHop(Request& request, const Target& target, const std::string& verb) {
  SharedHandle connection = request.connection;
  if (!EqualsNoCase(target.host, request.target.host) || target.port != request.target.port) {
    connection = Own(Api().connect(request.session->get(), target.host.c_str(), target.port,
                                   nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection) return false;
  }
  auto next =
      std::make_unique<LibraryHandle>(OpenLibraryRequest(request, connection->get(), verb, target));
  if (next->get() == nullptr) return false;
  request.current = std::move(next);
  request.connection = std::move(connection);
  request.target = target;
  return true;
}

bool SendOnce(void* request, const char* headers, DWORD headersLength, const void* optional,
              DWORD optionalLength) {
  return Api().sendRequest(request, headers, headersLength, const_cast<void*>(optional),
                           optionalLength) != FALSE;
}

}  // namespace

InternetHandle InternetOpenA(const char* agent, std::uint32_t accessType, const char* proxy,
                             const char* proxyBypass, std::uint32_t flags) {
  SharedHandle handle = Own(Api().open(agent, accessType, proxy, proxyBypass, flags));
  if (!handle) return nullptr;
  auto session = std::make_unique<Session>();
  session->handle = std::move(handle);
  return InternetHandles().Add(std::move(session));
}

InternetHandle InternetConnectA(InternetHandle internet, const char* serverName, int port,
                                const char* userName, const char* password, std::uint32_t service,
                                std::uint32_t flags, std::uintptr_t context) {
  const Session* session = InternetHandles().Find<Session>(internet);
  if (session == nullptr) return nullptr;
  // The port travels as 16 bits, as the library declares it.
  const auto port16 = static_cast<WORD>(port);
  SharedHandle handle = Own(Api().connect(session->handle->get(), serverName, port16, userName,
                                          password, service, flags, context));
  if (!handle) return nullptr;
  auto connection = std::make_unique<Connection>();
  connection->session = session->handle;
  connection->handle = std::move(handle);
  connection->host = serverName != nullptr ? serverName : "";
  connection->port = port16;
  return InternetHandles().Add(std::move(connection));
}

InternetHandle HttpOpenRequestA(InternetHandle connect, const char* verb, const char* objectName,
                                const char* version, const char* referrer, const char** acceptTypes,
                                std::uint32_t flags, std::uintptr_t context) {
  const Connection* connection = InternetHandles().Find<Connection>(connect);
  if (connection == nullptr) return nullptr;
  auto request = std::make_unique<Request>();
  request->session = connection->session;
  request->verb = verb != nullptr && *verb != '\0' ? verb : "GET";
  if (version != nullptr) request->version = version;
  if (referrer != nullptr) request->referrer = referrer;
  request->hasAcceptTypes = acceptTypes != nullptr;
  for (const char** type = acceptTypes; type != nullptr && *type != nullptr; ++type) {
    request->acceptTypes.emplace_back(*type);
  }
  request->flags = flags;
  request->context = context;
  request->follow = (flags & INTERNET_FLAG_NO_AUTO_REDIRECT) == 0;
  request->connection = connection->handle;
  request->target.host = connection->host;
  request->target.port = connection->port;
  request->target.secure = (flags & INTERNET_FLAG_SECURE) != 0;
  request->target.objectPath = objectName != nullptr ? objectName : "";
  // The first hop goes out with the caller's own verb and path, as given.
  void* raw = Api().openRequest(connection->handle->get(), verb, objectName, version, referrer,
                                acceptTypes, flags | INTERNET_FLAG_NO_AUTO_REDIRECT, context);
  if (raw == nullptr) return nullptr;
  request->current = std::make_unique<LibraryHandle>(raw);
  return InternetHandles().Add(std::move(request));
}

bool HttpSendRequestA(InternetHandle request, const char* headers, std::uint32_t headersLength,
                      const void* optional, std::uint32_t optionalLength) {
  Request* target = InternetHandles().Find<Request>(request);
  if (target == nullptr) return false;
  bool sent = SendOnce(target->current->get(), headers, headersLength, optional, optionalLength);
  if (!target->follow) return sent;
  std::string verb = target->verb;
  for (int hop = 0; sent && hop < kMaxRedirects; ++hop) {
    const DWORD code = StatusCode(target->current->get());
    if (!IsRedirectStatus(code)) break;
    const std::string location = LocationOf(target->current->get());
    if (location.empty()) break;
    const std::optional<Target> next = ResolveRedirect(target->target, location, target->flags);
    if (!next) break;
    // As browsers and the library itself do: 301, 302 and 303 repeat the
    // request as a GET without body; 307 and 308 repeat it as it was.
    if (code <= 303 && verb != "HEAD") {
      verb = "GET";
      optional = nullptr;
      optionalLength = 0;
    }
    if (!OpenHop(*target, *next, verb)) break;
    sent = SendOnce(target->current->get(), headers, headersLength, optional, optionalLength);
  }
  return sent;
}

bool InternetReadFile(InternetHandle file, void* buffer, std::uint32_t bytesToRead,
                      std::uint32_t* bytesRead) {
  if (bytesRead != nullptr) *bytesRead = 0;
  Request* target = InternetHandles().Find<Request>(file);
  if (target == nullptr) return false;
  DWORD read = 0;
  const BOOL ok = Api().readFile(target->current->get(), buffer, bytesToRead, &read);
  if (bytesRead != nullptr) *bytesRead = ok ? read : 0;
  return ok != FALSE;
}

bool HttpQueryInfoA(InternetHandle request, std::uint32_t infoLevel, void* buffer,
                    std::uint32_t* bufferLength, std::uint32_t* index) {
  Request* target = InternetHandles().Find<Request>(request);
  if (target == nullptr) return false;
  DWORD length = bufferLength != nullptr ? *bufferLength : 0;
  DWORD indexValue = index != nullptr ? *index : 0;
  const BOOL ok = Api().queryInfo(target->current->get(), infoLevel, buffer, &length,
                                  index != nullptr ? &indexValue : nullptr);
  if (bufferLength != nullptr) *bufferLength = length;
  if (index != nullptr) *index = indexValue;
  return ok != FALSE;
}

bool InternetCloseHandle(InternetHandle internet) {
  if (internet == nullptr) return false;
  return InternetHandles().Close(internet);
}

}  // namespace platform
