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
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "cli/flyback_calc.h"
#include "cli/ngspice_run.h"

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
