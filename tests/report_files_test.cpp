// The two UTF-8 files beside the pages: matches.csv as bytes, and the pieces
// dashboard.html is built from (JSON text, compact numbers). Its names are
// held against the browser's own decoding of every code in tests/browser.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "stats/statistics.h"
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

TEST(DashboardData, JsonTextStaysInItsScriptAndInHtml) {
  // Quotes and backslashes for JSON; "<", ">", "&" so that nothing closes the
  // element or opens a comment; script line ends; every code point HTML
  // forbids in a document: controls, U+007F-U+009F, noncharacters; private
  // use and compatibility forms that normalization would replace.
  const std::pair<std::string_view, std::string_view> cases[] = {
      {"</script><!--", "\\u003c/script\\u003e\\u003c!--"},
      {"\"\\&\x01\x1f ~", "\\u0022\\u005c\\u0026\\u0001\\u001f ~"},
      {"\x7f\xc2\x80\xc2\x9f\xc2\xa0", "\\u007f\\u0080\\u009f\xc2\xa0"},
      {"\xe2\x80\xa8\xe2\x80\xa9\xe2\x80\xa0", "\\u2028\\u2029\xe2\x80\xa0"},
      {"\xef\xb7\x8f\xef\xb7\x90\xef\xb7\xaf\xef\xb7\xb0",
       "\xef\xb7\x8f\\ufdd0\\ufdef\xef\xb7\xb0"},
      {"\xef\xbf\xbd\xef\xbf\xbe\xef\xbf\xbf", "\xef\xbf\xbd\\ufffe\\uffff"},
      {"\xf0\x9f\xbf\xbe\xf4\x8f\xbf\xbf\xf0\x9f\x98\x80",
       "\\ud83f\\udffe\\udbff\\udfff\xf0\x9f\x98\x80"},
      {"\xee\x80\x80\xef\xa8\xa9\xe2\x84\xab\xe2\x84\xaa\xe2\x84\xa6",
       "\\ue000\\ufa29\\u212b\\u212a\\u2126"},
      {"観測者é", "観測者é"},
  };
  for (const auto& [text, json] : cases) {
    std::string out;
    AppendJsonString(out, text);
    EXPECT_EQ(out, "\"" + std::string(json) + "\"") << text;
  }
}

// The data block of a dashboard written into memory, CR LF kept.
std::string DataBlock(const VsLogBook& book, const DashboardLive* live) {
  MemoryEnv env;
  EXPECT_TRUE(WriteDashboard(book, env, "dashboard.html", live).ok());
  const std::string& page = env.files["dashboard.html"];
  size_t from = page.find("<script type=\"application/json\" id=\"lw-data\">\r\n");
  size_t to = page.find("</script>", from);
  if (from == std::string::npos || to == std::string::npos) return "no data block";
  from = page.find('\n', from) + 1;
  return page.substr(from, to - from);
}

TEST(DashboardData, BlockAsBytesOneShotAndLive) {
  VsLogBook book;
  ParseText(book, "20050504.log",
            LogText({Start("[10:00:00]", "ab", "３だん 140勝60敗 レート1500 最大7連鎖 切断率3%"),
                     "[10:02:00]リプレイをオートセーブしました",
                     "[10:03:00]リプレイをオートセーブしました", "[10:04:30]abさんに勝ちました",
                     Start("[11:00:00]", "ab", "４だん 141勝60敗 レート1510 最大7連鎖 切断率3%"),
                     "[11:01:00]ログアウトしました",
                     Start("[12:00:00]", "<c>", "x 1勝0敗 レート900 切断率0%")}));
  ComputeStatistics(book);
  const std::string rest =
      "\"rules\":{\"recentSeconds\":28800,\"rankedShown\":50,\"rankedOwnAbove\":50},\r\n"
      "\"grades\":[\"十級\",\"九級\",\"八級\",\"七級\",\"六級\",\"五級\",\"四級\","
      "\"三級\",\"二級\",\"一級\",\"初段\",\"二段\",\"三段\",\"四段\",\"五段\","
      "\"六段\",\"七段\",\"八段\",\"九段\",\"十段\",\"不明\"],\r\n"
      "\"names\":[\"ab\",\"\\u003cc\\u003e\"],\r\n"
      "\"matchCount\":3,\r\n"
      // Opponent 0 on day 732070 (4 May 2005) at 10:00:00, 270 s, won 2-0,
      // grade 12, max chain 7, disconnect rate 3, 140-60, 1500; its next
      // match an hour later as differences; then opponent 1's undecided
      // match without a grade word (20).
      "\"m\":[\"0mWvm1akg2YGI2OE6y8y3yZ200ab7y36220020K20ab7002i10000iy1\"]}\r\n";
  EXPECT_EQ(DataBlock(book, nullptr), "{" + rest);
  DashboardLive live{"g\"7"};
  EXPECT_EQ(DataBlock(book, &live), "{\"live\":{\"generation\":\"g\\u00227\"},\r\n" + rest);
}

TEST(DashboardData, LongBlocksCutIntoLinesBetweenNamesAndMatches) {
  // 20,000 opponents met once each: names and matches both run past one
  // line's worth; each match is twelve numbers, each number ends in one of
  // the first 32 letters.
  std::string log;
  for (int n = 0; n < 20000; ++n) {
    char line[160];
    std::snprintf(line, sizeof line, "[10:00:00]player_%05d__", n);
    log += Start(line, "", "３だん 140勝60敗 レート1500 最大7連鎖 切断率3%") + "\r\n";
    log += "[10:04:30]ログアウトしました\r\n";
  }
  VsLogBook book;
  ParseText(book, "20050504.log", Sjis(log));
  ASSERT_EQ(book.opponents.size(), 20000u);
  std::string block = DataBlock(book, nullptr);
  size_t matches = block.find("\"m\":["), names = 0, numbers = 0, nameLines = 0, matchLines = 0;
  for (size_t at = 0, end; at < block.size(); at = end + 2) {
    end = block.find("\r\n", at);
    std::string_view line(block.data() + at, end - at);
    EXPECT_LT(line.size(), 256u * 1024 + 100);
    if (at < matches) {
      nameLines += line.find("player_") != std::string_view::npos;
      for (size_t k = line.find("\"player_"); k != line.npos; k = line.find("\"player_", k + 1)) {
        ++names;
      }
      continue;
    }
    ++matchLines;
    EXPECT_TRUE(line.back() == ',' || line.substr(line.size() - 3) == "\"]}") << line.substr(0, 20);
    for (char c : line) numbers += (c >= '0' && c <= '9') || (c >= 'A' && c <= 'V') ? 1 : 0;
  }
  EXPECT_EQ(names, 20000u);
  EXPECT_GT(nameLines, 1u);
  EXPECT_GT(matchLines, 1u);
  EXPECT_EQ(numbers, 12u * 20000);
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
