#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "design/design_state.h"
#include "review/core_geometry.h"
#include "review/ferrite_material.h"
#include "review/review.h"

namespace fbc {

// When a row of the loss formulas applies.
enum class LossFormulaCase {
  Always,
  RoundConductors,  // the winding is round wire, wires in hand or litz
  Foil,             // the winding is foil, one turn per layer
  Whole,            // the winding is wound in one piece
  Split,            // the primary is split either side of the secondary (psp)
  Ps,               // the arrangement is ps
  Psp,              // the arrangement is psp
  MeasuredRth,      // the core's thermal resistance is published
  EstimatedRth,     // it is estimated from the core's volume
  AtDesignInput,    // the losses shown are the design input's
  AtHighestInput,   // they are the highest input's, which runs hotter
};

// One row of the losses' working, in SI units. A row `perWinding` is written once for each
// winding, with '@' standing for the winding's suffix as the losses and the review spell it
// (RdcP, AcuP, dP) and '#' for its suffix in lower case (the review's Np, IpRms). A row with no
// formula takes its value from elsewhere: the chosen wire and the wire table, Dowell's factor
// layer by layer summed over the current's harmonics, the core's data or the review's
// conditions.
struct LossFormula {
  std::string_view name;
  std::string_view formula;
  std::string_view unit;
  bool perWinding = false;
  LossFormulaCase when = LossFormulaCase::Always;
  bool whole = false;  // a count, written as an integer
};

// The rows in the order --explain shows them: the core loss by the iGSE, the copper's
// resistivity and skin depth, each winding laid on its bobbin with its resistance, AC factor and
// copper loss, then the total, the build, the thermal resistance and the temperatures. A test
// evaluates every formula and checks it gives the engine's own number.
extern const std::array<LossFormula, 35> kLossFormulas;

// What the formulas' names stand for: a completed design's state, its valid review with valid
// losses, the core's figures and the Steinmetz band the core loss was worked out with.
struct LossContext {
  const DesignState* state = nullptr;
  const DesignReview* review = nullptr;
  const CoreGeometry* core = nullptr;
  BandChoice band;
};

// The context of a review's losses, or nothing where the review or its losses are not valid.
// `review` and `state` must outlive it.
std::optional<LossContext> lossContext(const DesignState& state, const DesignReview& review);

// The value of a name the loss formulas use: the engine's own numbers (the losses, each
// winding's layout, the review, the state, the core and the band), Tref (the temperature the
// losses are worked out at: the core's where it balances, else the reference), the constants
// rho20, alphaCu, tape, pi and mu0, and the intermediate fs, ki, rhoT and delta as the engine
// works them out. Nothing for an unknown
// name.
std::optional<double> lossOperand(std::string_view name, const LossContext& context);

// One row as written for a design: a per-winding row with its suffix filled in.
struct LossStep {
  std::string name;
  std::string formula;  // empty where the value is taken
  std::string source;   // where a taken value comes from
  std::string unit;
  std::string note;  // what a reader should know of the value: "estimated, Maniktala"
  double value = 0;  // the engine's number
  bool whole = false;
  // A figure the windings cannot give because they do not fit the bobbin: shown as "—".
  bool notEstimated = false;
};

// The rows that apply to the context's design, in order, each with the engine's value.
std::vector<LossStep> lossSteps(const LossContext& context);

}  // namespace fbc
