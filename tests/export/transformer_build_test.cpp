#include "export/transformer_build.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "design/core_catalogue.h"
#include "review/design_report.h"
#include "tests/support/an4137_example.h"

namespace fbc {
namespace {

DesignReview reviewOf(const DesignInputs& inputs, const ReviewInputs& reviewInputs = {}) {
  const DesignReport report = designFor(inputs, CoreCatalogue{}, "--", reviewInputs);
  EXPECT_TRUE(report.review && report.review->valid && report.review->losses.valid);
  return report.review.value_or(DesignReview{});
}

// Fairchild AN-4137's appendix example on PQ3230 from 85–265 VAC: reinforced insulation by
// default, in the margin construction. At 265 V the basic creepage is 2.65 mm (IEC 62368-1
// Table 17 between 250 and 320 V), rounded up to 2.7 mm; reinforced doubles it to 5.4 mm, half
// of which is the margin at each end of every winding; the sides are three layers of 0.05 mm
// tape apart, and the test is 4000 V peak or the customary 3000 VAC for 60 s.
TEST(TransformerBuild, TheWindingsFromTheCentreLegWithTheirPinsMarginsAndTapes) {
  const An4137Example example = an4137Example(u"PQ3230");
  const DesignReview review = reviewOf(example.inputs, example.reviewInputs);
  const std::optional<TransformerBuild> build = transformerBuild(review);
  ASSERT_TRUE(build.has_value());
  const std::vector<WoundWinding>& rows = build->windings;

  // The primary first, then the secondaries as the losses stack them: the bias outermost.
  std::vector<Winding> expected{Winding::Primary};
  expected.insert(expected.end(), review.losses.stack.begin(), review.losses.stack.end());
  ASSERT_EQ(rows.size(), expected.size());
  EXPECT_EQ(rows.back().winding, Winding::Bias);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(windingName(rows[i].winding));
    EXPECT_EQ(rows[i].winding, expected[i]);
    const WindingLoss* w = review.losses.find(rows[i].winding);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(rows[i].turns, w->turns);
    EXPECT_EQ(rows[i].wire, w->wire);
    EXPECT_EQ(rows[i].layers, w->layout.layers);
    EXPECT_EQ(rows[i].turnsPerLayer, w->layout.turnsPerLayer);
    EXPECT_FALSE(rows[i].tripleInsulated);
    EXPECT_EQ(marginText(rows[i].margin), "2.7 mm");
    // Tape over every winding but the outermost.
    EXPECT_EQ(tapeText(rows[i].tapeLayers, rows[i].tapeLayer),
              i + 1 < rows.size() ? "3 × 0.05 mm" : "—");
    // The pins the review gave the winding, the start the dotted end.
    const auto pins = std::find_if(review.pins.windings.begin(), review.pins.windings.end(),
                                   [&](const WindingPins& p) { return p.winding == expected[i]; });
    ASSERT_NE(pins, review.pins.windings.end());
    EXPECT_EQ(pinsText(rows[i]),
              std::to_string(pins->start) + " → " + std::to_string(pins->finish));
    EXPECT_EQ(rows[i].startPin <= review.pins.counts.primarySide,
              rows[i].winding == Winding::Primary || rows[i].winding == Winding::Bias);
  }

  const TransformerTests& t = build->tests;
  EXPECT_EQ(t.isolation.insulation, Insulation::Reinforced);
  ASSERT_TRUE(t.isolation.creepage && t.isolation.hipotPeak && t.isolation.hipotAC);
  EXPECT_NEAR(*t.isolation.creepage, 5.4e-3, 1e-9);
  EXPECT_EQ(*t.isolation.hipotPeak, 4000.0);
  EXPECT_EQ(*t.isolation.hipotAC, 3000.0);
  EXPECT_EQ(t.isolation.hipotSeconds, 60.0);
  // Five outputs on a side of six pins share their return, pin 7, each finishing on a pin of its
  // own; the test joins every pin of each side.
  ASSERT_TRUE(review.pins.commonReturn);
  for (const WoundWinding& row : rows) {
    if (row.winding != Winding::Primary && row.winding != Winding::Bias) {
      EXPECT_EQ(row.startPin, 7) << windingName(row.winding);
    }
  }
  EXPECT_EQ(pinSpanText(t.primarySide), "1–6");
  EXPECT_EQ(pinSpanText(t.secondarySide), "7–12");
  EXPECT_EQ(t.primaryStart, 1);
  EXPECT_EQ(t.primaryFinish, 2);
  EXPECT_DOUBLE_EQ(t.inductance, review.LpRef);
  EXPECT_NEAR(t.frequency, 66000.0, 0.01);  // the state keeps the period in 32 bits
  ASSERT_TRUE(t.leakageMax.has_value());
  EXPECT_DOUBLE_EQ(*t.leakageMax, 1.5 * review.losses.leakageEstimate);
  // Margins take 2 × 2.7 mm from the bobbin's 18.8 mm.
  EXPECT_NEAR(build->windingBreadth, 18.8e-3 - 5.4e-3, 1e-9);
  EXPECT_NEAR(build->bobbinBreadth, 18.8e-3, 1e-9);
}

// A split primary (psp on PQ50 at the start values) is wound in two places: its inner half
// from the start to the tap first, its outer half from the tap to the finish last, the two
// halves' layers and builds adding up to the primary's. A DC input's functional insulation has
// no margins and no test, the tape between windings stays.
TEST(TransformerBuild, ASplitPrimaryIsWoundInTwoPlacesThroughItsTap) {
  DesignInputs inputs;
  inputs.core = u"PQ50";
  const DesignReview review = reviewOf(inputs);
  ASSERT_EQ(review.losses.arrangement, WindingArrangement::Psp);
  const std::optional<TransformerBuild> build = transformerBuild(review);
  ASSERT_TRUE(build.has_value());
  const std::vector<WoundWinding>& rows = build->windings;
  ASSERT_EQ(rows.size(), 3U);
  const WoundWinding& inner = rows.front();
  const WoundWinding& outer = rows.back();
  EXPECT_EQ(inner.half, WindingPlace::Part::InnerHalf);
  EXPECT_EQ(rows[1].winding, Winding::Secondary);
  EXPECT_EQ(outer.half, WindingPlace::Part::OuterHalf);
  EXPECT_EQ(pinsText(inner), "1 → 2");
  EXPECT_EQ(pinsText(outer), "2 → 3");
  EXPECT_EQ(pinsText(rows[1]), "7 → 8");
  const WindingLoss* primary = review.losses.find(Winding::Primary);
  EXPECT_EQ(inner.turns, primary->innerTurns);
  EXPECT_EQ(inner.turns + outer.turns, primary->turns);
  EXPECT_EQ(inner.layers + outer.layers, primary->layout.layers);
  EXPECT_NEAR(inner.build + outer.build, primary->layout.build, 1e-12);
  for (const WoundWinding& row : rows) {
    EXPECT_EQ(marginText(row.margin), "—");
  }
  EXPECT_EQ(tapeText(inner.tapeLayers, inner.tapeLayer), "3 × 0.05 mm");
  EXPECT_EQ(outer.tapeLayers, 0);
  EXPECT_EQ(build->tests.isolation.insulation, Insulation::Functional);
  EXPECT_FALSE(build->tests.isolation.hipotPeak.has_value());
  EXPECT_EQ(pinSpanText(build->tests.primarySide), "1–6");
  EXPECT_EQ(pinSpanText(build->tests.secondarySide), "7–12");
  // The primary's pins for its inductance: the start and the finish, across the tap.
  EXPECT_EQ(build->tests.primaryStart, 1);
  EXPECT_EQ(build->tests.primaryFinish, 3);
}

// In the tiw construction the outputs are triple-insulated and the bias, on the primary's side,
// is not; nothing has margins and one layer of tape lies between windings. Each wire is bought
// once, with the windings wound with it.
TEST(TransformerBuild, TripleInsulatedOutputsNeedNoMargins) {
  An4137Example example = an4137Example(u"PQ3230");
  example.reviewInputs.text(ReviewInput::Construction) = u"tiw";
  const DesignReview review = reviewOf(example.inputs, example.reviewInputs);
  const std::optional<TransformerBuild> build = transformerBuild(review);
  ASSERT_TRUE(build.has_value());
  for (const WoundWinding& row : build->windings) {
    SCOPED_TRACE(windingName(row.winding));
    EXPECT_EQ(row.tripleInsulated, row.winding != Winding::Primary && row.winding != Winding::Bias);
    EXPECT_EQ(row.margin, 0.0);
    if (row.tapeLayers > 0) {
      EXPECT_EQ(tapeText(row.tapeLayers, row.tapeLayer), "1 × 0.05 mm");
    }
  }
  std::size_t wound = 0;
  for (const WireToBuy& wire : build->wires) {
    wound += wire.windings.size();
    for (const WireToBuy& other : build->wires) {
      EXPECT_TRUE(&wire == &other ||
                  !(wire.wire == other.wire && wire.tripleInsulated == other.tripleInsulated));
    }
  }
  EXPECT_EQ(wound, build->windings.size());
  EXPECT_EQ(build->windingBreadth, build->bobbinBreadth);
}

// Windings that do not fit the bobbin (the start values on EER25.5) give no leakage estimate to
// hold the transformer to; a review without a layout gives no page at all.
TEST(TransformerBuild, NoLeakageLimitWithoutAFitAndNothingWithoutALayout) {
  const DesignReview unfit = reviewOf(DesignInputs{});
  ASSERT_FALSE(unfit.losses.fits);
  const std::optional<TransformerBuild> build = transformerBuild(unfit);
  ASSERT_TRUE(build.has_value());
  EXPECT_FALSE(build->tests.leakageMax.has_value());
  EXPECT_GT(build->buildTotal, build->bobbinBuild);

  EXPECT_FALSE(transformerBuild(DesignReview{}).has_value());
}

TEST(TransformerBuild, Texts) {
  EXPECT_EQ(pinSpanText({7, 12}), "7–12");
  EXPECT_EQ(pinSpanText({1, 1}), "1");
  EXPECT_EQ(marginText(0.0), "—");
  EXPECT_EQ(marginText(2.7e-3), "2.7 mm");
  EXPECT_EQ(tapeText(0, 0.05e-3), "—");
  EXPECT_EQ(tapeText(2, 0.05e-3), "2 × 0.05 mm");
}

}  // namespace
}  // namespace fbc
