#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/json_writer.h"
#include "review/design_report.h"
#include "review/spice_netlist.h"

namespace fbc {

// What ngspice made of a design: its version and each figure beside the model's.
struct Simulation {
  std::string ngspice;
  std::vector<SimulatedFigure> figures;
};

// The design's ngspice netlist, or InputError where the design has no valid review and stress
// to simulate; `title` names it in the netlist's first line.
std::string designNetlist(const DesignReport& report, const std::string& title);

// Writes the netlist to a temporary file, runs ngspice -b on it and compares its measurements
// with the model. Throws SimulationError (cli/ngspice_run.h) where ngspice is missing, fails or
// leaves a figure unmeasured.
Simulation simulateDesign(const DesignReport& report);

// The text report's section: a table of figure, model, simulated and difference; each further
// output's average voltage and winding RMS current and the bias's after the converter's own.
void writeSimulationText(std::ostream& out, const Simulation& simulation);

// {"ngspice": version, "figures": [{"name", "model", "simulated", "differencePercent"}...]}, the
// further outputs' and the bias's figures (vout2avg, is2rms, ..., vbiasavg, ibiasrms) last.
void writeSimulationJson(JsonWriter& json, const Simulation& simulation);

}  // namespace fbc
