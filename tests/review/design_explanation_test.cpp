#include "review/design_explanation.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "design/calculation.h"
#include "design/calculation_steps.h"
#include "design/design_state_members.h"
#include "platform/checked_math.h"
#include "platform/number_text.h"
#include "platform/text.h"
#include "review/ferrite_material.h"
#include "review/review_formulas.h"
#include "tests/review/formula_text.h"
#include "tests/review/loss_conditions.h"

namespace fbc {
namespace {

double stateLookup(const DesignState& s, std::string_view name) {
  const StateMember* member = stateMember(name);
  if (member == nullptr) {
    throw std::invalid_argument("no state member " + std::string(name));
  }
  return s.*member->member;
}

// Designs that take every input option away from its start value, each level and no level.
std::vector<DesignInputs> designs() {
  std::vector<DesignInputs> all(1);
  const auto with = [&](auto change) {
    DesignInputs inputs;
    change(inputs);
    all.push_back(inputs);
  };
  with([](DesignInputs& d) { d.vin = u"141"; });
  with([](DesignInputs& d) { d.vout = u"12"; });
  with([](DesignInputs& d) { d.iout = u"2.5"; });
  with([](DesignInputs& d) { d.fs = u"1e5"; });
  with([](DesignInputs& d) { d.vf = u"0.45"; });
  with([](DesignInputs& d) { d.effi = u"85"; });
  with([](DesignInputs& d) { d.duty = u"0.45"; });
  with([](DesignInputs& d) { d.core = u"PQ3230"; });
  with([](DesignInputs& d) { d.level = CoreLevel::Hi; });
  with([](DesignInputs& d) { d.level = CoreLevel::Lo; });
  with([](DesignInputs& d) {
    d.vin = u"141";
    d.vout = u"5";
    d.iout = u"3";
    d.fs = u"100000";
    d.vf = u"0.45";
    d.effi = u"85";
    d.duty = u"0.4";
    d.core = u"EER35";
    d.level = CoreLevel::Hi;
  });
  return all;
}

// The formula texts give bit for bit what the calculation stores, on the states of many
// designs: the text is the code.
TEST(CalculationSteps, EachFormulaTextComputesWhatTheStepStores) {
  for (const DesignInputs& inputs : designs()) {
    DesignState s;
    ASSERT_TRUE(calculateDesign(inputs, CoreCatalogue{}, s).completed);
    // Step 8 reads the level's dB, which step 16 replaces; replay the steps from there.
    DesignState replay = s;
    replay.dB = *levelFluxDensity(inputs.level);
    for (const CalculationStep& step : kCalculationSteps) {
      SCOPED_TRACE(std::string(step.quantity) + " = " + std::string(step.formula));
      const double fromText = FormulaText(step.formula, [&](std::string_view name) {
                                return stateLookup(replay, name);
                              }).value();
      EXPECT_EQ(toSingleChecked(fromText), toSingleChecked(step.evaluate(replay)));
      replay.*step.target = toSingleChecked(step.evaluate(replay));
      EXPECT_EQ(replay.*step.target, s.*step.target);
    }
  }
}

// Every drive mode's review formulas and its own rows give the engine's numbers, on many
// designs: the text is the code.
TEST(ReviewFormulas, EachFormulaTextComputesTheReviewsNumber) {
  for (const DriveMode mode : kDriveModes) {
    SCOPED_TRACE(std::string(driveModeCode(mode)));
    ReviewConditions conditions;
    conditions.mode = mode;
    conditions.ripple = 0.4;
    conditions.drainCapacitance = 220e-12;
    const auto formulas = reviewFormulas(mode);
    for (const DesignInputs& inputs : designs()) {
      DesignState s;
      ASSERT_TRUE(calculateDesign(inputs, CoreCatalogue{}, s).completed);
      const double bmax = *levelSwing(inputs.level);
      const DesignReview review = reviewDesign(s, bmax, conditions);
      ASSERT_TRUE(review.valid);
      const auto quantities = reviewQuantities(review);
      const auto lookup = [&](std::string_view name) {
        for (const ReviewQuantity& q : quantities) {
          if (q.name == name) {
            return q.value;
          }
        }
        if (const auto constant = reviewConstant(name, bmax)) {
          return *constant;
        }
        if (const auto figure = modeOperand(name, review, s)) {
          return *figure;
        }
        return stateLookup(s, name);
      };
      for (std::size_t i = 0; i < quantities.size(); ++i) {
        SCOPED_TRACE(std::string(formulas[i].name) + " = " + std::string(formulas[i].formula));
        ASSERT_EQ(formulas[i].name, quantities[i].name);
        if (formulas[i].formula.empty()) {
          continue;  // taken, not worked out: the material's Bsat, the bobbin's breadth
        }
        const double fromText = FormulaText(formulas[i].formula, lookup).value();
        EXPECT_NEAR(fromText, quantities[i].value, 1e-12 * std::abs(quantities[i].value));
      }
      for (const ModeFormula& row : kModeFormulas) {
        if (row.mode != mode || row.formula.empty()) {
          continue;
        }
        SCOPED_TRACE(std::string(row.name) + " = " + std::string(row.formula));
        const std::optional<double> engine = modeOperand(row.name, review, s);
        if (!engine) {
          // Continuous at every input: the limit's formula has no root to give.
          EXPECT_EQ(row.name, "VinCcmLimit");
          continue;
        }
        EXPECT_NEAR(FormulaText(row.formula, lookup).value(), *engine, 1e-12 * std::abs(*engine));
      }
    }
  }
}

// pwm-critical explains itself as it always did; every other mode adds its own rows after the
// review's, in kModeFormulas order.
TEST(ExplainDesign, ModesAddTheirOwnRows) {
  DesignInputs inputs;
  inputs.core = u"PQ50";
  const struct {
    DriveMode mode;
    std::vector<std::string> rows;
  } cases[] = {
      {DriveMode::PwmCritical, {}},
      {DriveMode::PfmCritical, {"VROref"}},
      {DriveMode::PwmCcm, {"VROref", "VRO", "Don", "KRF", "IEDC", "dI", "VinCcmLimit"}},
      {DriveMode::Qr, {"VROref", "VRO", "Don", "Cd", "ton", "toff", "tv"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(driveModeCode(c.mode)));
    ReviewConditions conditions;
    conditions.mode = c.mode;
    const DesignExplanation e = explainDesign(inputs, CoreCatalogue{}, conditions);
    std::vector<std::string> modeRows;
    for (const ExplainedStep& step : e.review) {
      if (step.step == "M") {
        modeRows.push_back(step.quantity);
      }
    }
    EXPECT_EQ(modeRows, c.rows);
    EXPECT_EQ(e.review.size(), kReviewQuantityCount + c.rows.size());
  }
  // At KRF = 0.05 the converter stays continuous at every input: no limit, said in words.
  ReviewConditions deep;
  deep.mode = DriveMode::PwmCcm;
  deep.ripple = 0.05;
  const DesignExplanation e = explainDesign(inputs, CoreCatalogue{}, deep);
  const auto limit = std::find_if(e.review.begin(), e.review.end(), [](const ExplainedStep& s) {
    return s.quantity == "VinCcmLimit";
  });
  ASSERT_NE(limit, e.review.end());
  EXPECT_EQ(limit->result, "none");
  EXPECT_EQ(limit->note, "continuous at every input");
}

// The window's start values: the worked example whose results the window shows as
// 8.125668E-09, 202.5396, 0.2204155, 36.32921 (lbltest).
TEST(ExplainDesign, WorkedExampleStepByStep) {
  const DesignExplanation e = explainDesign(DesignInputs{}, CoreCatalogue{});
  std::vector<std::string> lines;
  for (const ExplainedStep& step : e.steps) {
    lines.push_back(step.step + " " + step.quantity + " = " + step.operands + " = " + step.result);
  }
  const std::vector<std::string> some{
      "1 Effi = 80 / 100 = 0.8",
      "1 T = 1 / 50000 = 2E-05",
      "2 Iin = 10 * 24 / 0.8 / 200 = 1.5",
      "4 dB = level typ = 0.2",
      "5 Ae = catalogue EER25.5 = 4.48E-05",
      "8 Ns = (0.7 + 24) * 1E-05 / 0.2 / 4.48E-05 = 27.56696",
      "11 AL = 6.175E-06 / 27.56696 ^ 2 = 8.125668E-09",
      "14 Np = sqrt(0.0003333333 / 8.125668E-09) = 202.5396",
      "16 dB = 0.0003333333 * 6 / (202.5396 * 4.48E-05) = 0.2204155",
      "18 Im = 1.5 / (0.1876777 * 22 / 100) = 36.32921",
  };
  for (const std::string& line : some) {
    EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
  }
  // Seven reads, step 2, CoreSel, dB, three catalogue figures, steps 6 to 18.
  EXPECT_EQ(e.steps.size(), 7U + 1U + 1U + 1U + 3U + 13U);
  EXPECT_EQ(e.steps.back().unit, "A/mm²");
  ASSERT_EQ(e.review.size(), kReviewQuantityCount);
  EXPECT_EQ(e.review[9].quantity, "Np");
  EXPECT_EQ(e.review[9].operands, "ceil(8.09716599581076 * 28)");
  EXPECT_EQ(e.review[9].result, "227");
  EXPECT_EQ(e.reviewNote.rfind("not buildable (", 0), 0U);
}

TEST(ExplainDesign, LossesFollowTheReviewInTheGivenConditions) {
  DesignInputs pq3230;
  pq3230.core = u"PQ3230";
  DesignInputs fast;
  fast.fs = u"300000";
  fast.core = u"PQ40";
  const struct {
    const char* what;
    DesignInputs inputs;
    ReviewConditions conditions;
    std::string note;
    std::vector<std::string> lines;  // "quantity = operands = result", some of them
    std::size_t steps;  // core 9, each winding 13 (foil) or 14 (round conductors), whole 5
    bool fits;
  } cases[] = {
      // EER25.5's windings cannot be laid on its bobbin: their heat is not estimated.
      {"start values",
       DesignInputs{},
       {},
       "N97, Steinmetz band 1 to 200000 Hz, iGSE; core and copper at 100 °C; 64 bits from the "
       "stored values, SI units; windings ps: primary 227 T, secondary 28 T, from the centre leg",
       {"fs = 1 / 1.99999994947575E-05 = 50000.0012631063", "nStrandsP = chosen wire foil:0.08 = 1",
        "layersP = ceil(227 / 1) = 227", "layersS = ceil(28 / 1) = 28",
        "FrP = Dowell layer by layer", "PcuP = IrmsP ^ 2 * RdcP * FrP = —",
        "Rth = measured for EER25.5 = 30"},
       9U + 13U + 13U + 5U,
       false},
      {"PQ3230 in N87 at 25 °C",
       pq3230,
       test::lossConditions("N87", 25, 100),
       "N87, Steinmetz band 1 to 100000 Hz, iGSE; core and copper at 100 °C; 64 bits from the "
       "stored values, SI units; windings ps: primary 65 T, secondary 8 T, from the centre leg",
       {"Rth = 53 * (1.2E-05 * 1e6) ^ -0.54 = ", "nStrandsP = chosen wire round:1 = 1",
        "tplP = max(1, floor(0.0188 / 0.001062)) = 17", "layersP = ceil(65 / 17) = 4"},
       9U + 14U + 13U + 5U,
       false},
      {"N97 at 300 kHz",
       fast,
       {},
       "N97, fs outside its data: extrapolated from the band 1 to 200000 Hz, iGSE; core and "
       "copper at 75.8 °C, where the losses balance what the core sheds; 64 bits from the stored "
       "values, SI units; windings psp: primary inner half 9 T, secondary 2 T, primary outer half "
       "8 T, from the centre leg",
       {"layersP = ceil(ceil(17 / 2) / 1) + ceil(floor(17 / 2) / 1) = 17",
        "buildTotal = 0.000935 + 0.00065 + 2 * 0.00015 = "},
       9U + 13U + 13U + 5U,
       true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const DesignExplanation e = explainDesign(c.inputs, CoreCatalogue{}, c.conditions);
    EXPECT_EQ(e.lossNote, c.note);
    std::vector<std::string> lines;
    for (const ExplainedStep& step : e.losses) {
      EXPECT_EQ(step.step, "L");
      lines.push_back(step.quantity + " = " + step.operands + " = " + step.result);
    }
    for (const std::string& line : c.lines) {
      EXPECT_NE(std::find_if(lines.begin(), lines.end(),
                             [&line](const std::string& l) { return l.starts_with(line); }),
                lines.end())
          << line;
    }
    ASSERT_EQ(e.losses.size(), c.steps);
    const ExplainedStep& tcore = e.losses.back();
    EXPECT_EQ(tcore.quantity, "Tcore");
    if (c.fits) {
      EXPECT_EQ(tcore.operands.rfind(toUtf8(generalText(c.conditions.ambient)) + " + ", 0), 0U);
    } else {
      EXPECT_EQ(tcore.result, "—");
      EXPECT_EQ(tcore.note, "not estimated: the windings do not fit the bobbin");
    }
  }
}

TEST(ExplainDesign, TheStressFollowsTheLossesInTheGivenConditions) {
  DesignInputs pq50;
  pq50.core = u"PQ50";
  ReviewConditions highLine;
  highLine.vinMax = 370.0;
  ReviewConditions measured;
  measured.leakage = 0.0;
  measured.clampRatio = 2.0;
  const struct {
    const char* what;
    DesignInputs inputs;
    ReviewConditions conditions;
    std::string note;
    std::vector<std::string> lines;  // "quantity = operands = result", some of them
    std::size_t steps;
  } cases[] = {
      {"PQ50 from 370 V",
       pq50,
       highLine,
       "an RCD clamp at r = 1.5 times VRO; the design's peak current at the highest input, "
       "discontinuous; 64 bits from the stored values, SI units",
       {"VinMax = the highest input given = 370", "DHigh = 0.5 * 200 / 370 = 0.27027027027027",
        "Llk = 1.25663706143592E-06 * 33 ^ 2 * 0.1038 * ((0.001815 + 0.0009) / 12 + 2 * 0.00015 "
        "/ 4) / 0.0339 = ",
        "RclampE24 = largest E24 value at most Rclamp = 27000",
        "VdRevMax = 370 / 8.25 + 24 = 68.8484848484848"},
       17},
      {"no leakage, r = 2",
       DesignInputs{},
       measured,
       "an RCD clamp at r = 2 times VRO; the design's peak current at the highest input, "
       "discontinuous; 64 bits from the stored values, SI units",
       {"VinMax = 200 = 200", "Llk = measured = 0", "k = sqrt(max(0, 1 - 0 / "},
       13},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const DesignExplanation e = explainDesign(c.inputs, CoreCatalogue{}, c.conditions);
    EXPECT_FALSE(e.losses.empty());
    EXPECT_EQ(e.stressNote, c.note);
    std::vector<std::string> lines;
    for (const ExplainedStep& step : e.stress) {
      EXPECT_EQ(step.step, "S");
      lines.push_back(step.quantity + " = " + step.operands + " = " + step.result);
    }
    for (const std::string& line : c.lines) {
      EXPECT_NE(std::find_if(lines.begin(), lines.end(),
                             [&line](const std::string& l) { return l.starts_with(line); }),
                lines.end())
          << line;
    }
    EXPECT_EQ(e.stress.size(), c.steps);
    EXPECT_EQ(e.stress.back().quantity, "VdRevMax");
  }
}

// A figure taken rather than worked out says where it comes from: the current limit given in
// place of 1.2·Ipk, the material's Bsat and the bobbin's breadth for the window's height.
TEST(ExplainDesign, TakenReviewFiguresSayWhereTheyComeFrom) {
  const DesignInputs inputs{.core = u"PQ50"};
  const auto operands = [&](const ReviewConditions& conditions, std::string_view name) {
    for (const ExplainedStep& step : explainDesign(inputs, CoreCatalogue{}, conditions).review) {
      if (step.quantity == name) {
        return step.formula + " | " + step.operands + " | " + step.result;
      }
    }
    return std::string();
  };
  ReviewConditions given;
  given.currentLimit = 20.0;
  given.material = ferriteMaterial("3C90");
  EXPECT_EQ(operands(given, "Ilim"), " | the current limit given | 20");
  EXPECT_EQ(operands(given, "Bsat"), " | 3C90 at 100 °C | 0.38");
  EXPECT_EQ(operands({}, "Ilim").rfind("IlimRatio * Ipk | 1.2 * ", 0), 0U);
  EXPECT_EQ(operands({}, "gapWindowHeight"), " | the bobbin's breadth bw | 0.0339");
}

TEST(ExplainDesign, ArrivesAtTheCalculatedStateForEveryInputOption) {
  for (const DesignInputs& inputs : designs()) {
    DesignState calculated;
    ASSERT_TRUE(calculateDesign(inputs, CoreCatalogue{}, calculated).completed);
    EXPECT_EQ(explainDesign(inputs, CoreCatalogue{}).state, calculated);
  }
}

}  // namespace
}  // namespace fbc
