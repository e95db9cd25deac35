// Day numbers of the proleptic Gregorian calendar (1 January of year 1 is day
// 1, 0 means no date), the date in a log file's name, and the split of a
// number of seconds. Divisions truncate toward zero as in C.
#ifndef LEDGERWISE_LOG_CALENDAR_H_
#define LEDGERWISE_LOG_CALENDAR_H_

#include <cstdint>
#include <string_view>

namespace ledgerwise {

// The day number of a date; 0 when any part is 0. Nothing is range-checked:
// month 13 or day 40 carry into the following year or month.
int32_t DayNumberFromDate(int32_t year, int32_t month, int32_t day);

// Reads "%04d%02d%02d" with C scanf rules from the base name of `path` (after
// the last "/" or "\"). All three start at 0; the scan stops at the first
// field that converts nothing.
void DateFromFileName(std::string_view path, int32_t& year, int32_t& month, int32_t& day);

// The date of day n; all three 0 when n is below 1.
void DateFromDayNumber(int32_t n, int32_t& year, int32_t& month, int32_t& day);

// 0 = Sunday ... 6 = Saturday; a day number below 1 (no date) gives 0.
int32_t WeekdayOf(int32_t n);

// Days, hours, minutes and seconds of s; all 0 when s is 0 or negative.
struct SplitTime {
  int64_t days = 0;
  int32_t hours = 0;
  int32_t minutes = 0;
  int32_t seconds = 0;
};
SplitTime SplitSeconds(int64_t s);

// A wall-clock time as the system gives it: the menu page's time stamp.
struct LocalTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

}  // namespace ledgerwise

#endif  // LEDGERWISE_LOG_CALENDAR_H_
