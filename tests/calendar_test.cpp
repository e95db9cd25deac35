#include "log/calendar.h"

#include <gtest/gtest.h>

#include "log/labels.h"
#include "tests/sjis.h"

namespace ledgerwise {
namespace {

using testing::Sjis;

struct Date {
  int32_t year, month, day;
  bool operator==(const Date& o) const { return year == o.year && month == o.month && day == o.day; }
};

Date FromDayNumber(int32_t n) {
  Date d;
  DateFromDayNumber(n, d.year, d.month, d.day);
  return d;
}

Date FromFileName(std::string_view path) {
  Date d{-1, -1, -1};
  DateFromFileName(path, d.year, d.month, d.day);
  return d;
}

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysIn(int y, int m) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

// Sakamoto's closed form, independent of the day count.
int ClosedFormWeekday(int y, int m, int d) {
  static const int kOffsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  if (m < 3) y -= 1;
  return (y + y / 4 - y / 100 + y / 400 + kOffsets[m - 1] + d) % 7;
}

TEST(CalendarTest, KnownDayNumbers) {
  EXPECT_EQ(DayNumberFromDate(1, 1, 1), 1);
  EXPECT_EQ(DayNumberFromDate(2005, 5, 4), 732070);
  EXPECT_EQ(DayNumberFromDate(2005, 3, 1) - DayNumberFromDate(2005, 2, 28), 1);
  EXPECT_EQ(DayNumberFromDate(2004, 3, 1) - DayNumberFromDate(2004, 2, 28), 2);
  EXPECT_EQ(DayNumberFromDate(2000, 3, 1) - DayNumberFromDate(2000, 2, 28), 2);
  EXPECT_EQ(DayNumberFromDate(1900, 3, 1) - DayNumberFromDate(1900, 2, 28), 1);
  EXPECT_EQ(DayNumberFromDate(0, 5, 4), 0);
  EXPECT_EQ(DayNumberFromDate(2005, 0, 4), 0);
  EXPECT_EQ(DayNumberFromDate(2005, 5, 0), 0);
}

TEST(CalendarTest, OutOfRangeMonthsAndDaysCarryForward) {
  EXPECT_EQ(DayNumberFromDate(2005, 13, 39), DayNumberFromDate(2006, 2, 8));
  EXPECT_EQ(DayNumberFromDate(2005, 4, 31), DayNumberFromDate(2005, 5, 1));
}

// Every day from 1 January of year 1 to 31 December 9999, walked date by
// date: the day numbers run on by one, map back to their date, and the
// weekday agrees with a closed-form formula.
TEST(CalendarTest, EveryDayRoundTrips) {
  int32_t expected = 1;
  for (int y = 1; y <= 9999; ++y) {
    for (int m = 1; m <= 12; ++m) {
      for (int d = 1; d <= DaysIn(y, m); ++d, ++expected) {
        int32_t n = DayNumberFromDate(y, m, d);
        ASSERT_EQ(n, expected) << y << "-" << m << "-" << d;
        ASSERT_TRUE((FromDayNumber(n) == Date{y, m, d})) << n;
        ASSERT_EQ(WeekdayOf(n), ClosedFormWeekday(y, m, d)) << n;
      }
    }
  }
  EXPECT_EQ(expected - 1, 3652059);
}

TEST(CalendarTest, NoDateBelowDayOne) {
  EXPECT_TRUE((FromDayNumber(0) == Date{0, 0, 0}));
  EXPECT_TRUE((FromDayNumber(-700000) == Date{0, 0, 0}));
  EXPECT_EQ(WeekdayOf(0), 0);
  EXPECT_EQ(WeekdayOf(-3), 0);  // never a negative index into the names
  EXPECT_EQ(WeekdayOf(732070), 3);
  EXPECT_EQ(WeekdayName(WeekdayOf(732070)), Sjis("水"));
  EXPECT_EQ(WeekdayOf(1), 1);
}

TEST(CalendarTest, LargeDayNumbersDoNotOverflow) {
  Date d = FromDayNumber(2147483647);
  EXPECT_GT(d.year, 5000000);
  EXPECT_GE(d.month, 1);
  EXPECT_LE(d.month, 12);
}

TEST(FileNameDateTest, ScansLeadingDigitsOfTheBaseName) {
  EXPECT_TRUE((FromFileName("C:\\Brumbel\\20050504.log") == Date{2005, 5, 4}));
  EXPECT_TRUE((FromFileName("/data/20050504.log") == Date{2005, 5, 4}));
  EXPECT_TRUE((FromFileName("20050504-2.log") == Date{2005, 5, 4}));
  EXPECT_TRUE((FromFileName("a\\b/20050504.log") == Date{2005, 5, 4}));
  // A folder that looks like a date gives nothing to a name that does not.
  EXPECT_TRUE((FromFileName("/20050504/abc.log") == Date{0, 0, 0}));
}

TEST(FileNameDateTest, FollowsScanfRules) {
  // The scan stops at the first field that converts nothing; fields after it
  // keep their preset 0.
  EXPECT_TRUE((FromFileName("200505x4.log") == Date{2005, 5, 0}));
  EXPECT_TRUE((FromFileName("2005050x.log") == Date{2005, 5, 0}));
  EXPECT_TRUE((FromFileName("abc.log") == Date{0, 0, 0}));
  EXPECT_TRUE((FromFileName("") == Date{0, 0, 0}));
  // White space before a field is skipped and not counted in its width.
  EXPECT_TRUE((FromFileName(" 2022045.LOG") == Date{2022, 4, 5}));
  // A sign counts in the width.
  EXPECT_TRUE((FromFileName("-0050504.log") == Date{-5, 5, 4}));
  EXPECT_TRUE((FromFileName("+12345678.log") == Date{123, 45, 67}));
  // Month 13 and day 39 are taken as they stand.
  EXPECT_TRUE((FromFileName("20051339.log") == Date{2005, 13, 39}));
}

TEST(SplitSecondsTest, SplitsIntoDaysHoursMinutesSeconds) {
  SplitTime t = SplitSeconds(90061);
  EXPECT_EQ(t.days, 1);
  EXPECT_EQ(t.hours, 1);
  EXPECT_EQ(t.minutes, 1);
  EXPECT_EQ(t.seconds, 1);
  t = SplitSeconds(86400);
  EXPECT_EQ(t.days, 1);
  EXPECT_EQ(t.hours + t.minutes + t.seconds, 0);
  t = SplitSeconds(59);
  EXPECT_EQ(t.days + t.hours + t.minutes, 0);
  EXPECT_EQ(t.seconds, 59);
  for (int64_t s : {int64_t{0}, int64_t{-5}, int64_t{-86401}}) {
    t = SplitSeconds(s);
    EXPECT_EQ(t.days + t.hours + t.minutes + t.seconds, 0) << s;
  }
  t = SplitSeconds(int64_t{1} << 40);  // sums of durations are 64-bit
  EXPECT_EQ(t.days, (int64_t{1} << 40) / 86400);
}

TEST(LabelsTest, SignMarksAndGradeNames) {
  EXPECT_EQ(SignMark(0.0f), Sjis("±"));
  EXPECT_EQ(SignMark(-0.0f), Sjis("±"));
  EXPECT_EQ(SignMark(0.0005f), "+");
  EXPECT_EQ(SignMark(-3.0f), "-");
  EXPECT_EQ(GradeName(0), Sjis("十級"));
  EXPECT_EQ(GradeName(9), Sjis("一級"));
  EXPECT_EQ(GradeName(10), Sjis("初段"));
  EXPECT_EQ(GradeName(19), Sjis("十段"));
  EXPECT_EQ(GradeName(20), Sjis("不明"));
  EXPECT_EQ(GradeName(-1), Sjis("不明"));
  EXPECT_EQ(WeekdayName(0), Sjis("日"));
  EXPECT_EQ(WeekdayName(6), Sjis("土"));
}

}  // namespace
}  // namespace ledgerwise
