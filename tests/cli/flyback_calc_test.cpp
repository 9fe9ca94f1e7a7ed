#include "cli/flyback_calc.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "design/design_state_members.h"

#include "platform/number_text.h"

namespace fbc {
namespace {

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

Outcome run(const std::vector<std::string>& args) {
  std::ostringstream out;
  std::ostringstream err;
  Outcome result;
  result.status = runFlybackCalc(args, out, err);
  result.out = out.str();
  result.err = err.str();
  return result;
}

std::string joined(const std::vector<std::string>& args) {
  std::string text;
  for (const std::string& arg : args) {
    text += (text.empty() ? "" : " ") + arg;
  }
  return text;
}

float jsonFloat(const nlohmann::json& value) { return static_cast<float>(value.get<double>()); }

TEST(ApplyLimitRules, ReplacesOutOfRangeTextsAsTheWindowDoesAndWarns) {
  struct Case {
    std::u16string DesignInputs::*field;
    std::u16string given;
    std::u16string used;
    std::string warning;  // empty: the text stays as typed
  };
  const std::vector<Case> cases{
      {&DesignInputs::fs, u"2", u"10000", "--fs 2 is outside the limits; using 10000"},
      {&DesignInputs::fs, u"9999", u"10000", "--fs 9999 is outside the limits; using 10000"},
      {&DesignInputs::fs, u"300001", u"300000", "--fs 300001 is outside the limits; using 300000"},
      {&DesignInputs::fs, u"300000", u"300000", ""},
      {&DesignInputs::fs, u"1e5", u"1e5", ""},
      {&DesignInputs::vin, u"1000.5", u"1000", "--vin 1000.5 is outside the limits; using 1000"},
      {&DesignInputs::vin, u"9.99", u"10", "--vin 9.99 is outside the limits; using 10"},
      {&DesignInputs::vin, u"10", u"10", ""},
      {&DesignInputs::vout, u"60.01", u"60", "--vout 60.01 is outside the limits; using 60"},
      {&DesignInputs::vout, u"0", u"10", "--vout 0 is outside the limits; using 10"},
      {&DesignInputs::vout, u"-3", u"10", "--vout -3 is outside the limits; using 10"},
      {&DesignInputs::vout, u" 24", u" 24", ""},
      {&DesignInputs::vout, u"60.0", u"60.0", ""},
      {&DesignInputs::iout, u"61", u"60", "--iout 61 is outside the limits; using 60"},
      {&DesignInputs::iout, u"0", u"1", "--iout 0 is outside the limits; using 1"},
      {&DesignInputs::iout, u"0.001", u"0.001", ""},
      {&DesignInputs::vf, u"3.2", u"3", "--vf 3.2 is outside the limits; using 3"},
      {&DesignInputs::vf, u"-0.1", u"0", "--vf -0.1 is outside the limits; using 0"},
      {&DesignInputs::vf, u"0", u"0", ""},
  };
  for (const Case& c : cases) {
    DesignInputs inputs;
    inputs.*c.field = c.given;
    SCOPED_TRACE(c.warning.empty() ? "stays" : c.warning);
    const std::vector<std::string> warnings = applyLimitRules(inputs);
    EXPECT_EQ(inputs.*c.field, c.used);
    if (c.warning.empty()) {
      EXPECT_TRUE(warnings.empty());
    } else {
      EXPECT_EQ(warnings, std::vector<std::string>{c.warning});
    }
  }
}

TEST(ApplyLimitRules, NamesTheOptionOfATextThatIsNotANumber) {
  struct Case {
    std::u16string DesignInputs::*field;
    std::u16string given;
    std::string message;
  };
  const std::vector<Case> cases{
      {&DesignInputs::vin, u"abc", "--vin abc: not a number"},
      {&DesignInputs::vout, u"-", "--vout -: not a number"},
      {&DesignInputs::iout, u"1e", "--iout 1e: not a number"},
      {&DesignInputs::fs, u"50 kHz", "--fs \"50 kHz\": not a number"},
      {&DesignInputs::vf, u"", "--vf \"\": not a number"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    DesignInputs inputs;
    inputs.*c.field = c.given;
    try {
      applyLimitRules(inputs);
      ADD_FAILURE() << "accepted";
    } catch (const InputError& error) {
      EXPECT_EQ(std::string(error.what()), c.message);
    }
  }
}

TEST(FlybackCalc, WorkedExampleAsJsonMatchesTheEngine) {
  const Outcome result = run({"--format", "json"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err, "");
  const nlohmann::json json = nlohmann::json::parse(result.out);

  const DesignReport expected = designFor(DesignInputs{}, CoreCatalogue{});
  const DesignState& s = expected.state;
  const nlohmann::json& state = json.at("state");
  for (const StateMember& m : kStateMembers) {
    SCOPED_TRACE(m.name);
    EXPECT_EQ(jsonFloat(state.at(std::string(m.name))), s.*m.member);
  }
  EXPECT_EQ(state.at("CoreSel"), "EER25.5");
  EXPECT_EQ(jsonFloat(state.at("Iin")), 1.5F);
  EXPECT_EQ(generalText(jsonFloat(state.at("Ns"))), u"27.56696");
  EXPECT_EQ(generalText(jsonFloat(state.at("Im"))), u"36.32921");

  const nlohmann::json& labels = json.at("labels");
  EXPECT_EQ(labels.at("lblCuondo"),
            "銅線温度上昇が大きく危険です。コアを大きくするか容量をへらしましょう。");
  EXPECT_EQ(labels.at("lbltest"), "8.125668E-09,202.5396,0.2204155,36.32921");
  EXPECT_EQ(labels.at("lblIin"), "1.5");
  EXPECT_EQ(labels.at("lblNt"), "1 : 0.136");
  EXPECT_EQ(labels.at("lblLp"), "333.333[uH]");
  EXPECT_NE(labels.at("lblinfo").get<std::string>().find("タルミナ電機<"), std::string::npos);
  EXPECT_EQ(json.at("inputs").at("level"), "typ");
}

TEST(FlybackCalc, LevelsAndCoresGiveTheKnownFigures) {
  struct Case {
    std::vector<std::string> args;
    std::u16string ns;  // as the window shows them, to 7 significant digits
    std::u16string im;
  };
  const std::vector<Case> cases{
      {{"--level", "hi"}, u"16.21586", u"21.37012"}, {{"--level", "lo"}, u"30.62996", u"40.36579"},
      {{"--core", "EER40"}, u"", u"4.646439"},       {{"--core", "EER49"}, u"", u"3.193523"},
      {{"--core", "PQ40"}, u"", u"1.710706"},        {{"--core", "PQ50"}, u"", u"0.8440222"},
      {{"--core", "EC90"}, u"", u"0.1061544"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(joined(c.args));
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"--format", "json"});
    const Outcome result = run(args);
    ASSERT_EQ(result.status, 0) << result.err;
    const nlohmann::json json = nlohmann::json::parse(result.out);
    const nlohmann::json& state = json.at("state");
    if (!c.ns.empty()) {
      EXPECT_EQ(generalText(jsonFloat(state.at("Ns"))), c.ns);
    }
    EXPECT_EQ(generalText(jsonFloat(state.at("Im"))), c.im);
  }
}

TEST(FlybackCalc, ReplacedValueIsUsedAndWarnedAbout) {
  const Outcome result = run({"--fs", "2", "--vout", "0", "--format", "json"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err,
            "flyback-calc: warning: --vout 0 is outside the limits; using 10\n"
            "flyback-calc: warning: --fs 2 is outside the limits; using 10000\n");
  const nlohmann::json json = nlohmann::json::parse(result.out);
  EXPECT_EQ(json.at("inputs").at("fs"), "10000");
  EXPECT_EQ(json.at("inputs").at("vout"), "10");
  EXPECT_EQ(jsonFloat(json.at("state").at("Vout")), 10.0F);
  EXPECT_FLOAT_EQ(jsonFloat(json.at("state").at("T")), 1e-04F);
}

TEST(FlybackCalc, TextReportAndSweep) {
  const Outcome report = run({});
  ASSERT_EQ(report.status, 0) << report.err;
  for (const char* expected :
       {"27.56696 turns", "202.5396 turns", "1 : 0.136", "333.333 µH", "8.125668E-09",
        "0.2204155 T", "36.32921 A/mm²", "1.5 A", "銅線温度上昇が大きく危険です。"}) {
    EXPECT_NE(report.out.find(expected), std::string::npos) << expected;
  }

  const Outcome table = run({"--sweep"});
  ASSERT_EQ(table.status, 0) << table.err;
  std::istringstream lines(table.out);
  std::vector<std::string> rows;
  for (std::string line; std::getline(lines, line);) {
    rows.push_back(line);
  }
  ASSERT_EQ(rows.size(), 19U);  // heading and 18 cores
  EXPECT_EQ(rows[1].rfind("EER25.5 ", 0), 0U);
  EXPECT_EQ(rows[18].rfind("PQ50 ", 0), 0U);

  const Outcome json = run({"--sweep", "--format", "json", "--core", "PQ40"});
  ASSERT_EQ(json.status, 0) << json.err;
  const nlohmann::json array = nlohmann::json::parse(json.out);
  ASSERT_EQ(array.size(), 18U);
  EXPECT_EQ(array.at(0).at("core"), "EER25.5");
  EXPECT_EQ(array.at(8).at("core"), "EC90");
  EXPECT_EQ(generalText(jsonFloat(array.at(8).at("Im"))), u"0.1061544");
  EXPECT_EQ(array.at(7).at("lblCuondo"), "銅線温度上昇は調度よいです。");
}

TEST(FlybackCalc, BadInputExitsWithStatusTwoAndOneLineNamingTheProblem) {
  struct Case {
    std::vector<std::string> args;
    std::vector<std::string> mentioned;
  };
  const std::vector<Case> cases{
      {{"--vin", "abc"}, {"--vin abc", "not a number"}},
      {{"--effi", "abc"}, {"--effi abc", "not a number"}},
      {{"--duty", ""}, {"--duty \"\"", "not a number"}},
      {{"--effi", "0"}, {"--effi 0", "step 2", "Iin"}},
      {{"--effi", "-5"}, {"--effi -5", "step 14", "Np"}},
      {{"--duty", "1"}, {"--duty 1", "strictly between 0 and 1", "step 11", "AL"}},
      {{"--duty", "0"}, {"--duty 0", "step 15", "Nt"}},
      {{"--duty", "1.5"}, {"--duty 1.5", "step 14", "Np"}},
      {{"--core", "pq2016"}, {"--core pq2016", "not a catalogue core", "PQ2016"}},
      {{"--core", "END"}, {"--core END", "not a catalogue core"}},
      {{"--sweep", "--duty", "1"}, {"--duty 1", "AL"}},
      {{"--fs", "2", "--duty", "1"}, {"--duty 1"}},
      {{"--level", "warm"}, {"--level warm", "--help"}},
      {{"--format", "xml"}, {"--format xml"}},
      {{"--bogus"}, {"--bogus"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(joined(c.args));
    const Outcome result = run(c.args);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    ASSERT_FALSE(result.err.empty());
    EXPECT_EQ(result.err.rfind("flyback-calc: ", 0), 0U) << result.err;
    EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << result.err;
    for (const std::string& part : c.mentioned) {
      EXPECT_NE(result.err.find(part), std::string::npos) << part << " in " << result.err;
    }
  }
}

// The review's conditions are checked before anything is designed or written, in every mode.
TEST(FlybackCalc, ReviewConditionsThatCannotBeUsedGiveOneLineAndStatusTwo) {
  const struct {
    std::vector<std::string> args;
    std::string err;
  } cases[] = {
      {{"--material", "X"}, "--material X: expected N97, N87, 3C95 or 3C90"},
      {{"--material", "n87"}, "--material n87: expected N97, N87, 3C95 or 3C90"},
      {{"--material", ""}, "--material \"\": expected N97, N87, 3C95 or 3C90"},
      {{"--ambient", "abc"}, "--ambient abc: not a number"},
      {{"--ambient", "300"}, "--ambient 300: must lie between -40 and 125"},
      {{"--ambient", "-40.5"}, "--ambient -40.5: must lie between -40 and 125"},
      {{"--ambient", "1e999"}, "--ambient 1e999: must lie between -40 and 125"},
      {{"--max-temperature", "251"}, "--max-temperature 251: must lie between 0 and 250"},
      {{"--max-temperature", "30", "--ambient", "40"},
       "--max-temperature 30: must lie above the ambient temperature"},
      {{"--max-temperature", "40"}, "--max-temperature 40: must lie above the ambient temperature"},
      // The material is judged first, then the ambient, then the limit.
      {{"--material", "X", "--ambient", "300"}, "--material X: expected N97, N87, 3C95 or 3C90"},
      {{"--ambient", "300", "--max-temperature", "30"},
       "--ambient 300: must lie between -40 and 125"},
      {{"--sweep", "--ambient", "300"}, "--ambient 300: must lie between -40 and 125"},
      {{"--advise", "--material", "X"}, "--material X: expected N97, N87, 3C95 or 3C90"},
      {{"--explain", "--ambient", "abc"}, "--ambient abc: not a number"},
      {{"--format", "json", "--max-temperature", "20"},
       "--max-temperature 20: must lie above the ambient temperature"},
      {{"--waveform-csv", "-", "--material", "N27"},
       "--material N27: expected N97, N87, 3C95 or 3C90"},
      // The switch's conditions: the highest input is judged against the design's Vin after the
      // limit rules, in every mode.
      {{"--vin-max", "150"}, "--vin-max 150: must be at least the input voltage 200 V"},
      {{"--vin", "300", "--vin-max", "250", "--format", "json"},
       "--vin-max 250: must be at least the input voltage 300 V"},
      {{"--vin", "5", "--vin-max", "8"}, "--vin-max 8: must be at least the input voltage 10 V"},
      {{"--sweep", "--vin-max", "150"}, "--vin-max 150: must be at least the input voltage 200 V"},
      {{"--advise", "--vin-max", "150"}, "--vin-max 150: must be at least the input voltage 200 V"},
      {{"--explain", "--vin-max", "150"},
       "--vin-max 150: must be at least the input voltage 200 V"},
      {{"--vin-max", "1001"}, "--vin-max 1001: must lie between 0 and 1000"},
      {{"--vin-max", "abc"}, "--vin-max abc: not a number"},
      {{"--leakage", "-1e-6"}, "--leakage -1e-6: must lie between 0 and 1"},
      {{"--leakage", "1.5"}, "--leakage 1.5: must lie between 0 and 1"},
      {{"--clamp-ratio", "1"}, "--clamp-ratio 1: must lie above 1 and at most 10"},
      {{"--clamp-ratio", "10.5"}, "--clamp-ratio 10.5: must lie above 1 and at most 10"},
      {{"--clamp-ratio", ""}, "--clamp-ratio \"\": not a number"},
      {{"--vds-rating", "0"}, "--vds-rating 0: must lie between 1 and 10000"},
      // The current limit: above zero, a number, and at least half the peak current (6 A on
      // PQ50), in every use of one design and in the advice.
      {{"--current-limit", "0"}, "--current-limit 0: must lie above 0 and at most 1000000"},
      {{"--current-limit", "-1"}, "--current-limit -1: must lie above 0 and at most 1000000"},
      {{"--current-limit", "seven"}, "--current-limit seven: not a number"},
      {{"--core", "PQ50", "--current-limit", "2.9"},
       "--current-limit 2.9: must be at least half the primary peak current 6 A"},
      {{"--core", "PQ50", "--current-limit", "2.9", "--format", "json"},
       "--current-limit 2.9: must be at least half the primary peak current 6 A"},
      {{"--advise", "--current-limit", "2.9"},
       "--current-limit 2.9: must be at least half the primary peak current 6 A"},
      {{"--explain", "--core", "PQ50", "--current-limit", "2.9"},
       "--current-limit 2.9: must be at least half the primary peak current 6 A"},
      // A condition that cannot be read at all is named before the highest input is compared.
      {{"--vin-max", "150", "--clamp-ratio", "1"},
       "--clamp-ratio 1: must lie above 1 and at most 10"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(joined(c.args));
    const Outcome result = run(c.args);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "flyback-calc: " + c.err + "\n");
  }
  // The limits themselves are accepted.
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"--ambient", "-40", "--max-temperature", "0"},
           {"--ambient", "125", "--max-temperature", "250"},
           {"--material", " 3C90 "},
           // Empty: the design's Vin and the estimate.
           {"--vin-max", "", "--leakage", " "},
           // The design's Vin is a 32-bit value.
           {"--vin", "141.3", "--vin-max", "141.3"},
           {"--vin", "141", "--vin-max", "150"},
           {"--leakage", "0", "--vds-rating", "1"},
           {"--leakage", "1", "--clamp-ratio", "10", "--vds-rating", "10000"}}) {
    SCOPED_TRACE(joined(args));
    const Outcome result = run(args);
    EXPECT_EQ(result.status, 0) << result.err;
  }
}

TEST(FlybackCalc, OptionValuesInMessagesAreMadeSafeAndCut) {
  const struct {
    std::vector<std::string> args;
    std::string err;
  } cases[] = {
      {{"--vin", "1\n2"}, "flyback-calc: --vin 1\\x0A2: not a number\n"},
      {{"--vout", "\x1B[31m24"}, "flyback-calc: --vout \\x1B[31m24: not a number\n"},
      {{"--fs", "5 \r0"}, "flyback-calc: --fs \"5 \\x0D0\": not a number\n"},
      {{"--core", std::string(70, 'X')},
       "flyback-calc: --core " + std::string(60, 'X') + "…: not a catalogue core"},
      {{"--ambient",
        "4\xE2\x80\xAE"
        "0"},
       "flyback-calc: --ambient 4\\u{202E}0: not a number\n"},
      {{"--material", "N\xFF"},
       "flyback-calc: --material N\xEF\xBF\xBD: expected N97, N87, 3C95 or 3C90\n"},
      {{"--level", "hi\n"}, "flyback-calc: --level hi\\x0A: expected hi, typ or lo (see --help)\n"},
      {{"--format", std::string(80, 'j')},
       "flyback-calc: --format " + std::string(60, 'j') +
           "…: expected text, json or csv (see "
           "--help)\n"},
      {{"--plot", "a\tb.gif"},
       "flyback-calc: --plot a\\x09b.gif: expected a file name ending in .png or .svg (see "
       "--help)\n"},
      {{"--batch", "/nonexistent/\x1B[2J.csv"},
       "flyback-calc: --batch /nonexistent/\\x1B[2J.csv: No such file or directory\n"},
      {{"stray\x1B[2Jargument"}, "\\x1B[2Jargument"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(joined(c.args));
    const Outcome result = run(c.args);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << result.err;
    EXPECT_EQ(result.err.find('\x1B'), std::string::npos) << result.err;
    if (c.err.ends_with('\n')) {
      EXPECT_EQ(result.err, c.err);
    } else {
      EXPECT_NE(result.err.find(c.err), std::string::npos) << result.err;
    }
  }
}

TEST(FlybackCalc, JsonScalesOfTheWorkedExample) {
  const Outcome result = run({"--format", "json"});
  ASSERT_EQ(result.status, 0) << result.err;
  const nlohmann::json scales = nlohmann::json::parse(result.out).at("scales");
  EXPECT_NEAR(scales.at("VdsPeak").get<double>(), 381.5, 0.05);
  EXPECT_NEAR(scales.at("Vrev").get<double>(), 51.22, 0.005);
  EXPECT_NEAR(scales.at("IdPeak").get<double>(), 44.08, 0.005);
  EXPECT_EQ(scales.at("fullScaleVsw"), 500);
  EXPECT_EQ(scales.at("fullScaleIsw"), 10);
  EXPECT_EQ(scales.at("fullScaleVd"), 80);
  EXPECT_EQ(scales.at("fullScaleId"), 80);
  EXPECT_EQ(scales.at("lblpic1_1"), "fs=50kHz");
  EXPECT_EQ(scales.at("lbldiv1"), "スイッチ電圧電流[125V/div][2.5A/div]");
  EXPECT_EQ(scales.at("lbldiv2"), "ダイオード電圧電流[20V/div][20A/div]");

  // The figures are the stage's own, to the last bit.
  const DesignReport expected = designFor(DesignInputs{}, CoreCatalogue{});
  ASSERT_TRUE(expected.scales.has_value());
  EXPECT_EQ(jsonFloat(scales.at("VdsPeak")), expected.scales->VdsPeak);
  EXPECT_EQ(jsonFloat(scales.at("Vrev")), expected.scales->Vrev);
  EXPECT_EQ(jsonFloat(scales.at("IdPeak")), expected.scales->IdPeak);
}

TEST(FlybackCalc, ScalesFollowTheInputs) {
  struct Case {
    std::vector<std::string> args;
    const char* lblpic1_1;
    const char* lbldiv1;
    const char* lbldiv2;
  };
  const std::vector<Case> cases{
      {{"--fs", "100000"},
       "fs=100kHz",
       "スイッチ電圧電流[125V/div][2.5A/div]",
       "ダイオード電圧電流[20V/div][20A/div]"},
      // VdsPeak 1907 V, Ip 1.2 A.
      {{"--vin", "1000"},
       "fs=50kHz",
       "スイッチ電圧電流[500V/div][0.5A/div]",
       "ダイオード電圧電流[20V/div][20A/div]"},
      // Ip 90 A, Vrev 127 V, IdPeak 267 A.
      {{"--vout", "60", "--iout", "60"},
       "fs=50kHz",
       "スイッチ電圧電流[125V/div][10A/div]",
       "ダイオード電圧電流[40V/div][20A/div]"},
      // Ip 0.0125 A, Vrev 11 V, IdPeak 0.42 A.
      {{"--vout", "5", "--iout", "0.1"},
       "fs=50kHz",
       "スイッチ電圧電流[125V/div][0.25A/div]",
       "ダイオード電圧電流[20V/div][0.25A/div]"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(joined(c.args));
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"--format", "json"});
    const Outcome result = run(args);
    ASSERT_EQ(result.status, 0) << result.err;
    const nlohmann::json scales = nlohmann::json::parse(result.out).at("scales");
    EXPECT_EQ(scales.at("lblpic1_1"), c.lblpic1_1);
    EXPECT_EQ(scales.at("lbldiv1"), c.lbldiv1);
    EXPECT_EQ(scales.at("lbldiv2"), c.lbldiv2);
  }
}

TEST(FlybackCalc, TextReportShowsTheWaveformCaptions) {
  const Outcome result = run({});
  ASSERT_EQ(result.status, 0) << result.err;
  for (const char* expected : {"fs=50kHz", "スイッチ電圧電流[125V/div][2.5A/div]",
                               "ダイオード電圧電流[20V/div][20A/div]"}) {
    EXPECT_NE(result.out.find(expected), std::string::npos) << expected;
  }
}

// A fresh folder for the files a run writes, removed afterwards.
class FlybackCalcFiles : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "flyback-calc-files-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    // The test program is not flyback-calc, so the helper is not beside it.
    ::setenv("FLYBACK_EXPORT_HELPER", FBC_EXPORT_HELPER_PATH, 1);
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  std::string path(const char* name) const { return (folder_ / name).string(); }

  static std::string contents(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  std::size_t entries() const {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder_),
                                                  std::filesystem::directory_iterator()));
  }

  std::filesystem::path folder_;
};

std::size_t lineCount(const std::string& text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

TEST_F(FlybackCalcFiles, CsvToStandardOutputReplacesTheReport) {
  for (const char* format : {"text", "json"}) {
    SCOPED_TRACE(format);
    const Outcome result = run({"--waveform-csv", "-", "--format", format});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out.rfind("t,vsw,isw,vd,id\n0,0,0,51.221313,0\n", 0), 0U);
    EXPECT_EQ(lineCount(result.out), 1002U);
    EXPECT_EQ(result.out.find("Inputs"), std::string::npos);
    EXPECT_EQ(result.out.find('{'), std::string::npos);
  }
}

TEST_F(FlybackCalcFiles, CsvFileBesideTheReport) {
  const Outcome result = run({"--waveform-csv", path("wave.csv"), "--fs", "40000"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.out.find("Inputs"), std::string::npos);
  const std::string csv = contents(path("wave.csv"));
  EXPECT_EQ(lineCount(csv), 1001U);
  EXPECT_EQ(csv, run({"--waveform-csv", "-", "--fs", "40000"}).out);
  EXPECT_EQ(entries(), 1U);
}

TEST_F(FlybackCalcFiles, SvgPlotHoldsTheCaptions) {
  const Outcome result = run({"--plot", path("wave.svg"), "--format", "json"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_TRUE(nlohmann::json::accept(result.out));
  const std::string svg = contents(path("wave.svg"));
  EXPECT_EQ(svg.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg ", 0), 0U);
  for (const char* caption : {">fs=50kHz<", ">スイッチ電圧電流[125V/div][2.5A/div]<",
                              ">ダイオード電圧電流[20V/div][20A/div]<"}) {
    EXPECT_NE(svg.find(caption), std::string::npos) << caption;
  }
}

TEST_F(FlybackCalcFiles, BadPlotNameOrUnwritableFileExitsWithStatusTwo) {
  const struct {
    std::vector<std::string> args;
    std::string message;
  } cases[] = {
      {{"--plot", path("wave.jpg")},
       "flyback-calc: --plot " + path("wave.jpg") +
           ": expected a file name ending in .png or .svg (see --help)\n"},
      {{"--plot", path("no/wave.svg")},
       "flyback-calc: --plot " + path("no/wave.svg") + ": No such file or directory\n"},
      {{"--waveform-csv", path("no/wave.csv"), "--plot", path("wave.svg")},
       "flyback-calc: --waveform-csv " + path("no/wave.csv") + ": No such file or directory\n"},
      {{"--waveform-csv", folder_.string()},
       "flyback-calc: --waveform-csv " + folder_.string() + ": Is a directory\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(joined(c.args));
    const Outcome result = run(c.args);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, c.message);
    EXPECT_EQ(entries(), 0U);
  }
}

TEST(FlybackCalc, HelpAndVersionGoToStandardOutput) {
  const struct {
    const char* flag;
    const char* expected;
  } cases[] = {{"--help", "Usage: flyback-calc"}, {"--version", "flyback-calc "}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.flag);
    const Outcome result = run({c.flag});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_NE(result.out.find(c.expected), std::string::npos) << result.out;
  }
}

}  // namespace
}  // namespace fbc

namespace fbc {
namespace {

// The window's start values are the worked example: its results as the window shows them.
// A wire or an arrangement that cannot be read is refused in one line saying which part is
// wrong, in every kind of run; one that can is used as given.
TEST(FlybackCalc, WindingsGivenAreReadOrRefusedInOneLine) {
  const struct {
    std::vector<std::string> args;
    std::string err;
  } refused[] = {
      {{"--wire-primary", "litz:0.1x0"},
       "--wire-primary litz:0.1x0: strand count '0' must lie between 2 and 10000"},
      {{"--wire-primary", "foil:-1"},
       "--wire-primary foil:-1: foil thickness '-1' must lie between 0.02 and 5 mm"},
      {{"--wire-secondary", "round:abc"},
       "--wire-secondary round:abc: diameter 'abc' is not a number"},
      {{"--wire-secondary", "round:9"},
       "--wire-secondary round:9: diameter '9' must lie between 0.02 and 5 mm"},
      {{"--wire-primary", "copper:0.5"},
       "--wire-primary copper:0.5: wire kind 'copper' is not round, strands, litz or foil"},
      {{"--wire-primary", "litz:0.1"},
       "--wire-primary litz:0.1: litz needs a strand count: litz:DIAMETERxCOUNT"},
      {{"--arrangement", "sps"}, "--arrangement sps: expected ps, psp or auto"},
      {{"--sweep", "--wire-primary", "round:9"},
       "--wire-primary round:9: diameter '9' must lie between 0.02 and 5 mm"},
      {{"--advise", "--arrangement", "x"}, "--arrangement x: expected ps, psp or auto"},
      {{"--explain", "--wire-secondary", "strands:0.4x1"},
       "--wire-secondary strands:0.4x1: strand count '1' must lie between 2 and 100"},
  };
  for (const auto& c : refused) {
    SCOPED_TRACE(joined(c.args));
    const Outcome result = run(c.args);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "flyback-calc: " + c.err + "\n");
  }
  const struct {
    std::vector<std::string> args;
    std::string line;
  } used[] = {
      {{"--core", "PQ50", "--wire-primary", " LITZ:0.1x100 ", "--arrangement", "ps"},
       "  Primary wire                                litz:0.1x100 (given), "},
      {{"--core", "PQ50", "--wire-secondary", "2", "--arrangement", "psp"},
       "  Secondary wire                              round:2 (given), "},
      {{"--core", "PQ50", "--wire-primary", "auto", "--wire-secondary", "自動", "--arrangement",
        "auto"},
       "  Primary wire                                foil:0.03 (chosen), "},
  };
  for (const auto& c : used) {
    SCOPED_TRACE(joined(c.args));
    const Outcome result = run(c.args);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find(c.line), std::string::npos) << result.out;
  }
}

TEST(Explain, WorkedExampleStepByStepThenTheReview) {
  const Outcome result = run({"--explain"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err, "");
  for (const std::string line : {
           " 1  T = 1 / fs = 1 / 50000 = 2E-05 s\n",
           " 2  Iin = Iout * Vout / Effi / Vin = 10 * 24 / 0.8 / 200 = 1.5 A\n",
           "11  AL = Ls / Ns ^ 2 = 6.175E-06 / 27.56696 ^ 2 = 8.125668E-09 H/turn²\n",
           "14  Np = sqrt(Lp / AL) = sqrt(0.0003333333 / 8.125668E-09) = 202.5396 turns\n",
           "18  Im = Iin / (Acu * Fill / 100) = 1.5 / (0.1876777 * 22 / 100) = 36.32921 A/mm²\n",
           " R  Np = ceil(nRef * Ns) = ceil(8.09716599581076 * 28) = 227 turns\n",
       }) {
    EXPECT_NE(result.out.find(line), std::string::npos) << line << result.out;
  }
  EXPECT_LT(result.out.find("18  Im"), result.out.find("Engineering review"));
}

TEST(Explain, TheLossesFollowTheReviewInTheOptionsConditions) {
  const Outcome result = run({"--explain", "--core", "PQ50", "--material", "N87", "--ambient", "25",
                              "--max-temperature", "150"});
  ASSERT_EQ(result.status, 0) << result.err;
  const std::size_t losses = result.out.find(
      "\nLosses and temperature rise: N87, Steinmetz band 1 to 100000 Hz, iGSE; core and "
      "copper at 58.5 °C, where the losses balance what the core sheds; 64 bits from the stored "
      "values, SI units; windings psp: primary inner half 17 T, secondary 4 T, primary outer "
      "half 16 T, from the centre leg\n L  fs = 1 / T = ");
  ASSERT_NE(losses, std::string::npos) << result.out;
  EXPECT_LT(result.out.find("buildable"), losses);
  for (const std::string line : {
           " L  Pcore = Pv * Ve = ",
           " L  nStrandsP = chosen wire foil:0.03 = 1\n",
           " L  layersP = ceil(ceil(Np / 2) / tplP) + ceil(floor(Np / 2) / tplP) = ceil(",
           " L  FrS = Dowell layer by layer over the current's harmonics (phi = ",
           " L  buildTotal = buildP + buildS + 2 * tape = ",
           " L  Rth = 53 * (Ve * 1e6) ^ -0.54 = 53 * (3.72E-05 * 1e6) ^ -0.54 = ",
           " L  Tcore = Tambient + dT = 25 + ",
       }) {
    EXPECT_NE(result.out.find(line, losses), std::string::npos) << line;
  }
  EXPECT_NE(result.out.find(" K/W (estimated, Maniktala)\n"), std::string::npos);
  // The switch's section follows the core's temperature.
  EXPECT_NE(result.out.find(" degC\n\nSwitch, clamp and output diode: "), std::string::npos);
}

// PQ3230 cannot hold its windings: the steps show the layout, not its heat.
TEST(Explain, WindingsThatDoNotFitShowTheirLayoutButNoHeat) {
  const Outcome result = run({"--explain", "--core", "PQ3230"});
  ASSERT_EQ(result.status, 0) << result.err;
  for (const std::string line : {
           " L  layersP = ceil(Np / tplP) = ceil(65 / 17) = 4\n",
           " L  FrP = Dowell layer by layer over the current's harmonics (phi = 2.3654075056258, w "
           "= 10) = — (not estimated: the windings do not fit the bobbin)\n",
           " L  Tcore = Tambient + dT = — (not estimated: the windings do not fit the bobbin)\n",
           " S  PclampTarget = 0.5 * Llk * Ipk ^ 2 * fs * VclampTarget / (VclampTarget - VRO) = — "
           "(not estimated: the windings do not fit the bobbin)\n",
           " S  Pclamp = PclampTarget = — (not estimated: the windings do not fit the bobbin)\n",
       }) {
    EXPECT_NE(result.out.find(line), std::string::npos) << line << result.out;
  }
}

TEST(Explain, TheStressFollowsTheLossesInTheOptionsConditions) {
  const Outcome result = run({"--explain", "--core", "PQ50", "--vin-max", "370", "--leakage",
                              "4.5e-6", "--clamp-ratio", "2", "--vds-rating", "800"});
  ASSERT_EQ(result.status, 0) << result.err;
  const std::size_t stress = result.out.find(
      "\nSwitch, clamp and output diode: an RCD clamp at r = 2 times VRO; the design's peak "
      "current at the highest input, discontinuous; 64 bits from the stored values, SI units\n"
      " S  VinMax = the highest input given = 370 V\n");
  ASSERT_NE(stress, std::string::npos) << result.out;
  EXPECT_LT(result.out.find("Losses and temperature rise"), stress);
  for (const std::string line : {
           " S  DHigh = Duty * Vin / VinMax = 0.5 * 200 / 370 = 0.27027027027027\n",
           " S  Llk = measured = 4.5E-06 H\n",
           " S  VclampTarget = r * VRO = 2 * 203.774999901652 = 407.549999803305 V\n",
           " S  Vclamp = (VRO + sqrt(VRO ^ 2 + 2 * RclampE24 * Llk * Ipk ^ 2 * fs)) / 2 = ",
           " S  RclampE24 = largest E24 value at most Rclamp = ",
           " S  VdsRating = the switch's rating = 800 V (80 % of it allowed: 640 V)\n",
       }) {
    EXPECT_NE(result.out.find(line, stress), std::string::npos) << line;
  }
  // The stress ends with the diode's voltage; the insulation follows it.
  const std::size_t diode = result.out.find(
      " S  VdRevMax = VinMax / n + Vout = 370 / 8.25 + 24 = 68.8484848484848 V\n", stress);
  ASSERT_NE(diode, std::string::npos);
  EXPECT_EQ(result.out.find("\nInsulation: functional insulation, margin construction; no safety "
                            "barrier is designed\n I  Vw = 370 V"),
            result.out.find('\n', diode) + 1);
}

TEST(Explain, WorksWithTheInputOptionsAndRefusesOtherOutputs) {
  const Outcome options = run({"--explain", "--vin", "1", "--fs", "1e5", "--effi", "85", "--core",
                               "PQ3230", "--level", "hi", "--duty", "0.4"});
  ASSERT_EQ(options.status, 0) << options.err;
  EXPECT_EQ(options.err, "flyback-calc: warning: --vin 1 is outside the limits; using 10\n");
  EXPECT_NE(options.out.find(" 1  Vin = vin = 10 V\n"), std::string::npos) << options.out;
  EXPECT_NE(options.out.find(" 1  T = 1 / fs = 1 / 1e5 = 1E-05 s\n"), std::string::npos);
  EXPECT_NE(options.out.find(" 4  dB = level hi = 0.34 T\n"), std::string::npos);
  EXPECT_NE(options.out.find(" 5  Ae = catalogue PQ3230 = "), std::string::npos);

  const struct {
    std::vector<std::string> args;
    std::string err;
  } refused[] = {
      {{"--explain", "--format", "json"},
       "flyback-calc: --explain writes text and cannot be combined with --format json (see "
       "--help)\n"},
      {{"--explain", "--sweep"},
       "flyback-calc: --explain shows the calculation alone and cannot be combined with --sweep "
       "(see --help)\n"},
      {{"--explain", "--effi", "0"},
       "flyback-calc: --effi 0: the efficiency must be above 0; the calculation stopped at step 2, "
       "computing Iin (division by zero)\n"},
  };
  for (const auto& r : refused) {
    SCOPED_TRACE(joined(r.args));
    const Outcome result = run(r.args);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, r.err);
  }
}

}  // namespace
}  // namespace fbc
