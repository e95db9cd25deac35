#include "report/pages.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/env.h"
#include "log/calendar.h"
#include "stats/statistics.h"
#include "tests/sjis.h"
#include "tests/test_support.h"

namespace ledgerwise {
namespace {

using testing::PageLines;
using testing::ReadFile;
using testing::Sjis;

constexpr int32_t kDay = 732070;  // Wednesday, 4 May 2005

// Writes one page of the book into a scratch folder and reads its bytes.
class PageTest : public ::testing::Test {
 protected:
  std::string Write(int (*writer)(VsLogBook&, FileSystem&, const std::string&)) {
    std::string path = folder_.File("page.html");
    EXPECT_EQ(writer(book_, *fs_, path), 0) << book_.GetErrorText();
    return ReadFile(path);
  }
  std::vector<std::string> Lines(int (*writer)(VsLogBook&, FileSystem&, const std::string&)) {
    return PageLines(Write(writer));
  }

  testing::ScratchFolder folder_;
  std::unique_ptr<FileSystem> fs_ = platform::NewEnv();
  VsLogBook book_;
};

void ExpectCrLfOnly(const std::string& page) {
  ASSERT_GE(page.size(), 2u);
  EXPECT_NE(page.substr(0, 3), "\xef\xbb\xbf");  // no byte-order mark
  EXPECT_EQ(page.substr(page.size() - 2), "\r\n");
  for (size_t i = 0; i < page.size(); ++i) {
    if (page[i] == '\n') {
      ASSERT_TRUE(i > 0 && page[i - 1] == '\r') << "bare LF at " << i;
    }
    if (page[i] == '\r') {
      ASSERT_TRUE(i + 1 < page.size() && page[i + 1] == '\n') << "bare CR at " << i;
    }
  }
}

MatchRecord& AddMatch(VsLogBook& book, std::string_view name) {
  MatchRecord& m = book.OpenMatch(name);
  m.day = kDay;
  m.startSecond = 21 * 3600 + 5 * 60 + 10;
  m.endSecond = m.startSecond + 300;
  m.grade = 10;
  m.shownWins = 120;
  m.shownLosses = 80;
  m.rating = 980;
  m.maxChain = 7;
  m.disconnectRate = 3;
  m.result = MatchResult::Won;
  m.gameCount = 3;
  m.ownGames = 2;
  m.opponentGames = 1;
  return m;
}

TEST_F(PageTest, EveryPageEndsEveryLineInCrLf) {
  AddMatch(book_, "a");
  ComputeStatistics(book_);
  for (auto writer : {WriteIndexPage, WritePersonalPage, WriteObservationPage, WriteRankingPage,
                      WriteVsLogPage}) {
    ExpectCrLfOnly(Write(writer));
  }
  std::string path = folder_.File("menu.html");
  ASSERT_EQ(WriteMenuPage(book_, *fs_, path, LocalTime{2026, 3, 2, 9, 5, 3}), 0);
  std::string menu = ReadFile(path);
  ExpectCrLfOnly(menu);
  std::vector<std::string> lines = PageLines(menu);
  ASSERT_EQ(lines.size(), 35u);
  EXPECT_EQ(lines[30], Sjis("更新日時:2026-03-02 09:05:03"));
  EXPECT_EQ(lines[31], "<P align=right>Powered by Ledgerwise Ver 1.0.4(2005/05/04)</P>");
  EXPECT_EQ(lines[16], Sjis("\t\t\t<TR><TD><P><FONT size=2>　　<A href=\"./personal.html\" "
                            "target=RIGHT_FRAME>個人戦績</A></FONT></P></TD></TR>"));
  EXPECT_EQ(lines[25], "<TD>");
  EXPECT_EQ(lines[33], "</font>");
}

TEST_F(PageTest, IndexIsTheSameWhateverTheBookHolds) {
  std::string empty = Write(WriteIndexPage);
  AddMatch(book_, "a");
  EXPECT_EQ(Write(WriteIndexPage), empty);
  std::vector<std::string> lines = PageLines(empty);
  ASSERT_EQ(lines.size(), 14u);
  EXPECT_EQ(lines[4], Sjis("<title>Brumbel対戦ログ分析</title>"));
  EXPECT_EQ(lines[8], "<FRAME name=LEFT_FRAME src=\"./menu.html\">");
}

TEST_F(PageTest, CommonHeadIs57LinesOr60WithTheRankingRule) {
  std::vector<std::string> personal = Lines(WritePersonalPage);
  std::vector<std::string> ranking = Lines(WriteRankingPage);
  EXPECT_EQ(personal[56], "");
  EXPECT_EQ(personal[57], "<TABLE cellSpacing=0 cellPadding=0 width=382 align=center><tbody>");
  EXPECT_EQ(ranking[59], "");
  EXPECT_EQ(ranking[60], "<TABLE align=center>");
  EXPECT_EQ(ranking[33], "\t\tTR.c {");
  EXPECT_EQ(personal[5], Sjis("\t<title>個人戦績</title>"));
  EXPECT_EQ(personal[34], "\t\t\tFONT-SIZE: 80%; COLOR: #ff0000");
  EXPECT_EQ(personal[42], "\t\t--> ");
  EXPECT_EQ(personal[46], "<body bgcolor=\"#002567\" text=\"#FFFFFF\" link=\"#ff6e00\" "
                          "vlink=\"#ff6e00\" alink=\"#ff6e00\">");
  EXPECT_EQ(personal[48], "<BODY text=white vLink=#ff6e00 aLink=#ff6e00 link=#ff6e00 bgColor=#002567>");
  // The ranking page's head is the others' plus the three TR.c lines.
  std::vector<std::string> withoutRule(ranking.begin(), ranking.begin() + 60);
  withoutRule.erase(withoutRule.begin() + 33, withoutRule.begin() + 36);
  std::vector<std::string> head(personal.begin(), personal.begin() + 57);
  for (size_t i = 0; i < head.size(); ++i) {
    if (i == 5 || i == 51) continue;  // the title lines
    EXPECT_EQ(head[i], withoutRule[i]) << i;
  }
}

TEST_F(PageTest, TheWorkedMatchRow) {
  AddMatch(book_, Sjis("とまと"));
  std::vector<std::string> lines = Lines(WriteVsLogPage);
  ASSERT_EQ(lines.size(), 57u + 15 + 10 + 5 + 1);
  EXPECT_EQ(lines[57], Sjis("<A NAME=\"とまと\"></A>"));
  const char* expected[] = {
      "  <TR class=a>",
      "    <TD>2005/05/04 (水) 21:10:10</TD>",
      "    <TD>初段</TD>",
      "    <TD>120－80</TD>",
      "    <TD>0.600</TD>",
      "    <TD>980</TD>",
      "    <TD>7</TD>",
      "    <TD>3</TD>",
      "    <TD>勝ち (2－1)</TD>",
      "    <TD>00：05：00</TD></TR>",
  };
  for (size_t i = 0; i < 10; ++i) EXPECT_EQ(lines[72 + i], Sjis(expected[i])) << i;
  EXPECT_EQ(lines[82], "<tr><td bgColor=#002567>&nbsp</td></tr>");
  EXPECT_EQ(lines.back(), "</BODY></HTML>");
}

TEST_F(PageTest, MatchRowsOfOddMatches) {
  MatchRecord& open = AddMatch(book_, "a");
  open.result = MatchResult::Undecided;
  open.endSecond = 0;
  open.ownGames = open.opponentGames = 0;
  open.maxChain = 0;
  open.shownWins = open.shownLosses = 0;
  open.grade = kUnknownGrade;
  MatchRecord& late = AddMatch(book_, "a");
  late.startSecond = 23 * 3600 + 59 * 60 + 30;
  late.endSecond = 86400 + 70;
  late.result = MatchResult::Disconnected;
  late.ownGames = late.opponentGames = 0;
  late.day = 0;
  std::vector<std::string> lines = Lines(WriteVsLogPage);
  EXPECT_EQ(lines[73], Sjis("    <TD>2005/05/04 (水) 00:00:00</TD>"));
  EXPECT_EQ(lines[74], Sjis("    <TD>不明</TD>"));
  EXPECT_EQ(lines[75], Sjis("    <TD>0－0</TD>"));
  EXPECT_EQ(lines[76], "    <TD>---</TD>");
  EXPECT_EQ(lines[77], "    <TD>---</TD>");
  EXPECT_EQ(lines[79], "    <TD>---</TD>");
  EXPECT_EQ(lines[80], Sjis("    <TD> (0－0)</TD>"));
  EXPECT_EQ(lines[81], Sjis("    <TD>00：00：00</TD></TR>"));
  EXPECT_EQ(lines[82], "  <TR class=b>");
  EXPECT_EQ(lines[83], Sjis("    <TD>0/00/00 (日) 00:01:10</TD>"));
  EXPECT_EQ(lines[90], Sjis("    <TD>切断 (0－0)</TD>"));
  EXPECT_EQ(lines[91], Sjis("    <TD>00：01：40</TD></TR>"));
}

TEST_F(PageTest, NamesAreEscapedAndLinksMatchAnchors) {
  std::string name = "A&B<C>\"D\"";
  MatchRecord& m = AddMatch(book_, name);
  m.shownWins = 30;
  m.shownLosses = 20;
  ComputeStatistics(book_);
  std::vector<std::string> vslog = Lines(WriteVsLogPage);
  std::string escaped = "A&amp;B&lt;C&gt;&quot;D&quot;";
  EXPECT_EQ(vslog[57], "<A NAME=\"" + escaped + "\"></A>");
  EXPECT_NE(vslog[60].find("<B>" + escaped + "</B>"), std::string::npos);
  std::vector<std::string> ranking = Lines(WriteRankingPage);
  EXPECT_EQ(ranking[74], "    <TD><A href=\"vslog.html#" + escaped + "\" target=\"RIGHT_FRAME\">" +
                             escaped + "</A></TD>");
  // Shift_JIS trail bytes in the ASCII range are left alone.
  VsLogBook kana;
  const std::string trailBackslashes = "\x83\x5c\x95\x5c";  // ソ表
  AddMatch(kana, trailBackslashes);
  std::string path = folder_.File("v.html");
  ASSERT_EQ(WriteVsLogPage(kana, *fs_, path), 0);
  EXPECT_EQ(PageLines(ReadFile(path))[57], "<A NAME=\"" + trailBackslashes + "\"></A>");
}

TEST_F(PageTest, RankingRowsFollowThePlaces) {
  for (auto [name, wins] : {std::pair<const char*, int>{"a", 70}, {"b", 60}, {"c", 40}}) {
    MatchRecord& m = AddMatch(book_, name);
    m.shownWins = wins;
    m.shownLosses = 100 - wins;
    m.day = 1;
  }
  book_.opponents[0].matches[0].rating = 0;  // "---" for a zero rating alone
  ComputeStatistics(book_);
  book_.stats.ownRanked = true;
  book_.stats.ownWinRate = 0.5f;
  book_.stats.wins = 1234;
  book_.stats.losses = 567;
  AssignRankPositions(book_);
  std::vector<std::string> lines = Lines(WriteRankingPage);
  ASSERT_EQ(lines.size(), 60u + 12 + 4 * 9 + 3);
  const char* classes[] = {"  <TR class=a>", "  <TR class=b>", "  <TR class=c>", "  <TR class=b>"};
  for (int row = 0; row < 4; ++row) {
    EXPECT_EQ(lines[72 + row * 9], classes[row]);
    EXPECT_EQ(lines[73 + row * 9], "    <TD>" + std::to_string(row + 1) + "</TD>");
  }
  EXPECT_EQ(lines[78], "    <TD>---</TD>");  // a's rating
  EXPECT_EQ(lines[79], "    <TD>7</TD>");    // a's max chain
  EXPECT_EQ(lines[75], Sjis("    <TD>初段</TD>"));
  EXPECT_EQ(lines[76], Sjis("    <TD>70－30</TD>"));
  EXPECT_EQ(lines[77], "    <TD>0.700</TD>");
  EXPECT_EQ(lines[92], Sjis("    <TD>自分</TD>"));
  EXPECT_EQ(lines[93], Sjis("    <TD>不明</TD>"));
  EXPECT_EQ(lines[94], Sjis("    <TD>1234－567</TD>"));
  EXPECT_EQ(lines[95], "    <TD>0.500</TD>");
  EXPECT_EQ(lines[96], "    <TD>---</TD>");
  EXPECT_EQ(lines.back(), "</DIV></BODY></HTML>");
}

TEST_F(PageTest, RankingWithNobodyRanked) {
  MatchRecord& m = AddMatch(book_, "a");
  m.shownWins = 10;
  m.shownLosses = 39;
  ComputeStatistics(book_);
  std::vector<std::string> lines = Lines(WriteRankingPage);
  ASSERT_EQ(lines.size(), 60u + 12 + 3);
  EXPECT_EQ(lines[71], "  </TR>");
  EXPECT_EQ(lines[72], "");
}

// The value lines of personal.html: 勝敗, 勝率, 偏差値, ランキング, 総試合時間.
std::vector<std::string> PersonalValues(const std::vector<std::string>& lines) {
  return {lines[60], lines[65], lines[70], lines[75], lines[80]};
}

TEST_F(PageTest, PersonalRecordAndWinRateChange) {
  VsStats& s = book_.stats;
  s.wins = 30;
  s.losses = 20;
  s.matchCount = 50;
  s.recentWins = 3;
  s.recentLosses = 1;
  s.recentMatchCount = 4;
  s.ownRankPosition = -1;
  std::vector<std::string> v = PersonalValues(Lines(WritePersonalPage));
  EXPECT_EQ(v[0], Sjis("<tr><td bgColor=#b2c1dd><font color=#000000>30勝20敗（<font color=#ff0000>3勝1敗）"
                       "</font></font></font></td></tr>"));
  EXPECT_EQ(v[1], "<tr><td bgColor=#b2c1dd><font color=#000000>0.600</font><font color=#ff0000>(+0.013)"
                  "</font></td></tr>");
  EXPECT_EQ(v[3], Sjis("<tr><td bgColor=#b2c1dd><font color=#000000>規定試合数未満</font></td></tr>"));
}

TEST_F(PageTest, PersonalWinRateEdges) {
  VsStats& s = book_.stats;
  // 1 win in 16, all recent: 0.063 and a rise of the whole rate.
  s.wins = 1;
  s.losses = 15;
  s.matchCount = s.recentMatchCount = 16;
  s.recentWins = 1;
  EXPECT_EQ(PersonalValues(Lines(WritePersonalPage))[1],
            "<tr><td bgColor=#b2c1dd><font color=#000000>0.063</font><font color=#ff0000>(+0.063)"
            "</font></td></tr>");
  // A fall of 0.001 or more shows as a fall.
  s.wins = 50;
  s.matchCount = 100;
  s.recentMatchCount = 10;
  s.recentWins = 0;
  EXPECT_EQ(PersonalValues(Lines(WritePersonalPage))[1],
            "<tr><td bgColor=#b2c1dd><font color=#000000>0.500</font><font color=#0000FF>(-0.056)"
            "</font></td></tr>");
  // A change under 0.001 either way shows as none.
  s.wins = 5000;
  s.matchCount = 10000;
  s.recentMatchCount = 2;
  s.recentWins = 1;
  EXPECT_EQ(PersonalValues(Lines(WritePersonalPage))[1],
            Sjis("<tr><td bgColor=#b2c1dd><font color=#000000>0.500</font><font color=#606060>(±0.000)"
                 "</font></td></tr>"));
  s.recentWins = 0;  // 5000/10000 against 5000/9998: a fall of 0.0001
  EXPECT_EQ(PersonalValues(Lines(WritePersonalPage))[1],
            Sjis("<tr><td bgColor=#b2c1dd><font color=#000000>0.500</font><font color=#606060>(±0.000)"
                 "</font></td></tr>"));
}

TEST_F(PageTest, PersonalEmptyBook) {
  ComputeStatistics(book_);
  std::vector<std::string> lines = Lines(WritePersonalPage);
  ASSERT_EQ(lines.size(), 88u);
  std::vector<std::string> v = PersonalValues(lines);
  EXPECT_EQ(v[0], Sjis("<tr><td bgColor=#b2c1dd><font color=#000000>0勝0敗（<font color=#606060>0勝0敗）"
                       "</font></font></font></td></tr>"));
  const std::string none = Sjis("<tr><td bgColor=#b2c1dd><font color=#000000>0.000</font>"
                                "<font color=#606060>(±0.000)</font></td></tr>");
  EXPECT_EQ(v[1], none);
  EXPECT_EQ(v[2], none);
  EXPECT_EQ(v[4], Sjis("<tr><td bgColor=#b2c1dd><font color=#000000>00:00:00</font>"
                       "<font color=#606060>(±00:00:00)</font></td></tr>"));
}

TEST_F(PageTest, PersonalDeviationPlaceAndPlayTime) {
  VsStats& s = book_.stats;
  s.ownDeviation = 55.0f;
  s.ownDeviationChange = 55.0f;
  s.ownRankPosition = 4;
  s.previousRankPosition = 2;
  s.playSeconds = 86399;
  s.recentPlaySeconds = 3600 + 2 * 60 + 5;
  std::vector<std::string> v = PersonalValues(Lines(WritePersonalPage));
  EXPECT_EQ(v[2], "<tr><td bgColor=#b2c1dd><font color=#000000>55.000</font><font color=#ff0000>"
                  "(+55.000)</font></td></tr>");
  EXPECT_EQ(v[3], Sjis("<tr><td bgColor=#b2c1dd><font color=#000000>5位</font><font color=#0000FF>"
                       "(+2)</font></td></tr>"));
  EXPECT_EQ(v[4], "<tr><td bgColor=#b2c1dd><font color=#000000>23:59:59</font><font color=#ff0000>"
                  "(+01:02:05)</font></td></tr>");
  s.previousRankPosition = 6;
  s.playSeconds = 86400;
  s.recentPlaySeconds = 0;
  v = PersonalValues(Lines(WritePersonalPage));
  EXPECT_EQ(v[3], Sjis("<tr><td bgColor=#b2c1dd><font color=#000000>5位</font><font color=#ff0000>"
                       "(-2)</font></td></tr>"));
  EXPECT_EQ(v[4], Sjis("<tr><td bgColor=#b2c1dd><font color=#000000>1日00:00:00</font>"
                       "<font color=#606060>(±00:00:00)</font></td></tr>"));
  s.previousRankPosition = 4;
  s.playSeconds = 90061;
  s.recentPlaySeconds = -5;  // only a mangled log gets here
  v = PersonalValues(Lines(WritePersonalPage));
  EXPECT_EQ(v[3], Sjis("<tr><td bgColor=#b2c1dd><font color=#000000>5位</font><font color=#606060>"
                       "(±0)</font></td></tr>"));
  EXPECT_EQ(v[4], Sjis("<tr><td bgColor=#b2c1dd><font color=#000000>1日01:01:01</font>"
                       "<font color=#0000FF>(-00:00:00)</font></td></tr>"));
}

const char* const kGradeNames[] = {"十級", "九級", "八級", "七級", "六級", "五級", "四級",
                                   "三級", "二級", "一級", "初段", "二段", "三段", "四段",
                                   "五段", "六段", "七段", "八段", "九段", "十段"};

TEST_F(PageTest, ObservationOfAnEmptyBook) {
  ComputeStatistics(book_);
  std::vector<std::string> lines = Lines(WriteObservationPage);
  ASSERT_EQ(lines.size(), 213u);
  EXPECT_EQ(lines[60], Sjis("<tr><td bgColor=#b2c1dd><font color=#000000>0人</font></font></td></tr>"));
  EXPECT_EQ(lines[65], "<tr><td bgColor=#b2c1dd><font color=#000000>0.000</font></td></tr>");
  EXPECT_EQ(lines[70], Sjis("<tr><td bgColor=#b2c1dd><font color=#000000>10.0級</font></td></tr>"));
  for (int row = 0; row < 20; ++row) {
    int g = 19 - row;
    const std::vector<std::string> expected = {
        std::string("<TR class=") + (g % 2 ? "a" : "b") + ">",
        "    <TD>" + Sjis(kGradeNames[g]) + "</TD>",
        "\t\t<TD>0<BR></TD>",
        "\t\t<TD>---<BR></TD>",
        "\t\t<TD>---<BR></TD>",
        "\t\t<TD>---<BR></TD>",
    };
    for (int i = 0; i < 6; ++i) EXPECT_EQ(lines[87 + row * 6 + i], expected[i]) << g;
  }
  EXPECT_EQ(lines[207], "\t</TR>");
  EXPECT_EQ(lines[212], "</html>");
}

TEST_F(PageTest, ObservationMeansAndGrades) {
  MatchRecord& a = AddMatch(book_, "a");  // 初段, 120-80, rating 980, chain 7
  a.grade = 10;
  MatchRecord& b = AddMatch(book_, "b");
  b.grade = 10;
  b.shownWins = 50;
  b.shownLosses = 50;
  b.rating = 1989;
  b.maxChain = 8;
  MatchRecord& c = AddMatch(book_, "c");
  c.grade = 9;
  c.maxChain = 0;
  ComputeStatistics(book_);
  std::vector<std::string> lines = Lines(WriteObservationPage);
  EXPECT_EQ(lines[60], Sjis("<tr><td bgColor=#b2c1dd><font color=#000000>3人</font></font></td></tr>"));
  // (10 + 10 + 9) / 3 = 9.667 is above 9: 0.7段.
  EXPECT_EQ(lines[70], Sjis("<tr><td bgColor=#b2c1dd><font color=#000000>0.7段</font></td></tr>"));
  int row10 = 87 + (19 - 10) * 6;
  EXPECT_EQ(lines[row10 + 2], "\t\t<TD>2<BR></TD>");
  EXPECT_EQ(lines[row10 + 3], "\t\t<TD>0.550<BR></TD>");
  EXPECT_EQ(lines[row10 + 4], "\t\t<TD>1485<BR></TD>");  // 1484.5 rounds away from zero
  EXPECT_EQ(lines[row10 + 5], "\t\t<TD>7.5<BR></TD>");
  int row9 = 87 + (19 - 9) * 6;
  EXPECT_EQ(lines[row9 + 3], "\t\t<TD>0.600<BR></TD>");
  EXPECT_EQ(lines[row9 + 4], "\t\t<TD>---<BR></TD>");  // ranked but no chain shown
}

TEST_F(PageTest, AnExistingPageIsReplacedNotAppended) {
  std::string path = folder_.File("page.html");
  testing::WriteFile(path, std::string(100000, '\x01'));
  std::string page = Write(WriteIndexPage);
  EXPECT_EQ(page.find('\x01'), std::string::npos);
  EXPECT_EQ(PageLines(page).size(), 14u);
}

TEST_F(PageTest, AnUnopenablePageReportsItsPath) {
  std::string path = folder_.File("missing/index.html");
  EXPECT_EQ(WriteIndexPage(book_, *fs_, path), -1);
  EXPECT_EQ(book_.GetErrorText(), Sjis("ファイル ") + path + Sjis(" が開けません。\n"));
  EXPECT_FALSE(std::filesystem::exists(folder_.File("missing")));
}

// A file system that fails at a chosen step.
class FailingFileSystem : public FileSystem {
 public:
  enum class Step { Append, Close, Replace };
  FailingFileSystem(FileSystem& real, Step step) : real_(real), step_(step) {}
  std::unique_ptr<WritableFile> CreateTemporary(const std::string& beside, std::string* temp) override {
    auto file = real_.CreateTemporary(beside, temp);
    tempPath = *temp;
    return std::make_unique<File>(std::move(file), step_);
  }
  bool Replace(const std::string& from, const std::string& to) override {
    return step_ != Step::Replace && real_.Replace(from, to);
  }
  void Remove(const std::string& path) override { real_.Remove(path); }
  std::string tempPath;

 private:
  class File : public WritableFile {
   public:
    File(std::unique_ptr<WritableFile> real, Step step) : real_(std::move(real)), step_(step) {}
    bool Append(std::string_view data) override {
      // Half of the bytes arrive, as on a disk that fills up.
      if (step_ != Step::Append) return real_->Append(data);
      real_->Append(data.substr(0, data.size() / 2));
      return false;
    }
    bool Close() override { return real_->Close() && step_ != Step::Close; }

   private:
    std::unique_ptr<WritableFile> real_;
    Step step_;
  };
  FileSystem& real_;
  Step step_;
};

TEST_F(PageTest, AFailedWriteLeavesTheOldPageAsItWas) {
  for (int i = 0; i < 3000; ++i) AddMatch(book_, "opponent" + std::to_string(i % 50));
  std::string path = folder_.File("vslog.html");
  const std::string old = "the page of the last run\r\n";
  for (auto step : {FailingFileSystem::Step::Append, FailingFileSystem::Step::Close,
                    FailingFileSystem::Step::Replace}) {
    testing::WriteFile(path, old);
    FailingFileSystem failing(*fs_, step);
    EXPECT_EQ(WriteVsLogPage(book_, failing, path), -1);
    EXPECT_EQ(ReadFile(path), old);
    EXPECT_EQ(book_.GetErrorText(), Sjis("ファイル ") + path + Sjis(" の書き込みに失敗しました。\n"));
    EXPECT_FALSE(failing.tempPath.empty());
    EXPECT_FALSE(std::filesystem::exists(failing.tempPath)) << failing.tempPath;
  }
  // Only the page remains in the folder.
  int entries = 0;
  for (auto& entry : std::filesystem::directory_iterator(folder_.path())) {
    (void)entry;
    ++entries;
  }
  EXPECT_EQ(entries, 1);
}

}  // namespace
}  // namespace ledgerwise

namespace ledgerwise {
namespace {

TEST_F(PageTest, ALineLongerThanTheWriteBufferIsWrittenWhole) {
  std::string name(3 << 20, 'n');
  AddMatch(book_, name);
  AddMatch(book_, "after");
  std::vector<std::string> lines = Lines(WriteVsLogPage);
  EXPECT_EQ(lines[57], "<A NAME=\"" + name + "\"></A>");
  EXPECT_NE(lines[60].find("<B>" + name + "</B>"), std::string::npos);
  EXPECT_EQ(lines[57 + 30], "<A NAME=\"after\"></A>");
  EXPECT_EQ(lines.back(), "</BODY></HTML>");
}

}  // namespace
}  // namespace ledgerwise
