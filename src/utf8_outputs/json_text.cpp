#include "utf8_outputs/json_text.h"

#include <cstdint>

namespace ledgerwise {

namespace {

void AppendUnit(std::string& out, uint32_t unit) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += "\\u";
  for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(unit >> shift) & 15];
}

// Code points above U+FFFF as their UTF-16 pair, as JSON writes them.
void AppendEscape(std::string& out, uint32_t code) {
  if (code < 0x10000) {
    AppendUnit(out, code);
    return;
  }
  code -= 0x10000;
  AppendUnit(out, 0xD800 + (code >> 10));
  AppendUnit(out, 0xDC00 + (code & 0x3FF));
}

// The length of the sequence a lead byte opens.
size_t SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xF0) return 4;
  return lead >= 0xE0 ? 3 : 2;
}

uint32_t Decode(std::string_view sequence) {
  static constexpr unsigned char kLeadBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
  uint32_t code = static_cast<unsigned char>(sequence[0]) & kLeadBits[sequence.size()];
  for (size_t k = 1; k < sequence.size(); ++k) {
    code = (code << 6) | (static_cast<unsigned char>(sequence[k]) & 0x3F);
  }
  return code;
}

bool Escaped(uint32_t code) {
  if (code < 0x20 || code == '"' || code == '\\' || code == '<' || code == '>' || code == '&') {
    return true;
  }
  if (code >= 0x7F && code <= 0x9F) return true;      // controls
  if (code == 0x2028 || code == 0x2029) return true;  // script line ends
  if (code >= 0xFDD0 && code <= 0xFDEF) return true;  // noncharacters
  if ((code & 0xFFFE) == 0xFFFE) return true;         // U+FFFE, U+FFFF of every plane
  // Kept out of the document's text, though allowed: private use (the
  // Shift_JIS user-defined area), and the compatibility forms that Unicode
  // normalization (NFC) would replace, so that no tool that normalizes text
  // can change a name.
  if (code >= 0xE000 && code <= 0xF8FF) return true;
  if (code >= 0xF900 && code <= 0xFAFF) return true;
  return code == 0x2126 || code == 0x212A || code == 0x212B;  // Ω K Å as signs
}

}  // namespace

void AppendJsonString(std::string& out, std::string_view utf8) {
  out += '"';
  for (size_t i = 0; i < utf8.size();) {
    std::string_view sequence = utf8.substr(i, SequenceLength(static_cast<unsigned char>(utf8[i])));
    uint32_t code = Decode(sequence);
    if (Escaped(code)) {
      AppendEscape(out, code);
    } else {
      out += sequence;
    }
    i += sequence.size();
  }
  out += '"';
}

}  // namespace ledgerwise
