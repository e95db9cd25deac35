// Finding the line phrases fast. Every phrase holds the character "た"
// (bytes 82 BD), so the parser looks for that pair and then tells, from the
// eight bytes before it, the one phrase that could hold it there.
#ifndef LEDGERWISE_LOG_PHRASE_MATCH_H_
#define LEDGERWISE_LOG_PHRASE_MATCH_H_

#include <cstddef>

namespace ledgerwise {

// One bit a line phrase.
enum PhraseBit : unsigned {
  kMatchStartBit = 1u << 0,
  kWinBit = 1u << 1,
  kLossBit = 1u << 2,
  kSaveBit = 1u << 3,  // replay saved or save failed: one game either way
  kErrorBit = 1u << 4,
  kLogoutBit = 1u << 5,
};

// The bit of the phrase that lies wholly in [floor, end) and holds the
// anchor pair at `anchor` (anchor[0] is 0x82, anchor[1] 0xBD), or 0. No two
// phrases can hold the same pair: they differ in the eight bytes before it.
inline unsigned PhraseAtAnchor(const char* floor, const char* end, const char* anchor);

// Position of the last `c` in [begin, end), or nullptr.
const char* FindLastByte(const char* begin, const char* end, char c);

}  // namespace ledgerwise

#include "log/phrase_match_inl.h"

#endif  // LEDGERWISE_LOG_PHRASE_MATCH_H_
