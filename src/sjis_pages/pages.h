// The six pages of the report. Each writer takes the full path of its page
// and returns 0, or -1 with ErrorText saying which file failed; the page it
// replaces stays as it was on failure. The writers only read the book (after
// the statistics pass), apart from ErrorText.
#ifndef LEDGERWISE_SJIS_PAGES_PAGES_H_
#define LEDGERWISE_SJIS_PAGES_PAGES_H_

#include <string>

#include "log/calendar.h"
#include "log/records.h"
#include "util/file_system.h"

namespace ledgerwise {

// The version text of the console banner and the menu footer.
constexpr const char kVersionText[] = "Ver 1.0.4(2005/05/04)";

int WriteIndexPage(VsLogBook& book, FileSystem& fs, const std::string& path);
// `now` is the menu's time stamp, read by the caller once per run.
int WriteMenuPage(VsLogBook& book, FileSystem& fs, const std::string& path, const LocalTime& now);
int WritePersonalPage(VsLogBook& book, FileSystem& fs, const std::string& path);
int WriteObservationPage(VsLogBook& book, FileSystem& fs, const std::string& path);
int WriteRankingPage(VsLogBook& book, FileSystem& fs, const std::string& path);
int WriteVsLogPage(VsLogBook& book, FileSystem& fs, const std::string& path);

}  // namespace ledgerwise

#endif  // LEDGERWISE_SJIS_PAGES_PAGES_H_
