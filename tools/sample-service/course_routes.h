// The routes that stand in for the course video service: the course list, the
// lesson answers, the videos themselves and a small index page.
#pragma once

#include <httplib.h>

#include <string>

#include "service_state.h"

namespace merravine::sample {

// "127.0.0.1:PORT" as the client addressed us (the Host header), so that the
// addresses inside an answer lead back here; a missing or odd Host header
// falls back to our own loopback address.
std::string AnswerHost(const httplib::Request& request, const ServiceState& state);

void AddCourseRoutes(httplib::Server& server, ServiceState& state);

}  // namespace merravine::sample
