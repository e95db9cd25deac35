#include "log/log_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/sjis.h"
#include "tests/test_support.h"

namespace ledgerwise {
namespace {

using testing::LogText;
using testing::ParseText;
using testing::Sjis;

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
// the score they give, the end second.
TEST(ParserTest, Matches) {
  struct Case {
    std::vector<std::string_view> lines;
    MatchResult result;
    int32_t games, own, theirs, end;
  };
  const MatchResult kWon = MatchResult::Won, kLost = MatchResult::Lost;
  const int32_t k2109 = 21 * 3600 + 9 * 60 + 40;
  const Case cases[] = {
      {{kStart, kSaved, kSaved, "[21:09:40]とまとさんに勝ちました"}, kWon, 2, 2, 0, k2109},
      {{kStart, kSaved, "[21:08:00]セーブファイルが多いため、セーブできませんでした", kSaved, "[21:09:40]負けました"},
       kLost, 3, 1, 2, k2109},
      {{kStart, kSaved, kSaved, kSaved, "[21:09:40]勝ちました"}, kWon, 3, 2, 1, k2109},
      {{kStart, kSaved, kSaved, "[21:09:40]負けました"}, kLost, 2, 0, 2, k2109},
      {{kStart, kSaved, "[21:09:40]勝ちました"}, kWon, 1, 0, 0, k2109},
      {{kStart, kSaved, kSaved, kSaved, kSaved, "[21:09:40]勝ちました"}, kWon, 4, 0, 0, k2109},
      {{kStart, kSaved, kSaved, "[21:09:40]エラーが発生しました"}, MatchResult::Disconnected, 2, 0, 0, k2109},
      {{kStart, "[21:09:40]ログアウトしました"}, MatchResult::Disconnected, 0, 0, 0, k2109},
      {{kStart, kSaved, kSaved, "[21:09:40]負けました勝ちました"}, kWon, 2, 2, 0, k2109},  // both: a win
      // An end without the time prefix reads 0, a day later unless the start was at 0.
      {{kStart, "とまとさんに勝ちました"}, kWon, 0, 0, 0, 86400},
      {{"[00:00:00]a(２だん)と対戦を開始しました", "負けました"}, kLost, 0, 0, 0, 0},
      {{kStart, kSaved, kSaved}, MatchResult::Undecided, 2, 0, 0, 0},
      // An open match swallows later match starts.
      {{kStart, kSaved, "[21:20:00]ねこ(５きゅう)と対戦を開始しました", kSaved, "[21:25:00]勝ちました"},
       kWon, 2, 2, 0, 21 * 3600 + 25 * 60},
      // Result and save lines outside a match change nothing.
      {{kSaved, "[10:00:00]勝ちました", "[10:00:02]エラーが発生しました", kStart, "[21:09:40]負けました"},
       kLost, 0, 0, 0, k2109},
  };
  for (const Case& c : cases) {
    std::string text;
    for (std::string_view line : c.lines) text += LogText({line});
    VsLogBook book;
    ParseText(book, "20050504.log", text);
    const MatchRecord& m = OnlyMatch(book);
    std::vector<int32_t> figures = {m.gameCount, m.ownGames, m.opponentGames, m.endSecond, m.day};
    EXPECT_EQ(m.result, c.result) << c.lines.back();
    EXPECT_EQ(figures, (std::vector<int32_t>{c.games, c.own, c.theirs, c.end, kDay})) << c.lines.back();
    EXPECT_EQ(book.parseState, c.result == MatchResult::Undecided ? ParseState::InMatch : ParseState::Idle);
  }
}

TEST(ParserTest, NamesAreExactAndReusedWithinAFileOnly) {
  VsLogBook book;
  std::string text;
  // No "(" or no time prefix: the name of the file's last match start again.
  for (const char* start : {"[10:00:00]Taro(", "[10:00:00]taro(", "[10:00:00]Taro (", "[10:00:00]Ｔａｒｏ(",
                            "[10:00:00]", "対戦を開始しました ("}) {
    text += LogText({std::string(start) + "２だん)と対戦を開始しました", "[10:05:00]勝ちました"});
  }
  ParseText(book, "20050504.log", text);
  ASSERT_EQ(book.opponents.size(), 4u);
  EXPECT_EQ(book.opponents[3].name, Sjis("Ｔａｒｏ"));
  EXPECT_EQ(book.opponents[3].matches.size(), 3u);
  EXPECT_EQ(book.FindOpponent("Taro "), &book.opponents[2]);
  EXPECT_EQ(book.FindOpponent("TARO"), nullptr);
  // A new file has no name to reuse; an opponent met again keeps its record.
  ParseText(book, "20050505.log", LogText({"[10:00:00]対戦を開始しました", "[10:05:00]勝ちました"}));
  ParseText(book, "20050505-2.log", LogText({"[09:00:00]taro(３だん)と対戦を開始しました", "[09:05:00]勝ちました"}));
  ASSERT_EQ(book.opponents.size(), 5u);
  EXPECT_EQ(book.opponents[4].name, "");
  EXPECT_EQ(book.opponents[1].matches.at(1).grade, 12);
}

// Lines longer than the line buffer arrive as 1023-byte pieces; a phrase
// across a cut is lost, and a piece can carry its own time prefix.
TEST(ParserTest, LinePieces) {
  struct Case { std::string line; MatchResult result; int32_t end; };
  const Case cases[] = {
      {std::string(1400, 'x') + Sjis("勝ちました") + std::string(90, 'x'), MatchResult::Won, 86400},
      {std::string(1014, 'x') + Sjis("勝ちました"), MatchResult::Undecided, 0},
      {std::string(1023, 'x') + "[21:10:00]" + Sjis("負けました"), MatchResult::Lost, 76200},
  };
  for (const Case& c : cases) {
    VsLogBook book;
    ParseText(book, "20050504.log", LogText({kStart}) + c.line + "\r\n");
    EXPECT_EQ(OnlyMatch(book).result, c.result) << c.line.size();
    EXPECT_EQ(OnlyMatch(book).endSecond, c.end) << c.line.size();
  }
  std::string name(900, 'n');  // the whole line still fits one piece
  VsLogBook book;
  ParseText(book, "20050504.log", "[10:00:00]" + name + Sjis("(２だん)と対戦を開始しました"));
  EXPECT_EQ(book.opponents.at(0).name, name);
}

// NUL ends a line, 0x1A is an ordinary byte, a lone CR is part of the line,
// and the last line needs no line end.
TEST(ParserTest, LineBytes) {
  std::string nul(1, '\0');
  std::string text = "[21:00:00]a(" + nul + Sjis("２だん)と対戦を開始しました\r\n") + "\x1a\r\n" +
                     Sjis("[21:05:10]と\rまと(２だん)と対戦を開始しました\r\n[21:09:40]勝") + nul +
                     Sjis("ちました\r\n[21:10:00]負けました");
  VsLogBook book;
  ParseText(book, "20050504.log", text);
  EXPECT_EQ(book.opponents.at(0).name, Sjis("と\rまと"));
  EXPECT_EQ(OnlyMatch(book).result, MatchResult::Lost);
  VsLogBook named;
  ParseText(named, "20050504.log", Sjis("[21:00:00]ab(２だん)対戦を開始しました") + nul + "(x\r\n");
  EXPECT_EQ(named.opponents.at(0).name, "ab");
}

}  // namespace
}  // namespace ledgerwise
