// The one pass after ingestion that derives everything the pages show beyond
// the raw match list: the player's totals and recent totals, each opponent's
// latest figures and win rate, deviation scores, the ranking and the
// per-grade tables.
//
// Every stored figure is a single-precision float computed in double from its
// operands and rounded when stored; running sums are single-precision and
// each addition is rounded before the next. The pages print these values to
// three decimals, so the rounding points matter.
#ifndef LEDGERWISE_STATS_STATISTICS_H_
#define LEDGERWISE_STATS_STATISTICS_H_

#include "log/records.h"

namespace ledgerwise {

// The recent period: the seconds before the latest match's start that it
// reaches back.
constexpr int32_t kRecentSpan = 8 * 3600;
// An opponent is ranked when its latest shown wins and losses add up to this
// many or more.
constexpr int32_t kRankedOpponentMatches = 50;
// The player is ranked with more decided matches than this, and the previous
// win rate needs more previous decided matches than this.
constexpr int32_t kRankedOwnMatches = 50;

// The whole pass: resets the stats block and every opponent's place, then
// fills them. Running it again gives the same results.
void ComputeStatistics(VsLogBook& book);

// The match with the latest start instant (day, then second) over all
// opponents, whatever its result; nullptr for an empty book.
const MatchRecord* FindLatestMatch(const VsLogBook& book);

// Per-opponent latest figures and win rates, the per-grade tables, the mean
// grade, the mean and spread of the ranked rates, deviation scores, and the
// player's own rate, score and change. Needs the totals.
void ComputeDeviationScores(VsLogBook& book);

// Places of the ranked opponents and of the player, best rate first; ties
// keep list order and the player stands after every opponent whose rate
// equals or exceeds its own.
void AssignRankPositions(VsLogBook& book);

}  // namespace ledgerwise

#endif  // LEDGERWISE_STATS_STATISTICS_H_
