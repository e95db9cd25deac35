// The two UTF-8 files beside the pages: matches.csv as bytes, and the pieces
// dashboard.html is built from (JSON text, compact numbers). Its names are
// held against the browser's own decoding of every code in tests/browser.
#include <gtest/gtest.h>

#include <string>

#include "tests/memory_env.h"
#include "tests/test_support.h"
#include "utf8_outputs/compact_numbers.h"
#include "utf8_outputs/dashboard.h"
#include "utf8_outputs/json_text.h"
#include "utf8_outputs/match_csv.h"

namespace ledgerwise {
namespace {

using testing::LogText;
using testing::MemoryEnv;
using testing::ParseText;
using testing::Sjis;

// Opponent line: name, grade word and shown figures, then the start phrase.
std::string Start(std::string_view time, std::string_view name, std::string_view figures) {
  return std::string(time) + std::string(name) + "(" + std::string(figures) +
         ")と対戦を開始しました";
}

TEST(MatchCsv, EveryMatchInReadingOrderAsBytes) {
  VsLogBook book;
  // A file whose name gives no date.
  ParseText(book, "memo.log",
            LogText({Start("[08:00:05]", "@you", "１０きゅう 0勝0敗 レート0 切断率0%"),
                     "[08:04:05]@youさんに負けました"}));
  ParseText(book, "20050504.log",
            LogText({Start("[23:50:00]", "=1+2", "５だん 160勝40敗 レート1500 最大12連鎖 切断率3%"),
                     "[23:53:00]リプレイをオートセーブしました",
                     "[23:56:00]リプレイをオートセーブしました",
                     "[23:59:00]リプレイをオートセーブしました", "[00:01:10]=1+2さんに勝ちました",
                     Start("[00:02:00]", "a,\"b\"", "しょだん 1勝2敗 レート900 切断率0%"),
                     "[00:03:00]ログアウトしました",
                     Start("[00:04:00]", "=1+2", "４だん 161勝40敗 レート1490 最大9連鎖 切断率4%"),
                     "[00:08:00]リプレイをオートセーブしました",
                     "[00:09:00]リプレイをオートセーブしました", "[00:09:30]=1+2さんに負けました",
                     // No grade word, so no shown record read; no result line.
                     Start("[07:00:00]", "-ソ", "x 7勝0敗 レート1000 最大3連鎖 切断率1%")}));
  MemoryEnv env;
  ASSERT_TRUE(WriteMatchCsv(book, env, "matches.csv").ok());
  EXPECT_EQ(env.files["matches.csv"],
            "\xEF\xBB\xBFopponent,date,start,end,duration,result,own_games,opponent_games,grade,"
            "shown_wins,shown_losses,rating,max_chain,disconnect_rate\r\n"
            "'@you,,08:00:05,08:04:05,240,lost,0,0,十級,0,0,0,0,0\r\n"
            "'=1+2,2005-05-04,23:50:00,00:01:10,670,won,2,1,五段,160,40,1500,12,3\r\n"
            "\"a,\"\"b\"\"\",2005-05-04,00:02:00,00:03:00,60,disconnected,0,0,初段,1,2,900,0,0\r\n"
            "'=1+2,2005-05-04,00:04:00,00:09:30,330,lost,0,2,四段,161,40,1490,9,4\r\n"
            "'-ソ,2005-05-04,07:00:00,,,undecided,0,0,不明,0,0,1000,3,1\r\n");
}

// Rows name their opponents through a table of those lately met: the first
// and the 4097th opponent share a place in it, and each keeps its name.
TEST(MatchCsv, NamesOfManyOpponents) {
  std::string log;
  for (int n = 0; n < 4097 + 3; ++n) {
    int who = n < 4097 ? n : n == 4098 ? 4096 : 0;  // then 0, 4096, 0 again
    log += Sjis(Start("[00:00:00]", "n" + std::to_string(who), "しょだん 1勝1敗 レート1 切断率0%"));
    log += "\r\n" + Sjis("[00:00:01]ログアウトしました") + "\r\n";
  }
  VsLogBook book;
  ParseText(book, "20050504.log", log);
  MemoryEnv env;
  ASSERT_TRUE(WriteMatchCsv(book, env, "matches.csv").ok());
  const std::string& csv = env.files["matches.csv"];
  std::string rest = ",2005-05-04,00:00:00,00:00:01,1,disconnected,0,0,初段,1,1,1,0,0\r\n";
  std::string tail = "n4096" + rest + "n0" + rest + "n4096" + rest + "n0" + rest;
  EXPECT_EQ(csv.substr(csv.size() - tail.size()), tail);
}

TEST(MatchCsv, NameFields) {
  const std::pair<std::string_view, std::string_view> cases[] = {
      {"plain", "plain"},   {"+1", "'+1"},  {"\tx", "'\tx"}, {"\rx", "\"'\rx\""},
      {"a\nb", "\"a\nb\""}, {"x=1", "x=1"}, {"", ""},
  };
  for (const auto& [name, field] : cases) EXPECT_EQ(CsvNameField(name), field) << name;
}

TEST(DashboardData, JsonTextCannotLeaveItsScript) {
  std::string out;
  AppendJsonString(out, "</script><!--\"\\&\x01\xe2\x80\xa8\xe2\x80\xa9\xe2\x80\xa0é");
  EXPECT_EQ(out,
            "\"\\u003c/script\\u003e\\u003c!--\\u0022\\u005c\\u0026\\u0001\\u2028\\u2029"
            "\xe2\x80\xa0é\"");
}

TEST(DashboardData, CompactNumbers) {
  const std::pair<int64_t, std::string_view> cases[] = {
      {0, "0"},    {-1, "1"},       {1, "2"},
      {15, "U"},   {-16, "V"},      {16, "a1"},
      {-17, "b1"}, {86399, "-xi5"}, {-2147483648LL, "______3"},
  };
  for (const auto& [value, text] : cases) {
    std::string out;
    AppendCompact(out, value);
    EXPECT_EQ(out, text) << value;
  }
}

}  // namespace
}  // namespace ledgerwise
