#include "review/losses.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "design/calculation.h"
#include "design/core_catalogue.h"
#include "review/core_geometry.h"
#include "review/review.h"

namespace fbc {
namespace {

const CoreCatalogue& catalogue() {
  static const CoreCatalogue c;
  return c;
}

DesignState stateFor(const DesignInputs& inputs) {
  DesignState state;
  EXPECT_TRUE(calculateDesign(inputs, catalogue(), state).completed);
  return state;
}

DesignReview reviewFor(std::u16string_view core, const ReviewConditions& conditions = {},
                       std::u16string_view fs = u"50000") {
  DesignInputs inputs;
  inputs.core = core;
  inputs.fs = fs;
  return reviewDesign(stateFor(inputs), levelSwing(inputs.level).value(), conditions);
}

std::vector<std::string> codes(const DesignReview& review) {
  std::vector<std::string> out;
  for (ReviewFlag flag : review.flags) {
    out.emplace_back(reviewFlagCode(flag));
  }
  return out;
}

TEST(CoreGeometryTest, EveryCatalogueCoreHasItsFigures) {
  const std::vector<std::u16string> names = catalogue().listNames();
  ASSERT_EQ(names.size(), coreGeometries().size());
  for (std::size_t i = 0; i < names.size(); ++i) {
    const CoreGeometry* g = coreGeometry(names[i]);
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->name, coreGeometries()[i].name);
    // Ve = Ae·le within the rounding of the published figures.
    const double ae = catalogue().ae(*catalogue().find(names[i]));
    EXPECT_NEAR(g->Ve / (ae * g->le), 1.0, 0.03);
    EXPECT_GT(g->MLT, 0.0);
    EXPECT_GT(g->bw, g->hw);
  }
  EXPECT_EQ(coreGeometry(u"PQ99"), nullptr);
}

TEST(CoreGeometryTest, ATypedNameThatFellBackIsKnownByTheFiguresItUsed) {
  DesignState state = stateFor(DesignInputs{.core = u"PQ50"});
  EXPECT_EQ(coreGeometryFor(state)->name, u"PQ50");
  state.CoreSel = u"no such core";
  EXPECT_EQ(coreGeometryFor(state)->name, u"PQ50");
  state.Aw = 1.0F;
  EXPECT_EQ(coreGeometryFor(state), nullptr);
}

// S. Maniktala, "Switching Power Supplies A to Z" (2nd ed., Newnes 2012, p. 155):
// Rth = 53 · Ve^−0.54 °C/W with Ve in cm³. For TDK's EER35 (Ve 9.72 cm³) it gives 15.5 K/W,
// the figure S. Zurek's table of ferrite cores' thermal resistance (Encyclopedia Magnetica,
// "Thermal resistance of ferrite cores") lists beside the measured 17.5 K/W.
TEST(ThermalTest, ManiktalasEstimateAndAMeasuredValue) {
  EXPECT_NEAR(estimatedThermalResistance(9.72e-6), 15.5, 0.05);
  EXPECT_NEAR(estimatedThermalResistance(1e-6), 53.0, 1e-9);
  const DesignReview eer35 = reviewFor(u"EER35");
  ASSERT_TRUE(eer35.losses.valid);
  EXPECT_TRUE(eer35.losses.RthMeasured);
  EXPECT_EQ(eer35.losses.Rth, 17.5);
  const DesignReview pq50 = reviewFor(u"PQ50");
  EXPECT_FALSE(pq50.losses.RthMeasured);
  EXPECT_NEAR(pq50.losses.Rth, 53.0 * std::pow(37.2, -0.54), 1e-9);
}

TEST(CopperTest, ResistivityAtTheWorkingTemperature) {
  EXPECT_DOUBLE_EQ(copperResistivity(20.0), 1.678e-8);
  EXPECT_NEAR(copperResistivity(100.0), 2.2205e-8, 1e-12);
}

// The window's start values (240 W from 200 V at D 0.5, 50 kHz, level 普通) on PQ50 with the
// windings chosen: 33:4 turns, the primary split either side of the secondary, both wound of
// foil across the 33.9 mm breadth. Rdc, the build, Rth and ΔT are checked by hand from the
// figures; Fr and Pcore are the model's. The old winding (3 and 17 strands of the model's wire
// in ps) lost 9.49 W and ran at 111.3 °C.
TEST(LossesTest, WorkedExampleOnPq50RunsCoolWithItsWindingsChosen) {
  const DesignReview r = reviewFor(u"PQ50");
  ASSERT_TRUE(r.valid);
  const TransformerLosses& l = r.losses;
  ASSERT_TRUE(l.valid);
  EXPECT_TRUE(l.fits);
  EXPECT_EQ(l.material, "N97");
  EXPECT_FALSE(l.lossDataExtrapolated);
  EXPECT_NEAR(l.Pv, 14.72e3, 0.01e3);
  EXPECT_NEAR(l.Pcore, l.Pv * 37.2e-6, 1e-12);
  EXPECT_EQ(l.arrangement, WindingArrangement::Psp);
  const WindingLoss& p = *l.find(Winding::Primary);
  const WindingLoss& s = *l.find(Winding::Secondary);
  EXPECT_EQ(p.turns, 33);
  EXPECT_EQ(p.innerTurns, 17);
  EXPECT_EQ(s.turns, 4);
  EXPECT_EQ(wireText(p.wire), "foil:0.03");
  EXPECT_EQ(wireText(s.wire), "foil:0.2");
  // The primary carries its own RMS current, the secondary the winding's, not the output's.
  EXPECT_NEAR(p.Irms, r.IpRms, 1e-12);
  EXPECT_NEAR(s.Irms, r.IsRmsWinding, 1e-9);
  // ρ(100 °C) · N · MLT / (t · bw); one turn a layer, each t plus 0.025 mm of film.
  EXPECT_NEAR(p.Rdc, 2.2205e-8 * 33 * 0.1038 / (0.03e-3 * 33.9e-3), 1e-5);
  EXPECT_NEAR(s.Rdc, 2.2205e-8 * 4 * 0.1038 / (0.2e-3 * 33.9e-3), 1e-7);
  EXPECT_EQ(p.layout.layers, 33);
  EXPECT_EQ(s.layout.layers, 4);
  EXPECT_NEAR(p.layout.build, 33 * 0.055e-3, 1e-12);
  EXPECT_NEAR(l.buildTotal, 33 * 0.055e-3 + 4 * 0.225e-3 + 2 * 0.15e-3, 1e-12);
  // Both current densities within 3.5 A/mm².
  EXPECT_LE(p.currentDensity, 3.5e6);
  EXPECT_LE(s.currentDensity, 3.5e6);
  EXPECT_NEAR(p.Fr, 3.77, 0.01);
  EXPECT_NEAR(s.Fr, 2.84, 0.01);
  EXPECT_NEAR(p.Pcu, 1.69, 0.01);
  EXPECT_NEAR(s.Pcu, 1.55, 0.01);
  EXPECT_NEAR(l.Ptotal, 3.79, 0.01);
  EXPECT_NEAR(l.dT, l.Ptotal * l.Rth, 1e-9);
  EXPECT_NEAR(l.Tcore, 40.0 + l.dT, 1e-9);
  EXPECT_NEAR(l.Tcore, 68.5, 0.1);
  EXPECT_TRUE(codes(r).empty()) << testing::PrintToString(codes(r));
  EXPECT_TRUE(r.feasible);
}

// 227 turns cannot be laid on EER25.5's 4.65 mm high bobbin in any wire that carries the current:
// the layout of least build is shown, with its layers, builds and DC resistances, but no AC loss,
// total or temperature, and no verdict on the heat.
TEST(LossesTest, WorkedExampleOnEer255CannotBeWoundSoItsHeatIsNotEstimated) {
  const DesignReview r = reviewFor(u"EER25.5");
  ASSERT_TRUE(r.valid);
  const TransformerLosses& l = r.losses;
  ASSERT_TRUE(l.valid);
  EXPECT_FALSE(l.fits);
  EXPECT_GT(l.buildTotal, 5 * l.bobbinBuild);
  EXPECT_TRUE(l.RthMeasured);
  EXPECT_EQ(l.Rth, 30.0);
  EXPECT_NEAR(l.Pcore, 0.037, 0.001);
  for (const LossQuantity& q : lossQuantities(l)) {
    const bool needsLayout = q.name.starts_with("Fr") || q.name.starts_with("Pcu") ||
                             q.name == "Ptotal" || q.name == "dT" || q.name == "Tcore";
    EXPECT_EQ(q.value.has_value(), !needsLayout) << q.name;
  }
  EXPECT_TRUE(r.has(ReviewFlag::LayersExceedBobbin));
  EXPECT_FALSE(r.has(ReviewFlag::TooHot));
  EXPECT_FALSE(r.has(ReviewFlag::ClampLossHigh));
}

// No layout fits anywhere: the one of least total build is taken, a thinner one never passed by.
TEST(LossesTest, WhereNothingFitsTheLeastBuildIsShown) {
  const DesignReview r = reviewFor(u"EER25.5");
  const TransformerLosses& l = r.losses;
  ASSERT_FALSE(l.fits);
  for (const WindingArrangement arrangement : {WindingArrangement::Ps, WindingArrangement::Psp}) {
    ReviewConditions given;
    given.arrangement = arrangement;
    const DesignReview other = reviewFor(u"EER25.5", given);
    EXPECT_GE(other.losses.buildTotal, l.buildTotal);
  }
}

TEST(LossesTest, ConditionsMoveTheTemperatureAndTheVerdict) {
  const DesignReview base = reviewFor(u"PQ50");
  ReviewConditions cool;
  cool.ambient = 25.0;
  cool.maxTemperature = 120.0;
  const DesignReview r = reviewFor(u"PQ50", cool);
  EXPECT_NEAR(r.losses.Tcore, base.losses.Tcore - 15.0, 1e-9);
  EXPECT_FALSE(r.has(ReviewFlag::TooHot));
  EXPECT_TRUE(r.feasible);

  ReviewConditions n87;
  n87.material = ferriteMaterial("N87");
  const DesignReview other = reviewFor(u"PQ50", n87);
  EXPECT_EQ(other.losses.material, "N87");
  EXPECT_NE(other.losses.Pcore, base.losses.Pcore);
  EXPECT_EQ(other.losses.find(Winding::Primary)->Pcu, base.losses.find(Winding::Primary)->Pcu);
}

TEST(LossesTest, AFrequencyOutsideTheMaterialsDataIsAdviceNotABlock) {
  // N97's fit ends at 200 kHz.
  const DesignReview r = reviewFor(u"EC90", ReviewConditions{}, u"250000");
  ASSERT_TRUE(r.losses.valid);
  EXPECT_TRUE(r.losses.lossDataExtrapolated);
  EXPECT_TRUE(r.has(ReviewFlag::LossDataExtrapolated));
  EXPECT_FALSE(isBlockingFlag(ReviewFlag::LossDataExtrapolated));
}

TEST(LossQuantitiesTest, ListsEveryLossNumberInReportOrder) {
  const DesignReview r = reviewFor(u"PQ50");
  std::vector<std::string> names;
  for (const LossQuantity& q : lossQuantities(r.losses)) {
    names.push_back(q.name);
    ASSERT_TRUE(q.value.has_value()) << q.name;
    EXPECT_TRUE(std::isfinite(*q.value)) << q.name;
  }
  EXPECT_EQ(names,
            (std::vector<std::string>{"Pv", "Pcore", "RdcP", "RdcS", "FrP", "FrS", "PcuP", "PcuS",
                                      "Ptotal", "layersP", "layersS", "buildP", "buildS", "Rth",
                                      "RthMeasured", "dT", "Tambient", "Tcore"}));
}

TEST(LossesTest, ADesignWithoutKnownCoreFiguresHasNoLossesAndNoLossFlags) {
  DesignState state = stateFor(DesignInputs{});
  state.Aw = 1000.0F;  // figures of no catalogue core
  state.CoreSel = u"custom";
  const DesignReview r = reviewDesign(state, 0.2);
  ASSERT_TRUE(r.valid);
  EXPECT_FALSE(r.losses.valid);
  EXPECT_FALSE(r.has(ReviewFlag::TooHot));
  EXPECT_FALSE(r.has(ReviewFlag::LayersExceedBobbin));
}

}  // namespace
}  // namespace fbc
