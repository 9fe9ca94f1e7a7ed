// --batch through the whole command line, reading standard input from a string.
#include <algorithm>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "cli/flyback_calc.h"
#include "platform/csv_reader.h"

namespace fbc {
namespace {

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

Outcome run(std::vector<std::string> args, const std::string& input) {
  std::istringstream in(input);
  std::ostringstream out;
  std::ostringstream err;
  Outcome result;
  result.status = runFlybackCalc(args, in, out, err);
  result.out = out.str();
  result.err = err.str();
  return result;
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> all;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    all.push_back(line);
  }
  return all;
}

// The single JSON report for the same options, members in their order.
nlohmann::ordered_json singleReport(const std::vector<std::string>& args) {
  const Outcome single = run(args, "");
  EXPECT_EQ(single.status, 0) << single.err;
  return nlohmann::ordered_json::parse(single.out);
}

// One batch row as it should come out: the single report of the same options, or, with no
// options, the error that fails it.
struct ExpectedRow {
  std::vector<std::string> args;  // the same design as options; empty for a failed row
  std::string message;
};

// Each JSON row of a batch against its expected row: the same report as the options give, the
// bookkeeping members aside, or the error message.
void expectRowsAsTheOptions(const std::vector<std::string>& rows,
                            const std::vector<ExpectedRow>& expected) {
  ASSERT_EQ(rows.size(), expected.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(rows[i].substr(0, 120));
    nlohmann::ordered_json row = nlohmann::ordered_json::parse(rows[i]);
    if (expected[i].args.empty()) {
      EXPECT_EQ(row.at("status"), "error");
      EXPECT_EQ(row.at("message"), expected[i].message);
      continue;
    }
    ASSERT_EQ(row.at("status"), "ok");
    row.erase("row");
    row.erase("status");
    std::vector<std::string> args = expected[i].args;
    args.insert(args.end(), {"--format", "json"});
    EXPECT_EQ(row.dump(), singleReport(args).dump());
  }
}

// The output's CSV records, read back with the batch's own reader.
std::vector<std::vector<std::string>> csvRecords(const std::string& text) {
  std::istringstream in(text);
  CsvReader reader(in);
  std::vector<std::vector<std::string>> all;
  std::vector<std::string> fields;
  std::string problem;
  while (reader.next(fields, problem) == CsvReader::Status::Record) {
    all.push_back(fields);
  }
  return all;
}

// Quoted fields, a byte-order mark, CRLF, missing columns, a blank line and bad rows amid
// good ones.
const std::string kMixedBatch =
    "\xEF\xBB\xBF"
    "core,vin,level\r\n"
    "PQ3230,141,hi\r\n"
    "\r\n"
    "\"EER28\",\"1,5\",typ\r\n"
    "\"PQ\"\"2016\",200,lo\r\n"
    "EER35,\"250\",lo\r\n"
    "EER35,250\r\n";

TEST(Batch, JsonRowsHoldExactlyTheSingleReportsMembers) {
  const Outcome result = run({"--batch", "-", "--format", "json", "--iout", "2.5"}, kMixedBatch);
  EXPECT_EQ(result.status, 2);  // some rows failed, all were written
  EXPECT_EQ(result.err, "");
  const std::vector<std::string> rows = lines(result.out);
  ASSERT_EQ(rows.size(), 5U);

  const std::vector<ExpectedRow> expected = {
      {{"--iout", "2.5", "--core", "PQ3230", "--vin", "141", "--level", "hi"}, ""},
      {{}, "vin \"1,5\"" /* no blank, so unquoted */},
      {{}, "core PQ\"2016: not a catalogue core"},
      {{"--iout", "2.5", "--core", "EER35", "--vin", "250", "--level", "lo"}, ""},
      {{}, "2 fields where the header names 3"},
  };
  for (std::size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(rows[i]);
    const nlohmann::json row = nlohmann::json::parse(rows[i]);
    EXPECT_EQ(row["row"], i + 1);
    if (expected[i].args.empty()) {
      EXPECT_EQ(row["status"], "error");
      EXPECT_EQ(row.size(), 3U);
      continue;
    }
    EXPECT_EQ(row["status"], "ok");
    // The same members in the same order, the row's two first.
    nlohmann::ordered_json members = nlohmann::ordered_json::parse(rows[i]);
    EXPECT_EQ(members.begin().key(), "row");
    EXPECT_EQ(std::next(members.begin()).key(), "status");
    members.erase("row");
    members.erase("status");
    std::vector<std::string> args = expected[i].args;
    args.insert(args.end(), {"--format", "json"});
    EXPECT_EQ(members.dump(), nlohmann::ordered_json(singleReport(args)).dump());
  }
  EXPECT_EQ(nlohmann::json::parse(rows[1])["message"], "vin 1,5: not a number");
  EXPECT_EQ(
      nlohmann::json::parse(rows[2])["message"].get<std::string>().rfind(expected[2].message, 0),
      0U);
  EXPECT_EQ(nlohmann::json::parse(rows[4])["message"], expected[4].message);
}

TEST(Batch, CsvColumnsAreTheReportsMembersFlattened) {
  const Outcome result =
      run({"--batch", "-"}, "vin,effi,material,ambient\n141,85,N87,25\n141,0,N97,40\n");
  EXPECT_EQ(result.status, 2);
  const std::vector<std::string> rows = lines(result.out);
  ASSERT_EQ(rows.size(), 3U);
  EXPECT_EQ(rows[0].rfind("row,status,message,inputs.vin,inputs.vout,", 0), 0U);
  EXPECT_NE(rows[0].find(",state.Vout,"), std::string::npos);
  EXPECT_NE(rows[0].find(",state.CoreSel,state.dB,"), std::string::npos);
  EXPECT_NE(rows[0].find(",labels.lblLp,scales.VdsPeak,"), std::string::npos);
  // The review ends with its drive mode and the mode's own figures; the losses follow, the
  // material first and the core's temperature last.
  EXPECT_NE(rows[0].find(
                ",review.feasible,review.mode,review.KRF,review.IEDC,review.dI,"
                "review.VinCcmLimit,review.Cd,review.ton,review.toff,review.tv,"
                "review.IsPkWinding,review.IsRmsWinding,losses.material,losses.Pv,losses.Pcore,"),
            std::string::npos);
  // The switch's stress follows the losses, in its own order.
  EXPECT_NE(rows[0].find(",losses.Tambient,losses.Tcore,losses.converged,"
                         "losses.temperatureIterations,losses.arrangement,losses.lossesAt,"
                         "losses.windings.0.name,losses.windings.0.turns,losses.windings.0.wire,"),
            std::string::npos);
  EXPECT_NE(rows[0].find(",losses.windings.1.Pcu,losses.windings.1.wireChosen,stress.VinMax,"
                         "stress.DHigh,"),
            std::string::npos);
  EXPECT_NE(rows[0].find(",stress.Rclamp,stress.RclampE24,stress.Cclamp,stress.CclampE12,"),
            std::string::npos);
  EXPECT_NE(rows[0].find(",stress.VdsMax,stress.VdsRating,stress.VdRevMax,stress.fsHigh,"
                         "stress.IpkHigh,stress.VclampTarget,stress.PclampTarget,input.kind,"),
            std::string::npos)
      << rows[0];
  // The input, the outputs and the bias follow; then the columns only a design with every
  // further output and the bias has; the insulation, which came later, last of all.
  EXPECT_NE(rows[0].find(",input.VDCmax,outputs.0.V,"), std::string::npos);
  EXPECT_NE(rows[0].find(",outputs.0.VdRevMax,bias,losses.RdcS2,"), std::string::npos);
  EXPECT_NE(rows[0].find(",bias.IsRms,bias.VdRevMax,isolation.insulation,"), std::string::npos)
      << rows[0];
  EXPECT_TRUE(
      rows[0].ends_with(",isolation.windings.9.finish,isolation.windings.9.tripleInsulated"))
      << rows[0];

  // Each column of the ok row holds the single report's value at that path.
  const nlohmann::ordered_json single = singleReport(
      {"--vin", "141", "--effi", "85", "--material", "N87", "--ambient", "25", "--format", "json"});
  const std::vector<std::vector<std::string>> records = csvRecords(result.out);
  ASSERT_EQ(records.size(), 3U);
  const std::vector<std::string>& header = records[0];
  const std::vector<std::string>& cells = records[1];
  ASSERT_EQ(cells.size(), header.size());
  EXPECT_EQ(cells[0], "1");
  EXPECT_EQ(cells[1], "ok");
  EXPECT_EQ(cells[2], "");
  for (std::size_t i = 3; i < cells.size(); ++i) {
    SCOPED_TRACE(header[i]);
    std::string pointer = "/" + header[i];
    std::replace(pointer.begin(), pointer.end(), '.', '/');
    // A column only a design with further outputs or a bias has stays empty here.
    if (!single.contains(nlohmann::ordered_json::json_pointer(pointer))) {
      EXPECT_EQ(cells[i], "");
      continue;
    }
    const nlohmann::ordered_json& value = single.at(nlohmann::ordered_json::json_pointer(pointer));
    // A number reads back as the same double, whichever of its texts the library would print.
    if (value.is_number_float()) {
      EXPECT_EQ(std::stod(cells[i]), value.get<double>());
      continue;
    }
    // An array is one cell, its items joined by blanks.
    std::string expected;
    for (const auto& item : value.is_array() ? value : nlohmann::ordered_json::array({value})) {
      // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on "literal" + std::string.
      if (!expected.empty()) {
        expected += ' ';
      }
      // A null is an empty cell.
      if (!item.is_null()) {
        expected += item.is_string() ? item.get<std::string>() : item.dump();
      }
    }
    EXPECT_EQ(cells[i], expected);
  }
  EXPECT_EQ(records[2].size(), header.size());
  // The failed row: its message, quoted as it holds a comma, and nothing else.
  EXPECT_EQ(rows[2].rfind("2,error,\"effi 0: the efficiency must be above 0; the calculation "
                          "stopped at step 2, computing Iin (division by zero)\",,",
                          0),
            0U);
  EXPECT_EQ(rows[2].find_first_not_of(',', rows[2].rfind('"') + 1), std::string::npos);
}

TEST(Batch, ReviewConditionsThatCannotBeUsedFailTheirRowOnly) {
  const std::string input =
      "core,material,ambient,max-temperature\n"
      "PQ50,N87,25,100\n"
      "PQ50,X,25,100\n"
      "PQ50,N87,300,100\n"
      "PQ50,N87,abc,100\n"
      "PQ50,N87,40,30\n"
      "EC90,3C95,-40,0\n";
  const struct {
    std::string status;
    std::string message;  // or the material of an ok row
  } expected[] = {
      {"ok", "N87"},
      {"error", "material X: expected N97, N87, 3C95 or 3C90"},
      {"error", "ambient 300: must lie between -40 and 125"},
      {"error", "ambient abc: not a number"},
      {"error", "max-temperature 30: must lie above the ambient temperature"},
      {"ok", "3C95"},
  };
  const Outcome json = run({"--batch", "-", "--format", "json"}, input);
  EXPECT_EQ(json.status, 2);  // some rows failed, every row was written
  EXPECT_EQ(json.err, "");
  const std::vector<std::string> rows = lines(json.out);
  ASSERT_EQ(rows.size(), std::size(expected));
  for (std::size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(rows[i]);
    const nlohmann::json row = nlohmann::json::parse(rows[i]);
    EXPECT_EQ(row.at("status"), expected[i].status);
    if (expected[i].status == "ok") {
      EXPECT_EQ(row.at("losses").at("material"), expected[i].message);
    } else {
      EXPECT_EQ(row.at("message"), expected[i].message);
    }
  }
  // The ok rows are designed in their own conditions, as the options would design them.
  nlohmann::ordered_json first = nlohmann::ordered_json::parse(rows[0]);
  first.erase("row");
  first.erase("status");
  EXPECT_EQ(first.dump(), singleReport({"--core", "PQ50", "--material", "N87", "--ambient", "25",
                                        "--max-temperature", "100", "--format", "json"})
                              .dump());

  const Outcome csv = run({"--batch", "-"}, input);
  EXPECT_EQ(csv.status, 2);
  const std::vector<std::vector<std::string>> records = csvRecords(csv.out);
  ASSERT_EQ(records.size(), 1 + std::size(expected));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    EXPECT_EQ(records[i + 1][1], expected[i].status);
    if (expected[i].status == "error") {
      EXPECT_EQ(records[i + 1][2], expected[i].message);
    }
  }
}

// The drive mode and its inputs as columns: each row is designed in its own mode, exactly as the
// options design it, and a bad mode input fails its row alone.
// The windings as columns: a row designs with its wires exactly as the options do, an empty
// cell leaves the choice to the review, and a wire that cannot be read fails its row alone.
TEST(Batch, WindingsComeFromTheirColumns) {
  const std::string input =
      "core,wire-primary,wire-secondary,arrangement\n"
      "PQ50,litz:0.1x100,foil:0.2,ps\n"
      "PQ50,,,\n"
      "PQ50,litz:0.1x0,,\n"
      "PQ50,,,spp\n";
  const std::vector<ExpectedRow> expected = {
      {{"--core", "PQ50", "--wire-primary", "litz:0.1x100", "--wire-secondary", "foil:0.2",
        "--arrangement", "ps"},
       ""},
      {{"--core", "PQ50"}, ""},
      {{}, "wire-primary litz:0.1x0: strand count '0' must lie between 2 and 10000"},
      {{}, "arrangement spp: expected ps, psp or auto"},
  };
  const Outcome json = run({"--batch", "-", "--format", "json"}, input);
  EXPECT_EQ(json.status, 2);
  const std::vector<std::string> rows = lines(json.out);
  expectRowsAsTheOptions(rows, expected);
  const nlohmann::json first = nlohmann::json::parse(rows[0]);
  EXPECT_EQ(first.at("losses").at("arrangement"), "ps");
  EXPECT_EQ(first.at("losses").at("windings").at(0).at("wire"), "litz:0.1x100");
  EXPECT_EQ(first.at("losses").at("windings").at(1).at("wire"), "foil:0.2");
}

TEST(Batch, DriveModesComeFromTheirColumns) {
  const std::string input =
      "core,mode,ripple,drain-capacitance,vinmax\n"
      "PQ50,pwm-critical,,,370\n"
      "PQ50,pfm-critical,,,370\n"
      "PQ50,pwm-ccm,0.4,,370\n"
      "PQ50,qr,,220e-12,370\n"
      "PQ50,pwm-dcm,,,\n"
      "PQ50,pwm-ccm,0,,\n"
      "PQ50,qr,,-1e-12,\n";
  const std::vector<ExpectedRow> expected = {
      {{"--core", "PQ50", "--vin-max", "370"}, ""},
      {{"--core", "PQ50", "--vin-max", "370", "--mode", "pfm-critical"}, ""},
      {{"--core", "PQ50", "--vin-max", "370", "--mode", "pwm-ccm", "--ripple", "0.4"}, ""},
      {{"--core", "PQ50", "--vin-max", "370", "--mode", "qr", "--drain-capacitance", "220e-12"},
       ""},
      {{}, "mode pwm-dcm: expected pwm-critical, pfm-critical, pwm-ccm or qr"},
      {{}, "ripple 0: must lie above 0 and at most 1"},
      {{}, "drain-capacitance -1e-12: must lie between 0 and 1E-06"},
  };
  // An empty ripple or capacitance cell takes the option's value.
  const Outcome json =
      run({"--batch", "-", "--format", "json", "--ripple", "0.5", "--drain-capacitance", "1e-10"},
          input);
  EXPECT_EQ(json.status, 2);
  const std::vector<std::string> rows = lines(json.out);
  expectRowsAsTheOptions(rows, expected);
  for (std::size_t i = 0; i < rows.size() && i < expected.size(); ++i) {
    const std::vector<std::string>& args = expected[i].args;
    if (args.empty()) {
      continue;
    }
    const auto mode = std::find(args.begin(), args.end(), "--mode");
    EXPECT_EQ(nlohmann::json::parse(rows[i]).at("review").at("mode"),
              mode == args.end() ? "pwm-critical" : *(mode + 1));
  }
}

// The current limit as a column: the row's review is the option's, empty means 1.2·Ipk, and a
// limit below half the peak current fails its row only, named by the column.
TEST(Batch, TheCurrentLimitComesFromItsColumnAndFailsItsRowOnly) {
  const Outcome json =
      run({"--batch", "-", "--format", "json"}, "core,current-limit\nPQ50,20\nPQ50,2.9\nPQ50,\n");
  EXPECT_EQ(json.status, 2);
  const std::vector<std::string> rows = lines(json.out);
  expectRowsAsTheOptions(
      rows, {{{"--core", "PQ50", "--current-limit", "20"}, ""},
             {{}, "current-limit 2.9: must be at least half the primary peak current 6 A"},
             {{"--core", "PQ50"}, ""}});
  ASSERT_EQ(rows.size(), 3U);
  EXPECT_EQ(nlohmann::json::parse(rows[0]).at("review").at("Ilim"), 20.0);
  EXPECT_NEAR(nlohmann::json::parse(rows[2]).at("review").at("Ilim").get<double>(), 7.2, 1e-6);
}

// The switch's conditions as columns: the rows' stress is the options' stress, an absent part
// an empty cell, and a condition that cannot be used fails its row with the column's name.
TEST(Batch, StressConditionsComeFromTheirColumnsAndFailTheirRowOnly) {
  const std::string input =
      "core,vinmax,leakage,clamp-ratio,vds-rating\n"
      "PQ50,370,,1.5,650\n"
      "PQ50,,0,2,800\n"
      "PQ50,150,,1.5,650\n"
      "PQ50,,-1e-6,1.5,650\n"
      "PQ50,,,1,650\n"
      "PQ50,,,1.5,0\n"
      "PQ50,abc,,1.5,650\n";
  const std::vector<ExpectedRow> expected = {
      {{"--core", "PQ50", "--vin-max", "370"}, ""},
      {{"--core", "PQ50", "--leakage", "0", "--clamp-ratio", "2", "--vds-rating", "800"}, ""},
      {{}, "vinmax 150: must be at least the input voltage 200 V"},
      {{}, "leakage -1e-6: must lie between 0 and 1"},
      {{}, "clamp-ratio 1: must lie above 1 and at most 10"},
      {{}, "vds-rating 0: must lie between 1 and 10000"},
      {{}, "vinmax abc: not a number"},
  };
  const Outcome json = run({"--batch", "-", "--format", "json"}, input);
  EXPECT_EQ(json.status, 2);
  EXPECT_EQ(json.err, "");
  const std::vector<std::string> rows = lines(json.out);
  expectRowsAsTheOptions(rows, expected);

  const Outcome csv = run({"--batch", "-"}, input);
  EXPECT_EQ(csv.status, 2);
  const std::vector<std::vector<std::string>> records = csvRecords(csv.out);
  ASSERT_EQ(records.size(), 1 + std::size(expected));
  const std::vector<std::string>& header = records[0];
  const auto cell = [&](std::size_t row, const char* column) {
    const auto at = std::find(header.begin(), header.end(), column);
    EXPECT_NE(at, header.end()) << column;
    return at == header.end() ? std::string()
                              : records[row][static_cast<std::size_t>(at - header.begin())];
  };
  EXPECT_EQ(cell(1, "stress.VinMax"), "370");
  EXPECT_EQ(cell(1, "stress.LlkEstimated"), "true");
  EXPECT_EQ(cell(1, "stress.RclampE24"), "27000");
  EXPECT_EQ(cell(2, "stress.LlkEstimated"), "false");
  EXPECT_EQ(cell(2, "stress.Pclamp"), "0");
  for (const char* part :
       {"stress.Rclamp", "stress.RclampE24", "stress.Cclamp", "stress.CclampE12"}) {
    EXPECT_EQ(cell(2, part), "") << part;
  }
  EXPECT_EQ(cell(2, "stress.VdsRating"), "800");
  for (std::size_t i = 2; i < std::size(expected); ++i) {
    EXPECT_EQ(records[i + 1][1], "error");
    EXPECT_EQ(records[i + 1][2], expected[i].message);
    EXPECT_EQ(cell(i + 1, "stress.VinMax"), "");
  }
}

// Every byte of a string literal, NULs included, without its terminating NUL.
template <std::size_t N>
std::string bytes(const char (&literal)[N]) {
  return std::string(literal, N - 1);
}

// Whatever bytes a batch holds, a message repeating them is one line of well-formed UTF-8 that
// cannot restyle the terminal, and a long one is cut.
TEST(Batch, MessagesQuoteTheInputSafely) {
  const std::string columns =
      " (expected any of vin, vout, iout, fs, vf, effi, duty, core, level, material, ambient, "
      "max-temperature, current-limit, vinmax, leakage, clamp-ratio, vds-rating, mode, ripple, "
      "drain-capacitance, wire-primary, wire-secondary, arrangement, vac-min, vac-max, "
      "line-frequency, bulk-capacitance, charge-duty, outputs, bias, secondary-turns, insulation, "
      "construction, working-voltage, pins)\n";
  const struct {
    const char* what;
    std::string input;
    std::string err;
  } headers[] = {
      // A carriage return ends the header record.
      {"a picture's first bytes", bytes("\x89PNG\r\n\x1A\n\0\0\0\rIHDR"),
       "flyback-calc: --batch -: unknown column \"\\x89PNG\"" + columns},
      {"binary header", bytes("\x89PNG\x1A\0\x1B[2J\xFF\n1\n"),
       "flyback-calc: --batch -: unknown column \"\\x89PNG\\x1A\\x00\\x1B[2J\\xFF\"" + columns},
      {"escape sequence, NUL and a bad byte", bytes("vin,\x1B]0;title\x07\0\xFE\n1,2\n"),
       "flyback-calc: --batch -: unknown column \"\\x1B]0;title\\x07\\x00\\xFE\"" + columns},
      {"long name", "vin," + std::string(5000, 'v') + "\n1,2\n",
       "flyback-calc: --batch -: unknown column \"" + std::string(60, 'v') + "…\"" + columns},
      {"reordering",
       "vin,\xE2\x80\xAE"
       "nimvin\n1,2\n",
       "flyback-calc: --batch -: unknown column \"\\u{202E}nimvin\"" + columns},
  };
  for (const auto& h : headers) {
    SCOPED_TRACE(h.what);
    const Outcome result = run({"--batch", "-"}, h.input);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, h.err);
  }

  // In a row, the message is the row's, in both formats.
  const Outcome json =
      run({"--batch", "-", "--format", "json"},
          "level,core\n\"hi\x1B[0m\nlo\",PQ3230\ntyp," + std::string(100, 'P') + "\xC0\n");
  EXPECT_EQ(json.status, 2);
  const std::vector<std::string> rows = lines(json.out);
  ASSERT_EQ(rows.size(), 2U);
  EXPECT_EQ(nlohmann::json::parse(rows[0])["message"],
            "level \"hi\\x1B[0m\\x0Alo\": expected hi, typ or lo");
  // The core's text reached the design as UTF-16, its bad byte already a replacement character.
  EXPECT_EQ(nlohmann::json::parse(rows[1])["message"].get<std::string>().rfind(
                "core " + std::string(60, 'P') + "…: not a catalogue core", 0),
            0U);
}

TEST(Batch, ExitStatusesAndWarnings) {
  const Outcome allOk = run({"--batch", "-", "--format", "json"}, "vin\n141\n1\n");
  EXPECT_EQ(allOk.status, 0);
  EXPECT_EQ(lines(allOk.out).size(), 2U);
  // The limit rules replace as for the options, and say so naming the row.
  EXPECT_EQ(allOk.err, "flyback-calc: row 2: warning: vin 1 is outside the limits; using 10\n");
  EXPECT_EQ(nlohmann::json::parse(lines(allOk.out)[1])["inputs"]["vin"], "10");

  const Outcome none = run({"--batch", "-"}, "vin\n");
  EXPECT_EQ(none.status, 0);
  EXPECT_EQ(lines(none.out).size(), 1U);  // the header only

  const struct {
    std::vector<std::string> args;
    std::string input;
    std::string err;
  } failures[] = {
      {{"--batch", "-"},
       "voltage\n1\n",
       "flyback-calc: --batch -: unknown column \"voltage\" (expected any of vin, vout, iout, fs, "
       "vf, effi, duty, core, level, material, ambient, max-temperature, current-limit, vinmax, "
       "leakage, "
       "clamp-ratio, vds-rating, mode, ripple, drain-capacitance, wire-primary, wire-secondary, "
       "arrangement, vac-min, vac-max, line-frequency, bulk-capacitance, charge-duty, outputs, "
       "bias, secondary-turns, insulation, construction, working-voltage, pins)\n"},
      {{"--batch", "-"},
       "",
       "flyback-calc: --batch -: no header row naming the columns (vin, "
       "vout, iout, fs, vf, effi, duty, core, level, material, ambient, max-temperature, "
       "current-limit, vinmax, leakage, clamp-ratio, vds-rating, mode, ripple, drain-capacitance, "
       "wire-primary, "
       "wire-secondary, arrangement, vac-min, vac-max, line-frequency, bulk-capacitance, "
       "charge-duty, outputs, bias, secondary-turns, insulation, construction, working-voltage, "
       "pins)\n"},
      {{"--batch", "/nonexistent/specs.csv"},
       "",
       "flyback-calc: --batch /nonexistent/specs.csv: No such file or directory\n"},
      {{"--batch", "-", "--format", "text"},
       "vin\n1\n",
       "flyback-calc: --batch writes --format json or --format csv (see --help)\n"},
      {{"--batch", "-", "--sweep"},
       "vin\n1\n",
       "flyback-calc: --sweep shows one design and cannot be combined with --batch (see --help)\n"},
      {{"--batch", "-", "--plot", "x.png"},
       "vin\n1\n",
       "flyback-calc: --plot shows one design and cannot be combined with --batch (see --help)\n"},
      {{"--batch", ""},
       "",
       "flyback-calc: --batch: expected a file name or - for standard input "
       "(see --help)\n"},
      {{"--format", "csv"}, "", "flyback-calc: --format csv is for --batch (see --help)\n"},
  };
  for (const auto& f : failures) {
    SCOPED_TRACE(f.err);
    const Outcome result = run(f.args, f.input);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, f.err);
  }
}

}  // namespace
}  // namespace fbc
