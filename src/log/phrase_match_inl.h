// The inline part of phrase_match.h.
#ifndef LEDGERWISE_LOG_PHRASE_MATCH_INL_H_
#define LEDGERWISE_LOG_PHRASE_MATCH_INL_H_

#include <cstdint>
#include <cstring>
#include <string_view>

#include "log/log_phrases.h"

namespace ledgerwise {

namespace phrase_match_internal {

struct Candidate {
  unsigned bit;
  std::string_view text;
  size_t anchorOffset;  // where "た" stands in the text; always 8 or more
};

// Every (phrase, position of "た") pair; the save-failed phrase has two.
constexpr Candidate kCandidates[] = {
    {kMatchStartBit, phrase::kMatchStart, 16}, {kWinBit, phrase::kWin, 8},
    {kLossBit, phrase::kLoss, 8},              {kSaveBit, phrase::kReplaySaved, 28},
    {kSaveBit, phrase::kSaveFailed, 20},       {kSaveBit, phrase::kSaveFailed, 46},
    {kErrorBit, phrase::kError, 18},           {kLogoutBit, phrase::kLogout, 16},
};
constexpr size_t kCandidateCount = sizeof kCandidates / sizeof kCandidates[0];

// The eight bytes before `at` as one word, the first byte lowest (compilers
// make this one load).
constexpr uint64_t KeyBefore(const char* at) {
  uint64_t key = 0;
  for (int i = 1; i <= 8; ++i) key = key << 8 | static_cast<unsigned char>(at[-i]);
  return key;
}

struct Keys {
  uint64_t key[kCandidateCount];
};

constexpr Keys MakeKeys() {
  Keys k{};
  for (size_t i = 0; i < kCandidateCount; ++i) {
    k.key[i] = KeyBefore(kCandidates[i].text.data() + kCandidates[i].anchorOffset);
  }
  return k;
}

constexpr Keys kKeys = MakeKeys();

// memcmp, eight bytes at a time: some C runtimes compare byte by byte, and
// this runs for every phrase line.
inline bool SameBytes(const char* a, const char* b, size_t n) {
  for (; n >= 8; a += 8, b += 8, n -= 8) {
    uint64_t x, y;
    std::memcpy(&x, a, 8);
    std::memcpy(&y, b, 8);
    if (x != y) return false;
  }
  for (; n > 0; --n) {
    if (*a++ != *b++) return false;
  }
  return true;
}

}  // namespace phrase_match_internal

inline unsigned PhraseAtAnchor(const char* floor, const char* end, const char* anchor) {
  namespace in = phrase_match_internal;
  if (anchor - floor < 8) return 0;
  const uint64_t key = in::KeyBefore(anchor);
  for (size_t i = 0; i < in::kCandidateCount; ++i) {
    if (in::kKeys.key[i] != key) continue;
    const in::Candidate& c = in::kCandidates[i];
    const char* start = anchor - c.anchorOffset;
    if (start < floor || static_cast<size_t>(end - start) < c.text.size()) return 0;
    return in::SameBytes(start, c.text.data(), c.text.size()) ? c.bit : 0;
  }
  return 0;
}

}  // namespace ledgerwise

#endif  // LEDGERWISE_LOG_PHRASE_MATCH_INL_H_
