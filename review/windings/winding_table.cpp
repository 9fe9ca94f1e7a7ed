#include "review/windings/winding_table.h"

#include <algorithm>
#include <cmath>

#include "review/review_limits.h"

namespace fbc {

namespace {

WindingRow row(Winding winding, int turns, double wireDiameter, double skinDepth) {
  const double largest = kReviewLimits.maxWireToSkinDepth * skinDepth;
  if (!(wireDiameter > largest) || !(largest > 0.0)) {
    return {winding, turns, wireDiameter, 1, wireDiameter};
  }
  // Equal copper area: n strands of d/√n.
  // Past the cap nobody strands wire: the count stops there and the strands stay thick, which
  // the losses then show.
  const double ratio = wireDiameter / largest;
  const int strands = static_cast<int>(
      std::min(std::ceil(ratio * ratio - 1e-9), static_cast<double>(kReviewLimits.maxStrands)));
  return {winding, turns, wireDiameter, strands, wireDiameter / std::sqrt(strands)};
}

}  // namespace

std::vector<WindingRow> windingTable(const DesignReview& review) {
  if (!review.valid) {
    return {};
  }
  return {row(Winding::Primary, review.Np, review.dP, review.skinDepth),
          row(Winding::Secondary, review.Ns, review.dS, review.skinDepth)};
}

}  // namespace fbc
