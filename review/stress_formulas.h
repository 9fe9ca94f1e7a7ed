#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "design/design_state.h"
#include "review/loss_formulas.h"
#include "review/review.h"
#include "review/review_inputs.h"

namespace fbc {

// When a row of the stress formulas applies.
enum class StressFormulaCase {
  Always,
  FixedInput,         // the highest input is the design's Vin
  InputRange,         // a higher input was given
  EstimatedLeakage,   // the leakage comes from the winding layout, primary then secondary (ps)
  EstimatedSplit,     // from a layout whose primary is split either side of the secondary (psp)
  MeasuredLeakage,    // it was given as measured
  ClampNeeded,        // there is leakage to clamp, so parts to size
  NoClamp,            // no leakage: the clamp never conducts
  ClampBought,        // the clamp settles with its E24 resistor
  NotBought,          // no resistor bought (no leakage, or none known): the clamp as worked out
  PwmCritical,        // the drive mode keeps fs and the peak current at the highest input
  StaysContinuous,    // pfm-critical, or pwm-ccm still continuous at the highest input
  Discontinuous,      // pwm-ccm beyond its continuous range, or qr
  ReleasesAllEnergy,  // the primary's current starts from zero at the highest input: pfm-critical,
                      // qr, or pwm-ccm beyond its continuous range
  PfmCritical,
  PwmCcm,
  PwmCcmContinuous,  // pwm-ccm still continuous at the highest input
  Qr,
};

// One row of the stress's working, in SI units. A row with no formula takes its value from
// elsewhere: the conditions given or the preferred-value series.
struct StressFormula {
  std::string_view name;
  std::string_view formula;
  std::string_view unit;
  StressFormulaCase when = StressFormulaCase::Always;
};

// The rows in the order --explain shows them: the highest input and its duty, the reflected
// voltage, the leakage and coupling, the clamp's voltage, loss and parts, the switch's peak and
// rating, the diode's reverse voltage and, outside pwm-critical, the drive mode's frequency and
// peak current at the highest input. A test evaluates every formula and checks it gives the
// engine's own number.
extern const std::array<StressFormula, 30> kStressFormulas;

// What the formulas' names stand for: a completed design's state, its valid review with a valid
// stress, and the clamp ratio r the stress was worked out with.
struct StressContext {
  const DesignState* state = nullptr;
  const DesignReview* review = nullptr;
  double clampRatio = 0;
};

// The context of a review's stress in `conditions` (those the review was made in), or nothing
// where the review or its stress is not valid. `review` and `state` must outlive it.
std::optional<StressContext> stressContext(const DesignState& state, const DesignReview& review,
                                           const ReviewConditions& conditions);

// The value of a name the stress formulas use: the stress's own numbers, the review's, the
// drive mode's figures and its reflected voltage VROref, the losses' winding layout (MLT, bw,
// buildP, buildS), the state's, the clamp ratio r, the
// constants mu0 and tape and the switching frequency fs as the engine works it out. Nothing for
// an unknown name.
std::optional<double> stressOperand(std::string_view name, const StressContext& context);

// One row as written for a design.
// A stress row as written for a design has the losses' form; it is never a whole count.
using StressStep = LossStep;

// The rows that apply to the context's design, in order, each with the engine's value.
std::vector<StressStep> stressSteps(const StressContext& context);

}  // namespace fbc
