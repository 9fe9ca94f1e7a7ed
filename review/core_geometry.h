#pragma once

#include <span>
#include <string_view>

#include "design/design_state.h"

namespace fbc {

// What the losses and the temperature rise need to know of a core beyond the catalogue's
// cross-section, window and fill: its effective magnetic figures, its bobbin and how it sheds
// heat. SI units. The sources of every row are in docs/engineering-review.md.
struct CoreGeometry {
  std::u16string_view name;
  double le = 0;   // m, effective magnetic path length
  double Ve = 0;   // m³, effective volume
  double MLT = 0;  // m, mean length of one turn on the bobbin
  double bw = 0;   // m, the bobbin's winding breadth
  double hw = 0;   // m, the bobbin's winding build (height available for layers)
  // K/W, measured natural-convection thermal resistance of the wound core; 0 where none is
  // published.
  double rthMeasured = 0;
};

// Every catalogue core's figures, in catalogue order.
std::span<const CoreGeometry> coreGeometries();

// The figures of the catalogue core `name`, or nullptr.
const CoreGeometry* coreGeometry(std::u16string_view name);

// The figures of the core a completed design was worked out with: the core the state names,
// or, where the typed name named no core and the calculation fell back on the previously
// looked-up one, the catalogue core with the state's cross-section, window and fill.
const CoreGeometry* coreGeometryFor(const DesignState& state);

}  // namespace fbc
