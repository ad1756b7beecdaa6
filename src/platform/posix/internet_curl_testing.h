// Test-only control of the libcurl layer. Not part of the internet facility:
// the program never calls it.
#pragma once

#include <chrono>

namespace platform::testing {

// Replaces the time-outs (connect 60 s, stall 30 s) for the rest of the run, so
// that a test of a dead server ends quickly.
void SetInternetTimeouts(std::chrono::milliseconds connect, std::chrono::milliseconds stall);

}  // namespace platform::testing
