#include "test_routes.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace merravine::sample {
namespace {

constexpr const char* kTextUtf8 = "text/plain; charset=utf-8";
constexpr std::int64_t kMaxLargeBytes = std::int64_t{512} << 20;
constexpr int kMaxStallMs = 60000;
// Byte i of a large answer is kPattern[i % 64], so a reader can check any stretch.
constexpr std::string_view kPattern =
    "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ!\n";

std::int64_t ParamOr(const httplib::Request& req, const char* name, std::int64_t fallback,
                     std::int64_t limit) {
  if (!req.has_param(name)) return fallback;
  try {
    std::int64_t value = std::stoll(req.get_param_value(name));
    return std::clamp<std::int64_t>(value, 0, limit);
  } catch (const std::exception&) {
    return fallback;
  }
}

// Header values taken from the query must not split the answer's header block.
std::string OneLine(std::string value) {
  std::erase_if(value, [](char c) { return c == '\r' || c == '\n'; });
  return value;
}

void Echo(const httplib::Request& req, httplib::Response& res) {
  std::string out = req.method + " " + req.target + " " + req.version + "\r\n";
  for (const auto& [name, value] : req.headers) {
    // httplib adds these for its own bookkeeping; they were not sent.
    if (name == "REMOTE_ADDR" || name == "REMOTE_PORT" || name == "LOCAL_ADDR" ||
        name == "LOCAL_PORT") {
      continue;
    }
    out += name + ": " + value + "\r\n";
  }
  out += "\r\n" + req.body;
  res.set_content(out, kTextUtf8);
}

void Redirect(httplib::Response& res, int status, const std::string& location) {
  res.status = status;
  if (!location.empty()) res.set_header("Location", OneLine(location));
  res.set_content("redirect " + std::to_string(status) + "\n", kTextUtf8);
}

}  // namespace

void AddTestRoutes(httplib::Server& server, ServiceState& state) {
  server.Get("/echo", Echo);
  server.Post("/echo", Echo);
  server.Put("/echo", Echo);
  server.Patch("/echo", Echo);
  server.Delete("/echo", Echo);
  server.Options("/echo", Echo);

  server.Get("/stats", [&state](const httplib::Request&, httplib::Response& res) {
    res.set_content(state.StatsJson(), "application/json");
  });
  auto reset = [&state](const httplib::Request&, httplib::Response& res) {
    state.ResetCounters();
    res.set_content(state.StatsJson(), "application/json");
  };
  server.Get("/stats/reset", reset);
  server.Post("/stats/reset", reset);

  // Each c parameter becomes one Set-Cookie line, verbatim and in order.
  server.Get("/cookies/set", [](const httplib::Request& req, httplib::Response& res) {
    for (std::size_t i = 0; i < req.get_param_value_count("c"); ++i) {
      res.set_header("Set-Cookie", OneLine(req.get_param_value("c", i)));
    }
    res.set_content("cookies set\n", kTextUtf8);
  });
  server.Get("/cookies/two", [](const httplib::Request&, httplib::Response& res) {
    res.set_header("Set-Cookie", "a=1; Path=/");
    res.set_header("Set-Cookie", "b=2");
    res.set_content("two cookies\n", kTextUtf8);
  });
  server.Get("/cookies/delete", [](const httplib::Request&, httplib::Response& res) {
    res.set_header("Set-Cookie", "a=deleted; Path=/");
    res.set_content("cookie a deleted\n", kTextUtf8);
  });
  server.Get("/cookies/show", [](const httplib::Request& req, httplib::Response& res) {
    std::string out;
    for (std::size_t i = 0; i < req.get_header_value_count("Cookie"); ++i) {
      out += req.get_header_value("Cookie", i) + "\n";
    }
    res.set_content(out, kTextUtf8);
  });

  server.Get(R"(/redirect/(301|302|303|307|308))",
             [](const httplib::Request& req, httplib::Response& res) {
               std::string to = req.has_param("to") ? req.get_param_value("to") : "/echo";
               Redirect(res, std::stoi(req.matches[1].str()), to);
             });
  server.Get(R"(/redirect/(301|302)-no-location)",
             [](const httplib::Request& req, httplib::Response& res) {
               Redirect(res, std::stoi(req.matches[1].str()), "");
             });
  server.Get("/content-location", [](const httplib::Request&, httplib::Response& res) {
    res.set_header("Content-Location", "/elsewhere");
    res.set_content("has a Content-Location line\n", kTextUtf8);
  });

  server.Get("/chunked", [](const httplib::Request& req, httplib::Response& res) {
    auto chunks = ParamOr(req, "n", 5, 10000);
    res.set_chunked_content_provider(
        kTextUtf8, [chunks, i = std::int64_t{0}](std::size_t, httplib::DataSink& sink) mutable {
          if (i == chunks) {
            sink.done();
            return true;
          }
          ++i;
          std::string piece = "chunk " + std::to_string(i) + " of " + std::to_string(chunks) + "\n";
          return sink.write(piece.data(), piece.size());
        });
  });

  server.Get("/large", [](const httplib::Request& req, httplib::Response& res) {
    auto total = static_cast<std::size_t>(ParamOr(req, "bytes", 1 << 20, kMaxLargeBytes));
    res.set_content_provider(total, "application/octet-stream",
                             [total](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                               std::string block;
                               block.reserve(65536);
                               std::size_t end = std::min(total, offset + 65536);
                               for (std::size_t i = offset; i < end; ++i)
                                 block += kPattern[i % kPattern.size()];
                               return sink.write(block.data(), block.size());
                             });
  });

  server.Get("/stall", [&state](const httplib::Request& req, httplib::Response& res) {
    auto ms = ParamOr(req, "ms", 3000, kMaxStallMs);
    state.SleepFor(std::chrono::milliseconds(ms));
    res.set_content("stalled " + std::to_string(ms) + " ms\n", kTextUtf8);
  });

  server.Get(R"(/status/([2-5]\d\d))", [](const httplib::Request& req, httplib::Response& res) {
    res.status = std::stoi(req.matches[1].str());
    res.set_content("status " + req.matches[1].str() + " body\n", kTextUtf8);
  });
}

}  // namespace merravine::sample
