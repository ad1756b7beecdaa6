#include "course/service_host.h"

#include <cstdlib>

#ifndef MERRAVINE_SERVICE_HOST
#error "MERRAVINE_SERVICE_HOST must be defined by the build"
#endif

namespace merravine {

Text ServiceHost() {
  // Read on every use, never cached: tests point one process at several
  // services. Nothing in the program writes the environment, so reading it from
  // a worker thread is safe.
  const char* fromEnvironment = std::getenv("MERRAVINE_SERVICE_HOST");
  if (fromEnvironment != nullptr && *fromEnvironment != '\0') return Text(fromEnvironment);
  return Text(MERRAVINE_SERVICE_HOST);
}

Text DefaultCourseAddress() {
  return TextJoin(Text("http://"), ServiceHost(), "/play_400004169_19743.shtml");
}

}  // namespace merravine
