#include "support/sample_service.h"

#include <cstdlib>
#include <stdexcept>

#include "net/web_request.h"

#if defined(__linux__)
#include <filesystem>
#endif

namespace merravine::servicetest {
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
Text UrlOn(const std::string& host, std::string_view path) {
  std::string url = "http://";
  url.append(host);
  url.append(path);
  return Text(url);
}

}  // namespace

std::string ServiceHost() {
  return FromEnvironment("MERRAVINE_SERVICE_HOST");
}

std::string FaultHost() {
  return FromEnvironment("MERRAVINE_FAULT_HOST");
}

Text ServiceUrl(std::string_view path) {
  return UrlOn(ServiceHost(), path);
}

Text FaultUrl(std::string_view path) {
  return UrlOn(FaultHost(), path);
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

bool UnderWine() {
#if defined(_WIN32)
  // Wine hands the Unix environment to its processes; scripts/wine-run.sh
  // always sets the prefix.
  const char* prefix = std::getenv("WINEPREFIX");
  return prefix != nullptr && *prefix != '\0';
#else
  return false;
#endif
}

}  // namespace merravine::servicetest
