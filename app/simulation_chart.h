#pragma once

#include <string>
#include <vector>

#include "platform/surface.h"
#include "review/spice_netlist.h"

namespace fbc {

// Palette indices of the simulated traces, as the main window draws its plots.
inline constexpr int kSimulatedVoltageColour = 1;  // blue: the switch's voltage
inline constexpr int kSimulatedCurrentColour = 4;  // red: the switch's current
inline constexpr int kSimulatedDiodeColour = 5;    // magenta: the output diode's current
inline constexpr int kModelMarkColour = 8;         // dark grey: the model's peaks

// The model's peaks the simulated traces are drawn against.
struct ModelPeaks {
  double vds = 0;   // V, Vin + Vclamp
  double ipk = 0;   // A, the primary's peak
  double isPk = 0;  // A, the secondary winding's peak, n·Ipk
};

// Erases both surfaces and draws, with the drawing library's procedures only and in the main
// window's oscilloscope style (Grid00C2, 8 time and 4 value divisions), the simulated periods:
// the switch's voltage and current on `switchPlot`, the diode's current on `diodePlot`, each
// trace on its own 1-2-5 full scale with the model's peak as a dashed line, and the scales and
// the simulated peaks written at the top. Fewer than two samples draw nothing but the grids.
void drawSimulationPlots(Surface& switchPlot, Surface& diodePlot,
                         const std::vector<SpiceSample>& samples, const ModelPeaks& model);

}  // namespace fbc
