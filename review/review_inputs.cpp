#include "review/review_inputs.h"

#include <algorithm>
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
  }
  return {};
}

}  // namespace fbc
