#include "echo_listener.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
using SocketLength = int;
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
using SocketLength = socklen_t;
#endif

#include <cstdlib>
#include <cstring>
#include <utility>

namespace merravine::servicetest {
namespace {

#ifdef _WIN32
using Socket = SOCKET;
constexpr Socket kNoSocket = INVALID_SOCKET;
constexpr int kSendFlags = 0;
void CloseSocket(Socket s) {
  closesocket(s);
}
struct WinsockStart {
  WinsockStart() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
  }
};
#else
using Socket = int;
constexpr Socket kNoSocket = -1;
constexpr int kSendFlags = MSG_NOSIGNAL;
void CloseSocket(Socket s) {
  close(s);
}
#endif

// Waits at most 10 s for `s` to become readable.
bool Readable(Socket s) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(s, &set);
  timeval limit{10, 0};
  return select(static_cast<int>(s) + 1, &set, nullptr, nullptr, &limit) == 1;
}

}  // namespace

EchoListener::EchoListener(std::string answerHead, bool answerAtOnce)
    : answerHead_(std::move(answerHead)), answerAtOnce_(answerAtOnce) {
#ifdef _WIN32
  static WinsockStart started;
#endif
  Socket s = socket(AF_INET, SOCK_STREAM, 0);
  if (s == kNoSocket) return;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  SocketLength length = sizeof address;
  if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(s, 1) != 0 ||
      getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    CloseSocket(s);
    return;
  }
  listener_ = static_cast<long long>(s);
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { Serve(); });
}

EchoListener::~EchoListener() {
  if (thread_.joinable()) thread_.join();
  if (listener_ != -1) CloseSocket(static_cast<Socket>(listener_));
}

std::string EchoListener::Address() const {
  return port_ == 0 ? std::string() : "127.0.0.1:" + std::to_string(port_);
}

void EchoListener::Serve() {
  const auto listener = static_cast<Socket>(listener_);
  if (!Readable(listener)) return;
  const Socket client = accept(listener, nullptr, nullptr);
  // One request only: a client that tries again finds the port closed rather
  // than waiting in the backlog for an answer that never comes.
  CloseSocket(listener);
  listener_ = -1;
  if (client == kNoSocket) return;
  std::string request;
  char buffer[4096];
  while (!answerAtOnce_ && request.find("\r\n\r\n") == std::string::npos && Readable(client)) {
    const int got = static_cast<int>(recv(client, buffer, sizeof buffer, 0));
    if (got <= 0) break;
    request.append(buffer, static_cast<std::size_t>(got));
  }
  // The body, when the request announces one, so that the answer never meets
  // unread bytes.
  const std::size_t headEnd = request.find("\r\n\r\n");
  const std::size_t lengthAt = request.find("\r\nContent-Length:");
  if (headEnd != std::string::npos && lengthAt != std::string::npos && lengthAt < headEnd) {
    const std::size_t total =
        headEnd + 4 + std::strtoul(request.c_str() + lengthAt + 17, nullptr, 10);
    while (request.size() < total && Readable(client)) {
      const int got = static_cast<int>(recv(client, buffer, sizeof buffer, 0));
      if (got <= 0) break;
      request.append(buffer, static_cast<std::size_t>(got));
    }
  }
  const std::string answer =
      !answerHead_.empty()
          ? answerHead_
          : "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " +
                std::to_string(request.size()) + "\r\nConnection: close\r\n\r\n" + request;
  std::size_t sent = 0;
  while (sent < answer.size()) {
    const int n = static_cast<int>(
        send(client, answer.data() + sent, static_cast<int>(answer.size() - sent), kSendFlags));
    if (n <= 0) break;
    sent += static_cast<std::size_t>(n);
  }
  CloseSocket(client);
}

}  // namespace merravine::servicetest
