#include "app/live_lines.h"

#include "app/messages.h"
#include "log/calendar.h"
#include "report/labels.h"
#include "report/number_format.h"
#include "utf8_outputs/sjis_decode.h"

namespace ledgerwise {

namespace {

constexpr int64_t kSessionSpan = 8 * 3600;  // as the report's recent period

int64_t Instant(const MatchRecord& m) { return int64_t{m.day} * 86400 + m.startSecond; }

// The match at `k` in open order, with its opponent and its place among
// that opponent's matches: counted back from the end, as only the last few
// are ever asked for.
struct Placed {
  const OpponentRecord* opponent;
  size_t index;
  const MatchRecord& match() const { return opponent->matches[index]; }
};

Placed At(const VsLogBook& book, size_t k) {
  uint32_t who = book.openOrder[k];
  size_t later = 0;
  for (size_t i = k + 1; i < book.openOrder.size(); ++i) later += book.openOrder[i] == who;
  const OpponentRecord& opponent = book.opponents[who];
  return {&opponent, opponent.matches.size() - 1 - later};
}

struct Record {
  int32_t wins = 0, losses = 0, disconnects = 0;
  void Add(const MatchRecord& m) {
    wins += m.result == MatchResult::Won;
    losses += m.result == MatchResult::Lost;
    disconnects += m.result == MatchResult::Disconnected;
  }
};

class Text {
 public:
  explicit Text(bool utf8) : utf8_(utf8) {}
  // Shift_JIS bytes from the log or the labels, as the console takes them.
  std::string Shown(std::string_view sjis) const {
    return Printable(utf8_ ? ShiftJisToUtf8(sjis) : std::string(sjis));
  }
  std::string Clock(int64_t second) const {
    char buffer[32];
    return std::string(buffer, WriteClock(buffer, SplitSeconds(second % 86400), ":"));
  }
  std::string Date(int32_t day) const {
    char buffer[32];
    return std::string(buffer, WriteDate(buffer, day, '/', 4));
  }
  std::string Of(const Record& r) const {
    return RenderAll(
        msg::kLiveRecord, utf8_,
        {std::to_string(r.wins), std::to_string(r.losses), std::to_string(r.disconnects)});
  }
  std::string Of(const Message& m) const { return Render(m, utf8_); }
  bool utf8() const { return utf8_; }

 private:
  bool utf8_;
};

std::string StartLine(const Placed& p, const Text& text) {
  const MatchRecord& m = p.match();
  Record before;
  for (size_t i = 0; i < p.index; ++i) before.Add(p.opponent->matches[i]);
  std::string record = text.Of(msg::kLiveFirstMeeting);
  if (p.index > 0) {
    record = text.Of(before);
    int32_t lastDay = p.opponent->matches[p.index - 1].day;
    if (lastDay >= 1) record += RenderAll(msg::kLiveLastMet, text.utf8(), {text.Date(lastDay)});
  }
  // The figures as the match log shows them: no rating where the line had
  // none of the three.
  std::string rating = m.maxChain != 0 ? std::to_string(m.rating) : "---";
  return RenderAll(msg::kLiveStart, text.utf8(),
                   {text.Clock(m.startSecond), text.Shown(p.opponent->name),
                    text.Shown(GradeName(m.grade)), rating, record});
}

// The player's record over the matches opened up to and including the
// `k`-th: those of the match's day, and those that started in the eight
// hours before it.
void CountUpTo(const VsLogBook& book, size_t k, const MatchRecord& m, Record* today,
               Record* session) {
  std::vector<size_t> next(book.opponents.size());
  int64_t instant = Instant(m);
  for (size_t i = 0; i <= k; ++i) {
    uint32_t who = book.openOrder[i];
    const MatchRecord& other = book.opponents[who].matches[next[who]++];
    if (!IsDecided(other.result)) continue;
    if (other.day == m.day) today->Add(other);
    if (Instant(other) >= instant - kSessionSpan) session->Add(other);
  }
}

std::string EndLine(const VsLogBook& book, size_t k, const Placed& p, const Text& text) {
  const MatchRecord& m = p.match();
  Record against, today, session;
  for (size_t i = 0; i <= p.index; ++i) against.Add(p.opponent->matches[i]);
  CountUpTo(book, k, m, &today, &session);
  const Message& result = m.result == MatchResult::Won    ? msg::kLiveWon
                          : m.result == MatchResult::Lost ? msg::kLiveLost
                                                          : msg::kLiveDisconnected;
  std::string score = std::to_string(m.ownGames) + "-" + std::to_string(m.opponentGames);
  return RenderAll(msg::kLiveEnd, text.utf8(),
                   {text.Clock(m.endSecond), text.Shown(p.opponent->name), text.Of(result), score,
                    text.Of(against), std::to_string(today.wins), std::to_string(today.losses),
                    std::to_string(session.wins), std::to_string(session.losses)});
}

}  // namespace

LiveLines::Seen LiveLines::Where(const VsLogBook& book) {
  Seen seen;
  seen.count = book.openOrder.size();
  if (seen.count == 0) return seen;
  Placed last = At(book, seen.count - 1);
  seen.lastStart = Instant(last.match());
  seen.lastName = std::string(last.opponent->name);
  seen.lastUndecided = last.match().result == MatchResult::Undecided;
  return seen;
}

void LiveLines::Start(const VsLogBook& book, int32_t today) {
  seen_ = Where(book);
  if (seen_.count > 0 && seen_.lastUndecided && At(book, seen_.count - 1).match().day == today) {
    --seen_.count;  // the game is in it: the first look says so
    seen_.lastUndecided = false;
    seen_.lastStart = -1;
  }
}

std::vector<std::string> LiveLines::Look(const VsLogBook& book, bool utf8) {
  Seen now = Where(book);
  std::vector<std::string> lines;
  bool sameHistory = now.count >= seen_.count;
  if (sameHistory && seen_.count > 0 && seen_.lastStart >= 0) {
    Placed last = At(book, seen_.count - 1);
    sameHistory = Instant(last.match()) == seen_.lastStart && last.opponent->name == seen_.lastName;
  }
  if (sameHistory) {
    Text text(utf8);
    if (seen_.lastUndecided) {
      Placed last = At(book, seen_.count - 1);
      if (last.match().result != MatchResult::Undecided) {
        lines.push_back(EndLine(book, seen_.count - 1, last, text));
      }
    }
    for (size_t k = seen_.count; k < now.count; ++k) {
      Placed started = At(book, k);
      lines.push_back(StartLine(started, text));
      if (started.match().result != MatchResult::Undecided) {
        lines.push_back(EndLine(book, k, started, text));
      }
    }
  }
  seen_ = now;
  return lines;
}

}  // namespace ledgerwise
