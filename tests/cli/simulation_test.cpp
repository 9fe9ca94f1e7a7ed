#include "cli/simulation_report.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "cli/flyback_calc.h"
#include "cli/json_writer.h"
#include "cli/ngspice_run.h"
#include "design/core_catalogue.h"
#include "review/design_report.h"
#include "tests/support/an4137_example.h"

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

bool ngspiceInstalled() {
  try {
    return runProgram("ngspice", {"-v"}, std::chrono::seconds(5)).exitStatus == 0;
  } catch (const SimulationError&) {
    return false;
  }
}

// PATH for the life of the object.
class ScopedPath {
 public:
  explicit ScopedPath(const std::string& path) {
    if (const char* old = std::getenv("PATH")) {
      old_ = old;
    }
    setenv("PATH", path.c_str(), 1);
  }
  ~ScopedPath() {
    if (old_) {
      setenv("PATH", old_->c_str(), 1);
    } else {
      unsetenv("PATH");
    }
  }
  ScopedPath(const ScopedPath&) = delete;
  ScopedPath& operator=(const ScopedPath&) = delete;

 private:
  std::optional<std::string> old_;
};

// How close a figure must come, in percent, and why where the model cannot agree closer.
struct Tolerance {
  double percent;
  const char* reason = "";
};

// Eight designs over every drive mode, on PQ50 and EER25.5, one with the leakage its windings
// give and the clamp that takes it, the rest with a measured leakage of 0.1 µH (k close to 1):
// ngspice against the model.
TEST(Simulation, NgspiceAgreesWithTheModel) {
  if (!ngspiceInstalled()) {
    GTEST_SKIP() << "ngspice is not installed (./test installs it)";
  }
  const Tolerance primary{3.0};
  const Tolerance switchVoltage{10.0};
  // The model's secondary falls from n·Ipk at once; the simulated one rings with the leakage
  // and the drain's capacitance at turn-off, and the clamp takes the leakage's energy before
  // the secondary does.
  const Tolerance secondaryPeak{40.0, "the ring of the leakage at turn-off adds to the peak"};
  const struct {
    const char* what;
    std::vector<std::string> args;
    Tolerance secondary = {5.0};  // the secondary's RMS against the winding's
    // The output settles where the whole turns put it: continuous conduction runs open loop at
    // the duty they give, VRO / (Vin + VRO), so its output lands on Vout too.
    Tolerance output = {3.0};
  } designs[] = {
      {"PQ50 pwm-critical, estimated leakage and its clamp",
       {"--core", "PQ50"},
       {8.0, "the clamp takes the leakage's energy before the secondary does"}},
      {"PQ50 pwm-critical", {"--core", "PQ50", "--leakage", "1e-7"}},
      {"EER25.5 pwm-critical", {"--core", "EER25.5", "--leakage", "1e-7"}},
      {"PQ50 pfm-critical", {"--core", "PQ50", "--mode", "pfm-critical", "--leakage", "1e-7"}},
      {"PQ50 pwm-ccm", {"--core", "PQ50", "--mode", "pwm-ccm", "--leakage", "1e-7"}, {5.0}, {1.0}},
      {"EER25.5 pwm-ccm at KRF 0.4",
       {"--core", "EER25.5", "--mode", "pwm-ccm", "--ripple", "0.4", "--leakage", "1e-7"},
       {5.0},
       {1.0}},
      {"EER25.5 qr", {"--core", "EER25.5", "--mode", "qr", "--leakage", "1e-7"}},
      // 250 V to 19 V at 3.4 A, 70 kHz, D 0.3 on PQ35 with its estimated leakage: the valley of
      // the whole turns' design.
      {"PQ35 qr, 250 V to 19 V",
       {"--core", "PQ35", "--mode", "qr", "--vin", "250", "--vout", "19", "--iout", "3.4", "--fs",
        "70000", "--duty", "0.3"},
       {8.0, "the clamp takes the leakage's energy before the secondary does"}},
  };
  for (const auto& d : designs) {
    SCOPED_TRACE(d.what);
    std::vector<std::string> args = d.args;
    args.insert(args.end(), {"--simulate", "--format", "json"});
    const Outcome result = run(args);
    ASSERT_EQ(result.status, 0) << result.err;
    const nlohmann::json simulation = nlohmann::json::parse(result.out).at("simulation");
    EXPECT_EQ(simulation.at("ngspice").get<std::string>().rfind("ngspice-", 0), 0U);
    std::map<std::string, double> difference;
    for (const nlohmann::json& figure : simulation.at("figures")) {
      difference[figure.at("name").get<std::string>()] =
          figure.at("differencePercent").get<double>();
    }
    const std::map<std::string, Tolerance> tolerances = {
        {"ippk", primary},      {"iprms", primary},       {"ispk", secondaryPeak},
        {"isrms", d.secondary}, {"vdspk", switchVoltage}, {"voutavg", d.output},
    };
    for (const auto& [name, tolerance] : tolerances) {
      ASSERT_TRUE(difference.count(name)) << name;
      EXPECT_LE(std::abs(difference[name]), tolerance.percent) << name << ": " << tolerance.reason;
    }
    // Ringing only adds to the secondary's peak.
    EXPECT_GT(difference["ispk"], -d.secondary.percent);
  }
}

// Fairchild AN-4137's worked example (tests/support/an4137_example.h) on PQ3230.
DesignReport an4137() {
  const An4137Example example = an4137Example(u"PQ3230");
  return designFor(example.inputs, CoreCatalogue{}, "--", example.reviewInputs);
}

// The five outputs and the bias of AN-4137's example in ngspice: every output's average voltage
// beside the voltage its whole turns give, every winding's RMS current beside the model's. The
// converter runs open loop at the duty the whole turns give, and every winding is coupled with
// every other by the primary's k, so each sees the primary's leakage against the others: the
// outputs all settle a little low, and the lightly loaded ones are charged by the ring of those
// leakages (docs/engineering-review.md, "Several outputs in ngspice", has the figures).
TEST(Simulation, EveryOutputAndTheBiasBesideTheirWholeTurns) {
  if (!ngspiceInstalled()) {
    GTEST_SKIP() << "ngspice is not installed (./test installs it)";
  }
  const DesignReport report = an4137();
  ASSERT_TRUE(report.review && report.review->valid);
  const Simulation simulation = simulateDesign(report);
  const std::vector<std::string> names = spiceMeasurementNames(*report.review);
  ASSERT_EQ(simulation.figures.size(), names.size());
  std::map<std::string, double> difference;
  for (std::size_t i = 0; i < names.size(); ++i) {
    EXPECT_EQ(simulation.figures[i].name, names[i]);
    difference[names[i]] = simulation.figures[i].differencePercent;
  }
  // The leakage between the windings and the clamp take the outputs down alike.
  const Tolerance output{3.0, "open loop: no controller brings the main output back up"};
  const std::map<std::string, Tolerance> tolerances = {
      {"ippk", {3.0}},
      {"iprms", {3.0}},
      {"voutavg", output},
      {"vout2avg", output},
      {"vout3avg", output},
      {"vout4avg", output},
      {"vout5avg", output},
      {"vbiasavg", {6.0, "the lightly loaded bias is charged by the leakages' ring"}},
      {"isrms", {10.0, "the ring between the windings' leakages adds to the currents"}},
      {"is2rms", {10.0}},
      {"is3rms", {10.0}},
      {"is4rms", {20.0, "a lighter load: the ring weighs more in its current"}},
      {"is5rms", {80.0, "0.1 A: the ring between the leakages dominates its current"}},
  };
  for (const auto& [name, tolerance] : tolerances) {
    ASSERT_TRUE(difference.count(name)) << name;
    EXPECT_LE(std::abs(difference[name]), tolerance.percent) << name << ": " << tolerance.reason;
  }
  // The bias's 10 mA is charged in short pulses on the ring: far more RMS than the model's
  // share of the secondary's trapezoid, never less.
  EXPECT_GT(difference["ibiasrms"], 0.0);
  // Whole turns put every further output within a few per cent of the main one's ratio, and
  // the simulation keeps that order.
  for (const char* name : {"vout2avg", "vout3avg", "vout4avg", "vout5avg"}) {
    EXPECT_LE(std::abs(difference[name] - difference["voutavg"]), 1.5) << name;
  }
}

// The text report names each further output's and the bias's figures after the converter's
// own; the JSON appends them to the figures in the same order, the existing names unchanged.
TEST(Simulation, FurtherOutputsAreReportedAfterTheConvertersFigures) {
  Simulation simulation;
  simulation.ngspice = "ngspice-39";
  for (const std::string_view name : spiceMeasurementNames()) {
    simulation.figures.push_back({std::string(name), 1.0, 1.01, 1.0});
  }
  simulation.figures.push_back({"vout2avg", 5.2, 5.13, -1.3, Winding::Output2});
  simulation.figures.push_back({"is2rms", 3.671, 3.797, 3.4, Winding::Output2});
  simulation.figures.push_back({"vbiasavg", 12.1, 12.49, 3.2, Winding::Bias});
  simulation.figures.push_back({"ibiasrms", 0.018, 0.109, 505.0, Winding::Bias});

  std::ostringstream text;
  writeSimulationText(text, simulation);
  const std::string report = text.str();
  std::size_t at = report.find("Primary peak current Ipk [A]");
  for (const char* line :
       {"Main secondary winding peak IsPk [A]", "Average output voltage [V]",
        "Output 2 average voltage Vactual [V]                5.2         5.13    -1.3%",
        "Output 2 winding RMS IsRms [A]", "Bias average voltage Vactual [V]",
        "Bias winding RMS IsRms [A]                        0.018        0.109  +505.0%"}) {
    const std::size_t next = report.find(line);
    EXPECT_NE(next, std::string::npos) << line << "\n" << report;
    EXPECT_GT(next, at) << line;
    at = next;
  }

  std::ostringstream out;
  JsonWriter json(out);
  writeSimulationJson(json, simulation);
  json.finish();
  const nlohmann::json parsed = nlohmann::json::parse(out.str());
  const std::vector<std::string> expected = {"ippk",   "iprms",    "ispk",    "isrms",
                                             "vdspk",  "voutavg",  "voutpp",  "vout2avg",
                                             "is2rms", "vbiasavg", "ibiasrms"};
  ASSERT_EQ(parsed.at("figures").size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(parsed.at("figures")[i].at("name"), expected[i]);
  }
  EXPECT_DOUBLE_EQ(parsed.at("figures")[10].at("model").get<double>(), 0.018);
}

// The worked example's netlist is one that ngspice reads without a warning.
TEST(Simulation, TheWorkedExamplesNetlistParsesWithoutWarning) {
  if (!ngspiceInstalled()) {
    GTEST_SKIP() << "ngspice is not installed (./test installs it)";
  }
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("flyback-spice-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  const std::string path = (folder / "pq50.cir").string();
  const Outcome result = run({"--core", "PQ50", "--spice", path});
  ASSERT_EQ(result.status, 0) << result.err;
  const std::string output = runNgspice(path);
  EXPECT_EQ(output.find("arning"), std::string::npos) << output;
  EXPECT_NE(output.find("ippk"), std::string::npos);
  std::filesystem::remove_all(folder);
}

TEST(Simulation, UnusableRequestsAreRefusedInOneLine) {
  const struct {
    std::vector<std::string> args;
    std::string message;
  } cases[] = {
      {{"--simulate", "--batch", "-"},
       "--simulate is for one design and cannot be combined with --batch"},
      {{"--spice", "x.cir", "--advise"},
       "--spice is for one design and cannot be combined with --advise"},
      {{"--simulate", "--sweep"},
       "--simulate is for one design and cannot be combined with --sweep"},
      {{"--spice", "x.cir", "--explain"},
       "--spice is for one design and cannot be combined with --explain"},
      {{"--spice", "/nonexistent-folder/x.cir", "--core", "PQ50"}, "/nonexistent-folder/x.cir"},
      // 227 turns crammed onto EER25.5: the leakage reaches LpRef and leaves no coupling.
      {{"--simulate"}, "the design cannot be simulated"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    const Outcome result = run(c.args);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
  }
}

// Without ngspice on PATH the simulation says so in one line, and nothing else is written.
TEST(Simulation, WithoutNgspiceOnePlainLine) {
  const std::filesystem::path empty =
      std::filesystem::temp_directory_path() / ("flyback-empty-" + std::to_string(getpid()));
  std::filesystem::create_directories(empty);
  {
    const ScopedPath path(empty.string());
    const Outcome result = run({"--core", "PQ50", "--simulate"});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err,
              "flyback-calc: --simulate: ngspice was not found on PATH; install it (Debian: "
              "apt-get install ngspice)\n");
  }
  std::filesystem::remove_all(empty);
}

// A simulation that fails gives ngspice's reason in one line and nothing else: here an ngspice
// that names itself and then refuses every netlist.
TEST(Simulation, AFailedSimulationGivesItsReason) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("flyback-fake-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  const std::filesystem::path fake = folder / "ngspice";
  {
    std::ofstream script(fake);
    script << "#!/bin/sh\n"
              "if [ \"$1\" = -v ]; then echo '** ngspice-99 : fake'; exit 0; fi\n"
              "echo 'Circuit: fake'\n"
              "echo 'Error: no such device model: outdiode'\n"
              "exit 1\n";
  }
  std::filesystem::permissions(fake, std::filesystem::perms::owner_all);
  {
    const ScopedPath path(folder.string() + ":/usr/bin:/bin");
    const Outcome result = run({"--core", "PQ50", "--simulate", "--format", "json"});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err,
              "flyback-calc: --simulate: ngspice could not simulate the design: Error: no such "
              "device model: outdiode\n");
  }
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace fbc
