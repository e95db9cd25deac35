#include "log/calendar.h"

#include <gtest/gtest.h>

#include <array>
#include <utility>

namespace ledgerwise {
namespace {

using Date = std::array<int32_t, 3>;

Date FromDayNumber(int32_t n) {
  Date d;
  DateFromDayNumber(n, d[0], d[1], d[2]);
  return d;
}

int DaysIn(int y, int m) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return m == 2 && leap ? 29 : kDays[m - 1];
}

// Every day from 1 January of year 1 (a Monday) to 31 December 9999, date by
// date: the day numbers run on by one and map back to their date, and the
// weekdays run on by one.
TEST(CalendarTest, EveryDayRoundTrips) {
  int32_t expected = 1;
  for (int y = 1; y <= 9999; ++y) {
    for (int m = 1; m <= 12; ++m) {
      for (int d = 1; d <= DaysIn(y, m); ++d, ++expected) {
        int32_t n = DayNumberFromDate(y, m, d);
        ASSERT_EQ(n, expected) << y << "-" << m << "-" << d;
        ASSERT_EQ(FromDayNumber(n), (Date{y, m, d})) << n;
        ASSERT_EQ(WeekdayOf(n), n == 1 ? 1 : (WeekdayOf(n - 1) + 1) % 7) << n;
      }
    }
  }
}

// Outside the walk (file names give any of these; the plain model holds the
// day numbers of zero parts and of parts that carry).
TEST(CalendarTest, OutsideTheWalk) {
  EXPECT_EQ(FromDayNumber(0), (Date{0, 0, 0}));
  EXPECT_EQ(FromDayNumber(-700000), (Date{0, 0, 0}));
  EXPECT_EQ(WeekdayOf(-3), 0);  // never a negative index into the names
  Date far = FromDayNumber(2147483647);
  EXPECT_TRUE(far[0] > 5000000 && far[1] >= 1 && far[1] <= 12);
}

// "%04d%02d%02d" with scanf rules on the name after the last "/" or "\".
TEST(CalendarTest, DateFromFileName) {
  const std::pair<const char*, Date> cases[] = {
      {"C:\\logs\\20050504.log", {2005, 5, 4}},
      {"/data/20050504.log", {2005, 5, 4}},
      {"a\\b/20050504-2.log", {2005, 5, 4}},
      {"/20050504\\abc.log", {0, 0, 0}},
      {"200505x4.log", {2005, 5, 0}},
      {"2005050x.log", {2005, 5, 0}},
      {"", {0, 0, 0}},
      {" 2022045.LOG", {2022, 4, 5}},
      {"-0050504.log", {-5, 5, 4}},
      {"+12345678.log", {123, 45, 67}},
      {"20051339.log", {2005, 13, 39}},
  };
  for (const auto& [path, expected] : cases) {
    Date d = {-1, -1, -1};
    DateFromFileName(path, d[0], d[1], d[2]);
    EXPECT_EQ(d, expected) << path;
  }
}

}  // namespace
}  // namespace ledgerwise
