#include "cli/flyback_calc.h"

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <ctime>
#include <exception>
#include <fstream>
#include <optional>
#include <sstream>
#include <string_view>
#include <system_error>
#include <utility>

#include "cli/batch_run.h"
#include "cli/descriptor_input.h"
#include "cli/export_helper.h"
#include "cli/file_output.h"
#include "cli/ngspice_run.h"
#include "cli/options.h"
#include "cli/report.h"
#include "cli/review_report.h"
#include "cli/simulation_report.h"
#include "cli/waveform_csv.h"
#include "design/click_constants.h"
#include "design/design_inputs.h"
#include "design/input_rules.h"
#include "design/result_texts.h"
#include "platform/errors.h"
#include "platform/text.h"
#include "review/core_advice.h"
#include "review/export_request.h"
#include "review/review.h"

namespace fbc {

namespace {

constexpr std::string_view kProgram = "flyback-calc";
constexpr int kExitDone = 0;
constexpr int kExitFault = 1;
constexpr int kExitBadInput = 2;
constexpr std::string_view kStandardOutput = "-";

// Today's date in the local time zone, "2026-12-10", for the sheet's title block.
std::u16string today() {
  const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm local{};
  localtime_r(&now, &local);
  char text[16] = {};
  std::strftime(text, sizeof text, "%Y-%m-%d", &local);
  return fromUtf8(text);
}

void writeSweep(std::ostream& out, const CliOptions& options, const DesignInputs& inputs) {
  const CoreCatalogue catalogue;
  std::vector<DesignReport> rows;
  for (const std::u16string& core : catalogue.listNames()) {
    DesignInputs coreInputs = inputs;
    coreInputs.core = core;
    rows.push_back(designFor(coreInputs, catalogue, "--", options.reviewInputs));
  }
  if (options.format == OutputFormat::Json) {
    writeSweepJson(out, rows);
  } else {
    writeSweepTable(out, rows);
  }
}

void writeAdvice(std::ostream& out, const CliOptions& options, const DesignInputs& given) {
  const SuppliedInputs supplied = suppliedInputs(given, CoreCatalogue{}, options.reviewInputs);
  const DesignInputs& inputs = supplied.inputs;
  ReviewConditions conditions =
      reviewConditionsFor(options.reviewInputs, "--", designInputVoltage(inputs));
  applySupply(conditions, supplied.supply);
  const CoreAdvice advice =
      adviseCores(inputs, CoreCatalogue{}, levelSwing(inputs.level).value_or(0.0), conditions);
  // Every core's design shares the peak current: the first reviewed one judges the limit.
  for (const CoreReview& core : advice.cores) {
    if (core.review.valid) {
      refuseCurrentLimit(core.review, conditions, options.reviewInputs, "--");
      break;
    }
  }
  if (options.format == OutputFormat::Json) {
    writeAdviceJson(out, advice);
  } else {
    writeAdviceTable(out, advice);
  }
}

// One design: its report, or its waveform CSV when that goes to standard output, into `out`;
// returns the files asked for.
std::vector<OutputFile> writeDesign(std::ostream& out, const CliOptions& options,
                                    const DesignInputs& inputs) {
  const DesignReport report = designFor(inputs, CoreCatalogue{}, "--", options.reviewInputs);
  std::vector<OutputFile> files;
  if (!options.waveformCsv.empty()) {
    std::ostringstream csv;
    writeWaveformCsv(csv, report.state);
    if (options.waveformCsv == kStandardOutput) {
      out << csv.str();
    } else {
      files.push_back({"--waveform-csv", options.waveformCsv, csv.str()});
    }
  }
  if (!options.spice.empty()) {
    files.push_back({"--spice", options.spice,
                     designNetlist(report, std::string(kProgram) + " " + FBC_PROJECT_VERSION)});
  }
  const std::optional<Simulation> simulation =
      options.simulate ? std::optional(simulateDesign(report)) : std::nullopt;
  if (options.waveformCsv != kStandardOutput) {
    if (options.format == OutputFormat::Json) {
      writeJsonReport(out, report, simulation ? &*simulation : nullptr);
    } else {
      writeTextReport(out, report);
      if (simulation) {
        writeSimulationText(out, *simulation);
      }
    }
  }
  if (!options.plot.empty()) {
    const ExportKind kind =
        options.plotFormat == PlotFormat::Svg ? ExportKind::PlotSvg : ExportKind::PlotPng;
    files.push_back({"--plot", options.plot, runExport({kind, inputs, options.reviewInputs, {}})});
  }
  if (!options.sheet.empty()) {
    // The date is the caller's, so that a sheet made just before midnight says so.
    files.push_back({"--sheet", options.sheet,
                     runExport({ExportKind::SheetPdf,
                                inputs,
                                options.reviewInputs,
                                {{"date", toUtf8(today())},
                                 {"program", std::string(kProgram) + " " + FBC_PROJECT_VERSION},
                                 {"drawing-number", options.drawingNumber}}})});
  }
  return files;
}

bool runBatchFrom(const CliOptions& options, std::istream& standardInput, std::ostream& out,
                  std::ostream& err) {
  if (options.batch == kStandardOutput) {
    return runBatch(standardInput, options, out, err);
  }
  std::ifstream file(options.batch, std::ios::binary);
  if (!file) {
    throw InputError("--batch " + messageQuote(options.batch, kLongQuoteLimit) + ": " +
                     std::generic_category().message(errno));
  }
  return runBatch(file, options, out, err);
}

}  // namespace

int runFlybackCalc(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  DescriptorInput standardInput(STDIN_FILENO, out);
  std::istream in(&standardInput);
  return runFlybackCalc(args, in, out, err);
}

int runFlybackCalc(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                   std::ostream& err) {
  const std::string prefix = std::string(kProgram) + ": ";
  try {
    const CommandLine commandLine = parseCommandLine(args);
    if (commandLine.action != CommandLine::Action::Run) {
      out << commandLine.text;
      return kExitDone;
    }
    const CliOptions& options = commandLine.options;
    if (!options.batch.empty()) {
      // Rows are written as they are designed; a failed row is in the output, not fatal.
      return runBatchFrom(options, in, out, err) ? kExitDone : kExitBadInput;
    }
    DesignInputs inputs = options.inputs;
    refuseInputVoltageWithMains(inputs, options.vinGiven, options.reviewInputs, "--");
    const std::vector<std::string> warnings = applyLimitRules(inputs);

    // Everything is computed before anything is written, so that bad input leaves standard
    // output empty and no file touched.
    std::ostringstream report;
    std::vector<OutputFile> files;
    if (options.sweep) {
      writeSweep(report, options, inputs);
    } else if (options.explain) {
      const CoreCatalogue catalogue;
      // A calculation that stops, or a review input that cannot be used, is reported as for the
      // report.
      const DesignReport designed = designFor(inputs, catalogue, "--", options.reviewInputs);
      writeExplanation(report, explainDesign(designed.inputs, catalogue, designed.conditions));
    } else if (options.advise) {
      writeAdvice(report, options, inputs);
    } else {
      files = writeDesign(report, options, inputs);
    }
    writeOutputFiles(files);
    for (const std::string& warning : warnings) {
      err << prefix << "warning: " << warning << '\n';
    }
    out << report.str();
    return kExitDone;
  } catch (const UsageError& error) {
    err << prefix << error.what() << " (see --help)\n";
    return kExitBadInput;
  } catch (const InputError& error) {
    err << prefix << error.what() << '\n';
    return kExitBadInput;
  } catch (const OutputError& error) {
    err << prefix << error.what() << '\n';
    return kExitBadInput;
  } catch (const SimulationError& error) {
    err << prefix << "--simulate: " << error.what() << '\n';
    return kExitBadInput;
  } catch (const std::exception& error) {
    err << prefix << "internal error: " << error.what() << '\n';
    return kExitFault;
  }
}

}  // namespace fbc
