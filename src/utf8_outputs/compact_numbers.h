// The dashboard's number stream: each integer as a few characters of a
// 64-letter alphabet that needs no escaping in JSON or HTML. A value is
// zigzagged (0, -1, 1, -2 ... become 0, 1, 2, 3 ...) and written five bits at
// a time, lowest first; the first 32 letters end a number, the last 32 say
// that more follow. The page's script reads it back (web/data.js).
#ifndef LEDGERWISE_UTF8_OUTPUTS_COMPACT_NUMBERS_H_
#define LEDGERWISE_UTF8_OUTPUTS_COMPACT_NUMBERS_H_

#include <cstdint>
#include <string>

namespace ledgerwise {

void AppendCompact(std::string& out, int64_t value);

}  // namespace ledgerwise

#endif  // LEDGERWISE_UTF8_OUTPUTS_COMPACT_NUMBERS_H_
