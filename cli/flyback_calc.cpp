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
#include "cli/export_request.h"
#include "cli/file_output.h"
#include "cli/options.h"
#include "cli/review_report.h"
#include "cli/waveform_csv.h"
#include "design/click_constants.h"
#include "design/core_advice.h"
#include "design/design_inputs.h"
#include "design/input_rules.h"
#include "design/result_texts.h"
#include "design/review.h"
#include "platform/errors.h"
#include "platform/text.h"

namespace fbc {

namespace {

constexpr std::string_view kProgram = "flyback-calc";
constexpr int kExitDone = 0;
constexpr int kExitFault = 1;
constexpr int kExitBadInput = 2;
constexpr std::string_view kStandardOutput = "-";

// The value as the person typed it; quoted only when blanks would hide where it ends.
std::string shown(std::u16string_view text) {
  std::string value = toUtf8(text);
  if (value.empty() || value.find_first_of(" \t") != std::string::npos) {
    return "\"" + value + "\"";
  }
  return value;
}

std::string optionAndValue(std::string_view option, std::u16string_view text) {
  return std::string(option) + " " + shown(text);
}

std::string conversionReason(const RuntimeError& error) {
  switch (error.number()) {
    case ErrorNumber::TypeMismatch:
      return "not a number";
    case ErrorNumber::Overflow:
      return "out of range";
    default:
      return std::string(errorDescription(error.number()));
  }
}

std::string catalogueList(const CoreCatalogue& catalogue) {
  std::string list;
  for (const std::u16string& name : catalogue.listNames()) {
    list += (list.empty() ? "" : ", ") + toUtf8(name);
  }
  return list;
}

std::string stopReason(const CalculationResult& result, const CoreCatalogue& catalogue) {
  switch (result.reason) {
    case StopReason::NotANumber:
      return "not a number";
    case StopReason::OutOfRange:
      return "out of range";
    case StopReason::EfficiencyNotPositive:
      return "the efficiency must be above 0";
    case StopReason::DutyOutOfRange:
      return "the duty ratio must lie strictly between 0 and 1";
    case StopReason::NoUsableCore:
      return "not a catalogue core (" + catalogueList(catalogue) + ")";
    case StopReason::ArithmeticFault:
    case StopReason::None:
      break;
  }
  return std::string(errorDescription(result.error));
}

std::string stopMessage(const CalculationResult& result, const DesignInputs& inputs,
                        const CoreCatalogue& catalogue, std::string_view prefix) {
  std::string message;
  if (const InputInfo* blamed = inputInfo(result.cause)) {
    message = optionAndValue(std::string(prefix) + std::string(blamed->key),
                             *inputText(inputs, result.cause)) +
              ": " + stopReason(result, catalogue) + "; the calculation";
  } else {
    message = "the calculation";
  }
  message += " stopped at step " + std::to_string(result.failedStep);
  if (!result.quantity.empty()) {
    message += ", computing " + result.quantity;
  }
  // A missing core is not an arithmetic fault, whatever error number the lookup carries.
  if (result.reason != StopReason::NoUsableCore) {
    message += " (" + std::string(errorDescription(result.error)) + ")";
  }
  return message;
}

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
    rows.push_back(designFor(coreInputs, catalogue));
  }
  if (options.format == OutputFormat::Json) {
    writeSweepJson(out, rows);
  } else {
    writeSweepTable(out, rows);
  }
}

void writeAdvice(std::ostream& out, const CliOptions& options, const DesignInputs& inputs) {
  const CoreAdvice advice =
      adviseCores(inputs, CoreCatalogue{}, levelSwing(inputs.level).value_or(0.0));
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
  const DesignReport report = designFor(inputs, CoreCatalogue{});
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
  if (options.waveformCsv != kStandardOutput) {
    if (options.format == OutputFormat::Json) {
      writeJsonReport(out, report);
    } else {
      writeTextReport(out, report);
    }
  }
  if (!options.plot.empty()) {
    const ExportKind kind =
        options.plotFormat == PlotFormat::Svg ? ExportKind::PlotSvg : ExportKind::PlotPng;
    files.push_back({"--plot", options.plot, runExport({kind, inputs, {}})});
  }
  if (!options.sheet.empty()) {
    // The date is the caller's, so that a sheet made just before midnight says so.
    files.push_back({"--sheet", options.sheet,
                     runExport({ExportKind::SheetPdf,
                                inputs,
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
    throw InputError("--batch " + options.batch + ": " + std::generic_category().message(errno));
  }
  return runBatch(file, options, out, err);
}

}  // namespace

std::vector<std::string> applyLimitRules(DesignInputs& inputs, std::string_view prefix) {
  std::vector<std::string> warnings;
  for (DesignInput input : kInputPresentationOrder) {
    const InputInfo& info = *inputInfo(input);
    if (!info.limit) {
      continue;
    }
    std::u16string& text = *inputText(inputs, input);
    const std::string option = std::string(prefix) + std::string(info.key);
    std::optional<std::u16string> replacement;
    try {
      replacement = limitReplacement(*info.limit, text);
    } catch (const RuntimeError& error) {
      throw InputError(optionAndValue(option, text) + ": " + conversionReason(error));
    }
    if (replacement) {
      warnings.push_back(optionAndValue(option, text) + " is outside the limits; using " +
                         toUtf8(*replacement));
      text = std::move(*replacement);
    }
  }
  return warnings;
}

DesignReport designFor(const DesignInputs& inputs, const CoreCatalogue& catalogue,
                       std::string_view prefix) {
  DesignReport report;
  report.inputs = inputs;
  const CalculationResult result = calculateDesign(inputs, catalogue, report.state);
  if (!result.completed) {
    throw InputError(stopMessage(result, inputs, catalogue, prefix));
  }
  const ClickConstants constants = clickConstants();
  report.texts = resultTexts(report.state, constants.k);
  if (report.state.Lp != 0.0F) {
    report.scales = waveformScales(report.state, constants.m);
  }
  if (const std::optional<double> swing = levelSwing(inputs.level)) {
    report.review = reviewDesign(report.state, *swing);
  }
  return report;
}

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
    const std::vector<std::string> warnings = applyLimitRules(inputs);

    // Everything is computed before anything is written, so that bad input leaves standard
    // output empty and no file touched.
    std::ostringstream report;
    std::vector<OutputFile> files;
    if (options.sweep) {
      writeSweep(report, options, inputs);
    } else if (options.explain) {
      const CoreCatalogue catalogue;
      designFor(inputs, catalogue);  // a calculation that stops is reported as for the report
      writeExplanation(report, explainDesign(inputs, catalogue));
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
  } catch (const std::exception& error) {
    err << prefix << "internal error: " << error.what() << '\n';
    return kExitFault;
  }
}

}  // namespace fbc
