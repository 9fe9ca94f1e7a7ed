#pragma once

#include <string>
#include <string_view>

#include "review/review.h"

namespace fbc {

// How a review number is shown to a person: in the unit an engineer reads it in (gap in mm,
// inductance in µH), rounded to a fixed number of decimals, with a Japanese and an English
// caption. The window, the text report and the design sheet all show the review this way.
struct ReviewDisplay {
  std::string_view name;  // the engine's member name, e.g. "gap"
  std::u16string_view caption;
  std::string_view description;
  double scale;  // from the engine's SI value to the shown unit
  int decimals;
  std::string_view unit;       // as the command line writes it
  std::u16string_view unitJa;  // as the window and the design sheet write it
};

// The display of the review member `name` (a reviewQuantities() or lossQuantities() name), or
// nullptr for a member with none (RthMeasured, converged).
const ReviewDisplay* reviewDisplay(std::string_view name);

// The value in the shown unit with the display's decimals, such as "8.70".
std::string reviewValueText(const ReviewDisplay& display, double value);

// One sentence saying what the flag means and what to do about it, with the limit it checks.
std::u16string reviewFlagSentence(ReviewFlag flag);
std::string reviewFlagSentenceEnglish(ReviewFlag flag);

// A few words naming the flag, for tables.
std::u16string reviewFlagShortName(ReviewFlag flag);

// The verdict line: buildable or not, or that the design could not be reviewed.
std::u16string reviewVerdict(const DesignReview& review);

}  // namespace fbc
