#pragma once

#include <optional>
#include <string>

#include "design/core_catalogue.h"
#include "design/design_inputs.h"
#include "design/design_state.h"
#include "platform/errors.h"

namespace fbc {

struct CalculationResult {
  bool completed = false;
  int failedStep = 0;    // 1..18; 0 when completed
  std::string quantity;  // design-state name of the value the failing step computes
  // Meaningful only when not completed: the run-time error of the step; 13 or 6 for a box that
  // does not convert, 11 for a refused core (the division by zero it would have led to).
  ErrorNumber error = ErrorNumber::Overflow;
  DesignInput cause = DesignInput::None;
  StopReason reason = StopReason::None;
  // The core text named no catalogue core, so the last looked-up core's figures were used
  // (CoreSel then holds the text as typed).
  bool usedPreviousCore = false;
};

// The flux-density swing [T] a level button stands for, in full precision (the engineering
// review works with it); nothing for CoreLevel::None.
std::optional<double> levelSwing(CoreLevel level);

// The flux-density swing [T] a level button sets before the turns are worked out: levelSwing
// rounded to 32 bits; nothing for CoreLevel::None, where the state's dB is kept.
std::optional<float> levelFluxDensity(CoreLevel level);

// The 18-step design calculation: every value evaluated in 64 bits and stored as a 32-bit
// float, in order, stopping at the first fault with the earlier values kept in `state`.
// Zero core figures never reach step 8: an empty core text, "END", or a text that names no
// core before any successful lookup stops the calculation at step 5 (NoUsableCore).
CalculationResult calculateDesign(const DesignInputs& inputs, const CoreCatalogue& catalogue,
                                  DesignState& state);

}  // namespace fbc
