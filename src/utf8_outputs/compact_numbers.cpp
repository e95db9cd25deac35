#include "utf8_outputs/compact_numbers.h"

namespace ledgerwise {

namespace {

constexpr char kLetters[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVabcdefghijklmnopqrstuvwxyzWXYZ-_";

}  // namespace

void AppendCompact(std::string& out, int64_t value) {
  uint64_t z =
      value < 0 ? (~static_cast<uint64_t>(value) << 1) | 1 : static_cast<uint64_t>(value) << 1;
  while (z >= 32) {
    out += kLetters[32 + (z & 31)];
    z >>= 5;
  }
  out += kLetters[z];
}

}  // namespace ledgerwise
