// A double of the internet facility (platform/internet.h) for the fuzz
// targets: no network, every answer comes from a responder that the target
// sets, and every handle is tracked so that a leak or a double close shows.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace merravine::fake_net {

// What the routine asked for in one exchange.
struct Request {
  std::string agent;
  std::string host;
  int port = 0;
  std::string verb;
  std::string path;
  std::uint32_t flags = 0;
  std::string headers;
  std::string body;
};

// What the double answers. The open calls fail at the stage named by
// failAt (1: InternetOpenA, 2: InternetConnectA, 3: HttpOpenRequestA).
struct Answer {
  std::string body;
  std::string rawHeaders;          // handed out NUL-terminated, NULs inside kept
  bool headerQueryFails = false;   // the query fails without telling a size
  std::uint32_t readPiece = 1024;  // most bytes one read delivers (at least 1)
  int failAt = 0;
};

using Responder = std::function<Answer(const Request&)>;

// Starts a fresh run: no handle open, no request recorded.
void Reset(Responder responder);
// The requests sent since Reset (those that got as far as HttpSendRequestA).
const std::vector<Request>& Requests();
int OpenHandles();
// Handles closed that were not open (null excluded).
int BadCloses();

}  // namespace merravine::fake_net
