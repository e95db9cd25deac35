// Helpers shared by the tests: Shift_JIS text, log files in.
#ifndef LEDGERWISE_TESTS_TEST_SUPPORT_H_
#define LEDGERWISE_TESTS_TEST_SUPPORT_H_

#include <initializer_list>
#include <string>
#include <string_view>

#include "log/records.h"

namespace ledgerwise {
namespace testing {

// The code page 932 bytes of a UTF-8 text, so that test texts can stand in
// UTF-8 as they read; throws on a character the code page lacks.
std::string Sjis(std::string_view utf8);

// UTF-8 lines → the Shift_JIS bytes of a log file, each line ending CR LF.
std::string LogText(std::initializer_list<std::string_view> lines);

// Feeds the bytes to the parser as the file `name` would be read.
void ParseText(VsLogBook& book, std::string_view name, std::string_view bytes);

}  // namespace testing
}  // namespace ledgerwise

#endif  // LEDGERWISE_TESTS_TEST_SUPPORT_H_
