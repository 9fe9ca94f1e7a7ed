#include "review/spice_netlist.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <sstream>

#include "review/switch_stress.h"

namespace fbc {

namespace {

// The output capacitor keeps its ripple to this share of Vout.
constexpr double kOutputRipple = 0.02;
// Settling: this many time constants of the output capacitor with its loads.
constexpr double kSettlingTimeConstants = 6.0;
constexpr int kMinPeriods = 20;
constexpr int kMaxPeriods = 400;
constexpr int kStepsPerPeriod = 200;
// The thermal voltage of the diode model at ngspice's 27 °C.
constexpr double kThermalVoltage = 0.025852;

// A number as ngspice reads it, exact to nine figures.
std::string number(double value) {
  std::array<char, 32> buffer{};
  const int length = std::snprintf(buffer.data(), buffer.size(), "%.9g", value);
  return std::string(buffer.data(), static_cast<std::size_t>(std::max(length, 0)));
}

}  // namespace

std::optional<SpiceCircuit> spiceCircuit(const DesignState& state, const DesignReview& review,
                                         const ReviewConditions& conditions) {
  // Windings that cannot be wound give no leakage to simulate.
  if (!review.valid || !review.stress.valid || !review.stress.leakageKnown) {
    return std::nullopt;
  }
  const SwitchStress& st = review.stress;
  SpiceCircuit c;
  c.vin = state.Vin;
  c.lp = review.LpRef;
  c.ls = review.LpRef / (review.n * review.n);
  c.k = st.k;
  c.period = state.T;
  // The on-time the whole turns give: in pwm-ccm the duty VRO / (Vin + VRO) that holds Vout
  // without a control loop, in qr the switch's time to the valley design's peak.
  c.ton = review.mode == DriveMode::Qr ? review.operation.figures.ton.value_or(0.0)
                                       : review.modeInputs.duty * c.period;
  c.cd = review.mode == DriveMode::Qr ? conditions.drainCapacitance : 0.0;
  c.clamp = st.clampNeeded();
  c.rclamp = st.RclampE24;
  c.cclamp = st.CclampE12;
  c.vclamp = st.Vclamp;
  c.ipStart = review.mode == DriveMode::PwmCcm ? review.Ipk - review.operation.dI : 0.0;
  c.vout = state.Vout;
  c.iout = state.Iout;
  const double vf = state.Vf;
  c.diodeIs = c.iout * std::exp(-vf / kThermalVoltage);
  c.cout = c.iout * c.period / (kOutputRipple * c.vout);
  c.rload = c.vout / c.iout;
  // The input power the primary stores each period reaches the output; what η stands for
  // beyond the diode and the clamp is drawn by a resistor beside the load.
  const double rest = review.Pin - c.vout * c.iout - vf * c.iout - st.Pclamp;
  c.rrest = rest > 0.0 ? c.vout * c.vout / rest : 0.0;
  const double loadPower = c.vout * c.iout + std::max(rest, 0.0);
  const double timeConstant = c.vout * c.vout / loadPower * c.cout;
  c.periods =
      std::clamp(static_cast<int>(std::ceil(kSettlingTimeConstants * timeConstant / c.period)) + 2,
                 kMinPeriods, kMaxPeriods);
  c.maxStep = c.period / kStepsPerPeriod;
  if (!(c.k > 0.0) || !(c.ton > 0.0) || !(c.ton < c.period)) {
    return std::nullopt;
  }
  return c;
}

std::string spiceNetlist(const SpiceCircuit& c, std::string_view title, bool waveforms) {
  std::ostringstream n;
  const double end = c.periods * c.period;
  const double from = end - 2.0 * c.period;
  n << "* " << title << "\n"
    << "* The flyback converter as the design review worked it out, for ngspice -b.\n"
    << "* Change a part's value on its line; the .meas lines at the end report the figures.\n"
    << ".param Vin=" << number(c.vin) << " Lp=" << number(c.lp) << " Ls=" << number(c.ls)
    << " k=" << number(c.k) << "\n"
    << ".param T=" << number(c.period) << " Ton=" << number(c.ton) << "\n\n"
    << "* Input: the DC source at the design's lowest input.\n"
    << "Vin in 0 DC {Vin}\n\n"
    << "* Transformer: two coupled inductors; the dots (first nodes) give the flyback's\n"
    << "* polarity, and 1 - k^2 of Lp is the leakage the clamp must take.\n"
    << "Lp in drain {Lp} IC=" << number(c.ipStart) << "\n"
    << "Ls 0 sec {Ls} IC=0\n"
    << "Kps Lp Ls {k}\n\n"
    << "* Switch: on for Ton each period T; Vsense carries its current.\n"
    << "Vsense drain swn 0\n"
    << "Sw swn 0 gate 0 switch\n"
    << ".model switch SW(Vt=2.5 Vh=0.1 Ron=10m Roff=100Meg)\n"
    << "Vgate gate 0 PULSE(0 5 0 1n 1n {Ton} {T})\n";
  if (c.cd > 0.0) {
    n << "* Drain capacitance: the quasi-resonant ring's.\n"
      << "Cd drain 0 " << number(c.cd) << " IC=0\n";
  }
  if (c.clamp) {
    n << "\n* RCD clamp across the primary (E24 resistor, E12 capacitor), starting at its "
         "voltage.\n"
      << "Dclamp drain clamp clampdiode\n"
      << ".model clampdiode D(IS=1e-14 N=1)\n"
      << "Rclamp clamp in " << number(c.rclamp) << "\n"
      << "Cclamp clamp in " << number(c.cclamp) << " IC=" << number(c.vclamp) << "\n";
  }
  n << "\n* Output: the diode gives Vf at the output current; the capacitor starts at Vout.\n"
    << "Dout sec out outdiode\n"
    << ".model outdiode D(IS=" << number(c.diodeIs) << " N=1)\n"
    << "Cout out 0 " << number(c.cout) << " IC=" << number(c.vout) << "\n"
    << "* The load Vout/Iout.\n"
    << "Rload out 0 " << number(c.rload) << "\n";
  if (c.rrest > 0.0) {
    n << "* What the efficiency stands for beyond the diode and the clamp: the output takes the\n"
      << "* whole input power the primary stores, so the simulated Vout checks it.\n"
      << "Rrest out 0 " << number(c.rrest) << "\n";
  }
  n << "\n* " << c.periods << " periods; the last two are measured.\n"
    << ".options method=gear reltol=1e-3 abstol=1e-6 vntol=1e-4\n"
    << ".tran " << number(c.maxStep) << " " << number(end) << " " << number(from) << " "
    << number(c.maxStep) << " UIC\n"
    << "* Winding currents, not the switch's: the drain capacitance's discharge at turn-on\n"
    << "* would spoil the switch current's peak.\n";
  const std::string window = " from=" + number(from) + " to=" + number(end) + "\n";
  n << ".meas tran ippk MAX i(Lp)" << window << ".meas tran iprms RMS i(Lp)" << window
    << ".meas tran ispk MAX i(Ls)" << window << ".meas tran isrms RMS i(Ls)" << window
    << ".meas tran vdspk MAX v(drain)" << window << ".meas tran voutavg AVG v(out)" << window
    << ".meas tran voutpp PP v(out)" << window;
  if (waveforms) {
    n << "* The measured periods' waveforms.\n"
      << ".print tran v(drain) i(Vsense) i(Ls)\n";
  }
  n << ".end\n";
  return n.str();
}

std::vector<std::string_view> spiceMeasurementNames() {
  return {"ippk", "iprms", "ispk", "isrms", "vdspk", "voutavg", "voutpp"};
}

std::map<std::string, double> spiceMeasurements(std::string_view output) {
  std::map<std::string, double> found;
  std::istringstream lines{std::string(output)};
  for (std::string line; std::getline(lines, line);) {
    std::istringstream words(line);
    std::string name;
    std::string equals;
    std::string value;
    if (!(words >> name >> equals >> value) || equals != "=") {
      continue;
    }
    const std::vector<std::string_view> names = spiceMeasurementNames();
    if (std::find(names.begin(), names.end(), name) == names.end()) {
      continue;
    }
    char* parsedEnd = nullptr;
    const double number = std::strtod(value.c_str(), &parsedEnd);
    if (parsedEnd != value.c_str() && std::isfinite(number)) {
      found[name] = number;
    }
  }
  return found;
}

std::vector<SpiceSample> spiceWaveform(std::string_view output) {
  std::vector<SpiceSample> samples;
  std::istringstream lines{std::string(output)};
  for (std::string line; std::getline(lines, line);) {
    std::istringstream words(line);
    long index = 0;
    SpiceSample s;
    // A row is an index and four numbers; headers and page breaks are not.
    if (!(words >> index >> s.t >> s.vds >> s.isw >> s.id)) {
      continue;
    }
    if (std::isfinite(s.t) && std::isfinite(s.vds) && std::isfinite(s.isw) && std::isfinite(s.id) &&
        (samples.empty() || s.t >= samples.back().t)) {
      samples.push_back(s);
    }
  }
  return samples;
}

std::optional<std::vector<SimulatedFigure>> spiceFigures(
    const DesignReview& review, const DesignState& state,
    const std::map<std::string, double>& measured) {
  if (!review.valid || !review.stress.valid || !review.stress.leakageKnown) {
    return std::nullopt;
  }
  const SwitchStress& st = review.stress;
  const double vin = state.Vin;
  const double vout = state.Vout;
  const std::vector<std::pair<std::string_view, double>> model = {
      {"ippk", review.Ipk},
      {"iprms", review.IpRms},
      {"ispk", review.IsPkWinding},
      {"isrms", review.IsRmsWinding},
      {"vdspk", vin + (st.clampNeeded() ? st.Vclamp : st.VRO)},
      {"voutavg", vout},
      {"voutpp", kOutputRipple * vout},
  };
  std::vector<SimulatedFigure> figures;
  for (const auto& [name, value] : model) {
    const auto at = measured.find(std::string(name));
    if (at == measured.end()) {
      return std::nullopt;
    }
    figures.push_back({std::string(name), value, at->second, (at->second - value) / value * 100.0});
  }
  return figures;
}

}  // namespace fbc
