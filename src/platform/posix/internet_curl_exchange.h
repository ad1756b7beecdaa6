// One request and its answer over libcurl, driven from the caller's thread: the
// head of the final answer is awaited in Send, and the body is pulled piece by
// piece in Read, so that no more than what the network delivered in one step
// is ever held in memory.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/posix/internet_curl_global.h"

namespace platform::curl_layer {

// Where to go: one proxy address ("host:port") per scheme; empty means direct.
struct ProxySettings {
  std::string http;
  std::string https;
};

struct RequestSettings {
  std::string agent;
  bool hasAgent = false;
  ProxySettings proxy;
  std::string host;
  int port = 0;
  std::string verb;
  std::string objectPath;
  std::uint32_t flags = 0;
};

class Exchange {
 public:
  explicit Exchange(RequestSettings settings);
  ~Exchange();
  Exchange(const Exchange&) = delete;
  Exchange& operator=(const Exchange&) = delete;

  // Sends the request and follows redirects as the flags allow; true once the
  // head of the final answer has arrived.
  bool Send(std::string_view headerBlock, std::string_view body);

  // Copies up to `capacity` bytes of the body; 0 at the end of the body. False
  // when the exchange failed (nothing sent, or the transfer broke off).
  bool Read(char* out, std::size_t capacity, std::size_t* copied);

  // The raw head of the final answer; null before it has arrived.
  const std::string* RawHead() const { return headComplete_ ? &finalHead_ : nullptr; }

 private:
  static std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* self);
  static std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* self);

  bool StartHop(const std::string& url);
  void HeadLine(std::string_view line);
  void HeadEnded();
  void Pump(bool untilBodyBytes);
  void CollectFinished();
  void CheckStall();
  void Finish(bool ok);
  void DetachEasy();

  RequestSettings settings_;
  Timeouts timeouts_;
  MultiPtr multi_;
  EasyPtr easy_;
  bool easyAttached_ = false;
  std::vector<std::string> headerLines_;
  struct curl_slist* headerList_ = nullptr;
  std::string body_;
  std::string currentUrl_;
  std::string currentVerb_;
  bool sendBody_ = false;
  int hops_ = 0;

  // The answer being received on the current hop.
  std::string head_;
  std::string location_;
  bool discardBody_ = false;
  std::string redirectUrl_;
  long redirectCode_ = 0;
  bool inHead_ = false;

  std::string finalHead_;
  bool headComplete_ = false;
  bool finished_ = false;
  bool failed_ = false;

  std::string buffer_;
  std::size_t bufferRead_ = 0;

  std::uint64_t bytesReceived_ = 0;
  bool connectedSeen_ = false;
  std::int64_t bytesSentSeen_ = -1;
  std::uint64_t bytesReceivedSeen_ = 0;
  std::chrono::steady_clock::time_point lastActivity_;
};

}  // namespace platform::curl_layer
