// Where the sample service listens, reading its counters, and the count of the
// process's threads.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "text/text.h"

namespace merravine::faults {

// "http://127.0.0.1:PORT" + path, on the HTTP listener or the raw fault listener
// (the launcher exports both hosts).
Text ServiceUrl(std::string_view path);
Text FaultUrl(std::string_view path);

// One counter of the service's /stats answer; -1 when it is missing.
long ServiceCounter(std::string_view name);
void ResetServiceCounters();

// Byte i of the service's large bodies.
char PatternByte(std::size_t i);

// The number of threads of this process; -1 where it cannot be counted.
long ThreadCount();

}  // namespace merravine::faults
