#include "review/loss_formulas.h"

#include <cmath>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "design/calculation.h"
#include "design/core_catalogue.h"
#include "platform/number_text.h"
#include "platform/text.h"
#include "review/losses.h"
#include "tests/review/formula_text.h"
#include "tests/review/loss_conditions.h"

namespace fbc {
namespace {

// Designs whose losses take every row of the table: one wire and strands, a measured and an
// estimated thermal resistance, each material, a frequency inside and outside the data.
struct LossCase {
  const char* what;
  DesignInputs inputs;
  ReviewConditions conditions;
};

ReviewConditions atHighInput(DriveMode mode, double vinMax) {
  ReviewConditions c;
  c.mode = mode;
  c.vinMax = vinMax;
  return c;
}

ReviewConditions given(const Wire& primary, const Wire& secondary, WindingArrangement arrangement) {
  ReviewConditions c;
  c.wirePrimary = primary;
  c.wireSecondary = secondary;
  c.arrangement = arrangement;
  return c;
}

std::vector<LossCase> lossCases() {
  const auto with = [](auto change) {
    DesignInputs inputs;
    change(inputs);
    return inputs;
  };
  return {
      {"start values, EER25.5, N97", DesignInputs{}, {}},
      {"thin primary wire, EER28",
       with([](DesignInputs& d) {
         d.vout = u"5";
         d.iout = u"1";
         d.core = u"EER28";
       }),
       {}},
      {"PQ3230 in N87 at 25 °C", with([](DesignInputs& d) { d.core = u"PQ3230"; }),
       test::lossConditions("N87", 25, 100)},
      {"EC90 in 3C95 at 100 kHz", with([](DesignInputs& d) {
         d.core = u"EC90";
         d.fs = u"100000";
       }),
       test::lossConditions("3C95", 60, 120)},
      {"PQ50 in 3C90, hi, duty 0.4", with([](DesignInputs& d) {
         d.core = u"PQ50";
         d.level = CoreLevel::Hi;
         d.duty = u"0.4";
       }),
       test::lossConditions("3C90", -20, 100)},
      {"N97 beyond its data at 300 kHz",
       with([](DesignInputs& d) {
         d.fs = u"300000";
         d.core = u"PQ40";
         d.level = CoreLevel::Lo;
       }),
       {}},
      {"PQ50 wound as given: litz and wires in hand, ps",
       with([](DesignInputs& d) { d.core = u"PQ50"; }),
       given(Wire{WireKind::Litz, 0.1, 150}, Wire{WireKind::Strands, 0.5, 24},
             WindingArrangement::Ps)},
      {"PQ50 wound as given: round wire split either side of foil",
       with([](DesignInputs& d) { d.core = u"PQ50"; }),
       given(Wire{WireKind::Round, 1.0, 1}, Wire{WireKind::Foil, 0.3, 1}, WindingArrangement::Psp)},
      // The highest input runs hotter: its frequency, swing and shares of the period.
      {"PQ50 in pwm-ccm from 370 V", with([](DesignInputs& d) { d.core = u"PQ50"; }),
       atHighInput(DriveMode::PwmCcm, 370.0)},
      {"EC90 in qr from 400 V", with([](DesignInputs& d) { d.core = u"EC90"; }),
       atHighInput(DriveMode::Qr, 400.0)},
  };
}

struct Reviewed {
  DesignState state;
  DesignReview review;
};

Reviewed reviewed(const LossCase& c) {
  Reviewed r;
  EXPECT_TRUE(calculateDesign(c.inputs, CoreCatalogue{}, r.state).completed);
  r.review = reviewDesign(r.state, *levelSwing(c.inputs.level), c.conditions);
  return r;
}

// The row a step was written from: its texts with the winding's suffix put in.
std::size_t rowOf(const LossStep& step) {
  for (std::size_t i = 0; i < kLossFormulas.size(); ++i) {
    for (const std::string_view suffix : {"", "P", "S"}) {
      const auto expand = [suffix](std::string_view text) {
        std::string out;
        for (char ch : text) {
          if (ch == '@') {
            out += suffix;
          } else if (ch == '#') {
            out += suffix == "P" ? "p" : "s";
          } else {
            out += ch;
          }
        }
        return out;
      };
      if (expand(kLossFormulas[i].name) == step.name &&
          expand(kLossFormulas[i].formula) == step.formula) {
        return i;
      }
    }
  }
  ADD_FAILURE() << step.name << " = " << step.formula << " comes from no row";
  return kLossFormulas.size();
}

TEST(LossFormulas, EachFormulaTextComputesTheEnginesNumber) {
  std::set<std::size_t> used;
  for (const LossCase& c : lossCases()) {
    SCOPED_TRACE(c.what);
    const Reviewed r = reviewed(c);
    ASSERT_TRUE(r.review.valid);
    const std::optional<LossContext> context = lossContext(r.state, r.review);
    ASSERT_TRUE(context.has_value());
    const auto lookup = [&](std::string_view name) {
      const std::optional<double> value = lossOperand(name, *context);
      if (!value) {
        throw std::invalid_argument("no operand " + std::string(name));
      }
      return *value;
    };
    for (const LossStep& step : lossSteps(*context)) {
      SCOPED_TRACE(step.name + " = " + step.formula);
      used.insert(rowOf(step));
      if (step.whole) {
        EXPECT_EQ(step.value, std::floor(step.value));
      }
      if (step.formula.empty()) {
        EXPECT_FALSE(step.source.empty());
        continue;
      }
      const double fromText = FormulaText(step.formula, lookup).value();
      EXPECT_NEAR(fromText, step.value, 1e-12 * std::abs(step.value));
    }
  }
  EXPECT_EQ(used.size(), kLossFormulas.size()) << "a row no case writes";
  for (const std::size_t at : {std::size_t{2}, lossCases().size() - 1}) {
    const Reviewed r = reviewed(lossCases()[at]);
    EXPECT_EQ(r.review.losses.lossesAt, at == 2 ? LossPoint::Design : LossPoint::VinMax);
  }
}

// The operands are the engine's own numbers, so the formulas above check the engine.
TEST(LossFormulas, OperandsAreTheEnginesNumbers) {
  for (const LossCase& c : lossCases()) {
    SCOPED_TRACE(c.what);
    const Reviewed r = reviewed(c);
    const std::optional<LossContext> context = lossContext(r.state, r.review);
    ASSERT_TRUE(context.has_value());
    const TransformerLosses& losses = r.review.losses;
    for (const LossQuantity& q : lossQuantities(losses)) {
      // A figure not shown for windings that do not fit is still the engine's number.
      if (q.kind != LossQuantity::Kind::Boolean && q.value) {
        EXPECT_EQ(lossOperand(q.name, *context), q.value) << q.name;
      }
    }
    for (const WindingLoss& w : losses.windings) {
      const std::string suffix(windingSuffix(w.winding));
      EXPECT_EQ(lossOperand("nStrands" + suffix, *context), w.wire.strands);
      EXPECT_EQ(lossOperand("phi" + suffix, *context), w.phi);
      EXPECT_EQ(lossOperand("M" + suffix, *context), w.strandLayers);
      EXPECT_EQ(lossOperand("dO" + suffix, *context), w.layout.outerDiameter);
    }
    EXPECT_EQ(lossOperand("ki", *context), igseCoefficient(*context->band.band));
    EXPECT_EQ(lossOperand("Tambient", *context), c.conditions.ambient);
    EXPECT_EQ(lossOperand("Np", *context), r.review.Np);
    EXPECT_EQ(lossOperand("Duty", *context), static_cast<double>(r.state.Duty));
    EXPECT_FALSE(lossOperand("nothing", *context).has_value());
  }
}

TEST(LossFormulas, TakenValuesSayWhereTheyComeFrom) {
  const std::vector<LossCase> cases = lossCases();
  for (const LossCase& c : {cases[0], cases[2]}) {
    SCOPED_TRACE(c.what);
    const Reviewed r = reviewed(c);
    const std::optional<LossContext> context = lossContext(r.state, r.review);
    ASSERT_TRUE(context.has_value());
    const TransformerLosses& losses = r.review.losses;
    for (const LossStep& step : lossSteps(*context)) {
      if (step.name == "FrP") {
        const WindingLoss& w = *losses.find(Winding::Primary);
        EXPECT_EQ(step.source, "Dowell layer by layer over the current's harmonics (phi = " +
                                   toUtf8(generalText(w.phi)) +
                                   ", w = " + toUtf8(generalText(w.weight)) + ")");
        EXPECT_EQ(step.value, w.Fr);
      }
      if (step.name == "Rth") {
        EXPECT_EQ(step.formula.empty(), losses.RthMeasured);
        EXPECT_EQ(step.source, losses.RthMeasured ? "measured for " + toUtf8(context->core->name)
                                                  : std::string());
        EXPECT_EQ(step.note, losses.RthMeasured ? "" : "estimated, Maniktala");
      }
    }
  }
}

// EER25.5 cannot hold its windings: the steps still show the layout, but no figure that needs
// one that fits.
TEST(LossFormulas, TheHeatOfWindingsThatDoNotFitIsNotEstimated) {
  for (const LossCase& c : lossCases()) {
    SCOPED_TRACE(c.what);
    const Reviewed r = reviewed(c);
    const std::optional<LossContext> context = lossContext(r.state, r.review);
    ASSERT_TRUE(context.has_value());
    for (const LossStep& step : lossSteps(*context)) {
      const bool needsLayout = step.name.starts_with("Fr") || step.name.starts_with("Pcu") ||
                               step.name == "Ptotal" || step.name == "dT" || step.name == "Tcore";
      EXPECT_EQ(step.notEstimated, needsLayout && !r.review.losses.fits) << step.name;
    }
  }
}

TEST(LossFormulas, NoContextWithoutValidLosses) {
  const Reviewed r = reviewed(lossCases()[0]);
  EXPECT_FALSE(lossContext(r.state, DesignReview{}).has_value());
  DesignReview withoutLosses = r.review;
  withoutLosses.losses = TransformerLosses{};
  EXPECT_FALSE(lossContext(r.state, withoutLosses).has_value());
}

}  // namespace
}  // namespace fbc
