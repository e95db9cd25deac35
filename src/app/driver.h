// The run from start to end: banner, data folder, every log file, the
// statistics pass, the output folder, the report files, the closing messages
// and the key wait. Everything a run prints goes through here, and here the
// exit code is decided; everything it asks of the system goes through the
// Env it is given.
#ifndef LEDGERWISE_APP_DRIVER_H_
#define LEDGERWISE_APP_DRIVER_H_

#include <string>

#include "app/env.h"

namespace ledgerwise {

enum class KeyWait {
  Default,  // what the platform does (platform::kWaitsForKeyByDefault)
  Always,   // --wait
  Never,    // --no-wait
};

struct RunOptions {
  bool folderGiven = false;  // false: the system finds the data folder
  std::string dataFolder;
  KeyWait keyWait = KeyWait::Default;  // only ever on an interactive console
  bool pagesOnly = false;              // the six pages without the dashboard and the CSV
  int logWorkers = -1;                 // threads reading logs ahead; -1: what suits the machine
  bool writeSideBySide = true;         // vslog.html on a thread of its own beside the rest
  bool watch = false;                  // after the run, follow the folder while the game writes
};

// Returns 0 on success, platform::kFailureExitCode otherwise.
int Run(const RunOptions& options, Env& env);

// The console line that says the run ran out of memory, in the console's
// encoding.
void ReportOutOfMemory(Env& env);

}  // namespace ledgerwise

#endif  // LEDGERWISE_APP_DRIVER_H_
