#include "log/line_fields.h"

#include <gtest/gtest.h>

#include <climits>

#include "tests/sjis.h"

namespace ledgerwise {
namespace {

using testing::Sjis;

MatchRecord Read(std::string_view utf8Line) {
  MatchRecord m;
  ReadMatchStartFields(m, Sjis(utf8Line));
  return m;
}

TEST(LeadingIntegerTest, CConversionRules) {
  EXPECT_EQ(LeadingInteger("123abc"), 123);
  EXPECT_EQ(LeadingInteger(" \t\r\n\v\f42"), 42);
  EXPECT_EQ(LeadingInteger("-17"), -17);
  EXPECT_EQ(LeadingInteger("+17"), 17);
  EXPECT_EQ(LeadingInteger("- 17"), 0);
  EXPECT_EQ(LeadingInteger(""), 0);
  EXPECT_EQ(LeadingInteger("abc"), 0);
  EXPECT_EQ(LeadingInteger("12%"), 12);
  EXPECT_EQ(LeadingInteger(Sjis("１２")), 0);  // full-width digits are not digits
}

TEST(LeadingIntegerTest, SaturatesAtTheInt32Range) {
  EXPECT_EQ(LeadingInteger("2147483647"), INT_MAX);
  EXPECT_EQ(LeadingInteger("2147483648"), INT_MAX);
  EXPECT_EQ(LeadingInteger("99999999999999999999999999"), INT_MAX);
  EXPECT_EQ(LeadingInteger("-2147483648"), INT_MIN);
  EXPECT_EQ(LeadingInteger("-2147483649"), INT_MIN);
  EXPECT_EQ(LeadingInteger("-99999999999999999999999999"), INT_MIN);
}

TEST(TimePrefixTest, OnlyTheBracketsAreChecked) {
  int32_t s = -1;
  SecondOfDay("[21:05:10]x", s);
  EXPECT_EQ(s, 21 * 3600 + 5 * 60 + 10);
  SecondOfDay("[ 1x 2y 3]", s);  // a blank before a digit is skipped, separators unchecked
  EXPECT_EQ(s, 3600 + 2 * 60 + 3);
  SecondOfDay("[ab:cd:ef]", s);  // letters give 0
  EXPECT_EQ(s, 0);
  SecondOfDay("[-1:-1:-1]", s);
  EXPECT_EQ(s, -3600 - 60 - 1);
  s = 77;
  SecondOfDay("21:05:10 no brackets", s);
  EXPECT_EQ(s, 77);
  SecondOfDay("[21:05:1", s);  // shorter than the prefix
  EXPECT_EQ(s, 77);
  EXPECT_FALSE(HasTimePrefix("[21:05:10"));
  EXPECT_TRUE(HasTimePrefix("[21:05:10]"));
}

TEST(MatchStartFieldsTest, AWholeLine) {
  MatchRecord m = Read("[21:05:10]とまと(２だん 123勝45敗 レート1500 最大12連鎖 切断率3%)と対戦を開始しました");
  EXPECT_EQ(m.startSecond, 75910);
  EXPECT_EQ(m.grade, 11);
  EXPECT_EQ(m.shownWins, 123);
  EXPECT_EQ(m.shownLosses, 45);
  EXPECT_EQ(m.rating, 1500);
  EXPECT_EQ(m.maxChain, 12);
  EXPECT_EQ(m.disconnectRate, 3);
}

TEST(MatchStartFieldsTest, GradeWordsInTableOrder) {
  EXPECT_EQ(Read("[00:00:00]a(１０きゅう 1勝1敗)").grade, 0);
  EXPECT_EQ(Read("[00:00:00]a(１きゅう 1勝1敗)").grade, 9);
  EXPECT_EQ(Read("[00:00:00]a(１０だん 1勝1敗)").grade, 19);
  EXPECT_EQ(Read("[00:00:00]a(９だん 1勝1敗)").grade, 18);
  // The table order decides, not the position in the line: ２だん comes
  // after ３きゅう in the table although it stands first here.
  EXPECT_EQ(Read("[00:00:00]a(２だん ３きゅう)").grade, 7);
  // The kana 1-dan contains だん, so the record is read after it.
  MatchRecord shodan = Read("[00:00:00]a(しょだん 7勝3敗)");
  EXPECT_EQ(shodan.grade, 10);
  EXPECT_EQ(shodan.shownWins, 7);
  EXPECT_EQ(shodan.shownLosses, 3);
}

TEST(MatchStartFieldsTest, OnlyTheTextAfterTheLastParenthesisHoldsTheGrade) {
  // A name holding "(" and a grade word: the figures come from after the last "(".
  MatchRecord m = Read("[00:00:00]ねこ(２だん)(５きゅう 30勝20敗)");
  EXPECT_EQ(m.grade, 5);
  EXPECT_EQ(m.shownWins, 30);
  EXPECT_EQ(m.shownLosses, 20);
}

TEST(MatchStartFieldsTest, MissingPartsLeaveTheirFieldsAlone) {
  // No "(" at all: grade and record stay 0, the other tokens are still read.
  MatchRecord noParen = Read("[00:00:00]a レート1200 最大5 切断率2%");
  EXPECT_EQ(noParen.grade, 0);
  EXPECT_EQ(noParen.shownWins, 0);
  EXPECT_EQ(noParen.rating, 1200);
  EXPECT_EQ(noParen.maxChain, 5);
  EXPECT_EQ(noParen.disconnectRate, 2);
  // "(" but no grade word: grade 20, the record is not read.
  MatchRecord noGrade = Read("[00:00:00]a(30勝20敗 レート1200)");
  EXPECT_EQ(noGrade.grade, kUnknownGrade);
  EXPECT_EQ(noGrade.shownWins, 0);
  EXPECT_EQ(noGrade.shownLosses, 0);
  // No 勝 after the grade word: neither number is written.
  MatchRecord noMark = Read("[00:00:00]a(２だん 30敗)");
  EXPECT_EQ(noMark.shownWins, 0);
  EXPECT_EQ(noMark.shownLosses, 0);
  // No 最大 token.
  EXPECT_EQ(Read("[00:00:00]a(２だん 1勝1敗 レート1500 切断率3%)").maxChain, 0);
  // Full-width digits convert to 0; the conversion stops at the percent sign.
  MatchRecord wide = Read("[00:00:00]a(２だん １勝１敗 レート１５００ 切断率12%)");
  EXPECT_EQ(wide.shownWins, 0);
  EXPECT_EQ(wide.rating, 0);
  EXPECT_EQ(wide.disconnectRate, 12);
}

TEST(MatchStartFieldsTest, TokensAreTakenFromTheNameFirst) {
  MatchRecord m = Read("[00:00:00]レート9最大8(２だん 1勝1敗 レート1500 最大12)");
  EXPECT_EQ(m.rating, 9);
  EXPECT_EQ(m.maxChain, 8);
}

TEST(MatchStartFieldsTest, NothingWithoutTheTimePrefix) {
  MatchRecord m;
  m.startSecond = 5;
  ReadMatchStartFields(m, Sjis("21:05:10]a(２だん 1勝1敗 レート1500 最大12)"));
  EXPECT_EQ(m.startSecond, 5);
  EXPECT_EQ(m.grade, 0);
  EXPECT_EQ(m.rating, 0);
  EXPECT_EQ(m.maxChain, 0);
}

TEST(MatchStartFieldsTest, NumbersBeyondInt32AndNegative) {
  MatchRecord m = Read("[00:00:00]a(２だん 99999999999勝-5敗 レート-2147483649 最大+7)");
  EXPECT_EQ(m.shownWins, INT_MAX);
  EXPECT_EQ(m.shownLosses, -5);
  EXPECT_EQ(m.rating, INT_MIN);
  EXPECT_EQ(m.maxChain, 7);
}

TEST(OpponentNameTest, CutBetweenPrefixAndLastParenthesis) {
  EXPECT_EQ(OpponentNameOf(Sjis("[00:00:00]ねこ(仮)(２だん)")), Sjis("ねこ(仮)"));
  EXPECT_EQ(OpponentNameOf("[00:00:00] a b (x"), " a b ");
  EXPECT_EQ(OpponentNameOf("[00:00:00](x"), "");
  // The last "(" before byte 10: an empty name, never a negative cut.
  EXPECT_EQ(OpponentNameOf("[00(00:00]abc"), "");
  EXPECT_EQ(OpponentNameOf("[00:00:00]abc"), "");
}

TEST(FindBytesTest, FirstOccurrence) {
  EXPECT_EQ(FindBytes("abcabc", "bc"), 1u);
  EXPECT_EQ(FindBytes("abc", "abcd"), std::string_view::npos);
  EXPECT_EQ(FindBytes("", "a"), std::string_view::npos);
  EXPECT_EQ(FindBytes("aab", "ab"), 1u);
  EXPECT_EQ(FindBytes("xyz", "z"), 2u);
}

}  // namespace
}  // namespace ledgerwise
