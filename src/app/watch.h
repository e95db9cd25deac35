// A run that follows the game while it writes its log (--watch): the full
// run first, then the data folder watched until a stop is asked for. As a
// match starts or ends in the log, a line on the console says what it
// means for the player; the outputs follow, rewritten under the run lock
// at most every few seconds, and live.js tells an open dashboard to reload.
#ifndef LEDGERWISE_APP_WATCH_H_
#define LEDGERWISE_APP_WATCH_H_

#include "app/env.h"
#include "app/run_steps.h"

namespace ledgerwise {

// Returns the exit code: 0 after a stop, the failure code when the first
// run could not get as far as writing the outputs.
int Watch(RunSteps& steps, Env& env);

}  // namespace ledgerwise

#endif  // LEDGERWISE_APP_WATCH_H_
