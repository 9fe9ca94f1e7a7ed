#include "review/stress_formulas.h"

#include <utility>

#include "design/design_state_members.h"
#include "platform/number_text.h"
#include "platform/text.h"
#include "review/drive_mode.h"
#include "review/losses.h"
#include "review/review_limits.h"
#include "review/switch_stress.h"

namespace fbc {

using Case = StressFormulaCase;

const std::array<StressFormula, 30> kStressFormulas{{
    // The highest input, where the switch sees the most; the design's peak current stays, so
    // the duty shrinks.
    {"VinMax", "Vin", "V", Case::FixedInput},
    {"VinMax", "", "V", Case::InputRange},
    {"DHigh", "Duty * Vin / VinMax", "", Case::PwmCritical},
    {"DHigh", "VRO / (VinMax + VRO)", "", Case::StaysContinuous},
    {"DHigh", "LpRef * IpkHigh * fsHigh / VinMax", "", Case::Discontinuous},
    {"VRO", "n * (Vout + Vf)", "V"},
    // The leakage from the field between the windings, or as measured.
    {"Llk", "mu0 * Np ^ 2 * MLT * (buildP / 3 + buildS / 3 + tape) / bw", "H",
     Case::EstimatedLeakage},
    {"Llk", "mu0 * Np ^ 2 * MLT * ((buildP + buildS) / 12 + 2 * tape / 4) / bw", "H",
     Case::EstimatedSplit},
    {"Llk", "", "H", Case::MeasuredLeakage},
    {"k", "sqrt(max(0, 1 - Llk / LpRef))", ""},
    // The RCD clamp takes the leakage's energy each cycle at r times the reflected voltage; the
    // resistor is worked out for that voltage, and the E24 one bought settles the clamp where
    // it burns what the leakage delivers.
    {"VclampTarget", "r * VRO", "V"},
    {"PclampTarget", "0.5 * Llk * Ipk ^ 2 * fs * VclampTarget / (VclampTarget - VRO)", "W"},
    {"Rclamp", "VclampTarget ^ 2 / PclampTarget", "ohm", Case::ClampNeeded},
    {"RclampE24", "", "ohm", Case::ClampNeeded},
    {"Vclamp", "(VRO + sqrt(VRO ^ 2 + 2 * RclampE24 * Llk * Ipk ^ 2 * fs)) / 2", "V",
     Case::ClampBought},
    {"Vclamp", "VclampTarget", "V", Case::NotBought},
    {"Pclamp", "Vclamp ^ 2 / RclampE24", "W", Case::ClampBought},
    {"Pclamp", "PclampTarget", "W", Case::NotBought},
    {"Cclamp", "VclampTarget / (0.1 * VclampTarget * Rclamp * fs)", "F", Case::ClampNeeded},
    {"CclampE12", "", "F", Case::ClampNeeded},
    {"PratingR", "2 * Pclamp", "W"},
    // What the switch and the output diode must stand: the clamp capacitor's voltage rides half
    // its ripple above the mean.
    {"VdsMax", "VinMax + Vclamp * (1 + 0.1 / 2)", "V", Case::ClampNeeded},
    {"VdsMax", "VinMax + VRO", "V", Case::NoClamp},
    {"VdsRating", "", "V"},
    {"VdRevMax", "VinMax / n + Vout", "V"},
    // The drive mode at the highest input: critical conduction raises the frequency, a fixed
    // frequency keeps it; the input power stays.
    {"fsHigh", "1 / (2 * Pin * LpRef * (1 / VinMax + 1 / VRO) ^ 2)", "Hz", Case::PfmCritical},
    {"fsHigh", "fs", "Hz", Case::PwmCcm},
    {"fsHigh",
     "4 / (sqrt(2 * Pin * LpRef) * (1 / VinMax + 1 / VRO) + sqrt(2 * Pin * LpRef * (1 / VinMax + "
     "1 / VRO) ^ 2 + 4 * tv)) ^ 2",
     "Hz", Case::Qr},
    {"IpkHigh", "Pin / (VinMax * DHigh) + VinMax * DHigh / (2 * LpRef * fs)", "A",
     Case::PwmCcmContinuous},
    {"IpkHigh", "sqrt(2 * Pin / (LpRef * fsHigh))", "A", Case::ReleasesAllEnergy},
}};

namespace {

const SwitchStress& stress(const StressContext& c) { return c.review->stress; }

std::optional<double> stressValue(std::string_view name, const StressContext& c) {
  for (const StressQuantity& q : stressQuantities(stress(c))) {
    if (q.name == name) {
      return q.value;
    }
  }
  return std::nullopt;
}

// The winding layout the leakage is estimated from, as the losses laid it out.
std::optional<double> layoutOperand(std::string_view name, const StressContext& c) {
  const TransformerLosses& losses = c.review->losses;
  if (name == "MLT") {
    return losses.meanTurn;
  }
  if (name == "bw") {
    return losses.windingBreadth;
  }
  for (const LossQuantity& q : lossQuantities(losses)) {
    if (q.name == name && name.starts_with("build")) {
      return q.value;
    }
  }
  return std::nullopt;
}

// The names the review and the design state give, and the constants.
std::optional<double> designOperand(std::string_view name, const StressContext& c) {
  for (const ReviewQuantity& q : reviewQuantities(*c.review)) {
    if (q.name == name) {
      return q.value;
    }
  }
  if (name == "r") {
    return c.clampRatio;
  }
  if (name == "VROref") {
    return referenceReflectedVoltage(c.state->Vin, c.state->Duty);
  }
  for (const ModeQuantity& q : modeQuantities(c.review->operation.figures)) {
    if (q.name == name) {
      return q.value;
    }
  }
  if (name == "fs") {
    return 1.0 / static_cast<double>(c.state->T);
  }
  if (name == "mu0") {
    return kReviewLimits.vacuumPermeability;
  }
  if (name == "tape") {
    return c.review->isolation.tape();
  }
  if (const StateMember* member = stateMember(name)) {
    return static_cast<double>(c.state->*member->member);
  }
  return std::nullopt;
}

// The drive mode still runs in continuous conduction at the highest input.
bool continuousAtHighLine(const StressContext& c) {
  const std::optional<double> limit = c.review->operation.figures.VinCcmLimit;
  return c.review->mode == DriveMode::PwmCcm && (!limit || stress(c).VinMax <= *limit);
}

bool appliesForMode(StressFormulaCase when, const StressContext& c) {
  const DriveMode mode = c.review->mode;
  switch (when) {
    case Case::PwmCritical:
      return mode == DriveMode::PwmCritical;
    case Case::StaysContinuous:
      return mode == DriveMode::PfmCritical || continuousAtHighLine(c);
    case Case::Discontinuous:
      return mode == DriveMode::Qr || (mode == DriveMode::PwmCcm && !continuousAtHighLine(c));
    case Case::ReleasesAllEnergy:
      return mode == DriveMode::PfmCritical || appliesForMode(Case::Discontinuous, c);
    case Case::PfmCritical:
      return mode == DriveMode::PfmCritical;
    case Case::PwmCcm:
      return mode == DriveMode::PwmCcm;
    case Case::PwmCcmContinuous:
      return continuousAtHighLine(c);
    case Case::Qr:
      return mode == DriveMode::Qr;
    default:
      return false;
  }
}

bool applies(StressFormulaCase when, const StressContext& c) {
  const SwitchStress& st = stress(c);
  switch (when) {
    case Case::Always:
      return true;
    case Case::FixedInput:
      return st.VinMax == static_cast<double>(c.state->Vin);
    case Case::InputRange:
      return st.VinMax != static_cast<double>(c.state->Vin);
    case Case::EstimatedLeakage:
      return st.LlkEstimated && c.review->losses.arrangement == WindingArrangement::Ps;
    case Case::EstimatedSplit:
      return st.LlkEstimated && c.review->losses.arrangement == WindingArrangement::Psp;
    case Case::MeasuredLeakage:
      return !st.LlkEstimated;
    // Windings that cannot be wound still have leakage for the clamp to hold, whatever it is.
    case Case::ClampNeeded:
      return st.clampNeeded() || !st.leakageKnown;
    case Case::NoClamp:
      return !st.clampNeeded() && st.leakageKnown;
    case Case::ClampBought:
      return st.clampNeeded() && st.leakageKnown && st.RclampE24 > 0.0;
    case Case::NotBought:
      return !applies(Case::ClampBought, c);
    default:
      return appliesForMode(when, c);
  }
}

std::string numberText(double value) { return toUtf8(generalText(value)); }

// Where a value without a formula comes from.
std::string takenSource(std::string_view name) {
  if (name == "VinMax") {
    return "the highest input given";
  }
  if (name == "Llk") {
    return "measured";
  }
  if (name == "RclampE24") {
    return "largest E24 value at most Rclamp";
  }
  if (name == "CclampE12") {
    return "smallest E12 value at least Cclamp";
  }
  if (name == "VdsRating") {
    return "the switch's rating";
  }
  return {};
}

std::string noteFor(std::string_view name, const StressContext& c) {
  const SwitchStress& st = stress(c);
  if (name == "Pclamp" && !st.clampNeeded()) {
    return "no leakage: no clamp parts needed";
  }
  if (name == "VdsRating") {
    return numberText(kSwitchDerating * 100.0) +
           " % of it allowed: " + numberText(kSwitchDerating * st.VdsRating) + " V";
  }
  return {};
}

}  // namespace

std::optional<StressContext> stressContext(const DesignState& state, const DesignReview& review,
                                           const ReviewConditions& conditions) {
  if (!review.valid || !review.stress.valid) {
    return std::nullopt;
  }
  return StressContext{&state, &review, conditions.clampRatio};
}

std::optional<double> stressOperand(std::string_view name, const StressContext& context) {
  if (const std::optional<double> value = stressValue(name, context)) {
    return value;
  }
  if (const std::optional<double> value = layoutOperand(name, context)) {
    return value;
  }
  return designOperand(name, context);
}

std::vector<StressStep> stressSteps(const StressContext& context) {
  std::vector<StressStep> steps;
  for (const StressFormula& row : kStressFormulas) {
    if (!applies(row.when, context)) {
      continue;
    }
    StressStep step;
    step.name = row.name;
    step.formula = row.formula;
    step.unit = row.unit;
    step.value = stressOperand(step.name, context).value_or(0.0);
    if (step.formula.empty()) {
      step.source = takenSource(step.name);
    }
    step.note = noteFor(step.name, context);
    // Windings that do not fit give no leakage, and so no clamp to work out.
    step.notEstimated = !stress(context).leakageKnown &&
                        (step.name == "Llk" || step.name == "k" ||
                         step.name.starts_with("Pclamp") || step.name.starts_with("Rclamp") ||
                         step.name.starts_with("Cclamp") || step.name == "PratingR");
    steps.push_back(std::move(step));
  }
  return steps;
}

}  // namespace fbc
