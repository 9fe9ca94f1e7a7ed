#pragma once

#include <string>
#include <vector>

#include "review/insulation/insulation.h"

namespace fbc {

struct ExplainedStep;

// The insulation's figures step by step, as --explain writes them: the working voltage, Table
// 17's creepage with the rows it is read between, the transient and Table 14's clearance, the
// margins, the breadth they leave and the electric strength test. Lengths in m, as the rest of
// the explanation.
std::vector<ExplainedStep> isolationSteps(const Isolation& isolation);

// "reinforced insulation, margin construction; IEC 62368-1, pollution degree 2, ...".
std::string isolationNote(const Isolation& isolation);

}  // namespace fbc
