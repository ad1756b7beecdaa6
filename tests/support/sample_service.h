// Reaching the sample service that scripts/with-sample-service.sh starts beside
// a test (it exports where the service listens), reading its counters, and the
// facts about the test process that the network suites check against.
#pragma once

#include <string>
#include <string_view>

#include "text/text.h"

namespace merravine::servicetest {

// "127.0.0.1:PORT" of the HTTP listener and of the raw fault listener.
std::string ServiceHost();
std::string FaultHost();

// "http://" + host + path.
Text ServiceUrl(std::string_view path);
Text FaultUrl(std::string_view path);

// One counter of the service's /stats answer ("requests", "connections"); -1
// when it is missing.
long ServiceCounter(std::string_view name);
void ResetServiceCounters();

// The number of threads of this process; -1 where it cannot be counted.
long ThreadCount();

// True in the Windows build when it runs under Wine, whose internet library
// departs from Windows in a few documented places.
bool UnderWine();

}  // namespace merravine::servicetest
