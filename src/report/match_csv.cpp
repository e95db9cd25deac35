#include "report/match_csv.h"

#include <vector>

#include "log/calendar.h"
#include "log/labels.h"
#include "report/number_format.h"
#include "report/page_writer.h"
#include "report/sjis_decode.h"

namespace ledgerwise {

namespace {

constexpr std::string_view kHeader =
    "\xEF\xBB\xBF"
    "opponent,date,start,end,duration,result,own_games,opponent_games,grade,shown_wins,"
    "shown_losses,rating,max_chain,disconnect_rate";

std::string_view ResultWord(MatchResult result) {
  switch (result) {
    case MatchResult::Won: return "won";
    case MatchResult::Lost: return "lost";
    case MatchResult::Disconnected: return "disconnected";
    default: return "undecided";
  }
}

// A clock time as the match log shows it: the days part dropped.
void AppendClock(std::string& row, int64_t second) {
  SplitTime t = SplitSeconds(second);
  AppendPadded(row, t.hours, 2, '0');
  row += ':';
  AppendPadded(row, t.minutes, 2, '0');
  row += ':';
  AppendPadded(row, t.seconds, 2, '0');
}

void AppendDate(std::string& row, int32_t dayNumber) {
  if (dayNumber < 1) return;
  int32_t year, month, day;
  DateFromDayNumber(dayNumber, year, month, day);
  AppendPadded(row, year, 4, '0');
  row += '-';
  AppendPadded(row, month, 2, '0');
  row += '-';
  AppendPadded(row, day, 2, '0');
}

void AppendRow(std::string& row, const std::string& name, const std::string& grade,
               const MatchRecord& m) {
  row = name;
  row += ',';
  AppendDate(row, m.day);
  row += ',';
  AppendClock(row, m.startSecond);
  row += ',';
  if (m.result != MatchResult::Undecided) {
    AppendClock(row, m.endSecond);
    row += ',';
    AppendInt(row, int64_t{m.endSecond} - m.startSecond);
  } else {
    row += ',';
  }
  row += ',';
  row += ResultWord(m.result);
  for (int64_t v : {int64_t{m.ownGames}, int64_t{m.opponentGames}}) {
    row += ',';
    AppendInt(row, v);
  }
  row += ',';
  row += grade;
  for (int32_t v : {m.shownWins, m.shownLosses, m.rating, m.maxChain, m.disconnectRate}) {
    row += ',';
    AppendInt(row, v);
  }
}

}  // namespace

std::string CsvNameField(std::string_view name) {
  std::string field;
  if (!name.empty() && std::string_view("=+-@\t\r").find(name[0]) != std::string_view::npos) {
    field += '\'';
  }
  field += name;
  if (field.find_first_of(",\"\r\n") == std::string::npos) return field;
  std::string quoted = "\"";
  for (char c : field) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

int WriteMatchCsv(VsLogBook& book, FileSystem& fs, const std::string& path) {
  PageWriter w(book, fs, path);
  if (!w.Open()) return -1;
  std::vector<std::string> names;
  names.reserve(book.opponents.size());
  for (const OpponentRecord& o : book.opponents) names.push_back(CsvNameField(ShiftJisToUtf8(o.name)));
  std::vector<std::string> grades;
  for (int32_t g = 0; g <= kUnknownGrade; ++g) grades.push_back(ShiftJisToUtf8(GradeName(g)));
  w.Line(kHeader);
  // Each opponent's matches are in log order; the open order says whose
  // match came next.
  std::vector<size_t> next(book.opponents.size(), 0);
  std::string row;
  for (uint32_t who : book.openOrder) {
    const MatchRecord& m = book.opponents[who].matches[next[who]++];
    size_t grade = m.grade >= 0 && m.grade < kUnknownGrade ? size_t(m.grade) : size_t(kUnknownGrade);
    AppendRow(row, names[who], grades[grade], m);
    w.Line(row);
  }
  return w.Finish();
}

}  // namespace ledgerwise
