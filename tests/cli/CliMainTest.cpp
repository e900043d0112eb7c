#include <gtest/gtest.h>

#include <sstream>

#include "tests/cli/CliTestSupport.h"

namespace orven::cli {
namespace {

CliResult RunArgs(const std::vector<std::string>& args) { return RunOrvenCli(args); }

TEST(CliMain, VersionAndHelpSucceed) {
  EXPECT_EQ(RunArgs({"--version"}).out, "orven-cli 2.20\n");
  EXPECT_EQ(RunArgs({"--help"}).status, kExitOk);
}

TEST(CliMain, MissingOrUnknownCommandIsAUsageError) {
  EXPECT_EQ(RunArgs({}).status, kExitUsage);
  const CliResult r = RunArgs({"frobnicate"});
  EXPECT_EQ(r.status, kExitUsage);
  EXPECT_NE(r.err.find("frobnicate"), std::string::npos);
}

}  // namespace
}  // namespace orven::cli
