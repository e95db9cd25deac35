#include "tests/reference_parser.h"

#include <string>

#include "log/calendar.h"
#include "log/line_fields.h"
#include "log/log_parser.h"
#include "log/log_phrases.h"

namespace ledgerwise {
namespace testing {

namespace {

bool Has(std::string_view line, std::string_view phrase) {
  return line.find(phrase) != std::string_view::npos;
}

int32_t ReferenceGrade(std::string_view line) {
  std::string_view rest = line.substr(line.rfind('(') + 1);
  for (int32_t grade = 0; grade < kUnknownGrade; ++grade) {
    if (Has(rest, phrase::kGradeWords[grade])) return grade;
  }
  return kUnknownGrade;
}

class Reference {
 public:
  Reference(VsLogBook& book, std::string_view name) : book_(book) {
    int32_t y, m, d;
    DateFromFileName(name, y, m, d);
    day_ = DayNumberFromDate(y, m, d);
  }

  void Line(std::string_view line) {
    line = line.substr(0, line.find('\0'));
    if (book_.parseState == ParseState::Idle) {
      if (Has(line, phrase::kMatchStart)) Start(line);
      return;
    }
    MatchRecord& m = *book_.currentMatch();
    if (Has(line, phrase::kWin) || Has(line, phrase::kLoss)) {
      bool won = Has(line, phrase::kWin);
      m.result = won ? MatchResult::Won : MatchResult::Lost;
      int own = 0, theirs = 0;
      if (m.gameCount == 2) own = 2;
      if (m.gameCount == 3) own = 2, theirs = 1;
      m.ownGames = won ? own : theirs;
      m.opponentGames = won ? theirs : own;
      End(line);
    } else if (Has(line, phrase::kReplaySaved) || Has(line, phrase::kSaveFailed)) {
      ++m.gameCount;
    } else if (Has(line, phrase::kError) || Has(line, phrase::kLogout)) {
      m.result = MatchResult::Disconnected;
      End(line);
    }
  }

 private:
  void Start(std::string_view line) {
    bool prefix = line.size() >= 10 && line[0] == '[' && line[9] == ']';
    size_t paren = line.rfind('(');
    if (prefix && paren != std::string_view::npos) {
      name_ = paren >= 10 ? std::string(line.substr(10, paren - 10)) : std::string();
    }
    MatchRecord& m = book_.OpenMatch(name_);
    if (prefix) {
      SecondOfDay(line, m.startSecond);
      if (paren != std::string_view::npos) m.grade = ReferenceGrade(line);
      ShownRecordOf(line, m);
      RatingOf(line, m);
      DisconnectRateOf(line, m);
      MaxChainOf(line, m);
    }
    m.day = day_;
    book_.parseState = ParseState::InMatch;
  }

  void End(std::string_view line) {
    MatchRecord& m = *book_.currentMatch();
    SecondOfDay(line, m.endSecond);
    if (int64_t{m.endSecond} - m.startSecond < 0) m.endSecond += 86400;
    book_.parseState = ParseState::Idle;
  }

  VsLogBook& book_;
  int32_t day_ = 0;
  std::string name_;
};

}  // namespace

void ReferenceParse(VsLogBook& book, std::string_view fileName, std::string_view bytes) {
  // Fold every CR LF to LF, then take lines of at most 1023 bytes, as a
  // 1024-byte line buffer reads them.
  std::string folded;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
    folded += bytes[i];
  }
  Reference reference(book, fileName);
  size_t at = 0;
  while (at < folded.size()) {
    size_t lf = folded.find('\n', at);
    size_t lineEnd = lf == std::string::npos ? folded.size() : lf + 1;
    size_t take = std::min(lineEnd - at, kMaxLinePiece);
    reference.Line(std::string_view(folded).substr(at, take));
    at += take;
  }
}

bool SameBooks(const VsLogBook& a, const VsLogBook& b, std::string* difference) {
  auto differ = [&](const std::string& what) {
    *difference = what;
    return false;
  };
  if (a.parseState != b.parseState) return differ("parse state");
  if (a.opponents.size() != b.opponents.size()) {
    return differ("opponent count " + std::to_string(a.opponents.size()) + " vs " +
                  std::to_string(b.opponents.size()));
  }
  for (size_t i = 0; i < a.opponents.size(); ++i) {
    const OpponentRecord& x = a.opponents[i];
    const OpponentRecord& y = b.opponents[i];
    if (x.name != y.name) return differ("name of opponent " + std::to_string(i));
    if (x.matches.size() != y.matches.size()) return differ("match count of " + std::to_string(i));
    for (size_t j = 0; j < x.matches.size(); ++j) {
      const MatchRecord& m = x.matches[j];
      const MatchRecord& n = y.matches[j];
      const int32_t left[] = {m.grade, m.shownWins, m.shownLosses, m.rating, m.maxChain,
                              m.disconnectRate, static_cast<int32_t>(m.result), m.gameCount,
                              m.ownGames, m.opponentGames, m.day, m.startSecond, m.endSecond};
      const int32_t right[] = {n.grade, n.shownWins, n.shownLosses, n.rating, n.maxChain,
                               n.disconnectRate, static_cast<int32_t>(n.result), n.gameCount,
                               n.ownGames, n.opponentGames, n.day, n.startSecond, n.endSecond};
      for (int f = 0; f < 13; ++f) {
        if (left[f] != right[f]) {
          return differ("field " + std::to_string(f) + " of match " + std::to_string(j) +
                        " of opponent " + std::to_string(i) + ": " + std::to_string(left[f]) +
                        " vs " + std::to_string(right[f]));
        }
      }
    }
  }
  return true;
}

}  // namespace testing
}  // namespace ledgerwise
