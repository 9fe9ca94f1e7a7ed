#pragma once

#include <string>
#include <vector>

#include "platform/surface.h"
#include "review/review.h"
#include "review/windings/winding_resistance.h"

namespace fbc {

// Palette indices of the traces, as the main window draws the switch's and the diode's current.
inline constexpr int kPrimaryCurrentColour = 4;    // red
inline constexpr int kSecondaryCurrentColour = 5;  // magenta
inline constexpr int kPeakMarkColour = 8;          // dark grey

// One winding's current over a period as the review worked it out: its piece and its peak and
// RMS values [A].
struct CurrentTrace {
  std::u16string caption;  // 「一次電流」
  CurrentSegment piece;    // start and end as shares of the period
  double peak = 0;
  double rms = 0;
  int colour = kPrimaryCurrentColour;
};

// The primary's and the secondary's current of a valid review, in the drive mode's shapes;
// empty for an invalid review.
std::vector<CurrentTrace> currentTraces(const DesignReview& review);

// The full scale [A] of a plot whose highest value is `peak`: four divisions of 1, 2 or 5 times
// a power of ten, with the peak below the top division line.
double currentFullScale(double peak);

// Erases `surface` and draws, with the drawing library's procedures only and in the style of
// the main window's plots (Grid00C2's oscilloscope grid, 8 time and 4 current divisions), the
// trace over two periods of `period` [s]: its line in its colour, the peak marked by a dashed
// line, and the caption, the scale and the peak and RMS values written at the top. The surface's
// scale becomes two periods by 1.1 full scales.
void drawCurrentPlot(Surface& surface, const CurrentTrace& trace, double period);

// What the plot shows in words, for screen readers: 「一次電流: ピーク 6.000 A、実効値 2.449 A」.
std::u16string currentPlotDescription(const CurrentTrace& trace);

}  // namespace fbc
