#include "fault_support.h"

#include <cstdlib>
#include <stdexcept>

#include "net/web_request.h"

#if defined(__linux__)
#include <filesystem>
#endif

namespace merravine::faults {
namespace {

std::string FromEnvironment(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || *value == '\0') {
    std::string message = name;
    message.append(" is not set: run through scripts/with-sample-service.sh");
    throw std::runtime_error(message);
  }
  return value;
}

// Built by appending: GCC 12's -Wrestrict misfires on chained string + at -O3.
Text UrlOn(const char* hostVariable, std::string_view path) {
  std::string url = "http://";
  url.append(FromEnvironment(hostVariable));
  url.append(path);
  return Text(url);
}

}  // namespace

Text ServiceUrl(std::string_view path) {
  return UrlOn("MERRAVINE_SERVICE_HOST", path);
}

Text FaultUrl(std::string_view path) {
  return UrlOn("MERRAVINE_FAULT_HOST", path);
}

long ServiceCounter(std::string_view name) {
  const std::string stats(WebGetText(ServiceUrl("/stats")).View());
  std::string key = "\"";
  key.append(name);
  key.append("\":");
  const std::size_t at = stats.find(key);
  if (at == std::string::npos) return -1;
  return std::strtol(stats.c_str() + at + key.size(), nullptr, 10);
}

void ResetServiceCounters() {
  WebRequest(ServiceUrl("/stats/reset"), 1);
}

char PatternByte(std::size_t i) {
  static constexpr std::string_view kPattern =
      "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ!\n";
  return kPattern[i % kPattern.size()];
}

long ThreadCount() {
#if defined(__linux__)
  long count = 0;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task")) {
    (void)entry;
    ++count;
  }
  return count;
#else
  return -1;
#endif
}

}  // namespace merravine::faults
