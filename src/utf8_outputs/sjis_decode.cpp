#include "utf8_outputs/sjis_decode.h"

#include <cstdint>

namespace ledgerwise {

namespace {

// Code points by pointer: 60 lead bytes (81-9F, E0-FC) of 188 trail bytes
// (40-7E, 80-FC); 0 where the pair decodes to no character.
constexpr uint16_t kDoubleByte[60 * 188] = {
#include "utf8_outputs/sjis_table.inc"
};

constexpr uint32_t kReplacement = 0xFFFD;

void AppendUtf8(uint32_t c, std::string& out) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

bool IsLead(uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

bool IsTrail(uint8_t b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }

uint32_t DoubleByte(uint8_t lead, uint8_t trail) {
  int pointer = (lead - (lead < 0xA0 ? 0x81 : 0xC1)) * 188 + trail - (trail < 0x7F ? 0x40 : 0x41);
  return kDoubleByte[pointer];
}

}  // namespace

void AppendShiftJisAsUtf8(std::string_view bytes, std::string& out) {
  out.reserve(out.size() + bytes.size() * 3 / 2);
  size_t i = 0;
  while (i < bytes.size()) {
    uint8_t b = static_cast<uint8_t>(bytes[i++]);
    if (b <= 0x80) {
      AppendUtf8(b, out);
    } else if (b >= 0xA1 && b <= 0xDF) {
      AppendUtf8(0xFF61 - 0xA1 + b, out);  // half-width katakana
    } else if (!IsLead(b) || i == bytes.size()) {
      AppendUtf8(kReplacement, out);
    } else {
      uint8_t trail = static_cast<uint8_t>(bytes[i]);
      uint32_t c = IsTrail(trail) ? DoubleByte(b, trail) : 0;
      // A failed pair spends its trail byte unless that byte is ASCII, which
      // then stands for itself.
      if (c != 0 || trail >= 0x80) ++i;
      AppendUtf8(c != 0 ? c : kReplacement, out);
    }
  }
}

}  // namespace ledgerwise
