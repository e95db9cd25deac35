#include "log/line_fields.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "tests/test_support.h"

namespace ledgerwise {
namespace {

using testing::Sjis;

// Every field starts at -1, so a field left alone shows as -1. (The plain
// model and the fuzz seeds hold the reader against every other line.)
TEST(MatchStartFieldsTest, Lines) {
  struct Case {
    const char* line;
    // start second, grade, shown W, shown L, rating, chain, disconnect
    std::vector<int32_t> fields;
  };
  const Case cases[] = {
      {"[21:05:10]とまと(２だん 123勝45敗 レート1500 最大12連鎖 切断率3%)と対戦を開始しました",
       {75910, 11, 123, 45, 1500, 12, 3}},
      {"[00:00:00]a(１０きゅう 1勝2敗)", {0, 0, 1, 2, -1, -1, -1}},
      {"[00:00:00]a(１０だん)", {0, 19, -1, -1, -1, -1, -1}},
      // The grade is the first in table order; the record follows だん first.
      {"[00:00:00]a(２だん 3勝4敗 ３きゅう 5勝6敗)", {0, 7, 3, 4, -1, -1, -1}},
      {"[00:00:00]a(しょだん 7勝3敗)", {0, 10, 7, 3, -1, -1, -1}},
      // The figures come from after the last "(", the tokens from anywhere.
      {"[00:00:00]レート9最大8(２だん)(５きゅう 30勝20敗 レート1500 最大12)",
       {0, 5, 30, 20, 9, 8, -1}},
      {"[00:00:00]a レート1200 最大5 切断率2%", {0, -1, -1, -1, 1200, 5, 2}},
      {"[00:00:00]a(30勝20敗 レート1200)", {0, kUnknownGrade, -1, -1, 1200, -1, -1}},
      {"[00:00:00]a(２だん １勝１敗 レート１５００ 切断率12%)", {0, 11, 0, 0, 0, -1, 12}},
      {"[00:00:00]a(２だん 99999999999勝-5敗 レート-2147483649 最大+7 切断率 \t8)",
       {0, 11, INT_MAX, -5, INT_MIN, 7, 8}},
      // Only the brackets of the time prefix are checked.
      {"[ 1x 2y 3]a(２だん)", {3723, 11, -1, -1, -1, -1, -1}},
      {"[-1:-1:-1]a", {-3661, -1, -1, -1, -1, -1, -1}},
      {"21:05:10]a(２だん 1勝1敗 レート1500)", {-1, -1, -1, -1, -1, -1, -1}},
  };
  for (const Case& c : cases) {
    MatchRecord m;
    m.startSecond = m.grade = m.shownWins = m.shownLosses = -1;
    m.rating = m.maxChain = m.disconnectRate = -1;
    ReadMatchStartFields(m, Sjis(c.line));
    std::vector<int32_t> fields = {m.startSecond, m.grade,    m.shownWins,     m.shownLosses,
                                   m.rating,      m.maxChain, m.disconnectRate};
    EXPECT_EQ(fields, c.fields) << c.line;
  }
}

}  // namespace
}  // namespace ledgerwise
