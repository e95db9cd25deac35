// The fixed Japanese labels the pages print: weekday names, sign marks and
// grade names, as code page 932 bytes.
#ifndef LEDGERWISE_REPORT_LABELS_H_
#define LEDGERWISE_REPORT_LABELS_H_

#include <cstdint>
#include <string_view>

namespace ledgerwise {

// 0 = "日" (Sunday) ... 6 = "土"; any other index gives "日".
std::string_view WeekdayName(int32_t weekday);

// "+" above zero, "-" below, "±" at zero.
std::string_view SignMark(float x);

// "十級" (0) ... "一級" (9), "初段" (10) ... "十段" (19); any other grade,
// 20 (no grade word) included, gives "不明".
std::string_view GradeName(int32_t grade);

}  // namespace ledgerwise

#endif  // LEDGERWISE_REPORT_LABELS_H_
