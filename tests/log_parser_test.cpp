#include "log/log_parser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/test_support.h"

namespace ledgerwise {
namespace {

using testing::LogText;
using testing::ParseText;

constexpr const char kStart[] =
    "[21:05:10]とまと(２だん 123勝45敗 レート1500 最大12連鎖 切断率3%)と対戦を開始しました";
constexpr const char kSaved[] = "[21:07:00]リプレイをオートセーブしました";
constexpr int32_t kDay = 732070;  // 4 May 2005

const MatchRecord& OnlyMatch(const VsLogBook& book) {
  EXPECT_EQ(book.opponents.size(), 1u);
  EXPECT_EQ(book.opponents.at(0).matches.size(), 1u);
  return book.opponents.at(0).matches.at(0);
}

// A match from its start line to its end: the result, the games saved and
// the score they give, the end second. (Long lines, NUL, CR, the names and
// the lines met outside a match or inside an open one are held against the
// plain model in parser_model_test.cpp.)
TEST(ParserTest, Matches) {
  struct Case {
    std::vector<std::string_view> lines;
    MatchResult result;
    int32_t games, own, theirs, end;
  };
  const MatchResult kWon = MatchResult::Won, kLost = MatchResult::Lost;
  const MatchResult kCut = MatchResult::Disconnected;
  const int32_t k2109 = 21 * 3600 + 9 * 60 + 40;
  const Case cases[] = {
      {{kStart, kSaved, kSaved, "[21:09:40]とまとさんに勝ちました"}, kWon, 2, 2, 0, k2109},
      {{kStart, kSaved, "[21:08:00]セーブファイルが多いため、セーブできませんでした", kSaved,
        "[21:09:40]負けました"},
       kLost,
       3,
       1,
       2,
       k2109},
      {{kStart, kSaved, kSaved, kSaved, "[21:09:40]勝ちました"}, kWon, 3, 2, 1, k2109},
      {{kStart, kSaved, kSaved, kSaved, kSaved, "[21:09:40]勝ちました"}, kWon, 4, 0, 0, k2109},
      {{kStart, kSaved, kSaved, "[21:09:40]エラーが発生しました"}, kCut, 2, 0, 0, k2109},
      // Both phrases: a win.
      {{kStart, kSaved, kSaved, "[21:09:40]負けました勝ちました"}, kWon, 2, 2, 0, k2109},
      // An end without the time prefix reads 0, a day later unless the start was at 0.
      {{kStart, "とまとさんに勝ちました"}, kWon, 0, 0, 0, 86400},
      {{"[00:00:00]a(２だん)と対戦を開始しました", "負けました"}, kLost, 0, 0, 0, 0},
      {{kStart, kSaved, kSaved}, MatchResult::Undecided, 2, 0, 0, 0},
  };
  for (const Case& c : cases) {
    std::string text;
    for (std::string_view line : c.lines) text += LogText({line});
    VsLogBook book;
    ParseText(book, "20050504.log", text);
    const MatchRecord& m = OnlyMatch(book);
    std::vector<int32_t> figures = {m.gameCount, m.ownGames, m.opponentGames, m.endSecond, m.day};
    EXPECT_EQ(m.result, c.result) << c.lines.back();
    EXPECT_EQ(figures, (std::vector<int32_t>{c.games, c.own, c.theirs, c.end, kDay}))
        << c.lines.back();
    bool open = c.result == MatchResult::Undecided;
    EXPECT_EQ(book.parseState, open ? ParseState::InMatch : ParseState::Idle);
  }
}

// A file holding more pieces than a batch, read a little at a time as a
// slow disk gives it: taken batch by batch, every match arrives, and a start
// line without a name in a later batch still takes the file's last name.
TEST(LogFileReaderTest, TakesAFileLargerThanABatch) {
  struct SmallReads : LogSource {
    explicit SmallReads(std::string b) : bytes(std::move(b)) {}
    int64_t Read(char* buffer, size_t size) override {
      size_t n = bytes.copy(buffer, std::min<size_t>(size, 4096), at);
      at += n;
      return static_cast<int64_t>(n);
    }
    std::string bytes;
    size_t at = 0;
  };
  std::string log;
  for (int i = 0; i < 3000; ++i) {
    log += LogText({i % 2 ? kStart : "[21:05:10]なす(３だん 1勝1敗)と対戦を開始しました",
                    "[21:09:40]さんに勝ちました", "[22:00:00]と対戦を開始しました",
                    "[22:10:00]さんに負けました"});
  }
  SmallReads source(log);
  LogFileReader reader("20050504.log", &source);
  reader.ReadBatch();  // as a worker reads ahead
  VsLogBook book;
  ASSERT_TRUE(reader.TakeInto(book).ok());
  ASSERT_EQ(book.opponents.size(), 2u);
  EXPECT_EQ(book.opponents[0].matches.size(), 3000u);
  EXPECT_EQ(book.opponents[1].matches.size(), 3000u);
  EXPECT_EQ(book.opponents[1].matches.back().result, MatchResult::Lost);
}

}  // namespace
}  // namespace ledgerwise
