// live.js: what a watching run writes beside the dashboard after each
// rewrite, a few bytes naming the generation of the outputs. A dashboard
// written by a watching run loads it every few seconds with a script
// element (which works from a local file where fetch does not) and reloads
// itself when the generation is not its own.
//
//   ledgerwiseLive({"generation":"GEN","updated":"YYYY-MM-DD HH:MM:SS"});
#ifndef LEDGERWISE_UTF8_OUTPUTS_LIVE_SCRIPT_H_
#define LEDGERWISE_UTF8_OUTPUTS_LIVE_SCRIPT_H_

#include <string>

#include "log/calendar.h"
#include "util/file_system.h"
#include "util/status.h"

namespace ledgerwise {

// `generation` is letters, digits and dashes only. Written whole or not
// at all, like every output.
Status WriteLiveScript(FileSystem& fs, const std::string& path, const std::string& generation,
                       const LocalTime& updated);

}  // namespace ledgerwise

#endif  // LEDGERWISE_UTF8_OUTPUTS_LIVE_SCRIPT_H_
