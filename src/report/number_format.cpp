#include "report/number_format.h"

#include <algorithm>
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
  int shift = 53 - exponent;                   // magnitude = significand / 2^shift
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

char* WriteInt(char* out, int64_t value) {
  return std::to_chars(out, out + kMaxNumberText, value).ptr;
}

char* WritePadded(char* out, int64_t value, int width, char pad) {
  if (width == 2 && pad == '0' && value >= 0 && value < 100) {  // the times and dates
    out[0] = static_cast<char>('0' + value / 10);
    out[1] = static_cast<char>('0' + value % 10);
    return out + 2;
  }
  char digits[24];
  char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  int length = static_cast<int>(end - digits);
  int fill = width > length ? width - length : 0;
  const char* from = digits;
  if (pad == '0' && value < 0) {  // the sign goes before the zeros
    *out++ = '-';
    ++from;
  }
  std::memset(out, pad, fill);
  out += fill;
  std::memcpy(out, from, end - from);
  return out + (end - from);
}

char* WriteFixed(char* out, double value, int decimals) {
  uint64_t rounded;
  if (HalfwayMagnitude(value, decimals, &rounded)) {
    if (std::signbit(value)) *out++ = '-';
    uint64_t scale = kPowersOfTen[decimals];
    out = WriteInt(out, static_cast<int64_t>(rounded / scale));
    if (decimals > 0) {
      *out++ = '.';
      out = WritePadded(out, static_cast<int64_t>(rounded % scale), decimals, '0');
    }
    return out;
  }
  // Not a tie: the correctly rounded output is the same under any tie rule.
  return std::to_chars(out, out + kMaxNumberText, value, std::chars_format::fixed, decimals).ptr;
}

char* WriteClock(char* out, const SplitTime& time, std::string_view separator) {
  out = WritePadded(out, time.hours, 2, '0');
  out = std::copy(separator.begin(), separator.end(), out);
  out = WritePadded(out, time.minutes, 2, '0');
  out = std::copy(separator.begin(), separator.end(), out);
  return WritePadded(out, time.seconds, 2, '0');
}

char* WriteDate(char* out, int32_t dayNumber, char separator, int yearWidth) {
  int32_t year, month, day;
  DateFromDayNumber(dayNumber, year, month, day);
  out = WritePadded(out, year, yearWidth, '0');
  *out++ = separator;
  out = WritePadded(out, month, 2, '0');
  *out++ = separator;
  return WritePadded(out, day, 2, '0');
}

}  // namespace ledgerwise
