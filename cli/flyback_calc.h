#pragma once

#include <istream>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "cli/report.h"
#include "design/calculation.h"
#include "design/core_catalogue.h"

namespace fbc {

// Input the design cannot be made from: a text that is not a number, an efficiency or duty
// ratio that stops the calculation, a core that is not in the catalogue. The message is one
// line naming the option, the value given and the reason, without the program name.
class InputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Applies the window's limit rules to the five limited inputs, in the order vin, vout, iout,
// fs, vf, replacing out-of-range texts as the window does. Returns one warning per replaced
// value ("--fs 2 is outside the limits; using 10000"). Throws InputError for a text that is
// not a number. `prefix` goes before each input's key in the messages: "--" names the options,
// "" the batch columns.
std::vector<std::string> applyLimitRules(DesignInputs& inputs, std::string_view prefix = "--");

// Runs the calculation on a fresh design state and forms the captions. Throws InputError
// when the calculation stops, naming the input to blame and the quantity it could not
// compute; `prefix` as for applyLimitRules.
DesignReport designFor(const DesignInputs& inputs, const CoreCatalogue& catalogue,
                       std::string_view prefix = "--");

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
