#pragma once

#include <vector>

#include <QString>

#include "design/review.h"

namespace fbc {

// The review's numbers as the review window shows them: a Japanese label, the value in the unit
// an engineer reads it in (gap in mm, inductance in µH, ...) and that unit.
struct ReviewRow {
  QString name;  // the engine's member name, e.g. "gap"
  QString label;
  QString value;
  QString unit;
};

// Every number of the review in the engine's order; empty for an invalid review.
std::vector<ReviewRow> reviewRows(const DesignReview& review);

// One sentence saying what the flag means and what to do about it.
QString reviewFlagSentence(ReviewFlag flag);

// A few words naming the flag, for tables.
QString reviewFlagShortName(ReviewFlag flag);

// The verdict line: buildable or not, or that the design could not be reviewed.
QString reviewVerdict(const DesignReview& review);

}  // namespace fbc
