#pragma once

#include <optional>
#include <string>

#include "design/design_state.h"
#include "platform/value.h"

namespace fbc {

// What each plot shows, in words a screen reader speaks: the traces and their colours, the
// value and time per division, the frequency caption and the peak values.
struct PlotDescriptions {
  std::u16string switchPlot;  // Pic1
  std::u16string diodePlot;   // Pic2

  friend bool operator==(const PlotDescriptions&, const PlotDescriptions&) = default;
};

// The plots as a completed calculation draws them; nothing when the stage draws nothing
// (Lp is 0), since the plots then keep what they showed. `m` is the stage's constant 0.001.
std::optional<PlotDescriptions> plotDescriptions(const DesignState& state, const Value& m);

}  // namespace fbc
