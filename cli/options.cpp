#include "cli/options.h"

#include <algorithm>
#include <array>
#include <utility>

#include <CLI/CLI.hpp>

#include "cli/batch_reader.h"
#include "design/drawing_number.h"
#include "design/input_rules.h"
#include "platform/number_text.h"
#include "platform/text.h"

namespace fbc {

namespace {

constexpr std::string_view kProgram = "flyback-calc";

// Raw texts as the parser fills them; the design inputs are converted to UTF-16 afterwards.
struct RawOptions {
  // The input texts in kInputPresentationOrder, starting as the window's boxes do.
  std::array<std::string, kInputPresentationOrder.size()> inputs = [] {
    std::array<std::string, kInputPresentationOrder.size()> texts;
    for (std::size_t i = 0; i < texts.size(); ++i) {
      texts[i] = toUtf8(inputInfo(kInputPresentationOrder[i])->startText);
    }
    return texts;
  }();
  std::array<std::string, kReviewInputTable.size()> reviewInputs = [] {
    std::array<std::string, kReviewInputTable.size()> texts;
    for (std::size_t i = 0; i < texts.size(); ++i) {
      texts[i] = toUtf8(kReviewInputTable[i].startText);
    }
    return texts;
  }();
  std::string level = "typ";
  std::string format = "text";
  bool sweep = false;
  bool advise = false;
  bool version = false;
  std::string waveformCsv;
  std::string plot;
  std::string batch;
  bool explain = false;
  std::string sheet;
  std::string spice;
  bool simulate = false;
  std::string drawingNumber;
  // Each --output's value, in order: the further outputs.
  std::vector<std::string> outputs;
};

// Options whose presence matters even when their value is empty.
struct FileOptions {
  CLI::Option* vin = nullptr;
  CLI::Option* waveformCsv = nullptr;
  CLI::Option* plot = nullptr;
  CLI::Option* format = nullptr;
  CLI::Option* batch = nullptr;
  CLI::Option* sheet = nullptr;
  CLI::Option* drawingNumber = nullptr;
  CLI::Option* spice = nullptr;
};

constexpr std::string_view kFooter =
    "Each value is taken as the text typed into the designer window's box; a value outside the\n"
    "limits is replaced as the window does, with a warning on standard error.\n"
    "\n"
    "The engineering review ends every report. It works out the core loss of the ferrite named\n"
    "by --material, the windings' copper loss and the core's temperature at the --ambient\n"
    "temperature, and flags a core hotter than --max-temperature (too-hot) and windings higher\n"
    "than the bobbin (layers-exceed-bobbin); in JSON they are the member \"losses\".\n"
    "The flux at the controller's --current-limit (default 1.2 times the peak current) must\n"
    "stay below the material's saturation at 100 °C (saturates-at-current-limit).\n"
    "It then works out what the switch sees at the highest input --vin-max (default --vin): the\n"
    "leakage inductance, estimated from the winding layout or --leakage as measured, an RCD\n"
    "clamp at --clamp-ratio times the reflected voltage with its resistor and capacitor to buy\n"
    "(E24, E12), the switch's peak voltage, flagged above 80 % of --vds-rating\n"
    "(switch-overvoltage), and the output diode's reverse voltage; in JSON the member\n"
    "\"stress\" (null parts where no clamp is needed), in --batch CSV the columns stress.*.\n"
    "\n"
    "With --vac-min the converter runs from the mains through a bridge and a bulk capacitor\n"
    "(Fairchild AN-4137): the design is made at the capacitor's valley at full load,\n"
    "VDCmin = sqrt(2 VACmin^2 - Pin (1 - Dch) / (Cbulk fL)), and the highest input is\n"
    "sqrt(2) VACmax; without --bulk-capacitance it takes 2 uF per watt of input power below\n"
    "180 VAC, else 1 uF/W, rounded up to E6. In JSON the member \"input\".\n"
    "--output V,I[,Vf] adds an output beside the main one (repeat for each, up to 7) and\n"
    "--bias V[,Vf[,I]] the controller's bias winding: the primary is designed for their total\n"
    "power, each winding's turns follow the main output's (--secondary-turns fixes those),\n"
    "and each takes its share of the secondary current; an output whose voltage from whole\n"
    "turns misses by more than 5 % is flagged (output-voltage-off). In JSON the members\n"
    "\"outputs\" (the main output first) and \"bias\"; in --batch the columns outputs\n"
    "(5/2/0.5;12/1.5/1.2) and bias (12/1.2).\n"
    "\n"
    "--waveform-csv writes one line per sample of the plots' time loop (1001 at 50 kHz):\n"
    "t [s], switch voltage vsw [V] and current isw [A], diode voltage vd [V] and current\n"
    "id [A], each the shortest text that reads back as the same 32-bit float. With \"-\" the\n"
    "CSV goes to standard output in place of the report.\n"
    "--plot draws the switch and diode plots as the window does after one calculation, with\n"
    "the scale and frequency captions beneath, three times the window's size.\n"
    "--sheet writes the design sheet, A4 for the winding shop: inputs, results, both plots\n"
    "as vectors and today's date, titled with --drawing-number when given; one page, and a\n"
    "second where further outputs and their windings do not fit on one.\n"
    "A regular file is written whole or not at all, keeping its permissions; a symbolic link\n"
    "is followed and stays a link; a FIFO, a device or /dev/stdout is written in place.\n"
    "\n"
    "--batch reads CSV (RFC 4180, UTF-8 with or without a byte-order mark, LF or CRLF): a\n"
    "header naming the columns, then one design per row, each from the options' values afresh;\n"
    "blank lines are skipped. Every row is written as it is designed: with --format json one\n"
    "object per line, {\"row\": n, \"status\": \"ok\", ...the JSON report's members} or\n"
    "{\"row\": n, \"status\": \"error\", \"message\": ...}; with --format csv the same in\n"
    "columns named by dotted paths (state.Lp, labels.lblLp, ...), header first.\n"
    "\n"
    "Exit status: 0 done; 2 bad input or usage, or a file that cannot be written (nothing on\n"
    "standard output, one line on standard error), or with --batch any row that failed (every\n"
    "row still written); 1 internal fault.\n"
    "\n"
    "Examples:\n"
    "  flyback-calc\n"
    "  flyback-calc --vin 141 --vout 12 --iout 5 --core PQ3230\n"
    "  flyback-calc --level hi --effi 85 --format json\n"
    "  flyback-calc --sweep --fs 100000\n"
    "  flyback-calc --advise --format json\n"
    "  flyback-calc --core PQ50 --material N87 --ambient 50\n"
    "  flyback-calc --core PQ50 --vin-max 370 --vds-rating 800\n"
    "  flyback-calc --vac-min 85 --vac-max 265 --vout 5 --iout 2 --output 12,1.5,1.2 --bias 15\n"
    "  flyback-calc --waveform-csv wave.csv --plot wave.png\n"
    "  flyback-calc --core EER28 --sheet design.pdf --drawing-number FT-1024\n"
    "  flyback-calc --fs 100000 --waveform-csv - > wave.csv\n"
    "  flyback-calc --explain --vin 141 --core PQ3230\n"
    "  flyback-calc --batch specs.csv --iout 2.5 > designs.csv\n"
    "  flyback-calc --batch - --format json < specs.csv";

// What an input option means and an example value; its limits and default come from the
// design's input table.
struct InputHelp {
  std::string_view meaning;
  std::string_view rule;  // for inputs without a limit rule
  std::string_view example;
};

InputHelp helpFor(DesignInput input) {
  switch (input) {
    case DesignInput::Vin:
      return {"DC input voltage [V]", "", "141"};
    case DesignInput::Vout:
      return {"output voltage [V]", "", "12"};
    case DesignInput::Iout:
      return {"output current [A]", "", "2.5"};
    case DesignInput::Fs:
      return {"switching frequency [Hz]", "", "1e5"};
    case DesignInput::Vf:
      return {"output-diode forward voltage [V]", "", "0.45"};
    case DesignInput::Effi:
      return {"predicted efficiency [%]", "above 0", "85"};
    case DesignInput::Duty:
      return {"duty ratio (on-time / period)", "strictly between 0 and 1", "0.45"};
    case DesignInput::Core:
      return {"catalogue core", "exact and case-sensitive", "PQ3230"};
    case DesignInput::None:
      break;
  }
  return {};
}

std::string numberText(double value) { return toUtf8(generalText(value)); }

// "core material: N97, N87, 3C95 or 3C90 (default N97). Example: --material N87"
std::string reviewOptionHelp(const ReviewInputInfo& info) {
  std::string text(info.description);
  text[0] = static_cast<char>(text[0] - 'A' + 'a');
  text += ", ";
  if (info.input == ReviewInput::Material) {
    text += materialNames(", ", " or ");
  } else if (info.input == ReviewInput::Mode) {
    for (std::size_t i = 0; i < kDriveModes.size(); ++i) {
      text += i == 0 ? "" : i + 1 == kDriveModes.size() ? " or " : ", ";
      text += std::string(driveModeCode(kDriveModes[i])) + " (" +
              std::string(driveModeDescription(kDriveModes[i])) + ")";
    }
  } else if (info.input == ReviewInput::WirePrimary || info.input == ReviewInput::WireSecondary) {
    text += "diameters and thicknesses from " + numberText(kWireDiameterMin) + " to " +
            numberText(kWireDiameterMax) + " mm, 2 to " + std::to_string(kStrandsInHandMax) +
            " wires in hand, 2 to " + std::to_string(kLitzStrandsMax) + " litz strands";
  } else if (info.input == ReviewInput::Arrangement || info.input == ReviewInput::Outputs ||
             info.input == ReviewInput::Bias || info.input == ReviewInput::Insulation ||
             info.input == ReviewInput::Construction || info.input == ReviewInput::Pins) {
    text.resize(text.size() - 2);
  } else if (info.input == ReviewInput::SecondaryTurns) {
    text += "a whole number from " + numberText(info.lower) + " to " + numberText(info.upper);
  } else if (info.lowerExcluded) {
    text += "above " + numberText(info.lower) + " up to " + numberText(info.upper);
  } else {
    text += numberText(info.lower) + " to " + numberText(info.upper);
  }
  if (info.input == ReviewInput::MaxTemperature) {
    text += ", above the ambient";
  } else if (info.input == ReviewInput::VinMax) {
    text += ", at least --vin; not with --vac-min";
  } else if (info.purpose == kMainsPurpose && info.input != ReviewInput::VacMin) {
    text += ", with --vac-min";
  } else if (info.input == ReviewInput::VacMin) {
    text +=
        "; the design is then made at the bulk capacitor's valley, not with --vin or "
        "--vin-max";
  }
  text += " (default ";
  text += info.emptyMeans.empty() ? toUtf8(info.startText) : std::string(info.emptyMeans);
  text += "), " + std::string(info.purpose);
  text += ". Example: --" + std::string(info.key) + " " + std::string(info.example);
  return text;
}

// "10 to 1000", or for a box that refuses its lower bound "above 0 up to 60; 0 or below
// becomes 10".
std::string limitPhrase(LimitedBox box) {
  const LimitRule rule = limitRule(box);
  if (rule.lowerIncluded) {
    return "above " + numberText(rule.lower) + " up to " + numberText(rule.upper) + "; " +
           numberText(rule.lower) + " or below becomes " + toUtf8(rule.lowerText);
  }
  return numberText(rule.lower) + " to " + numberText(rule.upper);
}

std::string optionHelp(const InputInfo& info) {
  const InputHelp help = helpFor(info.input);
  std::string text(help.meaning);
  text += ", ";
  text += info.limit ? limitPhrase(*info.limit) : std::string(help.rule);
  text += " (default " + toUtf8(info.startText);
  if (info.input == DesignInput::Core) {
    text += "; --sweep shows every core";
  }
  text += "). Example: --" + std::string(info.key) + " " + std::string(help.example);
  return text;
}

FileOptions defineOptions(CLI::App& app, RawOptions& raw) {
  CLI::Option* vin = nullptr;
  for (std::size_t i = 0; i < kInputPresentationOrder.size(); ++i) {
    const InputInfo& info = *inputInfo(kInputPresentationOrder[i]);
    CLI::Option* option =
        app.add_option("--" + std::string(info.key), raw.inputs[i], optionHelp(info));
    if (info.input == DesignInput::Core) {
      option->type_name("NAME");
    }
    if (info.input == DesignInput::Vin) {
      vin = option;
    }
  }
  for (std::size_t i = 0; i < kReviewInputTable.size(); ++i) {
    const ReviewInputInfo& info = kReviewInputTable[i];
    const std::string name = "--" + std::string(info.key);
    CLI::Option* option = info.input == ReviewInput::Outputs
                              ? app.add_option(name, raw.outputs, reviewOptionHelp(info))
                                    ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
                                    ->expected(1)
                                    ->allow_extra_args(false)
                              : app.add_option(name, raw.reviewInputs[i], reviewOptionHelp(info));
    option->type_name(std::string(info.typeName));
  }
  app.add_option("--level", raw.level,
                 "core temperature level: hi (高温(高め), 0.34 T), typ (普通, 0.2 T) or lo "
                 "(低温(低め), 0.18 T) (default typ). Example: --level hi")
      ->type_name("hi|typ|lo");
  FileOptions files;
  files.vin = vin;
  files.format =
      app.add_option(
             "--format", raw.format,
             "output as a readable report (text, the default) or as JSON (json): one object "
             "with inputs, state, labels, scales, review, losses, stress, input, outputs, bias "
             "and isolation, or with --sweep an "
             "array of "
             "one object per core; with --batch one JSON object per line (json) or CSV (csv, the "
             "default there). Example: --format json")
          ->type_name("text|json|csv");
  app.add_flag("--sweep", raw.sweep,
               "design with every catalogue core, one row each; --core is ignored. "
               "Example: --sweep --format json");
  app.add_flag("--advise", raw.advise,
               "review the design on every catalogue core at the chosen level and recommend the "
               "smallest that can be built: a table, or with --format json an object "
               "{\"recommended\": name or null, \"cores\": [...]}; --core is ignored. "
               "Example: --advise --vin 141 --level lo");
  files.waveformCsv =
      app.add_option("--waveform-csv", raw.waveformCsv,
                     "write the waveform samples as CSV (header t,vsw,isw,vd,id; SI units) to "
                     "FILE, or with - to standard output instead of the report. Example: "
                     "--waveform-csv wave.csv")
          ->type_name("FILE");
  files.plot = app.add_option("--plot", raw.plot,
                              "draw the switch and diode plots with their captions into a PNG or "
                              "SVG picture, chosen by the extension. Example: --plot wave.svg")
                   ->type_name("FILE.png|FILE.svg");
  files.batch = app.add_option("--batch", raw.batch,
                               "design every row of a CSV file (- for standard input) whose "
                               "header names any of " +
                                   batchColumnList() +
                                   "; a missing column takes the option's value (vinmax: "
                                   "--vin-max's). Example: --batch specs.csv --format json")
                    ->type_name("FILE");
  app.add_flag("--explain", raw.explain,
               "show the calculation step by step, each formula with its operands' values "
               "and the stored result, instead of the report. Example: --explain --vin 141");
  files.sheet =
      app.add_option(
             "--sheet", raw.sheet,
             "write the design sheet, an A4 PDF (further pages where its sections need them) "
             "ending in the transformer page for the winding shop, to FILE. "
             "Example: "
             "--sheet design.pdf")
          ->type_name("FILE.pdf");
  files.drawingNumber =
      app.add_option("--drawing-number", raw.drawingNumber,
                     "the sheet's drawing number (図番), up to 32 half-width characters. "
                     "Example: --drawing-number FT-1024")
          ->type_name("TEXT");
  files.spice = app.add_option("--spice", raw.spice,
                               "write the converter as the review designs it as a commented "
                               "ngspice netlist to FILE. Example: --spice flyback.cir")
                    ->type_name("FILE.cir");
  app.add_flag("--simulate", raw.simulate,
               "run ngspice -b (found on PATH) on the design's netlist and report the simulated "
               "currents and voltages beside the model's, as text or in the JSON member "
               "\"simulation\". Example: --simulate --core PQ50");
  app.add_flag("--version", raw.version, "print the program name and version, then exit");
  return files;
}

CoreLevel toLevel(const std::string& text) {
  if (const std::optional<CoreLevel> level = levelFromName(text)) {
    return *level;
  }
  throw UsageError("--level " + messageQuote(text) + ": expected hi, typ or lo");
}

OutputFormat toFormat(const std::string& text) {
  if (text == "text") {
    return OutputFormat::Text;
  }
  if (text == "json") {
    return OutputFormat::Json;
  }
  if (text == "csv") {
    return OutputFormat::Csv;
  }
  throw UsageError("--format " + messageQuote(text) + ": expected text, json or csv");
}

// Whether the file name ends in "." and `extension` (lower case), in any letter case.
bool hasExtension(std::string_view path, std::string_view extension) {
  const std::size_t dot = path.rfind('.');
  if (dot == std::string_view::npos || path.find('/', dot) != std::string_view::npos) {
    return false;
  }
  std::string found(path.substr(dot + 1));
  std::transform(found.begin(), found.end(), found.begin(), [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  });
  return found == extension;
}

// The parser's messages may span lines; the command line reports exactly one. They repeat the
// arguments they refuse, so they are made safe as the person's own text is.
std::string oneLine(std::string message) {
  std::replace(message.begin(), message.end(), '\n', ' ');
  while (!message.empty() && message.back() == ' ') {
    message.pop_back();
  }
  return messageQuote(message, kLongQuoteLimit);
}

// A file name in a message: "" for an empty one.
std::string quotedFileName(const std::string& path) {
  return path.empty() ? std::string("\"\"") : messageQuote(path, kLongQuoteLimit);
}

// --sheet and its --drawing-number; returns whether the sheet is asked for.
bool checkSheetOptions(const FileOptions& files, const RawOptions& raw) {
  const bool sheetAsked = files.sheet->count() > 0;
  if (sheetAsked && !hasExtension(raw.sheet, "pdf")) {
    throw UsageError("--sheet " + quotedFileName(raw.sheet) +
                     ": expected a file name ending in .pdf");
  }
  if (files.drawingNumber->count() > 0) {
    if (!sheetAsked) {
      throw UsageError("--drawing-number names the design sheet and needs --sheet");
    }
    if (!isValidDrawingNumber(raw.drawingNumber)) {
      throw UsageError("--drawing-number " + messageQuote(raw.drawingNumber) +
                       ": expected at most 32 half-width characters");
    }
  }
  return sheetAsked;
}

// The netlist and the simulation are of one design.
void checkSimulationOptions(const FileOptions& files, const RawOptions& raw, CliOptions& options) {
  const bool spiceAsked = files.spice->count() > 0;
  if (spiceAsked && raw.spice.empty()) {
    throw UsageError("--spice: expected a file name");
  }
  for (const auto& [given, name] :
       {std::pair{raw.sweep, "--sweep"}, std::pair{raw.advise, "--advise"},
        std::pair{files.batch->count() > 0, "--batch"}, std::pair{raw.explain, "--explain"}}) {
    if (!given) {
      continue;
    }
    if (spiceAsked || raw.simulate) {
      throw UsageError(std::string(spiceAsked ? "--spice" : "--simulate") +
                       " is for one design and cannot be combined with " + name);
    }
  }
  if (raw.simulate && raw.waveformCsv == "-") {
    throw UsageError(
        "--simulate reports beside the design and cannot be combined with "
        "--waveform-csv -");
  }
  options.spice = raw.spice;
  options.simulate = raw.simulate;
}

void checkFileOptions(const FileOptions& files, const RawOptions& raw, CliOptions& options) {
  const bool csvAsked = files.waveformCsv->count() > 0;
  const bool plotAsked = files.plot->count() > 0;
  if (csvAsked && raw.waveformCsv.empty()) {
    throw UsageError("--waveform-csv: expected a file name or - for standard output");
  }
  if (plotAsked) {
    const std::optional<PlotFormat> format = plotFormatOf(raw.plot);
    if (!format) {
      throw UsageError("--plot " + quotedFileName(raw.plot) +
                       ": expected a file name ending in .png or .svg");
    }
    options.plotFormat = *format;
  }
  const bool sheetAsked = checkSheetOptions(files, raw);
  // A sweep or the advice has no one design whose waveforms or sheet could be shown.
  if ((raw.sweep || raw.advise) && (csvAsked || plotAsked || sheetAsked)) {
    throw UsageError(std::string(csvAsked    ? "--waveform-csv"
                                 : plotAsked ? "--plot"
                                             : "--sheet") +
                     " shows one design and cannot be combined with " +
                     (raw.sweep ? "--sweep" : "--advise"));
  }
  if (raw.sweep && raw.advise) {
    throw UsageError("--sweep and --advise each list every core; choose one");
  }
  options.waveformCsv = raw.waveformCsv;
  options.plot = raw.plot;
  options.sheet = raw.sheet;
  options.drawingNumber = raw.drawingNumber;
  checkSimulationOptions(files, raw, options);
}

// --batch and --explain each stand alone among the options that choose what is written.
void checkModeOptions(const FileOptions& files, const RawOptions& raw, CliOptions& options) {
  const bool batch = files.batch->count() > 0;
  const bool formatGiven = files.format->count() > 0;
  const struct {
    bool given;
    const char* name;
  } others[] = {
      {raw.sweep, "--sweep"},
      {raw.advise, "--advise"},
      {files.waveformCsv->count() > 0, "--waveform-csv"},
      {files.plot->count() > 0, "--plot"},
      {files.sheet->count() > 0, "--sheet"},
  };
  if (batch) {
    if (raw.batch.empty()) {
      throw UsageError("--batch: expected a file name or - for standard input");
    }
    for (const auto& other : others) {
      if (other.given) {
        throw UsageError(std::string(other.name) +
                         " shows one design and cannot be combined with --batch");
      }
    }
    if (raw.explain) {
      throw UsageError("--explain shows one design and cannot be combined with --batch");
    }
    if (!formatGiven) {
      options.format = OutputFormat::Csv;
    } else if (options.format == OutputFormat::Text) {
      throw UsageError("--batch writes --format json or --format csv");
    }
    options.batch = raw.batch;
  } else if (options.format == OutputFormat::Csv) {
    throw UsageError("--format csv is for --batch");
  }
  if (raw.explain) {
    for (const auto& other : others) {
      if (other.given) {
        throw UsageError("--explain shows the calculation alone and cannot be combined with " +
                         std::string(other.name));
      }
    }
    if (options.format != OutputFormat::Text) {
      throw UsageError("--explain writes text and cannot be combined with --format " +
                       messageQuote(raw.format));
    }
    options.explain = true;
  }
}

}  // namespace

CommandLine parseCommandLine(const std::vector<std::string>& args) {
  CLI::App app{
      "Designs the transformer of a flyback converter in critical conduction: turns,\n"
      "turns ratio, primary inductance, AL value, flux swing, primary current density\n"
      "and the copper-temperature verdict, with the designer window's engine.",
      std::string(kProgram)};
  app.footer(std::string(kFooter));
  app.get_formatter()->column_width(24);
  RawOptions raw;
  const FileOptions files = defineOptions(app, raw);

  CommandLine result;
  // The parser consumes its argument list from the back.
  std::vector<std::string> reversed(args.rbegin(), args.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::CallForHelp&) {
    result.action = CommandLine::Action::Help;
    result.text = app.help();
    return result;
  } catch (const CLI::ParseError& error) {
    throw UsageError(oneLine(error.what()));
  }
  if (raw.version) {
    result.action = CommandLine::Action::Version;
    result.text = std::string(kProgram) + " " + FBC_PROJECT_VERSION + "\n";
    return result;
  }

  CliOptions& options = result.options;
  for (std::size_t i = 0; i < kInputPresentationOrder.size(); ++i) {
    *inputText(options.inputs, kInputPresentationOrder[i]) = fromUtf8(raw.inputs[i]);
  }
  for (std::size_t i = 0; i < kReviewInputTable.size(); ++i) {
    options.reviewInputs.text(kReviewInputTable[i].input) = fromUtf8(raw.reviewInputs[i]);
  }
  // The outputs each --output gave, one list as a batch column writes it.
  std::string outputs;
  for (const std::string& output : raw.outputs) {
    outputs += (outputs.empty() ? "" : ";") + output;
  }
  options.reviewInputs.text(ReviewInput::Outputs) = fromUtf8(outputs);
  options.vinGiven = files.vin->count() > 0;
  options.inputs.level = toLevel(raw.level);
  options.format = toFormat(raw.format);
  options.sweep = raw.sweep;
  options.advise = raw.advise;
  checkFileOptions(files, raw, options);
  checkModeOptions(files, raw, options);
  return result;
}

std::optional<PlotFormat> plotFormatOf(std::string_view path) {
  if (hasExtension(path, "png")) {
    return PlotFormat::Png;
  }
  if (hasExtension(path, "svg")) {
    return PlotFormat::Svg;
  }
  return std::nullopt;
}

}  // namespace fbc
