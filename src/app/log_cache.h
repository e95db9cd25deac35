// Every log of the data folder read into a packed digest and kept, keyed by
// name, size and modification time, for a run that follows the game while
// it writes: a change in the listing re-reads only the logs that are new or
// changed, and the book is rebuilt from the digests in listing order, so a
// match left open at one log's end is still finished by the next.
#ifndef LEDGERWISE_APP_LOG_CACHE_H_
#define LEDGERWISE_APP_LOG_CACHE_H_

#include <cstddef>
#include <string>
#include <vector>

#include "app/env.h"
#include "log/records.h"
#include "util/status.h"

namespace ledgerwise {

class LogCache {
 public:
  // One log read by a refresh, in listing order.
  struct Read {
    std::string name;
    Status status;
    bool skipped = false;  // not a regular file any more: left out like one
  };

  struct Refreshed {
    std::vector<Read> reads;
    // What the logs say differs from before: a log came, went, or says
    // something else. A log touched but saying the same changes nothing.
    bool changed = false;
    // When the one change is lines added to the last log (the game
    // writing), where in its digest they begin; else npos.
    size_t appendedFrom = std::string::npos;
  };

  // Brings the cache in line with `logs`, reading each log that is new,
  // changed, failed last time, or no longer the last one while its last
  // line was held back. With `holdLastLine`, the last log's unended last
  // line (the game may be writing it) is left out until its end arrives.
  Refreshed Refresh(Env& env, const std::string& folder, const std::vector<LogFileInfo>& logs,
                    bool holdLastLine);

  // Takes every log's digest into `book`, which the caller made fresh.
  void Rebuild(VsLogBook& book);

  // Takes what was added to the last log, from `appendedFrom` on, into the
  // book the logs were taken into before: the same book a rebuild makes,
  // as the book only ever grows, for a fraction of the work.
  void TakeAppended(VsLogBook& book, size_t appendedFrom);

 private:
  struct Entry {
    LogFileInfo info;
    int32_t day = 0;
    std::string packed;
    bool heldBack = false;  // its unended last line is not in `packed`
    bool failed = false;    // open or read failed: tried again next time
    bool skipped = false;
  };
  static Entry ReadLog(Env& env, const std::string& path, const LogFileInfo& info, bool hold,
                       Read* read);

  std::vector<Entry> entries_;  // in listing order
  // The name of the last log's last started match, which a start line
  // without a name takes: where the last log's digest left off.
  std::string lastName_;
};

}  // namespace ledgerwise

#endif  // LEDGERWISE_APP_LOG_CACHE_H_
