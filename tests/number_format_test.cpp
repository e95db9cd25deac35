#include "report/number_format.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <string>

namespace ledgerwise {
namespace {

std::string Fixed(double v, int decimals) {
  char text[kMaxNumberText];
  return std::string(text, WriteFixed(text, v, decimals));
}

TEST(NumberFormatTest, Fixed) {
  struct Case {
    double value;
    int decimals;
    const char* text;
  };
  // clang-format off
  const Case cases[] = {
      // Exact halfway values round away from zero.
      {1.0 / 16, 3, "0.063"}, {-1.0 / 16, 3, "-0.063"}, {2.5, 0, "3"}, {0.5, 0, "1"},
      {-2.5, 0, "-3"}, {1234.5, 0, "1235"}, {1.25, 1, "1.3"}, {0.125, 2, "0.13"},
      {3.0 / 16, 3, "0.188"}, {1024.0625, 3, "1024.063"},
      // Near halfway, the exact binary value decides.
      {0.1245, 3, "0.124"}, {1.0005, 3, "1.000"}, {double{0.0005f}, 3, "0.001"},
      {2.4999999999999996, 0, "2"}, {std::nextafter(0.0625, 1.0), 3, "0.063"},
      {std::nextafter(0.0625, 0.0), 3, "0.062"},
      // A negative value that rounds to zero keeps its sign, as printf does.
      {-0.0001, 3, "-0.000"}, {-0.0, 3, "-0.000"}, {-0.0005, 3, "-0.001"}, {0.0, 3, "0.000"},
      {123456789.0, 1, "123456789.0"},
      {double{FLT_MAX}, 0, "340282346638528859811704183484516925440"},
  };
  // clang-format on
  for (const Case& c : cases) EXPECT_EQ(Fixed(c.value, c.decimals), c.text) << c.value;
}

}  // namespace
}  // namespace ledgerwise
