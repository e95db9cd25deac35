// The six Shift_JIS pages of the report. Each writer reads the book after the
// statistics pass and writes the page at its full path, or fails with
// OutputOpen or OutputWrite on that path and leaves the page it would have
// replaced as it was. Writers share nothing, so any two can run at once.
#ifndef LEDGERWISE_SJIS_PAGES_PAGES_H_
#define LEDGERWISE_SJIS_PAGES_PAGES_H_

#include <string>

#include "log/calendar.h"
#include "log/records.h"
#include "util/file_system.h"
#include "util/status.h"

namespace ledgerwise {

// The version text of the console banner and the menu footer.
constexpr const char kVersionText[] = "Ver 1.0.4(2005/05/04)";

Status WriteIndexPage(const VsLogBook& book, FileSystem& fs, const std::string& path);
// `now` is the menu's time stamp, read by the caller once per run.
Status WriteMenuPage(const VsLogBook& book, FileSystem& fs, const std::string& path,
                     const LocalTime& now);
Status WritePersonalPage(const VsLogBook& book, FileSystem& fs, const std::string& path);
Status WriteObservationPage(const VsLogBook& book, FileSystem& fs, const std::string& path);
Status WriteRankingPage(const VsLogBook& book, FileSystem& fs, const std::string& path);
Status WriteVsLogPage(const VsLogBook& book, FileSystem& fs, const std::string& path);

}  // namespace ledgerwise

#endif  // LEDGERWISE_SJIS_PAGES_PAGES_H_
