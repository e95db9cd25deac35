// The template part of phrase_match.h.
#ifndef LEDGERWISE_LOG_PHRASE_MATCH_INL_H_
#define LEDGERWISE_LOG_PHRASE_MATCH_INL_H_

#include <cstring>
#include <string_view>

#include "log/log_phrases.h"

namespace ledgerwise {

namespace phrase_match_internal {

struct Candidate {
  unsigned bit;
  std::string_view text;
  size_t anchorOffset;  // where "た" stands in the text
};

// Every (phrase, position of "た") pair; the save-failed phrase has two.
constexpr Candidate kCandidates[] = {
    {kMatchStartBit, phrase::kMatchStart, 16}, {kWinBit, phrase::kWin, 8},
    {kLossBit, phrase::kLoss, 8},              {kSaveBit, phrase::kReplaySaved, 28},
    {kSaveBit, phrase::kSaveFailed, 20},       {kSaveBit, phrase::kSaveFailed, 46},
    {kErrorBit, phrase::kError, 18},           {kLogoutBit, phrase::kLogout, 16},
};

}  // namespace phrase_match_internal

template <typename OnHit>
int PhrasesAtAnchor(const char* begin, const char* end, const char* anchor, OnHit onHit) {
  int hits = 0;
  for (const auto& c : phrase_match_internal::kCandidates) {
    if (static_cast<size_t>(anchor - begin) < c.anchorOffset) continue;
    const char* start = anchor - c.anchorOffset;
    if (static_cast<size_t>(end - start) < c.text.size()) continue;
    // The first four bytes tell most candidates apart before the full compare.
    if (std::memcmp(start, c.text.data(), 4) != 0 ||
        std::memcmp(start + 4, c.text.data() + 4, c.text.size() - 4) != 0) {
      continue;
    }
    onHit(PhraseHit{c.bit, start, start + c.text.size()});
    ++hits;
  }
  return hits;
}

}  // namespace ledgerwise

#endif  // LEDGERWISE_LOG_PHRASE_MATCH_INL_H_
