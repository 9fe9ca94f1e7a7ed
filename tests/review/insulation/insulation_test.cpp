// The safety insulation's tables and the construction they ask of the transformer. The creepage
// rows are IEC 62368-1 Table 17 (pollution degree 2, material group IIIa/IIIb), the clearances
// Table 14, as transcribed in OpenMagnetics' MKF library; 250 V giving 2.5 mm basic and 5.0 mm
// reinforced creepage, 1.5 mm and 3.0 mm clearance and a 4000 V peak test for reinforced
// insulation is what public CB test reports of 230 V flyback transformers show.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "review/insulation/insulation.h"
#include "review/windings/winding_pins.h"

namespace fbc {
namespace {

constexpr double kMm = 1e-3;

TEST(InsulationTest, CreepageIsTable17InterpolatedAndRoundedUpToATenth) {
  struct Case {
    double volts;
    double basicMm;
  };
  const Case cases[] = {
      {5, 0.4},  // below the first row: the first row's
      {10, 0.4},  {50, 1.2},    {125, 1.5},
      {250, 2.5}, {320, 3.2},   {265, 2.7},  // 2.5 + 15/70 · 0.7 = 2.65, rounded up
      {300, 3.0},                           // 2.5 + 50/70 · 0.7 = 3.0 exactly: not rounded past it
      {400, 4.0}, {1000, 10.0}, {36, 0.9},  // 0.53 + 4/8 · 0.57 = 0.815, up to 0.9
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.volts);
    EXPECT_NEAR(basicCreepage(c.volts), c.basicMm * kMm, 1e-12);
  }
}

TEST(InsulationTest, DistancesTestsAndMarginsForEachInsulation) {
  struct Case {
    Insulation insulation;
    Construction construction;
    double volts;
    std::optional<double> creepageMm;
    std::optional<double> clearanceMm;
    std::optional<double> hipotPeak;
    std::optional<double> hipotAC;
    double marginMm;
    int tapeLayers;
  };
  const Case cases[] = {
      {Insulation::Reinforced, Construction::Margin, 250, 5.0, 3.0, 4000, 3000, 2.5, 3},
      {Insulation::Reinforced, Construction::Margin, 320, 6.4, 5.5, 6000, 3000, 3.2, 3},
      {Insulation::Reinforced, Construction::Margin, 265, 5.4, 3.0, 4000, 3000, 2.7, 3},
      {Insulation::Basic, Construction::Margin, 250, 2.5, 1.5, 2500, 1500, 1.3, 3},
      {Insulation::Basic, Construction::Margin, 120, 1.5, 0.5, 1500, 1500, 0.8, 3},
      {Insulation::Reinforced, Construction::Tiw, 250, 5.0, 3.0, 4000, 3000, 0.0, 1},
      {Insulation::Functional, Construction::Margin, 250, {}, {}, {}, {}, 0.0, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(insulationCode(c.insulation)) + " " +
                 std::string(constructionCode(c.construction)) + " " + std::to_string(c.volts));
    const Isolation iso = isolationFor(c.insulation, c.construction, c.volts, false, 20 * kMm);
    ASSERT_EQ(iso.creepage.has_value(), c.creepageMm.has_value());
    if (c.creepageMm) {
      EXPECT_NEAR(*iso.creepage, *c.creepageMm * kMm, 1e-12);
      EXPECT_NEAR(*iso.clearance, *c.clearanceMm * kMm, 1e-12);
    }
    EXPECT_EQ(iso.hipotPeak, c.hipotPeak);
    EXPECT_EQ(iso.hipotAC, c.hipotAC);
    EXPECT_NEAR(iso.margin, c.marginMm * kMm, 1e-12);
    EXPECT_NEAR(iso.windingBreadth, 20 * kMm - 2 * c.marginMm * kMm, 1e-12);
    EXPECT_EQ(iso.tapeLayersPS, c.tapeLayers);
    EXPECT_NEAR(iso.tape(), c.tapeLayers * 0.05 * kMm, 1e-15);
    EXPECT_TRUE(iso.fits);
  }
}

TEST(InsulationTest, FunctionalInsulationKeepsTheWholeBreadthAndTheUsualTape) {
  const Isolation iso =
      isolationFor(Insulation::Functional, Construction::Margin, 48, false, 10.1 * kMm);
  EXPECT_EQ(iso.windingBreadth, 10.1 * kMm);
  EXPECT_EQ(iso.tape(), 0.15e-3);
  EXPECT_EQ(iso.margin, 0.0);
}

TEST(InsulationTest, MarginsMustLeaveAThirdOfTheBreadth) {
  // 5.0 mm of margins on 7.5 mm leaves exactly a third; on 7.4 mm less.
  EXPECT_TRUE(
      isolationFor(Insulation::Reinforced, Construction::Margin, 250, false, 7.5 * kMm).fits);
  EXPECT_FALSE(
      isolationFor(Insulation::Reinforced, Construction::Margin, 250, false, 7.4 * kMm).fits);
  // Triple-insulated secondaries need no margins however narrow the bobbin.
  EXPECT_TRUE(isolationFor(Insulation::Reinforced, Construction::Tiw, 250, false, 3 * kMm).fits);
  // A bobbin of unknown breadth is not judged.
  EXPECT_TRUE(isolationFor(Insulation::Reinforced, Construction::Margin, 250, false, 0.0).fits);
}

TEST(InsulationTest, TransientsClearancesAndTheStepForReinforcedInsulation) {
  EXPECT_EQ(mainsTransient(120), 1500);
  EXPECT_EQ(mainsTransient(150), 1500);
  EXPECT_EQ(mainsTransient(230), 2500);
  EXPECT_EQ(mainsTransient(300), 2500);
  EXPECT_EQ(mainsTransient(480), 4000);
  EXPECT_EQ(mainsTransient(1000), 6000);
  EXPECT_EQ(nextTransient(2500), 4000);
  EXPECT_EQ(nextTransient(6000), 8000);
  EXPECT_NEAR(clearanceFor(Insulation::Basic, 2500), 1.5 * kMm, 1e-15);
  EXPECT_NEAR(clearanceFor(Insulation::Reinforced, 2500), 3.0 * kMm, 1e-15);
  EXPECT_EQ(clearanceFor(Insulation::Functional, 2500), 0.0);
}

TEST(InsulationTest, CodesReadBackAndUnknownOnesAreRefused) {
  for (const Insulation i : {Insulation::Functional, Insulation::Basic, Insulation::Reinforced}) {
    EXPECT_EQ(insulationByCode(insulationCode(i)), i);
  }
  for (const Construction c : {Construction::Margin, Construction::Tiw}) {
    EXPECT_EQ(constructionByCode(constructionCode(c)), c);
  }
  for (const char* bad : {"", "Reinforced", "double", "tiw "}) {
    EXPECT_FALSE(insulationByCode(bad)) << bad;
    EXPECT_FALSE(constructionByCode(bad)) << bad;
  }
  EXPECT_EQ(insulationCodes(", ", " or "), "functional, basic or reinforced");
  EXPECT_EQ(constructionCodes(", ", " or "), "margin or tiw");
}

// ---- Pins ------------------------------------------------------------------------------------

TEST(PinsTest, CountsAreReadPerSide) {
  struct Case {
    const char* text;
    std::optional<PinCounts> pins;
  };
  const Case cases[] = {
      {"", PinCounts{6, 6}},        {"5", PinCounts{5, 5}},     {"4,8", PinCounts{4, 8}},
      {" 4 / 8 ", PinCounts{4, 8}}, {"2,20", PinCounts{2, 20}}, {"1", std::nullopt},
      {"21", std::nullopt},         {"4,", std::nullopt},       {"a", std::nullopt},
      {"4.5", std::nullopt},        {"4,5,6", std::nullopt},    {"-4", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(readPinCounts(c.text), c.pins) << c.text;
  }
  EXPECT_EQ(pinCountsText({5, 6}), "5,6");
}

struct PinRow {
  Winding winding;
  int start;
  std::optional<int> tap;
  int finish;
};

std::vector<PinRow> rows(const PinAssignment& a) {
  std::vector<PinRow> out;
  for (const WindingPins& p : a.windings) {
    out.push_back({p.winding, p.start, p.tap, p.finish});
  }
  return out;
}

bool operator==(const PinRow& a, const PinRow& b) {
  return a.winding == b.winding && a.start == b.start && a.tap == b.tap && a.finish == b.finish;
}

void PrintTo(const PinRow& r, std::ostream* os) {
  *os << windingName(r.winding) << ' ' << r.start << "->" << r.finish;
}

TEST(PinsTest, ThePrimarySideFromOneAndTheSecondarySideAcrossTheBobbin) {
  const std::vector<Winding> stack = {Winding::Secondary, Winding::Bias};
  const PinAssignment ps = assignPins(stack, WindingArrangement::Ps, {6, 6});
  EXPECT_EQ(rows(ps), (std::vector<PinRow>{{Winding::Primary, 1, std::nullopt, 2},
                                           {Winding::Secondary, 7, std::nullopt, 8},
                                           {Winding::Bias, 3, std::nullopt, 4}}));
  EXPECT_TRUE(ps.enough);
  EXPECT_FALSE(ps.commonReturn);
  // A split primary's halves in series through a tap pin.
  const PinAssignment psp = assignPins(stack, WindingArrangement::Psp, {5, 4});
  EXPECT_EQ(rows(psp), (std::vector<PinRow>{{Winding::Primary, 1, 2, 3},
                                            {Winding::Secondary, 6, std::nullopt, 7},
                                            {Winding::Bias, 4, std::nullopt, 5}}));
  EXPECT_EQ(psp.primaryNeeded, 5);
  EXPECT_TRUE(psp.enough);
  EXPECT_FALSE(assignPins(stack, WindingArrangement::Psp, {4, 4}).enough);
}

TEST(PinsTest, OutputsShareTheirReturnWhereTheSideIsShort) {
  const std::vector<Winding> stack = {Winding::Output3, Winding::Secondary, Winding::Output2};
  // Three outputs on six pins: two each.
  EXPECT_FALSE(assignPins(stack, WindingArrangement::Ps, {6, 6}).commonReturn);
  // On four pins: one return (pin 5) and a finish each.
  const PinAssignment shared = assignPins(stack, WindingArrangement::Ps, {4, 4});
  EXPECT_TRUE(shared.commonReturn);
  EXPECT_TRUE(shared.enough);
  EXPECT_EQ(rows(shared), (std::vector<PinRow>{{Winding::Primary, 1, std::nullopt, 2},
                                               {Winding::Output3, 5, std::nullopt, 6},
                                               {Winding::Secondary, 5, std::nullopt, 7},
                                               {Winding::Output2, 5, std::nullopt, 8}}));
  EXPECT_FALSE(assignPins(stack, WindingArrangement::Ps, {4, 3}).enough);
}

}  // namespace
}  // namespace fbc
