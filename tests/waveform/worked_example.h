#pragma once

#include <stdexcept>

#include "design/calculation.h"
#include "design/core_catalogue.h"
#include "design/design_state.h"

namespace fbc::testing_support {

// The design state of the window's start values (core "EER25.5", typical level), optionally
// with another switching frequency.
inline DesignState workedExample(const char16_t* fs = u"50000") {
  DesignInputs inputs;
  inputs.fs = fs;
  DesignState state;
  const CalculationResult result = calculateDesign(inputs, CoreCatalogue{}, state);
  if (!result.completed) {
    throw std::logic_error("the worked example no longer completes");
  }
  return state;
}

}  // namespace fbc::testing_support
