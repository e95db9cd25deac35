#include "stats/statistics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace ledgerwise {
namespace {

constexpr int32_t kDay = 732070;  // 4 May 2005

struct MatchSpec {
  int32_t day = kDay;
  int32_t start = 0;
  int32_t end = 0;
  MatchResult result = MatchResult::Won;
  int32_t wins = 0, losses = 0;  // the opponent's shown record
  int32_t grade = 10;
  int32_t rating = 0, chain = 0;
  int32_t games = 2;
};

MatchRecord& Add(VsLogBook& book, std::string_view name, const MatchSpec& plan) {
  MatchRecord& m = book.OpenMatch(name);
  m.day = plan.day;
  m.startSecond = plan.start;
  m.endSecond = plan.end;
  m.result = plan.result;
  m.shownWins = plan.wins;
  m.shownLosses = plan.losses;
  m.grade = plan.grade;
  m.rating = plan.rating;
  m.maxChain = plan.chain;
  m.gameCount = plan.games;
  if (plan.result == MatchResult::Won) m.ownGames = 2;
  if (plan.result == MatchResult::Lost) m.opponentGames = 2;
  return m;
}

// `count` decided matches, the first `won` of them won, all at one instant.
void AddDecided(VsLogBook& book, int count, int won, int32_t day, int32_t start) {
  for (int i = 0; i < count; ++i) {
    MatchSpec plan;
    plan.day = day;
    plan.start = start;
    plan.end = start + 60;
    plan.result = i < won ? MatchResult::Won : MatchResult::Lost;
    Add(book, "filler", plan);
  }
}

// An opponent whose only match shows a record with the given rate (of 100).
void AddRankedOpponent(VsLogBook& book, std::string_view name, int winsOfHundred) {
  MatchSpec plan;
  plan.result = MatchResult::Undecided;
  plan.day = 1;  // long ago: never the latest match
  plan.wins = winsOfHundred;
  plan.losses = 100 - winsOfHundred;
  Add(book, name, plan);
}

TEST(StatisticsTest, EmptyBook) {
  VsLogBook book;
  ComputeStatistics(book);
  const VsStats& s = book.stats;
  EXPECT_EQ(s.matchCount + s.wins + s.losses + s.latestDay + s.cutoffDay, 0);
  EXPECT_EQ(s.playSeconds, 0);
  EXPECT_FALSE(s.ownRanked);
  EXPECT_EQ(s.meanGrade, 0.0f);
  EXPECT_EQ(s.winRateStdDev, 0.0f);
  EXPECT_EQ(s.ownRankPosition, -1);
  EXPECT_EQ(s.previousRankPosition, -1);
  EXPECT_EQ(FindLatestMatch(book), nullptr);
}

TEST(StatisticsTest, CutoffAcrossMidnight) {
  VsLogBook book;
  MatchSpec latest;
  latest.start = 5 * 3600;
  latest.end = latest.start + 100;
  Add(book, "a", latest);
  MatchSpec recent;
  recent.day = kDay - 1;
  recent.start = 21 * 3600;
  recent.end = recent.start + 300;
  Add(book, "b", recent);
  MatchSpec previous = recent;
  previous.start = 21 * 3600 - 1;
  previous.end = previous.start + 1000;
  previous.result = MatchResult::Lost;
  Add(book, "c", previous);
  ComputeStatistics(book);
  const VsStats& s = book.stats;
  EXPECT_EQ(s.cutoffDay, kDay - 1);
  EXPECT_EQ(s.cutoffSecond, 75600);
  EXPECT_EQ(s.recentMatchCount, 2);
  EXPECT_EQ(s.recentWins, 2);
  EXPECT_EQ(s.recentLosses, 0);
  EXPECT_EQ(s.recentPlaySeconds, 400);
  EXPECT_EQ(s.playSeconds, 1400);
  EXPECT_EQ(s.matchCount, 3);
  EXPECT_EQ(s.gamesPlayed, 6);
  EXPECT_EQ(s.gamesWon, 4);
  EXPECT_EQ(s.gamesLost, 2);
}

TEST(StatisticsTest, CutoffAtEightInTheMorning) {
  VsLogBook book;
  MatchSpec latest;
  latest.start = 8 * 3600;
  Add(book, "a", latest);
  ComputeStatistics(book);
  EXPECT_EQ(book.stats.cutoffDay, kDay);
  EXPECT_EQ(book.stats.cutoffSecond, 0);
}

TEST(StatisticsTest, DisconnectedAndUndecidedMatches) {
  VsLogBook book;
  MatchSpec cut;
  cut.start = 1000;
  cut.end = 1600;
  cut.result = MatchResult::Disconnected;
  Add(book, "a", cut);
  // Undecided: no duration, no count, yet the latest match sets the cutoff.
  MatchSpec open;
  open.start = 40000;
  open.end = 0;
  open.result = MatchResult::Undecided;
  Add(book, "b", open);
  ComputeStatistics(book);
  const VsStats& s = book.stats;
  EXPECT_EQ(s.playSeconds, 600);
  EXPECT_EQ(s.recentPlaySeconds, 0);  // 1000 is before 40000 - 28800
  EXPECT_EQ(s.matchCount, 0);
  EXPECT_EQ(s.gamesPlayed, 0);
  EXPECT_EQ(s.latestSecond, 40000);
  EXPECT_EQ(s.cutoffSecond, 40000 - 28800);
}

TEST(StatisticsTest, OpponentRankingThresholdAndLatestMatch) {
  VsLogBook book;
  MatchSpec older;
  older.start = 100;
  older.wins = 90;
  older.losses = 10;
  older.grade = 3;
  Add(book, "a", older);
  MatchSpec newer = older;
  newer.start = 200;
  newer.wins = 30;
  newer.losses = 20;
  newer.grade = 12;
  newer.rating = 1500;
  newer.chain = 0;  // ranked, but no chain: out of the rating and chain sums
  newer.result = MatchResult::Disconnected;
  Add(book, "a", newer);
  // The list order does not decide; the start instant does.
  MatchSpec earlier = older;
  earlier.start = 50;
  Add(book, "a", earlier);
  MatchSpec short_ = older;
  short_.wins = 30;
  short_.losses = 19;
  short_.grade = 5;
  Add(book, "b", short_);
  ComputeStatistics(book);
  const OpponentRecord& a = book.opponents[0];
  const OpponentRecord& b = book.opponents[1];
  EXPECT_EQ(a.latestMatchIndex, 1);
  EXPECT_TRUE(a.ranked);
  EXPECT_FLOAT_EQ(a.winRate, 0.6f);
  EXPECT_FALSE(b.ranked);
  EXPECT_EQ(b.rankPosition, -1);
  const VsStats& s = book.stats;
  EXPECT_EQ(s.gradePopulation[12], 1);
  EXPECT_EQ(s.gradePopulation[5], 1);
  EXPECT_EQ(s.gradePopulation[3], 0);
  EXPECT_EQ(s.gradeRankedCount[12], 1);
  EXPECT_EQ(s.gradeChainCount[12], 0);
  EXPECT_EQ(s.gradeRatingSum[12], 0.0f);
  EXPECT_FLOAT_EQ(s.gradeWinRateSum[12], 0.6f);
  EXPECT_FLOAT_EQ(s.meanGrade, 8.5f);
  // One ranked opponent: no spread, so the score is 50.
  EXPECT_EQ(s.winRateStdDev, 0.0f);
  EXPECT_EQ(a.deviationScore, 50.0f);
}

TEST(StatisticsTest, EqualInstantsTakeTheLaterMatchInTheList) {
  VsLogBook book;
  MatchSpec first;
  first.grade = 1;
  Add(book, "a", first);
  MatchSpec second = first;
  second.grade = 2;
  Add(book, "a", second);
  ComputeStatistics(book);
  EXPECT_EQ(book.opponents[0].latestMatchIndex, 1);
}

TEST(StatisticsTest, UnknownGradeStaysOutOfTheTablesAndTheMean) {
  VsLogBook book;
  MatchSpec known;
  known.grade = 12;
  known.wins = 60;
  known.losses = 40;
  known.chain = 5;
  known.rating = 1000;
  Add(book, "a", known);
  MatchSpec unknown = known;
  unknown.grade = kUnknownGrade;
  unknown.wins = 20;
  unknown.losses = 80;
  Add(book, "b", unknown);
  ComputeStatistics(book);
  const VsStats& s = book.stats;
  EXPECT_EQ(s.meanGrade, 12.0f);  // not (12 + 20) / 2, nor (12 + 0) / 2
  int population = 0;
  for (int g = 0; g < kGradeSlots; ++g) population += s.gradePopulation[g];
  EXPECT_EQ(population, 1);
  // Still ranked and still in the mean of the rates.
  EXPECT_TRUE(book.opponents[1].ranked);
  EXPECT_EQ(s.rankedOpponentCount, 2);
  EXPECT_FLOAT_EQ(s.meanWinRate, 0.4f);
  EXPECT_EQ(book.opponents[1].rankPosition, 1);
}

TEST(StatisticsTest, OnlyUnknownGradesGiveAMeanOfZero) {
  VsLogBook book;
  MatchSpec unknown;
  unknown.grade = kUnknownGrade;
  Add(book, "a", unknown);
  ComputeStatistics(book);
  EXPECT_EQ(book.stats.meanGrade, 0.0f);
}

TEST(StatisticsTest, SpreadAndScoresInSinglePrecision) {
  VsLogBook book;
  AddRankedOpponent(book, "a", 70);
  AddRankedOpponent(book, "b", 60);
  AddRankedOpponent(book, "c", 40);
  ComputeStatistics(book);
  const VsStats& s = book.stats;
  // Recomputed here step by step with the same rounding points.
  float rates[] = {0.7f, 0.6f, 0.4f};
  float sum = 0;
  for (float r : rates) sum = static_cast<float>(double{sum} + r);
  float mean = static_cast<float>(double{sum} / 3);
  float squares = 0;
  for (float r : rates) {
    double d = double{r} - mean;
    squares = static_cast<float>(double{squares} + d * d);
  }
  float sd = static_cast<float>(std::sqrt(double{static_cast<float>(double{squares} / 3)}));
  EXPECT_EQ(s.meanWinRate, mean);
  EXPECT_EQ(s.winRateStdDev, sd);
  EXPECT_EQ(book.opponents[0].deviationScore,
            static_cast<float>(50.0 + 10.0 * (double{0.7f} - mean) / sd));
  EXPECT_GT(book.opponents[0].deviationScore, 60.0f);
  EXPECT_LT(book.opponents[2].deviationScore, 40.0f);
}

TEST(StatisticsTest, PlayerThresholdIsMoreThanFifty) {
  VsLogBook book;
  AddDecided(book, 50, 30, kDay, 1000);
  ComputeStatistics(book);
  EXPECT_FALSE(book.stats.ownRanked);
  EXPECT_EQ(book.stats.ownRankPosition, -1);
  EXPECT_EQ(book.stats.ownWinRate, 0.0f);

  // 51 matches, 40 of them recent: ranked, but no previous rate.
  VsLogBook ranked;
  AddDecided(ranked, 11, 5, kDay - 2, 1000);
  AddDecided(ranked, 40, 30, kDay, 50000);
  ComputeStatistics(ranked);
  const VsStats& s = ranked.stats;
  EXPECT_TRUE(s.ownRanked);
  EXPECT_EQ(s.recentMatchCount, 40);
  EXPECT_EQ(s.previousWinRate, 0.0f);
  EXPECT_EQ(s.ownWinRate, static_cast<float>(35.0 / 51));
  EXPECT_EQ(s.ownDeviation, 50.0f);  // no ranked opponent: no spread
  EXPECT_EQ(s.ownDeviationChange, s.ownDeviation);
  // Ranked with no ranked opponent: first place, and so is the previous one.
  EXPECT_EQ(s.ownRankPosition, 0);
  EXPECT_EQ(s.previousRankPosition, 0);
}

TEST(StatisticsTest, PreviousPeriodNeedsMoreThanFiftyMatches) {
  VsLogBook book;
  AddRankedOpponent(book, "a", 70);
  AddRankedOpponent(book, "b", 40);
  AddDecided(book, 51, 20, kDay - 2, 1000);  // previous
  AddDecided(book, 10, 10, kDay, 50000);     // recent
  ComputeStatistics(book);
  const VsStats& s = book.stats;
  EXPECT_EQ(s.previousWinRate, static_cast<float>(20.0 / 51));
  float previousScore = static_cast<float>(
      50.0 + 10.0 * (double{s.previousWinRate} - s.meanWinRate) / s.winRateStdDev);
  EXPECT_EQ(s.ownDeviationChange, static_cast<float>(double{s.ownDeviation} - previousScore));
  EXPECT_GT(s.ownDeviationChange, 0.0f);
}

TEST(RankingTest, PlacesOfOpponentsPlayerAndPreviousRate) {
  VsLogBook book;
  AddRankedOpponent(book, "a", 70);
  AddRankedOpponent(book, "b", 60);
  AddRankedOpponent(book, "c", 40);
  ComputeStatistics(book);
  // Set the player's figures by hand and place again.
  book.stats.ownRanked = true;
  book.stats.ownWinRate = 0.5f;
  book.stats.previousWinRate = 0.65f;
  AssignRankPositions(book);
  EXPECT_EQ(book.opponents[0].rankPosition, 0);
  EXPECT_EQ(book.opponents[1].rankPosition, 1);
  EXPECT_EQ(book.stats.ownRankPosition, 2);
  EXPECT_EQ(book.opponents[2].rankPosition, 3);
  EXPECT_EQ(book.stats.previousRankPosition, 1);
}

TEST(RankingTest, TiesKeepListOrderAndOpponentsGoBeforeThePlayer) {
  VsLogBook book;
  AddRankedOpponent(book, "a", 50);
  AddRankedOpponent(book, "b", 80);
  AddRankedOpponent(book, "c", 50);
  ComputeStatistics(book);
  book.stats.ownRanked = true;
  book.stats.ownWinRate = 0.5f;
  AssignRankPositions(book);
  EXPECT_EQ(book.opponents[1].rankPosition, 0);
  EXPECT_EQ(book.opponents[0].rankPosition, 1);
  EXPECT_EQ(book.opponents[2].rankPosition, 2);
  EXPECT_EQ(book.stats.ownRankPosition, 3);
  // previousWinRate 0: the place after the last one handed out.
  EXPECT_EQ(book.stats.previousRankPosition, 3);
}

TEST(RankingTest, RatesOfMinusOneOrLessAreStillPlaced) {
  VsLogBook book;
  MatchSpec mangled;
  mangled.result = MatchResult::Undecided;
  mangled.wins = -100;  // shown record -100 wins, 150 losses: rate -2
  mangled.losses = 150;
  Add(book, "a", mangled);
  AddRankedOpponent(book, "b", 30);
  ComputeStatistics(book);
  EXPECT_TRUE(book.opponents[0].ranked);
  EXPECT_EQ(book.opponents[0].winRate, -2.0f);
  EXPECT_EQ(book.opponents[1].rankPosition, 0);
  EXPECT_EQ(book.opponents[0].rankPosition, 1);
}

TEST(StatisticsTest, HugeShownRecordsDoNotWrap) {
  VsLogBook book;
  MatchSpec huge;
  huge.wins = 2147483647;
  huge.losses = 2147483647;
  Add(book, "a", huge);
  ComputeStatistics(book);
  EXPECT_TRUE(book.opponents[0].ranked);
  EXPECT_FLOAT_EQ(book.opponents[0].winRate, 0.5f);
}

TEST(StatisticsTest, RunningThePassTwiceGivesTheSameResults) {
  VsLogBook book;
  AddRankedOpponent(book, "a", 70);
  AddRankedOpponent(book, "b", 55);
  AddDecided(book, 60, 35, kDay - 1, 3000);
  AddDecided(book, 60, 25, kDay, 40000);
  ComputeStatistics(book);
  VsStats first = book.stats;
  std::vector<int32_t> places;
  for (const OpponentRecord& o : book.opponents) places.push_back(o.rankPosition);
  ComputeStatistics(book);
  const VsStats& again = book.stats;
  EXPECT_EQ(first.matchCount, again.matchCount);
  EXPECT_EQ(first.recentMatchCount, again.recentMatchCount);
  EXPECT_EQ(first.playSeconds, again.playSeconds);
  EXPECT_EQ(first.meanWinRate, again.meanWinRate);
  EXPECT_EQ(first.winRateStdDev, again.winRateStdDev);
  EXPECT_EQ(first.ownDeviation, again.ownDeviation);
  EXPECT_EQ(first.ownDeviationChange, again.ownDeviationChange);
  EXPECT_EQ(first.ownRankPosition, again.ownRankPosition);
  EXPECT_EQ(first.previousRankPosition, again.previousRankPosition);
  EXPECT_EQ(std::memcmp(first.gradePopulation, again.gradePopulation, sizeof first.gradePopulation), 0);
  EXPECT_EQ(std::memcmp(first.gradeWinRateSum, again.gradeWinRateSum, sizeof first.gradeWinRateSum), 0);
  EXPECT_TRUE(again.ownRanked);
  for (size_t i = 0; i < places.size(); ++i) EXPECT_EQ(book.opponents[i].rankPosition, places[i]);
}

}  // namespace
}  // namespace ledgerwise
