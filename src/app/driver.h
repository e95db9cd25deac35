// The run from start to end: banner, data folder, every log file, the
// statistics pass, the output folder, the report files, the closing messages
// and the key wait. The only place that prints and decides the exit code;
// everything it asks of the system goes through the Env it is given.
#ifndef LEDGERWISE_APP_DRIVER_H_
#define LEDGERWISE_APP_DRIVER_H_

#include <string>

#include "app/env.h"

namespace ledgerwise {

struct RunOptions {
  bool folderGiven = false;  // false: the system finds the data folder
  std::string dataFolder;
  bool noWait = false;     // never wait for a key
  bool pagesOnly = false;  // the six pages without the dashboard and the CSV
  int logWorkers = -1;     // threads reading logs ahead; -1: what suits the machine
};

// Returns 0 on success, platform::kFailureExitCode otherwise.
int Run(const RunOptions& options, Env& env);

// The console line that says the run ran out of memory, in the console's
// encoding.
void ReportOutOfMemory(Env& env);

}  // namespace ledgerwise

#endif  // LEDGERWISE_APP_DRIVER_H_
