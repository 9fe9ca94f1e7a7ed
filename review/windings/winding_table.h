#pragma once

#include <vector>

#include "review/review.h"
#include "review/windings/winding.h"

namespace fbc {

// One winding as the winding shop builds it, from the engineering review's whole turns and
// wire sizes. Diameters are of bare copper, in mm.
struct WindingRow {
  Winding winding;
  int turns;
  double wireDiameter;    // the review's single wire for the design current density
  int strands;            // 1 for a single wire
  double strandDiameter;  // each strand; the wire's diameter when there is one strand
};

// The primary and the secondary, in that order; nothing for an invalid review. A wire thicker
// than kReviewLimits.maxWireToSkinDepth skin depths is split into the fewest strands no thicker
// than that which carry the same copper area, since copper deeper than a skin depth carries
// little of the switching-frequency current (L. Dixon, "Magnetics Design for Switching Power
// Supplies", Unitrode/TI SLUP132, section on eddy currents and winding conductors).
std::vector<WindingRow> windingTable(const DesignReview& review);

}  // namespace fbc
