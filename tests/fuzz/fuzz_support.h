// Pieces shared by the fuzz targets and by the test that replays their
// findings: how an input turns into log files and feeding patterns, how two
// books are compared, and how a broken invariant stops the run.
//
// An input is one option byte, one fault byte, then up to kMaxFiles log
// files separated by kFileSeparator. Each file's first byte picks its name
// from kFileNames; the rest is its content. The separator is two bytes that
// Shift_JIS text never holds, so a real log pasted after the three leading
// bytes is a valid input.
#ifndef LEDGERWISE_TESTS_FUZZ_FUZZ_SUPPORT_H_
#define LEDGERWISE_TESTS_FUZZ_FUZZ_SUPPORT_H_

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "log/log_parser.h"
#include "log/records.h"

namespace ledgerwise {
namespace fuzz {

// A broken invariant must stop the fuzzer and leave the input behind, and
// must fail a replaying test even in a build without sanitizers.
[[noreturn]] inline void Fail(const char* what, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: invariant broken: %s\n", file, line, what);
  std::fflush(stderr);
  __builtin_trap();
}

#define LW_CHECK(condition) \
  ((condition) ? (void)0 : ::ledgerwise::fuzz::Fail(#condition, __FILE__, __LINE__))

constexpr std::string_view kFileSeparator = "\xff\xfe";
constexpr size_t kMaxFiles = 8;

// Names that reach every branch of the date reader: plain dates, dates that
// carry, no date, signs and blanks, paths with either separator.
constexpr std::string_view kFileNames[] = {
    "20050504.log",         "20050505.log",      "20051231.log",
    "20060101.log",         "abc.log",           "20051339.log",
    "00000000.log",         "-001-1-1.log",      "dir/20050504.log",
    "C:\\x\\20050506.LOG",  " 2005 5 4.log",     "99999999.log",
    "+2005+5+4.log",        "2005.log",          "200505.log",
    "20050230.log",
};
constexpr size_t kFileNameCount = sizeof kFileNames / sizeof kFileNames[0];

struct LogFile {
  std::string_view name;
  std::string_view content;
};

struct Input {
  uint8_t options = 0;
  uint8_t faults = 0;
  std::vector<LogFile> files;
};

inline Input SplitInput(const uint8_t* data, size_t size) {
  Input input;
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  if (!rest.empty()) {
    input.options = static_cast<uint8_t>(rest[0]);
    rest.remove_prefix(1);
  }
  if (!rest.empty()) {
    input.faults = static_cast<uint8_t>(rest[0]);
    rest.remove_prefix(1);
  }
  while (!rest.empty() || input.files.empty()) {
    size_t cut = input.files.size() + 1 < kMaxFiles ? rest.find(kFileSeparator)
                                                    : std::string_view::npos;
    std::string_view piece = rest.substr(0, cut);
    rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + kFileSeparator.size());
    LogFile file;
    file.name = kFileNames[piece.empty() ? 0 : static_cast<uint8_t>(piece[0]) % kFileNameCount];
    file.content = piece.empty() ? piece : piece.substr(1);
    input.files.push_back(file);
    if (cut == std::string_view::npos) break;
  }
  return input;
}

// Chunk sizes that come from the input, not from the clock, so a finding
// replays exactly. Sizes cluster around the places the parser cares about:
// empty feeds, single bytes (a CR and its LF apart) and the line-piece limit.
class ChunkSizes {
 public:
  explicit ChunkSizes(uint64_t seed) : state_(seed * 0x9e3779b97f4a7c15ULL + 1) {}
  size_t Next() {
    uint64_t r = Random();
    switch (r % 8) {
      case 0: return 0;
      case 1: return 1;
      case 2: return 2 + (r >> 8) % 6;
      case 3: return kMaxLinePiece - 2 + (r >> 8) % 5;
      case 4: return 1 + (r >> 8) % 4096;
      default: return 1 + (r >> 8) % 64;
    }
  }

 private:
  uint64_t Random() {  // splitmix64
    uint64_t z = (state_ += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
  }
  uint64_t state_;
};

// Feeds one file in pieces; seed 0 means a single piece, as a small file is
// read. Empty pieces point into the file, never at null, as a reader's
// buffer would.
inline void FeedFile(VsLogBook& book, const LogFile& file, uint64_t seed) {
  LogFileParser parser(book, file.name);
  if (seed == 0) {
    parser.Feed(file.content.data(), file.content.size());
  } else {
    ChunkSizes sizes(seed);
    size_t at = 0;
    while (at < file.content.size()) {
      size_t n = sizes.Next();
      if (n > file.content.size() - at) n = file.content.size() - at;
      parser.Feed(file.content.data() + at, n);
      at += n;
    }
  }
  parser.Finish();
}

inline bool SameMatch(const MatchRecord& a, const MatchRecord& b) {
  return a.grade == b.grade && a.shownWins == b.shownWins && a.shownLosses == b.shownLosses &&
         a.rating == b.rating && a.maxChain == b.maxChain &&
         a.disconnectRate == b.disconnectRate && a.result == b.result &&
         a.gameCount == b.gameCount && a.ownGames == b.ownGames &&
         a.opponentGames == b.opponentGames && a.day == b.day &&
         a.startSecond == b.startSecond && a.endSecond == b.endSecond;
}

// The parser's whole output: opponents, matches, state and the current match.
inline bool SameBook(VsLogBook& a, VsLogBook& b) {
  if (a.parseState != b.parseState || a.opponents.size() != b.opponents.size()) return false;
  for (size_t i = 0; i < a.opponents.size(); ++i) {
    const OpponentRecord& x = a.opponents[i];
    const OpponentRecord& y = b.opponents[i];
    if (x.name != y.name || x.matches.size() != y.matches.size()) return false;
    for (size_t j = 0; j < x.matches.size(); ++j) {
      if (!SameMatch(x.matches[j], y.matches[j])) return false;
    }
  }
  OpponentRecord* ca = a.currentOpponent();
  OpponentRecord* cb = b.currentOpponent();
  if ((ca == nullptr) != (cb == nullptr)) return false;
  // Names are unique, so the same name is the same opponent.
  return ca == nullptr || ca->name == cb->name;
}

// The invariants of any book the parser filled.
inline void CheckBookShape(VsLogBook& book) {
  if (book.parseState == ParseState::InMatch) LW_CHECK(book.currentMatch() != nullptr);
  LW_CHECK(book.parseState == ParseState::Idle || book.parseState == ParseState::InMatch);
  for (size_t i = 0; i < book.opponents.size(); ++i) {
    OpponentRecord& o = book.opponents[i];
    LW_CHECK(!o.matches.empty());
    // The index answers for every name, with the one opponent of that name.
    LW_CHECK(book.FindOpponent(o.name) == &o);
    for (const MatchRecord& m : o.matches) {
      LW_CHECK(m.grade >= 0 && m.grade <= kUnknownGrade);
      int32_t result = static_cast<int32_t>(m.result);
      LW_CHECK(result >= 0 && result <= 3);
      LW_CHECK(m.gameCount >= 0);
      if (m.result == MatchResult::Undecided || m.result == MatchResult::Disconnected) {
        LW_CHECK(m.ownGames == 0 && m.opponentGames == 0);
      } else {
        // Two games to the winner, one to the loser of a three-game match.
        LW_CHECK(m.ownGames >= 0 && m.ownGames <= 2 && m.opponentGames >= 0 && m.opponentGames <= 2);
        LW_CHECK((m.ownGames == 2) != (m.opponentGames == 2) || m.ownGames + m.opponentGames == 0);
        LW_CHECK((m.ownGames == 2) == (m.result == MatchResult::Won) || m.ownGames + m.opponentGames == 0);
      }
      if (m.result == MatchResult::Undecided) LW_CHECK(m.endSecond == 0);
    }
  }
  // The current opponent holds the match opened last, so with a match open
  // it is the one the next lines will finish.
  if (book.currentOpponent() != nullptr) LW_CHECK(!book.currentOpponent()->matches.empty());
}

// The fuzz entry points, callable from a test that replays kept inputs.
void RunParserCase(const uint8_t* data, size_t size);
void RunPipelineCase(const uint8_t* data, size_t size);

}  // namespace fuzz
}  // namespace ledgerwise

#endif  // LEDGERWISE_TESTS_FUZZ_FUZZ_SUPPORT_H_
