// The fast parser against the plain model of the grammar, on random logs
// built from the pieces that matter: phrases, grade words and tokens, time
// prefixes, parentheses, NUL, CR, LF, and lines long enough to be cut.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "log/log_parser.h"
#include "log/log_phrases.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/fuzz/reference_parser.h"

namespace ledgerwise {
namespace {

// The engine's output is fixed by the standard, so a seed replays anywhere.
struct Random : std::mt19937_64 {
  using std::mt19937_64::mt19937_64;
  size_t Below(size_t n) { return static_cast<size_t>((*this)() % n); }
};

std::string RandomLog(Random& random) {
  static const std::vector<std::string> kPieces = [] {
    // clang-format off
    std::vector<std::string> pieces = {
        "[21:05:10]", "[23:59:59]", "[00:00:01]", "[ab:cd:ef]", "(", "(", "name", " 12", "-7",
        "99999999999", "\r\n", "\r\n", "\n", "\r", std::string(1, '\0'), "\x1a", "\x82", "\xbd",
        "\x82\xbd", "\x82\x51", "\x82\x58", std::string(300, 'x'), std::string(1000, 'y')};
    // clang-format on
    for (std::string_view piece :
         {phrase::kMatchStart, phrase::kWin, phrase::kLoss, phrase::kReplaySaved,
          phrase::kSaveFailed, phrase::kError, phrase::kLogout, phrase::kDan, phrase::kKyu,
          phrase::kWinMark, phrase::kRating, phrase::kMaxChain, phrase::kDisconnectRate,
          phrase::kSho, phrase::kFullWidthTen,
          // Phrases cut short, so a phrase can be completed across pieces.
          phrase::kMatchStart.substr(0, 9), phrase::kMatchStart.substr(9)}) {
      pieces.emplace_back(piece);
    }
    for (const std::string& word : fuzz::reference::kGradeWords) pieces.emplace_back(word);
    return pieces;
  }();
  std::string log;
  size_t count = random.Below(200);
  for (size_t i = 0; i < count; ++i) log += kPieces[random.Below(kPieces.size())];
  return log;
}

TEST(ParserModelTest, AgreesWithThePlainModelOnRandomLogs) {
  Random random(20050504);
  const char* names[] = {"20050504.log", "20051339.log", "abc.log", "2005050x.log"};
  for (int round = 0; round < 3000; ++round) {
    VsLogBook fast;
    fuzz::reference::Book model;  // its own store, so a fault in the book shows too
    int files = 1 + static_cast<int>(random.Below(3));
    for (int f = 0; f < files; ++f) {
      std::string log = RandomLog(random);
      const char* name = names[random.Below(4)];
      fuzz::ReferenceParser(model, name).ReadFile(log);
      fuzz::FeedFile(fast, {name, log}, random.Below(1000));  // in pieces of random sizes
    }
    ASSERT_TRUE(fuzz::SameBook(fast, model)) << "round " << round;
  }
}

}  // namespace
}  // namespace ledgerwise
