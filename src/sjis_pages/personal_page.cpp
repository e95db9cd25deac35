// personal.html: the player's record, win rate, deviation score, place and
// total match time, each with its change over the recent period.
#include <cmath>
#include <cstdint>

#include "log/calendar.h"
#include "report/labels.h"
#include "sjis_pages/page_blocks.h"
#include "sjis_pages/pages.h"

namespace ledgerwise {

namespace {

constexpr const char kRise[] = "#ff0000";
constexpr const char kFall[] = "#0000FF";
constexpr const char kSame[] = "#606060";

const char* ChangeColour(double change) {
  if (change > 0) return kRise;
  return change < 0 ? kFall : kSame;
}

// The rate line's format, shared by the win rate and the deviation score.
void RateLine(OutputFile& w, float value, float change) {
  w.Format(
      "<tr><td bgColor=#b2c1dd><font color=#000000>%.3f</font><font "
      "color=%s>(%s%.3f)</font></td></tr>",
      {double{value}, ChangeColour(change), SignMark(change), std::fabs(double{change})});
}

// The win rate now, and its change over the recent period. Changes smaller
// than 0.001 either way show as none.
void WinRateLine(OutputFile& w, const VsStats& s) {
  float rate = 0, change = 0;
  if (s.matchCount > 0) {
    rate = static_cast<float>(double(s.wins) / s.matchCount);
    if (s.matchCount == s.recentMatchCount) {
      change = rate;  // the rate rose from nothing
    } else {
      double previous = double(int64_t{s.wins} - s.recentWins) /
                        double(int64_t{s.matchCount} - s.recentMatchCount);
      change = static_cast<float>(double{rate} - previous);
      if (std::fabs(change) < 0.001f) change = 0;
    }
  }
  RateLine(w, rate, change);
}

void PlaceLine(OutputFile& w, const VsStats& s) {
  if (s.ownRankPosition < 0) {
    // <tr><td bgColor=#b2c1dd><font color=#000000>規定試合数未満</font></td></tr>
    w.Line(
        "<tr><td bgColor=#b2c1dd><font "
        "color=#000000>\x8b\x4b\x92\xe8\x8e\x8e\x8d\x87\x90\x94\x96\xa2\x96\x9e</font></td></tr>");
    return;
  }
  // A larger place number is worse, so the colours run the other way.
  int64_t change = int64_t{s.ownRankPosition} - s.previousRankPosition;
  const char* colour = ChangeColour(-double(change));
  // <tr><td bgColor=#b2c1dd><font color=#000000>%d位</font><font color=%s>(%s%d)</font></td></tr>
  w.Format(
      "<tr><td bgColor=#b2c1dd><font color=#000000>%d\x88\xca</font><font "
      "color=%s>(%s%d)</font></td></tr>",
      {int64_t{s.ownRankPosition} + 1, colour, SignMark(static_cast<float>(change)),
       change < 0 ? -change : change});
}

void PlayTimeLine(OutputFile& w, const VsStats& s) {
  SplitTime total = SplitSeconds(s.playSeconds);
  SplitTime recent = SplitSeconds(s.recentPlaySeconds);
  double direction = double(s.recentPlaySeconds);
  const char* colour = ChangeColour(direction);
  std::string_view sign = SignMark(static_cast<float>(direction));
  if (total.days > 0) {
    // <tr><td bgColor=#b2c1dd><font color=#000000>%d日%02d:%02d:%02d</font><font
    // color=%s>(%s%02d:%02d:%02d)</font></td></tr>
    w.Format(
        "<tr><td bgColor=#b2c1dd><font color=#000000>%d\x93\xfa%02d:%02d:%02d</font><font "
        "color=%s>(%s%02d:%02d:%02d)</font></td></tr>",
        {total.days, total.hours, total.minutes, total.seconds, colour, sign, recent.hours,
         recent.minutes, recent.seconds});
  } else {
    w.Format(
        "<tr><td bgColor=#b2c1dd><font color=#000000>%02d:%02d:%02d</font><font "
        "color=%s>(%s%02d:%02d:%02d)</font></td></tr>",
        {total.hours, total.minutes, total.seconds, colour, sign, recent.hours, recent.minutes,
         recent.seconds});
  }
}

}  // namespace

Status WritePersonalPage(const VsLogBook& book, FileSystem& fs, const std::string& path) {
  const VsStats& s = book.stats;
  OutputFile w(fs, path);
  if (Status opened = w.Open(); !opened.ok()) return opened;
  // 個人戦績
  WriteCommonHead(w, "\x8c\xc2\x90\x6c\x90\xed\x90\xd1", false);
  w.Line("<TABLE cellSpacing=0 cellPadding=0 width=382 align=center><tbody>");
  // 勝敗
  WriteSectionTitle(w, "\x8f\x9f\x94\x73");
  w.Line("");
  const char* recordColour = ChangeColour(double(s.recentWins) - s.recentLosses);
  // <tr><td bgColor=#b2c1dd><font color=#000000>%d勝%d敗（<font
  // color=%s>%d勝%d敗）</font></font></font></td></tr>
  w.Format(
      "<tr><td bgColor=#b2c1dd><font color=#000000>%d\x8f\x9f%d\x94\x73\x81\x69<font "
      "color=%s>%d\x8f\x9f%d\x94\x73\x81\x6a</font></font></font></td></tr>",
      {s.wins, s.losses, recordColour, s.recentWins, s.recentLosses});
  WriteSectionEnd(w);
  // 勝率
  WriteSectionTitle(w, "\x8f\x9f\x97\xa6");
  WinRateLine(w, s);
  WriteSectionEnd(w);
  // 勝率偏差値
  WriteSectionTitle(w, "\x8f\x9f\x97\xa6\x95\xce\x8d\xb7\x92\x6c");
  RateLine(w, s.ownDeviation, s.ownDeviationChange);
  WriteSectionEnd(w);
  // ランキング
  WriteSectionTitle(w, "\x83\x89\x83\x93\x83\x4c\x83\x93\x83\x4f");
  PlaceLine(w, s);
  WriteSectionEnd(w);
  // 総試合時間
  WriteSectionTitle(w, "\x91\x8d\x8e\x8e\x8d\x87\x8e\x9e\x8a\xd4");
  PlayTimeLine(w, s);
  WriteSectionEnd(w);
  w.Line("</tbody>");
  w.Line("</table>");
  w.Line("");
  w.Line(kPageEnd);
  return w.Finish();
}

}  // namespace ledgerwise
