#include "log/calendar.h"

namespace ledgerwise {

namespace {

bool IsScanSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// One "%Nd" conversion: white space skipped (not counted), then at most
// `width` characters of an optional sign and digits. False when no digit.
bool ScanField(std::string_view text, size_t& pos, int width, int32_t& out) {
  while (pos < text.size() && IsScanSpace(text[pos])) ++pos;
  size_t i = pos;
  size_t end = pos + width < text.size() ? pos + width : text.size();
  bool negative = false;
  if (i < end && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  int32_t value = 0;
  size_t digits = i;
  for (; i < end && text[i] >= '0' && text[i] <= '9'; ++i) value = value * 10 + (text[i] - '0');
  if (i == digits) return false;
  out = negative ? -value : value;
  pos = i;
  return true;
}

// March-based day count of the start of a year: 365y + y/4 - y/100 + y/400.
int64_t YearDays(int64_t y) { return 365 * y + y / 4 - y / 100 + y / 400; }

}  // namespace

int32_t DayNumberFromDate(int32_t year, int32_t month, int32_t day) {
  if (year == 0 || month == 0 || day == 0) return 0;
  int64_t y = year, m = month;
  if (m < 3) {
    y -= 1;
    m += 12;
  }
  return static_cast<int32_t>(YearDays(y) + (m + 1) * 306 / 10 + day - 428);
}

void DateFromFileName(std::string_view path, int32_t& year, int32_t& month, int32_t& day) {
  year = month = day = 0;
  size_t slash = path.find_last_of("/\\");
  std::string_view base = slash == std::string_view::npos ? path : path.substr(slash + 1);
  size_t pos = 0;
  if (!ScanField(base, pos, 4, year)) return;
  if (!ScanField(base, pos, 2, month)) return;
  ScanField(base, pos, 2, day);
}

void DateFromDayNumber(int32_t n, int32_t& year, int32_t& month, int32_t& day) {
  year = month = day = 0;
  if (n < 1) return;
  int64_t t = int64_t{n} + 305;  // days from 1 March of year 0
  int64_t q400 = t / 146097, r = t % 146097;
  int64_t q100 = r / 36524, r100 = r % 36524;
  int64_t q4 = r100 / 1461, r4 = r100 % 1461;
  int64_t q1 = r4 / 365;
  int64_t y = 400 * q400 + 100 * q100 + 4 * q4 + q1;
  int64_t dayOfYear = t - YearDays(y);
  if (dayOfYear == -1) {  // the last day of a leap cycle counted into the next year
    y -= 1;
    dayOfYear = 365;
  }
  int64_t m = 3;
  while (m < 14 && dayOfYear >= (m + 2) * 306 / 10 - 122) ++m;
  int64_t d = dayOfYear - (m + 1) * 306 / 10 + 123;
  if (m > 12) {
    y += 1;
    m -= 12;
  }
  year = static_cast<int32_t>(y);
  month = static_cast<int32_t>(m);
  day = static_cast<int32_t>(d);
}

int32_t WeekdayOf(int32_t n) { return n < 1 ? 0 : n % 7; }

SplitTime SplitSeconds(int64_t s) {
  SplitTime t;
  if (s <= 0) return t;
  t.days = s / 86400;
  int64_t rest = s % 86400;
  t.hours = static_cast<int32_t>(rest / 3600);
  t.minutes = static_cast<int32_t>(rest % 3600 / 60);
  t.seconds = static_cast<int32_t>(rest % 60);
  return t;
}

}  // namespace ledgerwise
