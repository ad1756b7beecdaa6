#include "service.h"

#include <cstdlib>
#include <stdexcept>

#include "net/web_request.h"

namespace merravine::servicetest {
namespace {

std::string FromEnvironment(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || *value == '\0') {
    throw std::runtime_error(std::string(name) +
                             " is not set: run through scripts/with-sample-service.sh");
  }
  return value;
}

}  // namespace

std::string ServiceHost() {
  return FromEnvironment("MERRAVINE_SERVICE_HOST");
}
std::string FaultHost() {
  return FromEnvironment("MERRAVINE_FAULT_HOST");
}

Text ServiceUrl(std::string_view path) {
  return Text("http://" + ServiceHost() + std::string(path));
}
Text FaultUrl(std::string_view path) {
  return Text("http://" + FaultHost() + std::string(path));
}

long ServiceCounter(std::string_view name) {
  const std::string stats(WebGetText(ServiceUrl("/stats")).View());
  const std::string key = "\"" + std::string(name) + "\":";
  const std::size_t at = stats.find(key);
  if (at == std::string::npos) return -1;
  return std::strtol(stats.c_str() + at + key.size(), nullptr, 10);
}

bool UnderWine() {
#ifdef _WIN32
  // Wine hands the Unix environment to its processes; scripts/wine-run.sh
  // always sets the prefix.
  return std::getenv("WINEPREFIX") != nullptr;
#else
  return false;
#endif
}

std::string Str(const Bytes& body) {
  return std::string(body.View());
}

}  // namespace merravine::servicetest
