// State shared by every part of the sample service: the request and connection
// counters that the tests read back over HTTP, and the stop signal that ends
// every deliberate wait, so that the service always shuts down promptly.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <set>
#include <string>
#include <utility>

namespace merravine::sample {

class ServiceState {
 public:
  std::atomic<std::uint64_t> requests{0};
  std::atomic<std::uint64_t> connections{0};
  std::atomic<std::uint64_t> faultRequests{0};
  std::atomic<std::uint64_t> faultConnections{0};
  std::atomic<int> port{0};
  std::atomic<int> faultPort{0};

  // Notes the client connection (address, port) that carried a counted request;
  // the number of distinct ones since the last reset is "request_connections".
  void NoteRequestConnection(const std::string& clientAddress, int clientPort);

  void ResetCounters();
  // The counters and ports as a one-line JSON object.
  std::string StatsJson() const;

  // Waits for the given time or until Stop(); true when the full time passed.
  bool SleepFor(std::chrono::milliseconds duration);
  void Stop();
  bool Stopping() const { return stopping_.load(); }

 private:
  std::mutex mutex_;
  std::condition_variable wake_;
  std::atomic<bool> stopping_{false};
  mutable std::mutex seenMutex_;
  std::set<std::pair<std::string, int>> seenConnections_;
};

}  // namespace merravine::sample
