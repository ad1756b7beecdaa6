// Where the course video service lives.
#pragma once

#include "text/text.h"

namespace merravine {

// "host" or "host:port" of the course video service: the environment variable
// MERRAVINE_SERVICE_HOST when it is set and not empty, else the host built into
// the program (the CMake cache variable of the same name).
Text ServiceHost();

// The course page address that the address box starts with.
Text DefaultCourseAddress();

}  // namespace merravine
