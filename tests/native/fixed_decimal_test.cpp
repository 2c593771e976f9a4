#include "support/fixed_decimal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>

namespace {

using corvane::FixedDecimal;

// What the C library prints for the same value: the text the formatter must give.
std::string Printed(double value, int decimals) {
  char text[400];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

TEST(FixedDecimal, MatchesPrintfFromTheSmallestToTheLargestValues) {
  std::mt19937_64 random(20261207);
  std::uniform_real_distribution<double> sizes(0.0, 2048.0);
  for (int i = 0; i < 40000; ++i) {
    const int decimals = i % 4;
    // Every binary exponent, from any bit pattern; and the sizes the programs print.
    const std::uint64_t bits = random();
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    if (i % 2 == 0 || !std::isfinite(value)) value = sizes(random) * (i % 3 == 0 ? -1 : 1);
    ASSERT_EQ(FixedDecimal(value, decimals), Printed(value, decimals)) << std::hexfloat << value;
  }
}

TEST(FixedDecimal, RoundsExactHalvesToEvenAndOtherValuesToTheNearest) {
  EXPECT_EQ(FixedDecimal(0.5, 0), "0");
  EXPECT_EQ(FixedDecimal(1.5, 0), "2");
  EXPECT_EQ(FixedDecimal(2.5, 0), "2");
  EXPECT_EQ(FixedDecimal(0.125, 2), "0.12");
  EXPECT_EQ(FixedDecimal(0.375, 2), "0.38");
  EXPECT_EQ(FixedDecimal(562949953421312.125, 2), "562949953421312.12");  // 2^49 + 1/8
  EXPECT_EQ(FixedDecimal(0.05, 1), "0.1");  // just above the half in binary
  EXPECT_EQ(FixedDecimal(0.15, 1), "0.1");  // just below it
  EXPECT_EQ(FixedDecimal(1023.995, 2), Printed(1023.995, 2));
  EXPECT_EQ(FixedDecimal(9.9999, 3), "10.000");
}

TEST(FixedDecimal, WritesZeroesExtremesAndSpecialValuesAsPrintfDoes) {
  EXPECT_EQ(FixedDecimal(0.0, 2), "0.00");
  EXPECT_EQ(FixedDecimal(-0.0, 2), "-0.00");
  EXPECT_EQ(FixedDecimal(-0.001, 2), "-0.00");
  EXPECT_EQ(FixedDecimal(1459978240.0, 0), "1459978240");
  EXPECT_EQ(FixedDecimal(std::numeric_limits<double>::denorm_min(), 3), "0.000");
  const double largest = std::numeric_limits<double>::max();
  EXPECT_EQ(FixedDecimal(largest, 2), Printed(largest, 2));
  EXPECT_EQ(FixedDecimal(-largest, 1), Printed(-largest, 1));
  EXPECT_EQ(FixedDecimal(std::numeric_limits<double>::infinity(), 2), "inf");
  EXPECT_EQ(FixedDecimal(-std::numeric_limits<double>::infinity(), 2), "-inf");
  EXPECT_EQ(FixedDecimal(std::numeric_limits<double>::quiet_NaN(), 2), "nan");
}

}  // namespace
