#include "design/calculation.h"
#include "design/design_state_members.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/number_text.h"
#include "platform/text.h"

namespace fbc {
namespace {

// A stored 32-bit value as the window would show it: at most 7 significant digits.
std::string shown(float value) { return toUtf8(generalText(value)); }

// Every number of the design state in the order the calculation stores it (dB is left out: it
// is stored twice, at steps 4 and 16).
std::vector<StateMember> numericFields() {
  std::vector<StateMember> fields;
  for (const StateMember& m : kStateMembers) {
    if (m.name != "dB") {
      fields.push_back(m);
    }
  }
  return fields;
}

class CalculationTest : public testing::Test {
 protected:
  CalculationResult run(const DesignInputs& inputs) {
    return calculateDesign(inputs, catalogue_, state_);
  }
  static DesignInputs withCore(std::u16string core, CoreLevel level = CoreLevel::Typ) {
    DesignInputs inputs;
    inputs.core = std::move(core);
    inputs.level = level;
    return inputs;
  }

  CoreCatalogue catalogue_;
  DesignState state_;
};

TEST_F(CalculationTest, WorkedExampleStoresEveryListedValue) {
  const CalculationResult result = run(DesignInputs{});
  ASSERT_TRUE(result.completed);
  EXPECT_EQ(result.failedStep, 0);
  EXPECT_FALSE(result.usedPreviousCore);
  EXPECT_EQ(state_.CoreSel, u"EER25.5");

  const struct {
    const char* name;
    float value;
    const char* text;
  } expected[] = {
      {"Vout", state_.Vout, "24"},       {"Iout", state_.Iout, "10"},
      {"Vin", state_.Vin, "200"},        {"Effi", state_.Effi, "0.8"},
      {"T", state_.T, "2E-05"},          {"Vf", state_.Vf, "0.7"},
      {"Duty", state_.Duty, "0.5"},      {"Iin", state_.Iin, "1.5"},
      {"Ae", state_.Ae, "4.48E-05"},     {"Aw", state_.Aw, "48.4"},
      {"Fill", state_.Fill, "22"},       {"Ton", state_.Ton, "1E-05"},
      {"Toff", state_.Toff, "1E-05"},    {"Ns", state_.Ns, "27.56696"},
      {"Is", state_.Is, "40"},           {"Ls", state_.Ls, "6.175E-06"},
      {"AL", state_.AL, "8.125668E-09"}, {"Ip", state_.Ip, "6"},
      {"Lp", state_.Lp, "0.0003333333"}, {"Np", state_.Np, "202.5396"},
      {"Nt", state_.Nt, "0.1361066"},    {"dB", state_.dB, "0.2204155"},
      {"Acu", state_.Acu, "0.1876777"},  {"Im", state_.Im, "36.32921"},
  };
  for (const auto& e : expected) {
    SCOPED_TRACE(e.name);
    EXPECT_EQ(shown(e.value), e.text);
  }
}

struct CoreLevelCase {
  const char* core;
  CoreLevel level;
  const char* ns;  // nullptr where not listed
  const char* im;
  const char* dB;
};

void PrintTo(const CoreLevelCase& c, std::ostream* out) {
  *out << c.core << " level " << static_cast<int>(c.level);
}

class CoreAndLevelTest : public CalculationTest,
                         public testing::WithParamInterface<CoreLevelCase> {};

TEST_P(CoreAndLevelTest, CurrentDensityTurnsAndFluxSwing) {
  const CoreLevelCase& c = GetParam();
  DesignInputs inputs;
  inputs.core = fromUtf8(c.core);
  inputs.level = c.level;
  ASSERT_TRUE(run(inputs).completed);
  if (c.ns != nullptr) {
    EXPECT_EQ(shown(state_.Ns), c.ns);
  }
  EXPECT_EQ(shown(state_.Im), c.im);
  EXPECT_EQ(shown(state_.dB), c.dB);
  // The primary inductance and the turns ratio follow from the converter alone.
  EXPECT_EQ(shown(state_.Lp), "0.0003333333");
  EXPECT_EQ(shown(state_.Nt), "0.1361066");
}

INSTANTIATE_TEST_SUITE_P(
    ListedResults, CoreAndLevelTest,
    testing::Values(CoreLevelCase{"EER25.5", CoreLevel::Typ, "27.56696", "36.32921", "0.2204155"},
                    CoreLevelCase{"EER40", CoreLevel::Typ, nullptr, "4.646439", "0.2204155"},
                    CoreLevelCase{"EER49", CoreLevel::Typ, nullptr, "3.193523", "0.2204155"},
                    CoreLevelCase{"PQ40", CoreLevel::Typ, nullptr, "1.710706", "0.2204155"},
                    CoreLevelCase{"PQ50", CoreLevel::Typ, nullptr, "0.8440222", "0.2204155"},
                    CoreLevelCase{"EC90", CoreLevel::Typ, nullptr, "0.1061544", "0.2204155"},
                    CoreLevelCase{"EER25.5", CoreLevel::Hi, "16.21586", "21.37012", "0.3747064"},
                    CoreLevelCase{"EER25.5", CoreLevel::Lo, "30.62996", "40.36579", "0.198374"}));

TEST_F(CalculationTest, LevelButtonsSetTheSwingBeforeTheTurns) {
  // Duty 1 stops at step 11, after step 4 has set the level and before step 16 replaces it.
  const struct {
    const char* name;
    CoreLevel level;
    float dB;
  } cases[] = {
      {"Hi", CoreLevel::Hi, 0.34F},
      {"Typ", CoreLevel::Typ, 0.2F},
      {"Lo", CoreLevel::Lo, 0.18F},
      {"None keeps the held value", CoreLevel::None, 0.25F},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    state_ = DesignState{};
    state_.dB = 0.25F;
    DesignInputs inputs;
    inputs.duty = u"1";
    inputs.level = c.level;
    EXPECT_EQ(run(inputs).failedStep, 11);
    EXPECT_EQ(state_.dB, c.dB);
  }
}

TEST_F(CalculationTest, NoLevelSelectedUsesTheSwingOfThePreviousCalculation) {
  DesignState preset;
  preset.dB = 0.2F;
  state_ = preset;
  DesignInputs inputs;
  inputs.level = CoreLevel::None;
  ASSERT_TRUE(run(inputs).completed);
  const DesignState withHeldLevel = state_;

  state_ = DesignState{};
  ASSERT_TRUE(run(DesignInputs{}).completed);
  EXPECT_EQ(withHeldLevel, state_);
}

TEST_F(CalculationTest, TwoClicksInARowGiveIdenticalResults) {
  ASSERT_TRUE(run(DesignInputs{}).completed);
  const DesignState first = state_;
  ASSERT_TRUE(run(DesignInputs{}).completed);
  EXPECT_EQ(first, state_);
}

TEST_F(CalculationTest, DutyChangesTimingButNotThePeakCurrents) {
  DesignInputs inputs;
  inputs.duty = u"0.4";
  ASSERT_TRUE(run(inputs).completed);
  EXPECT_EQ(shown(state_.Ton), "8E-06");
  EXPECT_EQ(shown(state_.Toff), "1.2E-05");
  EXPECT_EQ(state_.Is, 40.0F);
  EXPECT_EQ(state_.Ip, 6.0F);
  EXPECT_NE(shown(state_.Ns), "27.56696");
  EXPECT_NE(shown(state_.Lp), "0.0003333333");
}

TEST_F(CalculationTest, CoreLookupTakesTheCatalogueFigures) {
  ASSERT_TRUE(run(withCore(u"PQ2016")).completed);
  EXPECT_EQ(state_.CoreSel, u"PQ2016");
  EXPECT_EQ(state_.Ae, 6.2e-5F);
  EXPECT_EQ(state_.Aw, 23.4F);
  EXPECT_EQ(state_.Fill, 24.0F);
}

TEST_F(CalculationTest, UnknownNameAfterALookupKeepsThePreviousCore) {
  ASSERT_TRUE(run(withCore(u"PQ2016")).completed);
  const DesignState withPq2016 = state_;

  const CalculationResult result = run(withCore(u"pq2016"));
  ASSERT_TRUE(result.completed);
  EXPECT_TRUE(result.usedPreviousCore);
  EXPECT_EQ(state_.CoreSel, u"pq2016");
  DesignState expected = withPq2016;
  expected.CoreSel = u"pq2016";
  EXPECT_EQ(state_, expected);

  EXPECT_FALSE(run(withCore(u"PQ2016")).usedPreviousCore);
}

TEST_F(CalculationTest, CoresWithoutFiguresAreRefusedAtTheLookup) {
  ASSERT_TRUE(run(DesignInputs{}).completed);
  const DesignState done = state_;
  for (const char16_t* core : {u"", u"END"}) {
    SCOPED_TRACE(toUtf8(core));
    state_ = done;
    const CalculationResult result = run(withCore(core));
    EXPECT_FALSE(result.completed);
    EXPECT_EQ(result.failedStep, 5);
    EXPECT_EQ(result.reason, StopReason::NoUsableCore);
    EXPECT_EQ(result.cause, DesignInput::Core);
    EXPECT_EQ(result.quantity, "Ae");
    EXPECT_EQ(state_.Ae, done.Ae);
    EXPECT_EQ(state_.Aw, done.Aw);
    EXPECT_EQ(state_.Fill, done.Fill);
    EXPECT_EQ(state_.CoreSel, core);
  }
}

// ---- Stops ------------------------------------------------------------------------------

struct StopCase {
  const char* name;
  std::function<void(DesignInputs&)> change;
  int step;
  const char* quantity;
  ErrorNumber error;
  DesignInput cause;
  StopReason reason;
  bool noCoreYet = false;   // Ae, Aw, Fill zero: no core looked up so far
  bool noLevelYet = false;  // dB zero and no level button selected
};

void PrintTo(const StopCase& c, std::ostream* out) { *out << c.name; }

// Where in the order of stores a quantity lies: the boxes of step 1 one after another, then one
// place per later step.
int storeOrder(std::string_view name) {
  static const std::vector<std::string> readOrder = {"Vout", "Iout", "Vin", "Effi",
                                                     "T",    "Vf",   "Duty"};
  for (std::size_t i = 0; i < readOrder.size(); ++i) {
    if (readOrder[i] == name) {
      return static_cast<int>(i);
    }
  }
  static const std::vector<std::pair<std::string, int>> steps = {
      {"Iin", 2}, {"Ae", 5},  {"Aw", 5},   {"Fill", 5}, {"Ton", 6}, {"Toff", 7},
      {"Ns", 8},  {"Is", 9},  {"Ls", 10},  {"AL", 11},  {"Ip", 12}, {"Lp", 13},
      {"Np", 14}, {"Nt", 15}, {"Acu", 17}, {"Im", 18}};
  for (const auto& [quantity, step] : steps) {
    if (quantity == name) {
      return step * 10;
    }
  }
  ADD_FAILURE() << "no store order for " << name;
  return 0;
}

class StopTest : public CalculationTest, public testing::WithParamInterface<StopCase> {};

TEST_P(StopTest, StopsAtTheFailingStepKeepingEarlierValues) {
  const StopCase& c = GetParam();
  constexpr float kUntouched = 777.0F;
  for (const StateMember& f : numericFields()) {
    state_.*f.member = kUntouched;
  }
  state_.dB = c.noLevelYet ? 0.0F : kUntouched;
  state_.CoreSel = u"untouched";
  if (c.noCoreYet) {
    state_.Ae = state_.Aw = state_.Fill = 0.0F;
  }
  DesignInputs inputs;
  c.change(inputs);
  if (c.noLevelYet) {
    inputs.level = CoreLevel::None;
  }

  const CalculationResult result = run(inputs);
  EXPECT_FALSE(result.completed);
  EXPECT_EQ(result.failedStep, c.step);
  EXPECT_EQ(result.quantity, c.quantity);
  EXPECT_EQ(result.error, c.error);
  EXPECT_EQ(result.cause, c.cause);
  EXPECT_EQ(result.reason, c.reason);

  const int stopOrder = c.step == 1 ? storeOrder(c.quantity) : c.step * 10;
  for (const StateMember& f : numericFields()) {
    SCOPED_TRACE(f.name);
    const float value = state_.*f.member;
    const bool lookupLeavesZero = c.noCoreYet && storeOrder(f.name) == 50;
    if (storeOrder(f.name) < stopOrder) {
      EXPECT_NE(value, kUntouched) << "should have been stored";
    } else if (!lookupLeavesZero) {
      EXPECT_EQ(value, kUntouched) << "should be left as it was";
    }
  }
  EXPECT_EQ(state_.CoreSel, c.step >= 3 ? inputs.core : u"untouched");
  if (c.step > 4 && c.step <= 16 && !c.noLevelYet) {
    EXPECT_EQ(state_.dB, 0.2F);
  }
}

INSTANTIATE_TEST_SUITE_P(
    FailureTable, StopTest,
    testing::Values(
        StopCase{"VoutEmpty", [](DesignInputs& in) { in.vout = u""; }, 1, "Vout",
                 ErrorNumber::TypeMismatch, DesignInput::Vout, StopReason::NotANumber},
        StopCase{"IoutLetters", [](DesignInputs& in) { in.iout = u"abc"; }, 1, "Iout",
                 ErrorNumber::TypeMismatch, DesignInput::Iout, StopReason::NotANumber},
        StopCase{"VinLoneMinus", [](DesignInputs& in) { in.vin = u"-"; }, 1, "Vin",
                 ErrorNumber::TypeMismatch, DesignInput::Vin, StopReason::NotANumber},
        StopCase{"EffiExponentWithoutDigits", [](DesignInputs& in) { in.effi = u"1e"; }, 1, "Effi",
                 ErrorNumber::TypeMismatch, DesignInput::Effi, StopReason::NotANumber},
        StopCase{"FsEmpty", [](DesignInputs& in) { in.fs = u""; }, 1, "T",
                 ErrorNumber::TypeMismatch, DesignInput::Fs, StopReason::NotANumber},
        StopCase{"VfLetters", [](DesignInputs& in) { in.vf = u"x"; }, 1, "Vf",
                 ErrorNumber::TypeMismatch, DesignInput::Vf, StopReason::NotANumber},
        StopCase{"DutyEmpty", [](DesignInputs& in) { in.duty = u""; }, 1, "Duty",
                 ErrorNumber::TypeMismatch, DesignInput::Duty, StopReason::NotANumber},
        StopCase{"VoutBeyond32Bits", [](DesignInputs& in) { in.vout = u"1e39"; }, 1, "Vout",
                 ErrorNumber::Overflow, DesignInput::Vout, StopReason::OutOfRange},
        StopCase{"EffiBeyond32Bits", [](DesignInputs& in) { in.effi = u"1e41"; }, 1, "Effi",
                 ErrorNumber::Overflow, DesignInput::Effi, StopReason::OutOfRange},
        StopCase{"FsZero", [](DesignInputs& in) { in.fs = u"0"; }, 1, "T",
                 ErrorNumber::DivisionByZero, DesignInput::Fs, StopReason::ArithmeticFault},
        StopCase{"EfficiencyZero", [](DesignInputs& in) { in.effi = u"0"; }, 2, "Iin",
                 ErrorNumber::DivisionByZero, DesignInput::Effi, StopReason::EfficiencyNotPositive},
        StopCase{"InputVoltageZero", [](DesignInputs& in) { in.vin = u"0"; }, 2, "Iin",
                 ErrorNumber::DivisionByZero, DesignInput::Vin, StopReason::ArithmeticFault},
        StopCase{"CoreEmpty", [](DesignInputs& in) { in.core = u""; }, 5, "Ae",
                 ErrorNumber::DivisionByZero, DesignInput::Core, StopReason::NoUsableCore},
        StopCase{"CoreEndMark", [](DesignInputs& in) { in.core = u"END"; }, 5, "Ae",
                 ErrorNumber::DivisionByZero, DesignInput::Core, StopReason::NoUsableCore},
        StopCase{"UnknownCoreBeforeAnyLookup", [](DesignInputs& in) { in.core = u"pq2016"; }, 5,
                 "Ae", ErrorNumber::DivisionByZero, DesignInput::Core, StopReason::NoUsableCore,
                 true},
        StopCase{"NoLevelBeforeAnyCalculation", [](DesignInputs&) {}, 8, "Ns",
                 ErrorNumber::DivisionByZero, DesignInput::None, StopReason::ArithmeticFault, false,
                 true},
        StopCase{"DutyOne", [](DesignInputs& in) { in.duty = u"1"; }, 11, "AL",
                 ErrorNumber::Overflow, DesignInput::Duty, StopReason::DutyOutOfRange},
        StopCase{"EfficiencyNegative", [](DesignInputs& in) { in.effi = u"-80"; }, 14, "Np",
                 ErrorNumber::InvalidCall, DesignInput::Effi, StopReason::EfficiencyNotPositive},
        StopCase{"DutyAboveOne", [](DesignInputs& in) { in.duty = u"1.5"; }, 14, "Np",
                 ErrorNumber::InvalidCall, DesignInput::Duty, StopReason::DutyOutOfRange},
        StopCase{"DutyNegative", [](DesignInputs& in) { in.duty = u"-0.5"; }, 14, "Np",
                 ErrorNumber::InvalidCall, DesignInput::Duty, StopReason::DutyOutOfRange},
        StopCase{"DutyZero", [](DesignInputs& in) { in.duty = u"0"; }, 15, "Nt",
                 ErrorNumber::DivisionByZero, DesignInput::Duty, StopReason::DutyOutOfRange}),
    [](const testing::TestParamInfo<StopCase>& testInfo) { return testInfo.param.name; });

}  // namespace
}  // namespace fbc
