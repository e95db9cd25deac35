// The page lines that depend on the book, as bytes: Shift_JIS, each line
// ending in CR LF. The fixed lines are checked by the reference pages.
#include "sjis_pages/pages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "stats/statistics.h"
#include "tests/memory_env.h"
#include "tests/test_support.h"

namespace ledgerwise {
namespace {

using testing::Sjis;

constexpr int32_t kDay = 732070;  // Wednesday, 4 May 2005

class PageTest : public ::testing::Test {
 protected:
  std::string Page(Status (*writer)(const VsLogBook&, FileSystem&, const std::string&)) {
    testing::MemoryEnv env;
    EXPECT_TRUE(writer(book_, env, "page.html").ok());
    return env.files["page.html"];
  }
  MatchRecord& Add(std::string_view name) {
    return book_.OpenMatch(name) =
               MatchRecord{10, 120, 80, 980, 7, 3, MatchResult::Won, 3, 2, 1, kDay, 75910, 76210};
  }
  VsLogBook book_;
};

// The UTF-8 lines, as whole lines of the page.
void ExpectLines(const std::string& page, std::initializer_list<std::string_view> lines) {
  std::string block = "\r\n";
  for (std::string_view line : lines) block += Sjis(line) + "\r\n";
  EXPECT_NE(page.find(block), std::string::npos) << "lines not in the page:" << block;
}

// A value line of the personal and observation pages.
std::string Value(std::string_view text) {
  return "<tr><td bgColor=#b2c1dd><font color=#000000>" + std::string(text) + "</font></td></tr>";
}

TEST_F(PageTest, NamesAreEscapedWhereTheyEnterMarkup) {
  Add("A&B<C>\"D\"");
  Add("\x83\x5c\x95\x5c");  // ソ表: trail bytes in the ASCII range stay as they are
  ComputeStatistics(book_);
  const std::string name = "A&amp;B&lt;C&gt;&quot;D&quot;";
  std::string vslog = Page(WriteVsLogPage);
  ExpectLines(vslog, {"<A NAME=\"" + name + "\"></A>"});
  EXPECT_NE(vslog.find("<B>" + name + "</B>"), std::string::npos);
  EXPECT_NE(vslog.find("\r\n<A NAME=\"\x83\x5c\x95\x5c\"></A>\r\n"), std::string::npos);
  ExpectLines(Page(WriteRankingPage), {"    <TD><A href=\"vslog.html#" + name +
                                       "\" target=\"RIGHT_FRAME\">" + name + "</A></TD>"});
}

// The personal page's edge cases; its colours, signs, the previous rate,
// the place and the days of play are held by the reference pages.
TEST_F(PageTest, PersonalValues) {
  const std::pair<void (*)(VsStats&), std::string_view> cases[] = {
      // Every match recent: the rate rose from nothing.
      {[](VsStats& s) { s.matchCount = s.recentMatchCount = 16, s.wins = s.recentWins = 1; },
       "0.063</font><font color=#ff0000>(+0.063)"},
      // A fall of 0.0001 shows as none.
      {[](VsStats& s) { s.matchCount = 10000, s.wins = 5000, s.recentMatchCount = 2; },
       "0.500</font><font color=#606060>(±0.000)"},
      {[](VsStats& s) { s.playSeconds = 86399, s.recentPlaySeconds = 3725; },
       "23:59:59</font><font color=#ff0000>(+01:02:05)"},
      {[](VsStats& s) { s.playSeconds = 90061, s.recentPlaySeconds = -5; },
       "1日01:01:01</font><font color=#0000FF>(-00:00:00)"},
  };
  for (const auto& [set, line] : cases) {
    book_.stats = VsStats{};
    set(book_.stats);
    ExpectLines(Page(WritePersonalPage), {Value(line)});
  }
}

// Above 9 the mean grade reads in dan, from 9 down in kyu.
TEST_F(PageTest, ObservationMeanGrade) {
  for (auto [mean, text] : {std::pair<float, const char*>{9.0f, "1.0級"},
                            {9.6666667f, "0.7段"},
                            {0.0f, "10.0級"},
                            {19.0f, "10.0段"}}) {
    book_.stats.meanGrade = mean;
    ExpectLines(Page(WriteObservationPage), {Value(text)});
  }
}

// A match log row as bytes: the end time with its day dropped past
// midnight, the shown record and its rate, and the duration, zero for a
// negative span.
TEST_F(PageTest, MatchLogRow) {
  struct Case {
    int32_t wins, losses, start, end;
    const char* row;
  } cases[] = {
      {60, 40, 75910, 76210,
       "<TD>2005/05/04 (水) 21:10:10</TD>|<TD>60－40</TD>|<TD>0.600</TD>|<TD>00：05：00</TD>"},
      {0, 0, 86000, 86400 + 100,
       "<TD>2005/05/04 (水) 00:01:40</TD>|<TD>0－0</TD>|<TD>---</TD>|<TD>00：08：20</TD>"},
      {123456, 7, 3600, 3600 + 36061,
       "<TD>2005/05/04 (水) 11:01:01</TD>|<TD>123456－7</TD>|<TD>1.000</TD>|<TD>10：01：01</TD>"},
      {1, 2, 72000, 100,
       "<TD>2005/05/04 (水) 00:01:40</TD>|<TD>1－2</TD>|<TD>0.333</TD>|<TD>00：00：00</TD>"},
  };
  for (const Case& c : cases) {
    VsLogBook book;
    book.OpenMatch("a") = MatchRecord{10, c.wins, c.losses, 980,  7,       3,    MatchResult::Won,
                                      2,  2,      0,        kDay, c.start, c.end};
    testing::MemoryEnv env;
    ASSERT_TRUE(WriteVsLogPage(book, env, "vslog.html").ok());
    std::string cells[4];
    std::string_view row = c.row;
    for (std::string& cell : cells) {
      cell = "    " + std::string(row.substr(0, row.find('|')));
      row.remove_prefix(std::min(row.size(), cell.size() - 4 + 1));
    }
    ExpectLines(
        env.files["vslog.html"],
        {"  <TR class=a>", cells[0], "    <TD>初段</TD>", cells[1], cells[2], "    <TD>980</TD>",
         "    <TD>7</TD>", "    <TD>3</TD>", "    <TD>勝ち (2－0)</TD>", cells[3] + "</TR>"});
  }
}

TEST_F(PageTest, ALineLongerThanTheWriteBufferIsWrittenWhole) {
  std::string name(3 << 20, 'n');
  Add(name);
  Add("after");
  std::string page = Page(WriteVsLogPage);
  ExpectLines(page, {"<A NAME=\"" + name + "\"></A>"});
  ExpectLines(page, {"<A NAME=\"after\"></A>"});
}

}  // namespace
}  // namespace ledgerwise
