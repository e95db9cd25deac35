// A slow, plain restatement of how log files are read, for the fuzzer and
// the model test to hold the real parser, field readers and record store
// against. It works on a whole file at once, can keep its own list of
// opponents, and writes out its own phrases, grade words and limits instead
// of taking the product's, so a wrong constant or a fast path that drifts
// from the rules shows up as a different book.
#ifndef LEDGERWISE_TESTS_FUZZ_REFERENCE_PARSER_H_
#define LEDGERWISE_TESTS_FUZZ_REFERENCE_PARSER_H_

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "log/records.h"
#include "tests/test_support.h"

namespace ledgerwise {
namespace fuzz {
namespace reference {

constexpr size_t kPiece = 1023;  // a 1024-byte line buffer's take
constexpr int32_t kNoGrade = 20;
// Written here in UTF-8, not taken from the product.
inline const std::string kMatchStart = testing::Sjis("対戦を開始しました");
inline const std::string kWin = testing::Sjis("勝ちました");
inline const std::string kLoss = testing::Sjis("負けました");
inline const std::string kSaved = testing::Sjis("リプレイをオートセーブしました");
inline const std::string kNotSaved =
    testing::Sjis("セーブファイルが多いため、セーブできませんでした");
inline const std::string kError = testing::Sjis("エラーが発生しました");
inline const std::string kLogout = testing::Sjis("ログアウトしました");
inline const std::string kDan = testing::Sjis("だん");
inline const std::string kKyu = testing::Sjis("きゅう");
inline const std::string kWinMark = testing::Sjis("勝");
inline const std::string kRating = testing::Sjis("レート");
inline const std::string kDisconnect = testing::Sjis("切断率");
inline const std::string kMaxChain = testing::Sjis("最大");
// The grade words from the lowest (１０きゅう, 0) to the highest (１０だん, 19).
inline const std::vector<std::string> kGradeWords = [] {
  std::vector<std::string> words;
  for (const char* word :
       {"１０きゅう", "９きゅう", "８きゅう", "７きゅう", "６きゅう", "５きゅう", "４きゅう",
        "３きゅう",   "２きゅう", "１きゅう", "しょだん", "２だん",   "３だん",   "４だん",
        "５だん",     "６だん",   "７だん",   "８だん",   "９だん",   "１０だん"}) {
    words.push_back(testing::Sjis(word));
  }
  return words;
}();

// A leading integer as strtoll reads it (C locale white space, a sign,
// digits), clamped to int32.
inline int32_t Integer(std::string_view text) {
  long long wide = std::strtoll(std::string(text).c_str(), nullptr, 10);
  return static_cast<int32_t>(wide > INT32_MAX ? INT32_MAX : wide < INT32_MIN ? INT32_MIN : wide);
}

inline bool Has(std::string_view text, std::string_view phrase) {
  return text.find(phrase) != std::string_view::npos;
}

inline bool Timed(std::string_view line) {
  return line.size() >= 10 && line[0] == '[' && line[9] == ']';
}

// The day of a file: "%04d%02d%02d" as sscanf reads the base name, then the
// day count from 1 January of year 1 (day 1), 0 for no date.
inline int32_t DayOf(std::string_view path) {
  size_t slash = path.find_last_of("/\\");
  std::string base(slash == std::string_view::npos ? path : path.substr(slash + 1));
  int y = 0, m = 0, d = 0;
  std::sscanf(base.c_str(), "%4d%2d%2d", &y, &m, &d);
  if (y == 0 || m == 0 || d == 0) return 0;
  if (m < 3) y -= 1, m += 12;
  return 365 * y + y / 4 - y / 100 + y / 400 + (m + 1) * 306 / 10 + d - 428;
}

// The figures of a match-start line, token by token with plain searches.
inline void StartFields(MatchRecord& m, std::string_view line) {
  if (!Timed(line)) return;
  m.startSecond = Integer(line.substr(1, 2)) * 3600 + Integer(line.substr(4, 2)) * 60 +
                  Integer(line.substr(7, 2));
  auto numberAfter = [&](std::string_view token, int32_t& out) {
    if (Has(line, token)) out = Integer(line.substr(line.find(token) + token.size()));
  };
  numberAfter(kRating, m.rating);
  numberAfter(kDisconnect, m.disconnectRate);
  numberAfter(kMaxChain, m.maxChain);
  size_t paren = line.rfind('(');
  if (paren == std::string_view::npos) return;
  std::string_view rest = line.substr(paren + 1);
  for (m.grade = 0; m.grade < kNoGrade && !Has(rest, kGradeWords[m.grade]);) ++m.grade;
  std::string_view word = Has(rest, kDan) ? kDan : kKyu;
  if (!Has(rest, word)) return;
  std::string_view wins = rest.substr(rest.find(word) + word.size());
  if (!Has(wins, kWinMark)) return;
  m.shownWins = Integer(wins);
  m.shownLosses = Integer(wins.substr(wins.find(kWinMark) + kWinMark.size()));
}

struct Opponent {
  std::string name;
  std::vector<MatchRecord> matches;
};

// Opponents in order of first appearance, found by a plain walk; the same
// members as the product's book, so either can take the reading.
struct Book {
  std::vector<Opponent> opponents;
  size_t current = SIZE_MAX;
  ParseState parseState = ParseState::Idle;

  MatchRecord& OpenMatch(const std::string& name) {
    for (current = 0; current < opponents.size() && opponents[current].name != name;) ++current;
    if (current == opponents.size()) opponents.push_back({name, {}});
    opponents[current].matches.emplace_back();
    return opponents[current].matches.back();
  }
  Opponent* currentOpponent() { return current == SIZE_MAX ? nullptr : &opponents[current]; }
};

}  // namespace reference

// Reads a file into a reference::Book (what the fuzzer holds the product
// against, so that a fault in the product's store shows too).
class ReferenceParser {
 public:
  ReferenceParser(reference::Book& book, std::string_view name)
      : book_(book), day_(reference::DayOf(name)) {}

  // Every CR LF becomes LF; each line is cut into pieces of kPiece bytes,
  // and a piece's text ends at its first NUL.
  void ReadFile(std::string_view content) {
    std::string folded;
    for (size_t i = 0; i < content.size(); ++i) {
      if (!(content[i] == '\r' && i + 1 < content.size() && content[i + 1] == '\n'))
        folded += content[i];
    }
    for (std::string_view rest = folded; !rest.empty();) {
      size_t lf = rest.find('\n');
      std::string_view line = rest.substr(0, lf);
      rest = lf == std::string_view::npos ? std::string_view() : rest.substr(lf + 1);
      for (; !line.empty(); line.remove_prefix(std::min(line.size(), reference::kPiece))) {
        std::string_view piece = line.substr(0, reference::kPiece);
        Piece(piece.substr(0, piece.find('\0')));
      }
    }
  }

 private:
  void Piece(std::string_view text) {
    using namespace reference;
    if (book_.parseState == ParseState::Idle) {
      if (!Has(text, kMatchStart)) return;
      size_t paren = text.rfind('(');
      if (Timed(text) && paren != std::string_view::npos) {
        lastName_ = paren < 10 ? std::string() : std::string(text.substr(10, paren - 10));
      }
      MatchRecord& m = book_.OpenMatch(lastName_);
      StartFields(m, text);
      m.day = day_;
      book_.parseState = ParseState::InMatch;
      return;
    }
    MatchRecord& m = book_.currentOpponent()->matches.back();
    bool won = Has(text, kWin);
    if (won || Has(text, kLoss)) {
      m.result = won ? MatchResult::Won : MatchResult::Lost;
      int32_t winner = m.gameCount == 2 || m.gameCount == 3 ? 2 : 0,
              loser = m.gameCount == 3 ? 1 : 0;
      m.ownGames = won ? winner : loser;
      m.opponentGames = won ? loser : winner;
      End(m, text);
    } else if (Has(text, kSaved) || Has(text, kNotSaved)) {
      ++m.gameCount;
    } else if (Has(text, kError) || Has(text, kLogout)) {
      m.result = MatchResult::Disconnected;
      End(m, text);
    }
  }

  void End(MatchRecord& m, std::string_view text) {
    MatchRecord clock;
    reference::StartFields(clock, text);
    if (reference::Timed(text)) m.endSecond = clock.startSecond;
    if (int64_t{m.endSecond} < m.startSecond) m.endSecond += 86400;
    book_.parseState = ParseState::Idle;
  }

  reference::Book& book_;
  int32_t day_;
  std::string lastName_;
};

// Thirteen int32 fields and nothing else, so the bytes are the fields.
static_assert(sizeof(MatchRecord) == 13 * sizeof(int32_t),
              "a new field of MatchRecord needs comparing");
inline bool SameMatch(const MatchRecord& a, const MatchRecord& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// The parser's whole output: opponents in order, their matches, the state
// and the opponent whose match was opened last (names are unique).
inline bool SameBook(VsLogBook& real, reference::Book& expected) {
  if (real.parseState != expected.parseState || real.opponents.size() != expected.opponents.size())
    return false;
  for (size_t i = 0; i < real.opponents.size(); ++i) {
    const auto& x = real.opponents[i];
    const auto& y = expected.opponents[i];
    if (x.name != y.name || x.matches.size() != y.matches.size()) return false;
    for (size_t j = 0; j < x.matches.size(); ++j) {
      if (!SameMatch(x.matches[j], y.matches[j])) return false;
    }
  }
  auto* a = real.currentOpponent();
  auto* b = expected.currentOpponent();
  return (a == nullptr) == (b == nullptr) && (a == nullptr || a->name == b->name);
}

}  // namespace fuzz
}  // namespace ledgerwise

#endif  // LEDGERWISE_TESTS_FUZZ_REFERENCE_PARSER_H_
