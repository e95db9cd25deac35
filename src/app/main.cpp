// ledgerwise [OPTION...] [--] [DATA_DIR]: reads every log in the game's data
// folder and writes the report into its analyze folder.
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "app/driver.h"
#include "app/env.h"
#include "sjis_pages/pages.h"

namespace {

using ledgerwise::platform::kProgramName;

constexpr int kUsageExitCode = 2;

void PrintUsage() {
  std::printf(
      "usage: %s [--watch] [--wait | --no-wait] [--pages-only] [--] [DATA_DIR]\n"
      "\n"
      "Reads every *.log file in DATA_DIR (by default the game's data folder)\n"
      "and writes the report into DATA_DIR/analyze; open index.html there.\n"
      "\n"
      "  --watch        after the report, follow the folder while the game writes:\n"
      "                 a line as each match starts and ends, the report kept up\n"
      "                 to date; Ctrl+C ends it\n"
      "  --wait         wait for a key at the end (on a console)%s\n"
      "  --no-wait      do not wait for a key at the end%s\n"
      "  --pages-only   write the six pages only, not dashboard.html and matches.csv\n"
      "  -h, --help     show this text%s\n"
      "  --version      show the version\n"
      "  --             what follows is the folder, even if it starts with -\n",
      kProgramName, ledgerwise::platform::kWaitsForKeyByDefault ? " (the default)" : "",
      ledgerwise::platform::kWaitsForKeyByDefault ? "" : " (the default)",
      ledgerwise::platform::kWaitsForKeyByDefault ? " (also /?)" : "");
}

// One line on standard error and where to read more: the exit code of a
// command line that cannot run.
int UsageError(const char* what, const char* argument = "") {
  std::fprintf(stderr, "%s: %s%s\nTry '%s --help' for more information.\n", kProgramName, what,
               argument, kProgramName);
  return kUsageExitCode;
}

bool AskedForHelp(const std::string& arg) {
  return arg == "--help" || arg == "-h" ||
         (ledgerwise::platform::kWaitsForKeyByDefault && arg == "/?");
}

// -1 to run, or the exit code to leave with at once.
int ParseArguments(const std::vector<std::string>& args, ledgerwise::RunOptions* options) {
  bool optionsEnd = false;
  for (size_t i = 1; i < args.size(); ++i) {
    const char* arg = args[i].c_str();
    bool option = !optionsEnd && arg[0] == '-' && arg[1] != '\0';
    if (option && std::strcmp(arg, "--") == 0) {
      optionsEnd = true;
    } else if (!optionsEnd && AskedForHelp(args[i])) {
      PrintUsage();
      return 0;
    } else if (option && std::strcmp(arg, "--version") == 0) {
      std::printf("%s %s\n", kProgramName, ledgerwise::kVersionText);
      return 0;
    } else if (option && std::strcmp(arg, "--wait") == 0) {
      options->keyWait = ledgerwise::KeyWait::Always;
    } else if (option && std::strcmp(arg, "--no-wait") == 0) {
      options->keyWait = ledgerwise::KeyWait::Never;
    } else if (option && std::strcmp(arg, "--watch") == 0) {
      options->watch = true;
    } else if (option && std::strcmp(arg, "--pages-only") == 0) {
      options->pagesOnly = true;
    } else if (option) {
      return UsageError("unknown option ", arg);
    } else if (arg[0] == '\0') {
      return UsageError("the data folder's name is empty");
    } else if (!options->folderGiven) {
      options->dataFolder = arg;
      options->folderGiven = true;
    } else {
      return UsageError("more than one data folder given: ", arg);
    }
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  ledgerwise::RunOptions options;
  int code = ParseArguments(ledgerwise::platform::Arguments(argc, argv), &options);
  if (code >= 0) return code;
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
