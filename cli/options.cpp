#include "cli/options.h"

#include <algorithm>

#include <CLI/CLI.hpp>

#include "platform/text.h"

namespace fbc {

namespace {

constexpr std::string_view kProgram = "flyback-calc";

// Raw texts as the parser fills them; the design inputs are converted to UTF-16 afterwards.
struct RawOptions {
  std::string vin = "200";
  std::string vout = "24";
  std::string iout = "10";
  std::string fs = "50000";
  std::string vf = "0.7";
  std::string effi = "80";
  std::string duty = "0.5";
  std::string core = "EER25.5";
  std::string level = "typ";
  std::string format = "text";
  bool sweep = false;
  bool version = false;
  std::string waveformCsv;
  std::string plot;
};

// Options whose presence matters even when their value is empty.
struct FileOptions {
  CLI::Option* waveformCsv = nullptr;
  CLI::Option* plot = nullptr;
};

constexpr std::string_view kFooter =
    "Each value is taken as the text typed into the designer window's box; a value outside the\n"
    "limits is replaced as the window does, with a warning on standard error.\n"
    "\n"
    "--waveform-csv writes one line per sample of the plots' time loop (1001 at 50 kHz):\n"
    "t [s], switch voltage vsw [V] and current isw [A], diode voltage vd [V] and current\n"
    "id [A], each the shortest text that reads back as the same 32-bit float. With \"-\" the\n"
    "CSV goes to standard output in place of the report.\n"
    "--plot draws the switch and diode plots as the window does after one calculation, with\n"
    "the scale and frequency captions beneath, three times the window's size.\n"
    "Files are written whole or not at all.\n"
    "\n"
    "Exit status: 0 done; 2 bad input or usage, or a file that cannot be written (nothing on\n"
    "standard output, one line on standard error); 1 internal fault.\n"
    "\n"
    "Examples:\n"
    "  flyback-calc\n"
    "  flyback-calc --vin 141 --vout 12 --iout 5 --core PQ3230\n"
    "  flyback-calc --level hi --effi 85 --format json\n"
    "  flyback-calc --sweep --fs 100000\n"
    "  flyback-calc --waveform-csv wave.csv --plot wave.png\n"
    "  flyback-calc --fs 100000 --waveform-csv - > wave.csv";

FileOptions defineOptions(CLI::App& app, RawOptions& raw) {
  app.add_option("--vin", raw.vin,
                 "DC input voltage [V], 10 to 1000 (default 200). Example: --vin 141");
  app.add_option("--vout", raw.vout,
                 "output voltage [V], above 0 up to 60; 0 or below becomes 10 (default 24). "
                 "Example: --vout 12");
  app.add_option("--iout", raw.iout,
                 "output current [A], above 0 up to 60; 0 or below becomes 1 (default 10). "
                 "Example: --iout 2.5");
  app.add_option("--fs", raw.fs,
                 "switching frequency [Hz], 10000 to 300000 (default 50000). Example: --fs 1e5");
  app.add_option("--vf", raw.vf,
                 "output-diode forward voltage [V], 0 to 3 (default 0.7). Example: --vf 0.45");
  app.add_option("--effi", raw.effi,
                 "predicted efficiency [%], above 0 (default 80). Example: --effi 85");
  app.add_option("--duty", raw.duty,
                 "duty ratio (on-time / period), strictly between 0 and 1 (default 0.5). "
                 "Example: --duty 0.45");
  app.add_option("--core", raw.core,
                 "catalogue core, exact and case-sensitive (default EER25.5; --sweep shows "
                 "every core). Example: --core PQ3230")
      ->type_name("NAME");
  app.add_option("--level", raw.level,
                 "core temperature level: hi (高温(高め), 0.34 T), typ (普通, 0.2 T) or lo "
                 "(低温(低め), 0.18 T) (default typ). Example: --level hi")
      ->type_name("hi|typ|lo");
  app.add_option(
         "--format", raw.format,
         "output as a readable report (text, the default) or as JSON (json): one object "
         "with inputs, state, labels and scales, or with --sweep an array of one object per "
         "core. Example: --format json")
      ->type_name("text|json");
  app.add_flag("--sweep", raw.sweep,
               "design with every catalogue core, one row each; --core is ignored. "
               "Example: --sweep --format json");
  FileOptions files;
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
  app.add_flag("--version", raw.version, "print the program name and version, then exit");
  return files;
}

CoreLevel toLevel(const std::string& text) {
  for (CoreLevel level : {CoreLevel::Hi, CoreLevel::Typ, CoreLevel::Lo}) {
    if (text == levelName(level)) {
      return level;
    }
  }
  throw UsageError("--level " + text + ": expected hi, typ or lo");
}

OutputFormat toFormat(const std::string& text) {
  if (text == "text") {
    return OutputFormat::Text;
  }
  if (text == "json") {
    return OutputFormat::Json;
  }
  throw UsageError("--format " + text + ": expected text or json");
}

// The parser's messages may span lines; the command line reports exactly one.
std::string oneLine(std::string message) {
  std::replace(message.begin(), message.end(), '\n', ' ');
  while (!message.empty() && message.back() == ' ') {
    message.pop_back();
  }
  return message;
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
      throw UsageError("--plot " + (raw.plot.empty() ? std::string("\"\"") : raw.plot) +
                       ": expected a file name ending in .png or .svg");
    }
    options.plotFormat = *format;
  }
  // A sweep has no one design whose waveforms could be shown.
  if (raw.sweep && (csvAsked || plotAsked)) {
    throw UsageError(std::string(csvAsked ? "--waveform-csv" : "--plot") +
                     " shows one design and cannot be combined with --sweep");
  }
  options.waveformCsv = raw.waveformCsv;
  options.plot = raw.plot;
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
  options.inputs.vin = fromUtf8(raw.vin);
  options.inputs.vout = fromUtf8(raw.vout);
  options.inputs.iout = fromUtf8(raw.iout);
  options.inputs.fs = fromUtf8(raw.fs);
  options.inputs.vf = fromUtf8(raw.vf);
  options.inputs.effi = fromUtf8(raw.effi);
  options.inputs.duty = fromUtf8(raw.duty);
  options.inputs.core = fromUtf8(raw.core);
  options.inputs.level = toLevel(raw.level);
  options.format = toFormat(raw.format);
  options.sweep = raw.sweep;
  checkFileOptions(files, raw, options);
  return result;
}

std::optional<PlotFormat> plotFormatOf(std::string_view path) {
  const std::size_t dot = path.rfind('.');
  if (dot == std::string_view::npos || path.find('/', dot) != std::string_view::npos) {
    return std::nullopt;
  }
  std::string extension(path.substr(dot + 1));
  std::transform(extension.begin(), extension.end(), extension.begin(), [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  });
  if (extension == "png") {
    return PlotFormat::Png;
  }
  if (extension == "svg") {
    return PlotFormat::Svg;
  }
  return std::nullopt;
}

std::string_view levelName(CoreLevel level) {
  switch (level) {
    case CoreLevel::Hi:
      return "hi";
    case CoreLevel::Typ:
      return "typ";
    case CoreLevel::Lo:
      return "lo";
    case CoreLevel::None:
      break;
  }
  return "";
}

std::u16string_view levelCaption(CoreLevel level) {
  switch (level) {
    case CoreLevel::Hi:
      return u"高温(高め)";
    case CoreLevel::Typ:
      return u"普通";
    case CoreLevel::Lo:
      return u"低温(低め)";
    case CoreLevel::None:
      break;
  }
  return u"";
}

}  // namespace fbc
