#include "report/labels.h"

#include "log/vs_stats.h"

namespace ledgerwise {

namespace {

constexpr std::string_view kWeekdayNames[7] = {
    "\x93\xfa",  // 日
    "\x8c\x8e",  // 月
    "\x89\xce",  // 火
    "\x90\x85",  // 水
    "\x96\xd8",  // 木
    "\x8b\xe0",  // 金
    "\x93\x79",  // 土
};

constexpr std::string_view kGradeNames[kGradeSlots] = {
    "\x8f\x5c\x8b\x89",  // 十級
    "\x8b\xe3\x8b\x89",  // 九級
    "\x94\xaa\x8b\x89",  // 八級
    "\x8e\xb5\x8b\x89",  // 七級
    "\x98\x5a\x8b\x89",  // 六級
    "\x8c\xdc\x8b\x89",  // 五級
    "\x8e\x6c\x8b\x89",  // 四級
    "\x8e\x4f\x8b\x89",  // 三級
    "\x93\xf1\x8b\x89",  // 二級
    "\x88\xea\x8b\x89",  // 一級
    "\x8f\x89\x92\x69",  // 初段
    "\x93\xf1\x92\x69",  // 二段
    "\x8e\x4f\x92\x69",  // 三段
    "\x8e\x6c\x92\x69",  // 四段
    "\x8c\xdc\x92\x69",  // 五段
    "\x98\x5a\x92\x69",  // 六段
    "\x8e\xb5\x92\x69",  // 七段
    "\x94\xaa\x92\x69",  // 八段
    "\x8b\xe3\x92\x69",  // 九段
    "\x8f\x5c\x92\x69",  // 十段
};

constexpr std::string_view kUnknownGradeName = "\x95\x73\x96\xbe";  // 不明
constexpr std::string_view kPlusMinus = "\x81\x7d";                 // ±

}  // namespace

std::string_view WeekdayName(int32_t weekday) {
  return weekday >= 0 && weekday < 7 ? kWeekdayNames[weekday] : kWeekdayNames[0];
}

std::string_view SignMark(float x) {
  if (x == 0.0f) return kPlusMinus;
  return x > 0.0f ? "+" : "-";
}

std::string_view GradeName(int32_t grade) {
  return grade >= 0 && grade < kGradeSlots ? kGradeNames[grade] : kUnknownGradeName;
}

}  // namespace ledgerwise
