#include "raw_fault_listener.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace merravine::sample {
namespace {

constexpr std::size_t kMaxConnections = 64;
constexpr std::size_t kMaxHeaderBytes = 64 * 1024;
constexpr std::size_t kMaxBodyBytes = 1 << 20;
constexpr int kReadTimeoutMs = 10000;
constexpr int kWriteTimeoutMs = 30000;
// A deliberate stall ends when the client closes, the service stops, or after this.
constexpr int kStallLimitMs = 600000;

constexpr std::string_view kPattern =
    "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ!\n";

enum class Wait { kReady, kTimeout, kStop };

Wait WaitFor(int fd, short events, int stopFd, int timeoutMs) {
  pollfd fds[2] = {{fd, events, 0}, {stopFd, POLLIN, 0}};
  int n = poll(fds, 2, timeoutMs);
  if (n < 0) return Wait::kStop;
  if (n == 0) return Wait::kTimeout;
  if (fds[1].revents != 0) return Wait::kStop;
  return Wait::kReady;
}

bool SendAll(int fd, int stopFd, std::string_view data) {
  while (!data.empty()) {
    if (WaitFor(fd, POLLOUT, stopFd, kWriteTimeoutMs) != Wait::kReady) return false;
    ssize_t sent = send(fd, data.data(), data.size(), MSG_NOSIGNAL);
    if (sent <= 0) return false;
    data.remove_prefix(static_cast<std::size_t>(sent));
  }
  return true;
}

std::optional<std::size_t> ContentLength(std::string_view head) {
  // Header names compare without regard to case.
  std::string lower(head);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  std::size_t at = lower.find("\r\ncontent-length:");
  if (at == std::string::npos) return 0;
  std::size_t i = at + 17;
  while (i < lower.size() && lower[i] == ' ') ++i;
  std::size_t value = 0;
  bool digits = false;
  while (i < lower.size() && lower[i] >= '0' && lower[i] <= '9') {
    value = value * 10 + static_cast<std::size_t>(lower[i] - '0');
    if (value > kMaxBodyBytes) return std::nullopt;
    digits = true;
    ++i;
  }
  if (!digits) return std::nullopt;
  return value;
}

// The request exactly as received: header block and a Content-Length body.
std::optional<std::string> ReadRequest(int fd, int stopFd) {
  std::string data;
  char buffer[4096];
  std::size_t headEnd = std::string::npos;
  std::size_t want = 0;
  while (true) {
    if (headEnd == std::string::npos) {
      headEnd = data.find("\r\n\r\n");
      if (headEnd != std::string::npos) {
        auto length = ContentLength(std::string_view(data).substr(0, headEnd + 2));
        if (!length) return std::nullopt;
        want = headEnd + 4 + *length;
      } else if (data.size() > kMaxHeaderBytes) {
        return std::nullopt;
      }
    }
    if (headEnd != std::string::npos && data.size() >= want) {
      data.resize(want);
      return data;
    }
    if (WaitFor(fd, POLLIN, stopFd, kReadTimeoutMs) != Wait::kReady) return std::nullopt;
    ssize_t got = recv(fd, buffer, sizeof buffer, 0);
    if (got <= 0) return std::nullopt;
    data.append(buffer, static_cast<std::size_t>(got));
  }
}

// Holds the connection open without answering, reading and dropping whatever
// the client sends, until it closes, the service stops, or the limit passes.
void StallUntilClosed(int fd, int stopFd) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStallLimitMs);
  char buffer[4096];
  while (std::chrono::steady_clock::now() < deadline) {
    Wait wait = WaitFor(fd, POLLIN, stopFd, 1000);
    if (wait == Wait::kStop) return;
    if (wait == Wait::kReady && recv(fd, buffer, sizeof buffer, 0) <= 0) return;
  }
}

std::string Pattern(std::size_t n) {
  std::string out;
  out.reserve(n);
  for (std::size_t i = 0; i < n; ++i) out += kPattern[i % kPattern.size()];
  return out;
}

std::string Answer(std::string_view status, std::string_view body, std::string_view extra = "") {
  // Extra header lines go last, so a test can put a line at the very end of the block.
  return "HTTP/1.1 " + std::string(status) +
         "\r\nContent-Type: text/plain; charset=utf-8\r\nConnection: close\r\nContent-Length: " +
         std::to_string(body.size()) + "\r\n" + std::string(extra) + "\r\n" + std::string(body);
}

void ResetConnection(int fd) {
  linger hard{1, 0};
  setsockopt(fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
}

constexpr std::string_view kModes =
    "/echo-raw /reset-mid-body /close-without-answer /never-answer /headers-then-stall "
    "/bad-status-line /no-status-line /bad-chunk-size /huge-chunk-size /short-body "
    "/big-header\n";

// Answers one request according to its path.
void Answer(int fd, int stopFd, const std::string& request, ServiceState& state) {
  std::size_t space = request.find(' ');
  std::size_t end = request.find_first_of(" ?\r", space + 1);
  std::string path = space == std::string::npos ? "" : request.substr(space + 1, end - space - 1);

  if (path == "/echo-raw") {
    SendAll(fd, stopFd, Answer("200 OK", request));
  } else if (path == "/reset-mid-body") {
    std::string head =
        "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: 100000\r\n"
        "Connection: close\r\n\r\n";
    if (SendAll(fd, stopFd, head + Pattern(50000))) {
      // Give the client a moment to read what came before the reset.
      state.SleepFor(std::chrono::milliseconds(200));
    }
    ResetConnection(fd);
  } else if (path == "/close-without-answer") {
    // Nothing is sent; the connection closes at once.
  } else if (path == "/never-answer") {
    StallUntilClosed(fd, stopFd);
  } else if (path == "/headers-then-stall") {
    if (SendAll(fd, stopFd,
                "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: 1000\r\n"
                "Connection: close\r\n\r\n")) {
      StallUntilClosed(fd, stopFd);
    }
  } else if (path == "/bad-status-line") {
    SendAll(fd, stopFd,
            "HTTP/1.1 abc Broken\r\nContent-Type: text/plain\r\nContent-Length: 12\r\n"
            "Connection: close\r\n\r\nbroken body\n");
  } else if (path == "/no-status-line") {
    SendAll(fd, stopFd, "no status line, just a body\n");
  } else if (path == "/bad-chunk-size") {
    SendAll(fd, stopFd,
            "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nTransfer-Encoding: chunked\r\n"
            "Connection: close\r\n\r\n5\r\nhello\r\nzz\r\nworld\r\n0\r\n\r\n");
  } else if (path == "/huge-chunk-size") {
    SendAll(fd, stopFd,
            "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nTransfer-Encoding: chunked\r\n"
            "Connection: close\r\n\r\n5\r\nhello\r\nffffffffffffffff\r\nabc");
  } else if (path == "/short-body") {
    SendAll(fd, stopFd,
            "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: 1000\r\n"
            "Connection: close\r\n\r\nonly a few bytes\n");
  } else if (path == "/big-header") {
    std::string filler;
    for (int i = 0; i < 60; ++i) {
      filler += "X-Filler-" + std::to_string(100 + i) + ": " + std::string(100, 'x') + "\r\n";
    }
    SendAll(fd, stopFd,
            Answer("200 OK", "big header block\n", filler + "Set-Cookie: late=1; Path=/\r\n"));
  } else {
    SendAll(fd, stopFd, Answer("404 Not Found", kModes));
  }
}

}  // namespace

RawFaultListener::RawFaultListener(ServiceState& state) : state_(state) {}

RawFaultListener::~RawFaultListener() {
  Stop();
  if (listenFd_ >= 0) close(listenFd_);
  if (stopFd_ >= 0) close(stopFd_);
}

int RawFaultListener::Listen(int port) {
  stopFd_ = eventfd(0, EFD_CLOEXEC);
  listenFd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (stopFd_ < 0 || listenFd_ < 0) return -1;
  int yes = 1;
  setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(listenFd_, 64) != 0) {
    return -1;
  }
  socklen_t size = sizeof address;
  if (getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &size) != 0) return -1;
  return ntohs(address.sin_port);
}

void RawFaultListener::Start() {
  acceptThread_ = std::thread([this] { AcceptLoop(); });
}

void RawFaultListener::Stop() {
  if (stopped_.exchange(true)) return;
  if (stopFd_ >= 0) {
    std::uint64_t one = 1;
    [[maybe_unused]] ssize_t written = write(stopFd_, &one, sizeof one);
  }
  if (acceptThread_.joinable()) acceptThread_.join();
  std::lock_guard lock(mutex_);
  for (auto& connection : connections_) {
    if (connection->thread.joinable()) connection->thread.join();
  }
  connections_.clear();
}

void RawFaultListener::ReapFinished() {
  std::lock_guard lock(mutex_);
  for (auto it = connections_.begin(); it != connections_.end();) {
    if ((*it)->done) {
      (*it)->thread.join();
      it = connections_.erase(it);
    } else {
      ++it;
    }
  }
}

void RawFaultListener::AcceptLoop() {
  while (true) {
    if (WaitFor(listenFd_, POLLIN, stopFd_, -1) != Wait::kReady) return;
    int fd = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    ++state_.faultConnections;
    ReapFinished();
    std::lock_guard lock(mutex_);
    if (connections_.size() >= kMaxConnections) {
      close(fd);
      continue;
    }
    auto connection = std::make_unique<Connection>();
    connection->fd = fd;
    Connection& ref = *connection;
    connections_.push_back(std::move(connection));
    ref.thread = std::thread([this, &ref] { Serve(ref); });
  }
}

void RawFaultListener::Serve(Connection& connection) {
  if (auto request = ReadRequest(connection.fd, stopFd_)) {
    ++state_.faultRequests;
    Answer(connection.fd, stopFd_, *request, state_);
  }
  close(connection.fd);
  connection.done = true;
}

}  // namespace merravine::sample
