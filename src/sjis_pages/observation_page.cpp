// observation.html: the population of opponents as seen at each one's latest
// match: how many, their mean win rate and grade, and one row per grade.
#include <cstdint>

#include "report/labels.h"
#include "sjis_pages/page_blocks.h"
#include "sjis_pages/pages.h"

namespace ledgerwise {

namespace {

// A per-grade mean: the single-precision sum over the count, stored as a
// single-precision figure and printed from it.
double Mean(float sum, int32_t count) { return static_cast<float>(double{sum} / count); }

void GradeRow(OutputFile& w, const VsStats& s, int g) {
  w.Format("<TR class=%s>", {g % 2 == 1 ? "a" : "b"});
  w.Format("    <TD>%s</TD>", {GradeName(g)});
  w.Format("\t\t<TD>%d<BR></TD>", {s.gradePopulation[g]});
  if (s.gradeRankedCount[g] > 0) {
    w.Format("\t\t<TD>%.3f<BR></TD>", {Mean(s.gradeWinRateSum[g], s.gradeRankedCount[g])});
  } else {
    w.Line("\t\t<TD>---<BR></TD>");
  }
  // Rating and largest chain share one guard: both means, or both "---".
  if (s.gradeChainCount[g] > 0) {
    w.Format("\t\t<TD>%.0f<BR></TD>", {Mean(s.gradeRatingSum[g], s.gradeChainCount[g])});
    w.Format("\t\t<TD>%.1f<BR></TD>", {Mean(s.gradeChainSum[g], s.gradeChainCount[g])});
  } else {
    w.Line("\t\t<TD>---<BR></TD>");
    w.Line("\t\t<TD>---<BR></TD>");
  }
}

}  // namespace

Status WriteObservationPage(const VsLogBook& book, FileSystem& fs, const std::string& path) {
  const VsStats& s = book.stats;
  OutputFile w(fs, path);
  if (Status opened = w.Open(); !opened.ok()) return opened;
  // 定点観測データ
  WriteCommonHead(w, "\x92\xe8\x93\x5f\x8a\xcf\x91\xaa\x83\x66\x81\x5b\x83\x5e", false);
  w.Line("<TABLE cellSpacing=0 cellPadding=0 width=382 align=center><tbody>");
  // 総人口
  WriteSectionTitle(w, "\x91\x8d\x90\x6c\x8c\xfb");
  w.Line("");
  // <tr><td bgColor=#b2c1dd><font color=#000000>%d人</font></font></td></tr>
  w.Format("<tr><td bgColor=#b2c1dd><font color=#000000>%d\x90\x6c</font></font></td></tr>",
           {static_cast<int64_t>(book.opponents.size())});
  WriteSectionEnd(w);
  // 平均勝率
  WriteSectionTitle(w, "\x95\xbd\x8b\xcf\x8f\x9f\x97\xa6");
  w.Format("<tr><td bgColor=#b2c1dd><font color=#000000>%.3f</font></td></tr>",
           {double{s.meanWinRate}});
  WriteSectionEnd(w);
  // 平均段位
  WriteSectionTitle(w, "\x95\xbd\x8b\xcf\x92\x69\x88\xca");
  // Above 9 the mean grade reads in dan, from 9 down in kyu.
  if (s.meanGrade > 9) {
    double dan = static_cast<float>(double{s.meanGrade} - 9);
    // <tr><td bgColor=#b2c1dd><font color=#000000>%.1f段</font></td></tr>
    w.Format("<tr><td bgColor=#b2c1dd><font color=#000000>%.1f\x92\x69</font></td></tr>", {dan});
  } else {
    double kyu = static_cast<float>(10 - double{s.meanGrade});
    // <tr><td bgColor=#b2c1dd><font color=#000000>%.1f級</font></td></tr>
    w.Format("<tr><td bgColor=#b2c1dd><font color=#000000>%.1f\x8b\x89</font></td></tr>", {kyu});
  }
  WriteSectionEnd(w);
  w.Line("<TABLE cellSpacing=0 cellPadding=0 width=382 align=center><tbody>");
  // 段位別データ
  WriteSectionTitle(w, "\x92\x69\x88\xca\x95\xca\x83\x66\x81\x5b\x83\x5e");
  w.Line("</tbody></table>");
  w.Line("");
  w.Line("");
  w.Line("<TABLE align=center TD width=382><TBODY>");
  w.Line("\t<TR>");
  //   <TH>段位</TH>
  w.Line("\t\t<TH>\x92\x69\x88\xca</TH>");
  //   <TH>人口</TH>
  w.Line("\t\t<TH>\x90\x6c\x8c\xfb</TH>");
  //   <TH>勝率</TH>
  w.Line("\t\t<TH>\x8f\x9f\x97\xa6</TH>");
  //   <TH>レート</TH>
  w.Line("\t\t<TH>\x83\x8c\x81\x5b\x83\x67</TH>");
  //   <TH>最大連鎖</TH>
  w.Line("\t\t<TH>\x8d\xc5\x91\xe5\x98\x41\x8d\xbd</TH>");
  w.Line("\t</TR>");
  for (int g = kGradeSlots - 1; g >= 0; --g) GradeRow(w, s, g);
  w.Line("\t</TR>");
  w.Line("</tbody>");
  w.Line("</table>");
  w.Line("");
  w.Line("</body>");
  w.Line("</html>");
  return w.Finish();
}

}  // namespace ledgerwise
