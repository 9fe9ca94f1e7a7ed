// flyback-calc with a mains input, further outputs and a bias winding: the options, the
// reports, the refusals and the batch's columns.
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "cli/flyback_calc.h"
#include "platform/csv_reader.h"
#include "tests/support/an4137_example.h"

namespace fbc {
namespace {

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

Outcome run(const std::vector<std::string>& args, const std::string& input = "") {
  std::istringstream in(input);
  std::ostringstream out;
  std::ostringstream err;
  Outcome result;
  result.status = runFlybackCalc(args, in, out, err);
  result.out = out.str();
  result.err = err.str();
  return result;
}

// Fairchild AN-4137's appendix: five outputs and Vcc from 85-265 VAC, with its measured leakage.
const std::vector<std::string> kAn4137 = [] {
  std::vector<std::string> args = an4137Arguments();
  args.insert(args.end(), {"--leakage", "4.5e-6"});
  return args;
}();

std::vector<std::string> with(std::vector<std::string> args, const std::vector<std::string>& more) {
  args.insert(args.end(), more.begin(), more.end());
  return args;
}

TEST(SeveralOutputsCli, JsonCarriesTheInputEveryOutputAndTheBiasAfterTheOldMembers) {
  const Outcome result = run(with(kAn4137, {"--format", "json"}));
  ASSERT_EQ(result.status, 0) << result.err;
  const nlohmann::ordered_json report = nlohmann::ordered_json::parse(result.out);
  std::vector<std::string> members;
  for (const auto& [key, value] : report.items()) {
    members.push_back(key);
  }
  EXPECT_EQ(members,
            (std::vector<std::string>{"inputs", "state", "labels", "scales", "review", "losses",
                                      "stress", "input", "outputs", "bias", "isolation"}));
  const nlohmann::ordered_json& input = report.at("input");
  EXPECT_EQ(input.at("kind"), "ac");
  EXPECT_EQ(input.at("VACmin"), 85.0);
  EXPECT_EQ(input.at("VACmax"), 265.0);
  EXPECT_EQ(input.at("fL"), 60.0);
  EXPECT_EQ(input.at("Cbulk"), 150e-6);
  EXPECT_EQ(input.at("CbulkChosen"), false);
  EXPECT_EQ(input.at("Dch"), 0.2);
  EXPECT_NEAR(input.at("VDCmin").get<double>(), 92.2, 0.05);
  EXPECT_NEAR(input.at("VDCmax").get<double>(), 374.77, 0.01);
  // The design is made at the valley, and the stress at the peak.
  EXPECT_EQ(report.at("inputs").at("vin"), "92.17");
  EXPECT_NEAR(report.at("stress").at("VinMax").get<double>(), 374.77, 0.01);

  const nlohmann::ordered_json& outputs = report.at("outputs");
  ASSERT_EQ(outputs.size(), 5U);
  std::vector<std::string> names;
  for (const auto& [key, value] : outputs.at(0).items()) {
    names.push_back(key);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"V", "I", "Vf", "P", "KL", "turns", "Vactual",
                                             "errorPercent", "IsPk", "IsRms", "VdRevMax"}));
  const std::vector<int> turns = {2, 3, 7, 10, 18};
  for (std::size_t k = 0; k < turns.size(); ++k) {
    EXPECT_EQ(outputs.at(k).at("turns"), turns[k]);
  }
  EXPECT_EQ(report.at("bias").at("turns"), 7);
  EXPECT_EQ(report.at("bias").at("I"), 0.01);
  // Every winding's loss: the further ones after the old figures.
  const nlohmann::ordered_json& losses = report.at("losses");
  EXPECT_EQ(losses.at("windings").size(), 7U);
  for (const char* name : {"RdcS2", "PcuS5", "layersB", "buildB"}) {
    EXPECT_TRUE(losses.contains(name)) << name;
  }
}

TEST(SeveralOutputsCli, ADcInputWithOneOutputWritesTheOldReportThenItsOwnMembers) {
  const Outcome result = run({"--format", "json", "--vin-max", "370"});
  ASSERT_EQ(result.status, 0) << result.err;
  const nlohmann::json report = nlohmann::json::parse(result.out);
  const nlohmann::json& input = report.at("input");
  EXPECT_EQ(input.at("kind"), "dc");
  EXPECT_TRUE(input.at("VACmin").is_null());
  EXPECT_TRUE(input.at("Cbulk").is_null());
  EXPECT_EQ(input.at("VDCmin"), 200.0);
  EXPECT_EQ(input.at("VDCmax"), 370.0);
  ASSERT_EQ(report.at("outputs").size(), 1U);
  EXPECT_EQ(report.at("outputs").at(0).at("KL"), 1.0);
  EXPECT_EQ(report.at("outputs").at(0).at("IsRms"), report.at("review").at("IsRmsWinding"));
  EXPECT_TRUE(report.at("bias").is_null());
  EXPECT_FALSE(report.at("losses").contains("RdcS2"));
}

TEST(SeveralOutputsCli, TheTextReportShowsTheMainsAndTheOutputs) {
  const Outcome result = run(kAn4137);
  ASSERT_EQ(result.status, 0) << result.err;
  for (const char* expected :
       {"Mains input (the design is made at the bulk capacitor's valley)",
        "Valley at full load VDCmin                  92.2 V", "Bulk capacitor Cbulk",
        "150 µF (given)", "  main          3.30      2      3.30      0.0",
        "  bias         12.00      7     12.10      0.8", "Output 2 DC resistance RdcS2",
        "Bias wire"}) {
    EXPECT_NE(result.out.find(expected), std::string::npos) << expected;
  }
  // Without a mains input or further outputs the report stays as it was.
  const Outcome plain = run({});
  EXPECT_EQ(plain.out.find("Mains input"), std::string::npos);
  EXPECT_EQ(plain.out.find("Outputs ("), std::string::npos);
  // A caption as long as its column keeps a blank before its value.
  EXPECT_NE(plain.out.find("Peak flux density at the current limit BpkAtLimit 0."),
            std::string::npos);
}

TEST(SeveralOutputsCli, ExplainSaysHowTheFiguresSumOverTheOutputsAndDesignsAtTheValley) {
  const Outcome result = run({"--explain", "--vac-min", "85", "--output", "12,1"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.out.find("Pout / Effi, Pout = Vout * Iout + the further outputs' V * I"),
            std::string::npos);
  // The calculation itself runs at the valley.
  const Outcome report = run({"--vac-min", "85", "--output", "12,1", "--format", "json"});
  const nlohmann::json json = nlohmann::json::parse(report.out);
  EXPECT_NE(result.out.find(json.at("inputs").at("vin").get<std::string>()), std::string::npos);
  // One output explains as it always did.
  const Outcome single = run({"--explain"});
  EXPECT_NE(single.out.find("Vout * Iout / Effi"), std::string::npos);
  EXPECT_EQ(single.out.find("further outputs"), std::string::npos);
}

TEST(SeveralOutputsCli, BadInputsAreRefusedInOneLineWithStatusTwo) {
  const struct {
    std::vector<std::string> args;
    std::string err;
  } cases[] = {
      {{"--vac-min", "85", "--vin", "141"},
       "--vin 141: not with a mains input (--vac-min 85): the design is made at the bulk "
       "capacitor's valley"},
      {{"--vac-min", "85", "--vin-max", "370"},
       "--vin-max 370: not with a mains input: the highest input is the peak of the highest "
       "mains voltage"},
      {{"--vac-min", "230", "--vac-max", "85"},
       "--vac-max 85: must be at least the lowest mains voltage"},
      {{"--vac-min", "20"}, "--vac-min 20: must lie between 30 and 300"},
      {{"--line-frequency", "60"}, "--line-frequency 60: only with a mains input (--vac-min)"},
      {{"--output", "0,1"},
       "--output 0,1: output 1: the voltage must lie above 0 and at most 1000"},
      {{"--output", "5,1", "--output", "12,-1"},
       "--output 5,1;12,-1: output 2: the current must lie between 0 and 100"},
      {{"--output", "12,x"}, "--output 12,x: output 1: the current is not a number"},
      {{"--output", "1,1", "--output", "1,1", "--output", "1,1", "--output", "1,1", "--output",
        "1,1", "--output", "1,1", "--output", "1,1", "--output", "1,1"},
       "--output 1,1;1,1;1,1;1,1;1,1;1,1;1,1;1,1: at most 7 outputs beside the main one"},
      {{"--bias", "abc"}, "--bias abc: the voltage is not a number"},
      {{"--secondary-turns", "1.5"},
       "--secondary-turns 1.5: must be a whole number between 1 and 1000"},
  };
  for (const auto& c : cases) {
    const Outcome result = run(c.args);
    SCOPED_TRACE(c.err);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "flyback-calc: " + c.err + "\n");
  }
  // A capacitor too small names the least that holds the input up.
  const Outcome small = run({"--vac-min", "85", "--bulk-capacitance", "1e-6"});
  EXPECT_EQ(small.status, 2);
  EXPECT_EQ(small.err.rfind("flyback-calc: --bulk-capacitance 1e-6: too small to hold the input "
                            "up at 85 VAC and ",
                            0),
            0U)
      << small.err;
  EXPECT_NE(small.err.find(" W; at least "), std::string::npos) << small.err;
  EXPECT_NE(small.err.find(" µF\n"), std::string::npos) << small.err;
}

TEST(SeveralOutputsCli, BatchColumnsGiveTheSameDesignAsTheOptionsAndFailRowsAlone) {
  const std::string batch =
      "vac-min,vac-max,outputs,bias,secondary-turns,vin\n"
      "85,265,5/2/0.5;12/1.5/1.2,12/1.2,3,\n"
      "85,265,5/2/0.5,,,141\n"
      ",,5/-2,,,141\n";
  const Outcome result = run({"--batch", "-", "--format", "json"}, batch);
  EXPECT_EQ(result.status, 2);
  std::istringstream lines(result.out);
  std::vector<nlohmann::json> rows;
  for (std::string line; std::getline(lines, line);) {
    rows.push_back(nlohmann::json::parse(line));
  }
  ASSERT_EQ(rows.size(), 3U);
  ASSERT_EQ(rows[0].at("status"), "ok") << rows[0].dump();
  const Outcome single =
      run({"--vac-min", "85", "--vac-max", "265", "--output", "5,2,0.5", "--output", "12,1.5,1.2",
           "--bias", "12,1.2", "--secondary-turns", "3", "--format", "json"});
  nlohmann::json expected = nlohmann::json::parse(single.out);
  rows[0].erase("row");
  rows[0].erase("status");
  EXPECT_EQ(rows[0], expected);
  EXPECT_EQ(rows[1].at("message"),
            "vin 141: not with a mains input (vac-min 85): the design is made at the bulk "
            "capacitor's valley");
  EXPECT_EQ(rows[2].at("message"),
            "outputs 5/-2: output 1: the current must lie between 0 and 100");
}

TEST(SeveralOutputsCli, BatchCsvKeepsTheOldColumnsInPlaceAndAppendsTheNewOnes) {
  const Outcome plain = run({"--batch", "-"}, "vin\n141\n");
  const Outcome several = run({"--batch", "-"}, "outputs,bias\n12/1,15\n");
  ASSERT_EQ(plain.status, 0) << plain.err;
  ASSERT_EQ(several.status, 0) << several.err;
  const auto records = [](const std::string& text) {
    std::istringstream in(text);
    CsvReader reader(in);
    std::vector<std::vector<std::string>> all;
    std::vector<std::string> fields;
    std::string problem;
    while (reader.next(fields, problem) == CsvReader::Status::Record) {
      all.push_back(fields);
    }
    return all;
  };
  const auto a = records(plain.out);
  const auto b = records(several.out);
  ASSERT_EQ(a.size(), 2U);
  ASSERT_EQ(b.size(), 2U);
  EXPECT_EQ(a[0], b[0]);  // one header for every batch
  const std::vector<std::string>& header = a[0];
  const auto column = [&header](const std::string& name) {
    return static_cast<std::size_t>(std::find(header.begin(), header.end(), name) - header.begin());
  };
  // The columns every batch had come first; the new ones follow the last of them.
  EXPECT_LT(column("stress.VdRevMax"), column("input.kind"));
  EXPECT_LT(column("input.kind"), column("losses.RdcS2"));
  ASSERT_LT(column("outputs.1.turns"), header.size());
  EXPECT_EQ(a[1][column("outputs.1.turns")], "");
  EXPECT_NE(b[1][column("outputs.1.turns")], "");
  EXPECT_NE(b[1][column("bias.turns")], "");
  EXPECT_NE(b[1][column("losses.RdcS2")], "");
}

}  // namespace
}  // namespace fbc
