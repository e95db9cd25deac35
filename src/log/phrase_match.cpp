#include "log/phrase_match.h"

#include <cstdint>
#include <cstring>

namespace ledgerwise {

const char* FindLastByte(const char* begin, const char* end, char c) {
  // Eight bytes at a time: a word holds `c` when some byte of word ^ pattern
  // is zero.
  constexpr uint64_t kOnes = 0x0101010101010101ULL;
  constexpr uint64_t kHighs = 0x8080808080808080ULL;
  const uint64_t pattern = kOnes * static_cast<unsigned char>(c);
  while (end - begin >= 8) {
    uint64_t word;
    std::memcpy(&word, end - 8, 8);
    uint64_t x = word ^ pattern;
    if (((x - kOnes) & ~x & kHighs) != 0) break;  // `c` is among these eight
    end -= 8;
  }
  while (end > begin) {
    if (*--end == c) return end;
  }
  return nullptr;
}

}  // namespace ledgerwise
