#pragma once

#include <ostream>
#include <vector>

#include "design/calculation.h"
#include "design/design_state.h"
#include "design/result_texts.h"

namespace fbc {

// One completed design: the input texts after the limit rules, the design state and the
// captions the window would show for it.
struct DesignReport {
  DesignInputs inputs;
  DesignState state;
  ResultTexts texts;
};

// A short readable report: inputs, the design figures with units, the verdict and the labels.
void writeTextReport(std::ostream& out, const DesignReport& report);

// One JSON object with the members "inputs", "state" and "labels".
void writeJsonReport(std::ostream& out, const DesignReport& report);

// One row per core (the core name taken from each report's inputs): an aligned table with
// the verdict last, or a JSON array of objects.
void writeSweepTable(std::ostream& out, const std::vector<DesignReport>& rows);
void writeSweepJson(std::ostream& out, const std::vector<DesignReport>& rows);

}  // namespace fbc
