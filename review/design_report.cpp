#include "review/design_report.h"

#include <optional>
#include <utility>

#include "design/click_constants.h"
#include "design/input_rules.h"
#include "platform/errors.h"
#include "platform/number_text.h"
#include "platform/text.h"

namespace fbc {

namespace {

// The value as the person typed it, safe for one line and cut when long; quoted only when
// blanks would hide where it ends.
std::string shown(std::u16string_view text) {
  const std::string typed = toUtf8(text);
  std::string value = messageQuote(typed);
  if (typed.empty() || typed.find_first_of(" \t") != std::string::npos) {
    return "\"" + value + "\"";
  }
  return value;
}

std::string optionAndValue(std::string_view option, std::u16string_view text) {
  return std::string(option) + " " + shown(text);
}

std::string conversionReason(const RuntimeError& error) {
  switch (error.number()) {
    case ErrorNumber::TypeMismatch:
      return "not a number";
    case ErrorNumber::Overflow:
      return "out of range";
    default:
      return std::string(errorDescription(error.number()));
  }
}

std::string catalogueList(const CoreCatalogue& catalogue) {
  std::string list;
  for (const std::u16string& name : catalogue.listNames()) {
    list += (list.empty() ? "" : ", ") + toUtf8(name);
  }
  return list;
}

std::string stopReason(const CalculationResult& result, const CoreCatalogue& catalogue) {
  switch (result.reason) {
    case StopReason::NotANumber:
      return "not a number";
    case StopReason::OutOfRange:
      return "out of range";
    case StopReason::EfficiencyNotPositive:
      return "the efficiency must be above 0";
    case StopReason::DutyOutOfRange:
      return "the duty ratio must lie strictly between 0 and 1";
    case StopReason::NoUsableCore:
      return "not a catalogue core (" + catalogueList(catalogue) + ")";
    case StopReason::ArithmeticFault:
    case StopReason::None:
      break;
  }
  return std::string(errorDescription(result.error));
}

std::string stopMessage(const CalculationResult& result, const DesignInputs& inputs,
                        const CoreCatalogue& catalogue, std::string_view prefix) {
  std::string message;
  if (const InputInfo* blamed = inputInfo(result.cause)) {
    message = optionAndValue(std::string(prefix) + std::string(blamed->key),
                             *inputText(inputs, result.cause)) +
              ": " + stopReason(result, catalogue) + "; the calculation";
  } else {
    message = "the calculation";
  }
  message += " stopped at step " + std::to_string(result.failedStep);
  if (!result.quantity.empty()) {
    message += ", computing " + result.quantity;
  }
  // A missing core is not an arithmetic fault, whatever error number the lookup carries.
  if (result.reason != StopReason::NoUsableCore) {
    message += " (" + std::string(errorDescription(result.error)) + ")";
  }
  return message;
}

// The problem in one line naming the option, or without `prefix` the batch column, and its text.
[[noreturn]] void throwProblem(const ReviewInputProblem& problem, const ReviewInputs& inputs,
                               std::string_view prefix) {
  const ReviewInputInfo& info = reviewInputInfo(problem.input);
  const std::string_view name = prefix.empty() ? info.column : info.key;
  throw InputError(
      optionAndValue(std::string(prefix) + std::string(name), inputs.text(problem.input)) + ": " +
      reviewInputFaultText(problem));
}

}  // namespace

std::vector<std::string> applyLimitRules(DesignInputs& inputs, std::string_view prefix) {
  std::vector<std::string> warnings;
  for (DesignInput input : kInputPresentationOrder) {
    const InputInfo& info = *inputInfo(input);
    if (!info.limit) {
      continue;
    }
    std::u16string& text = *inputText(inputs, input);
    const std::string option = std::string(prefix) + std::string(info.key);
    std::optional<std::u16string> replacement;
    try {
      replacement = limitReplacement(*info.limit, text);
    } catch (const RuntimeError& error) {
      throw InputError(optionAndValue(option, text) + ": " + conversionReason(error));
    }
    if (replacement) {
      warnings.push_back(optionAndValue(option, text) + " is outside the limits; using " +
                         toUtf8(*replacement));
      text = std::move(*replacement);
    }
  }
  return warnings;
}

ReviewConditions reviewConditionsFor(const ReviewInputs& inputs, std::string_view prefix,
                                     std::optional<double> designVin) {
  const ReviewInputReading reading = readReviewInputs(inputs, designVin);
  if (reading.problem) {
    throwProblem(*reading.problem, inputs, prefix);
  }
  return reading.conditions;
}

void refuseCurrentLimit(const DesignReview& review, const ReviewConditions& conditions,
                        const ReviewInputs& inputs, std::string_view prefix) {
  const std::optional<ReviewInputProblem> problem =
      review.valid ? checkCurrentLimit(conditions, review.Ipk) : std::nullopt;
  if (problem) {
    throwProblem(*problem, inputs, prefix);
  }
}

bool mainsGiven(const ReviewInputs& reviewInputs) {
  return reviewInputs.text(ReviewInput::VacMin).find_first_not_of(u" \t\u3000") !=
         std::u16string::npos;
}

void refuseInputVoltageWithMains(const DesignInputs& inputs, bool vinGiven,
                                 const ReviewInputs& reviewInputs, std::string_view prefix) {
  if (!vinGiven || !mainsGiven(reviewInputs)) {
    return;
  }
  const std::u16string& vacMin = reviewInputs.text(ReviewInput::VacMin);
  const ReviewInputInfo& info = reviewInputInfo(ReviewInput::VacMin);
  throw InputError(
      optionAndValue(std::string(prefix) + "vin", *inputText(inputs, DesignInput::Vin)) +
      ": not with a mains input (" +
      optionAndValue(std::string(prefix) + std::string(prefix.empty() ? info.column : info.key),
                     vacMin) +
      "): the design is made at the bulk capacitor's valley");
}

std::optional<double> designInputVoltage(const DesignInputs& inputs) {
  const ParsedSingle parsed = parseSingle(*inputText(inputs, DesignInput::Vin));
  if (parsed.status != ParseStatus::Ok) {
    return std::nullopt;
  }
  return static_cast<double>(parsed.value);
}

namespace {

// The mains input's supply for the outputs `inputs` ask for: the design is calculated once to
// learn their power, which the valley does not change.
InputSupply mainsSupplyFor(const DesignInputs& inputs, const CoreCatalogue& catalogue,
                           const ReviewConditions& conditions, const ReviewInputs& reviewInputs,
                           std::string_view prefix) {
  DesignState first;
  const CalculationResult result = calculateDesign(inputs, catalogue, first);
  if (!result.completed) {
    throw InputError(stopMessage(result, inputs, catalogue, prefix));
  }
  const double pin = outputPower(first, conditions) / static_cast<double>(first.Effi);
  const SupplyReading reading = readSupply(conditions, pin, limitRule(LimitedBox::Vin).lower);
  if (reading.problem) {
    throwProblem(*reading.problem, reviewInputs, prefix);
  }
  return *reading.supply;
}

}  // namespace

SuppliedInputs suppliedInputs(const DesignInputs& inputs, const CoreCatalogue& catalogue,
                              const ReviewInputs& reviewInputs, std::string_view prefix) {
  // The conditions are read first so that a bad one is named even where the design stops.
  const ReviewConditions read = reviewConditionsFor(reviewInputs, prefix);
  SuppliedInputs supplied{inputs, {}};
  if (read.mains) {
    supplied.supply = mainsSupplyFor(inputs, catalogue, read, reviewInputs, prefix);
    *inputText(supplied.inputs, DesignInput::Vin) = valleyInputText(supplied.supply.VDCmin);
  }
  return supplied;
}

void applySupply(ReviewConditions& conditions, const InputSupply& supply) {
  if (supply.kind == InputSupply::Kind::Ac) {
    conditions.vinMax = supply.VDCmax;
  }
}

DesignReport designFor(const DesignInputs& inputs, const CoreCatalogue& catalogue,
                       std::string_view prefix, const ReviewInputs& reviewInputs) {
  // The highest input is checked against the design's once that is known.
  SuppliedInputs supplied = suppliedInputs(inputs, catalogue, reviewInputs, prefix);
  DesignReport report;
  report.inputs = std::move(supplied.inputs);
  report.supply = supplied.supply;
  report.reviewInputs = reviewInputs;
  const CalculationResult result = calculateDesign(report.inputs, catalogue, report.state);
  if (!result.completed) {
    throw InputError(stopMessage(result, report.inputs, catalogue, prefix));
  }
  ReviewConditions conditions =
      reviewConditionsFor(reviewInputs, prefix, static_cast<double>(report.state.Vin));
  applySupply(conditions, report.supply);
  if (report.supply.kind == InputSupply::Kind::Dc) {
    report.supply.VDCmin = static_cast<double>(report.state.Vin);
    report.supply.VDCmax = conditions.vinMax.value_or(report.supply.VDCmin);
  }
  report.conditions = conditions;
  const ClickConstants constants = clickConstants();
  report.texts = resultTexts(report.state, constants.k);
  if (report.state.Lp != 0.0F) {
    report.scales = waveformScales(report.state, constants.m);
  }
  if (const std::optional<double> swing = levelSwing(inputs.level)) {
    report.review = reviewDesign(report.state, *swing, conditions);
    refuseCurrentLimit(*report.review, conditions, reviewInputs, prefix);
  }
  return report;
}

}  // namespace fbc
