#pragma once

#include <string>
#include <vector>

#include "design/core_catalogue.h"
#include "design/design_inputs.h"
#include "design/design_state.h"
#include "review/review.h"
#include "review/review_inputs.h"

namespace fbc {

// One line of an explanation: "14  Np = sqrt(Lp / AL) = sqrt(0.000333333 / 8.125668E-09) =
// 202.5396 turns". Numbers are the window's general number text: 32-bit state values with
// at most 7 significant digits, the review's 64-bit values with at most 15.
struct ExplainedStep {
  std::string step;      // "14"; "R" for the review
  std::string quantity;  // "Np"
  std::string formula;   // in names; empty where the value is taken rather than worked out
  std::string operands;  // the formula with each name replaced by its value
  std::string result;    // the stored value
  std::string unit;
  std::string note = {};  // what a reader should know of the value: "estimated, Maniktala"
};

struct DesignExplanation {
  std::vector<ExplainedStep> steps;   // the calculation, steps 1 to 18
  std::vector<ExplainedStep> review;  // the engineering review; empty when not reviewed
  std::string reviewNote;             // why there is no review, or its verdict
  std::vector<ExplainedStep> losses;  // the losses and temperature; empty without them
  std::string lossNote;  // the material's band and the temperature, or why there are no losses;
                         // empty when there is no review
  std::vector<ExplainedStep> stress;  // the switch, the clamp and the diode; empty without them
  std::string stressNote;  // the clamp and the input range, or why there is no stress; empty
                           // when there is no review
  std::vector<ExplainedStep> isolation;  // the insulation's figures; empty when not reviewed
  std::string isolationNote;             // its class and construction; empty when not reviewed
  DesignState state;                     // the state the steps arrive at
};

// The calculation of a design that completes, step by step, re-run with the formulas
// calculateDesign runs (design/calculation_steps.h), then the engineering review's formulas
// (review/review_formulas.h) for the level's swing, the losses' formulas
// (review/loss_formulas.h) and the stress's (review/stress_formulas.h) in `conditions`. The inputs
// must make a completed design: the caller has checked that with calculateDesign.
DesignExplanation explainDesign(const DesignInputs& inputs, const CoreCatalogue& catalogue,
                                const ReviewConditions& conditions = {});

}  // namespace fbc
