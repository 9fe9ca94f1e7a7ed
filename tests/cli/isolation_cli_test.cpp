// flyback-calc's insulation: the options, the JSON object and the text report, and the
// refusals in one line with exit status 2. The mains design is Fairchild AN-4137's appendix
// example on EER35.
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "cli/flyback_calc.h"
#include "tests/support/an4137_example.h"

namespace fbc {
namespace {

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

Outcome run(const std::vector<std::string>& args) {
  std::istringstream in;
  std::ostringstream out;
  std::ostringstream err;
  Outcome result;
  result.status = runFlybackCalc(args, in, out, err);
  result.out = out.str();
  result.err = err.str();
  return result;
}

std::vector<std::string> an4137(const std::vector<std::string>& more) {
  std::vector<std::string> args = an4137Arguments();
  args.insert(args.end(), more.begin(), more.end());
  return args;
}

TEST(IsolationCli, JsonCarriesTheInsulationInSiUnits) {
  const Outcome result = run(an4137({"--format", "json"}));
  ASSERT_EQ(result.status, 0) << result.err;
  const nlohmann::json report = nlohmann::json::parse(result.out);
  const nlohmann::json& iso = report.at("isolation");
  EXPECT_EQ(iso.at("insulation"), "reinforced");
  EXPECT_EQ(iso.at("construction"), "margin");
  EXPECT_EQ(iso.at("workingVoltage"), 265.0);
  EXPECT_EQ(iso.at("workingVoltageGiven"), false);
  EXPECT_NEAR(iso.at("creepage").get<double>(), 5.4e-3, 1e-12);
  EXPECT_NEAR(iso.at("clearance").get<double>(), 3.0e-3, 1e-12);
  EXPECT_NEAR(iso.at("margin").get<double>(), 2.7e-3, 1e-12);
  EXPECT_EQ(iso.at("tapeLayersPS"), 3);
  EXPECT_EQ(iso.at("hipotPeak"), 4000.0);
  EXPECT_EQ(iso.at("hipotAC"), 3000.0);
  EXPECT_EQ(iso.at("hipotSeconds"), 60.0);
  EXPECT_NEAR(iso.at("windingBreadth").get<double>(), 21.7e-3, 1e-12);
  EXPECT_EQ(iso.at("fits"), true);
  // Five outputs on six pins share their return; the bias on the primary's side.
  const nlohmann::json& pins = iso.at("pins");
  EXPECT_EQ(pins.at("primarySide"), 6);
  EXPECT_EQ(pins.at("enough"), true);
  EXPECT_EQ(pins.at("commonReturn"), true);
  for (const nlohmann::json& w : iso.at("windings")) {
    const bool primarySide = w.at("name") == "primary" || w.at("name") == "bias";
    EXPECT_EQ(w.at("side"), primarySide ? "primary" : "secondary") << w;
    EXPECT_EQ(w.at("start").get<int>() <= 6, primarySide) << w;
  }
  for (const nlohmann::json& w : iso.at("windings")) {
    EXPECT_EQ(w.at("tripleInsulated"), false);
  }
}

TEST(IsolationCli, FunctionalInsulationHasNoDistancesNorTest) {
  const Outcome result = run(an4137({"--insulation", "functional", "--format", "json"}));
  ASSERT_EQ(result.status, 0) << result.err;
  const nlohmann::json report = nlohmann::json::parse(result.out);
  const nlohmann::json& iso = report.at("isolation");
  for (const char* member : {"creepage", "clearance", "hipotPeak", "hipotAC"}) {
    EXPECT_TRUE(iso.at(member).is_null()) << member;
  }
  EXPECT_EQ(iso.at("margin"), 0.0);
  EXPECT_NEAR(iso.at("windingBreadth").get<double>(), 27.1e-3, 1e-12);
  const nlohmann::json& flags = report.at("review").at("flags");
  EXPECT_NE(std::find(flags.begin(), flags.end(), "creepage-unchecked"), flags.end());
}

TEST(IsolationCli, TripleInsulatedSecondariesInTheJsonAndTheText) {
  const Outcome json = run(an4137({"--construction", "tiw", "--format", "json"}));
  ASSERT_EQ(json.status, 0) << json.err;
  const nlohmann::json report = nlohmann::json::parse(json.out);
  EXPECT_EQ(report.at("isolation").at("margin"), 0.0);
  EXPECT_EQ(report.at("isolation").at("tapeLayersPS"), 1);
  for (const nlohmann::json& w : report.at("isolation").at("windings")) {
    const bool secondarySide = w.at("name") != "primary" && w.at("name") != "bias";
    EXPECT_EQ(w.at("tripleInsulated"), secondarySide) << w.at("name");
  }
  const Outcome text = run(an4137({"--construction", "tiw"}));
  ASSERT_EQ(text.status, 0) << text.err;
  EXPECT_NE(text.out.find("Insulation, construction                    reinforced, tiw"),
            std::string::npos)
      << text.out;
  EXPECT_NE(text.out.find("Margin tape at each end                     none"), std::string::npos);
}

TEST(IsolationCli, TheTextReportAndTheExplanationShowTheSameFigures) {
  const Outcome text = run(an4137({}));
  ASSERT_EQ(text.status, 0) << text.err;
  for (const char* line : {"Creepage (Table 17)                         5.4 mm",
                           "Clearance (Table 14)                        3 mm at a transient of "
                           "2500 V peak",
                           "Electric strength test                      4000 V peak, or 3000 V "
                           "RMS for 60 s",
                           "Margin tape at each end                     2.7 mm",
                           "Winding breadth (of the bobbin's)           21.7 mm (27.1 mm)",
                           // Counted in columns, not bytes, beside its arrows.
                           "\n  Pins (start → finish)                       primary 1 → "}) {
    EXPECT_NE(text.out.find(line), std::string::npos) << line << "\n" << text.out;
  }
  const Outcome explained = run(an4137({"--explain"}));
  ASSERT_EQ(explained.status, 0) << explained.err;
  for (const char* line : {"Insulation: reinforced insulation, margin construction",
                           "creepage = 2 * creepageBasic = 2 * 0.0027 = 0.0054 m",
                           "margin = creepage / 2, up to 0.1 mm = 0.0054 / 2 = 0.0027 m",
                           "bwWinding = bw - 2 * margin = 0.0271 - 2 * 0.0027 = 0.0217 m"}) {
    EXPECT_NE(explained.out.find(line), std::string::npos) << line << "\n" << explained.out;
  }
}

TEST(IsolationCli, BadValuesAreRefusedInOneLine) {
  struct Case {
    std::vector<std::string> args;
    std::string err;
  };
  const std::vector<Case> cases = {
      {{"--insulation", "double"},
       "flyback-calc: --insulation double: expected functional, basic or reinforced\n"},
      {{"--construction", "foil"}, "flyback-calc: --construction foil: expected margin or tiw\n"},
      {{"--working-voltage", "-1"},
       "flyback-calc: --working-voltage -1: must lie above 0 and at most 1000\n"},
      {{"--working-voltage", "1001"},
       "flyback-calc: --working-voltage 1001: must lie above 0 and at most 1000\n"},
      {{"--pins", "7,1"},
       "flyback-calc: --pins 7,1: expected N or NP,NS, each a whole number from 2 to 20\n"},
      {{"--construction", "tiw", "--wire-secondary", "foil:0.2"},
       "flyback-calc: --wire-secondary foil:0.2: triple-insulated wire (--construction tiw) is "
       "round wire, alone or in hand, of 0.2 to 1 mm\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.front() + " " + c.args[1]);
    const Outcome result = run(c.args);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err, c.err);
    EXPECT_TRUE(result.out.empty());
  }
}

}  // namespace
}  // namespace fbc
