// Shift_JIS text from the logs as UTF-8, decoded the way a browser decodes
// the pages (the WHATWG Shift_JIS decoder): the same result on every platform
// and build, whatever the C library's own conversions would give. Invalid
// bytes become U+FFFD; an ASCII byte after a lead byte that does not pair with
// it is kept as itself.
#ifndef LEDGERWISE_UTF8_OUTPUTS_SJIS_DECODE_H_
#define LEDGERWISE_UTF8_OUTPUTS_SJIS_DECODE_H_

#include <string>
#include <string_view>

namespace ledgerwise {

// Appends the UTF-8 form of `bytes` to `out`.
void AppendShiftJisAsUtf8(std::string_view bytes, std::string& out);

inline std::string ShiftJisToUtf8(std::string_view bytes) {
  std::string out;
  AppendShiftJisAsUtf8(bytes, out);
  return out;
}

}  // namespace ledgerwise

#endif  // LEDGERWISE_UTF8_OUTPUTS_SJIS_DECODE_H_
