#pragma once

#include <optional>
#include <ostream>
#include <vector>

#include "cli/json_writer.h"
#include "cli/simulation_report.h"
#include "review/design_explanation.h"
#include "review/design_report.h"

namespace fbc {

// A short readable report: inputs, the design figures with units, the verdict and the labels.
void writeTextReport(std::ostream& out, const DesignReport& report);

// The members of the JSON report, written into the object `json` has open: the single report
// and every batch row are made by this one function, so a member added here appears in both.
void writeReportMembers(JsonWriter& json, const DesignReport& report);

// One JSON object with the members "inputs", "state", "labels", "scales" (the peaks, full
// scales and the three waveform captions; null without scales), "review" (null when the
// design could not be reviewed), "losses" (the review's losses and temperature; null where
// "review" is) and "stress" (the switch's stress and the clamp; null where "review" is or the
// stress was not worked out), and with `simulation` the member "simulation" last.
void writeJsonReport(std::ostream& out, const DesignReport& report,
                     const Simulation* simulation = nullptr);

// The calculation step by step, one line per stored value ("14  Np = sqrt(Lp / AL) =
// sqrt(0.000333333 / 8.125668E-09) = 202.5396 turns"), then the engineering review's
// formulas the same way and its verdict, then the losses' formulas and the stress's.
void writeExplanation(std::ostream& out, const DesignExplanation& explanation);

// One row per core (the core name taken from each report's inputs): an aligned table with
// the verdict last, or a JSON array of objects, each with the review's few figures and the
// whole "stress" of the single report.
void writeSweepTable(std::ostream& out, const std::vector<DesignReport>& rows);
void writeSweepJson(std::ostream& out, const std::vector<DesignReport>& rows);

}  // namespace fbc
