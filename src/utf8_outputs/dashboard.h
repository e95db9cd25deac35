// dashboard.html: one self-contained UTF-8 page beside the six report pages,
// holding its own style, script and data (no other file, no network), for
// players whose match log is too large for the pages: the overview, every
// opponent in a sortable, searchable table, one opponent's meetings, and a
// period that every figure follows.
#ifndef LEDGERWISE_UTF8_OUTPUTS_DASHBOARD_H_
#define LEDGERWISE_UTF8_OUTPUTS_DASHBOARD_H_

#include <string>

#include "log/records.h"
#include "util/file_system.h"
#include "util/status.h"

namespace ledgerwise {

// Writes through a temporary file like the pages, and fails like them with
// the file's path, the old file kept. Call after the statistics pass.
Status WriteDashboard(const VsLogBook& book, FileSystem& fs, const std::string& path);

}  // namespace ledgerwise

#endif  // LEDGERWISE_UTF8_OUTPUTS_DASHBOARD_H_
