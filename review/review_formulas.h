#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "review/review.h"

namespace fbc {

// The engineering review's formulas as text, one per review quantity in reviewQuantities()
// order, in the names of the review (Ns and Np are its whole turns), the design state and the
// constants below. --explain shows them with their operands' values; a test evaluates each text
// and checks it gives the review's own number, so the two cannot drift apart.
struct ReviewFormula {
  std::string_view name;  // the review member
  std::string_view formula;
};

extern const std::array<ReviewFormula, kReviewQuantityCount> kReviewFormulas;

// The named constants the formulas use: Bmax (the level's flux swing, given), then Bsat, J,
// mu0, kSkin from kReviewLimits, and pi.
std::optional<double> reviewConstant(std::string_view name, double bmax);

}  // namespace fbc
