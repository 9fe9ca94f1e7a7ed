#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "review/design_report.h"

namespace fbc {

// The whole program: `args` are the arguments after the program name. Writes the report to
// `out` only when everything succeeded; warnings and the error line go to `err`. Returns the
// exit status: 0 done, 1 internal fault, 2 bad input or usage.
// With --batch, rows are written to `out` as they are designed, and the status is 2 when any
// row failed. `in` is read for "--batch -"; the first form reads standard input as the rows
// arrive, flushing `out` whenever it waits for more.
int runFlybackCalc(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int runFlybackCalc(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                   std::ostream& err);

}  // namespace fbc
