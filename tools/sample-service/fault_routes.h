// Faulty answers that an ordinary HTTP server can still give: redirect loops
// and redirects to schemes other than http. Faults that need control of the
// raw connection live in raw_fault_listener.h.
#pragma once

#include <httplib.h>

#include "service_state.h"

namespace merravine::sample {

void AddFaultRoutes(httplib::Server& server, ServiceState& state);

}  // namespace merravine::sample
