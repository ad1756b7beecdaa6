#include "service_state.h"

namespace merravine::sample {

void ServiceState::NoteRequestConnection(const std::string& clientAddress, int clientPort) {
  std::lock_guard lock(seenMutex_);
  seenConnections_.emplace(clientAddress, clientPort);
}

void ServiceState::ResetCounters() {
  {
    std::lock_guard lock(seenMutex_);
    seenConnections_.clear();
  }
  requests = 0;
  connections = 0;
  faultRequests = 0;
  faultConnections = 0;
}

std::string ServiceState::StatsJson() const {
  std::size_t requestConnections = 0;
  {
    std::lock_guard lock(seenMutex_);
    requestConnections = seenConnections_.size();
  }
  return "{\"requests\":" + std::to_string(requests.load()) +
         ",\"connections\":" + std::to_string(connections.load()) +
         ",\"request_connections\":" + std::to_string(requestConnections) +
         ",\"fault_requests\":" + std::to_string(faultRequests.load()) +
         ",\"fault_connections\":" + std::to_string(faultConnections.load()) +
         ",\"port\":" + std::to_string(port.load()) +
         ",\"fault_port\":" + std::to_string(faultPort.load()) + "}\n";
}

bool ServiceState::SleepFor(std::chrono::milliseconds duration) {
  std::unique_lock lock(mutex_);
  return !wake_.wait_for(lock, duration, [this] { return stopping_.load(); });
}

void ServiceState::Stop() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
}

}  // namespace merravine::sample
