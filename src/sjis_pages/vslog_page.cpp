// vslog.html: every match, one table per opponent in order of first
// appearance, each table preceded by an anchor the ranking page links to.
#include "log/calendar.h"
#include "report/labels.h"
#include "report/number_format.h"
#include "sjis_pages/page_blocks.h"
#include "sjis_pages/pages.h"

namespace ledgerwise {

namespace {

std::string_view ResultText(MatchResult result) {
  switch (result) {
    // 勝ち
    case MatchResult::Won:
      return "\x8f\x9f\x82\xbf";
    // 負け
    case MatchResult::Lost:
      return "\x95\x89\x82\xaf";
    // 切断
    case MatchResult::Disconnected:
      return "\x90\xd8\x92\x66";
    default:
      return "";
  }
}

// Ten lines of literal runs and at most twelve numbers (one of them fixed
// point) and two short labels.
constexpr size_t kMatchRowRoom = 512 + 12 * kMaxNumberText;

char* PutCount(char* p, int32_t value) {
  p = PutText(p, "    <TD>");
  p = WriteInt(p, value);
  return PutText(p, "</TD>\r\n");
}

// One row of nine cells, written straight into the page buffer.
void MatchRow(OutputFile& w, const MatchRecord& m, size_t index) {
  SplitTime clock = SplitSeconds(m.endSecond);
  SplitTime length = SplitSeconds(int64_t{m.endSecond} - m.startSecond);
  char* p = w.Reserve(kMatchRowRoom);
  p = PutText(p, index % 2 == 0 ? "  <TR class=a>\r\n    <TD>" : "  <TR class=b>\r\n    <TD>");
  p = WriteDate(p, m.day, '/', 1);
  p = PutText(p, " (");
  p = PutText(p, WeekdayName(WeekdayOf(m.day)));
  p = PutText(p, ") ");
  p = WriteClock(p, clock, ":");
  p = PutText(p, "</TD>\r\n    <TD>");
  p = PutText(p, GradeName(m.grade));
  p = PutText(p, "</TD>\r\n    <TD>");
  p = WriteInt(p, m.shownWins);
  p = PutText(p, "\x81\x7c");  // －
  p = WriteInt(p, m.shownLosses);
  p = PutText(p, "</TD>\r\n");
  int64_t shown = int64_t{m.shownWins} + m.shownLosses;
  if (shown != 0) {
    p = PutText(p, "    <TD>");
    p = WriteFixed(p, double(m.shownWins) / double(shown), 3);
    p = PutText(p, "</TD>\r\n");
  } else {
    p = PutText(p, "    <TD>---</TD>\r\n");
  }
  // One test decides rating, max chain and disconnect rate together.
  if (m.maxChain != 0) {
    p = PutCount(p, m.rating);
    p = PutCount(p, m.maxChain);
    p = PutCount(p, m.disconnectRate);
  } else {
    p = PutText(p, "    <TD>---</TD>\r\n    <TD>---</TD>\r\n    <TD>---</TD>\r\n");
  }
  p = PutText(p, "    <TD>");
  p = PutText(p, ResultText(m.result));
  p = PutText(p, " (");
  p = WriteInt(p, m.ownGames);
  p = PutText(p, "\x81\x7c");  // －
  p = WriteInt(p, m.opponentGames);
  p = PutText(p, ")</TD>\r\n    <TD>");
  p = WriteClock(p, length, "\x81\x46");  // ：
  w.Commit(PutText(p, "</TD></TR>\r\n"));
}

// The lines of a table before its first row, around the name.
constexpr char kTableAnchorOpen[] = "<A NAME=\"";
constexpr char kTableTitleOpen[] =
    "\"></A>\r\n"
    "<TABLE width=600 align=center><tbody>\r\n"
    "  <TBODY>\r\n"
    "<tr><TD colspan=9 bgColor=black height=25><P align=center><FONT color=white size=3><B>";
constexpr char kTableColumns[] =
    "</B></FONT></P></TD></TR>\r\n"
    "  <TR>\r\n"
    "    <TH>\x93\xfa\x8e\x9e</TH>\r\n"                  // 日時
    "    <TH>\x92\x69\x88\xca</TH>\r\n"                  // 段位
    "    <TH>\x8f\x9f\x94\x73</TH>\r\n"                  // 勝敗
    "    <TH>\x8f\x9f\x97\xa6</TH>\r\n"                  // 勝率
    "    <TH>\x83\x8c\x81\x5b\x83\x67</TH>\r\n"          // レート
    "    <TH>\x8d\xc5\x91\xe5\x98\x41\x8d\xbd</TH>\r\n"  // 最大連鎖
    "    <TH>\x90\xd8\x92\x66\x97\xa6</TH>\r\n"          // 切断率
    "    <TH>\x8e\x8e\x8d\x87\x8c\x8b\x89\xca</TH>\r\n"  // 試合結果
    "    <TH>\x8e\x8e\x8d\x87\x8e\x9e\x8a\xd4</TH>\r\n"  // 試合時間
    "  </TR>\r\n";

void OpponentTable(OutputFile& w, const OpponentRecord& o) {
  std::string name = EscapeHtml(o.name);
  char* p = w.Reserve(sizeof kTableAnchorOpen + sizeof kTableTitleOpen + sizeof kTableColumns +
                      2 * name.size());
  p = PutText(p, kTableAnchorOpen);
  p = PutText(p, name);
  p = PutText(p, kTableTitleOpen);
  p = PutText(p, name);
  w.Commit(PutText(p, kTableColumns));
  for (size_t i = 0; i < o.matches.size(); ++i) MatchRow(w, o.matches[i], i);
  WriteSpacerRows(w);
  w.Line("</TBODY></TABLE>");
  w.Line("");
  w.Line("");
}

}  // namespace

Status WriteVsLogPage(const VsLogBook& book, FileSystem& fs, const std::string& path) {
  OutputFile w(fs, path);
  if (Status opened = w.Open(); !opened.ok()) return opened;
  // 対戦ログ
  WriteCommonHead(w, "\x91\xce\x90\xed\x83\x8d\x83\x4f", false);
  for (const OpponentRecord& o : book.opponents) OpponentTable(w, o);
  w.Line(kPageEnd);
  return w.Finish();
}

}  // namespace ledgerwise
