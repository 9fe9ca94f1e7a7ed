#pragma once

#include <vector>

#include "review/review.h"
#include "review/windings/winding.h"
#include "review/windings/wire_table.h"

namespace fbc {

// One winding as the winding shop builds it: the review's whole turns on the wire the review
// chose (or the person gave), laid as the losses lay it. Lengths in mm.
struct WindingRow {
  Winding winding;
  int turns;
  Wire wire;
  bool wireChosen;
  double strandDiameter;  // bare copper of one wire or strand; a foil's thickness
  int strands;            // 1 for round wire and foil
  double outerDiameter;   // one turn in build, insulation (a foil's film) included
  int turnsPerLayer;
  int layers;      // a split primary's halves added
  double build;    // every layer of the winding
  int innerTurns;  // a split primary's inner half; all turns otherwise
};

// The primary and the secondary, in the review's winding order; nothing where the review is not
// valid or has no winding layout (its core's bobbin unknown).
std::vector<WindingRow> windingTable(const DesignReview& review);

}  // namespace fbc
