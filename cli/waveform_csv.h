#pragma once

#include <ostream>

#include "design/design_state.h"

namespace fbc {

// The samples the plots show for a completed design, as CSV: the header "t,vsw,isw,vd,id",
// then one line per sample of the time loop in SI units (s, V, A), each number the shortest
// text that reads back as the same 32-bit float; lines end in "\n". With Lp = 0 the window
// draws nothing, and only the header is written.
void writeWaveformCsv(std::ostream& out, const DesignState& state);

}  // namespace fbc
