// Finding the line phrases fast. Every phrase holds the character "た"
// (bytes 82 BD), so the parser looks for that pair and then tells, from the
// eight bytes before it, the one phrase that could hold it there.
#ifndef LEDGERWISE_LOG_PHRASE_MATCH_H_
#define LEDGERWISE_LOG_PHRASE_MATCH_H_

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "log/log_phrases.h"

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

namespace phrase_match_internal {

struct Candidate {
  unsigned bit;
  std::string_view text;
  size_t anchorOffset;  // where "た" stands in the text; always 8 or more
};

// Every (phrase, position of "た") pair; the save-failed phrase has two.
// The commonest first: a match has a replay saved for each game.
constexpr Candidate kCandidates[] = {
    {kSaveBit, phrase::kReplaySaved, 28}, {kMatchStartBit, phrase::kMatchStart, 16},
    {kWinBit, phrase::kWin, 8},           {kLossBit, phrase::kLoss, 8},
    {kSaveBit, phrase::kSaveFailed, 20},  {kSaveBit, phrase::kSaveFailed, 46},
    {kErrorBit, phrase::kError, 18},      {kLogoutBit, phrase::kLogout, 16},
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

// KeyBefore at run time: one load where the byte order lets the word be
// taken as it lies, as the loop above is not always made one.
inline uint64_t LoadKeyBefore(const char* at) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  uint64_t key;
  std::memcpy(&key, at - 8, 8);
  return key;
#else
  return KeyBefore(at);
#endif
}

inline bool SameWord(const char* a, const char* b) {
  uint64_t x, y;
  std::memcpy(&x, a, 8);
  std::memcpy(&y, b, 8);
  return x == y;
}

// memcmp of n >= 8 bytes, eight at a time, the last word overlapping the one
// before it: some C runtimes compare byte by byte, and this runs for every
// phrase line.
inline bool SameBytes(const char* a, const char* b, size_t n) {
  for (size_t i = 0; i + 8 < n; i += 8) {
    if (!SameWord(a + i, b + i)) return false;
  }
  return SameWord(a + n - 8, b + n - 8);
}

}  // namespace phrase_match_internal

// The bit of the phrase that lies wholly in [floor, end) and holds the
// anchor pair at `anchor` (anchor[0] is 0x82, anchor[1] 0xBD), or 0. No two
// phrases can hold the same pair: they differ in the eight bytes before it.
inline unsigned PhraseAtAnchor(const char* floor, const char* end, const char* anchor) {
  namespace in = phrase_match_internal;
  if (anchor - floor < 8) return 0;
  const uint64_t key = in::LoadKeyBefore(anchor);
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

#endif  // LEDGERWISE_LOG_PHRASE_MATCH_H_
