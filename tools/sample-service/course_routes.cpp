#include "course_routes.h"

#include <chrono>
#include <cstdlib>

#include "courses.h"

namespace merravine::sample {
namespace {

constexpr const char* kJsonUtf8 = "application/json; charset=utf-8";

bool IsPlainHost(const std::string& host) {
  if (host.empty() || host.size() > 255) return false;
  for (char c : host) {
    bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
              c == '.' || c == '-' || c == ':' || c == '[' || c == ']';
    if (!ok) return false;
  }
  return true;
}

}  // namespace

std::string AnswerHost(const httplib::Request& request, const ServiceState& state) {
  std::string host = request.get_header_value("Host");
  // The Host value is copied into answers, so only plain host[:port] text is trusted.
  if (IsPlainHost(host)) return host;
  return "127.0.0.1:" + std::to_string(state.port.load());
}

void AddCourseRoutes(httplib::Server& server, ServiceState& state) {
  server.Get(R"(/ajax/getvideolistinfo_(.*)\.shtml)",
             [&state](const httplib::Request& req, httplib::Response& res) {
               auto course = FindCourse(req.matches[1].str());
               if (!course) {
                 res.status = 404;
                 res.set_content(R"({"code":404,"msg":"no such course","data":null})", kJsonUtf8);
                 return;
               }
               res.set_content(CourseListAnswer(*course, AnswerHost(req, state)), kJsonUtf8);
             });

  server.Get(R"(/lesson/(.+)/(\d{1,9})\.shtml)", [&state](const httplib::Request& req,
                                                          httplib::Response& res) {
    auto course = FindCourse(req.matches[1].str());
    int n = std::atoi(req.matches[2].str().c_str());
    if (course && course->lessonDelayMs > 0) {
      state.SleepFor(std::chrono::milliseconds(course->lessonDelayMs));
    }
    Reply reply = course ? LessonAnswer(*course, n, AnswerHost(req, state)) : Reply{404, ""};
    res.status = reply.status;
    res.set_content(reply.body, kJsonUtf8);
  });

  server.Get(R"(/video/(.+)/(\d{1,9})\.mp4)", [](const httplib::Request& req,
                                                 httplib::Response& res) {
    res.set_content("sample video " + req.matches[2].str() + " of " + req.matches[1].str() + "\n",
                    "video/mp4");
  });

  // The course page whose address the user pastes; the program never fetches
  // it, but a browser pointed at the service lands somewhere sensible.
  server.Get(R"(/play_(.*)\.shtml)", [&state](const httplib::Request& req, httplib::Response& res) {
    std::string id = req.matches[1].str();
    std::string list =
        "http://" + AnswerHost(req, state) + "/ajax/getvideolistinfo_" + id + ".shtml";
    res.set_content("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>课程 " + id +
                        "</title></head><body><a href=\"" + list + "\">" + list +
                        "</a></body></html>\n",
                    "text/html; charset=utf-8");
  });

  server.Get("/", [&state](const httplib::Request& req, httplib::Response& res) {
    std::string host = AnswerHost(req, state);
    std::string page = "merravine sample service\n\ncourses:\n";
    for (const std::string& id : FixedCourseIds()) {
      page += "  http://" + host + "/play_" + id + ".shtml\n";
    }
    page += "  generated: gen_<count>, bench1000, slow, slow_<count>_<ms>\n";
    res.set_content(page, "text/plain; charset=utf-8");
  });
}

}  // namespace merravine::sample
