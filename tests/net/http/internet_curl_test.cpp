// What only our libcurl layer promises beyond the Windows library: answers
// never lead it to another protocol, redirects are bounded, and a dead server
// ends the call without leaving a thread behind.
#include <chrono>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "net/web_request.h"
#include "platform/posix/internet_curl_testing.h"
#include "service.h"

namespace merravine {
namespace {

using servicetest::FaultUrl;
using servicetest::ServiceCounter;
using servicetest::ServiceUrl;
using servicetest::Str;
using servicetest::ThreadCount;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

TEST(InternetCurlRedirects, OtherSchemesAreNeverFollowed) {
  for (const std::string path : {"/redirect/file", "/redirect/302?to=ftp://127.0.0.1/x",
                                 "/redirect/302?to=gopher://127.0.0.1/x"}) {
    Text target;
    Text raw;
    const std::string body = Str(WebRequest(ServiceUrl(path), 0, Text(), nullptr, nullptr, nullptr,
                                            &target, false, nullptr, nullptr, &raw));
    EXPECT_THAT(raw.Str(), StartsWith("HTTP/1.1 302 ")) << path;
    EXPECT_THAT(target.Str(), Not(StartsWith("HTTP/"))) << path;
    EXPECT_THAT(body, Not(HasSubstr("root:"))) << path;
  }
  Text target;
  WebRequest(ServiceUrl("/redirect/file"), 0, Text(), nullptr, nullptr, nullptr, &target);
  EXPECT_EQ(target.Str(), "file:///etc/passwd");
}

TEST(InternetCurlRedirects, ALoopEndsAfterTenRedirects) {
  servicetest::ResetServiceCounters();
  Text raw;
  Text target;
  WebRequest(ServiceUrl("/redirect/loop"), 0, Text(), nullptr, nullptr, nullptr, &target, false,
             nullptr, nullptr, &raw);
  EXPECT_THAT(raw.Str(), StartsWith("HTTP/1.1 302 "));
  EXPECT_EQ(target.Str(), "/redirect/loop");
  // The first request and ten redirects.
  EXPECT_EQ(ServiceCounter("requests"), 11);
}

class InternetCurlStall : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::testing::SetInternetTimeouts(std::chrono::milliseconds(2000),
                                           std::chrono::milliseconds(300));
  }
  void TearDown() override {
    platform::testing::SetInternetTimeouts(std::chrono::milliseconds(60000),
                                           std::chrono::milliseconds(30000));
  }
};

TEST_F(InternetCurlStall, DeadServersEndTheCallWithoutLeavingAThread) {
  const long threadsBefore = ThreadCount();

  Text raw = "before";
  EXPECT_EQ(WebRequest(FaultUrl("/never-answer"), 0, Text(), nullptr, nullptr, nullptr, nullptr,
                       false, nullptr, nullptr, &raw)
                .Count(),
            0);
  EXPECT_EQ(raw.Str(), "");

  // The head arrives, the body never does: the head is kept, the body is empty.
  EXPECT_EQ(WebRequest(FaultUrl("/headers-then-stall"), 0, Text(), nullptr, nullptr, nullptr,
                       nullptr, false, nullptr, nullptr, &raw)
                .Count(),
            0);
  EXPECT_THAT(raw.Str(), StartsWith("HTTP/1.1 200 "));

  // A server that takes longer than the stall limit to answer.
  EXPECT_EQ(WebGetText(ServiceUrl("/stall?ms=5000")).Str(), "");

  EXPECT_EQ(ThreadCount(), threadsBefore);
}

TEST_F(InternetCurlStall, AnAnswerWithinTheLimitIsNotCutOff) {
  EXPECT_EQ(WebGetText(ServiceUrl("/stall?ms=100")).Str(), "stalled 100 ms\n");
}

}  // namespace
}  // namespace merravine
