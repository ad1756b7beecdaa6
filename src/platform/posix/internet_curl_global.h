// What the libcurl layer keeps for the whole process: the library's one-time
// start, the in-memory cookie jar, the pool of multi handles that carries the
// kept-alive connections from one request to the next, the pool of easy
// handles, and the time-outs.
#pragma once

#include <chrono>
#include <memory>

#include <curl/curl.h>

namespace platform::curl_layer {

struct MultiDeleter {
  void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};
using MultiPtr = std::unique_ptr<CURLM, MultiDeleter>;

struct EasyDeleter {
  void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
using EasyPtr = std::unique_ptr<CURL, EasyDeleter>;

// Starts libcurl once for the process; true when it is usable.
bool CurlReady();

// The process's cookie jar (memory only, never written to disk), shared by every
// request that keeps cookies on; safe to use from several threads.
CURLSH* CookieJar();

// A multi handle whose connection cache still holds the connections of earlier
// requests, or a new one. Hand it back with ReleaseMulti when the request ends.
MultiPtr AcquireMulti();
void ReleaseMulti(MultiPtr multi);

// An easy handle with every option at its default, taken from the pool when
// one is idle: a new handle costs more than the request it makes on a kept
// connection. Hand it back with ReleaseEasy once it belongs to no multi
// handle; its options are cleared then, so none points at the request's data.
EasyPtr AcquireEasy();
void ReleaseEasy(EasyPtr easy);

// Every option of the handle back at its default. libcurl's own reset forgets the
// list of cookie files without freeing it, so that list is let go first.
void ResetEasy(CURL* easy);

struct Timeouts {
  std::chrono::milliseconds connect;
  std::chrono::milliseconds stall;  // no byte sent or received for this long
};
Timeouts CurrentTimeouts();

}  // namespace platform::curl_layer
