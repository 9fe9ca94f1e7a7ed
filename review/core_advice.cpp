#include "review/core_advice.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace fbc {

namespace {

// The swing a calculation without a level starts from: `bmax` where a 32-bit float holds it.
float startingSwing(double bmax) {
  return std::isfinite(bmax) && std::fabs(bmax) <= std::numeric_limits<float>::max()
             ? static_cast<float>(bmax)
             : 0.0F;
}

}  // namespace

CoreAdvice adviseCores(const DesignInputs& inputs, const CoreCatalogue& catalogue, double bmax,
                       const ReviewConditions& conditions) {
  CoreAdvice advice;
  for (const std::u16string& name : catalogue.listNames()) {
    CoreReview entry;
    entry.core = name;
    if (const std::optional<int> position = catalogue.find(name)) {
      entry.ae = catalogue.ae(*position);
    }
    DesignInputs forCore = inputs;
    forCore.core = name;
    DesignState state;
    state.dB = startingSwing(bmax);
    entry.completed = calculateDesign(forCore, catalogue, state).completed;
    if (entry.completed) {
      entry.review = reviewDesign(state, bmax, conditions);
    }
    advice.cores.push_back(std::move(entry));
  }

  const auto firstInfeasible =
      std::stable_partition(advice.cores.begin(), advice.cores.end(),
                            [](const CoreReview& c) { return c.review.feasible; });
  std::stable_sort(advice.cores.begin(), firstInfeasible,
                   [](const CoreReview& a, const CoreReview& b) { return a.ae < b.ae; });
  if (advice.cores.begin() != firstInfeasible) {
    advice.recommended = advice.cores.front().core;
  }
  return advice;
}

}  // namespace fbc
