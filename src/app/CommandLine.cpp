#include "app/CommandLine.h"

#include <sys/stat.h>

#include <ostream>
#include <string_view>

namespace {

constexpr int kUsageError = 2;

int Fail(std::ostream& errors, const std::string& message) {
  errors << "fieldcast: " << message << "\nTry 'fieldcast --help' for the options.\n";
  return kUsageError;
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
         "  --list-ports       show which device each COM port name stands for\n"
         "  --help             show this help\n"
         "  --version          show the version\n\n"
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
    } else {
      return Fail(errors, "unknown option '" + std::string(arg) + "'");
    }
  }
  return 0;
}
