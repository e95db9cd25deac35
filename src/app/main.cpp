// ledgerwise [--no-wait] [--pages-only] [--] [DATA_DIR]: reads every log in
// the game's data folder and writes the report into its analyze folder.
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "app/driver.h"
#include "app/env.h"
#include "sjis_pages/pages.h"

namespace {

using ledgerwise::platform::kProgramName;

void PrintUsage(std::FILE* to) {
  std::fprintf(to,
               "usage: %s [--no-wait] [--pages-only] [--] [DATA_DIR]\n"
               "\n"
               "Reads every *.log file in DATA_DIR (by default the game's data folder)\n"
               "and writes the report into DATA_DIR/analyze; open index.html there.\n"
               "\n"
               "  --no-wait      do not wait for a key at the end\n"
               "  --pages-only   write the six pages only, not dashboard.html and matches.csv\n"
               "  --help         show this text\n"
               "  --version      show the version\n"
               "  --             what follows is the folder, even if it starts with -\n",
               kProgramName);
}

// 0 to run, or the exit code to leave with at once.
int ParseArguments(int argc, char** argv, ledgerwise::RunOptions* options, bool* done) {
  bool optionsEnd = false;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    bool option = !optionsEnd && arg[0] == '-' && arg[1] != '\0';
    if (option && std::strcmp(arg, "--") == 0) {
      optionsEnd = true;
    } else if (option && (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0)) {
      PrintUsage(stdout);
      *done = true;
      return 0;
    } else if (option && std::strcmp(arg, "--version") == 0) {
      std::printf("%s %s\n", kProgramName, ledgerwise::kVersionText);
      *done = true;
      return 0;
    } else if (option && std::strcmp(arg, "--no-wait") == 0) {
      options->noWait = true;
    } else if (option && std::strcmp(arg, "--pages-only") == 0) {
      options->pagesOnly = true;
    } else if (option) {
      std::fprintf(stderr, "%s: unknown option %s\n", kProgramName, arg);
      PrintUsage(stderr);
      *done = true;
      return 2;
    } else if (!options->folderGiven) {
      options->dataFolder = arg;
      options->folderGiven = true;
    } else {
      std::fprintf(stderr, "%s: more than one data folder given\n", kProgramName);
      PrintUsage(stderr);
      *done = true;
      return 2;
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  ledgerwise::RunOptions options;
  bool done = false;
  int code = ParseArguments(argc, argv, &options, &done);
  if (done) return code;
  ledgerwise::platform::InitProcess();
  std::unique_ptr<ledgerwise::Env> env = ledgerwise::platform::NewEnv();
  try {
    return ledgerwise::Run(options, *env);
  } catch (const std::bad_alloc&) {
    // Unwinding has freed the book and removed the temporary file of the
    // page being written, so the message itself has room.
    ledgerwise::ReportOutOfMemory(*env);
    return ledgerwise::platform::kFailureExitCode;
  }
}
