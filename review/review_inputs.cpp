#include "review/review_inputs.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "platform/number_text.h"
#include "platform/text.h"

namespace fbc {

namespace {

// The number a text gives, or the fault; within the row's limits.
std::optional<ReviewInputFault> readNumber(const ReviewInputInfo& info, std::u16string_view text,
                                           double& value) {
  const ParsedDouble parsed = parseDouble(text);
  if (parsed.status == ParseStatus::NotANumber) {
    return ReviewInputFault::NotANumber;
  }
  const bool aboveLower =
      info.lowerExcluded ? parsed.value > info.lower : parsed.value >= info.lower;
  if (parsed.status == ParseStatus::OutOfRange || !aboveLower || !(parsed.value <= info.upper)) {
    return ReviewInputFault::OutOfRange;
  }
  value = parsed.value;
  return std::nullopt;
}

// A capacitance in microfarads, rounded up to two significant figures: "75 µF".
std::string capacitanceText(double farads) {
  const double micro = farads * 1e6;
  if (!(micro > 0.0) || !std::isfinite(micro)) {
    return toUtf8(generalText(micro)) + " \u00b5F";
  }
  // Divided by an exact power of ten, so that 7.5 is written 7.5.
  const double exponent = std::floor(std::log10(micro)) - 1.0;
  const double power = std::pow(10.0, std::abs(exponent));
  const double figures = exponent >= 0.0 ? micro / power : micro * power;
  const double up = std::ceil(figures * (1.0 - 1e-12));
  return toUtf8(generalText(exponent >= 0.0 ? up * power : up / power)) + " \u00b5F";
}

std::u16string blankTrimmed(std::u16string_view text) {
  const auto blank = [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\u3000'; };
  while (!text.empty() && blank(text.front())) {
    text.remove_prefix(1);
  }
  while (!text.empty() && blank(text.back())) {
    text.remove_suffix(1);
  }
  return std::u16string(text);
}

// The drive mode and its own inputs. Each mode's own input is checked in every mode, so a batch
// row or a field is never wrong unnoticed until its mode is chosen; left empty, as in a row of
// another mode, it keeps its default.
std::optional<ReviewInputProblem> readModeInputs(const ReviewInputs& inputs, ReviewConditions& c) {
  const std::optional<DriveMode> mode =
      driveModeByCode(toUtf8(blankTrimmed(inputs.text(ReviewInput::Mode))));
  if (!mode) {
    return ReviewInputProblem{ReviewInput::Mode, ReviewInputFault::UnknownMode};
  }
  c.mode = *mode;
  for (const ReviewInput input : {ReviewInput::Ripple, ReviewInput::DrainCapacitance}) {
    double& value = input == ReviewInput::Ripple ? c.ripple : c.drainCapacitance;
    if (blankTrimmed(inputs.text(input)).empty()) {
      continue;
    }
    if (const auto fault = readNumber(reviewInputInfo(input), inputs.text(input), value)) {
      return ReviewInputProblem{input, *fault};
    }
  }
  return std::nullopt;
}

bool automatic(std::u16string_view text) {
  const std::u16string trimmed = blankTrimmed(text);
  return trimmed.empty() || trimmed == kAutomaticJa || toUtf8(trimmed) == kAutomatic;
}

// The windings' wires and arrangement: empty, "auto" or "自動" leaves each to the review.
std::optional<ReviewInputProblem> readWindingInputs(const ReviewInputs& inputs,
                                                    ReviewConditions& c) {
  for (const ReviewInput input : {ReviewInput::WirePrimary, ReviewInput::WireSecondary}) {
    std::optional<Wire>& wire = input == ReviewInput::WirePrimary ? c.wirePrimary : c.wireSecondary;
    wire.reset();
    if (automatic(inputs.text(input))) {
      continue;
    }
    const WireReading reading = readWire(toUtf8(inputs.text(input)));
    if (!reading.wire) {
      return ReviewInputProblem{input, ReviewInputFault::BadWire, 0.0, reading.problem};
    }
    wire = reading.wire;
  }
  c.arrangement.reset();
  if (!automatic(inputs.text(ReviewInput::Arrangement))) {
    c.arrangement =
        windingArrangementByCode(toUtf8(blankTrimmed(inputs.text(ReviewInput::Arrangement))));
    if (!c.arrangement) {
      return ReviewInputProblem{ReviewInput::Arrangement, ReviewInputFault::UnknownArrangement};
    }
  }
  return std::nullopt;
}

// The numbers whose empty text means the design's input voltage, the estimated leakage or 1.2
// times the peak current.
std::optional<ReviewInputProblem> readOptionalNumbers(const ReviewInputs& inputs,
                                                      std::optional<double> designVin,
                                                      ReviewConditions& c) {
  // In table order, so that the first unusable one is blamed.
  for (const ReviewInput input :
       {ReviewInput::CurrentLimit, ReviewInput::VinMax, ReviewInput::Leakage}) {
    if (blankTrimmed(inputs.text(input)).empty()) {
      continue;
    }
    double value = 0.0;
    if (const auto fault = readNumber(reviewInputInfo(input), inputs.text(input), value)) {
      return ReviewInputProblem{input, *fault};
    }
    (input == ReviewInput::VinMax    ? c.vinMax
     : input == ReviewInput::Leakage ? c.leakage
                                     : c.currentLimit) = value;
    // The design's Vin is a 32-bit value: a highest input typed as the same text may differ
    // from it in the last bits.
    if (input == ReviewInput::VinMax && designVin && value < *designVin * (1.0 - 1e-6)) {
      return ReviewInputProblem{input, ReviewInputFault::BelowVin, *designVin};
    }
  }
  return std::nullopt;
}

// The mains input: present once its lowest voltage is given; its other figures only with it.
std::optional<ReviewInputProblem> readMainsInputs(const ReviewInputs& inputs, ReviewConditions& c) {
  c.mains.reset();
  MainsInput mains;
  std::array<std::optional<double>, 5> values{};
  constexpr std::array<ReviewInput, 5> kRows = {
      ReviewInput::VacMin, ReviewInput::VacMax, ReviewInput::LineFrequency,
      ReviewInput::BulkCapacitance, ReviewInput::ChargeDuty};
  for (std::size_t i = 0; i < kRows.size(); ++i) {
    const ReviewInput input = kRows[i];
    if (blankTrimmed(inputs.text(input)).empty()) {
      continue;
    }
    double value = 0.0;
    if (const auto fault = readNumber(reviewInputInfo(input), inputs.text(input), value)) {
      return ReviewInputProblem{input, *fault};
    }
    values[i] = value;
  }
  if (!values[0]) {
    for (std::size_t i = 1; i < kRows.size(); ++i) {
      if (values[i]) {
        return ReviewInputProblem{kRows[i], ReviewInputFault::NeedsMains};
      }
    }
    return std::nullopt;
  }
  mains.vacMin = *values[0];
  mains.vacMax = values[1].value_or(mains.vacMin);
  if (mains.vacMax < mains.vacMin) {
    return ReviewInputProblem{ReviewInput::VacMax, ReviewInputFault::BelowVacMin};
  }
  mains.lineFrequency = values[2].value_or(mains.lineFrequency);
  mains.bulkCapacitance = values[3];
  mains.chargeDuty = values[4].value_or(mains.chargeDuty);
  if (c.vinMax) {
    return ReviewInputProblem{ReviewInput::VinMax, ReviewInputFault::NotWithMains};
  }
  c.mains = mains;
  return std::nullopt;
}

// The outputs beside the main one, the bias winding and the main output's turns.
std::optional<ReviewInputProblem> readOutputInputs(const ReviewInputs& inputs,
                                                   ReviewConditions& c) {
  const OutputListReading outputs = readOutputList(toUtf8(inputs.text(ReviewInput::Outputs)));
  if (outputs.problem) {
    ReviewInputProblem problem{ReviewInput::Outputs, ReviewInputFault::BadOutput};
    problem.output = outputs.problem;
    return problem;
  }
  c.outputs = outputs.outputs;
  const BiasReading bias = readBias(toUtf8(inputs.text(ReviewInput::Bias)));
  if (bias.problem) {
    ReviewInputProblem problem{ReviewInput::Bias, ReviewInputFault::BadOutput};
    problem.output = bias.problem;
    return problem;
  }
  c.bias = bias.bias;
  c.secondaryTurns.reset();
  const std::u16string& turnsText = inputs.text(ReviewInput::SecondaryTurns);
  if (!blankTrimmed(turnsText).empty()) {
    double turns = 0.0;
    if (const auto fault =
            readNumber(reviewInputInfo(ReviewInput::SecondaryTurns), turnsText, turns)) {
      return ReviewInputProblem{ReviewInput::SecondaryTurns, *fault};
    }
    if (turns != std::floor(turns)) {
      return ReviewInputProblem{ReviewInput::SecondaryTurns, ReviewInputFault::NotWhole};
    }
    c.secondaryTurns = static_cast<int>(turns);
  }
  return std::nullopt;
}

// The insulation, how it is built, its working voltage and the bobbin's pins. A secondary wire
// given for the tiw construction must be one that is made triple-insulated.
std::optional<ReviewInputProblem> readIsolationInputs(const ReviewInputs& inputs,
                                                      ReviewConditions& c) {
  c.insulation.reset();
  const std::string insulation = toUtf8(blankTrimmed(inputs.text(ReviewInput::Insulation)));
  if (!insulation.empty()) {
    c.insulation = insulationByCode(insulation);
    if (!c.insulation) {
      return ReviewInputProblem{ReviewInput::Insulation, ReviewInputFault::UnknownInsulation};
    }
  }
  const std::string construction = toUtf8(blankTrimmed(inputs.text(ReviewInput::Construction)));
  c.construction = Construction::Margin;
  if (!construction.empty()) {
    const std::optional<Construction> read = constructionByCode(construction);
    if (!read) {
      return ReviewInputProblem{ReviewInput::Construction, ReviewInputFault::UnknownConstruction};
    }
    c.construction = *read;
  }
  c.workingVoltage.reset();
  if (!blankTrimmed(inputs.text(ReviewInput::WorkingVoltage)).empty()) {
    double volts = 0.0;
    if (const auto fault = readNumber(reviewInputInfo(ReviewInput::WorkingVoltage),
                                      inputs.text(ReviewInput::WorkingVoltage), volts)) {
      return ReviewInputProblem{ReviewInput::WorkingVoltage, *fault};
    }
    c.workingVoltage = volts;
  }
  const std::optional<PinCounts> pins = readPinCounts(toUtf8(inputs.text(ReviewInput::Pins)));
  if (!pins) {
    return ReviewInputProblem{ReviewInput::Pins, ReviewInputFault::BadPins};
  }
  c.pins = *pins;
  if (c.construction == Construction::Tiw && c.wireSecondary &&
      !canBeTripleInsulated(*c.wireSecondary)) {
    return ReviewInputProblem{ReviewInput::WireSecondary, ReviewInputFault::NotTripleInsulated};
  }
  return std::nullopt;
}

}  // namespace

const ReviewInputInfo& reviewInputInfo(ReviewInput input) {
  return kReviewInputTable[static_cast<std::size_t>(input)];
}

const ReviewInputInfo* reviewInputInfoByKey(std::string_view key) {
  const auto found = std::find_if(kReviewInputTable.begin(), kReviewInputTable.end(),
                                  [key](const ReviewInputInfo& info) { return info.key == key; });
  return found == kReviewInputTable.end() ? nullptr : &*found;
}

const ReviewInputInfo* reviewInputInfoByColumn(std::string_view column) {
  const auto found =
      std::find_if(kReviewInputTable.begin(), kReviewInputTable.end(),
                   [column](const ReviewInputInfo& info) { return info.column == column; });
  return found == kReviewInputTable.end() ? nullptr : &*found;
}

ReviewInputReading readReviewInputs(const ReviewInputs& inputs, std::optional<double> designVin) {
  ReviewInputReading reading;
  ReviewConditions& c = reading.conditions;
  c.material = ferriteMaterial(toUtf8(blankTrimmed(inputs.text(ReviewInput::Material))));
  if (c.material == nullptr) {
    reading.problem = ReviewInputProblem{ReviewInput::Material, ReviewInputFault::UnknownMaterial};
    c.material = ferriteMaterial(kDefaultMaterial);
    return reading;
  }
  for (const ReviewInput input : {ReviewInput::Ambient, ReviewInput::MaxTemperature}) {
    double& value = input == ReviewInput::Ambient ? c.ambient : c.maxTemperature;
    if (const auto fault = readNumber(reviewInputInfo(input), inputs.text(input), value)) {
      reading.problem = ReviewInputProblem{input, *fault};
      return reading;
    }
  }
  if (!(c.maxTemperature > c.ambient)) {
    reading.problem =
        ReviewInputProblem{ReviewInput::MaxTemperature, ReviewInputFault::NotAboveAmbient};
    return reading;
  }
  reading.problem = readOptionalNumbers(inputs, designVin, c);
  if (reading.problem) {
    return reading;
  }
  for (const ReviewInput input : {ReviewInput::ClampRatio, ReviewInput::VdsRating}) {
    double& value = input == ReviewInput::ClampRatio ? c.clampRatio : c.vdsRating;
    if (const auto fault = readNumber(reviewInputInfo(input), inputs.text(input), value)) {
      reading.problem = ReviewInputProblem{input, *fault};
      return reading;
    }
  }
  reading.problem = readModeInputs(inputs, c);
  if (!reading.problem) {
    reading.problem = readWindingInputs(inputs, c);
  }
  if (!reading.problem) {
    reading.problem = readMainsInputs(inputs, c);
  }
  if (!reading.problem) {
    reading.problem = readOutputInputs(inputs, c);
  }
  if (!reading.problem) {
    reading.problem = readIsolationInputs(inputs, c);
  }
  return reading;
}

SupplyReading readSupply(const ReviewConditions& conditions, double pin, double lowestInput) {
  SupplyReading reading;
  if (!conditions.mains) {
    return reading;
  }
  const MainsInput& mains = *conditions.mains;
  reading.supply = mainsSupply(mains, pin);
  if (!reading.supply || reading.supply->VDCmin < lowestInput) {
    reading.supply.reset();
    ReviewInputProblem problem{
        mains.bulkCapacitance ? ReviewInput::BulkCapacitance : ReviewInput::VacMin,
        ReviewInputFault::BulkTooSmall};
    problem.vacMin = mains.vacMin;
    problem.inputPower = pin;
    problem.leastCapacitance = leastBulkCapacitance(mains, pin, lowestInput);
    reading.problem = problem;
  }
  return reading;
}

std::optional<ReviewInputProblem> checkCurrentLimit(const ReviewConditions& conditions,
                                                    double ipk) {
  if (conditions.currentLimit && *conditions.currentLimit < 0.5 * ipk) {
    ReviewInputProblem problem{ReviewInput::CurrentLimit, ReviewInputFault::BelowHalfPeak};
    problem.peakCurrent = ipk;
    return problem;
  }
  return std::nullopt;
}

std::string reviewInputFaultText(const ReviewInputProblem& problem) {
  const ReviewInputInfo& info = reviewInputInfo(problem.input);
  switch (problem.fault) {
    case ReviewInputFault::NotANumber:
      return "not a number";
    case ReviewInputFault::UnknownMaterial:
      return "expected " + materialNames(", ", " or ");
    case ReviewInputFault::OutOfRange:
      if (info.lowerExcluded) {
        return "must lie above " + toUtf8(generalText(info.lower)) + " and at most " +
               toUtf8(generalText(info.upper));
      }
      return "must lie between " + toUtf8(generalText(info.lower)) + " and " +
             toUtf8(generalText(info.upper));
    case ReviewInputFault::NotAboveAmbient:
      return "must lie above the ambient temperature";
    case ReviewInputFault::BelowVin:
      return "must be at least the input voltage " +
             toUtf8(generalText(static_cast<float>(problem.designVin))) + " V";
    case ReviewInputFault::UnknownMode:
      return "expected " + driveModeCodes(", ", " or ");
    case ReviewInputFault::BadWire:
      return problem.wire ? wireTextFaultText(*problem.wire) : std::string("not a wire");
    case ReviewInputFault::UnknownArrangement:
      return "expected " + windingArrangementCodes(", ") + " or auto";
    case ReviewInputFault::BelowHalfPeak:
      return "must be at least half the primary peak current " +
             toUtf8(generalText(static_cast<float>(problem.peakCurrent))) + " A";
    case ReviewInputFault::BadOutput:
      return problem.output
                 ? outputTextFaultText(*problem.output, problem.input == ReviewInput::Bias)
                 : std::string("not an output");
    case ReviewInputFault::NotWhole:
      return "must be a whole number between " + toUtf8(generalText(info.lower)) + " and " +
             toUtf8(generalText(info.upper));
    case ReviewInputFault::NeedsMains:
      return "only with a mains input (--vac-min)";
    case ReviewInputFault::BelowVacMin:
      return "must be at least the lowest mains voltage";
    case ReviewInputFault::NotWithMains:
      return "not with a mains input: the highest input is the peak of the highest mains voltage";
    case ReviewInputFault::BulkTooSmall:
      if (problem.input == ReviewInput::VacMin) {
        return "too low for the rule of thumb's bulk capacitor at " +
               toUtf8(generalText(static_cast<float>(problem.inputPower))) +
               " W; give a bulk capacitance of at least " +
               capacitanceText(problem.leastCapacitance);
      }
      return "too small to hold the input up at " +
             toUtf8(generalText(static_cast<float>(problem.vacMin))) + " VAC and " +
             toUtf8(generalText(static_cast<float>(problem.inputPower))) + " W; at least " +
             capacitanceText(problem.leastCapacitance);
    case ReviewInputFault::UnknownInsulation:
      return "expected " + insulationCodes(", ", " or ");
    case ReviewInputFault::UnknownConstruction:
      return "expected " + constructionCodes(", ", " or ");
    case ReviewInputFault::BadPins:
      return "expected N or NP,NS, each a whole number from " + std::to_string(kPinsPerSideMin) +
             " to " + std::to_string(kPinsPerSideMax);
    case ReviewInputFault::NotTripleInsulated:
      return "triple-insulated wire (--construction tiw) is round wire, alone or in hand, of " +
             toUtf8(generalText(kTripleInsulatedMin)) + " to " +
             toUtf8(generalText(kTripleInsulatedMax)) + " mm";
  }
  return {};
}

std::u16string reviewInputFaultTextJa(const ReviewInputProblem& problem) {
  const ReviewInputInfo& info = reviewInputInfo(problem.input);
  switch (problem.fault) {
    case ReviewInputFault::NotANumber:
      return u"数値を入力してください。";
    case ReviewInputFault::UnknownMaterial:
      return u"材質は" + fromUtf8(materialNames("、", "、")) + u"から選んでください。";
    case ReviewInputFault::OutOfRange:
      if (info.lowerExcluded) {
        return generalText(info.lower) + u"より大きく" + generalText(info.upper) +
               u"以下の値を入力してください。";
      }
      return generalText(info.lower) + u"から" + generalText(info.upper) +
             u"の範囲で入力してください。";
    case ReviewInputFault::NotAboveAmbient:
      return u"周囲温度より高い温度を入力してください。";
    case ReviewInputFault::BelowVin:
      return u"入力電圧(" + generalText(static_cast<float>(problem.designVin)) +
             u" V)以上の値を入力してください。";
    case ReviewInputFault::UnknownMode:
      return u"駆動方式は" + fromUtf8(driveModeCodes("、", "、")) + u"から選んでください。";
    case ReviewInputFault::BadWire:
      return problem.wire ? wireTextFaultTextJa(*problem.wire)
                          : std::u16string(u"線材が読めません。");
    case ReviewInputFault::UnknownArrangement:
      return u"巻線配置は" + fromUtf8(windingArrangementCodes("、")) +
             u"、自動から選んでください。";
    case ReviewInputFault::BelowHalfPeak:
      return u"一次ピーク電流(" + generalText(static_cast<float>(problem.peakCurrent)) +
             u" A)の半分以上の値を入力してください。";
    case ReviewInputFault::BadOutput:
      return problem.output
                 ? outputTextFaultTextJa(*problem.output, problem.input == ReviewInput::Bias)
                 : std::u16string(u"出力が読めません。");
    case ReviewInputFault::NotWhole:
      return generalText(info.lower) + u"から" + generalText(info.upper) +
             u"の整数を入力してください。";
    case ReviewInputFault::NeedsMains:
      return u"最小交流入力電圧と一緒に入力してください。";
    case ReviewInputFault::BelowVacMin:
      return u"最小交流入力電圧以上の値を入力してください。";
    case ReviewInputFault::NotWithMains:
      return u"交流入力では最大直流入力電圧は交流入力から決まります。空欄にしてください。";
    case ReviewInputFault::BulkTooSmall:
      return u"容量不足です。" + fromUtf8(capacitanceText(problem.leastCapacitance)) +
             u"以上にしてください。";
    case ReviewInputFault::UnknownInsulation:
      return u"絶縁の種類は" + fromUtf8(insulationCodes("、", "、")) + u"から選んでください。";
    case ReviewInputFault::UnknownConstruction:
      return u"絶縁構造は" + fromUtf8(constructionCodes("、", "、")) + u"から選んでください。";
    case ReviewInputFault::BadPins:
      return u"ピン数は2から20の整数で、一次側,二次側の順に入力してください。";
    case ReviewInputFault::NotTripleInsulated:
      return u"三重絶縁線は0.2から1 mmの丸線(並列可)です。";
  }
  return {};
}

}  // namespace fbc
