// The files a run writes into the output folder, and their writing: the
// largest, vslog.html, on a thread of its own beside the others, each
// failure kept as a value and handed back in the table's order, so the
// caller reports them exactly as a run on one thread would.
#ifndef LEDGERWISE_APP_OUTPUTS_H_
#define LEDGERWISE_APP_OUTPUTS_H_

#include <string>
#include <string_view>
#include <vector>

#include "log/calendar.h"
#include "log/records.h"
#include "util/file_system.h"
#include "util/status.h"

namespace ledgerwise {

struct OutputRequest {
  std::string folder;
  char separator = '/';
  LocalTime now;           // the menu's time stamp
  bool pagesOnly = false;  // the six pages without the dashboard and the CSV
  bool sideBySide = true;  // false: one file after the other on the caller's thread
  // Set while a run follows the game: live.js names it, and the dashboard
  // checks live.js for a newer one.
  std::string liveGeneration;
};

// True when `name` is one of the files a run may write.
bool IsOutputName(std::string_view name);

// Writes every requested output; one result a file written, in writing
// order. A failed file does not stop the others. What a writer throws (out
// of memory) is thrown here, after every writer has stopped.
std::vector<Status> WriteOutputs(const VsLogBook& book, FileSystem& fs,
                                 const OutputRequest& request);

}  // namespace ledgerwise

#endif  // LEDGERWISE_APP_OUTPUTS_H_
