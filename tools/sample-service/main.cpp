// merravine-sample-service: a local stand-in of the course video service on
// 127.0.0.1, for the tests, the benchmarks and the demo.
//
//   merravine-sample-service [--port N] [--fault-port N]
//
// Port 0 (the default) picks a free port. The first line of standard output
// is the HTTP port, the second the port of the raw fault listener. SIGINT or
// SIGTERM stops the service, and so does the end of the process that started
// it, so a killed test run leaves no service behind.
#include <httplib.h>
#include <pthread.h>
#include <sys/prctl.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

#include "course_routes.h"
#include "fault_routes.h"
#include "raw_fault_listener.h"
#include "service_state.h"
#include "test_routes.h"

namespace merravine::sample {
namespace {

// Enough workers for keep-alive connections held by several clients plus a few
// deliberate stalls; each open connection occupies one worker.
constexpr std::size_t kWorkers = 48;

// Counts every accepted TCP connection: httplib hands each one to the task
// queue exactly once.
class CountingQueue : public httplib::TaskQueue {
 public:
  explicit CountingQueue(ServiceState& state) : state_(state), pool_(kWorkers) {}
  void enqueue(std::function<void()> fn) override {
    ++state_.connections;
    pool_.enqueue(std::move(fn));
  }
  void shutdown() override { pool_.shutdown(); }

 private:
  ServiceState& state_;
  httplib::ThreadPool pool_;
};

struct Options {
  int port = 0;
  int faultPort = 0;
};

bool ParsePort(const char* text, int& port) {
  char* end = nullptr;
  long value = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || value < 0 || value > 65535) return false;
  port = static_cast<int>(value);
  return true;
}

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    if (arg == "--port" && i + 1 < argc) {
      if (!ParsePort(argv[++i], options.port)) return false;
    } else if (arg == "--fault-port" && i + 1 < argc) {
      if (!ParsePort(argv[++i], options.faultPort)) return false;
    } else {
      return false;
    }
  }
  return true;
}

bool IsStatsPath(const std::string& path) {
  return path.starts_with("/stats");
}

int Run(const Options& options) {
  // Signals are taken by one thread with sigwait, so every other thread runs
  // with them blocked; this must happen before any thread starts.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGHUP);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  std::signal(SIGPIPE, SIG_IGN);
  // Stop together with the process that started us (a test launcher).
  prctl(PR_SET_PDEATHSIG, SIGTERM);

  ServiceState state;
  httplib::Server server;
  // httplib owns the queue it gets and deletes it when it stops.
  server.new_task_queue = [&state] { return std::make_unique<CountingQueue>(state).release(); };
  // Headers and body go out in separate writes; without this, Nagle and the
  // client's delayed ACK add about 40 ms to every keep-alive request.
  server.set_tcp_nodelay(true);
  server.set_keep_alive_max_count(1000000);
  server.set_keep_alive_timeout(5);
  server.set_read_timeout(30);
  server.set_write_timeout(10);
  server.set_payload_max_length(std::size_t{64} << 20);
  server.set_pre_routing_handler([&state](const httplib::Request& req, httplib::Response&) {
    if (!IsStatsPath(req.path)) {
      ++state.requests;
      state.NoteRequestConnection(req.remote_addr, req.remote_port);
    }
    return httplib::Server::HandlerResponse::Unhandled;
  });
  AddCourseRoutes(server, state);
  AddTestRoutes(server, state);
  AddFaultRoutes(server, state);

  int port = options.port == 0
                 ? server.bind_to_any_port("127.0.0.1")
                 : (server.bind_to_port("127.0.0.1", options.port) ? options.port : -1);
  if (port <= 0) {
    std::fprintf(stderr, "merravine-sample-service: cannot listen on 127.0.0.1:%d\n", options.port);
    return 1;
  }
  state.port = port;

  RawFaultListener faults(state);
  int faultPort = faults.Listen(options.faultPort);
  if (faultPort <= 0) {
    std::fprintf(stderr, "merravine-sample-service: cannot listen on 127.0.0.1:%d (faults)\n",
                 options.faultPort);
    return 1;
  }
  state.faultPort = faultPort;

  std::printf("%d\n%d\n", port, faultPort);
  std::fflush(stdout);

  std::thread signalWaiter([&] {
    int signal = 0;
    sigwait(&stopSignals, &signal);
    state.Stop();
    faults.Stop();
    server.stop();
  });

  faults.Start();
  bool served = server.listen_after_bind();
  if (!state.Stopping()) {
    // The server ended by itself: wake the signal thread so that it can end too.
    pthread_kill(signalWaiter.native_handle(), SIGTERM);
  }
  signalWaiter.join();
  return served ? 0 : 1;
}

}  // namespace
}  // namespace merravine::sample

int main(int argc, char** argv) {
  merravine::sample::Options options;
  if (!merravine::sample::ParseOptions(argc, argv, options)) {
    std::fprintf(stderr, "usage: merravine-sample-service [--port N] [--fault-port N]\n");
    return 2;
  }
  return merravine::sample::Run(options);
}
