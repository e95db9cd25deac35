// The console texts of the program, each in the Shift_JIS bytes the game's
// console expects and in UTF-8 for a UTF-8 terminal.
#ifndef LEDGERWISE_APP_MESSAGES_H_
#define LEDGERWISE_APP_MESSAGES_H_

#include <initializer_list>
#include <string>
#include <string_view>

#include "util/status.h"

namespace ledgerwise {

struct Message {
  const char* sjis;
  const char* utf8;
};

namespace msg {
extern const Message kVersionQueryFailed;
extern const Message kInstallFolderUnknown;
extern const Message kInstallFolderMissing;  // %s: the folder
extern const Message kDataFolderMissing;     // %s: the folder
extern const Message kDataFolderArgumentHint;
extern const Message kNoLogFiles;
extern const Message kAnalyzing;
extern const Message kErrorLine;  // %s: a failure's message
extern const Message kWritingResults;
extern const Message kOutputFolderFailed;  // %s: the folder
extern const Message kDone;
extern const Message kPressAnyKey;
extern const Message kNotAFolder;     // %s: the path
extern const Message kListingFailed;  // %s: the folder
extern const Message kSameDate;       // %s: the file names
extern const Message kSkippedCopies;  // %s: the copies, %s: the log read
extern const Message kWaitingForOtherRun;
extern const Message kOpenReport;     // %s: index.html's path
extern const Message kOpenDashboard;  // %s: dashboard.html's path
extern const Message kOutOfMemory;
// The failures of Status, each with its path.
extern const Message kInputOpenFailed;
extern const Message kInputReadFailed;
extern const Message kOutputOpenFailed;
extern const Message kOutputWriteFailed;
extern const Message kFolderSearched;   // %s: the folder
extern const Message kLockUnavailable;  // %s: the lock file
extern const Message kLockWaitInterrupted;
// A watching run's lines.
extern const Message kLiveStart;  // time, name, grade, rating, the record so far
extern const Message kLiveEnd;    // time, name, result, score, record, today's, the session's
extern const Message kLiveFirstMeeting;
extern const Message kLiveRecord;   // wins, losses, disconnects
extern const Message kLiveLastMet;  // the date
extern const Message kLiveWon;
extern const Message kLiveLost;
extern const Message kLiveDisconnected;
extern const Message kWatching;
extern const Message kFolderGone;  // %s: the folder
extern const Message kFolderBack;  // %s: the folder
extern const Message kWatchEnded;
}  // namespace msg

// The message of a failure, with a "%s" for its path.
const Message& FailureMessage(Status::Code code);

// The message with its one "%s" (if any) replaced by `argument`, which is
// copied byte for byte whatever the encoding.
std::string Render(const Message& message, bool utf8, const std::string& argument = "");
// The same for a message with several: each "%s" in turn.
std::string RenderAll(const Message& message, bool utf8,
                      std::initializer_list<std::string_view> arguments);

// `text` as the console may show it: a control byte (below 0x20, or 0x7F)
// becomes "?", so a file name cannot steer the terminal; every other byte,
// those of Shift_JIS and UTF-8 names included, is kept.
std::string Printable(const std::string& text);

// Whether a POSIX console takes UTF-8, from the locale variables as C reads
// them: the first of LC_ALL, LC_CTYPE and LANG that is set names the locale.
// Only a locale that names a Shift_JIS code set gets Shift_JIS; none at all,
// or C/POSIX (cron, containers, env -i), means UTF-8, today's terminals' own.
bool LocaleWantsUtf8(const std::string& lcAll, const std::string& lcCtype, const std::string& lang);

}  // namespace ledgerwise

#endif  // LEDGERWISE_APP_MESSAGES_H_
