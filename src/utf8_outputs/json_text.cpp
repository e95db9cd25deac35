#include "utf8_outputs/json_text.h"

namespace ledgerwise {

namespace {

void AppendEscape(std::string& out, unsigned code) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += "\\u";
  for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(code >> shift) & 15];
}

}  // namespace

void AppendJsonString(std::string& out, std::string_view utf8) {
  out += '"';
  for (size_t i = 0; i < utf8.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    if (c == '"' || c == '\\' || c < 0x20 || c == '<' || c == '>' || c == '&') {
      AppendEscape(out, c);
    } else if (c == 0xE2 && utf8.substr(i + 1, 1) == "\x80" && i + 2 < utf8.size() &&
               (utf8[i + 2] == '\xA8' || utf8[i + 2] == '\xA9')) {
      AppendEscape(out, utf8[i + 2] == '\xA8' ? 0x2028 : 0x2029);
      i += 2;
    } else {
      out += static_cast<char>(c);
    }
  }
  out += '"';
}

}  // namespace ledgerwise
