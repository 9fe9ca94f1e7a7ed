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

// The review formulas of drive mode `mode`: kReviewFormulas with the currents, LpRef and the
// flux's volt-seconds of pwm-ccm and qr in their own forms, in the names of modeOperand().
std::array<ReviewFormula, kReviewQuantityCount> reviewFormulas(DriveMode mode);

// One of a drive mode's own figures, worked out or taken (an empty formula: the input given).
struct ModeFormula {
  DriveMode mode;
  std::string_view name;
  std::string_view formula;
  std::string_view unit;
};

// The rows of each mode in the order --explain shows them after the review's: the reflected
// voltage the duty chooses (VROref), then in pwm-ccm and qr the whole turns' VRO and the duty
// Don it gives, then KRF, IEDC, dI and VinCcmLimit in pwm-ccm, Cd, ton, toff and tv in qr.
// pwm-critical has none: its review is as it always was.
extern const std::array<ModeFormula, 15> kModeFormulas;

// A drive mode's own figure by name (KRF, IEDC, dI, VinCcmLimit, Cd, ton, toff, tv, VROref
// from the state's Vin and Duty, VRO of the whole turns and the duty Don the operation was
// worked out at), or nothing where the review's mode has none.
std::optional<double> modeOperand(std::string_view name, const DesignReview& review,
                                  const DesignState& state);

// The named constants the formulas use: Bmax (the level's flux swing, given), then Bnear,
// IlimRatio, J, mu0, kSkin from kReviewLimits, and pi.
std::optional<double> reviewConstant(std::string_view name, double bmax);

}  // namespace fbc
