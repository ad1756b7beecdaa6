// The command-line mode against the sample service.
#include "app/cli.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "course/service_host.h"

namespace merravine {
namespace {

struct Outcome {
  int status = -1;
  std::string out, err;
};

Outcome RunWith(const std::vector<std::string>& arguments, bool errIsTerminal = false) {
  Outcome run;
  CommandLineStreams streams;
  streams.out = [&](std::string_view bytes) { run.out += bytes; };
  streams.err = [&](std::string_view bytes) { run.err += bytes; };
  streams.errIsTerminal = errIsTerminal;
  run.status = RunCommandLine(arguments, streams);
  return run;
}

std::string Host() {
  return ServiceHost().Str();
}
std::string Page(const std::string& id) {
  return "http://" + Host() + "/play_" + id + ".shtml";
}
std::string Video(const std::string& id, int n) {
  return "http://" + Host() + "/video/" + id + "/" + std::to_string(n) + ".mp4";
}

void SetServiceHost(const char* value) {
#ifdef _WIN32
  _putenv_s("MERRAVINE_SERVICE_HOST", value);
#else
  setenv("MERRAVINE_SERVICE_HOST", value, 1);
#endif
}

TEST(CommandLine, ListWritesTitleTabAddressLinesInUtf8) {
  const Outcome run = RunWith({"--list", Page("three")});
  EXPECT_EQ(run.status, kExitSuccess);
  EXPECT_EQ(run.out, "第一课 认识汉字\t" + Video("three", 1) + "\n" +      //
                         "第二课 拼音基础\t" + Video("three", 2) + "\n" +  //
                         "第三课 笔画与笔顺\t" + Video("three", 3) + "\n");
  EXPECT_EQ(run.err, "") << "no progress when standard error is not a terminal";
}

TEST(CommandLine, ProgressGoesToATerminalOnly) {
  const Outcome run = RunWith({"--list", Page("three")}, true);
  EXPECT_EQ(run.status, kExitSuccess);
  EXPECT_NE(run.err.find("第3课"), std::string::npos) << run.err;
  EXPECT_EQ(run.out.find("第3课"), std::string::npos);
}

TEST(CommandLine, ListKeepsOddRecordsAsTheWindowDoes) {
  const Outcome run = RunWith({"--list", Page("no-video")});
  EXPECT_EQ(run.status, kExitSuccess);
  EXPECT_EQ(
      run.out.rfind("正常的课时\t" + Video("no-video", 1) + "\n空白应答\t\n应答缺少标记\t", 0), 0u)
      << run.out;
}

TEST(CommandLine, AFetchedListWithoutLessonsOrAnEmptyAddressStillSucceeds) {
  for (const std::string& address : {Page("empty"), std::string()}) {
    const Outcome run = RunWith({"--list", address});
    EXPECT_EQ(run.status, kExitSuccess) << address;
    EXPECT_EQ(run.out, "") << address;
  }
}

TEST(CommandLine, NoAnswerFromTheServiceExitsWithOne) {
  const std::string saved = Host();
  SetServiceHost("127.0.0.1:1");  // nothing listens on port 1
  const Outcome run = RunWith({"--list", Page("three")});
  SetServiceHost(saved.c_str());
  EXPECT_EQ(run.status, kExitNoAnswer);
  EXPECT_EQ(run.out, "");
}

TEST(CommandLine, UsageErrorsExitWithTwoAndOneLineOnStandardError) {
  const std::vector<std::vector<std::string>> table = {
      {}, {"--list"}, {"--list", "a", "b"}, {"--bogus"}, {"--help", "x"}, {"list"}};
  for (const auto& arguments : table) {
    const Outcome run = RunWith(arguments);
    EXPECT_EQ(run.status, kExitUsage) << arguments.size();
    EXPECT_EQ(run.out, "");
    ASSERT_FALSE(run.err.empty());
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
  }
}

TEST(CommandLine, HelpAndVersion) {
  const Outcome help = RunWith({"--help"});
  EXPECT_EQ(help.status, kExitSuccess);
  EXPECT_NE(help.out.find("--list ADDRESS"), std::string::npos);
  const Outcome version = RunWith({"--version"});
  EXPECT_EQ(version.status, kExitSuccess);
  EXPECT_EQ(version.out.rfind("merravine ", 0), 0u);
  EXPECT_EQ(version.out.back(), '\n');
}

TEST(CommandLine, AnyArgumentMeansCommandLineMode) {
  EXPECT_FALSE(IsCommandLineMode({}));
  EXPECT_TRUE(IsCommandLineMode({"--list"}));
}

}  // namespace
}  // namespace merravine
