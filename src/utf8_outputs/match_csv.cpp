#include "utf8_outputs/match_csv.h"

#include <cstdint>
#include <vector>

#include "log/calendar.h"
#include "report/labels.h"
#include "report/number_format.h"
#include "report/output_file.h"
#include "utf8_outputs/sjis_decode.h"
#include "util/prefetch.h"

namespace ledgerwise {

namespace {

constexpr std::string_view kHeader =
    "\xEF\xBB\xBF"
    "opponent,date,start,end,duration,result,own_games,opponent_games,grade,shown_wins,"
    "shown_losses,rating,max_chain,disconnect_rate";

std::string_view ResultWord(MatchResult result) {
  switch (result) {
    case MatchResult::Won:
      return "won";
    case MatchResult::Lost:
      return "lost";
    case MatchResult::Disconnected:
      return "disconnected";
    default:
      return "undecided";
  }
}

// A clock time as the match log shows it: the days part dropped, 00:00:00
// for a second of 0 or less.
char* Clock(char* p, int32_t second) { return WriteClock(p, SplitSeconds(second), ":"); }

// YYYY-MM-DD of a day number, empty for none; the last one is kept, since
// neighbouring rows nearly always share their day.
class DateText {
 public:
  std::string_view Of(int32_t dayNumber) {
    if (dayNumber == day_) return {text_, size_};
    day_ = dayNumber;
    size_ = dayNumber >= 1 ? static_cast<size_t>(WriteDate(text_, dayNumber, '-', 4) - text_) : 0;
    return {text_, size_};
  }

 private:
  int32_t day_ = 0;
  size_t size_ = 0;
  char text_[3 * kMaxNumberText];
};

// The fields of a row after the name, and the line end; at most this many
// bytes, numbers written with the room the number writers ask for.
constexpr size_t kRowRoom = 256 + kMaxNumberText;

// How far ahead a row's record is asked for: a few rows' work covers the
// wait for memory.
constexpr size_t kRowsAhead = 16;

char* RowAfterName(char* p, std::string_view date, std::string_view grade, const MatchRecord& m) {
  *p++ = ',';
  p = PutText(p, date);
  *p++ = ',';
  p = Clock(p, m.startSecond);
  *p++ = ',';
  if (m.result != MatchResult::Undecided) {
    p = Clock(p, m.endSecond);
    *p++ = ',';
    p = WriteInt(p, int64_t{m.endSecond} - m.startSecond);
  } else {
    *p++ = ',';
  }
  *p++ = ',';
  p = PutText(p, ResultWord(m.result));
  for (int32_t v : {m.ownGames, m.opponentGames}) {
    *p++ = ',';
    p = WriteInt(p, v);
  }
  *p++ = ',';
  p = PutText(p, grade);
  for (int32_t v : {m.shownWins, m.shownLosses, m.rating, m.maxChain, m.disconnectRate}) {
    *p++ = ',';
    p = WriteInt(p, v);
  }
  return p;
}

// Appends `name` as a CSV field to `out`.
void AppendNameField(std::string_view name, std::string& out) {
  bool guarded =
      !name.empty() && std::string_view("=+-@\t\r").find(name[0]) != std::string_view::npos;
  if (name.find_first_of(",\"\r\n") == std::string_view::npos) {
    if (guarded) out += '\'';
    out += name;
    return;
  }
  out += '"';
  if (guarded) out += '\'';
  for (char c : name) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

// Name fields of the opponents met lately, a few thousand at most: most
// rows are of the regulars, and a table of every opponent's field would
// cost as much memory again as the book's own names.
class NameFields {
 public:
  std::string_view Of(const VsLogBook& book, uint32_t who) {
    Entry& entry = entries_[who % kEntries];
    if (entry.who != who) {
      entry.who = who;
      decoded_.clear();
      AppendShiftJisAsUtf8(book.opponents[who].name, decoded_);
      entry.field.clear();
      AppendNameField(decoded_, entry.field);
    }
    return entry.field;
  }

 private:
  static constexpr size_t kEntries = 4096;
  struct Entry {
    uint32_t who = UINT32_MAX;
    std::string field;
  };
  std::vector<Entry> entries_ = std::vector<Entry>(kEntries);
  std::string decoded_;
};

}  // namespace

std::string CsvNameField(std::string_view name) {
  std::string field;
  AppendNameField(name, field);
  return field;
}

Status WriteMatchCsv(const VsLogBook& book, FileSystem& fs, const std::string& path) {
  OutputFile w(fs, path);
  if (Status opened = w.Open(); !opened.ok()) return opened;
  std::vector<std::string> grades;
  for (int32_t g = 0; g <= kUnknownGrade; ++g) grades.push_back(ShiftJisToUtf8(GradeName(g)));
  w.Line(kHeader);
  // Each opponent's matches are in log order; the open order says whose
  // match came next.
  std::vector<const MatchRecord*> next;
  next.reserve(book.opponents.size());
  for (const OpponentRecord& o : book.opponents) next.push_back(o.matches.begin());
  NameFields names;
  DateText dates;
  const std::vector<uint32_t>& order = book.openOrder;
  for (size_t row = 0; row < order.size(); ++row) {
    if (row + kRowsAhead < order.size())
      PrefetchForRead(next[order[row + kRowsAhead]], sizeof(MatchRecord));
    uint32_t who = order[row];
    const MatchRecord& m = *next[who]++;
    size_t grade =
        m.grade >= 0 && m.grade < kUnknownGrade ? size_t(m.grade) : size_t(kUnknownGrade);
    std::string_view name = names.Of(book, who);
    char* p = PutText(w.Reserve(name.size() + kRowRoom), name);
    p = RowAfterName(p, dates.Of(m.day), grades[grade], m);
    *p++ = '\r';
    *p++ = '\n';
    w.Commit(p);
  }
  return w.Finish();
}

}  // namespace ledgerwise
