// The design calculation on arbitrary input texts, twice in a row on one state as the window
// runs it: never a crash; a run completes with finite values or names the step it stopped at
// with the values of later steps untouched. Completed states go on through the result texts,
// the full scales, the waveform samples, the engineering review at every level's swing and the
// core advice, whose shown numbers, losses and temperatures included, are always finite; the
// input rules and the input-current estimate see the same texts. More lines give the review's
// conditions in the order of its input table (material, ambient, highest temperature, current
// limit, highest input, leakage, clamp ratio, switch rating, drive mode, ripple, drain capacitance,
// the primary's and the secondary's wire, the arrangement), used where they can be: a highest input
// below the design's Vin reaches the review, which must hold the design's, and is refused once the
// design's Vin is known. The switch's stress keeps its invariants: finite numbers, a peak above the
// highest input, a coupling between 0 and 1, the clamp's parts exactly where it burns something,
// and the switch's flag exactly above its derated rating; the turns hold the flux, the current
// limit's flag follows its flux, and the fringed gap gives LpRef. In every drive mode the RMS
// currents stay below their peaks, the flux rises and falls within one period, and the highest
// input never slows the converter down. The windings are laid as chosen or given: a layout that
// fits the bobbin shows every figure, one that does not shows no heat, no temperature verdict and
// no estimated leakage; a wire that reads is written back as the same text.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "design/calculation.h"
#include "design/core_catalogue.h"
#include "design/design_state.h"
#include "design/input_rules.h"
#include "design/result_texts.h"
#include "fuzz/fuzz_input.h"
#include "platform/errors.h"
#include "platform/number_text.h"
#include "platform/text.h"
#include "platform/value.h"
#include "review/core_advice.h"
#include "review/review.h"
#include "review/review_inputs.h"
#include "review/review_limits.h"
#include "review/switch_stress.h"
#include "review/windings/wire_table.h"
#include "waveform/samples.h"
#include "waveform/scales.h"

namespace {

using fbc::DesignState;
using fbc::fuzz::check;

// Each number of the design state with the last formula step that writes it.
std::vector<std::pair<float DesignState::*, int>> numbersBySteps() {
  return {
      {&DesignState::Vout, 1}, {&DesignState::Iout, 1}, {&DesignState::Vin, 1},
      {&DesignState::Effi, 1}, {&DesignState::T, 1},    {&DesignState::Vf, 1},
      {&DesignState::Duty, 1}, {&DesignState::Iin, 2},  {&DesignState::dB, 16},
      {&DesignState::Ae, 5},   {&DesignState::Aw, 5},   {&DesignState::Fill, 5},
      {&DesignState::Ton, 6},  {&DesignState::Toff, 7}, {&DesignState::Ns, 8},
      {&DesignState::Is, 9},   {&DesignState::Ls, 10},  {&DesignState::AL, 11},
      {&DesignState::Ip, 12},  {&DesignState::Lp, 13},  {&DesignState::Np, 14},
      {&DesignState::Nt, 15},  {&DesignState::Acu, 17}, {&DesignState::Im, 18},
  };
}

// The first step that writes the number (dB: the level of step 4).
int firstStep(float DesignState::*number, int lastStep) {
  return number == &DesignState::dB ? 4 : lastStep;
}

template <typename Work>
void runGuarded(Work work) {
  try {
    work();
  } catch (const fbc::RuntimeError& error) {
    fbc::fuzz::checkPlatformError(error);
  }
}

// The stress of a valid review, which may itself not be valid (no layout, no measured leakage).
void checkStress(const fbc::DesignReview& review) {
  const fbc::SwitchStress& st = review.stress;
  if (!st.valid) {
    check(!review.has(fbc::ReviewFlag::SwitchOvervoltage) &&
              !review.has(fbc::ReviewFlag::ClampLossHigh),
          "without a stress no stress flag");
    return;
  }
  check(st.leakageKnown || (st.LlkEstimated && !review.losses.fits),
        "the leakage is unknown only where it would come from windings that do not fit");
  if (!st.leakageKnown) {
    check(!review.has(fbc::ReviewFlag::ClampLossHigh), "no clamp verdict without a leakage");
    for (const fbc::StressQuantity& q : fbc::stressQuantities(st)) {
      check(!q.value || std::isfinite(*q.value), "the stress shows finite numbers");
      check(q.unknown != q.value.has_value() || q.boolean, "a figure is known or said unknown");
    }
    check(st.VdsMax >= st.VinMax, "the switch sees at least the highest input");
    return;
  }
  int parts = 0;
  int absent = 0;
  for (const fbc::StressQuantity& q : fbc::stressQuantities(st)) {
    check(!q.unknown, "a known leakage gives every figure");
    if (q.value) {
      check(std::isfinite(*q.value), "the stress shows finite numbers");
    }
    const bool part =
        q.name == "Rclamp" || q.name == "RclampE24" || q.name == "Cclamp" || q.name == "CclampE12";
    check(part || q.value.has_value(), "only the clamp's parts may be absent");
    if (part) {
      ++(q.value ? parts : absent);
    }
  }
  check(absent == 0 || parts == 0, "the clamp's parts come together");
  check((absent > 0) == (st.Pclamp == 0.0), "the parts are absent exactly where Pclamp is 0");
  check(st.Pclamp >= 0.0 && st.PratingR == 2.0 * st.Pclamp, "the clamp burns, its resistor rated");
  check(st.VdsMax >= st.VinMax, "the switch sees at least the highest input");
  if (st.clampNeeded() && st.RclampE24 > 0.0) {
    check(std::abs(st.Vclamp * st.Vclamp / st.RclampE24 - st.Pclamp) <= 1e-9 * st.Pclamp,
          "the bought clamp burns V²/R");
    check(st.Vclamp > st.VRO && st.Vclamp <= st.VclampTarget * (1.0 + 1e-9),
          "the bought clamp settles above VRO, at most at its target");
  }
  check(st.k >= 0.0 && st.k <= 1.0, "the coupling lies between 0 and 1");
  check(st.DHigh > 0.0 && st.DHigh < 1.0, "the duty at the highest input is a duty");
  check(st.IpkHigh > 0.0, "the primary still carries current at the highest input");
  check(st.fsHigh > 0.0, "the converter still switches at the highest input");
  check(review.has(fbc::ReviewFlag::SwitchOvervoltage) ==
            (st.VdsMax > fbc::kSwitchDerating * st.VdsRating),
        "switch-overvoltage exactly above the derated rating");
  if (st.clampNeeded()) {
    check(st.RclampE24 > 0.0 && st.RclampE24 <= st.Rclamp * (1.0 + 1e-9),
          "the resistor to buy is at most the one worked out");
    check(st.CclampE12 >= st.Cclamp * (1.0 - 1e-9),
          "the capacitor to buy is at least the one worked out");
  }
}

// A review shows only finite numbers: all zero with no flags when invalid; otherwise whole
// turns, flags in report order and feasibility that follows the blocking flags.
// `turnsGiven`: the main output's turns are the person's, which need not hold the flux.
void checkReview(const fbc::DesignReview& review, bool turnsGiven) {
  for (const fbc::ReviewQuantity& q : fbc::reviewQuantities(review)) {
    check(std::isfinite(q.value), "a review shows finite numbers");
    check(review.valid || q.value == 0.0, "an invalid review shows nothing");
  }
  if (!review.valid) {
    check(review.flags.empty() && !review.feasible, "an invalid review has no verdict");
    check(!review.stress.valid, "an invalid review has no stress");
    return;
  }
  checkStress(review);
  check(review.Np >= 1 && review.Ns >= 1, "a review has whole turns");
  check(turnsGiven || review.Np >= review.NpMin * (1.0 - 1e-12), "the whole turns hold the flux");
  check(turnsGiven || review.Bpk <= fbc::kReviewLimits.nearSaturationFluxDensity * (1.0 + 1e-9),
        "the working peak stays within the near-saturation limit");
  check(!turnsGiven || review.has(fbc::ReviewFlag::FluxNearSaturation) ==
                           (review.Bpk > fbc::kReviewLimits.nearSaturationFluxDensity),
        "turns given that let the peak near saturation are flagged");
  check(review.has(fbc::ReviewFlag::SaturatesAtCurrentLimit) == (review.BpkAtLimit > review.Bsat),
        "saturates-at-current-limit exactly where the limit's flux passes Bsat");
  check(review.Ilim > 0.0 && review.Bsat > 0.0, "a current limit and a saturation to judge it by");
  check(review.fringingFactor >= 1.0 && review.gap >= review.gapNoFringing * (1.0 - 1e-12),
        "fringing lengthens the gap to grind");
  check(std::abs(review.gap - review.gapNoFringing * review.fringingFactor) <= 1e-9 * review.gap,
        "the gap to grind gives LpRef with its fringing");
  for (const fbc::ModeQuantity& q : fbc::modeQuantities(review.operation.figures)) {
    check(!q.value || std::isfinite(*q.value), "the mode's figures are finite");
  }
  check(review.IpRms <= review.Ipk * (1.0 + 1e-12) && review.IsRms <= review.IsPk * (1.0 + 1e-12),
        "an RMS current lies below its peak");
  check(review.operation.rise > 0.0 && review.operation.rise + review.operation.fall <= 1.0 + 1e-12,
        "the flux rises and falls within one period");
  bool blocked = false;
  std::size_t next = 0;
  for (const fbc::ReviewFlag flag : review.flags) {
    std::size_t at = next;
    while (at < fbc::kReviewFlags.size() && fbc::kReviewFlags[at] != flag) {
      ++at;
    }
    check(at < fbc::kReviewFlags.size(), "flags come once, in report order");
    next = at + 1;
    blocked = blocked || fbc::isBlockingFlag(flag);
  }
  check(review.feasible == !blocked, "feasible means no blocking flag");
  const fbc::TransformerLosses& losses = review.losses;
  if (!losses.valid) {
    check(!review.has(fbc::ReviewFlag::TooHot) &&
              !review.has(fbc::ReviewFlag::LayersExceedBobbin) &&
              !review.has(fbc::ReviewFlag::LossDataExtrapolated),
          "without losses no loss flag");
    return;
  }
  for (const fbc::LossQuantity& q : fbc::lossQuantities(losses)) {
    check(!q.value || std::isfinite(*q.value), "the losses show finite numbers");
    const bool needsTemperature = q.name.starts_with("Fr") || q.name.starts_with("Pcu") ||
                                  q.name == "Ptotal" || q.name == "dT" || q.name == "Tcore";
    const bool needsLayout = q.name == "converged" || q.name == "temperatureIterations";
    check(q.value.has_value() ==
              ((losses.temperatureKnown() || !needsTemperature) && (losses.fits || !needsLayout)),
          "only a layout that fits and balances gives its heat");
  }
  check(losses.fits == (losses.buildTotal <= losses.bobbinBuild), "fits means within the build");
  check(review.has(fbc::ReviewFlag::LayersExceedBobbin) == !losses.fits,
        "layers-exceed-bobbin exactly where the windings do not fit");
  check(losses.temperatureKnown() || !review.has(fbc::ReviewFlag::TooHot),
        "no temperature verdict unlaid or past a runaway");
  check(review.has(fbc::ReviewFlag::ThermalRunaway) == (losses.fits && !losses.converged),
        "thermal-runaway exactly where laid windings find no balance");
  check(!losses.temperatureKnown() ||
            (losses.Tcore >= losses.Tambient && losses.Tcore <= fbc::kHottestBalance + 1e-3),
        "a balance lies between the ambient and the hottest sought");
  bool overloaded = false;
  for (const fbc::WindingLoss& w : losses.windings) {
    check(w.Fr >= 1.0 - 1e-9 && w.Pcu >= 0.0 && w.layout.layers >= 1, "copper loses at least DC");
    check(w.turns >= 1 && w.layout.turnsPerLayer >= 1 && w.section.copperArea > 0.0,
          "a winding is laid in whole turns of some copper");
    check(w.innerTurns >= 1 && w.innerTurns <= w.turns, "a split keeps turns on each side");
    const fbc::WireReading back = fbc::readWire(fbc::wireText(w.wire));
    check(back.wire == w.wire, "a winding's wire reads back from its text");
    overloaded = overloaded || (!w.wireChosen && w.currentDensity > 3.5e6);
  }
  check(review.has(fbc::ReviewFlag::CurrentDensityHigh) == overloaded,
        "current-density-high exactly for a given wire beyond the density");
  check(losses.Pcore >= 0.0 && losses.Rth > 0.0, "the core loses and sheds heat");
}

// Every output and the bias as given, each from whole turns, their ampere-turns adding up to
// the primary's, and a winding of each laid.
void checkOutputs(const fbc::DesignReview& review, const fbc::ReviewConditions& conditions) {
  if (!review.valid) {
    return;
  }
  check(review.outputs.size() == conditions.outputs.size() + 1, "one result per output");
  check(review.bias.has_value() == conditions.bias.has_value(), "a bias result with a bias");
  const fbc::OutputResult& main = review.outputs.front();
  double ampereTurns = 0.0;
  for (const fbc::OutputResult& o : review.outputs) {
    check(o.turns >= 1, "every output has a turn at least");
    check(std::isfinite(o.Vactual) && std::isfinite(o.IsRms) && o.IsRms >= 0.0,
          "an output's figures are finite");
    ampereTurns += o.IsPk * (o.V + o.Vf);
  }
  const double primary = review.IsPkWinding * (main.V + main.Vf);
  check(std::abs(ampereTurns - primary) <= 1e-9 * std::max(1.0, primary),
        "the outputs share the secondary ampere-turns");
  if (review.losses.valid) {
    check(review.losses.windings.size() ==
              review.outputs.size() + 1 + (review.bias.has_value() ? 1U : 0U),
          "every winding is laid");
  }
}

void checkReviews(const fbc::DesignInputs& inputs, const fbc::CoreCatalogue& catalogue,
                  const DesignState& state, const fbc::ReviewConditions& conditions) {
  for (const fbc::CoreLevel level : {fbc::CoreLevel::Hi, fbc::CoreLevel::Typ, fbc::CoreLevel::Lo}) {
    const fbc::DesignReview review = fbc::reviewDesign(state, *fbc::levelSwing(level), conditions);
    checkReview(review, conditions.secondaryTurns.has_value());
    checkOutputs(review, conditions);
    if (review.stress.valid) {
      // A highest input below the design's is no range: the design's Vin holds.
      const double vin = state.Vin;
      check(review.stress.VinMax == std::max(vin, conditions.vinMax.value_or(vin)),
            "the highest input is the given one or the design's, whichever is higher");
      const double fs = 1.0 / static_cast<double>(state.T);
      check(review.stress.fsHigh >= fs * (1.0 - 1e-9),
            "the highest input never slows the converter down");
    }
  }
  const fbc::CoreAdvice advice =
      fbc::adviseCores(inputs, catalogue, fbc::levelSwing(inputs.level).value_or(0.2), conditions);
  check(advice.cores.size() == catalogue.listNames().size(), "the advice lists every core");
  bool seenInfeasible = false;
  for (const fbc::CoreReview& core : advice.cores) {
    checkReview(core.review, conditions.secondaryTurns.has_value());
    check(!(seenInfeasible && core.review.feasible), "feasible cores come first");
    seenInfeasible = seenInfeasible || !core.review.feasible;
  }
  check(advice.recommended.has_value() ==
            (!advice.cores.empty() && advice.cores.front().review.feasible),
        "the recommendation is the first feasible core");
}

void checkCompleted(const DesignState& state) {
  for (const auto& [number, step] : numbersBySteps()) {
    check(std::isfinite(state.*number), "a completed calculation holds finite values");
  }
  runGuarded([&] { (void)fbc::resultTexts(state); });
  if (state.Lp == 0.0F) {
    return;  // the waveform stage does not run
  }
  runGuarded([&] { (void)fbc::waveformScales(state, fbc::Value(0.001)); });
  runGuarded([&] {
    const std::vector<fbc::WaveformSample> samples = fbc::waveformSamples(state);
    // About a thousand steps; a coarse time step of a tiny period may give up to twice as many.
    check(!samples.empty() && samples.size() <= 2002, "the time loop is bounded");
    for (const fbc::WaveformSample& s : samples) {
      check(std::isfinite(s.t) && std::isfinite(s.vsw) && std::isfinite(s.isw) &&
                std::isfinite(s.vd) && std::isfinite(s.id),
            "samples are finite");
    }
  });
}

// Returns whether the calculation completed.
bool calculate(const fbc::DesignInputs& inputs, const fbc::CoreCatalogue& catalogue,
               DesignState& state, const fbc::ReviewConditions& conditions) {
  const DesignState before = state;
  const fbc::CalculationResult result = fbc::calculateDesign(inputs, catalogue, state);
  if (result.completed) {
    check(result.failedStep == 0, "a completed calculation names no step");
    checkCompleted(state);
    checkReviews(inputs, catalogue, state, conditions);
    return true;
  }
  check(result.failedStep >= 1 && result.failedStep <= 18, "a stop names its step");
  check(fbc::fuzz::isPlatformError(result.error), "a stop carries a platform error");
  for (const auto& [number, step] : numbersBySteps()) {
    if (firstStep(number, step) > result.failedStep) {
      check(state.*number == before.*number ||
                (std::isnan(state.*number) && std::isnan(before.*number)),
            "steps after the stop leave their values alone");
    }
  }
  if (result.failedStep < 3) {
    check(state.CoreSel == before.CoreSel, "the core text is kept before step 3");
  }
  return false;
}

// Once the design's Vin is known, a highest input clearly below it is refused as such and one at
// or above it passes; the texts read without the design gave `unchecked`.
void checkHighestInput(const fbc::ReviewInputs& texts, const fbc::ReviewInputReading& unchecked,
                       double designVin) {
  if (unchecked.problem || !unchecked.conditions.vinMax) {
    return;
  }
  const double vinMax = *unchecked.conditions.vinMax;
  const fbc::ReviewInputReading reading = fbc::readReviewInputs(texts, designVin);
  if (vinMax >= designVin) {
    check(!reading.problem, "a highest input at or above Vin is accepted");
  } else if (vinMax < designVin * 0.999) {
    check(reading.problem && reading.problem->input == fbc::ReviewInput::VinMax &&
              reading.problem->fault == fbc::ReviewInputFault::BelowVin,
          "a highest input below Vin is refused as such");
    check(!fbc::reviewInputFaultText(*reading.problem).empty(), "the refusal is said in words");
  }
}

// The window's text-change rules on the same texts: a replacement is always inside the limits,
// so the nested change it raises finds nothing to do.
void checkInputRules(const fbc::DesignInputs& inputs) {
  const std::pair<fbc::LimitedBox, const std::u16string*> boxes[] = {
      {fbc::LimitedBox::Vin, &inputs.vin},   {fbc::LimitedBox::Vout, &inputs.vout},
      {fbc::LimitedBox::Iout, &inputs.iout}, {fbc::LimitedBox::Fs, &inputs.fs},
      {fbc::LimitedBox::Vf, &inputs.vf},
  };
  for (const auto& [box, text] : boxes) {
    runGuarded([&, box = box, text = text] {
      if (const std::optional<std::u16string> replacement = fbc::limitReplacement(box, *text)) {
        check(!fbc::limitReplacement(box, *replacement).has_value(),
              "a replacement text stays as it is");
      }
    });
  }
  runGuarded([&] {
    const std::u16string current =
        fbc::estimatedInputCurrentText(inputs.vout, inputs.iout, inputs.effi, inputs.vin);
    check(fbc::parseDouble(current).status == fbc::ParseStatus::Ok, "the estimate shows a number");
  });
}

fbc::CoreLevel levelOf(std::uint8_t byte) {
  switch (byte % 4) {
    case 0:
      return fbc::CoreLevel::None;
    case 1:
      return fbc::CoreLevel::Hi;
    case 2:
      return fbc::CoreLevel::Typ;
    default:
      return fbc::CoreLevel::Lo;
  }
}

// Up to eight lines replace the texts in the order Vout, Iout, Vin, Effi, Fs, Vf, Duty, core.
void readTexts(fbc::fuzz::FuzzInput& input, fbc::DesignInputs& inputs) {
  for (std::u16string* text : {&inputs.vout, &inputs.iout, &inputs.vin, &inputs.effi, &inputs.fs,
                               &inputs.vf, &inputs.duty, &inputs.core}) {
    if (input.remaining() == 0) {
      return;
    }
    *text = fbc::fromUtf8(input.until('\n'));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const fbc::CoreCatalogue catalogue;
  fbc::fuzz::FuzzInput input(data, size);
  const fbc::CoreLevel firstLevel = levelOf(input.byte());
  const fbc::CoreLevel secondLevel = levelOf(input.byte());
  fbc::DesignInputs first;
  first.level = firstLevel;
  readTexts(input, first);
  // The second click sees the first one's texts where the input says nothing more.
  fbc::DesignInputs second = first;
  second.level = secondLevel;
  readTexts(input, second);

  fbc::ReviewInputs reviewInputs;
  for (const fbc::ReviewInputInfo& info : fbc::kReviewInputTable) {
    if (input.remaining() > 0) {
      reviewInputs.text(info.input) = fbc::fromUtf8(input.until('\n'));
    }
  }
  const fbc::ReviewInputReading reading = fbc::readReviewInputs(reviewInputs);
  check(reading.conditions.material != nullptr, "a reading always names a material");
  if (reading.problem) {
    check(!fbc::reviewInputFaultText(*reading.problem).empty(), "a fault is said in words");
    check(!fbc::reviewInputFaultTextJa(*reading.problem).empty(), "and in Japanese");
  }
  for (const fbc::ReviewInput wire :
       {fbc::ReviewInput::WirePrimary, fbc::ReviewInput::WireSecondary}) {
    const fbc::WireReading read = fbc::readWire(fbc::toUtf8(reviewInputs.text(wire)));
    check(read.wire.has_value() != read.problem.has_value(), "a wire reads or says why not");
    if (read.wire) {
      check(fbc::readWire(fbc::wireText(*read.wire)).wire == read.wire,
            "a wire's text reads back as the same wire");
    } else {
      check(!fbc::wireTextFaultText(*read.problem).empty(), "a bad wire is said in words");
    }
  }
  if (!reading.problem) {
    // The outputs' text as the batch writes it reads back as the same outputs.
    const fbc::OutputListReading again =
        fbc::readOutputList(fbc::outputListText(reading.conditions.outputs, '/'));
    check(!again.problem && again.outputs.size() == reading.conditions.outputs.size(),
          "an output list's text reads back");
  }
  const fbc::ReviewConditions conditions =
      reading.problem ? fbc::ReviewConditions{} : reading.conditions;

  DesignState state;
  if (calculate(first, catalogue, state, conditions)) {
    checkHighestInput(reviewInputs, reading, state.Vin);
  }
  calculate(second, catalogue, state, conditions);
  checkInputRules(first);
  checkInputRules(second);
  return 0;
}
