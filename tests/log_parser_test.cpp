#include "log/log_parser.h"

#include <gtest/gtest.h>

#include "log/calendar.h"
#include "tests/sjis.h"
#include "tests/test_support.h"

namespace ledgerwise {
namespace {

using testing::LogText;
using testing::ParseText;
using testing::Sjis;

constexpr const char kStartTomato[] =
    "[21:05:10]とまと(２だん 123勝45敗 レート1500 最大12連鎖 切断率3%)と対戦を開始しました";
constexpr const char kSaved[] = "[21:07:00]リプレイをオートセーブしました";
constexpr const char kSaveFailed[] = "[21:08:00]セーブファイルが多いため、セーブできませんでした";

const MatchRecord& OnlyMatch(const VsLogBook& book) {
  EXPECT_EQ(book.opponents.size(), 1u);
  EXPECT_EQ(book.opponents[0].matches.size(), 1u);
  return book.opponents.at(0).matches.at(0);
}

TEST(ParserTest, ScoreFollowsTheGameCount) {
  struct Case {
    std::vector<std::string_view> saves;
    const char* result;
    MatchResult expected;
    int own, theirs;
  };
  const Case cases[] = {
      {{kSaved, kSaved}, "[21:09:40]とまとさんに勝ちました", MatchResult::Won, 2, 0},
      {{kSaved, kSaveFailed, kSaved}, "[21:09:40]とまとさんに負けました", MatchResult::Lost, 1, 2},
      {{kSaved, kSaved, kSaved}, "[21:09:40]とまとさんに勝ちました", MatchResult::Won, 2, 1},
      {{kSaved, kSaved}, "[21:09:40]とまとさんに負けました", MatchResult::Lost, 0, 2},
      {{kSaved}, "[21:09:40]とまとさんに勝ちました", MatchResult::Won, 0, 0},
      {{kSaved, kSaved, kSaved, kSaved}, "[21:09:40]負けました", MatchResult::Lost, 0, 0},
      {{kSaved, kSaved}, "[21:09:40]エラーが発生しました", MatchResult::Disconnected, 0, 0},
      {{kSaved, kSaved, kSaved}, "[21:09:40]ログアウトしました", MatchResult::Disconnected, 0, 0},
      // A line with both phrases counts as a win.
      {{kSaved, kSaved}, "[21:09:40]負けました勝ちました", MatchResult::Won, 2, 0},
  };
  for (const Case& c : cases) {
    std::string text = LogText({kStartTomato});
    for (std::string_view save : c.saves) text += LogText({save});
    text += LogText({c.result});
    VsLogBook book;
    ParseText(book, "20050504.log", text);
    const MatchRecord& m = OnlyMatch(book);
    EXPECT_EQ(m.result, c.expected) << c.result;
    EXPECT_EQ(m.gameCount, static_cast<int32_t>(c.saves.size()));
    EXPECT_EQ(m.ownGames, c.own) << c.result;
    EXPECT_EQ(m.opponentGames, c.theirs) << c.result;
    EXPECT_EQ(m.endSecond, 21 * 3600 + 9 * 60 + 40);
    EXPECT_EQ(m.day, DayNumberFromDate(2005, 5, 4));
    EXPECT_EQ(book.parseState, ParseState::Idle);
  }
}

TEST(ParserTest, ResultLinesOutsideAMatchChangeNothing) {
  VsLogBook book;
  ParseText(book, "20050504.log",
            LogText({kSaved, "[10:00:00]勝ちました", "[10:00:01]負けました",
                     "[10:00:02]エラーが発生しました", "[10:00:03]ログアウトしました"}));
  EXPECT_TRUE(book.opponents.empty());
  EXPECT_EQ(book.parseState, ParseState::Idle);
  ParseText(book, "20050505.log", LogText({kStartTomato, "[21:09:40]勝ちました"}));
  EXPECT_EQ(OnlyMatch(book).gameCount, 0);  // the earlier save was not counted
}

TEST(ParserTest, AnOpenMatchSwallowsLaterMatchStarts) {
  VsLogBook book;
  ParseText(book, "20050504.log",
            LogText({kStartTomato, kSaved,
                     "[21:20:00]ねこ(５きゅう 1勝1敗)と対戦を開始しました", kSaved,
                     "[21:25:00]ねこさんに勝ちました"}));
  const MatchRecord& m = OnlyMatch(book);  // no match for ねこ
  EXPECT_EQ(m.gameCount, 2);
  EXPECT_EQ(m.ownGames, 2);
}

TEST(ParserTest, AMatchCarriesIntoTheNextFileAndPastMidnight) {
  VsLogBook book;
  ParseText(book, "20050504.log",
            LogText({"[23:58:10]とまと(２だん 1勝1敗)と対戦を開始しました", kSaved}));
  EXPECT_EQ(book.parseState, ParseState::InMatch);
  ParseText(book, "20050505.log", LogText({"[00:01:00]リプレイをオートセーブしました",
                                           "[00:03:00]とまとさんに勝ちました"}));
  const MatchRecord& m = OnlyMatch(book);
  EXPECT_EQ(m.startSecond, 86290);
  EXPECT_EQ(m.endSecond, 180 + 86400);
  EXPECT_EQ(m.day, DayNumberFromDate(2005, 5, 4));  // the day the match started
  EXPECT_EQ(m.result, MatchResult::Won);
}

TEST(ParserTest, AnEndWithoutTimePrefix) {
  VsLogBook book;
  ParseText(book, "20050504.log", LogText({kStartTomato, "とまとさんに勝ちました"}));
  EXPECT_EQ(OnlyMatch(book).endSecond, 86400);  // 0 is before the start
  VsLogBook midnight;
  ParseText(midnight, "20050504.log",
            LogText({"[00:00:00]a(２だん 1勝1敗)と対戦を開始しました", "負けました"}));
  EXPECT_EQ(OnlyMatch(midnight).endSecond, 0);
}

TEST(ParserTest, AMatchStillOpenAfterTheLastFile) {
  VsLogBook book;
  ParseText(book, "20050504.log", LogText({kStartTomato, kSaved, kSaved}));
  const MatchRecord& m = OnlyMatch(book);
  EXPECT_EQ(m.result, MatchResult::Undecided);
  EXPECT_EQ(m.gameCount, 2);
  EXPECT_EQ(m.ownGames + m.opponentGames + m.endSecond, 0);
}

TEST(ParserTest, NamesAreExactAndReusedWithinAFileOnly) {
  VsLogBook book;
  ParseText(book, "20050504.log",
            LogText({"[10:00:00]Taro(２だん 1勝1敗)と対戦を開始しました", "[10:05:00]勝ちました",
                     "[10:10:00]taro(２だん 1勝1敗)と対戦を開始しました", "[10:15:00]勝ちました",
                     "[10:20:00]Taro (２だん 1勝1敗)と対戦を開始しました", "[10:25:00]勝ちました",
                     "[10:30:00]Ｔａｒｏ(２だん 1勝1敗)と対戦を開始しました", "[10:35:00]勝ちました",
                     // No "(": the name of the file's last match start is used again.
                     "[10:40:00]対戦を開始しました", "[10:45:00]勝ちました",
                     "対戦を開始しました (２だん)", "[10:55:00]勝ちました"}));
  ASSERT_EQ(book.opponents.size(), 4u);
  EXPECT_EQ(book.opponents[0].name, "Taro");
  EXPECT_EQ(book.opponents[1].name, "taro");
  EXPECT_EQ(book.opponents[2].name, "Taro ");
  EXPECT_EQ(book.opponents[3].name, Sjis("Ｔａｒｏ"));
  EXPECT_EQ(book.opponents[3].matches.size(), 3u);
  // A new file starts with no name to reuse: its match goes under the empty name.
  ParseText(book, "20050505.log", LogText({"[10:00:00]対戦を開始しました", "[10:05:00]勝ちました"}));
  ASSERT_EQ(book.opponents.size(), 5u);
  EXPECT_EQ(book.opponents[4].name, "");
  // An opponent met in several files keeps one record, matches in reading order.
  ParseText(book, "20050506.log",
            LogText({"[09:00:00]Taro(３だん 2勝1敗)と対戦を開始しました", "[09:05:00]勝ちました"}));
  ASSERT_EQ(book.opponents[0].matches.size(), 2u);
  EXPECT_EQ(book.opponents[0].matches[1].grade, 12);
  EXPECT_EQ(book.FindOpponent("Taro"), &book.opponents[0]);
  EXPECT_EQ(book.FindOpponent("TARO"), nullptr);
}

TEST(ParserTest, LongNamesStayWhole) {
  std::string name(900, 'n');  // the whole line still fits one piece
  std::string line = "[10:00:00]" + name + "(" + Sjis("２だん 1勝1敗)と対戦を開始しました") + "\r\n";
  VsLogBook book;
  ParseText(book, "20050504.log", line);
  ASSERT_EQ(book.opponents.size(), 1u);
  EXPECT_EQ(book.opponents[0].name, name);
}

TEST(ParserTest, SameContentReadTwiceCountsTwice) {
  std::string text = LogText({kStartTomato, kSaved, kSaved, "[21:09:40]勝ちました"});
  VsLogBook book;
  ParseText(book, "20050504.log", text);
  ParseText(book, "20050504-2.log", text);
  ASSERT_EQ(book.opponents.size(), 1u);
  EXPECT_EQ(book.opponents[0].matches.size(), 2u);
}

// Lines longer than the line buffer arrive as 1023-byte pieces.
TEST(LinePiecesTest, ALongLineIsCutAndAPhraseAcrossTheCutIsLost) {
  std::string start = Sjis(kStartTomato) + "\r\n";
  // 1500 bytes: the win phrase lies whole inside the second piece.
  std::string winLate = std::string(1400, 'x') + Sjis("勝ちました") + std::string(90, 'x');
  VsLogBook book;
  ParseText(book, "20050504.log", start + winLate + "\r\n");
  EXPECT_EQ(OnlyMatch(book).result, MatchResult::Won);
  EXPECT_EQ(OnlyMatch(book).endSecond, 86400);  // the second piece has no prefix

  // The phrase straddles byte 1023: neither piece holds it.
  std::string straddle = std::string(1019, 'x') + Sjis("勝ちました") + "\r\n";
  VsLogBook cut;
  ParseText(cut, "20050504.log", start + straddle);
  EXPECT_EQ(OnlyMatch(cut).result, MatchResult::Undecided);
}

TEST(LinePiecesTest, ACutPieceCanCarryATimePrefix) {
  // The second piece starts with a prefix: it ends the match at its second.
  std::string line = std::string(1023, 'x') + "[21:10:00]" + Sjis("勝ちました");
  VsLogBook book;
  ParseText(book, "20050504.log", Sjis(kStartTomato) + "\r\n" + line + "\r\n");
  EXPECT_EQ(OnlyMatch(book).endSecond, 21 * 3600 + 10 * 60);
}

TEST(LinePiecesTest, ChunkBoundariesDoNotMatter) {
  std::string text = LogText({kStartTomato, kSaved, kSaveFailed, "[21:09:40]負けました",
                              "[22:00:00]ねこ(５きゅう 10勝20敗 最大3)と対戦を開始しました"});
  text += std::string(3000, 'y') + "\r\r\n" + std::string(1023, 'z') + "\r\n";
  text += LogText({"[22:05:00]ログアウトしました"});
  VsLogBook whole;
  ParseText(whole, "20050504.log", text);
  for (size_t chunk : {1u, 2u, 3u, 7u, 1023u, 1024u}) {
    VsLogBook book;
    LogFileParser parser(book, "20050504.log");
    for (size_t at = 0; at < text.size(); at += chunk) {
      parser.Feed(text.data() + at, std::min(chunk, text.size() - at));
    }
    parser.Finish();
    ASSERT_EQ(book.opponents.size(), 2u) << chunk;
    for (size_t i = 0; i < 2; ++i) {
      const MatchRecord& a = whole.opponents[i].matches.at(0);
      const MatchRecord& b = book.opponents[i].matches.at(0);
      EXPECT_EQ(a.result, b.result) << chunk;
      EXPECT_EQ(a.gameCount, b.gameCount) << chunk;
      EXPECT_EQ(a.endSecond, b.endSecond) << chunk;
      EXPECT_EQ(a.maxChain, b.maxChain) << chunk;
    }
  }
}

TEST(LineBytesTest, NulEndsALineAnd1AIsOrdinary) {
  std::string start = Sjis(kStartTomato);
  // The phrase after a NUL is not seen.
  std::string hidden = "[21:00:00]a(" + std::string(1, '\0') + Sjis("２だん 1勝1敗)と対戦を開始しました");
  // 0x1A is an ordinary byte: the lines after it are still read.
  std::string text = hidden + "\r\n\x1a\r\n" + start + "\r\n" + "[21:09:40]" +
                     Sjis("勝") + std::string(1, '\0') + Sjis("ちました") + "\r\n" +
                     "[21:10:00]" + Sjis("負けました") + "\r\n";
  VsLogBook book;
  ParseText(book, "20050504.log", text);
  const MatchRecord& m = OnlyMatch(book);
  EXPECT_EQ(book.opponents[0].name, Sjis("とまと"));
  EXPECT_EQ(m.result, MatchResult::Lost);  // the split win phrase did not count
  // The name ends at a NUL too, though the phrase stands before it.
  VsLogBook named;
  ParseText(named, "20050504.log",
            Sjis("[21:00:00]ab(２だん)対戦を開始しました") + std::string(1, '\0') + "(x\r\n");
  EXPECT_EQ(named.opponents.at(0).name, "ab");
}

TEST(LineBytesTest, LoneCrStaysAndCrLfFolds) {
  // A lone CR is part of the name; CR LF is a line end.
  VsLogBook book;
  ParseText(book, "20050504.log", "[10:00:00]a\rb(" + Sjis("２だん)と対戦を開始しました") + "\r\n");
  EXPECT_EQ(book.opponents.at(0).name, "a\rb");
  // The last line needs no line end.
  VsLogBook last;
  ParseText(last, "20050504.log", Sjis(kStartTomato) + "\r\n" + Sjis("[21:09:40]勝ちました"));
  EXPECT_EQ(OnlyMatch(last).result, MatchResult::Won);
}

}  // namespace
}  // namespace ledgerwise
