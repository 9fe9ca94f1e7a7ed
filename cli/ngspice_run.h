#pragma once

#include <chrono>
#include <stdexcept>
#include <string>
#include <vector>

namespace fbc {

// A simulation that could not be run or did not finish: one line, without the program name.
class SimulationError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// What a program found on PATH wrote to its standard output and error, together.
struct ProcessOutput {
  int exitStatus = 0;
  std::string output;
};

// Runs `program` (searched on PATH) with `args`, standard input empty, and collects its output.
// A program that is not found, or that runs longer than `timeout` (it is then killed), throws
// SimulationError naming it.
ProcessOutput runProgram(const std::string& program, const std::vector<std::string>& args,
                         std::chrono::milliseconds timeout);

// ngspice's version as it names itself ("ngspice-39"), from `ngspice -v`.
std::string ngspiceVersion();

// Runs `ngspice -b` on the netlist file `path` and returns its output; a simulation that fails
// (a non-zero exit, or "Error" in its output) throws SimulationError with ngspice's reason.
std::string runNgspice(const std::string& path);

}  // namespace fbc
