#include "report/number_format.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>

namespace ledgerwise {
namespace {

std::string Fixed(double v, int decimals) {
  std::string out;
  AppendFixed(out, v, decimals);
  return out;
}

std::string Padded(int64_t v, int width, char pad) {
  std::string out;
  AppendPadded(out, v, width, pad);
  return out;
}

TEST(FixedTest, HalfwayRoundsAwayFromZero) {
  EXPECT_EQ(Fixed(1.0 / 16, 3), "0.063");
  EXPECT_EQ(Fixed(-1.0 / 16, 3), "-0.063");
  EXPECT_EQ(Fixed(2.5, 0), "3");
  EXPECT_EQ(Fixed(0.5, 0), "1");
  EXPECT_EQ(Fixed(-2.5, 0), "-3");
  EXPECT_EQ(Fixed(1234.5, 0), "1235");
  EXPECT_EQ(Fixed(1.25, 1), "1.3");
  EXPECT_EQ(Fixed(0.125, 2), "0.13");
  EXPECT_EQ(Fixed(3.0 / 16, 3), "0.188");
  EXPECT_EQ(Fixed(0.0625 + 1024, 3), "1024.063");
}

TEST(FixedTest, NearHalfwayFollowsTheExactBinaryValue) {
  // 0.1245 and 1.0005 are not exactly representable; their binary values lie
  // below the halfway point, so they round down.
  EXPECT_EQ(Fixed(0.1245, 3), "0.124");
  EXPECT_EQ(Fixed(1.0005, 3), "1.000");
  // 0.0005f widened to double lies just above halfway.
  EXPECT_EQ(Fixed(double{0.0005f}, 3), "0.001");
  EXPECT_EQ(Fixed(2.4999999999999996, 0), "2");
  EXPECT_EQ(Fixed(std::nextafter(0.0625, 1.0), 3), "0.063");
  EXPECT_EQ(Fixed(std::nextafter(0.0625, 0.0), 3), "0.062");
}

TEST(FixedTest, OrdinaryValuesAndSigns) {
  EXPECT_EQ(Fixed(0.0, 3), "0.000");
  EXPECT_EQ(Fixed(0.6, 3), "0.600");
  EXPECT_EQ(Fixed(50.0, 3), "50.000");
  EXPECT_EQ(Fixed(123456789.0, 1), "123456789.0");
  EXPECT_EQ(Fixed(10.0, 1), "10.0");
  // A negative value that rounds to zero keeps its sign, as printf does.
  EXPECT_EQ(Fixed(-0.0001, 3), "-0.000");
  EXPECT_EQ(Fixed(-0.0, 3), "-0.000");
  EXPECT_EQ(Fixed(-0.0005, 3), "-0.001");
  EXPECT_EQ(Fixed(double{FLT_MAX}, 0), "340282346638528859811704183484516925440");
}

// Against the C library everywhere but at exact ties.
TEST(FixedTest, AgreesWithPrintfAwayFromTies) {
  uint64_t state = 12345;
  for (int i = 0; i < 100000; ++i) {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    double v = static_cast<double>(static_cast<int64_t>(state >> 11) % 20000000) / 7919.0 - 1000.0;
    for (int decimals = 0; decimals <= 3; ++decimals) {
      char expected[64];
      std::snprintf(expected, sizeof expected, "%.*f", decimals, v);
      ASSERT_EQ(Fixed(v, decimals), expected) << v;
    }
  }
}

TEST(IntegerTest, PaddingAndSigns) {
  EXPECT_EQ(Padded(5, 2, '0'), "05");
  EXPECT_EQ(Padded(123, 2, '0'), "123");
  EXPECT_EQ(Padded(-5, 2, '0'), "-5");
  EXPECT_EQ(Padded(-5, 3, '0'), "-05");
  EXPECT_EQ(Padded(7, 4, ' '), "   7");
  EXPECT_EQ(Padded(2026, 4, ' '), "2026");
  EXPECT_EQ(Padded(-12, 4, ' '), " -12");
  std::string out;
  AppendInt(out, INT64_MIN);
  EXPECT_EQ(out, "-9223372036854775808");
}

}  // namespace
}  // namespace ledgerwise
