#include "review/windings/winding_table.h"

namespace fbc {

std::vector<WindingRow> windingTable(const DesignReview& review) {
  std::vector<WindingRow> rows;
  if (!review.valid || !review.losses.valid) {
    return rows;
  }
  for (const WindingLoss& w : review.losses.windings) {
    rows.push_back({w.winding, w.turns, w.wire, w.wireChosen, w.wire.diameter, w.wire.strands,
                    w.layout.outerDiameter * 1e3, w.layout.turnsPerLayer, w.layout.layers,
                    w.layout.build * 1e3, w.innerTurns});
  }
  return rows;
}

}  // namespace fbc
