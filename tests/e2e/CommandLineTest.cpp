// The command line: help, version, port mapping, and clear errors.
#include <gtest/gtest.h>

#include "support/Process.h"
#include "support/Tmux.h"
#include "support/TempDir.h"

using testing_support::Process;
using testing_support::ProgramPath;
using testing_support::TempDir;

namespace {

struct Result {
  int status;
  std::string output;
};

Result RunProgram(const std::vector<std::string>& arguments, const std::vector<std::string>& env = {}) {
  TempDir dir;
  std::vector<std::string> argv{ProgramPath()};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  Process program(argv, env, dir.File("out"));
  const int status = program.WaitExit();
  return {status, dir.Read("out")};
}

}  // namespace

TEST(CommandLine, AnswersHelpVersionAndPortMapping) {
  const Result help = RunProgram({"--help"});
  EXPECT_EQ(help.status, 0);
  for (const char* option : {"--headless", "--ca-file FILE", "--branding corvo|generic"})
    EXPECT_NE(help.output.find(option), std::string::npos) << option;
  const Result version = RunProgram({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.output.rfind("fieldcast ", 0), 0u);
  const Result ports = RunProgram({"--list-ports"}, {"FIELDCAST_COM1=/dev/null"});
  EXPECT_EQ(ports.status, 0);
  EXPECT_NE(ports.output.find("COM1: /dev/null"), std::string::npos) << ports.output;
}

TEST(CommandLine, RefusesWhatItDoesNotKnowWithExitCode2) {
  struct Case {
    std::vector<std::string> arguments;
    const char* message;
  } const cases[] = {
      {{"--bogus"}, "unknown option '--bogus'"},
      {{"--dir"}, "--dir needs a directory"},
      {{"--dir", "/no/such/place"}, "is not a directory"},
      {{"--debug-log"}, "--debug-log needs a file name"},
      {{"--ca-file"}, "--ca-file needs a file name"},
      {{"--ca-file", "/no/such/ca.pem"}, "--ca-file: '/no/such/ca.pem' is not a file"},
      {{"--branding"}, "--branding needs corvo or generic"},
      {{"--branding", "Corvo"}, "--branding needs corvo or generic"},
  };
  for (const Case& c : cases) {
    const Result result = RunProgram(c.arguments);
    EXPECT_EQ(result.status, 2) << c.message;
    EXPECT_NE(result.output.find(c.message), std::string::npos) << result.output;
  }
}
