// vslog.html: every match, one table per opponent in order of first
// appearance, each table preceded by an anchor the ranking page links to.
#include "log/calendar.h"
#include "log/labels.h"
#include "report/page_blocks.h"
#include "report/pages.h"

namespace ledgerwise {

namespace {

std::string_view ResultText(MatchResult result) {
  switch (result) {
    // 勝ち
    case MatchResult::Won: return "\x8f\x9f\x82\xbf";
    // 負け
    case MatchResult::Lost: return "\x95\x89\x82\xaf";
    // 切断
    case MatchResult::Disconnected: return "\x90\xd8\x92\x66";
    default: return "";
  }
}

void MatchRow(PageWriter& w, const MatchRecord& m, size_t index) {
  int32_t year, month, day;
  DateFromDayNumber(m.day, year, month, day);
  SplitTime clock = SplitSeconds(m.endSecond);
  SplitTime length = SplitSeconds(int64_t{m.endSecond} - m.startSecond);
  w.Format("  <TR class=%s>", {index % 2 == 0 ? "a" : "b"});
  w.Format("    <TD>%d/%02d/%02d (%s) %02d:%02d:%02d</TD>",
           {year, month, day, WeekdayName(WeekdayOf(m.day)), clock.hours, clock.minutes, clock.seconds});
  w.Format("    <TD>%s</TD>", {GradeName(m.grade)});
  //     <TD>%d－%d</TD>
  w.Format("    <TD>%d\x81\x7c%d</TD>", {m.shownWins, m.shownLosses});
  int64_t shown = int64_t{m.shownWins} + m.shownLosses;
  if (shown != 0) {
    w.Format("    <TD>%.3f</TD>", {double(m.shownWins) / double(shown)});
  } else {
    w.Line("    <TD>---</TD>");
  }
  // One test decides rating, max chain and disconnect rate together.
  if (m.maxChain != 0) {
    w.Format("    <TD>%d</TD>", {m.rating});
    w.Format("    <TD>%d</TD>", {m.maxChain});
    w.Format("    <TD>%d</TD>", {m.disconnectRate});
  } else {
    w.Line("    <TD>---</TD>");
    w.Line("    <TD>---</TD>");
    w.Line("    <TD>---</TD>");
  }
  //     <TD>%s (%d－%d)</TD>
  w.Format("    <TD>%s (%d\x81\x7c%d)</TD>", {ResultText(m.result), m.ownGames, m.opponentGames});
  //     <TD>%02d：%02d：%02d</TD></TR>
  w.Format("    <TD>%02d\x81\x46%02d\x81\x46%02d</TD></TR>", {length.hours, length.minutes, length.seconds});
}

void OpponentTable(PageWriter& w, const OpponentRecord& o) {
  std::string name = EscapeHtml(o.name);
  w.Format("<A NAME=\"%s\"></A>", {name});
  w.Line("<TABLE width=600 align=center><tbody>");
  w.Line("  <TBODY>");
  w.Format("<tr><TD colspan=9 bgColor=black height=25><P align=center><FONT color=white size=3><B>%s</B></FONT></P></TD></TR>",
           {name});
  w.Line("  <TR>");
  //     <TH>日時</TH>
  w.Line("    <TH>\x93\xfa\x8e\x9e</TH>");
  //     <TH>段位</TH>
  w.Line("    <TH>\x92\x69\x88\xca</TH>");
  //     <TH>勝敗</TH>
  w.Line("    <TH>\x8f\x9f\x94\x73</TH>");
  //     <TH>勝率</TH>
  w.Line("    <TH>\x8f\x9f\x97\xa6</TH>");
  //     <TH>レート</TH>
  w.Line("    <TH>\x83\x8c\x81\x5b\x83\x67</TH>");
  //     <TH>最大連鎖</TH>
  w.Line("    <TH>\x8d\xc5\x91\xe5\x98\x41\x8d\xbd</TH>");
  //     <TH>切断率</TH>
  w.Line("    <TH>\x90\xd8\x92\x66\x97\xa6</TH>");
  //     <TH>試合結果</TH>
  w.Line("    <TH>\x8e\x8e\x8d\x87\x8c\x8b\x89\xca</TH>");
  //     <TH>試合時間</TH>
  w.Line("    <TH>\x8e\x8e\x8d\x87\x8e\x9e\x8a\xd4</TH>");
  w.Line("  </TR>");
  for (size_t i = 0; i < o.matches.size(); ++i) MatchRow(w, o.matches[i], i);
  WriteSpacerRows(w);
  w.Line("</TBODY></TABLE>");
  w.Line("");
  w.Line("");
}

}  // namespace

int WriteVsLogPage(VsLogBook& book, FileSystem& fs, const std::string& path) {
  PageWriter w(book, fs, path);
  if (!w.Open()) return -1;
  // 対戦ログ
  WriteCommonHead(w, "\x91\xce\x90\xed\x83\x8d\x83\x4f", false);
  for (const OpponentRecord& o : book.opponents) OpponentTable(w, o);
  w.Line(kPageEnd);
  return w.Finish();
}

}  // namespace ledgerwise
