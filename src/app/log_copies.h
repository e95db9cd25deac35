// Logs that are byte-for-byte copies of another (an Explorer copy,
// "20050504 - コピー.log", beside its original): each is read once, or its
// day's matches would count twice.
#ifndef LEDGERWISE_APP_LOG_COPIES_H_
#define LEDGERWISE_APP_LOG_COPIES_H_

#include <string>
#include <vector>

#include "app/env.h"

namespace ledgerwise {

// Logs with the same bytes: the one that is read, and the copies skipped.
struct CopyGroup {
  std::string kept;
  std::vector<std::string> copies;
};

// The groups of identical logs in `folder` whose names carry the same date
// (or none), in name order of their kept log. Only logs of equal size and
// date are read to tell; a log that cannot be read
// here is nobody's copy (reading it proper reports the failure). The kept
// one has the shortest name (the game's own YYYYMMDD.log), the first in name
// order on a tie; the copies are in name order.
std::vector<CopyGroup> FindCopies(Env& env, const std::string& folder,
                                  const std::vector<LogFileInfo>& logs);

}  // namespace ledgerwise

#endif  // LEDGERWISE_APP_LOG_COPIES_H_
