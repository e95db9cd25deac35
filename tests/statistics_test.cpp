// The statistics pass's edges that the reference pages do not reach: the
// cutoff at midnight and at its instant, the player's thresholds and a
// spread of zero. Totals, the opponents' threshold and the places are held
// by the reference pages.
#include "stats/statistics.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ledgerwise {
namespace {

constexpr int32_t kDay = 732070;  // 4 May 2005
using Figures = std::vector<int64_t>;

struct MatchPlan {
  int32_t day = kDay, start = 0, end = 0;
  MatchResult result = MatchResult::Won;
  int32_t wins = 0, losses = 0;  // the opponent's shown record
};

void Add(VsLogBook& book, std::string_view name, const MatchPlan& p) {
  int32_t own = p.result == MatchResult::Won ? 2 : 0,
          theirs = p.result == MatchResult::Lost ? 2 : 0;
  book.OpenMatch(name) =
      MatchRecord{10, p.wins, p.losses, 0, 0, 0, p.result, 2, own, theirs, p.day, p.start, p.end};
}

// `count` decided matches a minute long, the first `won` of them won.
void AddDecided(VsLogBook& book, int count, int won, int32_t day, int32_t start) {
  for (int i = 0; i < count; ++i) {
    Add(book, "filler", {day, start, start + 60, i < won ? MatchResult::Won : MatchResult::Lost});
  }
}

// Opponents "a", "b"... met long ago, whose shown records have the given
// rates (of 100).
void AddRanked(VsLogBook& book, const std::vector<int>& rates) {
  for (int rate : rates) {
    Add(book, std::string(1, 'a' + book.opponents.size()),
        {1, 0, 0, MatchResult::Undecided, rate, 100 - rate});
  }
}

// The recent period starts 8 hours before the latest match; a match at the
// cutoff instant is recent, one a second earlier is not.
TEST(StatisticsTest, RecentPeriod) {
  struct Case {
    int32_t latest, cutoffDay, cutoffSecond;
  };
  for (const Case& c :
       {Case{5 * 3600, kDay - 1, 75600}, Case{8 * 3600, kDay, 0}, Case{40000, kDay, 11200}}) {
    VsLogBook book;
    Add(book, "a", {kDay, c.latest, c.latest + 100});
    Add(book, "b", {c.cutoffDay, c.cutoffSecond, c.cutoffSecond + 300});
    bool dayBefore = c.cutoffSecond == 0;
    int32_t early = dayBefore ? 86399 : c.cutoffSecond - 1;
    Add(book, "c", {c.cutoffDay - dayBefore, early, early + 1000, MatchResult::Lost});
    ComputeStatistics(book);
    const VsStats& s = book.stats;
    EXPECT_EQ((Figures{s.cutoffDay, s.cutoffSecond, s.recentMatchCount, s.recentLosses,
                       s.recentPlaySeconds, s.playSeconds}),
              (Figures{c.cutoffDay, c.cutoffSecond, 2, 0, 400, 1400}))
        << c.latest;
  }
}

// The player is ranked above 50 decided matches, and the previous period
// (before the recent one) counts above 50 too.
TEST(StatisticsTest, PlayerAndPreviousPeriod) {
  struct Case {
    int previous, previousWon, recent, recentWon;
    bool opponents;  // two ranked: rates 0.7 and 0.4
    // ranked, rate, previous rate, score, change, place, previous place
    std::vector<double> expected;
  };
  const Case cases[] = {
      {0, 0, 0, 0, false, {0, 0, 0, 0, 0, -1, -1}},
      {0, 0, 50, 30, false, {0, 0, 0, 0, 0, -1, -1}},
      {11, 5, 40, 30, false, {1, 0.6862745, 0, 50, 50, 0, 0}},  // no spread: a score of 50
      {51, 20, 10, 10, true, {1, 0.4918033, 0.3921569, 46.12022, 6.643094, 1, 3}},
      {50, 20, 10, 10, true, {1, 0.5, 0, 46.66667, 46.66667, 1, 3}},  // 50 before: no change
  };
  for (const Case& c : cases) {
    VsLogBook book;
    if (c.opponents) AddRanked(book, {70, 40});
    AddDecided(book, c.previous, c.previousWon, kDay - 2, 1000);
    AddDecided(book, c.recent, c.recentWon, kDay, 50000);
    ComputeStatistics(book);
    const VsStats& s = book.stats;
    // clang-format off
    std::vector<double> got = {double(s.ownRanked), s.ownWinRate, s.previousWinRate,
                               s.ownDeviation, s.ownDeviationChange,
                               double(s.ownRankPosition), double(s.previousRankPosition)};
    // clang-format on
    for (size_t i = 0; i < got.size(); ++i)
      EXPECT_NEAR(got[i], c.expected[i], 1e-4) << c.previous << " " << i;
  }
}

}  // namespace
}  // namespace ledgerwise
