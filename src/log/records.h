// The record store: one book per run, its opponents in order of first
// appearance, and each opponent's matches in log order. The parser is the
// only writer of opponents and matches; the statistics pass fills the derived
// fields; the report writers take the book const; the driver alone keeps the
// message of the last failure in it.
#ifndef LEDGERWISE_LOG_RECORDS_H_
#define LEDGERWISE_LOG_RECORDS_H_

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "log/compact_list.h"
#include "log/list_pool.h"
#include "log/vs_stats.h"

namespace ledgerwise {

// From the player's side.
enum class MatchResult : int32_t { Undecided = 0, Won = 1, Lost = 2, Disconnected = 3 };

inline bool IsDecided(MatchResult r) { return r == MatchResult::Won || r == MatchResult::Lost; }

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
  // Raw Shift_JIS bytes, kept whole whatever their length, in the book's
  // name store (they live as long as the book).
  std::string_view name;
  int32_t latestMatchIndex = 0;
  bool ranked = false;
  float winRate = 0;
  float deviationScore = 0;
  int32_t rankPosition = -1;
  CompactList<MatchRecord> matches;
};

class VsLogBook {
 public:
  VsLogBook() = default;
  VsLogBook(const VsLogBook&) = delete;
  VsLogBook& operator=(const VsLogBook&) = delete;

  ParseState parseState = ParseState::Idle;
  // A deque, so records never move and growing it never copies them all.
  std::deque<OpponentRecord> opponents;
  VsStats stats;
  // The position in `opponents` of each match's opponent, in the order the
  // matches were opened: the order of the match-start lines across opponents.
  std::vector<uint32_t> openOrder;

  // The position in `opponents` of the opponent with exactly this name
  // (byte for byte), or kNoOpponent: one look into a hash index of the
  // names, not a walk of the list.
  static constexpr uint32_t kNoOpponent = UINT32_MAX;
  uint32_t FindOpponent(std::string_view name) const;

  // Finds or appends the opponent and appends an all-zero match to it; both
  // become current. Returns the new match.
  MatchRecord& OpenMatch(std::string_view name);

  // The match opened last, or nullptr before the first one. Its list moves
  // its matches when it grows, so the match is found again on every call.
  MatchRecord* currentMatch() { return current_ ? &current_->matches.back() : nullptr; }
  OpponentRecord* currentOpponent() { return current_; }

  // The message of the failure that ended the last failed operation, in
  // the Shift_JIS words the console has always shown, for whoever reads
  // the book after a run. printf-style; a null format empties the text.
  void FormatErrorText(const char* format, ...)
#if defined(__GNUC__)
      __attribute__((format(printf, 2, 3)))
#endif
      ;
  const std::string& GetErrorText() const { return errorText_; }

 private:
  // The slot of `name` in index_: the one that holds it, or the empty one
  // where it would go.
  size_t Slot(std::string_view name) const;
  void GrowIndex();
  std::string_view StoreName(std::string_view name);

  // Open addressing, linear probing, at most half full: positions in
  // `opponents`, kEmpty where none: 8 to 16 bytes an opponent.
  static constexpr uint32_t kEmpty = kNoOpponent;
  std::vector<uint32_t> index_;
  // Where the match lists grow; the lists never free its blocks.
  ListPool matchPool_{CompactList<MatchRecord>::kPoolUnit};
  // Names back to back in blocks that never move.
  std::vector<std::unique_ptr<char[]>> nameBlocks_;
  size_t nameRoom_ = 0;  // free bytes at the end of the last block
  char* nameNext_ = nullptr;
  OpponentRecord* current_ = nullptr;
  std::string errorText_;
};

}  // namespace ledgerwise

#endif  // LEDGERWISE_LOG_RECORDS_H_
