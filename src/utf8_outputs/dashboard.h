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

// A dashboard that a watching run keeps rewriting. The page then looks for
// live.js beside it every few seconds, a one-line script
//   ledgerwiseLive({"generation":"GEN","updated":"YYYY-MM-DD HH:MM:SS"});
// and reloads itself, keeping what the player was looking at, when GEN is no
// longer its own generation.
struct DashboardLive {
  std::string generation;  // UTF-8
};

// Writes through a temporary file like the pages, and fails like them with
// the file's path, the old file kept. Call after the statistics pass. The
// data goes from the book to the file a few kilobytes at a time.
Status WriteDashboard(const VsLogBook& book, FileSystem& fs, const std::string& path);
// The same, live when `live` is given (a one-shot run's page when nullptr).
Status WriteDashboard(const VsLogBook& book, FileSystem& fs, const std::string& path,
                      const DashboardLive* live);

}  // namespace ledgerwise

#endif  // LEDGERWISE_UTF8_OUTPUTS_DASHBOARD_H_
