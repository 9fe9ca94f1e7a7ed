#pragma once

#include <array>
#include <string_view>

#include "design/design_inputs.h"
#include "design/design_state.h"

namespace fbc {

// One formula step of the design calculation: the state member it stores, the formula in the
// state's names, and the formula itself, evaluated in 64 bits with the checked arithmetic (it
// throws RuntimeError on a fault). calculateDesign runs exactly these; --explain shows them.
// The text reads left to right as the evaluation runs: a / b / c is (a / b) / c.
struct CalculationStep {
  int number;
  std::string_view quantity;
  float DesignState::*target;
  std::string_view formula;
  double (*evaluate)(const DesignState&);
};

// Step 2 (Iin), then steps 6 to 18 (Ton ... Im). Steps 3 to 5 take the core text, the level's
// flux swing and the catalogue's figures.
extern const std::array<CalculationStep, 14> kCalculationSteps;

// The state member step 1 reads a box into, with the name the state gives it (the frequency
// box gives T); nullptr for the core and DesignInput::None.
struct InputTarget {
  std::string_view quantity;
  float DesignState::*member;
};
InputTarget inputTarget(DesignInput input);

// How step 1 works out a box read as a 64-bit number before it is stored: the efficiency is a
// percentage, the frequency becomes the period. `formula` uses the input's key.
struct DerivedRead {
  DesignInput input;
  std::string_view quantity;
  float DesignState::*target;
  std::string_view formula;
  double (*evaluate)(double typed);
};

extern const std::array<DerivedRead, 2> kDerivedReads;

// The derived read of an input, or nullptr for one stored as read.
const DerivedRead* derivedRead(DesignInput input);

}  // namespace fbc
