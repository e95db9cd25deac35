#include "utf8_outputs/dashboard_data.h"

#include "utf8_outputs/compact_numbers.h"
#include "utf8_outputs/json_text.h"
#include "utf8_outputs/sjis_decode.h"

namespace ledgerwise {

namespace {

void AppendCounts(std::string& out, const VsLogBook& book) {
  out += "\"count\":\"";
  for (const OpponentRecord& o : book.opponents)
    AppendCompact(out, static_cast<int64_t>(o.matches.size()));
  out += "\",";
}

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

void AppendMatch(std::string& out, const MatchRecord& m, const MatchRecord& last) {
  AppendCompact(out, int64_t{m.day} - last.day);
  AppendCompact(out, m.startSecond);
  AppendCompact(out, m.result == MatchResult::Undecided ? 0 : int64_t{m.endSecond} - m.startSecond);
  AppendOutcome(out, m);
  AppendRareChanges(out, m, last);
  AppendCompact(out, int64_t{m.shownWins} - last.shownWins);
  AppendCompact(out, int64_t{m.shownLosses} - last.shownLosses);
  AppendCompact(out, int64_t{m.rating} - last.rating);
}

// The match stream as lines of one JSON string each, cut between matches.
void AppendMatchLines(std::vector<std::string>& lines, const VsLogBook& book) {
  constexpr size_t kPiece = 256 * 1024;
  std::string piece = "\"";
  piece.reserve(kPiece + 1024);
  for (const OpponentRecord& o : book.opponents) {
    MatchRecord last;  // all zero: the first match is written whole
    for (const MatchRecord& m : o.matches) {
      AppendMatch(piece, m, last);
      last = m;
      if (piece.size() >= kPiece) {
        lines.push_back(piece + "\",");
        piece = "\"";
      }
    }
  }
  lines.push_back(piece + "\"]}");
}

}  // namespace

std::vector<std::string> DashboardData(const VsLogBook& book) {
  std::string head = "{\"names\":[";
  std::string name;
  for (const OpponentRecord& o : book.opponents) {
    if (&o != &book.opponents.front()) head += ',';
    name.clear();
    AppendShiftJisAsUtf8(o.name, name);
    AppendJsonString(head, name);
  }
  head += "],";
  AppendCounts(head, book);
  head += "\"m\":[";
  std::vector<std::string> lines = {head};
  AppendMatchLines(lines, book);
  return lines;
}

}  // namespace ledgerwise
