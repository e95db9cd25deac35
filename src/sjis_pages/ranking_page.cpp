// ranking.html: one row per ranking place, best win rate first, with the
// player's own row highlighted at its place.
#include <vector>

#include "report/labels.h"
#include "sjis_pages/page_blocks.h"
#include "sjis_pages/pages.h"

namespace ledgerwise {

namespace {

void CountCell(OutputFile& w, int32_t value) {
  if (value == 0) {
    w.Line("    <TD>---</TD>");
  } else {
    w.Format("    <TD>%d</TD>", {value});
  }
}

void OpponentRow(OutputFile& w, const OpponentRecord& o, int32_t place) {
  const MatchRecord& m = o.matches[o.latestMatchIndex];
  std::string name = EscapeHtml(o.name);
  w.Format("  <TR class=%s>", {place % 2 == 0 ? "a" : "b"});
  w.Format("    <TD>%d</TD>", {int64_t{place} + 1});
  w.Format("    <TD><A href=\"vslog.html#%s\" target=\"RIGHT_FRAME\">%s</A></TD>", {name, name});
  w.Format("    <TD>%s</TD>", {GradeName(m.grade)});
  //     <TD>%d－%d</TD>
  w.Format("    <TD>%d\x81\x7c%d</TD>", {m.shownWins, m.shownLosses});
  w.Format("    <TD>%.3f</TD>", {double{o.winRate}});
  CountCell(w, m.rating);
  CountCell(w, m.maxChain);
  w.Format("    <TD>%.3f</TD></TR>", {double{o.deviationScore}});
}

void OwnRow(OutputFile& w, const VsStats& s) {
  w.Line("  <TR class=c>");
  w.Format("    <TD>%d</TD>", {int64_t{s.ownRankPosition} + 1});
  // 自分
  w.Format("    <TD>%s</TD>", {"\x8e\xa9\x95\xaa"});
  // 不明
  w.Format("    <TD>%s</TD>", {"\x95\x73\x96\xbe"});
  //     <TD>%d－%d</TD>
  w.Format("    <TD>%d\x81\x7c%d</TD>", {s.wins, s.losses});
  w.Format("    <TD>%.3f</TD>", {double{s.ownWinRate}});
  w.Line("    <TD>---</TD>");
  w.Line("    <TD>---</TD>");
  w.Format("    <TD>%.3f</TD></TR>", {double{s.ownDeviation}});
}

}  // namespace

Status WriteRankingPage(const VsLogBook& book, FileSystem& fs, const std::string& path) {
  const VsStats& s = book.stats;
  // The opponent at each place; the player's place stays empty.
  std::vector<const OpponentRecord*> byPlace;
  for (const OpponentRecord& o : book.opponents) {
    if (o.rankPosition < 0) continue;
    if (byPlace.size() <= static_cast<size_t>(o.rankPosition)) byPlace.resize(o.rankPosition + 1);
    byPlace[o.rankPosition] = &o;
  }
  if (s.ownRankPosition >= 0 && byPlace.size() <= static_cast<size_t>(s.ownRankPosition)) {
    byPlace.resize(s.ownRankPosition + 1);
  }
  OutputFile w(fs, path);
  if (Status opened = w.Open(); !opened.ok()) return opened;
  // ランキング
  WriteCommonHead(w, "\x83\x89\x83\x93\x83\x4c\x83\x93\x83\x4f", true);
  w.Line("<TABLE align=center>");
  w.Line("  <TBODY>");
  w.Line("  <TR>");
  w.Line("    <TH>RANK</TH>");
  //     <TH>名前</TH>
  w.Line("    <TH>\x96\xbc\x91\x4f</TH>");
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
  //     <TH>偏差値</TH>
  w.Line("    <TH>\x95\xce\x8d\xb7\x92\x6c</TH>");
  w.Line("  </TR>");
  for (size_t place = 0; place < byPlace.size(); ++place) {
    if (static_cast<int32_t>(place) == s.ownRankPosition) {
      OwnRow(w, s);
    } else if (byPlace[place] != nullptr) {
      OpponentRow(w, *byPlace[place], static_cast<int32_t>(place));
    }
  }
  w.Line("");
  w.Line("</TBODY></TABLE>");
  w.Line("</DIV></BODY></HTML>");
  return w.Finish();
}

}  // namespace ledgerwise
