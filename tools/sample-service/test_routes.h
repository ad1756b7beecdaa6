// Routes for the tests of the HTTP routine and for benchmarks: echo, cookies,
// redirects, chunked and large answers, a stall, error statuses and the
// request and connection counters.
#pragma once

#include <httplib.h>

#include "service_state.h"

namespace merravine::sample {

void AddTestRoutes(httplib::Server& server, ServiceState& state);

}  // namespace merravine::sample
