// The console texts of the program, each in the Shift_JIS bytes the game's
// console expects and in UTF-8 for a UTF-8 terminal.
#ifndef LEDGERWISE_APP_MESSAGES_H_
#define LEDGERWISE_APP_MESSAGES_H_

#include <string>

namespace ledgerwise {

struct Message {
  const char* sjis;
  const char* utf8;
};

namespace msg {
extern const Message kVersionQueryFailed;
extern const Message kInstallFolderUnknown;
extern const Message kInstallFolderMissing;   // %s: the folder
extern const Message kDataFolderMissing;      // %s: the folder
extern const Message kDataFolderArgumentHint;
extern const Message kNoLogFiles;
extern const Message kAnalyzing;
extern const Message kErrorLine;              // %s: ErrorText
extern const Message kWritingResults;
extern const Message kOutputFolderFailed;     // %s: the folder
extern const Message kDone;
extern const Message kPressAnyKey;
}  // namespace msg

// The message with its one "%s" (if any) replaced by `argument`, which is
// copied byte for byte whatever the encoding.
std::string Render(const Message& message, bool utf8, const std::string& argument = "");

// ErrorText as the console should show it: a message formatted from one of
// the book's error formats gets its words in UTF-8 when `utf8` is set; the
// path inside stays as it was.
std::string LocalizeErrorText(const std::string& errorText, bool utf8);

}  // namespace ledgerwise

#endif  // LEDGERWISE_APP_MESSAGES_H_
