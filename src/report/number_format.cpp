#include "report/number_format.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace ledgerwise {

namespace {

constexpr uint64_t kPowersOfTen[] = {1, 10, 100, 1000};

// When value * 10^decimals lies exactly halfway between two integers, the
// integer away from zero (as a magnitude); otherwise false. A tie needs a
// short binary fraction, so 64-bit arithmetic on the significand is exact
// for every value that can be one.
bool HalfwayMagnitude(double value, int decimals, uint64_t* rounded) {
  double magnitude = std::fabs(value);
  if (!(magnitude > 0) || std::isinf(magnitude)) return false;
  int exponent;
  double fraction = std::frexp(magnitude, &exponent);  // magnitude = fraction * 2^exponent
  uint64_t significand = static_cast<uint64_t>(std::ldexp(fraction, 53));
  int shift = 53 - exponent;  // magnitude = significand / 2^shift
  if (shift <= 0 || shift > 63) return false;  // an integer, or far below one half
  // significand < 2^53 and 10^3 < 2^10, so the product fits.
  uint64_t scaled = significand * kPowersOfTen[decimals];
  uint64_t half = uint64_t{1} << (shift - 1);
  uint64_t remainder = scaled & ((uint64_t{1} << shift) - 1);
  if (remainder != half) return false;
  *rounded = (scaled >> shift) + 1;
  return true;
}

}  // namespace

void AppendInt(std::string& out, int64_t value) {
  char buffer[24];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, result.ptr);
}

void AppendPadded(std::string& out, int64_t value, int width, char pad) {
  char buffer[24];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  int length = static_cast<int>(result.ptr - buffer);
  if (pad == '0' && value < 0) {  // the sign goes before the zeros
    out.push_back('-');
    out.append(width > length ? width - length : 0, '0');
    out.append(buffer + 1, result.ptr);
    return;
  }
  if (width > length) out.append(width - length, pad);
  out.append(buffer, result.ptr);
}

void AppendFixed(std::string& out, double value, int decimals) {
  uint64_t rounded;
  if (HalfwayMagnitude(value, decimals, &rounded)) {
    if (std::signbit(value)) out.push_back('-');
    uint64_t scale = kPowersOfTen[decimals];
    AppendInt(out, static_cast<int64_t>(rounded / scale));
    if (decimals > 0) {
      out.push_back('.');
      AppendPadded(out, static_cast<int64_t>(rounded % scale), decimals, '0');
    }
    return;
  }
  // Not a tie: the correctly rounded output is the same under any tie rule.
  char buffer[400];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                              std::chars_format::fixed, decimals);
  out.append(buffer, result.ptr);
}

}  // namespace ledgerwise
