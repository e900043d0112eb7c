#include <gtest/gtest.h>

#include <sstream>

#include "cli/Cli.h"

namespace orven::cli {
namespace {

struct CliResult {
  int status;
  std::string out;
  std::string err;
};

CliResult RunArgs(const std::vector<std::string>& args) {
  std::istringstream in;
  std::ostringstream out, err;
  const int status = RunCli(args, in, out, err);
  return {status, out.str(), err.str()};
}

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
