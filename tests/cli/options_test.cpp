#include "cli/options.h"

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace fbc {
namespace {

TEST(ParseCommandLine, NoArgumentsGiveTheWindowsStartValues) {
  const CommandLine line = parseCommandLine({});
  ASSERT_EQ(line.action, CommandLine::Action::Run);
  const CliOptions& options = line.options;
  EXPECT_EQ(options.inputs.vin, u"200");
  EXPECT_EQ(options.inputs.vout, u"24");
  EXPECT_EQ(options.inputs.iout, u"10");
  EXPECT_EQ(options.inputs.fs, u"50000");
  EXPECT_EQ(options.inputs.vf, u"0.7");
  EXPECT_EQ(options.inputs.effi, u"80");
  EXPECT_EQ(options.inputs.duty, u"0.5");
  EXPECT_EQ(options.inputs.core, u"EER25.5");
  EXPECT_EQ(options.inputs.level, CoreLevel::Typ);
  EXPECT_EQ(options.format, OutputFormat::Text);
  EXPECT_FALSE(options.sweep);
  EXPECT_EQ(options.waveformCsv, "");
  EXPECT_EQ(options.plot, "");
}

struct TextOptionCase {
  std::vector<std::string> args;
  std::u16string DesignInputs::*field;
  std::u16string expected;
};

TEST(ParseCommandLine, EachValueOptionKeepsItsTextAsTyped) {
  // Values stay texts: no trimming, no conversion, nothing checked yet.
  const std::vector<TextOptionCase> cases{
      {{"--vin", "141"}, &DesignInputs::vin, u"141"},
      {{"--vin=abc"}, &DesignInputs::vin, u"abc"},
      {{"--vout", " 24"}, &DesignInputs::vout, u" 24"},
      {{"--vout", "-3"}, &DesignInputs::vout, u"-3"},
      {{"--iout", "2.5"}, &DesignInputs::iout, u"2.5"},
      {{"--fs", "1e5"}, &DesignInputs::fs, u"1e5"},
      {{"--vf", ""}, &DesignInputs::vf, u""},
      {{"--effi", "90"}, &DesignInputs::effi, u"90"},
      {{"--duty", "1"}, &DesignInputs::duty, u"1"},
      {{"--core", "PQ3230"}, &DesignInputs::core, u"PQ3230"},
      {{"--core", "pq2016"}, &DesignInputs::core, u"pq2016"},
      {{"--vin", "２００"}, &DesignInputs::vin, u"２００"},
  };
  for (const TextOptionCase& c : cases) {
    SCOPED_TRACE(c.args.front());
    const CommandLine line = parseCommandLine(c.args);
    ASSERT_EQ(line.action, CommandLine::Action::Run);
    EXPECT_EQ(line.options.inputs.*c.field, c.expected);
    // The other inputs keep their defaults.
    DesignInputs expected;
    expected.*c.field = c.expected;
    EXPECT_EQ(line.options.inputs.vin, expected.vin);
    EXPECT_EQ(line.options.inputs.duty, expected.duty);
    EXPECT_EQ(line.options.inputs.core, expected.core);
  }
}

TEST(ParseCommandLine, ChoicesAndFlags) {
  struct Case {
    std::vector<std::string> args;
    CoreLevel level;
    OutputFormat format;
    bool sweep;
  };
  const std::vector<Case> cases{
      {{"--level", "hi"}, CoreLevel::Hi, OutputFormat::Text, false},
      {{"--level", "typ"}, CoreLevel::Typ, OutputFormat::Text, false},
      {{"--level=lo"}, CoreLevel::Lo, OutputFormat::Text, false},
      {{"--format", "json"}, CoreLevel::Typ, OutputFormat::Json, false},
      {{"--format", "text"}, CoreLevel::Typ, OutputFormat::Text, false},
      {{"--sweep"}, CoreLevel::Typ, OutputFormat::Text, true},
      {{"--sweep", "--format", "json", "--level", "lo"}, CoreLevel::Lo, OutputFormat::Json, true},
  };
  for (const Case& c : cases) {
    std::string name;
    for (const std::string& arg : c.args) {
      name += arg + " ";
    }
    SCOPED_TRACE(name);
    const CommandLine line = parseCommandLine(c.args);
    ASSERT_EQ(line.action, CommandLine::Action::Run);
    EXPECT_EQ(line.options.inputs.level, c.level);
    EXPECT_EQ(line.options.format, c.format);
    EXPECT_EQ(line.options.sweep, c.sweep);
  }
}

TEST(ParseCommandLine, BadCommandLinesGiveOneLineNamingTheProblem) {
  struct Case {
    std::vector<std::string> args;
    std::string mentioned;
  };
  const std::vector<Case> cases{
      {{"--level", "medium"}, "--level medium"},
      {{"--level", "HI"}, "--level HI"},
      {{"--format", "xml"}, "--format xml"},
      {{"--colour"}, "--colour"},
      {{"200"}, "200"},
      {{"--vin"}, "--vin"},
      {{"--fs", "50000", "--fs", "60000"}, "--fs"},
      {{"--sweep=maybe"}, "--sweep"},
      {{"--plot", "wave.pdf"}, "--plot wave.pdf"},
      {{"--plot", "wave"}, "--plot wave"},
      {{"--plot", "png"}, "--plot png"},
      {{"--plot", "out.svg/wave"}, "--plot out.svg/wave"},
      {{"--plot", ""}, "--plot \"\""},
      {{"--plot"}, "--plot"},
      {{"--waveform-csv", ""}, "--waveform-csv"},
      {{"--waveform-csv"}, "--waveform-csv"},
      {{"--sweep", "--waveform-csv", "w.csv"}, "--sweep"},
      {{"--plot", "p.svg", "--sweep"}, "--sweep"},
      {{"--sheet", "design.png"}, "--sheet design.png"},
      {{"--sheet", ""}, "--sheet \"\""},
      {{"--sheet"}, "--sheet"},
      {{"--sheet", "s.pdf", "--sweep"}, "--sweep"},
      {{"--drawing-number", "FT-1"}, "--drawing-number"},
      {{"--sheet", "s.pdf", "--drawing-number", "図番-1"}, "--drawing-number 図番-1"},
      {{"--sheet", "s.pdf", "--drawing-number", "ＦＴ１"}, "--drawing-number ＦＴ１"},
      {{"--sheet", "s.pdf", "--drawing-number", "A\tB"}, "--drawing-number"},
      {{"--sheet", "s.pdf", "--drawing-number", std::string(33, 'X')}, "--drawing-number"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.front());
    try {
      parseCommandLine(c.args);
      ADD_FAILURE() << "accepted";
    } catch (const UsageError& error) {
      const std::string message = error.what();
      EXPECT_NE(message.find(c.mentioned), std::string::npos) << message;
      EXPECT_EQ(message.find('\n'), std::string::npos) << message;
    }
  }
}

TEST(ParseCommandLine, HelpDocumentsEveryOptionWithAnExample) {
  for (const char* flag : {"--help", "-h"}) {
    SCOPED_TRACE(flag);
    const CommandLine line = parseCommandLine({flag});
    ASSERT_EQ(line.action, CommandLine::Action::Help);
    for (const char* option : {"--vin",        "--vout",    "--iout",
                               "--fs",         "--vf",      "--effi",
                               "--duty",       "--core",    "--level",
                               "--format",     "--sweep",   "--waveform-csv",
                               "--plot",       "--sheet",   "--drawing-number",
                               "--material",   "--ambient", "--max-temperature",
                               "--vin-max",    "--leakage", "--clamp-ratio",
                               "--vds-rating", "--version"}) {
      EXPECT_NE(line.text.find(option), std::string::npos) << option;
    }
    for (const char* example : {"--vin 141",
                                "--fs 1e5",
                                "--duty 0.45",
                                "--core PQ3230",
                                "--level hi",
                                "--format json",
                                "--waveform-csv wave.csv",
                                "--plot wave.svg",
                                "--waveform-csv - >",
                                "--sheet design.pdf",
                                "--drawing-number FT-1024",
                                "--material N87",
                                "--ambient 25",
                                "--max-temperature 110",
                                "Examples:",
                                "flyback-calc --core PQ50 --material N87 --ambient 50\n",
                                "in JSON they are the member \"losses\"",
                                "--vin-max 370",
                                "--leakage 4.5e-6",
                                "--clamp-ratio 2",
                                "--vds-rating 800",
                                "the member\n\"stress\"",
                                "flyback-calc --core PQ50 --vin-max 370 --vds-rating 800\n"}) {
      EXPECT_NE(line.text.find(example), std::string::npos) << example;
    }
    // The batch's columns come from the same tables as the options.
    EXPECT_NE(
        line.text.find("header names any of vin, vout, iout, fs, vf, effi, duty, core, "
                       "level, material, ambient, max-temperature, current-limit, vinmax, leakage, "
                       "clamp-ratio, vds-rating, mode, ripple, "
                       "drain-capacitance, wire-primary, "
                       "wire-secondary, arrangement, vac-min, vac-max, line-frequency, "
                       "bulk-capacitance, charge-duty, outputs, bias, secondary-turns, insulation, "
                       "construction, working-voltage, pins;"),
        std::string::npos);
  }
}

TEST(ParseCommandLine, WaveformFilesAndThePlotFormatByExtension) {
  struct Case {
    std::vector<std::string> args;
    std::string csv;
    std::string plot;
    PlotFormat format;
  };
  const std::vector<Case> cases{
      {{"--waveform-csv", "wave.csv"}, "wave.csv", "", PlotFormat::Png},
      {{"--waveform-csv", "-"}, "-", "", PlotFormat::Png},
      {{"--waveform-csv=-", "--format", "json"}, "-", "", PlotFormat::Png},
      {{"--plot", "wave.png"}, "", "wave.png", PlotFormat::Png},
      {{"--plot", "out/wave.svg"}, "", "out/wave.svg", PlotFormat::Svg},
      {{"--plot", "WAVE.SVG"}, "", "WAVE.SVG", PlotFormat::Svg},
      {{"--plot=a.b.Png", "--waveform-csv", "a.csv"}, "a.csv", "a.b.Png", PlotFormat::Png},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.front());
    const CommandLine line = parseCommandLine(c.args);
    ASSERT_EQ(line.action, CommandLine::Action::Run);
    EXPECT_EQ(line.options.waveformCsv, c.csv);
    EXPECT_EQ(line.options.plot, c.plot);
    EXPECT_EQ(line.options.plotFormat, c.format);
  }
}

TEST(ParseCommandLine, SheetAndItsDrawingNumber) {
  struct Case {
    std::vector<std::string> args;
    std::string sheet;
    std::string drawingNumber;
  };
  const std::vector<Case> cases{
      {{}, "", ""},
      {{"--sheet", "design.pdf"}, "design.pdf", ""},
      {{"--sheet", "out/A.PDF", "--drawing-number", "FT-1024 rev.B"}, "out/A.PDF", "FT-1024 rev.B"},
      {{"--drawing-number", "", "--sheet=s.pdf"}, "s.pdf", ""},
      {{"--sheet", "s.pdf", "--drawing-number", std::string(32, '~')},
       "s.pdf",
       std::string(32, '~')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sheet + " " + c.drawingNumber);
    const CommandLine line = parseCommandLine(c.args);
    EXPECT_EQ(line.options.sheet, c.sheet);
    EXPECT_EQ(line.options.drawingNumber, c.drawingNumber);
  }
}

TEST(PlotFormatOf, GoesByTheLastExtensionOfTheFileName) {
  const struct {
    const char* path;
    std::optional<PlotFormat> format;
  } cases[] = {
      {"a.png", PlotFormat::Png},
      {"a.PnG", PlotFormat::Png},
      {"dir.svg/a.png", PlotFormat::Png},
      {".svg", PlotFormat::Svg},
      {"a.png.svg", PlotFormat::Svg},
      {"a.svg.txt", std::nullopt},
      {"a.svg/", std::nullopt},
      {"a.svg/b", std::nullopt},
      {"apng", std::nullopt},
      {"a.", std::nullopt},
      {"", std::nullopt},
      {"a.jpeg", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(plotFormatOf(c.path), c.format);
  }
}

TEST(ParseCommandLine, VersionNamesTheProgramAndItsVersion) {
  const CommandLine line = parseCommandLine({"--version"});
  ASSERT_EQ(line.action, CommandLine::Action::Version);
  EXPECT_EQ(line.text, std::string("flyback-calc ") + FBC_PROJECT_VERSION + "\n");
}

TEST(LevelNames, MatchTheCommandLineAndTheWindowsCaptions) {
  EXPECT_EQ(levelName(CoreLevel::Hi), "hi");
  EXPECT_EQ(levelName(CoreLevel::Typ), "typ");
  EXPECT_EQ(levelName(CoreLevel::Lo), "lo");
  EXPECT_EQ(levelCaption(CoreLevel::Hi), u"高温(高め)");
  EXPECT_EQ(levelCaption(CoreLevel::Typ), u"普通");
  EXPECT_EQ(levelCaption(CoreLevel::Lo), u"低温(低め)");
}

}  // namespace
}  // namespace fbc
