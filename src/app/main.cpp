// ledgerwise [--no-wait] [DATA_DIR]: reads every log in the game's data
// folder and writes the report into its analyze folder.
#include <cstdio>
#include <cstring>
#include <string>

#include "app/driver.h"
#include "app/platform.h"
#include "report/pages.h"

namespace {

void PrintUsage(std::FILE* to) {
  std::fprintf(to,
               "usage: %s [--no-wait] [DATA_DIR]\n"
               "\n"
               "Reads every *.log file in DATA_DIR (by default the game's data folder)\n"
               "and writes the report into DATA_DIR/analyze; open index.html there.\n"
               "\n"
               "  --no-wait   do not wait for a key at the end\n"
               "  --help      show this text\n"
               "  --version   show the version\n",
               ledgerwise::platform::kProgramName);
}

}  // namespace

int main(int argc, char** argv) {
  ledgerwise::RunOptions options;
  bool folderGiven = false;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
      PrintUsage(stdout);
      return 0;
    } else if (std::strcmp(arg, "--version") == 0) {
      std::printf("%s %s\n", ledgerwise::platform::kProgramName, ledgerwise::kVersionText);
      return 0;
    } else if (std::strcmp(arg, "--no-wait") == 0) {
      options.noWait = true;
    } else if (arg[0] == '-' && arg[1] == '-' && arg[2] != '\0') {
      std::fprintf(stderr, "%s: unknown option %s\n", ledgerwise::platform::kProgramName, arg);
      PrintUsage(stderr);
      return 2;
    } else if (!folderGiven) {
      options.dataFolder = arg;
      folderGiven = true;
    } else {
      std::fprintf(stderr, "%s: more than one data folder given\n",
                   ledgerwise::platform::kProgramName);
      PrintUsage(stderr);
      return 2;
    }
  }
  return ledgerwise::Run(options);
}
