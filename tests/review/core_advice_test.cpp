#include "review/core_advice.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/text.h"

namespace fbc {
namespace {

std::vector<std::string> names(const CoreAdvice& advice, bool feasible) {
  std::vector<std::string> out;
  for (const CoreReview& c : advice.cores) {
    if (c.review.feasible == feasible) {
      out.push_back(toUtf8(c.core));
    }
  }
  return out;
}

// With its windings chosen (a split primary and foil), PQ50 loses 3.9 W and runs at 69.4 °C
// from 40 °C: the only core that can be built. EC90's fewer turns reflect more voltage: with
// the clamp capacitor's ripple its switch sees 524 V, above 80 % of 650 V. The rest cannot hold
// their windings or run too hot.
TEST(CoreAdviceTest, StartValuesRecommendPq50) {
  const CoreCatalogue catalogue;
  const DesignInputs inputs;
  const CoreAdvice advice = adviseCores(inputs, catalogue, levelSwing(inputs.level).value());
  ASSERT_EQ(advice.cores.size(), 18U);
  ASSERT_TRUE(advice.recommended.has_value());
  EXPECT_EQ(toUtf8(*advice.recommended), "PQ50");
  EXPECT_EQ(names(advice, true), (std::vector<std::string>{"PQ50"}));
  // The rest keep catalogue order.
  const std::vector<std::string> rest = names(advice, false);
  ASSERT_EQ(rest.size(), 17U);
  EXPECT_EQ(rest.front(), "EER25.5");
  EXPECT_EQ(rest.back(), "PQ40");
  for (const CoreReview& c : advice.cores) {
    EXPECT_TRUE(c.completed) << toUtf8(c.core);
    EXPECT_TRUE(c.review.valid) << toUtf8(c.core);
    EXPECT_TRUE(c.review.losses.valid) << toUtf8(c.core);
  }
}

TEST(CoreAdviceTest, TheConditionsDecideWhichCoresRunCoolEnough) {
  const CoreCatalogue catalogue;
  const DesignInputs inputs;
  // At most 60 °C: PQ50's 69.4 °C is too hot, EC90's 55.9 °C is not (on an 800 V switch).
  ReviewConditions strict;
  strict.maxTemperature = 60.0;
  strict.vdsRating = 800.0;
  const CoreAdvice advice = adviseCores(inputs, catalogue, 0.2, strict);
  EXPECT_EQ(names(advice, true), (std::vector<std::string>{"EC90"}));
  EXPECT_EQ(toUtf8(*advice.recommended), "EC90");
}

TEST(CoreAdviceTest, FeasibleCoresComeFirstBySizeWithCatalogueOrderOnTies) {
  const CoreCatalogue catalogue;
  DesignInputs inputs;  // 12 V 1 A from 200 V at 100 kHz, D 0.4: small enough for many cores
  inputs.vout = u"12";
  inputs.iout = u"1";
  inputs.duty = u"0.4";
  inputs.fs = u"100000";
  const CoreAdvice advice = adviseCores(inputs, catalogue, 0.2);
  // By cross-section: 44.8, 62, 81.4, 82.1, 107, 118, 119, 161, 170 mm². PQ3230's gap is long
  // enough to grind once the fringing flux is counted.
  EXPECT_EQ(names(advice, true),
            (std::vector<std::string>{"EER25.5", "PQ2020", "EER28L", "EER28", "EER35", "PQ2625",
                                      "PQ2620", "PQ3230", "PQ3220"}));
  ASSERT_TRUE(advice.recommended.has_value());
  EXPECT_EQ(toUtf8(*advice.recommended), "EER25.5");
  std::size_t i = 0;
  for (; i < advice.cores.size() && advice.cores[i].review.feasible; ++i) {
    if (i > 0) {
      EXPECT_LE(advice.cores[i - 1].ae, advice.cores[i].ae) << i;
    }
  }
  EXPECT_EQ(i, 9U);
  // The infeasible rest in catalogue order; PQ2016 shares PQ2020's cross-section but its small
  // window does not take the copper.
  std::vector<std::string> rest = names(advice, false);
  EXPECT_EQ(rest, (std::vector<std::string>{"EER40", "EER42", "EER424220", "EER49", "EC90",
                                            "PQ2016", "PQ35", "PQ40", "PQ50"}));
}

TEST(CoreAdviceTest, InputsThatStopTheCalculationRecommendNothing) {
  const CoreCatalogue catalogue;
  DesignInputs inputs;
  inputs.vin = u"abc";
  const CoreAdvice advice = adviseCores(inputs, catalogue, 0.2);
  EXPECT_FALSE(advice.recommended.has_value());
  ASSERT_EQ(advice.cores.size(), 18U);
  EXPECT_EQ(toUtf8(advice.cores.front().core), "EER25.5");
  for (const CoreReview& c : advice.cores) {
    EXPECT_FALSE(c.completed);
    EXPECT_FALSE(c.review.valid);
  }
}

TEST(CoreAdviceTest, WithoutALevelEveryCoreStartsFromTheGivenSwing) {
  const CoreCatalogue catalogue;
  DesignInputs inputs;
  inputs.level = CoreLevel::None;
  const CoreAdvice none = adviseCores(inputs, catalogue, 0.2);
  inputs.level = CoreLevel::Typ;
  const CoreAdvice typ = adviseCores(inputs, catalogue, 0.2);
  ASSERT_EQ(none.cores.size(), typ.cores.size());
  for (std::size_t i = 0; i < none.cores.size(); ++i) {
    EXPECT_EQ(none.cores[i].core, typ.cores[i].core);
    EXPECT_EQ(none.cores[i].review.Np, typ.cores[i].review.Np);
  }
  EXPECT_EQ(none.recommended, typ.recommended);
}

}  // namespace
}  // namespace fbc
