// The request routine against the sample service on loopback, beside a plain
// libcurl loop that keeps its connection alive and makes the same requests.
// Run through the launcher, which starts the service:
//   scripts/with-sample-service.sh build/bench/bench/net/merravine_http_bench
#include <sys/resource.h>

#include <cstdlib>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include "net/web_request.h"

namespace {

constexpr int kRequests = 1000;

std::string ServiceHost() {
  const char* host = std::getenv("MERRAVINE_SERVICE_HOST");
  return host != nullptr ? host : "";
}

// Arg 0: a lesson answer, as the program asks for it. The service writes its
// head and body separately, so on a kept-alive connection each such answer
// waits for the client's delayed acknowledgement (about 40 ms). Arg 1: an
// empty answer (an unknown lesson), which the service sends in one write, so
// the figure is the client's own cost.
std::string BenchUrl(const benchmark::State& state) {
  return "http://" + ServiceHost() +
         (state.range(0) == 0 ? "/lesson/400004169_19743/1.shtml" : "/lesson/none/1.shtml");
}

struct EasyDeleter {
  void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
using Easy = std::unique_ptr<CURL, EasyDeleter>;

std::size_t AppendTo(char* data, std::size_t size, std::size_t count, void* sink) {
  static_cast<std::string*>(sink)->append(data, size * count);
  return size * count;
}

// One counter of the service's /stats, read on a connection of its own (which
// the service counts too).
long ServiceCounter(const std::string& name) {
  Easy easy(curl_easy_init());
  std::string body;
  const std::string url = "http://" + ServiceHost() + "/stats";
  curl_easy_setopt(easy.get(), CURLOPT_URL, url.c_str());
  curl_easy_setopt(easy.get(), CURLOPT_WRITEFUNCTION, &AppendTo);
  curl_easy_setopt(easy.get(), CURLOPT_WRITEDATA, &body);
  curl_easy_setopt(easy.get(), CURLOPT_FORBID_REUSE, 1L);
  if (curl_easy_perform(easy.get()) != CURLE_OK) return -1;
  const std::string key = "\"" + name + "\":";
  const std::size_t at = body.find(key);
  return at == std::string::npos ? -1 : std::strtol(body.c_str() + at + key.size(), nullptr, 10);
}

// New connections the service accepted between two readings, not counting the
// connection that made the second reading.
class ConnectionCount {
 public:
  ConnectionCount() : before_(ServiceCounter("connections")) {}
  long Added() const { return ServiceCounter("connections") - before_ - 1; }

 private:
  long before_;
};

double PeakRssMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // KiB on Linux
}

void BM_WebGetText1000(benchmark::State& state) {
  if (ServiceHost().empty()) return state.SkipWithError("MERRAVINE_SERVICE_HOST is not set");
  const merravine::Text url(BenchUrl(state));
  const ConnectionCount connections;
  for (auto _ : state) {
    for (int i = 0; i < kRequests; ++i) {
      const merravine::Text body = merravine::WebGetText(url);
      if (state.range(0) == 0 && body.Length() == 0) return state.SkipWithError("empty answer");
      benchmark::DoNotOptimize(body);
    }
  }
  state.counters["new_connections"] = static_cast<double>(connections.Added());
}

void BM_CurlKeepAlive1000(benchmark::State& state) {
  if (ServiceHost().empty()) return state.SkipWithError("MERRAVINE_SERVICE_HOST is not set");
  const std::string url = BenchUrl(state);
  const ConnectionCount connections;
  for (auto _ : state) {
    Easy easy(curl_easy_init());
    std::string body;
    // The same request on the wire as the routine's: its agent and its
    // completed header block.
    const std::string referer = "Referer: " + url;
    curl_slist* headers = nullptr;
    for (const char* line : {referer.c_str(), "Accept: */*", "Accept-Language: zh-cn",
                             "Content-Type: application/x-www-form-urlencoded"}) {
      headers = curl_slist_append(headers, line);
    }
    const std::unique_ptr<curl_slist, void (*)(curl_slist*)> headerList(headers,
                                                                        &curl_slist_free_all);
    curl_easy_setopt(easy.get(), CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(easy.get(), CURLOPT_USERAGENT, merravine::kDefaultAgent);
    curl_easy_setopt(easy.get(), CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy.get(), CURLOPT_WRITEFUNCTION, &AppendTo);
    curl_easy_setopt(easy.get(), CURLOPT_WRITEDATA, &body);
    for (int i = 0; i < kRequests; ++i) {
      body.clear();
      if (curl_easy_perform(easy.get()) != CURLE_OK || (state.range(0) == 0 && body.empty())) {
        return state.SkipWithError("libcurl request failed");
      }
      benchmark::DoNotOptimize(body);
    }
  }
  state.counters["new_connections"] = static_cast<double>(connections.Added());
}

void BM_LargeBody(benchmark::State& state) {
  if (ServiceHost().empty()) return state.SkipWithError("MERRAVINE_SERVICE_HOST is not set");
  const auto size = static_cast<int>(state.range(0));
  const merravine::Text url("http://" + ServiceHost() + "/large?bytes=" + std::to_string(size));
  // The process's peak before the first body: run one size per process
  // (--benchmark_filter) so that the figures belong to that size alone.
  const double baselineMiB = PeakRssMiB();
  for (auto _ : state) {
    const merravine::Bytes body = merravine::WebRequest(url);
    if (body.Count() != size) return state.SkipWithError("short body");
    benchmark::DoNotOptimize(body);
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
  const double bodyMiB = static_cast<double>(size) / (1024.0 * 1024.0);
  state.counters["peak_rss_MiB"] = PeakRssMiB();
  state.counters["baseline_rss_MiB"] = baselineMiB;
  state.counters["peak_added_over_body"] = (PeakRssMiB() - baselineMiB) / bodyMiB;
}

BENCHMARK(BM_WebGetText1000)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CurlKeepAlive1000)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LargeBody)->Arg(8 << 20)->Arg(64 << 20)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
