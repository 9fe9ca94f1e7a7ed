// The insulation in the review: the margins narrow the breadth every layout figure is worked out
// on, triple-insulated secondaries need none, and a DC design with functional insulation is
// reviewed exactly as before. The mains design is Fairchild AN-4137's appendix example
// (85–265 VAC, tests/support/an4137_example.h) on EER35.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "design/core_catalogue.h"
#include "platform/text.h"
#include "review/design_report.h"
#include "review/losses.h"
#include "review/review.h"
#include "review/windings/winding_layout.h"
#include "tests/support/an4137_example.h"

namespace fbc {
namespace {

constexpr double kMm = 1e-3;

DesignReview an4137Review(std::u16string_view core, std::u16string_view insulation = u"",
                          std::u16string_view construction = u"") {
  An4137Example example = an4137Example(core);
  example.reviewInputs.text(ReviewInput::Insulation) = insulation;
  example.reviewInputs.text(ReviewInput::Construction) = construction;
  DesignReport report = designFor(example.inputs, CoreCatalogue{}, "--", example.reviewInputs);
  EXPECT_TRUE(report.review && report.review->valid);
  return report.review ? *report.review : DesignReview{};
}

bool hasFlag(const DesignReview& r, ReviewFlag flag) { return r.has(flag); }

TEST(IsolationReviewTest, AMainsDesignIsReinforcedWithMarginsThatNarrowEveryLayout) {
  const DesignReview r = an4137Review(u"EER35");
  const Isolation& iso = r.isolation;
  EXPECT_EQ(iso.insulation, Insulation::Reinforced);
  EXPECT_EQ(iso.construction, Construction::Margin);
  // 265 VAC: Table 17 gives 2.65 mm, 2.7 mm rounded up; reinforced twice that.
  EXPECT_EQ(iso.workingVoltage, 265.0);
  EXPECT_NEAR(*iso.creepage, 5.4 * kMm, 1e-12);
  EXPECT_NEAR(*iso.clearance, 3.0 * kMm, 1e-12);
  EXPECT_NEAR(iso.margin, 2.7 * kMm, 1e-12);
  EXPECT_EQ(iso.hipotPeak, 4000.0);
  EXPECT_EQ(iso.hipotAC, 3000.0);
  EXPECT_EQ(iso.tapeLayersPS, 3);
  EXPECT_NEAR(iso.windingBreadth, (27.1 - 5.4) * kMm, 1e-12);
  EXPECT_FALSE(hasFlag(r, ReviewFlag::CreepageUnchecked));
  EXPECT_FALSE(hasFlag(r, ReviewFlag::InsulationDoesNotFit));

  const TransformerLosses& l = r.losses;
  EXPECT_EQ(l.windingBreadth, iso.windingBreadth);
  // Every winding is laid across the narrowed breadth: a wire's turns per layer, a foil's width.
  for (const WindingLoss& w : l.windings) {
    SCOPED_TRACE(std::string(windingName(w.winding)));
    if (w.section.foil) {
      EXPECT_EQ(w.section.width, iso.windingBreadth);
    } else {
      EXPECT_EQ(w.layout.turnsPerLayer, turnsAcross(iso.windingBreadth, w.section.width));
    }
    EXPECT_FALSE(w.tripleInsulated);
  }
  // The leakage of the layout on that breadth: the secondaries' builds and the tapes between
  // them are its hS.
  double hS = iso.tape() * (static_cast<double>(l.stack.size()) - 1.0);
  double hP = 0.0;
  for (const WindingLoss& w : l.windings) {
    (w.winding == Winding::Primary ? hP : hS) += w.layout.build;
  }
  EXPECT_NEAR(
      l.leakageEstimate,
      arrangedLeakage(l.arrangement, r.Np, l.meanTurn, iso.windingBreadth, hP, hS, iso.tape()),
      1e-15);

  // The same transformer wound with functional insulation: the whole breadth, less leakage.
  const DesignReview functional = an4137Review(u"EER35", u"functional");
  EXPECT_EQ(functional.losses.windingBreadth, 27.1 * kMm);
  EXPECT_LT(functional.losses.leakageEstimate, l.leakageEstimate);
  EXPECT_TRUE(hasFlag(functional, ReviewFlag::CreepageUnchecked));
}

TEST(IsolationReviewTest, TripleInsulatedSecondariesNeedNoMargins) {
  const DesignReview r = an4137Review(u"EER35", u"", u"tiw");
  const Isolation& iso = r.isolation;
  EXPECT_EQ(iso.margin, 0.0);
  EXPECT_EQ(iso.windingBreadth, 27.1 * kMm);
  EXPECT_EQ(iso.tapeLayersPS, 1);
  EXPECT_NEAR(*iso.creepage, 5.4 * kMm, 1e-12);
  for (const WindingLoss& w : r.losses.windings) {
    SCOPED_TRACE(std::string(windingName(w.winding)));
    // The outputs in triple-insulated wire; the primary and the bias, on the primary's side of
    // the barrier, in enamelled wire.
    const bool secondarySide = w.winding != Winding::Primary && w.winding != Winding::Bias;
    EXPECT_EQ(w.tripleInsulated, secondarySide);
    if (secondarySide) {
      EXPECT_TRUE(canBeTripleInsulated(w.wire)) << wireText(w.wire);
      if (w.wire.kind == WireKind::Round) {
        EXPECT_NEAR(w.section.width, (w.wire.diameter + 0.2) * kMm, 1e-12);
      }
    }
  }
}

TEST(IsolationReviewTest, MarginsThatLeaveTooLittleBreadthBlockTheDesign) {
  // PQ2016's 8.0 mm: 2 × 2.7 mm of margins leave 2.6 mm, less than a third.
  const DesignReview r = an4137Review(u"PQ2016");
  EXPECT_FALSE(r.isolation.fits);
  EXPECT_TRUE(hasFlag(r, ReviewFlag::InsulationDoesNotFit));
  EXPECT_FALSE(r.feasible);
  // Laid on the third the insulation must leave at the least.
  EXPECT_NEAR(r.losses.windingBreadth, 8.0 / 3.0 * kMm, 1e-12);
  EXPECT_FALSE(hasFlag(an4137Review(u"PQ2016", u"", u"tiw"), ReviewFlag::InsulationDoesNotFit));
}

TEST(IsolationReviewTest, ADcDesignWithFunctionalInsulationIsReviewedAsBefore) {
  // The window's start values on PQ50, the losses' worked example: functional by default.
  DesignInputs inputs;
  inputs.core = u"PQ50";
  ReviewInputs given;
  given.text(ReviewInput::Insulation) = u"functional";
  const DesignReport byDefault = designFor(inputs, CoreCatalogue{}, "--", ReviewInputs{});
  const DesignReport functional = designFor(inputs, CoreCatalogue{}, "--", given);
  ASSERT_TRUE(byDefault.review && functional.review);
  const DesignReview& a = *byDefault.review;
  const DesignReview& b = *functional.review;
  EXPECT_EQ(a.isolation.insulation, Insulation::Functional);
  EXPECT_EQ(a.losses.windingBreadth, 33.9 * kMm);
  EXPECT_EQ(a.isolation.tape(), kTapeBetweenWindings);
  const std::vector<LossQuantity> qa = lossQuantities(a.losses);
  const std::vector<LossQuantity> qb = lossQuantities(b.losses);
  ASSERT_EQ(qa.size(), qb.size());
  for (std::size_t k = 0; k < qa.size(); ++k) {
    EXPECT_EQ(qa[k].value, qb[k].value) << qa[k].name;
  }
  EXPECT_EQ(a.losses.leakageEstimate, b.losses.leakageEstimate);
  EXPECT_EQ(a.flags, b.flags);
  EXPECT_TRUE(hasFlag(a, ReviewFlag::CreepageUnchecked));
  EXPECT_TRUE(a.feasible);
}

TEST(IsolationReviewTest, TheWorkingVoltageComesFromTheInputUnlessGiven) {
  DesignInputs inputs;
  inputs.core = u"PQ50";
  ReviewInputs basic;
  basic.text(ReviewInput::Insulation) = u"basic";
  basic.text(ReviewInput::VinMax) = u"250";
  DesignReport report = designFor(inputs, CoreCatalogue{}, "--", basic);
  ASSERT_TRUE(report.review);
  EXPECT_EQ(report.review->isolation.workingVoltage, 250.0);
  EXPECT_FALSE(report.review->isolation.workingVoltageGiven);
  EXPECT_NEAR(*report.review->isolation.creepage, 2.5 * kMm, 1e-12);
  basic.text(ReviewInput::WorkingVoltage) = u"320";
  report = designFor(inputs, CoreCatalogue{}, "--", basic);
  EXPECT_EQ(report.review->isolation.workingVoltage, 320.0);
  EXPECT_TRUE(report.review->isolation.workingVoltageGiven);
  EXPECT_NEAR(*report.review->isolation.creepage, 3.2 * kMm, 1e-12);
  EXPECT_NEAR(report.review->isolation.margin, 1.6 * kMm, 1e-12);
}

TEST(IsolationReviewTest, TheConditionsRefuseWhatCannotBeBuilt) {
  struct Case {
    ReviewInput input;
    const char* text;
    ReviewInputFault fault;
    const char* message;
  };
  const Case cases[] = {
      {ReviewInput::Insulation, "double", ReviewInputFault::UnknownInsulation,
       "expected functional, basic or reinforced"},
      {ReviewInput::Construction, "foil", ReviewInputFault::UnknownConstruction,
       "expected margin or tiw"},
      {ReviewInput::WorkingVoltage, "-1", ReviewInputFault::OutOfRange,
       "must lie above 0 and at most 1000"},
      {ReviewInput::WorkingVoltage, "1001", ReviewInputFault::OutOfRange,
       "must lie above 0 and at most 1000"},
      {ReviewInput::WorkingVoltage, "0", ReviewInputFault::OutOfRange,
       "must lie above 0 and at most 1000"},
      {ReviewInput::WorkingVoltage, "abc", ReviewInputFault::NotANumber, "not a number"},
      {ReviewInput::Pins, "1", ReviewInputFault::BadPins,
       "expected N or NP,NS, each a whole number from 2 to 20"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    ReviewInputs inputs;
    inputs.text(c.input) = fromUtf8(c.text);
    const ReviewInputReading reading = readReviewInputs(inputs);
    ASSERT_TRUE(reading.problem);
    EXPECT_EQ(reading.problem->input, c.input);
    EXPECT_EQ(reading.problem->fault, c.fault);
    EXPECT_EQ(reviewInputFaultText(*reading.problem), c.message);
    EXPECT_FALSE(reviewInputFaultTextJa(*reading.problem).empty());
  }
  // Triple-insulated wire is round, 0.2 to 1.0 mm, alone or in hand.
  for (const auto& [wire, usable] :
       std::vector<std::pair<std::u16string, bool>>{{u"foil:0.2", false},
                                                    {u"litz:0.1x60", false},
                                                    {u"round:0.1", false},
                                                    {u"round:1.2", false},
                                                    {u"strands:0.5x3", true},
                                                    {u"0.2", true}}) {
    ReviewInputs inputs;
    inputs.text(ReviewInput::Construction) = u"tiw";
    inputs.text(ReviewInput::WireSecondary) = wire;
    const ReviewInputReading reading = readReviewInputs(inputs);
    EXPECT_EQ(!reading.problem, usable);
    if (reading.problem) {
      EXPECT_EQ(reading.problem->fault, ReviewInputFault::NotTripleInsulated);
    }
  }
}

}  // namespace
}  // namespace fbc
