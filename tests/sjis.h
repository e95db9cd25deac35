// Test texts are written in UTF-8 as they read and turned into the code page
// 932 bytes the program reads and writes.
#ifndef LEDGERWISE_TESTS_SJIS_H_
#define LEDGERWISE_TESTS_SJIS_H_

#include <string>
#include <string_view>

namespace ledgerwise {
namespace testing {

// The Shift_JIS bytes of a UTF-8 text; throws on a character the table lacks.
std::string Sjis(std::string_view utf8);

}  // namespace testing
}  // namespace ledgerwise

#endif  // LEDGERWISE_TESTS_SJIS_H_
