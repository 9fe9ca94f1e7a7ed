#include "review/stress_formulas.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "design/calculation.h"
#include "design/core_catalogue.h"
#include "review/switch_stress.h"
#include "tests/review/formula_text.h"

namespace fbc {
namespace {

// Designs whose stress takes every row of the table: a fixed input and an input range, an
// estimated and a measured leakage, a clamp to size and none, coupling and a leakage beyond
// LpRef itself.
struct StressCase {
  const char* what;
  DesignInputs inputs;
  ReviewConditions conditions;
};

ReviewConditions conditions(std::optional<double> vinMax, std::optional<double> leakage,
                            double clampRatio = 1.5, double vdsRating = 650) {
  ReviewConditions c;
  c.vinMax = vinMax;
  c.leakage = leakage;
  c.clampRatio = clampRatio;
  c.vdsRating = vdsRating;
  return c;
}

ReviewConditions woundPs(ReviewConditions c) {
  c.arrangement = WindingArrangement::Ps;
  return c;
}

// From 370 V in another drive mode; `ripple` and `cd` only count in their modes.
ReviewConditions inMode(DriveMode mode, double ripple = 0.5, double cd = 100e-12) {
  ReviewConditions c = conditions(370.0, std::nullopt);
  c.mode = mode;
  c.ripple = ripple;
  c.drainCapacitance = cd;
  return c;
}

std::vector<StressCase> stressCases() {
  const auto with = [](auto change) {
    DesignInputs inputs;
    change(inputs);
    return inputs;
  };
  const DesignInputs pq50 = with([](DesignInputs& d) { d.core = u"PQ50"; });
  return {
      {"start values: windings that do not fit, no leakage estimated", DesignInputs{}, {}},
      {"PQ50: a measured leakage beyond LpRef", pq50, conditions(std::nullopt, 1e-3)},
      {"PQ50 from 370 V", pq50, conditions(370.0, std::nullopt)},
      {"PQ50 wound ps from 370 V", pq50, woundPs(conditions(370.0, std::nullopt))},
      {"PQ50 measured, r = 2, 800 V", pq50, conditions(300.0, 2e-6, 2.0, 800.0)},
      {"PQ50 with no leakage", pq50, conditions(std::nullopt, 0.0)},
      {"EC90 at 100 kHz, hi, 141 V to 400 V", with([](DesignInputs& d) {
         d.core = u"EC90";
         d.fs = u"100000";
         d.vin = u"141";
         d.level = CoreLevel::Hi;
       }),
       conditions(400.0, std::nullopt, 3.0)},
      {"PQ50 pfm-critical from 370 V", pq50, inMode(DriveMode::PfmCritical)},
      {"PQ50 pwm-ccm, continuous up to 370 V and beyond", pq50, inMode(DriveMode::PwmCcm)},
      // At KRF = 1 the converter is at the boundary at Vin already.
      {"PQ50 pwm-ccm at the boundary, discontinuous at 370 V", pq50,
       inMode(DriveMode::PwmCcm, 1.0)},
      {"PQ50 qr from 370 V with 220 pF", pq50, inMode(DriveMode::Qr, 0.5, 220e-12)},
  };
}

struct Reviewed {
  DesignState state;
  DesignReview review;
};

Reviewed reviewed(const StressCase& c) {
  Reviewed r;
  EXPECT_TRUE(calculateDesign(c.inputs, CoreCatalogue{}, r.state).completed);
  r.review = reviewDesign(r.state, *levelSwing(c.inputs.level), c.conditions);
  return r;
}

// The row a step was written from.
std::size_t rowOf(const StressStep& step) {
  for (std::size_t i = 0; i < kStressFormulas.size(); ++i) {
    if (kStressFormulas[i].name == step.name && kStressFormulas[i].formula == step.formula) {
      return i;
    }
  }
  ADD_FAILURE() << step.name << " = " << step.formula << " comes from no row";
  return kStressFormulas.size();
}

TEST(StressFormulas, EachFormulaTextComputesTheEnginesNumber) {
  std::set<std::size_t> used;
  for (const StressCase& c : stressCases()) {
    SCOPED_TRACE(c.what);
    const Reviewed r = reviewed(c);
    const std::optional<StressContext> context = stressContext(r.state, r.review, c.conditions);
    ASSERT_TRUE(context.has_value());
    const auto lookup = [&](std::string_view name) {
      const std::optional<double> value = stressOperand(name, *context);
      if (!value) {
        throw std::invalid_argument("no operand " + std::string(name));
      }
      return *value;
    };
    for (const StressStep& step : stressSteps(*context)) {
      SCOPED_TRACE(step.name + " = " + step.formula);
      used.insert(rowOf(step));
      if (step.formula.empty()) {
        EXPECT_FALSE(step.source.empty());
        continue;
      }
      // The leakage of windings that do not fit is not worked out, nor is what follows from it.
      if (step.notEstimated) {
        EXPECT_FALSE(r.review.stress.leakageKnown);
        continue;
      }
      const double fromText = FormulaText(step.formula, lookup).value();
      EXPECT_NEAR(fromText, step.value, 1e-12 * std::abs(step.value));
    }
  }
  EXPECT_EQ(used.size(), kStressFormulas.size()) << "a row no case writes";
}

// The operands are the engine's own numbers, so the formulas above check the engine; every
// number of the stress has its row.
TEST(StressFormulas, OperandsAndStepsAreTheEnginesNumbers) {
  for (const StressCase& c : stressCases()) {
    SCOPED_TRACE(c.what);
    const Reviewed r = reviewed(c);
    const std::optional<StressContext> context = stressContext(r.state, r.review, c.conditions);
    ASSERT_TRUE(context.has_value());
    const std::vector<StressStep> steps = stressSteps(*context);
    for (const StressQuantity& q : stressQuantities(r.review.stress)) {
      SCOPED_TRACE(std::string(q.name));
      if (q.boolean) {
        continue;
      }
      EXPECT_EQ(stressOperand(q.name, *context), q.value);
      const auto step = std::find_if(steps.begin(), steps.end(),
                                     [&q](const StressStep& s) { return s.name == q.name; });
      // An absent part has no row, nor has pwm-critical's frequency and peak current at the
      // highest input: they are the design point's.
      const bool designPoint =
          r.review.mode == DriveMode::PwmCritical && (q.name == "fsHigh" || q.name == "IpkHigh");
      ASSERT_EQ(step != steps.end(), (q.value.has_value() || q.unknown) && !designPoint);
      EXPECT_EQ(step != steps.end() && step->notEstimated, q.unknown);
      if (designPoint) {
        continue;
      }
      if (q.value) {
        EXPECT_EQ(step->value, *q.value);
      }
    }
    EXPECT_EQ(stressOperand("r", *context), c.conditions.clampRatio);
    EXPECT_EQ(stressOperand("Ipk", *context), r.review.Ipk);
    EXPECT_EQ(stressOperand("Vin", *context), static_cast<double>(r.state.Vin));
    EXPECT_EQ(stressOperand("MLT", *context), r.review.losses.meanTurn);
    EXPECT_FALSE(stressOperand("nothing", *context).has_value());
  }
}

TEST(StressFormulas, TakenValuesSayWhereTheyComeFrom) {
  const struct {
    std::size_t stressCase;
    std::string name;
    std::string source;  // empty: worked out by a formula
    std::string note;
  } expected[] = {
      {0, "VinMax", "", ""},
      {0, "Llk", "", ""},
      {2, "VinMax", "the highest input given", ""},
      {2, "RclampE24", "largest E24 value at most Rclamp", ""},
      {2, "CclampE12", "smallest E12 value at least Cclamp", ""},
      {2, "VdsRating", "the switch's rating", "80 % of it allowed: 520 V"},
      {4, "Llk", "measured", ""},
      {4, "VdsRating", "the switch's rating", "80 % of it allowed: 640 V"},
      {5, "Pclamp", "", "no leakage: no clamp parts needed"},
  };
  const std::vector<StressCase> cases = stressCases();
  for (const auto& e : expected) {
    const StressCase& c = cases[e.stressCase];
    SCOPED_TRACE(std::string(c.what) + ": " + e.name);
    const Reviewed r = reviewed(c);
    const std::vector<StressStep> steps =
        stressSteps(*stressContext(r.state, r.review, c.conditions));
    const auto step = std::find_if(steps.begin(), steps.end(),
                                   [&e](const StressStep& s) { return s.name == e.name; });
    ASSERT_NE(step, steps.end());
    EXPECT_EQ(step->source, e.source);
    EXPECT_EQ(step->formula.empty(), !e.source.empty());
    EXPECT_EQ(step->note, e.note);
  }
}

TEST(StressFormulas, NoContextWithoutAValidStress) {
  const StressCase c = stressCases()[1];
  const Reviewed r = reviewed(c);
  EXPECT_FALSE(stressContext(r.state, DesignReview{}, c.conditions).has_value());
  DesignReview withoutStress = r.review;
  withoutStress.stress = SwitchStress{};
  EXPECT_FALSE(stressContext(r.state, withoutStress, c.conditions).has_value());
}

}  // namespace
}  // namespace fbc
