// A second listener, on its own port, that speaks HTTP by hand so that it can
// break the protocol on purpose: reset a connection in the middle of a body,
// stall, send a malformed status line or chunk size, and so on. Each
// connection carries one request and is then closed.
#pragma once

#include <atomic>
#include <list>
#include <memory>
#include <mutex>
#include <thread>

#include "service_state.h"

namespace merravine::sample {

class RawFaultListener {
 public:
  explicit RawFaultListener(ServiceState& state);
  ~RawFaultListener();
  RawFaultListener(const RawFaultListener&) = delete;
  RawFaultListener& operator=(const RawFaultListener&) = delete;

  // Binds 127.0.0.1:port (0: a free port); yields the port, or -1.
  int Listen(int port);
  // Starts accepting on a thread of its own.
  void Start();
  // Ends every wait, closes every connection and joins every thread.
  void Stop();

 private:
  struct Connection {
    int fd = -1;
    std::thread thread;
    std::atomic<bool> done{false};
  };

  void AcceptLoop();
  void Serve(Connection& connection);
  void ReapFinished();

  ServiceState& state_;
  int listenFd_ = -1;
  int stopFd_ = -1;  // an eventfd that becomes readable on Stop()
  std::thread acceptThread_;
  std::mutex mutex_;
  std::list<std::unique_ptr<Connection>> connections_;
  std::atomic<bool> stopped_{false};
};

}  // namespace merravine::sample
