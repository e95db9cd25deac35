// The statistics block the book carries: every figure the pages show beyond
// the raw match list. Declared with the records so the book depends on nothing
// above it; the statistics pass resets and fills it, the pages read it.
#ifndef LEDGERWISE_LOG_VS_STATS_H_
#define LEDGERWISE_LOG_VS_STATS_H_

#include <cstdint>

namespace ledgerwise {

// Grade index: 0 = 10-kyu ... 9 = 1-kyu, 10 = 1-dan ... 19 = 10-dan; the
// per-grade arrays have one slot each. The first index past them is the
// grade of a match-start line without a grade word.
constexpr int32_t kGradeSlots = 20;
constexpr int32_t kUnknownGrade = kGradeSlots;

struct VsStats {
  // Sums over decided matches and durations are 64-bit so no log can make
  // them wrap.
  int64_t gamesPlayed = 0;
  int64_t gamesWon = 0;
  int64_t gamesLost = 0;
  int64_t playSeconds = 0;
  int32_t matchCount = 0;
  int32_t wins = 0;
  int32_t losses = 0;
  float ownDeviation = 0;
  float ownWinRate = 0;
  int32_t latestDay = 0;
  int32_t latestSecond = 0;
  int32_t cutoffDay = 0;
  int32_t cutoffSecond = 0;
  int32_t recentMatchCount = 0;
  int32_t recentWins = 0;
  int32_t recentLosses = 0;
  int64_t recentPlaySeconds = 0;
  float ownDeviationChange = 0;
  int32_t ownRankPosition = 0;
  float previousWinRate = 0;
  int32_t previousRankPosition = 0;
  bool ownRanked = false;
  int32_t rankedOpponentCount = 0;
  float meanWinRate = 0;
  float meanGrade = 0;
  float winRateStdDev = 0;
  int32_t gradePopulation[kGradeSlots] = {};
  int32_t gradeRankedCount[kGradeSlots] = {};
  int32_t gradeChainCount[kGradeSlots] = {};
  float gradeWinRateSum[kGradeSlots] = {};
  float gradeRatingSum[kGradeSlots] = {};
  float gradeChainSum[kGradeSlots] = {};
};

}  // namespace ledgerwise

#endif  // LEDGERWISE_LOG_VS_STATS_H_
