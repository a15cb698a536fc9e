#include "app/CommandLine.h"

#include <sys/stat.h>

#include <algorithm>
#include <ostream>
#include <string_view>

namespace {

constexpr int kUsageError = 2;

int Fail(std::ostream& errors, const std::string& message) {
  errors << "fieldcast: " << message << "\nTry 'fieldcast --help' for the options.\n";
  return kUsageError;
}

// "GP,GN": two-character talker identifiers, upper-case as NMEA writes them.
bool ParseTalkers(const std::string& list, std::vector<std::wstring>& talkers) {
  talkers.clear();
  size_t from = 0;
  while (from <= list.size()) {
    const size_t comma = std::min(list.find(',', from), list.size());
    const std::string talker = list.substr(from, comma - from);
    if (talker.size() != 2) return false;
    for (char c : talker)
      if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
    talkers.emplace_back(talker.begin(), talker.end());
    from = comma + 1;
  }
  return true;
}

// Whole seconds from 1 to an hour; a longer pause is no position update.
bool ParseInterval(const std::string& text, int& seconds) {
  if (text.empty() || text.size() > 4 || text.find_first_not_of("0123456789") != std::string::npos) return false;
  seconds = std::stoi(text);
  return seconds >= 1 && seconds <= 3600;
}

}  // namespace

void PrintUsage(std::ostream& out) {
  out << "Usage: fieldcast [OPTION]...\n"
         "An NTRIP client: receives a caster's correction stream and writes it to the\n"
         "GNSS receiver on a serial port.\n\n"
         "  --headless         run without a terminal (a service): print status changes,\n"
         "                     end on SIGINT, SIGTERM or SIGHUP\n"
         "  --start            press Start as soon as the main window is up\n"
         "  --dir DIR          keep GNSS.ini, sourcetable.dat and CorvoNet.ini in DIR\n"
         "                     instead of the program's directory\n"
         "  --debug-log FILE   append the debug trace to FILE\n"
         "  --branding corvo|generic  set the branding (Colour= of GNSS.ini, saved at\n"
         "                     Exit) instead of taking it from the file\n"
         "  --list-ports       show which device each COM port name stands for\n"
         "  --gga-talkers LIST accept the GGA sentences of these talkers (default GP;\n"
         "                     receivers that send $GNGGA need GP,GN)\n"
         "  --gga-interval SECONDS  while a stream that wants the position runs,\n"
         "                     upload the receiver's newest GGA every SECONDS (1-3600;\n"
         "                     default: once per connection)\n"
         "  --ca-file FILE     also trust the CA certificate(s) in FILE (PEM) for casters\n"
         "                     written https://, such as a private caster's own CA\n"
         "  --gga-position LAT,LON,HEIGHT  for a receiver that sends no GGA: upload a\n"
         "                     GGA of this position (decimal degrees, metres) instead\n"
         "  --status-file PATH replace PATH once a second with the stream's health as\n"
         "                     JSON (for monitoring tools)\n"
         "  --health-interval SECONDS  headless: print a stream health line every\n"
         "                     SECONDS (1-3600)\n"
         "  --record FILE      append the corrections relayed to the receiver to FILE\n"
         "  --help             show this help\n"
         "  --version          show the version\n\n"
         "Keys: F3 in the main window opens the stream health page.\n"
         "COMn is the device in the environment variable FIELDCAST_COMn, or else the\n"
         "n-th present device of /dev/ttyUSB*, /dev/ttyACM*, /dev/ttyAMA*, /dev/ttyS*.\n";
}

int ParseCommandLine(int argc, char** argv, CommandLine& options, std::ostream& errors) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    auto value = [&](std::string& into) {
      if (i + 1 >= argc) return false;
      into = argv[++i];
      return true;
    };
    if (arg == "--headless") options.headless = true;
    else if (arg == "--start") options.start = true;
    else if (arg == "--help" || arg == "-h") options.help = true;
    else if (arg == "--version") options.version = true;
    else if (arg == "--list-ports") options.listPorts = true;
    else if (arg == "--dir") {
      if (!value(options.directory)) return Fail(errors, "--dir needs a directory");
      struct stat info {};
      if (stat(options.directory.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return Fail(errors, "--dir: '" + options.directory + "' is not a directory");
    } else if (arg == "--debug-log") {
      if (!value(options.debugLog)) return Fail(errors, "--debug-log needs a file name");
    } else if (arg == "--ca-file") {
      if (!value(options.caFile)) return Fail(errors, "--ca-file needs a file name");
      struct stat info {};
      if (stat(options.caFile.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return Fail(errors, "--ca-file: '" + options.caFile + "' is not a file");
    } else if (arg == "--branding") {
      if (!value(options.branding) || (options.branding != "corvo" && options.branding != "generic"))
        return Fail(errors, "--branding needs corvo or generic");
    } else if (arg == "--gga-talkers") {
      std::string list;
      if (!value(list) || !ParseTalkers(list, options.gga.talkers))
        return Fail(errors, "--gga-talkers needs two-character talkers separated by commas, for example GP,GN");
    } else if (arg == "--gga-interval") {
      std::string seconds;
      if (!value(seconds) || !ParseInterval(seconds, options.gga.intervalSeconds))
        return Fail(errors, "--gga-interval needs a number of seconds from 1 to 3600");
    } else if (arg == "--gga-position") {
      std::string position;
      if (!value(position) || !ParseFixedPosition(position, options.gga.fixedPosition))
        return Fail(errors, "--gga-position needs LAT,LON,HEIGHT in degrees and metres, for example 52.52,13.40,35");
      options.gga.hasFixedPosition = true;
    } else if (arg == "--status-file") {
      if (!value(options.health.statusFile) || options.health.statusFile.empty())
        return Fail(errors, "--status-file needs a file name");
    } else if (arg == "--health-interval") {
      std::string seconds;
      if (!value(seconds) || !ParseInterval(seconds, options.health.intervalSeconds))
        return Fail(errors, "--health-interval needs a number of seconds from 1 to 3600");
    } else if (arg == "--record") {
      if (!value(options.health.recordFile) || options.health.recordFile.empty())
        return Fail(errors, "--record needs a file name");
    } else {
      return Fail(errors, "unknown option '" + std::string(arg) + "'");
    }
  }
  return 0;
}
