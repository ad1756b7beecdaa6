// What only the fault suite adds to the sample service's helpers
// (tests/support): the bytes of the service's large bodies.
#pragma once

#include <cstddef>

namespace merravine::faults {

// Byte i of the service's large bodies.
char PatternByte(std::size_t i);

}  // namespace merravine::faults
