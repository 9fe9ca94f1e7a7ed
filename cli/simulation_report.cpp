#include "cli/simulation_report.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "cli/ngspice_run.h"

namespace fbc {

namespace {

// A netlist file in the temporary folder, removed with this object.
class TemporaryNetlist {
 public:
  explicit TemporaryNetlist(const std::string& text) {
    const char* folder = std::getenv("TMPDIR");
    path_ = std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") +
            "/flyback-calc-XXXXXX.cir";
    const int fd = mkstemps(path_.data(), 4);
    if (fd < 0) {
      throw SimulationError("cannot write the netlist for ngspice into " + path_);
    }
    const bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    close(fd);
    if (!written) {
      std::remove(path_.c_str());
      throw SimulationError("cannot write the netlist for ngspice into " + path_);
    }
  }
  ~TemporaryNetlist() { std::remove(path_.c_str()); }
  TemporaryNetlist(const TemporaryNetlist&) = delete;
  TemporaryNetlist& operator=(const TemporaryNetlist&) = delete;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// What each measurement is, for the text report. With further outputs the secondary's figures
// are the main output's winding's, and each further output's and the bias's are named by it.
std::string caption(const SimulatedFigure& figure, bool severalOutputs) {
  const std::string& name = figure.name;
  if (figure.winding) {
    const bool bias = *figure.winding == Winding::Bias;
    const std::string output =
        bias ? std::string("Bias")
             : "Output " + std::to_string(static_cast<int>(*figure.winding) -
                                          static_cast<int>(Winding::Secondary) + 1);
    return name == outputVoltageMeasurement(*figure.winding)
               ? output + " average voltage Vactual [V]"
               : output + " winding RMS IsRms [A]";
  }
  if (name == "ippk") return "Primary peak current Ipk [A]";
  if (name == "iprms") return "Primary RMS current IpRms [A]";
  if (name == "ispk") {
    return severalOutputs ? "Main secondary winding peak IsPk [A]"
                          : "Secondary winding peak IsPkWinding [A]";
  }
  if (name == "isrms") {
    return severalOutputs ? "Main secondary winding RMS IsRms [A]"
                          : "Secondary winding RMS IsRmsWinding [A]";
  }
  if (name == "vdspk") return "Switch peak voltage Vin + Vclamp [V]";
  if (name == "voutavg") return "Average output voltage [V]";
  if (name == "voutpp") return "Output ripple, peak to peak [V]";
  return name;
}

}  // namespace

std::string designNetlist(const DesignReport& report, const std::string& title) {
  const std::optional<SpiceCircuit> circuit =
      report.review ? spiceCircuit(report.state, *report.review, report.conditions) : std::nullopt;
  if (!circuit && report.review && report.review->stress.valid &&
      !report.review->stress.leakageKnown) {
    throw InputError(
        "the design cannot be simulated: its windings do not fit the bobbin, so there is no "
        "leakage to estimate; give it measured (--leakage)");
  }
  if (!circuit) {
    throw InputError(
        "the design cannot be simulated: it needs a valid review with the switch's stress "
        "(a core temperature level, and a winding layout or a measured --leakage)");
  }
  return spiceNetlist(*circuit, title);
}

Simulation simulateDesign(const DesignReport& report) {
  const TemporaryNetlist netlist(designNetlist(report, "flyback-calc --simulate"));
  Simulation simulation;
  simulation.ngspice = ngspiceVersion();
  const std::string output = runNgspice(netlist.path());
  const std::optional<std::vector<SimulatedFigure>> figures =
      spiceFigures(*report.review, report.state, spiceMeasurements(output));
  if (!figures) {
    throw SimulationError("ngspice did not measure every figure; the simulation did not converge");
  }
  simulation.figures = *figures;
  return simulation;
}

void writeSimulationText(std::ostream& out, const Simulation& simulation) {
  out << "\nSimulation (" << simulation.ngspice << ") beside the model\n";
  std::array<char, 160> line{};
  std::snprintf(line.data(), line.size(), "  %-42s %12s %12s %8s\n", "", "model", "simulated",
                "diff");
  out << line.data();
  const bool severalOutputs =
      std::any_of(simulation.figures.begin(), simulation.figures.end(),
                  [](const SimulatedFigure& f) { return f.winding.has_value(); });
  for (const SimulatedFigure& f : simulation.figures) {
    std::snprintf(line.data(), line.size(), "  %-42s %12.4g %12.4g %+7.1f%%\n",
                  caption(f, severalOutputs).c_str(), f.model, f.simulated, f.differencePercent);
    out << line.data();
  }
}

void writeSimulationJson(JsonWriter& json, const Simulation& simulation) {
  json.beginObject();
  json.key("ngspice");
  json.value(simulation.ngspice);
  json.key("figures");
  json.beginArray();
  for (const SimulatedFigure& f : simulation.figures) {
    json.beginObject();
    json.key("name");
    json.value(f.name);
    json.key("model");
    json.value(f.model);
    json.key("simulated");
    json.value(f.simulated);
    json.key("differencePercent");
    json.value(f.differencePercent);
    json.endObject();
  }
  json.endArray();
  json.endObject();
}

}  // namespace fbc
