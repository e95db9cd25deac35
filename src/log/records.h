// The record store: one book per run, its opponents in order of first
// appearance, and each opponent's matches in log order. The parser is the
// only writer of opponents and matches; the statistics pass fills the derived
// fields; the page writers only read.
#ifndef LEDGERWISE_LOG_RECORDS_H_
#define LEDGERWISE_LOG_RECORDS_H_

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "log/vs_stats.h"

namespace ledgerwise {

// From the player's side.
enum class MatchResult : int32_t { Undecided = 0, Won = 1, Lost = 2, Disconnected = 3 };

inline bool IsDecided(MatchResult r) {
  return r == MatchResult::Won || r == MatchResult::Lost;
}

enum class ParseState : int32_t { Idle = 0, InMatch = 1 };

// One match. Fields 1-6 are the opponent's figures as its match-start line
// showed them, never the player's own.
struct MatchRecord {
  int32_t grade = 0;  // a grade index, or kUnknownGrade
  int32_t shownWins = 0;
  int32_t shownLosses = 0;
  int32_t rating = 0;
  int32_t maxChain = 0;
  int32_t disconnectRate = 0;
  MatchResult result = MatchResult::Undecided;
  int32_t gameCount = 0;
  int32_t ownGames = 0;
  int32_t opponentGames = 0;
  int32_t day = 0;          // day number of the file the match started in
  int32_t startSecond = 0;  // second of the day
  int32_t endSecond = 0;    // plus 86400 when the match ran past midnight
};

struct OpponentRecord {
  // Raw Shift_JIS bytes, kept whole whatever their length.
  std::string name;
  int32_t latestMatchIndex = 0;
  bool ranked = false;
  float winRate = 0;
  float deviationScore = 0;
  int32_t rankPosition = -1;
  std::vector<MatchRecord> matches;
};

class VsLogBook {
 public:
  VsLogBook() = default;
  VsLogBook(const VsLogBook&) = delete;
  VsLogBook& operator=(const VsLogBook&) = delete;

  ParseState parseState = ParseState::Idle;
  // A deque, so records never move: the name index points into them.
  std::deque<OpponentRecord> opponents;
  VsStats stats;

  // The opponent with exactly this name (byte for byte), or nullptr.
  OpponentRecord* FindOpponent(std::string_view name);
  const OpponentRecord* FindOpponent(std::string_view name) const;

  // Finds or appends the opponent and appends an all-zero match to it; both
  // become current. Returns the new match.
  MatchRecord& OpenMatch(std::string_view name);

  // The match opened last, or nullptr before the first one. Positions rather
  // than pointers: the lists move their elements when they grow.
  MatchRecord* currentMatch();
  OpponentRecord* currentOpponent();

  // printf-style; a null format empties the text.
  void FormatErrorText(const char* format, ...)
#if defined(__GNUC__)
      __attribute__((format(printf, 2, 3)))
#endif
      ;
  const std::string& GetErrorText() const { return errorText_; }

 private:
  static constexpr size_t kNone = static_cast<size_t>(-1);

  std::unordered_map<std::string_view, size_t> index_;  // name -> position
  size_t currentOpponent_ = kNone;
  std::string errorText_;
};

}  // namespace ledgerwise

#endif  // LEDGERWISE_LOG_RECORDS_H_
