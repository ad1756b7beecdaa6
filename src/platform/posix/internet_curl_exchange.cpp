#include "platform/posix/internet_curl_exchange.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>

#include "platform/internet.h"
#include "platform/internet_layer.h"

namespace platform::curl_layer {
namespace {

constexpr int kMaxRedirects = 10;
constexpr int kPollSliceMs = 100;

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

// Where the line that starts at `start` ends: its CR or LF, or the end.
// (find_first_of with a two-byte set searches once per byte of the text.)
std::size_t LineEnd(std::string_view text, std::size_t start) {
  std::size_t at = start;
  while (at < text.size() && text[at] != '\r' && text[at] != '\n') ++at;
  return at;
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

struct UrlDeleter {
  void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
using UrlPtr = std::unique_ptr<CURLU, UrlDeleter>;

std::string UrlPart(CURLU* url, CURLUPart part) {
  char* text = nullptr;
  if (curl_url_get(url, part, &text, 0) != CURLUE_OK || text == nullptr) return {};
  std::string copy(text);
  curl_free(text);
  return copy;
}

// The absolute address that a Location value points to, relative to `base`.
// Sets `scheme` to the target's scheme in lower case.
std::string ResolveLocation(const std::string& base, const std::string& location,
                            std::string& scheme) {
  UrlPtr url(curl_url());
  if (!url || curl_url_set(url.get(), CURLUPART_URL, base.c_str(), 0) != CURLUE_OK) return {};
  if (curl_url_set(url.get(), CURLUPART_URL, location.c_str(),
                   CURLU_NON_SUPPORT_SCHEME | CURLU_ALLOW_SPACE | CURLU_URLENCODE) != CURLUE_OK) {
    return {};
  }
  scheme = UrlPart(url.get(), CURLUPART_SCHEME);
  for (char& c : scheme) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return UrlPart(url.get(), CURLUPART_URL);
}

bool IsRedirectStatus(long code) {
  return code == 301 || code == 302 || code == 303 || code == 307 || code == 308;
}

std::string SchemeOf(const std::string& url) {
  return url.substr(0, url.find(':'));
}

}  // namespace

Exchange::Exchange(RequestSettings settings)
    : settings_(std::move(settings)), timeouts_(CurrentTimeouts()), multi_(AcquireMulti()) {}

Exchange::~Exchange() {
  DetachEasy();
  ReleaseEasy(std::move(easy_));  // its options no longer point at the list below
  curl_slist_free_all(headerList_);
  ReleaseMulti(std::move(multi_));
}

bool Exchange::Send(std::string_view headerBlock, std::string_view body) {
  if (!multi_ || headerList_ != nullptr || finished_ || easy_) return false;

  // The block's lines go out as given, one header each; a lone CR or LF also
  // ends a line, so no byte of the block can start a line of its own making.
  bool hasExpect = false;
  bool hasContentType = false;
  bool hasAgent = false;
  std::size_t start = 0;
  while (start <= headerBlock.size()) {
    const std::size_t end = LineEnd(headerBlock, start);
    const std::string_view line = headerBlock.substr(start, end - start);
    if (!TrimBlanks(line).empty()) {
      hasExpect = hasExpect || StartsWithNoCase(line, "expect:");
      hasContentType = hasContentType || StartsWithNoCase(line, "content-type:");
      hasAgent = hasAgent || StartsWithNoCase(line, "user-agent:");
      headerLines_.emplace_back(line);
    }
    start = end + 1;
  }
  currentVerb_ = settings_.verb;
  body_.assign(body);
  sendBody_ = !body_.empty() || currentVerb_ == "POST";
  // libcurl's own additions that the Windows library does not make: a wait for
  // "100 Continue" before large bodies, and a form content type.
  // The session's agent travels as a line of the list: libcurl would format
  // its own line afresh for every request, a cost that grows with the agent's
  // length. A line of the block still wins, as it did over libcurl's own.
  if (settings_.hasAgent && !settings_.agent.empty() && !hasAgent) {
    // First among the list's lines, where libcurl put its own.
    headerLines_.push_back("User-Agent: " + settings_.agent);
    std::rotate(headerLines_.begin(), headerLines_.end() - 1, headerLines_.end());
  }
  if (!hasExpect) headerLines_.emplace_back("Expect:");
  if (!hasContentType) headerLines_.emplace_back("Content-Type:");
  for (const std::string& line : headerLines_) {
    curl_slist* grown = curl_slist_append(headerList_, line.c_str());
    if (grown == nullptr) return false;
    headerList_ = grown;
  }

  const bool secure = (settings_.flags & INTERNET_FLAG_SECURE) != 0;
  int port = settings_.port & 0xFFFF;  // the port travels as 16 bits
  if (port == 0) port = secure ? 443 : 80;
  std::string host = settings_.host;
  if (host.find(':') != std::string::npos) host = "[" + host + "]";
  const std::string url = std::string(secure ? "https://" : "http://") + host + ":" +
                          std::to_string(port) + EncodeObjectPath(settings_.objectPath);
  if (!StartHop(url)) {
    Finish(false);
    return false;
  }
  Pump(false);
  return headComplete_;
}

bool Exchange::StartHop(const std::string& url) {
  // A redirect's hop starts over on the same handle, with every option unset.
  if (easy_) {
    ResetEasy(easy_.get());
  } else {
    easy_ = AcquireEasy();
  }
  CURL* easy = easy_.get();
  if (easy == nullptr) return false;
  currentUrl_ = url;
  head_.clear();
  location_.clear();
  redirectUrl_.clear();
  discardBody_ = false;
  inHead_ = false;
  connectedSeen_ = false;
  lastActivity_ = std::chrono::steady_clock::now();

  const bool toHttps = SchemeOf(url) == "https";
  const std::string& proxy = toHttps ? settings_.proxy.https : settings_.proxy.http;
  const std::string proxyUrl = proxy.empty() ? std::string() : "http://" + proxy;

  bool ok = curl_easy_setopt(easy, CURLOPT_URL, url.c_str()) == CURLE_OK;
  ok = ok && curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https") == CURLE_OK;
  ok = ok && curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https") == CURLE_OK;
  if (!ok) return false;
  // Redirects are followed here, one hop at a time, so that the scheme of each
  // target is checked and the raw head is that of the final answer.
  curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
  curl_easy_setopt(easy, CURLOPT_PATH_AS_IS, 1L);
  curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(timeouts_.connect.count()));
  curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);
  // An empty proxy switches off the proxies of the environment as well.
  curl_easy_setopt(easy, CURLOPT_PROXY, proxyUrl.c_str());
  curl_easy_setopt(easy, CURLOPT_PROXYTYPE, static_cast<long>(CURLPROXY_HTTP));
  curl_easy_setopt(easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
  // A proxy's CONNECT does not see the list; it takes the agent from here.
  if (settings_.hasAgent && !proxyUrl.empty()) {
    curl_easy_setopt(easy, CURLOPT_USERAGENT, settings_.agent.c_str());
  }
  curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headerList_);
  curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &Exchange::OnHeader);
  curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Exchange::OnBody);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
  if ((settings_.flags & INTERNET_FLAG_NO_COOKIES) == 0 && CookieJar() != nullptr) {
    // The process's jar, in memory only: an empty file name turns the cookie
    // engine on without reading or writing any file.
    curl_easy_setopt(easy, CURLOPT_SHARE, CookieJar());
    curl_easy_setopt(easy, CURLOPT_COOKIEFILE, "");
  } else {
    // A pooled handle may have used the jar for an earlier request.
    curl_easy_setopt(easy, CURLOPT_SHARE, static_cast<CURLSH*>(nullptr));
  }
  if (sendBody_) {
    curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body_.size()));
    curl_easy_setopt(easy, CURLOPT_POSTFIELDS, body_.data());
    if (currentVerb_ != "POST") curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, currentVerb_.c_str());
  } else if (currentVerb_ == "GET") {
    curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
  } else if (currentVerb_ == "HEAD") {
    curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
  } else {
    curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, currentVerb_.c_str());
  }
  if (curl_multi_add_handle(multi_.get(), easy) != CURLM_OK) return false;
  easyAttached_ = true;
  return true;
}

std::size_t Exchange::OnHeader(char* data, std::size_t size, std::size_t count, void* self) {
  auto* exchange = static_cast<Exchange*>(self);
  const std::size_t total = size * count;
  std::string_view line(data, total);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  exchange->bytesReceived_ += total;
  exchange->HeadLine(line);
  return total;
}

std::size_t Exchange::OnBody(char* data, std::size_t size, std::size_t count, void* self) {
  auto* exchange = static_cast<Exchange*>(self);
  const std::size_t total = size * count;
  exchange->bytesReceived_ += total;
  if (!exchange->discardBody_) exchange->buffer_.append(data, total);
  return total;
}

void Exchange::HeadLine(std::string_view line) {
  if (line.substr(0, 5) == "HTTP/") {
    // Each answer (an interim 1xx, a redirect, the final one) starts afresh.
    head_.assign(line).append("\r\n");
    location_.clear();
    inHead_ = true;
    return;
  }
  if (!inHead_) return;  // trailers after a chunked body are not part of the head
  head_.append(line).append("\r\n");
  if (line.empty()) {
    inHead_ = false;
    HeadEnded();
  } else if (StartsWithNoCase(line, "location:")) {
    location_ = TrimBlanks(line.substr(9));
  }
}

void Exchange::HeadEnded() {
  long code = 0;
  curl_easy_getinfo(easy_.get(), CURLINFO_RESPONSE_CODE, &code);
  if (code >= 100 && code < 200) return;
  const bool follow = (settings_.flags & INTERNET_FLAG_NO_AUTO_REDIRECT) == 0;
  if (follow && IsRedirectStatus(code) && !location_.empty() && hops_ < kMaxRedirects) {
    std::string scheme;
    std::string target = ResolveLocation(currentUrl_, location_, scheme);
    const std::string from = SchemeOf(currentUrl_);
    // Only http and https are followed; an answer never makes us read a file
    // or speak another protocol. Leaving TLS for plain http is not followed,
    // and entering TLS only when the request allows it.
    const bool allowed = (scheme == "http" && from == "http") ||
                         (scheme == "https" && from == "https") ||
                         (scheme == "https" && from == "http" &&
                          (settings_.flags & INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS) != 0);
    if (!target.empty() && allowed) {
      redirectUrl_ = std::move(target);
      redirectCode_ = code;
      discardBody_ = true;
      return;
    }
  }
  finalHead_ = head_;
  headComplete_ = true;
}

void Exchange::Pump(bool untilBodyBytes) {
  const auto satisfied = [&] {
    return untilBodyBytes ? bufferRead_ < buffer_.size() : headComplete_;
  };
  // Time spent by the caller between two reads is not the server's stall.
  lastActivity_ = std::chrono::steady_clock::now();
  while (!finished_ && !satisfied()) {
    int running = 0;
    if (curl_multi_perform(multi_.get(), &running) != CURLM_OK) {
      Finish(false);
      return;
    }
    CollectFinished();
    if (finished_ || satisfied()) return;
    CheckStall();
    if (finished_) return;
    curl_multi_poll(multi_.get(), nullptr, 0, kPollSliceMs, nullptr);
  }
}

void Exchange::CollectFinished() {
  int queued = 0;
  while (CURLMsg* message = curl_multi_info_read(multi_.get(), &queued)) {
    if (message->msg != CURLMSG_DONE || message->easy_handle != easy_.get()) continue;
    const CURLcode result = message->data.result;
    DetachEasy();
    if (!redirectUrl_.empty()) {
      ++hops_;
      // As browsers and the Windows library do: 301, 302 and 303 repeat the
      // request as a GET without body; 307 and 308 repeat it as it was.
      if (redirectCode_ <= 303 && currentVerb_ != "HEAD") {
        currentVerb_ = "GET";
        sendBody_ = false;
        body_.clear();
      }
      const std::string next = redirectUrl_;
      if (!StartHop(next)) Finish(false);
      return;
    }
    Finish(result == CURLE_OK && headComplete_);
    return;
  }
}

void Exchange::CheckStall() {
  const auto now = std::chrono::steady_clock::now();
  curl_off_t pretransfer = 0;
  curl_off_t sent = 0;
  curl_easy_getinfo(easy_.get(), CURLINFO_PRETRANSFER_TIME_T, &pretransfer);
  curl_easy_getinfo(easy_.get(), CURLINFO_SIZE_UPLOAD_T, &sent);
  const bool connected = pretransfer > 0;
  if (sent != bytesSentSeen_ || bytesReceived_ != bytesReceivedSeen_ ||
      (connected && !connectedSeen_)) {
    bytesSentSeen_ = sent;
    bytesReceivedSeen_ = bytesReceived_;
    connectedSeen_ = connectedSeen_ || connected;
    lastActivity_ = now;
    return;
  }
  // While connecting, libcurl's connect time-out governs; the sum is only an
  // outer bound in case the connection state cannot be seen.
  const auto limit = connectedSeen_ ? timeouts_.stall : timeouts_.connect + timeouts_.stall;
  if (now - lastActivity_ >= limit) Finish(false);
}

void Exchange::Finish(bool ok) {
  finished_ = true;
  failed_ = !ok;
  DetachEasy();
}

void Exchange::DetachEasy() {
  if (easyAttached_) {
    curl_multi_remove_handle(multi_.get(), easy_.get());
    easyAttached_ = false;
  }
}

bool Exchange::Read(char* out, std::size_t capacity, std::size_t* copied) {
  *copied = 0;
  if (!headComplete_) return false;
  Pump(true);
  const std::size_t available = buffer_.size() - bufferRead_;
  if (available == 0) return !failed_;
  const std::size_t count = std::min(available, capacity);
  std::memcpy(out, buffer_.data() + bufferRead_, count);
  bufferRead_ += count;
  if (bufferRead_ == buffer_.size()) {
    buffer_.clear();  // keeps its capacity, so the next pieces land without allocating
    bufferRead_ = 0;
  }
  *copied = count;
  return true;
}

}  // namespace platform::curl_layer
