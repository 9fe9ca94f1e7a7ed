#include "review/spice_netlist.h"

#include <algorithm>
#include <array>
#include <cctype>
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
// An output that draws nothing still has a diode and a capacitor: sized as for this current.
constexpr double kLightestLoad = 1e-3;

// A number as ngspice reads it, exact to nine figures.
std::string number(double value) {
  std::array<char, 32> buffer{};
  const int length = std::snprintf(buffer.data(), buffer.size(), "%.9g", value);
  return std::string(buffer.data(), static_cast<std::size_t>(std::max(length, 0)));
}

// An output's number: 1 the main output's secondary, 2 to 8 the further outputs'.
int outputNumber(Winding winding) {
  return static_cast<int>(winding) - static_cast<int>(Winding::Secondary) + 1;
}

// Every name a netlist may measure: the converter's own, and each further output's and the
// bias's.
bool measuredName(const std::string& name) {
  const std::vector<std::string_view> names = spiceMeasurementNames();
  if (std::find(names.begin(), names.end(), name) != names.end()) {
    return true;
  }
  for (int i = static_cast<int>(Winding::Output2); i <= static_cast<int>(Winding::Bias); ++i) {
    const auto winding = static_cast<Winding>(i);
    if (name == outputVoltageMeasurement(winding) || name == windingRmsMeasurement(winding)) {
      return true;
    }
  }
  return false;
}

// The saturation current that gives `vf` at `current` (27 °C).
double saturationCurrent(double current, double vf) {
  return std::max(current, kLightestLoad) * std::exp(-vf / kThermalVoltage);
}

// The capacitor that keeps an output's ripple to kOutputRipple of its voltage.
double outputCapacitor(double current, double voltage, double period) {
  return std::max(current, kLightestLoad) * period / (kOutputRipple * voltage);
}

// Every further output and the bias as windings of the netlist; `rest` [W] is what η stands for
// beyond the diodes and the clamp, shared among the outputs by their power.
std::vector<SpiceWinding> furtherWindings(const DesignReview& review, double period, double rest) {
  std::vector<SpiceWinding> windings;
  const auto add = [&](Winding winding, const OutputResult& o, bool output) {
    SpiceWinding w;
    w.winding = winding;
    w.turns = o.turns;
    const double ratio = static_cast<double>(o.turns) / review.Np;
    w.l = review.LpRef * ratio * ratio;
    w.v = o.V;
    w.i = o.I;
    w.vf = o.Vf;
    w.diodeIs = saturationCurrent(o.I, o.Vf);
    w.cout = outputCapacitor(o.I, o.V, period);
    w.rload = o.I > 0.0 ? o.V / o.I : 0.0;
    const double share = output && review.Pout > 0.0 ? rest * o.P / review.Pout : 0.0;
    w.rrest = share > 0.0 ? o.V * o.V / share : 0.0;
    windings.push_back(w);
  };
  for (std::size_t i = 1; i < review.outputs.size(); ++i) {
    add(outputWinding(static_cast<int>(i) + 1), review.outputs[i], true);
  }
  if (review.bias) {
    add(Winding::Bias, *review.bias, false);
  }
  return windings;
}

// What the diodes pass and the loads draw besides what η stands for [W]: every output's and
// the bias's (V + Vf)·I.
double outputSidePower(const DesignReview& review, double vout, double iout, double vf) {
  double power = (vout + vf) * iout;
  for (std::size_t i = 1; i < review.outputs.size(); ++i) {
    const OutputResult& o = review.outputs[i];
    power += (o.V + o.Vf) * o.I;
  }
  if (review.bias) {
    power += (review.bias->V + review.bias->Vf) * review.bias->I;
  }
  return power;
}

// The periods the outputs need to settle: kSettlingTimeConstants of the slowest output's
// capacitor with its loads, and the two that are measured.
int settlingPeriods(const SpiceCircuit& c) {
  const auto timeConstant = [](double cout, double rload, double rrest) {
    const double conductance =
        (rload > 0.0 ? 1.0 / rload : 0.0) + (rrest > 0.0 ? 1.0 / rrest : 0.0);
    return conductance > 0.0 ? cout / conductance : 0.0;
  };
  double slowest = timeConstant(c.cout, c.rload, c.rrest);
  for (const SpiceWinding& w : c.windings) {
    slowest = std::max(slowest, timeConstant(w.cout, w.rload, w.rrest));
  }
  return std::clamp(static_cast<int>(std::ceil(kSettlingTimeConstants * slowest / c.period)) + 2,
                    kMinPeriods, kMaxPeriods);
}

// The name a winding's parts and nodes carry in the netlist: "s2" to "s8", "b".
std::string partSuffix(Winding winding) {
  std::string suffix(windingSuffix(winding));
  std::transform(suffix.begin(), suffix.end(), suffix.begin(), [](char ch) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  });
  return suffix;
}

// A further output's or the bias's winding, coupled with the primary, the main secondary and
// the windings before it, its diode, capacitor and loads.
void writeWinding(std::ostringstream& n, const SpiceWinding& w, const SpiceCircuit& c,
                  std::size_t index) {
  const std::string x = partSuffix(w.winding);
  const std::string l = "L" + x;
  n << "\n* "
    << (w.winding == Winding::Bias ? std::string("Bias winding")
                                   : "Output " + std::to_string(outputNumber(w.winding)))
    << ": " << number(w.v) << " V at " << number(w.i) << " A on " << w.turns << " turns, Vf "
    << number(w.vf) << " V at that current.\n"
    << l << " 0 sec" << x << " " << number(w.l) << " IC=0\n"
    << "Kp" << x << " Lp " << l << " {k}\n"
    << "Ks" << x << " Ls " << l << " {k}\n";
  for (std::size_t j = 0; j < index; ++j) {
    const std::string before = partSuffix(c.windings[j].winding);
    n << "K" << before << x << " L" << before << " " << l << " {k}\n";
  }
  n << "D" << x << " sec" << x << " out" << x << " diode" << x << "\n"
    << ".model diode" << x << " D(IS=" << number(w.diodeIs) << " N=1)\n"
    << "C" << x << " out" << x << " 0 " << number(w.cout) << " IC=" << number(w.v) << "\n";
  if (w.rload > 0.0) {
    n << "Rload" << x << " out" << x << " 0 " << number(w.rload) << "\n";
  }
  if (w.rrest > 0.0) {
    n << "Rrest" << x << " out" << x << " 0 " << number(w.rrest) << "\n";
  }
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
  c.diodeIs = saturationCurrent(c.iout, vf);
  c.cout = outputCapacitor(c.iout, c.vout, c.period);
  c.rload = c.vout / c.iout;
  // The input power the primary stores each period reaches the outputs; what η stands for
  // beyond the diodes and the clamp is drawn by a resistor beside each output's load, its share
  // of the output power (the bias draws only its own current).
  const double rest = review.Pin - outputSidePower(review, c.vout, c.iout, vf) - st.Pclamp;
  const double mainShare = review.Pout > 0.0 ? c.vout * c.iout / review.Pout : 1.0;
  c.rrest = rest > 0.0 ? c.vout * c.vout / (rest * mainShare) : 0.0;
  c.windings = furtherWindings(review, c.period, std::max(rest, 0.0));
  c.periods = settlingPeriods(c);
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
  if (!c.windings.empty()) {
    n << "\n* Every further winding is coupled with every other by k, the primary's coupling.\n";
  }
  for (std::size_t i = 0; i < c.windings.size(); ++i) {
    writeWinding(n, c.windings[i], c, i);
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
  for (const SpiceWinding& w : c.windings) {
    const std::string x = partSuffix(w.winding);
    n << ".meas tran " << outputVoltageMeasurement(w.winding) << " AVG v(out" << x << ")" << window;
    // An output that draws nothing has no model current to set its winding's beside.
    if (w.i > 0.0) {
      n << ".meas tran " << windingRmsMeasurement(w.winding) << " RMS i(L" << x << ")" << window;
    }
  }
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

std::string outputVoltageMeasurement(Winding winding) {
  if (winding == Winding::Bias) {
    return "vbiasavg";
  }
  return "vout" + std::to_string(outputNumber(winding)) + "avg";
}

std::string windingRmsMeasurement(Winding winding) {
  if (winding == Winding::Bias) {
    return "ibiasrms";
  }
  return "is" + std::to_string(outputNumber(winding)) + "rms";
}

std::vector<std::string> spiceMeasurementNames(const DesignReview& review) {
  std::vector<std::string> names;
  for (const std::string_view name : spiceMeasurementNames()) {
    names.emplace_back(name);
  }
  const auto add = [&names](Winding winding, const OutputResult& o) {
    names.push_back(outputVoltageMeasurement(winding));
    if (o.I > 0.0) {
      names.push_back(windingRmsMeasurement(winding));
    }
  };
  for (std::size_t i = 1; i < review.outputs.size(); ++i) {
    add(outputWinding(static_cast<int>(i) + 1), review.outputs[i]);
  }
  if (review.bias) {
    add(Winding::Bias, *review.bias);
  }
  return names;
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
    if (!measuredName(name)) {
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
  // The main secondary carries its share of the primary's ampere-turns: all of them where it
  // is the only one.
  const bool shared = !review.outputs.empty();
  struct Model {
    std::string name;
    double value;
    std::optional<Winding> winding;
  };
  std::vector<Model> model = {
      {"ippk", review.Ipk, std::nullopt},
      {"iprms", review.IpRms, std::nullopt},
      {"ispk", shared ? review.outputs.front().IsPk : review.IsPkWinding, std::nullopt},
      {"isrms", shared ? review.outputs.front().IsRms : review.IsRmsWinding, std::nullopt},
      {"vdspk", vin + (st.clampNeeded() ? st.Vclamp : st.VRO), std::nullopt},
      {"voutavg", vout, std::nullopt},
      {"voutpp", kOutputRipple * vout, std::nullopt},
  };
  const auto add = [&model](Winding winding, const OutputResult& o) {
    model.push_back({outputVoltageMeasurement(winding), o.Vactual, winding});
    if (o.I > 0.0) {
      model.push_back({windingRmsMeasurement(winding), o.IsRms, winding});
    }
  };
  for (std::size_t i = 1; i < review.outputs.size(); ++i) {
    add(outputWinding(static_cast<int>(i) + 1), review.outputs[i]);
  }
  if (review.bias) {
    add(Winding::Bias, *review.bias);
  }
  std::vector<SimulatedFigure> figures;
  for (const Model& m : model) {
    const auto at = measured.find(m.name);
    if (at == measured.end()) {
      return std::nullopt;
    }
    figures.push_back(
        {m.name, m.value, at->second, (at->second - m.value) / m.value * 100.0, m.winding});
  }
  return figures;
}

}  // namespace fbc
