#pragma once

#include <string>
#include <vector>

#include "platform/surface.h"
#include "review/core_advice.h"
#include "review/review_inputs.h"

namespace fbc {

// Palette indices of the chart's bars and lines (see platform/palette.h).
inline constexpr int kCoreLossColour = 1;           // navy
inline constexpr int kPrimaryCopperColour = 5;      // purple
inline constexpr int kSecondaryCopperColour = 6;    // olive
inline constexpr int kCoreTemperatureColour = 3;    // teal
inline constexpr int kTemperatureLimitColour = 12;  // red
inline constexpr int kChartGridColour = 7;          // light grey

// One bar pair of the chart: a feasible core's loss split [W] and its temperatures [°C].
struct LossChartRow {
  std::u16string core;
  bool recommended = false;
  double Pcore = 0;
  double PcuP = 0;
  double PcuS = 0;  // every winding beside the primary: the outputs' and the bias's
  double Ptotal = 0;
  double Tambient = 0;
  double Tcore = 0;
};

// The feasible cores of `advice` whose losses are known and whose windings fit the bobbin, in
// the advice's order (smallest cross-section first, so the recommended core leads).
std::vector<LossChartRow> lossChartRows(const CoreAdvice& advice);

// Erases `surface` and draws, with the drawing library's procedures only, one row per
// lossChartRows() entry: the core's name, a stacked bar of its core, primary and secondary
// copper loss with the total beside it, and a bar from the ambient to its core temperature
// against a red line at the highest temperature of `conditions`. The axes start at zero watts
// and at the lower of 0 °C and the ambient. Without a feasible core a sentence says so. The
// surface's scale becomes its size in pixels.
void drawLossChart(Surface& surface, const CoreAdvice& advice, const ReviewConditions& conditions);

}  // namespace fbc
