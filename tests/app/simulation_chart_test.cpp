#include "app/simulation_chart.h"

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/palette.h"
#include "platform/recording_surface.h"
#include "platform/text.h"

namespace fbc {
namespace {

// Two periods of 20 µs: 10 µs of a ramp to 6 A at 0 V, then 400 V and the diode's ramp down.
std::vector<SpiceSample> twoPeriods() {
  std::vector<SpiceSample> samples;
  for (int i = 0; i <= 400; ++i) {
    const double t = i * 0.1e-6;
    const double phase = (i % 200) * 0.1e-6;
    const bool on = phase < 10e-6;
    samples.push_back({1e-3 + t, on ? 0.0 : 400.0, on ? 0.6e6 * phase : 0.0,
                       on ? 0.0 : 49.5 * (1.0 - (phase - 10e-6) / 10e-6)});
  }
  return samples;
}

std::vector<const SurfaceOp*> lines(const RecordingSurface& pic, int colour) {
  std::vector<const SurfaceOp*> found;
  for (const SurfaceOp& op : pic.operations()) {
    if (op.type == SurfaceOp::Type::Line && op.colour == paletteColour(colour)) {
      found.push_back(&op);
    }
  }
  return found;
}

bool printed(const RecordingSurface& pic, const std::string& part) {
  return std::any_of(pic.operations().begin(), pic.operations().end(), [&](const SurfaceOp& op) {
    return op.type == SurfaceOp::Type::Print && toUtf8(op.text).find(part) != std::string::npos;
  });
}

TEST(SimulationChart, DrawsTheSimulatedPeriodsAgainstTheModelsPeaks) {
  RecordingSurface sw(440, 190);
  RecordingSurface diode(440, 190);
  drawSimulationPlots(sw, diode, twoPeriods(), {505.7, 6.0, 49.5});
  // The voltage shares its navy with the grid's ground line.
  EXPECT_EQ(lines(sw, kSimulatedVoltageColour).size(), 400U + 1U);
  EXPECT_EQ(lines(sw, kSimulatedCurrentColour).size(), 400U);
  EXPECT_EQ(lines(diode, kSimulatedDiodeColour).size(), 400U);
  // Two dashed marks on the switch's plot (its voltage and current), one on the diode's, each
  // level: 20 dashes a mark.
  EXPECT_EQ(lines(sw, kModelMarkColour).size(), 40U);
  EXPECT_EQ(lines(diode, kModelMarkColour).size(), 20U);
  // The time axis starts at the first sample: two periods span the grid.
  const auto current = lines(sw, kSimulatedCurrentColour);
  EXPECT_NEAR(current.front()->x1, 0.0, 1e-12);
  EXPECT_NEAR(current.back()->x2, 40e-6, 1e-10);
  for (const char* text : {"[200 V/div]", "[2 A/div]", "ピーク 400.0 V、6.000 A"}) {
    EXPECT_TRUE(printed(sw, text)) << text;
  }
  EXPECT_TRUE(printed(diode, "[20 A/div]"));
  EXPECT_TRUE(printed(diode, "ピーク 49.005 A"));  // the first sample after turn-off
}

TEST(SimulationChart, WithoutSamplesOnlyTheGrids) {
  RecordingSurface sw(440, 190);
  RecordingSurface diode(440, 190);
  drawSimulationPlots(sw, diode, {}, {505.7, 6.0, 49.5});
  EXPECT_TRUE(lines(sw, kSimulatedVoltageColour).size() <= 2U);  // the grid's ground line only
  EXPECT_TRUE(lines(diode, kSimulatedDiodeColour).empty());
  EXPECT_TRUE(printed(sw, "Gnd"));
}

}  // namespace
}  // namespace fbc
