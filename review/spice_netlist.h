#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "design/design_state.h"
#include "review/review.h"
#include "review/review_inputs.h"
#include "review/windings/winding.h"

namespace fbc {

// A further output or the bias winding in the netlist: its own winding, diode, capacitor and
// load, coupled with every other winding. SI units.
struct SpiceWinding {
  Winding winding = Winding::Output2;
  int turns = 0;
  double l = 0;        // H, LpRef·(turns/Np)²
  double v = 0;        // V, the target, where its capacitor starts
  double i = 0;        // A, its load current
  double vf = 0;       // V
  double diodeIs = 0;  // A, its diode's saturation current: Vf at its current
  double cout = 0;     // F
  double rload = 0;    // Ω, V/I; 0: no load (an output that draws nothing)
  double rrest = 0;    // Ω, its share of what η stands for; 0: none (the bias)
};

// The converter as the review designs it, in the values an ngspice netlist needs. SI units.
struct SpiceCircuit {
  double vin = 0;      // V, the DC source
  double lp = 0;       // H, primary: LpRef
  double ls = 0;       // H, secondary: LpRef / n² with the whole-turn n
  double k = 0;        // coupling from the leakage
  double period = 0;   // s, the mode's period at the design point
  double ton = 0;      // s, the switch's on-time
  double cd = 0;       // F, drain capacitance
  bool clamp = false;  // an RCD clamp is fitted (there is leakage)
  double rclamp = 0;   // Ω, E24
  double cclamp = 0;   // F, E12
  double vclamp = 0;   // V, the clamp capacitor's starting voltage
  double ipStart = 0;  // A, the primary's current at the first turn-on (continuous conduction)
  double vout = 0;     // V
  double iout = 0;     // A
  double diodeIs = 0;  // A, the output diode's saturation current: Vf at Iout
  double cout = 0;     // F, output capacitor
  double rload = 0;    // Ω, Vout / Iout
  double rrest = 0;    // Ω, draws the main output's share of what η stands for; 0: none
  // The further outputs in the order given, then the bias winding.
  std::vector<SpiceWinding> windings;
  int periods = 0;     // simulated periods; the last two are measured
  double maxStep = 0;  // s
};

// The circuit of a valid review whose stress is valid, in `conditions` (its drive mode and
// drain capacitance); `state` gives Vin, Vout, Iout, Vf, η and the period, the review every
// further output and the bias with their whole turns. What η stands for beyond the diodes and
// the clamp is drawn beside the outputs' loads, each its share of the output power, so that the
// secondaries take the whole input power the primary stores. Nothing where the review or the
// stress is not valid.
std::optional<SpiceCircuit> spiceCircuit(const DesignState& state, const DesignReview& review,
                                         const ReviewConditions& conditions);

// The netlist of `circuit`, self-contained and commented, with a `.tran` that skips the settling
// periods and `.meas` lines for the figures spiceFigures() compares; with `waveforms` also a
// `.print` of the measured periods' switch voltage and current and diode current.
std::string spiceNetlist(const SpiceCircuit& circuit, std::string_view title,
                         bool waveforms = false);

// One printed point of the measured periods: time [s], switch voltage [V], switch current and
// output diode current [A].
struct SpiceSample {
  double t = 0;
  double vds = 0;
  double isw = 0;
  double id = 0;
};

// The points a netlist with waveforms printed, in time order.
std::vector<SpiceSample> spiceWaveform(std::string_view output);

// The `.meas` results ngspice -b printed ("ippk = 6.05e+00 at= ..."), by their lower-case
// names. A measurement that failed is absent.
std::map<std::string, double> spiceMeasurements(std::string_view output);

// One figure of the model beside the simulation's.
struct SimulatedFigure {
  std::string name;
  double model = 0;
  double simulated = 0;
  double differencePercent = 0;  // (simulated − model) / model · 100
  // The further output or the bias whose figure it is; none for the converter's own figures
  // and the main output's.
  std::optional<Winding> winding = std::nullopt;
};

// The names of the measurements every netlist makes, in the order figures are reported.
std::vector<std::string_view> spiceMeasurementNames();

// The measurements of a further output's or the bias's average voltage and its winding's RMS
// current: "vout2avg" and "is2rms" to "vout8avg" and "is8rms", "vbiasavg" and "ibiasrms".
std::string outputVoltageMeasurement(Winding winding);
std::string windingRmsMeasurement(Winding winding);

// The names of every measurement the review's netlist makes: spiceMeasurementNames(), then each
// further output's voltage and current and the bias's, in the order figures are reported (no
// current for an output that draws none).
std::vector<std::string> spiceMeasurementNames(const DesignReview& review);

// The model's figures against the measurements: the primary's peak and RMS current, the main
// secondary winding's peak and RMS (its share of the primary's ampere-turns), the switch's peak
// voltage and the average output voltage and its ripple; then each further output's average
// voltage beside the voltage its whole turns give (Vactual) and its winding's RMS current
// beside the model's (IsRms), and the bias's. Nothing where a measurement is missing.
std::optional<std::vector<SimulatedFigure>> spiceFigures(
    const DesignReview& review, const DesignState& state,
    const std::map<std::string, double>& measured);

}  // namespace fbc
