#include "utf8_outputs/dashboard_data.h"

#include <algorithm>
#include <string>
#include <vector>

#include "report/labels.h"
#include "stats/statistics.h"
#include "utf8_outputs/compact_numbers.h"
#include "utf8_outputs/json_text.h"
#include "utf8_outputs/sjis_decode.h"
#include "util/prefetch.h"

namespace ledgerwise {

namespace {

// Text gathers here and goes to the file whenever a piece is full, so that
// neither the whole block nor one of its lines is ever held in memory.
class Pieces {
 public:
  explicit Pieces(OutputFile& out) : out_(out) { text_.reserve(kPiece + 1024); }
  std::string& text() { return text_; }
  size_t lineSize() const { return written_ + text_.size(); }
  // Hands a full piece to the file.
  void Spill() {
    if (text_.size() >= kPiece) Flush();
  }
  // Ends the line with what is left.
  void EndLine() {
    out_.Line(text_);
    text_.clear();
    written_ = 0;
  }

 private:
  static constexpr size_t kPiece = 64 * 1024;
  void Flush() {
    out_.Commit(PutText(out_.Reserve(text_.size()), text_));
    written_ += text_.size();
    text_.clear();
  }
  OutputFile& out_;
  std::string text_;
  size_t written_ = 0;  // of the current line
};

constexpr size_t kLongLine = 256 * 1024;

void WriteHead(Pieces& p, const DashboardLive* live) {
  std::string& out = p.text();
  out += '{';
  if (live != nullptr) {
    out += "\"live\":{\"generation\":";
    AppendJsonString(out, live->generation);
    out += "},";
    p.EndLine();
  }
  out += "\"rules\":{\"recentSeconds\":" + std::to_string(kRecentSpan) +
         ",\"rankedShown\":" + std::to_string(kRankedOpponentMatches) +
         ",\"rankedOwnAbove\":" + std::to_string(kRankedOwnMatches) + "},";
  p.EndLine();
  out += "\"grades\":[";
  for (int32_t grade = 0; grade <= kGradeSlots; ++grade) {
    if (grade > 0) out += ',';
    AppendJsonString(out, ShiftJisToUtf8(GradeName(grade)));
  }
  out += "],";
  p.EndLine();
}

// Names in lines of a few hundred kilobytes.
void WriteNames(Pieces& p, const VsLogBook& book) {
  std::string& out = p.text();
  std::string name;
  out += "\"names\":[";
  for (const OpponentRecord& o : book.opponents) {
    if (&o != &book.opponents.front()) {
      out += ',';
      if (p.lineSize() >= kLongLine) p.EndLine();
    }
    name.clear();
    AppendShiftJisAsUtf8(o.name, name);
    AppendJsonString(out, name);
    p.Spill();
  }
  out += "],";
  p.EndLine();
}

// A match's place in the stream: its opponent and its place among that
// opponent's matches.
struct Place {
  uint32_t opponent;
  uint32_t match;
};

// A match's start instant, day then second, as one number.
uint64_t StartKey(const MatchRecord& m) {
  auto bias = [](int32_t v) { return uint64_t{static_cast<uint32_t>(v) ^ 0x80000000u}; };
  return bias(m.day) << 32 | bias(m.startSecond);
}

// The matches in start order. That is the order they were read in unless
// the listing or a log does not follow time (a log without a date, lines
// out of order): then, and only then, a sorted table of every match is
// made. Places are handed out a few ahead of their use, so that the
// records they name, scattered through memory, are on their way in time.
class StartOrder {
 public:
  explicit StartOrder(const VsLogBook& book) : book_(book), next_(book.opponents.size()) {
    uint64_t last = 0;
    bool sorted = true;
    const std::vector<uint32_t>& order = book.openOrder;
    for (size_t k = 0; k < order.size(); ++k) {
      if (k + kAhead < order.size()) {
        uint32_t ahead = order[k + kAhead];
        PrefetchForRead(&book.opponents[ahead].matches[next_[ahead]].day, 2 * sizeof(int32_t));
      }
      uint32_t o = order[k];
      uint64_t key = StartKey(book.opponents[o].matches[next_[o]++]);
      sorted = sorted && key >= last;
      last = key;
    }
    std::fill(next_.begin(), next_.end(), 0);
    if (!sorted) Sort();
    for (size_t k = 0; k < kAhead && k < size(); ++k) Fetch(k);
  }
  size_t size() const { return book_.openOrder.size(); }
  const MatchRecord& Record(const Place& place) const {
    return book_.opponents[place.opponent].matches[place.match];
  }
  // The place of the `k`-th match; k counts up from 0.
  Place Take(size_t k) {
    Place place = ahead_[k % kAhead];
    if (k + kAhead < size()) Fetch(k + kAhead);
    return place;
  }

 private:
  static constexpr size_t kAhead = 16;

  void Sort() {
    for (uint32_t o : book_.openOrder) sorted_.push_back({o, next_[o]++});
    std::stable_sort(sorted_.begin(), sorted_.end(), [this](const Place& a, const Place& b) {
      uint64_t ka = StartKey(Record(a)), kb = StartKey(Record(b));
      if (ka != kb) return ka < kb;
      return a.opponent != b.opponent ? a.opponent < b.opponent : a.match < b.match;
    });
  }
  void Fetch(size_t k) {
    Place place;
    if (sorted_.empty()) {
      uint32_t o = book_.openOrder[k];
      place = {o, next_[o]++};
    } else {
      place = sorted_[k];
    }
    PrefetchForRead(&Record(place), sizeof(MatchRecord));
    ahead_[k % kAhead] = place;
  }

  const VsLogBook& book_;
  std::vector<uint32_t> next_;  // per opponent, its matches handed out so far
  std::vector<Place> sorted_;   // empty while reading order follows time
  Place ahead_[kAhead] = {};
};

// Result and game score in one number where they take their usual values
// (result 0-3, games 0-2), else 36 and the three numbers.
void AppendOutcome(std::string& out, const MatchRecord& m) {
  int32_t result = static_cast<int32_t>(m.result);
  if (result >= 0 && result <= 3 && m.ownGames >= 0 && m.ownGames <= 2 && m.opponentGames >= 0 &&
      m.opponentGames <= 2) {
    AppendCompact(out, result + 4 * (m.ownGames + 3 * m.opponentGames));
    return;
  }
  for (int64_t v : {int64_t{36}, int64_t{result}, int64_t{m.ownGames}, int64_t{m.opponentGames}}) {
    AppendCompact(out, v);
  }
}

// Grade, max chain and disconnect rate rarely move between two meetings:
// 0 when none did, else 1 and the three differences.
void AppendRareChanges(std::string& out, const MatchRecord& m, const MatchRecord& last) {
  int64_t changes[] = {int64_t{m.grade} - last.grade, int64_t{m.maxChain} - last.maxChain,
                       int64_t{m.disconnectRate} - last.disconnectRate};
  if (changes[0] == 0 && changes[1] == 0 && changes[2] == 0) {
    AppendCompact(out, 0);
    return;
  }
  AppendCompact(out, 1);
  for (int64_t v : changes) AppendCompact(out, v);
}

// The opponent's figures, as differences from its match before.
void AppendFigures(std::string& out, const MatchRecord& m, const MatchRecord& before) {
  AppendCompact(out, m.result == MatchResult::Undecided ? 0 : int64_t{m.endSecond} - m.startSecond);
  AppendOutcome(out, m);
  AppendRareChanges(out, m, before);
  AppendCompact(out, int64_t{m.shownWins} - before.shownWins);
  AppendCompact(out, int64_t{m.shownLosses} - before.shownLosses);
  AppendCompact(out, int64_t{m.rating} - before.rating);
}

// The match stream as JSON strings of a line each, cut between matches.
void WriteMatches(Pieces& p, const VsLogBook& book) {
  std::string& out = p.text();
  const MatchRecord none;  // all zero: an opponent's first match is written whole
  std::vector<const MatchRecord*> before(book.opponents.size(), &none);
  MatchRecord last;
  StartOrder order(book);
  out += "\"matchCount\":" + std::to_string(order.size()) + ',';
  p.EndLine();
  out += "\"m\":[\"";
  for (size_t k = 0; k < order.size(); ++k) {
    Place place = order.Take(k);
    const MatchRecord& m = order.Record(place);
    AppendCompact(out, place.opponent);
    AppendCompact(out, int64_t{m.day} - last.day);
    AppendCompact(out, int64_t{m.startSecond} - last.startSecond);
    AppendFigures(out, m, *before[place.opponent]);
    before[place.opponent] = &m;
    last = m;
    if (p.lineSize() >= kLongLine) {
      out += "\",";
      p.EndLine();
      out += '"';
    }
    p.Spill();
  }
  out += "\"]}";
  p.EndLine();
}

}  // namespace

void WriteDashboardData(const VsLogBook& book, const DashboardLive* live, OutputFile& out) {
  Pieces p(out);
  WriteHead(p, live);
  WriteNames(p, book);
  WriteMatches(p, book);
}

}  // namespace ledgerwise
