#include "review/circuit/mains_input.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

#include "platform/text.h"

namespace fbc {

namespace {

MainsInput mains(double vacMin, double vacMax, double fL, double dch,
                 std::optional<double> c = std::nullopt) {
  MainsInput m;
  m.vacMin = vacMin;
  m.vacMax = vacMax;
  m.lineFrequency = fL;
  m.chargeDuty = dch;
  m.bulkCapacitance = c;
  return m;
}

}  // namespace

// Fairchild AN-4137, appendix step 2: 85-265 VAC at 60 Hz, Pin 67 W, 150 uF (2 uF/W) gives
// VDCmin 92 V and VDCmax 375 V.
TEST(MainsInputTest, AN4137AppendixValleyAndPeak) {
  const MainsInput m = mains(85, 265, 60, 0.2, 150e-6);
  const std::optional<InputSupply> supply = mainsSupply(m, 67.0);
  ASSERT_TRUE(supply);
  EXPECT_EQ(supply->kind, InputSupply::Kind::Ac);
  EXPECT_NEAR(supply->VDCmin, 92.0, 0.5);
  EXPECT_NEAR(supply->VDCmax, 375.0, 0.5);
  EXPECT_FALSE(supply->CbulkChosen);
  EXPECT_EQ(supply->Cbulk, 150e-6);
  // The rule of thumb chooses the same capacitor: 2 uF/W of 67 W is 134 uF, 150 uF in E6.
  EXPECT_NEAR(ruleOfThumbBulkCapacitance(m, 67.0), 150e-6, 1e-12);
}

// Power Integrations AN-22 (with AN-17's bulk model): 85 VAC at 50 Hz, 68 uF, Pin = 25 W / 0.8,
// the bridge conducting tC = 3 ms, gives VMIN 90 V. AN-17 discharges the capacitor for
// 1/(2 fL) - tC; AN-4137's (1 - Dch)/(2 fL) is the same with Dch = 2 fL tC = 0.3.
TEST(MainsInputTest, AN22ValleyWithTheBridgeConductionTimeAsAChargeShare) {
  const std::optional<double> valley = bulkValley(mains(85, 265, 50, 2 * 50 * 3e-3), 68e-6, 31.25);
  ASSERT_TRUE(valley);
  EXPECT_NEAR(*valley, 90.0, 1.0);
}

TEST(MainsInputTest, RuleOfThumbByLineAndRoundedUpToE6) {
  struct Case {
    double vacMin;
    double pin;
    double expected;
  };
  const Case cases[] = {
      {85, 67.0, 150e-6},  // 134 uF
      {85, 50.0, 100e-6},  // exactly 100 uF stays
      {90, 11.0, 22e-6},   // 22 uF stays
      {179, 10.0, 22e-6},  // 20 uF: still 2 uF/W below 180 V
      {180, 10.0, 10e-6},  // 1 uF/W from 180 V
      {195, 34.0, 47e-6},  // 34 uF
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.vacMin);
    EXPECT_NEAR(ruleOfThumbBulkCapacitance(mains(c.vacMin, 265, 50, 0.2), c.pin), c.expected,
                c.expected * 1e-9);
  }
}

TEST(MainsInputTest, ACapacitorTooSmallGivesNoValleyAndTheLeastThatHolds) {
  const MainsInput m = mains(85, 265, 50, 0.2);
  EXPECT_FALSE(bulkValley(m, 1e-6, 67.0));
  EXPECT_FALSE(mainsSupply(mains(85, 265, 50, 0.2, 1e-6), 67.0));
  // The least capacitance gives exactly the valley asked for.
  const double least = leastBulkCapacitance(m, 67.0, 10.0);
  const std::optional<double> valley = bulkValley(m, least, 67.0);
  ASSERT_TRUE(valley);
  EXPECT_NEAR(*valley, 10.0, 1e-6);
  EXPECT_FALSE(bulkValley(m, least * 0.999, 67.0) && *bulkValley(m, least * 0.999, 67.0) >= 10.0);
}

TEST(MainsInputTest, TheValleyIsTypedToTheHundredthOfAVolt) {
  EXPECT_EQ(toUtf8(valleyInputText(92.1734)), "92.17");
  EXPECT_EQ(toUtf8(valleyInputText(100.0)), "100");
  EXPECT_EQ(inputKindCode(InputSupply::Kind::Ac), "ac");
  EXPECT_EQ(inputKindCode(InputSupply::Kind::Dc), "dc");
}

}  // namespace fbc
