#pragma once

#include <ostream>

#include "cli/json_writer.h"
#include "review/review.h"

namespace fbc {

// The insulation between the primary and secondary sides as a JSON object, in SI units:
// insulation, construction, workingVoltage (and whether it was given), transient, creepage,
// clearance, margin, tapeLayersPS, tapeLayer, hipotPeak, hipotAC, hipotSeconds, bobbinBreadth,
// windingBreadth, fits, the pins on each side and each winding's pins. Figures functional
// insulation does not have are null; the whole is null without a valid review.
void writeIsolationJson(JsonWriter& json, const DesignReview* review);

// The insulation section of the text report: the same figures in mm and V, and each winding's
// start and finish pins.
void writeIsolationText(std::ostream& out, const DesignReview& review);

}  // namespace fbc
