#pragma once

#include <vector>

#include <QString>

#include "review/review.h"
#include "review/review_display.h"

namespace fbc {

// The review's numbers as the review window shows them: a Japanese label, the value in the unit
// an engineer reads it in (gap in mm, inductance in µH, ...) and that unit.
struct ReviewRow {
  QString name;  // the engine's member name, e.g. "gap"
  QString label;
  QString value;
  QString unit;
};

// Every number of the review in the engine's order; empty for an invalid review. The flags'
// sentences, short names and the verdict come from review/review_display.h.
std::vector<ReviewRow> reviewRows(const DesignReview& review);

// The losses' numbers in lossQuantities() order, shown the same way; empty for invalid losses.
// RthMeasured has no row of its own: the thermal resistance's label says whether the figure is
// the core's published one or the estimate from its volume.
std::vector<ReviewRow> lossRows(const TransformerLosses& losses);

}  // namespace fbc
