#include "fault_routes.h"

#include <string>

namespace merravine::sample {
namespace {

void Found(httplib::Response& res, const std::string& location) {
  res.status = 302;
  res.set_header("Location", location);
  res.set_content("see " + location + "\n", "text/plain; charset=utf-8");
}

}  // namespace

void AddFaultRoutes(httplib::Server& server, ServiceState&) {
  server.Get("/redirect/loop",
             [](const httplib::Request&, httplib::Response& res) { Found(res, "/redirect/loop"); });
  server.Get("/redirect/loop-a", [](const httplib::Request&, httplib::Response& res) {
    Found(res, "/redirect/loop-b");
  });
  server.Get("/redirect/loop-b", [](const httplib::Request&, httplib::Response& res) {
    Found(res, "/redirect/loop-a");
  });
  server.Get("/redirect/file", [](const httplib::Request&, httplib::Response& res) {
    Found(res, "file:///etc/passwd");
  });
}

}  // namespace merravine::sample
