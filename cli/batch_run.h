#pragma once

#include <istream>
#include <ostream>

#include "cli/options.h"

namespace fbc {

// Designs every row of a batch (see BatchReader) from the base `options.inputs` and writes one
// result per row to `out` as it goes, in input order, holding no more than one row:
// - OutputFormat::Json: one compact JSON object per line, {"row":n,"status":"ok",...} with the
//   members of the single JSON report, or {"row":n,"status":"error","message":"..."};
// - OutputFormat::Csv: the same flattened into columns named by dotted paths (row, status,
//   message, inputs.vin, ..., state.Lp, labels.lblLp, scales.VdsPeak, ...), header first; the
//   columns are those of a completed design's report, and cells a row lacks stay empty.
// Limit-rule warnings go to `err` as "flyback-calc: row n: warning: ...".
// Returns whether every row was designed. Throws InputError when the header is unusable.
bool runBatch(std::istream& in, const CliOptions& options, std::ostream& out, std::ostream& err);

}  // namespace fbc
