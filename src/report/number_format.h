// Number formatting for the pages. Fixed-point output rounds a value that
// lies exactly halfway away from zero (1/16 with three decimals is 0.063,
// 2.5 with none is 3), whatever the platform's printf would do, and keeps the
// sign of a negative value that rounds to zero, as printf does ("-0.000").
#ifndef LEDGERWISE_REPORT_NUMBER_FORMAT_H_
#define LEDGERWISE_REPORT_NUMBER_FORMAT_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "log/calendar.h"

namespace ledgerwise {

// The longest text any of the functions below writes.
constexpr size_t kMaxNumberText = 400;

// Each writes at `out`, which has room for kMaxNumberText bytes, and returns
// the end of what it wrote.
// "%d".
char* WriteInt(char* out, int64_t value);
// "%0<width>d" with pad '0' ("%02d"), or "%<width>d" with pad ' ' ("%4d").
char* WritePadded(char* out, int64_t value, int width, char pad);
// "%.<decimals>f", decimals from 0 to 3, from the exact binary value.
char* WriteFixed(char* out, double value, int decimals);

// "HH:MM:SS" of a split time, its days dropped, with `separator` between
// the fields (":", or the full-width "：" of the match log's durations).
char* WriteClock(char* out, const SplitTime& time, std::string_view separator);

// The date of a day number: the year at least `yearWidth` digits wide, then
// month and day of two, with `separator` between ("%d/%02d/%02d" is width
// 1 and '/'). Day 0, no date, is 0/00/00.
char* WriteDate(char* out, int32_t dayNumber, char separator, int yearWidth);

}  // namespace ledgerwise

#endif  // LEDGERWISE_REPORT_NUMBER_FORMAT_H_
