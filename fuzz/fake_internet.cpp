#include "fake_internet.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <string_view>
#include <utility>

#include "platform/internet.h"

namespace platform {

// What a handle stands for; the double's handles point at these.
struct InternetObject {
  std::string agent;
  std::string host;
  int port = 0;
  merravine::fake_net::Request request;
  merravine::fake_net::Answer answer;
  std::size_t readAt = 0;
  bool sent = false;
};

}  // namespace platform

namespace merravine::fake_net {
namespace {

struct State {
  Responder responder;
  std::map<platform::InternetObject*, std::unique_ptr<platform::InternetObject>> open;
  std::vector<Request> requests;
  int badCloses = 0;
  // The answer is chosen when the request handle is opened (the failure
  // stages must be known before the send), from what is known then.
  Answer pending;
};

State& Current() {
  static State state;
  return state;
}

std::string Copy(const char* s) {
  return s != nullptr ? std::string(s) : std::string();
}

platform::InternetObject* Open(std::unique_ptr<platform::InternetObject> object) {
  platform::InternetObject* raw = object.get();
  Current().open.emplace(raw, std::move(object));
  return raw;
}

bool IsOpen(platform::InternetObject* handle) {
  return handle != nullptr && Current().open.count(handle) == 1;
}

// Asks the responder for the answer to a request that is about to go out.
Answer Ask(const Request& request) {
  return Current().responder ? Current().responder(request) : Answer();
}

}  // namespace

void Reset(Responder responder) {
  State& state = Current();
  state.responder = std::move(responder);
  state.open.clear();
  state.requests.clear();
  state.badCloses = 0;
}

const std::vector<Request>& Requests() {
  return Current().requests;
}

int OpenHandles() {
  return static_cast<int>(Current().open.size());
}

int BadCloses() {
  return Current().badCloses;
}

}  // namespace merravine::fake_net

namespace platform {

using merravine::fake_net::Current;

InternetHandle InternetOpenA(const char* agent, std::uint32_t /*accessType*/, const char* /*proxy*/,
                             const char* /*proxyBypass*/, std::uint32_t /*flags*/) {
  // The answer decides the failure stage, so ask at once with what is known;
  // the full request is asked for again at the send.
  merravine::fake_net::Request early;
  early.agent = merravine::fake_net::Copy(agent);
  Current().pending = merravine::fake_net::Ask(early);
  if (Current().pending.failAt == 1) return nullptr;
  auto object = std::make_unique<InternetObject>();
  object->agent = early.agent;
  return merravine::fake_net::Open(std::move(object));
}

InternetHandle InternetConnectA(InternetHandle internet, const char* serverName, int port,
                                const char* /*userName*/, const char* /*password*/,
                                std::uint32_t /*service*/, std::uint32_t /*flags*/,
                                std::uintptr_t /*context*/) {
  if (!merravine::fake_net::IsOpen(internet) || Current().pending.failAt == 2) return nullptr;
  auto object = std::make_unique<InternetObject>();
  object->agent = internet->agent;
  object->host = merravine::fake_net::Copy(serverName);
  object->port = port;
  return merravine::fake_net::Open(std::move(object));
}

InternetHandle HttpOpenRequestA(InternetHandle connect, const char* verb, const char* objectName,
                                const char* /*version*/, const char* /*referrer*/,
                                const char** /*acceptTypes*/, std::uint32_t flags,
                                std::uintptr_t /*context*/) {
  if (!merravine::fake_net::IsOpen(connect) || Current().pending.failAt == 3) return nullptr;
  auto object = std::make_unique<InternetObject>();
  object->request.agent = connect->agent;
  object->request.host = connect->host;
  object->request.port = connect->port;
  object->request.verb = merravine::fake_net::Copy(verb);
  object->request.path = merravine::fake_net::Copy(objectName);
  object->request.flags = flags;
  return merravine::fake_net::Open(std::move(object));
}

bool HttpSendRequestA(InternetHandle request, const char* headers, std::uint32_t headersLength,
                      const void* optional, std::uint32_t optionalLength) {
  if (!merravine::fake_net::IsOpen(request) || request->sent) return false;
  request->sent = true;
  if (headers != nullptr) request->request.headers.assign(headers, headersLength);
  if (optional != nullptr) {
    request->request.body.assign(static_cast<const char*>(optional), optionalLength);
  }
  request->answer = merravine::fake_net::Ask(request->request);
  request->answer.readPiece = std::max<std::uint32_t>(request->answer.readPiece, 1);
  Current().requests.push_back(request->request);
  return true;
}

bool InternetReadFile(InternetHandle file, void* buffer, std::uint32_t bytesToRead,
                      std::uint32_t* bytesRead) {
  *bytesRead = 0;
  if (!merravine::fake_net::IsOpen(file) || !file->sent) return false;
  const std::string& body = file->answer.body;
  const std::size_t n =
      std::min<std::size_t>({bytesToRead, file->answer.readPiece, body.size() - file->readAt});
  std::memcpy(buffer, body.data() + file->readAt, n);
  file->readAt += n;
  *bytesRead = static_cast<std::uint32_t>(n);
  return true;
}

bool HttpQueryInfoA(InternetHandle request, std::uint32_t infoLevel, void* buffer,
                    std::uint32_t* bufferLength, std::uint32_t* /*index*/) {
  if (!merravine::fake_net::IsOpen(request) || !request->sent ||
      infoLevel != HTTP_QUERY_RAW_HEADERS_CRLF || request->answer.headerQueryFails) {
    return false;
  }
  const std::string& raw = request->answer.rawHeaders;
  if (*bufferLength < raw.size() + 1) {
    *bufferLength = static_cast<std::uint32_t>(raw.size() + 1);
    return false;
  }
  std::memcpy(buffer, raw.data(), raw.size());
  static_cast<char*>(buffer)[raw.size()] = '\0';
  *bufferLength = static_cast<std::uint32_t>(raw.size());
  return true;
}

bool InternetCloseHandle(InternetHandle internet) {
  if (internet == nullptr) return false;
  auto& open = Current().open;
  if (open.erase(internet) == 0) {
    ++Current().badCloses;
    return false;
  }
  return true;
}

}  // namespace platform
