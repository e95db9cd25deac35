// The run from start to end: banner, data folder, every log file, the
// statistics pass, the output folder, the six pages, the closing messages
// and the key wait. The only place that prints and decides the exit code.
#ifndef LEDGERWISE_APP_DRIVER_H_
#define LEDGERWISE_APP_DRIVER_H_

#include <string>

namespace ledgerwise {

struct RunOptions {
  std::string dataFolder;  // empty: the platform finds it
  bool noWait = false;     // never wait for a key
};

// Returns 0 on success, platform::kFailureExitCode otherwise.
int Run(const RunOptions& options);

}  // namespace ledgerwise

#endif  // LEDGERWISE_APP_DRIVER_H_
