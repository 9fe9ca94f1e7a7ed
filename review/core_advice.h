#pragma once

#include <optional>
#include <string>
#include <vector>

#include "design/calculation.h"
#include "design/core_catalogue.h"
#include "review/review.h"

namespace fbc {

// One catalogue core's review for the person's inputs.
struct CoreReview {
  std::u16string core;
  double ae = 0;  // m², the catalogue's cross-section widened to 64 bits
  // The calculation for this core ran to the end; otherwise `review` is invalid.
  bool completed = false;
  DesignReview review;
};

// Which catalogue core would make the design buildable.
struct CoreAdvice {
  // Every listed core: the feasible ones by cross-section ascending (catalogue order on ties),
  // then the rest in catalogue order.
  std::vector<CoreReview> cores;
  // The first feasible core, or nothing when none is.
  std::optional<std::u16string> recommended;
};

// Runs the design calculation for every listed catalogue core with the other inputs as they are
// and reviews each for the flux swing `bmax` [T] (see levelSwing) in `conditions`. The
// calculation for CoreLevel::None starts from a swing of `bmax`, so every core sees the same
// level.
CoreAdvice adviseCores(const DesignInputs& inputs, const CoreCatalogue& catalogue, double bmax,
                       const ReviewConditions& conditions = {});

}  // namespace fbc
