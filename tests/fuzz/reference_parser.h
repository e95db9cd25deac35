// A slow, plain restatement of how a log file is read, for the fuzzer to
// hold the real parser and field readers against. It works on a whole file
// at once and uses nothing of the parser's line handling or of the field
// readers, so a fast path that drifts from the rules shows up as a
// different book.
#ifndef LEDGERWISE_TESTS_FUZZ_REFERENCE_PARSER_H_
#define LEDGERWISE_TESTS_FUZZ_REFERENCE_PARSER_H_

#include <climits>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "log/calendar.h"
#include "log/log_parser.h"
#include "log/log_phrases.h"
#include "log/records.h"

namespace ledgerwise {
namespace fuzz {

// A leading integer as strtoll reads it (C locale white space, a sign,
// digits), clamped to int32.
inline int32_t ReferenceInteger(std::string_view text) {
  std::string copy(text);
  long long wide = std::strtoll(copy.c_str(), nullptr, 10);
  if (wide > INT32_MAX) return INT32_MAX;
  if (wide < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(wide);
}

// The figures of a match-start line, token by token with plain searches:
// each number follows the first occurrence of its token; the grade is the
// first word of the grade table (in table order) found after the last "(",
// and the shown record follows the first "だん" there (else "きゅう").
inline void ReferenceStartFields(MatchRecord& m, std::string_view line) {
  if (!(line.size() >= 10 && line[0] == '[' && line[9] == ']')) return;
  m.startSecond = ReferenceInteger(line.substr(1, 2)) * 3600 + ReferenceInteger(line.substr(4, 2)) * 60 +
                  ReferenceInteger(line.substr(7, 2));
  auto numberAfter = [&](std::string_view token, int32_t& out) {
    size_t at = line.find(token);
    if (at != std::string_view::npos) out = ReferenceInteger(line.substr(at + token.size()));
  };
  numberAfter(phrase::kRating, m.rating);
  numberAfter(phrase::kDisconnectRate, m.disconnectRate);
  numberAfter(phrase::kMaxChain, m.maxChain);
  size_t paren = line.rfind('(');
  if (paren == std::string_view::npos) return;
  std::string_view rest = line.substr(paren + 1);
  m.grade = kUnknownGrade;
  for (int32_t grade = 0; grade < kUnknownGrade; ++grade) {
    if (rest.find(phrase::kGradeWords[grade]) != std::string_view::npos) {
      m.grade = grade;
      break;
    }
  }
  std::string_view word = phrase::kDan;
  size_t at = rest.find(word);
  if (at == std::string_view::npos) {
    word = phrase::kKyu;
    at = rest.find(word);
  }
  if (at == std::string_view::npos) return;
  std::string_view wins = rest.substr(at + word.size());
  size_t mark = wins.find(phrase::kWinMark);
  if (mark == std::string_view::npos) return;
  m.shownWins = ReferenceInteger(wins);
  m.shownLosses = ReferenceInteger(wins.substr(mark + phrase::kWinMark.size()));
}

class ReferenceParser {
 public:
  ReferenceParser(VsLogBook& book, std::string_view name) : book_(book) {
    int32_t y, m, d;
    DateFromFileName(name, y, m, d);
    day_ = DayNumberFromDate(y, m, d);
  }

  void ReadFile(std::string_view content) {
    // Every CR LF becomes LF first; then the lines, each cut into pieces the
    // size of a 1024-byte line buffer's take.
    std::string folded;
    for (size_t i = 0; i < content.size(); ++i) {
      if (content[i] == '\r' && i + 1 < content.size() && content[i + 1] == '\n') continue;
      folded += content[i];
    }
    std::string_view rest = folded;
    while (!rest.empty()) {
      size_t lf = rest.find('\n');
      std::string_view line = rest.substr(0, lf);
      rest = lf == std::string_view::npos ? std::string_view() : rest.substr(lf + 1);
      while (!line.empty()) {
        std::string_view piece = line.substr(0, kMaxLinePiece);
        line.remove_prefix(piece.size());
        Piece(piece.substr(0, piece.find('\0')));
      }
    }
  }

 private:
  static bool Has(std::string_view text, std::string_view phrase) {
    return text.find(phrase) != std::string_view::npos;
  }

  void Piece(std::string_view text) {
    if (book_.parseState == ParseState::Idle) {
      if (!Has(text, phrase::kMatchStart)) return;
      if (text.size() >= 10 && text[0] == '[' && text[9] == ']') {
        size_t paren = text.rfind('(');
        if (paren != std::string_view::npos) {
          lastName_ = paren < 10 ? std::string() : std::string(text.substr(10, paren - 10));
        }
      }
      MatchRecord& m = book_.OpenMatch(lastName_);
      ReferenceStartFields(m, text);
      m.day = day_;
      book_.parseState = ParseState::InMatch;
      return;
    }
    MatchRecord& m = *book_.currentMatch();
    bool won = Has(text, phrase::kWin);
    if (won || Has(text, phrase::kLoss)) {
      m.result = won ? MatchResult::Won : MatchResult::Lost;
      int32_t winnerGames = m.gameCount == 2 || m.gameCount == 3 ? 2 : 0;
      int32_t loserGames = m.gameCount == 3 ? 1 : 0;
      m.ownGames = won ? winnerGames : loserGames;
      m.opponentGames = won ? loserGames : winnerGames;
      End(m, text);
    } else if (Has(text, phrase::kReplaySaved) || Has(text, phrase::kSaveFailed)) {
      ++m.gameCount;
    } else if (Has(text, phrase::kError) || Has(text, phrase::kLogout)) {
      m.result = MatchResult::Disconnected;
      End(m, text);
    }
  }

  void End(MatchRecord& m, std::string_view text) {
    if (text.size() >= 10 && text[0] == '[' && text[9] == ']') {
      MatchRecord clock;
      ReferenceStartFields(clock, text);
      m.endSecond = clock.startSecond;
    }
    if (int64_t{m.endSecond} < m.startSecond) m.endSecond += 86400;
    book_.parseState = ParseState::Idle;
  }

  VsLogBook& book_;
  int32_t day_ = 0;
  std::string lastName_;
};

}  // namespace fuzz
}  // namespace ledgerwise

#endif  // LEDGERWISE_TESTS_FUZZ_REFERENCE_PARSER_H_
