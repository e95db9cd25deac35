// Finding the line phrases fast. Every phrase holds the character "た"
// (bytes 82 BD), so the parser looks for that pair and then tests, at fixed
// distances before it, the phrases that could hold it there.
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

// A phrase found in a line: its kind and where it starts and ends.
struct PhraseHit {
  unsigned bit;
  const char* begin;
  const char* end;
};

// Calls `onHit` for every phrase occurrence that lies wholly in [begin, end)
// and holds the anchor pair at `anchor` (anchor[0] is 0x82, anchor[1] 0xBD).
// Returns the number of hits.
template <typename OnHit>
int PhrasesAtAnchor(const char* begin, const char* end, const char* anchor, OnHit onHit);

// Position of the last `c` in [begin, end), or nullptr.
const char* FindLastByte(const char* begin, const char* end, char c);

}  // namespace ledgerwise

#include "log/phrase_match_inl.h"

#endif  // LEDGERWISE_LOG_PHRASE_MATCH_H_
