#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "design/calculation.h"
#include "design/design_inputs.h"
#include "design/design_state.h"
#include "review/export_request.h"
#include "review/review_inputs.h"

namespace fbc {

enum class OutputFormat { Text, Json, Csv };

// What one run of flyback-calc is asked to do. The design inputs stay texts, exactly as they
// would be typed into the window's boxes; the limit rules and the conversion come later.
struct CliOptions {
  DesignInputs inputs;
  // The conditions the review works the losses and temperature out in, as typed.
  ReviewInputs reviewInputs;
  OutputFormat format = OutputFormat::Text;
  bool sweep = false;
  // Review the design on every catalogue core and recommend one.
  bool advise = false;
  // The waveform samples as CSV: a file name, "-" for standard output (instead of the report),
  // or empty when not asked for.
  std::string waveformCsv;
  // The two plots as one picture: a file name ending in .png or .svg, or empty.
  std::string plot;
  PlotFormat plotFormat = PlotFormat::Png;
  // A batch of designs as CSV: a file name, "-" for standard input, or empty. The
  // format is then Json or Csv.
  std::string batch;
  // The calculation step by step instead of the report.
  bool explain = false;
  // The design sheet as a one-page PDF: a file name ending in .pdf, or empty.
  std::string sheet;
  // The sheet's drawing number (図番), half-width characters only; may be empty.
  std::string drawingNumber;
  // The converter as an ngspice netlist: a file name, or empty.
  std::string spice;
  // Run ngspice on the netlist and report its figures beside the model's.
  bool simulate = false;
  // --vin was given: with a mains input the design's input comes from the bulk capacitor.
  bool vinGiven = false;
};

// A command line that cannot be run: an unknown option, a missing value, a bad choice. The
// message is one line, without the program name.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct CommandLine {
  enum class Action { Run, Help, Version };
  Action action = Action::Run;
  CliOptions options;
  std::string text;  // the help or version text, for Help and Version
};

// Parses the arguments after the program name. Throws UsageError.
CommandLine parseCommandLine(const std::vector<std::string>& args);

// The picture format a file name asks for by its extension, in any letter case; nothing for
// another extension.
std::optional<PlotFormat> plotFormatOf(std::string_view path);

}  // namespace fbc
