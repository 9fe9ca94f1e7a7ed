#include "platform/checked_math.h"

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/errors.h"

namespace fbc {
namespace {

constexpr double kMax = std::numeric_limits<double>::max();
constexpr double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

struct FaultCase {
  std::string name;
  std::function<void()> operation;
  int error;
};

TEST(CheckedMathTest, FaultsRaiseThePlatformErrorNumbers) {
  const std::vector<FaultCase> cases = {
      {"1 / 0", [] { checkedDivide(1.0, 0.0); }, 11},
      {"-2.5 / -0", [] { checkedDivide(-2.5, -0.0); }, 11},
      {"0 / 0", [] { checkedDivide(0.0, 0.0); }, 6},
      {"max * 2", [] { checkedMultiply(kMax, 2.0); }, 6},
      {"max + max", [] { checkedAdd(kMax, kMax); }, 6},
      {"-max - max", [] { checkedSubtract(-kMax, kMax); }, 6},
      {"max / 0.5", [] { checkedDivide(kMax, 0.5); }, 6},
      {"10 ^ 400", [] { checkedPower(10.0, 400.0); }, 6},
      {"0 ^ -1", [] { checkedPower(0.0, -1.0); }, 5},
      {"-8 ^ 0.5", [] { checkedPower(-8.0, 0.5); }, 5},
      {"sqrt(-1)", [] { checkedSqrt(-1.0); }, 5},
      {"log(0)", [] { checkedLog(0.0); }, 5},
      {"log(-1)", [] { checkedLog(-1.0); }, 5},
      {"inf + 1", [] { checkedAdd(kInf, 1.0); }, 6},
      {"NaN * 0", [] { checkedMultiply(kNaN, 0.0); }, 6},
      {"sin(inf)", [] { checkedSin(kInf); }, 6},
      {"sqrt(NaN)", [] { checkedSqrt(kNaN); }, 6},
      {"single(1e39)", [] { toSingleChecked(1e39); }, 6},
      {"single(-1e39)", [] { toSingleChecked(-1e39); }, 6},
      {"single(inf)", [] { toSingleChecked(kInf); }, 6},
      {"single(NaN)", [] { toSingleChecked(kNaN); }, 6},
      {"int16(32767.5)", [] { toInt16Checked(32767.5); }, 6},
      {"int16(-32768.6)", [] { toInt16Checked(-32768.6); }, 6},
      {"int16(1000000)", [] { toInt16Checked(1000000.0); }, 6},
      {"int16(NaN)", [] { toInt16Checked(kNaN); }, 6},
      {"int32(2147483647.5)", [] { toInt32Checked(2147483647.5); }, 6},
      {"int32(-1e10)", [] { toInt32Checked(-1e10); }, 6},
      {"int32(inf)", [] { toInt32Checked(kInf); }, 6},
  };
  for (const FaultCase& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      c.operation();
      ADD_FAILURE() << "no error raised";
    } catch (const RuntimeError& error) {
      EXPECT_EQ(error.code(), c.error);
    }
  }
}

TEST(CheckedMathTest, ValidOperationsGiveTheIeeeResult) {
  EXPECT_EQ(checkedAdd(0.1, 0.2), 0.1 + 0.2);
  EXPECT_EQ(checkedSubtract(1.0, 3.0), -2.0);
  EXPECT_EQ(checkedMultiply(1e154, 1e154), 1e154 * 1e154);
  EXPECT_EQ(checkedDivide(0.0, 5.0), 0.0);
  EXPECT_EQ(checkedDivide(1.0, 3.0), 1.0 / 3.0);
  EXPECT_EQ(checkedPower(2.0, 10.0), 1024.0);
  EXPECT_EQ(checkedPower(0.0, 0.0), 1.0);
  EXPECT_EQ(checkedPower(-2.0, 3.0), -8.0);
  EXPECT_EQ(checkedPower(0.0, 2.0), 0.0);
  EXPECT_EQ(checkedSqrt(0.0), 0.0);
  EXPECT_EQ(checkedSqrt(2.0), std::sqrt(2.0));
  EXPECT_EQ(checkedLog(1.0), 0.0);
  EXPECT_EQ(checkedLog(1000.0) / checkedLog(10.0), 2.9999999999999996);
  EXPECT_EQ(checkedSin(0.0), 0.0);
  // Underflow is not a fault: the result is just tiny or zero.
  EXPECT_EQ(checkedMultiply(1e-200, 1e-200), 0.0);
}

TEST(CheckedMathTest, StoringIn32BitsRoundsOnce) {
  // The nanosecond constant lands in a 32-bit float as its nearest single.
  EXPECT_EQ(toSingleChecked(1e-9), 1e-9F);
  EXPECT_NEAR(static_cast<double>(toSingleChecked(1e-9)), 9.999999717e-10, 1e-19);
  EXPECT_EQ(static_cast<double>(toSingleChecked(0.001)), 0.0010000000474974513);
  // Just above the largest single but rounding down to it still fits.
  EXPECT_EQ(toSingleChecked(3.4028235e38), std::numeric_limits<float>::max());
  // Too small for a normal single: becomes subnormal or zero, no error.
  EXPECT_EQ(toSingleChecked(1e-50), 0.0F);
}

TEST(CheckedMathTest, IntegerStoresRoundHalfToEven) {
  struct Case {
    double value;
    double rounded;
  };
  const Case cases[] = {
      {2.5, 2.0}, {3.5, 4.0},    {-2.5, -2.0},  {-3.5, -4.0}, {0.5, 0.0},
      {1.5, 2.0}, {2.4999, 2.0}, {2.5001, 3.0}, {-0.4, -0.0}, {1e15 + 1, 1e15 + 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(roundHalfEven(c.value), c.rounded);
  }
  EXPECT_EQ(toInt16Checked(32767.4), 32767);
  EXPECT_EQ(toInt16Checked(-32768.5), -32768);
  EXPECT_EQ(toInt16Checked(-2.5), -2);
  EXPECT_EQ(toInt32Checked(-2147483648.5), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(toInt32Checked(2147483646.5), 2147483646);
  EXPECT_EQ(toInt32Checked(1000000.0), 1000000);
}

}  // namespace
}  // namespace fbc
