// matches.csv: every match, one row each in the order the match-start lines
// were read, for spreadsheets. UTF-8 with a byte order mark, CR LF line ends,
// fields quoted where they hold a comma, a quote, CR or LF. A name that a
// spreadsheet would take for a formula gets a leading apostrophe.
#ifndef LEDGERWISE_UTF8_OUTPUTS_MATCH_CSV_H_
#define LEDGERWISE_UTF8_OUTPUTS_MATCH_CSV_H_

#include <string>
#include <string_view>

#include "log/records.h"
#include "util/file_system.h"
#include "util/status.h"

namespace ledgerwise {

// Writes through a temporary file like the pages, and fails like them with
// the file's path, the old file kept.
Status WriteMatchCsv(const VsLogBook& book, FileSystem& fs, const std::string& path);

// One CSV field of a name already in UTF-8: guarded and quoted as needed.
std::string CsvNameField(std::string_view utf8Name);

}  // namespace ledgerwise

#endif  // LEDGERWISE_UTF8_OUTPUTS_MATCH_CSV_H_
