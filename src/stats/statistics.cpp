#include "stats/statistics.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace ledgerwise {

namespace {

// Stores a double as the single-precision figure the pages print.
float Store(double value) { return static_cast<float>(value); }

// One step of a single-precision running sum.
void AddTo(float& sum, double term) { sum = Store(double{sum} + term); }

bool StartsBefore(const MatchRecord& a, const MatchRecord& b) {
  return a.day != b.day ? a.day < b.day : a.startSecond < b.startSecond;
}

bool IsRecent(const MatchRecord& m, const VsStats& s) {
  return m.day != s.cutoffDay ? m.day > s.cutoffDay : m.startSecond >= s.cutoffSecond;
}

float DeviationScore(double rate, const VsStats& s) {
  if (s.winRateStdDev == 0.0f) return 50.0f;
  return Store(50.0 + 10.0 * (rate - double{s.meanWinRate}) / double{s.winRateStdDev});
}

void FindCutoff(VsLogBook& book) {
  VsStats& s = book.stats;
  const MatchRecord* latest = FindLatestMatch(book);
  if (latest == nullptr) return;
  s.latestDay = latest->day;
  s.latestSecond = latest->startSecond;
  int64_t cutoff = int64_t{s.latestSecond} - kRecentSpan;
  if (cutoff >= 0) {
    s.cutoffDay = s.latestDay;
    s.cutoffSecond = static_cast<int32_t>(cutoff);
  } else {
    s.cutoffDay = s.latestDay - 1;
    s.cutoffSecond = static_cast<int32_t>(cutoff + 86400);
  }
}

void AddTotals(VsLogBook& book) {
  VsStats& s = book.stats;
  for (const OpponentRecord& opponent : book.opponents) {
    for (const MatchRecord& m : opponent.matches) {
      bool recent = IsRecent(m, s);
      if (m.result != MatchResult::Undecided) {
        int64_t duration = int64_t{m.endSecond} - m.startSecond;
        s.playSeconds += duration;
        if (recent) s.recentPlaySeconds += duration;
      }
      if (!IsDecided(m.result)) continue;
      s.gamesPlayed += m.gameCount;
      s.gamesWon += m.ownGames;
      s.gamesLost += m.opponentGames;
      ++s.matchCount;
      if (recent) ++s.recentMatchCount;
      bool won = m.result == MatchResult::Won;
      ++(won ? s.wins : s.losses);
      if (recent) ++(won ? s.recentWins : s.recentLosses);
    }
  }
}

// The index of the opponent's latest match; among equal instants the later
// one in the list. -1 when it has none.
int32_t LatestMatchIndex(const OpponentRecord& opponent) {
  int32_t latest = -1;
  for (size_t i = 0; i < opponent.matches.size(); ++i) {
    if (latest < 0 || !StartsBefore(opponent.matches[i], opponent.matches[latest])) {
      latest = static_cast<int32_t>(i);
    }
  }
  return latest;
}

void ComputeOwnFigures(VsStats& s) {
  if (s.matchCount <= kRankedOwnMatches) return;
  s.ownRanked = true;
  s.ownWinRate = Store(double(s.wins) / s.matchCount);
  s.ownDeviation = DeviationScore(s.ownWinRate, s);
  int32_t previous = s.matchCount - s.recentMatchCount;
  if (previous > kRankedOwnMatches) {
    s.previousWinRate = Store(double(s.wins - s.recentWins) / previous);
    s.ownDeviationChange =
        Store(double{s.ownDeviation} - double{DeviationScore(s.previousWinRate, s)});
  } else {
    s.ownDeviationChange = s.ownDeviation;
  }
}

}  // namespace

const MatchRecord* FindLatestMatch(const VsLogBook& book) {
  const MatchRecord* latest = nullptr;
  for (const OpponentRecord& opponent : book.opponents) {
    for (const MatchRecord& m : opponent.matches) {
      if (latest == nullptr || StartsBefore(*latest, m)) latest = &m;
    }
  }
  return latest;
}

void ComputeDeviationScores(VsLogBook& book) {
  VsStats& s = book.stats;
  float gradeSum = 0, rateSum = 0;
  int32_t gradedCount = 0, rankedCount = 0;
  for (OpponentRecord& o : book.opponents) {
    o.latestMatchIndex = LatestMatchIndex(o);
    o.ranked = false;
    if (o.latestMatchIndex < 0) continue;
    const MatchRecord& m = o.matches[o.latestMatchIndex];
    // An unknown grade has no slot: it stays out of the tables and the mean.
    bool graded = m.grade >= 0 && m.grade < kGradeSlots;
    if (graded) {
      ++s.gradePopulation[m.grade];
      AddTo(gradeSum, m.grade);
      ++gradedCount;
    }
    int64_t shown = int64_t{m.shownWins} + m.shownLosses;
    if (shown < kRankedOpponentMatches) continue;
    o.ranked = true;
    o.winRate = Store(double(m.shownWins) / double(shown));
    ++rankedCount;
    AddTo(rateSum, o.winRate);
    if (!graded) continue;
    ++s.gradeRankedCount[m.grade];
    AddTo(s.gradeWinRateSum[m.grade], o.winRate);
    if (m.maxChain > 0) {
      ++s.gradeChainCount[m.grade];
      AddTo(s.gradeRatingSum[m.grade], m.rating);
      AddTo(s.gradeChainSum[m.grade], m.maxChain);
    }
  }
  if (gradedCount > 0) s.meanGrade = Store(double{gradeSum} / gradedCount);

  if (rankedCount > 0) {
    s.rankedOpponentCount = rankedCount;
    s.meanWinRate = Store(double{rateSum} / rankedCount);
    float squares = 0;
    for (const OpponentRecord& o : book.opponents) {
      if (!o.ranked) continue;
      double d = double{o.winRate} - double{s.meanWinRate};
      AddTo(squares, d * d);
    }
    float variance = Store(double{squares} / rankedCount);
    s.winRateStdDev = Store(std::sqrt(double{variance}));
    for (OpponentRecord& o : book.opponents) {
      if (o.ranked) o.deviationScore = DeviationScore(o.winRate, s);
    }
  }
  ComputeOwnFigures(s);
}

void AssignRankPositions(VsLogBook& book) {
  VsStats& s = book.stats;
  s.ownRankPosition = -1;
  s.previousRankPosition = -1;
  std::vector<size_t> order;
  for (size_t i = 0; i < book.opponents.size(); ++i) {
    book.opponents[i].rankPosition = -1;
    if (book.opponents[i].ranked) order.push_back(i);
  }
  // Repeatedly taking the earliest opponent with the highest rate is a stable
  // sort by descending rate.
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    return book.opponents[a].winRate > book.opponents[b].winRate;
  });
  int32_t place = 0;
  for (size_t i : order) {
    float rate = book.opponents[i].winRate;
    if (s.ownRanked && s.ownRankPosition < 0 && rate < s.ownWinRate) {
      s.ownRankPosition = place;
      // The previous rate is compared with the same candidate at the same place.
      if (s.previousRankPosition < 0 && rate < s.previousWinRate) s.previousRankPosition = place;
      ++place;
    }
    if (s.ownRanked && s.previousRankPosition < 0 && rate < s.previousWinRate) {
      s.previousRankPosition = place;
    }
    book.opponents[i].rankPosition = place++;
  }
  // Both take the place after the last one handed out, the same place when
  // neither was handed one.
  if (s.ownRanked) {
    if (s.ownRankPosition < 0) s.ownRankPosition = place;
    if (s.previousRankPosition < 0) s.previousRankPosition = place;
  }
}

void ComputeStatistics(VsLogBook& book) {
  book.stats = VsStats{};
  FindCutoff(book);
  AddTotals(book);
  ComputeDeviationScores(book);
  AssignRankPositions(book);
}

}  // namespace ledgerwise
