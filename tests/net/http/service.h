// The sample service's helpers (tests/support) and what only the HTTP suites
// add to them.
#pragma once

#include <string>

#include "support/sample_service.h"
#include "text/text.h"

namespace merravine::servicetest {

// The body of an answer as a plain string.
std::string Str(const Bytes& body);

}  // namespace merravine::servicetest
