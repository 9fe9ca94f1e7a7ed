#include "review/design_explanation.h"

#include <cctype>
#include <functional>
#include <optional>

#include "design/calculation.h"
#include "design/calculation_steps.h"
#include "design/design_state_members.h"
#include "platform/checked_math.h"
#include "platform/number_text.h"
#include "platform/text.h"
#include "review/insulation/isolation_explanation.h"
#include "review/loss_formulas.h"
#include "review/losses.h"
#include "review/review_display.h"
#include "review/review_formulas.h"
#include "review/stress_formulas.h"

namespace fbc {

namespace {

std::string text(float value) { return toUtf8(generalText(value)); }
std::string text(double value) { return toUtf8(generalText(value)); }

std::string_view unitOf(std::string_view stateName) {
  const StateMember* member = stateMember(stateName);
  return member != nullptr ? member->unit : std::string_view();
}

bool isNameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool isNamePart(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// The formula with every name `value` knows replaced by its value; function names and numbers
// stay as they are.
std::string withValues(std::string_view formula,
                       const std::function<std::optional<std::string>(std::string_view)>& value) {
  std::string out;
  std::size_t i = 0;
  while (i < formula.size()) {
    // A number such as 1e5 is not a name, nor is the exponent inside it.
    if (std::isdigit(static_cast<unsigned char>(formula[i]))) {
      while (i < formula.size() && (isNamePart(formula[i]) || formula[i] == '.')) {
        out += formula[i++];
      }
      continue;
    }
    if (!isNameStart(formula[i])) {
      out += formula[i++];
      continue;
    }
    std::size_t end = i;
    while (end < formula.size() && isNamePart(formula[end])) {
      ++end;
    }
    const std::string_view name = formula.substr(i, end - i);
    const std::optional<std::string> replaced = value(name);
    out += replaced ? *replaced : std::string(name);
    i = end;
  }
  return out;
}

std::optional<std::string> stateValue(const DesignState& s, std::string_view name) {
  if (const StateMember* member = stateMember(name)) {
    return text(s.*member->member);
  }
  return std::nullopt;
}

// Step 1: each box as it is read, in the order the calculation reads them.
void explainReads(const DesignInputs& inputs, DesignState& s, std::vector<ExplainedStep>& steps) {
  for (const InputInfo& info : kInputTable) {
    if (info.reading == InputReading::Text) {
      continue;
    }
    const std::u16string& typed = *inputText(inputs, info.input);
    ExplainedStep step;
    step.step = "1";
    if (const DerivedRead* read = derivedRead(info.input)) {
      s.*read->target = toSingleChecked(read->evaluate(parseDouble(typed).value));
      step.quantity = read->quantity;
      step.formula = read->formula;
      step.operands = withValues(read->formula, [&](std::string_view name) {
        return name == info.key ? std::optional<std::string>(toUtf8(typed)) : std::nullopt;
      });
      step.result = text(s.*read->target);
    } else {
      const InputTarget target = inputTarget(info.input);
      s.*target.member = parseSingle(typed).value;
      step.quantity = target.quantity;
      step.formula = info.key;
      step.operands = toUtf8(typed);
      step.result = text(s.*target.member);
    }
    step.unit = unitOf(step.quantity);
    steps.push_back(std::move(step));
  }
}

ExplainedStep formulaStep(const CalculationStep& formula, DesignState& s) {
  ExplainedStep step;
  step.step = std::to_string(formula.number);
  step.quantity = formula.quantity;
  step.formula = formula.formula;
  step.operands =
      withValues(formula.formula, [&](std::string_view name) { return stateValue(s, name); });
  s.*formula.target = toSingleChecked(formula.evaluate(s));
  step.result = text(s.*formula.target);
  step.unit = unitOf(formula.quantity);
  return step;
}

ExplainedStep takenStep(std::string step, std::string_view quantity, std::string source,
                        float value) {
  return {std::move(step),   std::string(quantity), "",
          std::move(source), text(value),           std::string(unitOf(quantity))};
}

// The rows of the losses' or the stress's working as explained steps numbered `letter`, each
// formula written again with the values `operand` gives its names.
template <typename Operand>
void appendSteps(std::string_view letter, const std::vector<LossStep>& rows, Operand operand,
                 std::vector<ExplainedStep>& out) {
  const auto operandText = [&](std::string_view name) -> std::optional<std::string> {
    const std::optional<double> value = operand(name);
    return value ? std::optional(text(*value)) : std::nullopt;
  };
  for (const LossStep& row : rows) {
    ExplainedStep step;
    step.step = letter;
    step.quantity = row.name;
    step.formula = row.formula;
    step.operands = row.formula.empty() ? row.source : withValues(row.formula, operandText);
    step.result = row.whole ? std::to_string(static_cast<long long>(row.value)) : text(row.value);
    step.unit = row.unit;
    step.note = row.note;
    if (row.notEstimated) {
      step.operands = row.formula.empty() ? row.source : row.formula;
      step.result = "—";
      step.unit.clear();
      step.note = "not estimated: the windings do not fit the bobbin";
    }
    out.push_back(std::move(step));
  }
}

// "N97, Steinmetz band 1 to 200000 Hz, iGSE; core and copper at 68.4 °C, where the losses
// balance what the core sheds; 64 bits, SI units; windings ps: primary 227 T, secondary 28 T,
// from the centre leg".
std::string lossNote(const LossContext& c) {
  const SteinmetzBand& band = *c.band.band;
  const TransformerLosses& losses = c.review->losses;
  std::string note(losses.material);
  note += c.band.extrapolated ? ", fs outside its data: extrapolated from the band "
                              : ", Steinmetz band ";
  note += text(band.fMin) + " to " + text(band.fMax) + " Hz, iGSE; core and copper at ";
  if (losses.temperatureKnown()) {
    note += reviewValueText(*reviewDisplay("Tcore"), losses.lossTemperature) +
            " °C, where the losses balance what the core sheds";
  } else if (losses.fits) {
    note += text(losses.lossTemperature) + " °C: no balance below " + text(kHottestBalance) + " °C";
  } else {
    note += text(losses.lossTemperature) + " °C";
  }
  if (losses.lossesAt == LossPoint::VinMax) {
    note += "; the highest input's losses, hotter than the design input's";
  }
  note += "; 64 bits from the stored values, SI units";
  note += "; windings ";
  note += windingArrangementCode(losses.arrangement);
  note += ": " + windingOrderText(losses) + ", from the centre leg";
  return note;
}

void explainLosses(const DesignState& s, const DesignReview& review,
                   DesignExplanation& explanation) {
  const std::optional<LossContext> context = lossContext(s, review);
  if (!context) {
    explanation.lossNote = "no losses: the core's magnetic, bobbin or thermal figures are unknown";
    return;
  }
  explanation.lossNote = lossNote(*context);
  appendSteps(
      "L", lossSteps(*context), [&](std::string_view name) { return lossOperand(name, *context); },
      explanation.losses);
  if (review.losses.fits && !review.losses.converged) {
    for (ExplainedStep& step : explanation.losses) {
      if (step.result == "—") {
        step.note = "not estimated: no thermal balance below " + text(kHottestBalance) + " °C";
      }
    }
  }
}

// "an RCD clamp at 1.5 times VRO; the design's peak current at the highest input; 64 bits ...".
std::string stressNote(const StressContext& c) {
  return "an RCD clamp at r = " + text(c.clampRatio) +
         " times VRO; the design's peak current at the highest input, discontinuous; 64 bits "
         "from the stored values, SI units";
}

void explainStress(const DesignState& s, const DesignReview& review,
                   const ReviewConditions& conditions, DesignExplanation& explanation) {
  const std::optional<StressContext> context = stressContext(s, review, conditions);
  if (!context) {
    explanation.stressNote =
        "no stress: without a winding layout the leakage cannot be estimated, and none was "
        "measured";
    return;
  }
  explanation.stressNote = stressNote(*context);
  appendSteps(
      "S", stressSteps(*context),
      [&](std::string_view name) { return stressOperand(name, *context); }, explanation.stress);
}

// The drive mode's own figures, after the review's numbers that use them.
template <typename Value>
void explainMode(const DesignReview& review, Value value, std::vector<ExplainedStep>& out) {
  for (const ModeFormula& row : kModeFormulas) {
    if (row.mode != review.mode) {
      continue;
    }
    ExplainedStep step;
    step.step = "M";
    step.quantity = row.name;
    step.formula = row.formula;
    step.unit = row.unit;
    if (row.formula.empty()) {
      step.operands = row.name == "KRF" ? "the ripple given" : "the drain capacitance given";
    } else {
      step.operands = withValues(row.formula, value);
    }
    if (const std::optional<std::string> result = value(row.name)) {
      step.result = *result;
    } else {
      step.result = "none";
      step.unit.clear();
      step.note = "continuous at every input";
    }
    out.push_back(std::move(step));
  }
}

// Where a review figure without a formula comes from.
std::string takenReviewSource(std::string_view name, const DesignReview& review,
                              const ReviewConditions& conditions) {
  if (name == "Ilim") {
    return "the current limit given";
  }
  if (name == "Bsat") {
    return conditions.material != nullptr ? std::string(conditions.material->name) + " at 100 °C"
                                          : "a power ferrite at 100 °C";
  }
  if (name == "gapWindowHeight") {
    return review.gapWindowHeight > 0.0 ? "the bobbin's breadth bw" : "no window height known";
  }
  return {};
}

// "buildable", or "not buildable (gap-too-large, window-overfull)".
// How a figure that sums over several outputs is worked out, where there are further outputs
// or a bias; nothing for a single output, whose formula stands as written.
std::optional<std::string_view> summedOverOutputs(std::string_view name,
                                                  const DesignReview& review) {
  if (review.outputs.size() <= 1 && !review.bias) {
    return std::nullopt;
  }
  if (name == "Pin") {
    return "Pout / Effi, Pout = Vout * Iout + the further outputs' V * I (the bias's inside Effi)";
  }
  if (name == "IsPk" || name == "IsRms") {
    return "as for one output, with Iout the outputs' ampere-turns on the main winding, "
           "sum of I * (V + Vf) / (Vout + Vf)";
  }
  if (name == "fill") {
    return "(Np * AcuP + sum of each winding's turns * AcuS * its share) / Aw * 100";
  }
  return std::nullopt;
}

std::string verdictNote(const DesignReview& review) {
  std::string flags;
  for (ReviewFlag flag : review.flags) {
    flags += (flags.empty() ? "" : ", ") + std::string(reviewFlagCode(flag));
  }
  return std::string(review.feasible ? "buildable" : "not buildable") +
         (flags.empty() ? "" : " (" + flags + ")");
}

void explainReview(const DesignInputs& inputs, const DesignState& s,
                   const ReviewConditions& conditions, DesignExplanation& explanation) {
  const std::optional<double> swing = levelSwing(inputs.level);
  if (!swing) {
    explanation.reviewNote = "no review: it needs a core temperature level";
    return;
  }
  const DesignReview review = reviewDesign(s, *swing, conditions);
  if (!review.valid) {
    explanation.reviewNote = "no review: the design lies outside what its formulas describe";
    return;
  }
  const auto quantities = reviewQuantities(review);
  const auto reviewValue = [&](std::string_view name) -> std::optional<std::string> {
    for (const ReviewQuantity& q : quantities) {
      if (q.name == name) {
        return q.whole ? std::to_string(static_cast<long long>(q.value)) : text(q.value);
      }
    }
    if (const std::optional<double> constant = reviewConstant(name, *swing)) {
      return text(*constant);
    }
    if (const std::optional<double> figure = modeOperand(name, review, s)) {
      return text(*figure);
    }
    return stateValue(s, name);
  };
  const auto formulas = reviewFormulas(review.mode);
  for (std::size_t i = 0; i < quantities.size(); ++i) {
    const ReviewQuantity& q = quantities[i];
    ExplainedStep step;
    step.step = "R";
    step.quantity = q.name;
    // A limit given is taken, not worked out; with further outputs or a bias the figures that
    // sum over them say how instead.
    const std::optional<std::string_view> summed = summedOverOutputs(q.name, review);
    step.formula = (q.name == "Ilim" && review.currentLimitGiven) || summed ? std::string_view()
                                                                            : formulas[i].formula;
    step.operands = summed                 ? std::string(*summed)
                    : step.formula.empty() ? takenReviewSource(q.name, review, conditions)
                                           : withValues(step.formula, reviewValue);
    step.result = *reviewValue(q.name);
    step.unit = q.unit;
    explanation.review.push_back(std::move(step));
  }
  explainMode(review, reviewValue, explanation.review);
  explanation.reviewNote = verdictNote(review);
  explainLosses(s, review, explanation);
  explainStress(s, review, conditions, explanation);
  explanation.isolation = isolationSteps(review.isolation);
  explanation.isolationNote = isolationNote(review.isolation);
}

}  // namespace

DesignExplanation explainDesign(const DesignInputs& inputs, const CoreCatalogue& catalogue,
                                const ReviewConditions& conditions) {
  DesignExplanation explanation;
  // The stored state after the run gives what the steps take rather than work out (the
  // catalogue's figures, the core's name as the catalogue spells it).
  DesignState finished;
  calculateDesign(inputs, catalogue, finished);

  DesignState& s = explanation.state;
  std::vector<ExplainedStep>& steps = explanation.steps;
  explainReads(inputs, s, steps);
  steps.push_back(formulaStep(kCalculationSteps.front(), s));

  s.CoreSel = finished.CoreSel;
  steps.push_back({"3", "CoreSel", "core", toUtf8(inputs.core), toUtf8(s.CoreSel), ""});
  if (const std::optional<float> level = levelFluxDensity(inputs.level)) {
    s.dB = *level;
    steps.push_back(takenStep("4", "dB", "level " + std::string(levelName(inputs.level)), s.dB));
  } else {
    s.dB = finished.dB;
    steps.push_back(takenStep("4", "dB", "no level: kept", s.dB));
  }
  const std::string source = "catalogue " + toUtf8(s.CoreSel);
  for (float DesignState::*member : {&DesignState::Ae, &DesignState::Aw, &DesignState::Fill}) {
    s.*member = finished.*member;
  }
  steps.push_back(takenStep("5", "Ae", source, s.Ae));
  steps.push_back(takenStep("5", "Aw", source, s.Aw));
  steps.push_back(takenStep("5", "Fill", source, s.Fill));

  for (std::size_t i = 1; i < kCalculationSteps.size(); ++i) {
    steps.push_back(formulaStep(kCalculationSteps[i], s));
  }
  explainReview(inputs, s, conditions, explanation);
  return explanation;
}

}  // namespace fbc
