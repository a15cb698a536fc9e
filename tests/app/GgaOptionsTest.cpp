// The GGA options on the command line: what they accept, and a clear
// refusal (exit code 2) for anything else.
#include <gtest/gtest.h>

#include <sstream>

#include "app/CommandLine.h"

namespace {

int Parse(std::vector<std::string> arguments, CommandLine& options, std::string& errors) {
  arguments.insert(arguments.begin(), "fieldcast");
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  std::ostringstream out;
  const int status = ParseCommandLine(static_cast<int>(argv.size()), argv.data(), options, out);
  errors = out.str();
  return status;
}

}  // namespace

TEST(GgaOptions, AcceptedValues) {
  CommandLine options;
  std::string errors;
  EXPECT_EQ(Parse({}, options, errors), 0);
  EXPECT_TRUE(options.gga.talkers.empty());  // the default: $GPGGA only
  EXPECT_EQ(options.gga.intervalSeconds, 0);  // the default: one upload per connection
  ASSERT_EQ(Parse({"--gga-talkers", "GP,GN,GL", "--gga-interval", "5"}, options, errors), 0) << errors;
  EXPECT_EQ(options.gga.talkers, (std::vector<std::wstring>{L"GP", L"GN", L"GL"}));
  EXPECT_EQ(options.gga.intervalSeconds, 5);
}

TEST(GgaOptions, RefusedValues) {
  const std::vector<std::vector<std::string>> cases = {
      {"--gga-talkers"},        {"--gga-talkers", ""},     {"--gga-talkers", "GPS"},  {"--gga-talkers", "gp"},
      {"--gga-talkers", "GP,"}, {"--gga-talkers", "G\n"},  {"--gga-interval"},        {"--gga-interval", "0"},
      {"--gga-interval", "3601"}, {"--gga-interval", "-5"}, {"--gga-interval", "5s"}, {"--gga-interval", "99999999999"},
  };
  for (const auto& arguments : cases) {
    CommandLine options;
    std::string errors;
    EXPECT_EQ(Parse(arguments, options, errors), 2) << arguments.back();
    EXPECT_NE(errors.find(arguments.front() + " needs"), std::string::npos) << errors;
  }
}

// The health options and --gga-position: limits on both sides.
TEST(GgaOptions, HealthOptionsAndFixedPosition) {
  CommandLine options;
  std::string errors;
  ASSERT_EQ(Parse({"--status-file", "/run/s.json", "--health-interval", "3600", "--record", "r.bin", "--gga-position",
                   "-33.5,151.25,58"},
                  options, errors),
            0)
      << errors;
  EXPECT_EQ(options.health.statusFile, "/run/s.json");
  EXPECT_EQ(options.health.intervalSeconds, 3600);
  EXPECT_EQ(options.health.recordFile, "r.bin");
  EXPECT_TRUE(options.gga.hasFixedPosition);
  EXPECT_DOUBLE_EQ(options.gga.fixedPosition.lonDeg, 151.25);
  ASSERT_EQ(Parse({"--health-interval", "1"}, options, errors), 0) << errors;
  const std::vector<std::vector<std::string>> refused = {
      {"--status-file"},         {"--status-file", ""},         {"--record"},   {"--record", ""},
      {"--health-interval", "0"}, {"--health-interval", "3601"}, {"--gga-position"}, {"--gga-position", "91,0,0"},
      {"--gga-position", "0,0"},
  };
  for (const auto& arguments : refused) {
    CommandLine refusedOptions;
    EXPECT_EQ(Parse(arguments, refusedOptions, errors), 2) << arguments.back();
    EXPECT_NE(errors.find(arguments.front() + " needs"), std::string::npos) << errors;
  }
}
