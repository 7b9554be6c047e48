#include "settings/CommandLine.h"

namespace {
constexpr const char* kSource = "command line";
}

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine line;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--check-config") {
      line.checkConfig = true;
    } else if (argument == "--help") {
      line.help = true;
    } else if (argument == "--supervise") {
      line.supervise = true;
    } else if (argument == "--config") {
      if (i + 1 == arguments.size()) {
        line.problems.push_back({kSource, "--config", "needs the settings file's path"});
      } else {
        line.configFile = arguments[++i];
      }
    } else if (argument.rfind("--config=", 0) == 0) {
      line.configFile = argument.substr(9);
    } else {
      line.problems.push_back(
          {kSource, "",
           "unknown option " + DisplayValue(argument) + " (--help lists the options)"});
    }
  }
  return line;
}

std::string CommandLineHelp() {
  return "Options:\n"
         "  --config <file>  read the settings from <file> instead of the usual place\n"
         "  --check-config   print each setting in effect, where it came from and every\n"
         "                   problem, then end: 0 when there is none, 1 otherwise\n"
         "  --help           print this text and end\n"
         "  --supervise      (Windows) run the program, and run it again whenever it ends\n"
         "                   with an exit code other than 0, waiting 1, 2, 4 ... 60 s\n";
}
