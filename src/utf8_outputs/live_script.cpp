#include "utf8_outputs/live_script.h"

#include "report/output_file.h"

namespace ledgerwise {

Status WriteLiveScript(FileSystem& fs, const std::string& path, const std::string& generation,
                       const LocalTime& updated) {
  OutputFile w(fs, path);
  if (Status opened = w.Open(); !opened.ok()) return opened;
  w.Format("ledgerwiseLive({\"generation\":\"%s\",\"updated\":\"%4d-%02d-%02d %02d:%02d:%02d\"});",
           {generation, updated.year, updated.month, updated.day, updated.hour, updated.minute,
            updated.second});
  return w.Finish();
}

}  // namespace ledgerwise
