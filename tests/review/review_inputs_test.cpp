#include "review/review_inputs.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include <string>

#include "platform/text.h"

namespace fbc {
namespace {

TEST(ReviewInputsTest, StartTextsGiveTheDefaultConditions) {
  const ReviewInputReading reading = readReviewInputs(ReviewInputs{});
  ASSERT_FALSE(reading.problem);
  EXPECT_EQ(reading.conditions.material->name, "N97");
  EXPECT_EQ(reading.conditions.ambient, 40.0);
  EXPECT_EQ(reading.conditions.maxTemperature, 100.0);
  const ReviewConditions defaults;
  EXPECT_EQ(defaults.material, reading.conditions.material);
  EXPECT_EQ(defaults.ambient, reading.conditions.ambient);
  EXPECT_EQ(defaults.maxTemperature, reading.conditions.maxTemperature);
  // A fixed DC input, the estimated leakage, a clamp at 1.5 times the reflected voltage and a
  // 650 V switch.
  EXPECT_FALSE(reading.conditions.vinMax);
  EXPECT_FALSE(reading.conditions.leakage);
  EXPECT_EQ(reading.conditions.clampRatio, defaults.clampRatio);
  EXPECT_EQ(reading.conditions.clampRatio, 1.5);
  EXPECT_EQ(reading.conditions.vdsRating, defaults.vdsRating);
  EXPECT_EQ(reading.conditions.vdsRating, 650.0);
  for (const ReviewInputInfo& info : kReviewInputTable) {
    EXPECT_EQ(reviewInputInfoByKey(info.key), &info);
    EXPECT_EQ(reviewInputInfoByColumn(info.column), &info);
    EXPECT_EQ(&reviewInputInfo(info.input), &info);
    // An input that may be left empty says what that means to every reader.
    EXPECT_EQ(info.emptyMeans.empty(), info.emptyMeansJa.empty()) << info.key;
  }
  EXPECT_EQ(reviewInputInfoByKey("vin"), nullptr);
  // The highest input's column is named like the design's columns.
  EXPECT_EQ(reviewInputInfoByColumn("vinmax")->input, ReviewInput::VinMax);
  EXPECT_EQ(reviewInputInfoByColumn("vin-max"), nullptr);
  EXPECT_EQ(reviewInputInfoByKey("vin-max")->input, ReviewInput::VinMax);
}

TEST(ReviewInputsTest, EachUnusableTextIsBlamedWithItsReason) {
  struct Case {
    ReviewInput input;
    std::u16string text;
    std::optional<ReviewInputFault> fault;
    ReviewInput blamed;
    std::string reason;
  };
  const Case cases[] = {
      {ReviewInput::Material, u"N87", std::nullopt, ReviewInput::Material, ""},
      {ReviewInput::Material, u" 3C95 ", std::nullopt, ReviewInput::Material, ""},
      {ReviewInput::Material, u"n97", ReviewInputFault::UnknownMaterial, ReviewInput::Material,
       "expected N97, N87, 3C95 or 3C90"},
      {ReviewInput::Material, u"", ReviewInputFault::UnknownMaterial, ReviewInput::Material,
       "expected N97, N87, 3C95 or 3C90"},
      {ReviewInput::Ambient, u"abc", ReviewInputFault::NotANumber, ReviewInput::Ambient,
       "not a number"},
      {ReviewInput::Ambient, u"300", ReviewInputFault::OutOfRange, ReviewInput::Ambient,
       "must lie between -40 and 125"},
      {ReviewInput::Ambient, u"-41", ReviewInputFault::OutOfRange, ReviewInput::Ambient,
       "must lie between -40 and 125"},
      {ReviewInput::Ambient, u"1e999", ReviewInputFault::OutOfRange, ReviewInput::Ambient,
       "must lie between -40 and 125"},
      {ReviewInput::Ambient, u"２５", std::nullopt, ReviewInput::Ambient, ""},
      {ReviewInput::MaxTemperature, u"40", ReviewInputFault::NotAboveAmbient,
       ReviewInput::MaxTemperature, "must lie above the ambient temperature"},
      {ReviewInput::MaxTemperature, u"251", ReviewInputFault::OutOfRange,
       ReviewInput::MaxTemperature, "must lie between 0 and 250"},
      {ReviewInput::MaxTemperature, u"nan", ReviewInputFault::NotANumber,
       ReviewInput::MaxTemperature, "not a number"},
      // The current limit: empty means 1.2 times the peak current; a limit must be above zero.
      {ReviewInput::CurrentLimit, u"", std::nullopt, ReviewInput::CurrentLimit, ""},
      {ReviewInput::CurrentLimit, u"7.5", std::nullopt, ReviewInput::CurrentLimit, ""},
      {ReviewInput::CurrentLimit, u"0", ReviewInputFault::OutOfRange, ReviewInput::CurrentLimit,
       "must lie above 0 and at most 1000000"},
      {ReviewInput::CurrentLimit, u"-2", ReviewInputFault::OutOfRange, ReviewInput::CurrentLimit,
       "must lie above 0 and at most 1000000"},
      {ReviewInput::CurrentLimit, u"6A", ReviewInputFault::NotANumber, ReviewInput::CurrentLimit,
       "not a number"},
      // Empty means the design's input voltage and the estimated leakage.
      {ReviewInput::VinMax, u"", std::nullopt, ReviewInput::VinMax, ""},
      {ReviewInput::VinMax, u" \u3000", std::nullopt, ReviewInput::VinMax, ""},
      {ReviewInput::VinMax, u"370", std::nullopt, ReviewInput::VinMax, ""},
      {ReviewInput::VinMax, u"1001", ReviewInputFault::OutOfRange, ReviewInput::VinMax,
       "must lie between 0 and 1000"},
      {ReviewInput::VinMax, u"abc", ReviewInputFault::NotANumber, ReviewInput::VinMax,
       "not a number"},
      {ReviewInput::Leakage, u"", std::nullopt, ReviewInput::Leakage, ""},
      {ReviewInput::Leakage, u"0", std::nullopt, ReviewInput::Leakage, ""},
      {ReviewInput::Leakage, u"-1e-6", ReviewInputFault::OutOfRange, ReviewInput::Leakage,
       "must lie between 0 and 1"},
      // The clamp must stand above the reflected voltage.
      {ReviewInput::ClampRatio, u"1", ReviewInputFault::OutOfRange, ReviewInput::ClampRatio,
       "must lie above 1 and at most 10"},
      {ReviewInput::ClampRatio, u"0.5", ReviewInputFault::OutOfRange, ReviewInput::ClampRatio,
       "must lie above 1 and at most 10"},
      {ReviewInput::ClampRatio, u"1.01", std::nullopt, ReviewInput::ClampRatio, ""},
      {ReviewInput::ClampRatio, u"", ReviewInputFault::NotANumber, ReviewInput::ClampRatio,
       "not a number"},
      {ReviewInput::VdsRating, u"0", ReviewInputFault::OutOfRange, ReviewInput::VdsRating,
       "must lie between 1 and 10000"},
      {ReviewInput::VdsRating, u"800", std::nullopt, ReviewInput::VdsRating, ""},
      // The drive mode by its code, and each mode's own input checked in every mode.
      {ReviewInput::Mode, u" qr ", std::nullopt, ReviewInput::Mode, ""},
      {ReviewInput::Mode, u"PWM-CCM", ReviewInputFault::UnknownMode, ReviewInput::Mode,
       "expected pwm-critical, pfm-critical, pwm-ccm or qr"},
      {ReviewInput::Mode, u"pwm-dcm", ReviewInputFault::UnknownMode, ReviewInput::Mode,
       "expected pwm-critical, pfm-critical, pwm-ccm or qr"},
      {ReviewInput::Mode, u"", ReviewInputFault::UnknownMode, ReviewInput::Mode,
       "expected pwm-critical, pfm-critical, pwm-ccm or qr"},
      {ReviewInput::Ripple, u"1", std::nullopt, ReviewInput::Ripple, ""},
      {ReviewInput::Ripple, u"0.01", std::nullopt, ReviewInput::Ripple, ""},
      {ReviewInput::Ripple, u"0", ReviewInputFault::OutOfRange, ReviewInput::Ripple,
       "must lie above 0 and at most 1"},
      {ReviewInput::Ripple, u"1.5", ReviewInputFault::OutOfRange, ReviewInput::Ripple,
       "must lie above 0 and at most 1"},
      {ReviewInput::Ripple, u"half", ReviewInputFault::NotANumber, ReviewInput::Ripple,
       "not a number"},
      {ReviewInput::Ripple, u" ", std::nullopt, ReviewInput::Ripple, ""},
      {ReviewInput::DrainCapacitance, u"", std::nullopt, ReviewInput::DrainCapacitance, ""},
      {ReviewInput::DrainCapacitance, u"0", std::nullopt, ReviewInput::DrainCapacitance, ""},
      {ReviewInput::DrainCapacitance, u"-1e-12", ReviewInputFault::OutOfRange,
       ReviewInput::DrainCapacitance, "must lie between 0 and 1E-06"},
      {ReviewInput::DrainCapacitance, u"100p", ReviewInputFault::NotANumber,
       ReviewInput::DrainCapacitance, "not a number"},
      // The mains input: its lowest voltage makes it one; the rest only with it.
      {ReviewInput::VacMin, u"85", std::nullopt, ReviewInput::VacMin, ""},
      {ReviewInput::VacMin, u"29", ReviewInputFault::OutOfRange, ReviewInput::VacMin,
       "must lie between 30 and 300"},
      {ReviewInput::VacMin, u"85V", ReviewInputFault::NotANumber, ReviewInput::VacMin,
       "not a number"},
      {ReviewInput::VacMax, u"265", ReviewInputFault::NeedsMains, ReviewInput::VacMax,
       "only with a mains input (--vac-min)"},
      {ReviewInput::LineFrequency, u"60", ReviewInputFault::NeedsMains, ReviewInput::LineFrequency,
       "only with a mains input (--vac-min)"},
      {ReviewInput::LineFrequency, u"400", ReviewInputFault::OutOfRange, ReviewInput::LineFrequency,
       "must lie between 45 and 70"},
      {ReviewInput::BulkCapacitance, u"0", ReviewInputFault::OutOfRange,
       ReviewInput::BulkCapacitance, "must lie above 0 and at most 1"},
      {ReviewInput::ChargeDuty, u"0.6", ReviewInputFault::OutOfRange, ReviewInput::ChargeDuty,
       "must lie between 0.05 and 0.5"},
      // Further outputs, the bias and the main output's turns.
      {ReviewInput::Outputs, u"5,2;12,1.5,1.2", std::nullopt, ReviewInput::Outputs, ""},
      {ReviewInput::Outputs, u"5/2/0.5;12/1.5", std::nullopt, ReviewInput::Outputs, ""},
      {ReviewInput::Outputs, u"1,1;1,1;1,1;1,1;1,1;1,1;1,1;1,1", ReviewInputFault::BadOutput,
       ReviewInput::Outputs, "at most 7 outputs beside the main one"},
      {ReviewInput::Outputs, u"0,1", ReviewInputFault::BadOutput, ReviewInput::Outputs,
       "output 1: the voltage must lie above 0 and at most 1000"},
      {ReviewInput::Outputs, u"5,2;-12,1", ReviewInputFault::BadOutput, ReviewInput::Outputs,
       "output 2: the voltage must lie above 0 and at most 1000"},
      {ReviewInput::Outputs, u"5,-1", ReviewInputFault::BadOutput, ReviewInput::Outputs,
       "output 1: the current must lie between 0 and 100"},
      {ReviewInput::Outputs, u"5,2,x", ReviewInputFault::BadOutput, ReviewInput::Outputs,
       "output 1: the diode's forward voltage is not a number"},
      {ReviewInput::Outputs, u"5", ReviewInputFault::BadOutput, ReviewInput::Outputs,
       "expected V,I[,Vf] for each output, separated by ;"},
      {ReviewInput::Outputs, u"5,2,0.5,1", ReviewInputFault::BadOutput, ReviewInput::Outputs,
       "expected V,I[,Vf] for each output, separated by ;"},
      {ReviewInput::Bias, u"15", std::nullopt, ReviewInput::Bias, ""},
      {ReviewInput::Bias, u"15,1,0.02", std::nullopt, ReviewInput::Bias, ""},
      {ReviewInput::Bias, u"15,1,0.02,3", ReviewInputFault::BadOutput, ReviewInput::Bias,
       "expected V[,Vf[,I]]"},
      {ReviewInput::Bias, u"15,1,-0.02", ReviewInputFault::BadOutput, ReviewInput::Bias,
       "the current must lie between 0 and 100"},
      {ReviewInput::SecondaryTurns, u"3", std::nullopt, ReviewInput::SecondaryTurns, ""},
      {ReviewInput::SecondaryTurns, u"2.5", ReviewInputFault::NotWhole, ReviewInput::SecondaryTurns,
       "must be a whole number between 1 and 1000"},
      {ReviewInput::SecondaryTurns, u"0", ReviewInputFault::OutOfRange, ReviewInput::SecondaryTurns,
       "must lie between 1 and 1000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(toUtf8(c.text));
    ReviewInputs inputs;
    inputs.text(c.input) = c.text;
    const ReviewInputReading reading = readReviewInputs(inputs);
    ASSERT_EQ(reading.problem.has_value(), c.fault.has_value());
    if (!c.fault) {
      continue;
    }
    EXPECT_EQ(reading.problem->fault, *c.fault);
    EXPECT_EQ(reading.problem->input, c.blamed);
    EXPECT_EQ(reviewInputFaultText(*reading.problem), c.reason);
    EXPECT_FALSE(reviewInputFaultTextJa(*reading.problem).empty());
  }
}

TEST(ReviewInputsTest, TheSwitchInputsAreReadIntoTheConditions) {
  ReviewInputs inputs;
  inputs.text(ReviewInput::VinMax) = u"370";
  inputs.text(ReviewInput::Leakage) = u"4.5e-6";
  inputs.text(ReviewInput::ClampRatio) = u"2";
  inputs.text(ReviewInput::VdsRating) = u"800";
  const ReviewInputReading reading = readReviewInputs(inputs, 200.0);
  ASSERT_FALSE(reading.problem);
  EXPECT_EQ(reading.conditions.vinMax, 370.0);
  EXPECT_EQ(reading.conditions.leakage, 4.5e-6);
  EXPECT_EQ(reading.conditions.clampRatio, 2.0);
  EXPECT_EQ(reading.conditions.vdsRating, 800.0);
}

TEST(ReviewInputsTest, TheModeInputsAreReadIntoTheConditions) {
  const ReviewConditions defaults;
  const ReviewInputReading start = readReviewInputs(ReviewInputs{});
  EXPECT_EQ(start.conditions.mode, DriveMode::PwmCritical);
  EXPECT_EQ(start.conditions.ripple, defaults.ripple);
  EXPECT_EQ(start.conditions.drainCapacitance, defaults.drainCapacitance);
  EXPECT_EQ(start.conditions.drainCapacitance, 100e-12);
  // Left empty, a mode's own input keeps its default.
  ReviewInputs empty;
  empty.text(ReviewInput::Ripple).clear();
  empty.text(ReviewInput::DrainCapacitance).clear();
  const ReviewInputReading emptied = readReviewInputs(empty);
  ASSERT_FALSE(emptied.problem);
  EXPECT_EQ(emptied.conditions.ripple, 0.5);
  EXPECT_EQ(emptied.conditions.drainCapacitance, 100e-12);
  for (const DriveMode mode : kDriveModes) {
    ReviewInputs inputs;
    inputs.text(ReviewInput::Mode) = fromUtf8(driveModeCode(mode));
    inputs.text(ReviewInput::Ripple) = u"0.4";
    inputs.text(ReviewInput::DrainCapacitance) = u"220e-12";
    const ReviewInputReading reading = readReviewInputs(inputs);
    ASSERT_FALSE(reading.problem);
    EXPECT_EQ(reading.conditions.mode, mode);
    EXPECT_EQ(reading.conditions.ripple, 0.4);
    EXPECT_EQ(reading.conditions.drainCapacitance, 220e-12);
  }
}

TEST(ReviewInputsTest, TheHighestInputMayNotLieBelowTheDesigns) {
  ReviewInputs inputs;
  inputs.text(ReviewInput::VinMax) = u"150";
  // Without the design's input voltage there is nothing to compare with yet.
  EXPECT_FALSE(readReviewInputs(inputs).problem);
  const ReviewInputReading reading = readReviewInputs(inputs, 200.0);
  ASSERT_TRUE(reading.problem);
  EXPECT_EQ(reading.problem->input, ReviewInput::VinMax);
  EXPECT_EQ(reading.problem->fault, ReviewInputFault::BelowVin);
  EXPECT_EQ(reviewInputFaultText(*reading.problem), "must be at least the input voltage 200 V");
  EXPECT_EQ(toUtf8(reviewInputFaultTextJa(*reading.problem)),
            "入力電圧(200 V)以上の値を入力してください。");
  // The design's Vin is a 32-bit value: the same text is the same voltage.
  inputs.text(ReviewInput::VinMax) = u"141.4";
  EXPECT_FALSE(readReviewInputs(inputs, static_cast<double>(141.4F)).problem);
  inputs.text(ReviewInput::VinMax) = u"141.3";
  EXPECT_EQ(reviewInputFaultText(*readReviewInputs(inputs, static_cast<double>(141.4F)).problem),
            "must be at least the input voltage 141.4 V");
}

// A limit below half the peak current cannot be meant (amperes typed for the wire's current, or
// the secondary's): it is refused once the review knows the peak.
TEST(ReviewInputsTest, TheCurrentLimitMayNotLieBelowHalfThePeak) {
  ReviewInputs inputs;
  EXPECT_FALSE(checkCurrentLimit(readReviewInputs(inputs).conditions, 6.0));
  inputs.text(ReviewInput::CurrentLimit) = u"3";
  const ReviewConditions conditions = readReviewInputs(inputs).conditions;
  EXPECT_EQ(conditions.currentLimit, 3.0);
  EXPECT_FALSE(checkCurrentLimit(conditions, 6.0));
  const std::optional<ReviewInputProblem> problem = checkCurrentLimit(conditions, 6.5);
  ASSERT_TRUE(problem);
  EXPECT_EQ(problem->input, ReviewInput::CurrentLimit);
  EXPECT_EQ(problem->fault, ReviewInputFault::BelowHalfPeak);
  EXPECT_EQ(reviewInputFaultText(*problem), "must be at least half the primary peak current 6.5 A");
  EXPECT_EQ(toUtf8(reviewInputFaultTextJa(*problem)),
            "一次ピーク電流(6.5 A)の半分以上の値を入力してください。");
}

TEST(ReviewInputsTest, TheFirstUnusableInputInTableOrderIsBlamed) {
  ReviewInputs inputs;
  inputs.text(ReviewInput::MaxTemperature) = u"x";
  inputs.text(ReviewInput::Ambient) = u"y";
  EXPECT_EQ(readReviewInputs(inputs).problem->input, ReviewInput::Ambient);
}

}  // namespace
TEST(ReviewInputsTest, TheMainsInputIsReadWithItsDefaultsAndItsConflicts) {
  struct Case {
    std::vector<std::pair<ReviewInput, std::u16string>> texts;
    std::optional<ReviewInputFault> fault;
    ReviewInput blamed;
  };
  const Case cases[] = {
      {{{ReviewInput::VacMin, u"85"}, {ReviewInput::VacMax, u"84"}},
       ReviewInputFault::BelowVacMin,
       ReviewInput::VacMax},
      {{{ReviewInput::VacMin, u"85"}, {ReviewInput::VinMax, u"370"}},
       ReviewInputFault::NotWithMains,
       ReviewInput::VinMax},
      {{{ReviewInput::VacMin, u"85"}, {ReviewInput::VacMax, u"85"}},
       std::nullopt,
       ReviewInput::VacMin},
  };
  for (const Case& c : cases) {
    ReviewInputs inputs;
    for (const auto& [input, text] : c.texts) {
      inputs.text(input) = text;
    }
    const ReviewInputReading reading = readReviewInputs(inputs);
    ASSERT_EQ(reading.problem.has_value(), c.fault.has_value());
    if (c.fault) {
      EXPECT_EQ(reading.problem->fault, *c.fault);
      EXPECT_EQ(reading.problem->input, c.blamed);
      EXPECT_FALSE(reviewInputFaultText(*reading.problem).empty());
    }
  }

  ReviewInputs only;
  only.text(ReviewInput::VacMin) = u"85";
  const ReviewInputReading reading = readReviewInputs(only);
  ASSERT_FALSE(reading.problem);
  ASSERT_TRUE(reading.conditions.mains);
  EXPECT_EQ(reading.conditions.mains->vacMax, 85.0);
  EXPECT_EQ(reading.conditions.mains->lineFrequency, 50.0);
  EXPECT_EQ(reading.conditions.mains->chargeDuty, 0.2);
  EXPECT_FALSE(reading.conditions.mains->bulkCapacitance);
  EXPECT_FALSE(readReviewInputs(ReviewInputs{}).conditions.mains);
}

TEST(ReviewInputsTest, TheOutputsAndTheBiasAreReadWithTheirDefaults) {
  ReviewInputs inputs;
  inputs.text(ReviewInput::Outputs) = u" 5 , 2 ; 12/1.5/1.2 ";
  inputs.text(ReviewInput::Bias) = u"15";
  inputs.text(ReviewInput::SecondaryTurns) = u"4";
  const ReviewInputReading reading = readReviewInputs(inputs);
  ASSERT_FALSE(reading.problem);
  const ReviewConditions& c = reading.conditions;
  ASSERT_EQ(c.outputs.size(), 2U);
  EXPECT_EQ(c.outputs[0].V, 5.0);
  EXPECT_EQ(c.outputs[0].I, 2.0);
  EXPECT_EQ(c.outputs[0].Vf, kDefaultOutputVf);
  EXPECT_EQ(c.outputs[1].Vf, 1.2);
  ASSERT_TRUE(c.bias);
  EXPECT_EQ(c.bias->V, 15.0);
  EXPECT_EQ(c.bias->Vf, kDefaultOutputVf);
  EXPECT_EQ(c.bias->I, kDefaultBiasCurrent);
  EXPECT_EQ(c.secondaryTurns, 4);
  // Written again as the batch column and the options take them.
  EXPECT_EQ(outputListText(c.outputs, '/'), "5/2/0.7;12/1.5/1.2");
  EXPECT_EQ(biasText(*c.bias, ','), "15,0.7,0.01");
}

}  // namespace fbc
