#include "review/spice_netlist.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "design/calculation.h"
#include "design/core_catalogue.h"
#include "review/design_report.h"
#include "review/switch_stress.h"
#include "tests/support/an4137_example.h"

namespace fbc {
namespace {

// The thermal voltage of the netlist's diode model at ngspice's 27 °C.
constexpr double kThermalVoltageForTest = 0.025852;

struct Reviewed {
  DesignState state;
  DesignReview review;
  ReviewConditions conditions;
};

Reviewed reviewOnPq50(DriveMode mode, std::optional<double> leakage = std::nullopt) {
  Reviewed r;
  DesignInputs inputs;
  inputs.core = u"PQ50";
  EXPECT_TRUE(calculateDesign(inputs, CoreCatalogue{}, r.state).completed);
  r.conditions.mode = mode;
  r.conditions.leakage = leakage;
  r.review = reviewDesign(r.state, *levelSwing(inputs.level), r.conditions);
  return r;
}

// Fairchild AN-4137's worked example (tests/support/an4137_example.h) on PQ3230; `outputs`
// replaces its further outputs.
DesignReport an4137(std::u16string_view outputs = kAn4137Outputs) {
  const An4137Example example = an4137Example(u"PQ3230", outputs);
  return designFor(example.inputs, CoreCatalogue{}, "--", example.reviewInputs);
}

// The circuit is the review's: the secondary from the whole turns, the coupling from the
// leakage, the mode's on-time and starting current, and an output that takes the whole input
// power less the diode's and the clamp's shares.
TEST(SpiceNetlist, TheCircuitIsTheReviewsConverter) {
  const struct {
    DriveMode mode;
    double ton;      // s
    double ipStart;  // A
    double cd;       // F
  } cases[] = {
      {DriveMode::PwmCritical, 10e-6, 0.0, 0.0},
      {DriveMode::PfmCritical, 10e-6, 0.0, 0.0},
      // The duty of the whole turns 33:4, VRO / (Vin + VRO) = 203.775 / 403.775.
      {DriveMode::PwmCcm, 10.0935e-6, 1.4861, 0.0},
      {DriveMode::Qr, 9.8095e-6, 0.0, 100e-12},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(driveModeCode(c.mode)));
    const Reviewed r = reviewOnPq50(c.mode);
    const std::optional<SpiceCircuit> circuit = spiceCircuit(r.state, r.review, r.conditions);
    ASSERT_TRUE(circuit);
    EXPECT_DOUBLE_EQ(circuit->lp, r.review.LpRef);
    EXPECT_NEAR(circuit->ls * r.review.n * r.review.n, r.review.LpRef, 1e-15);
    EXPECT_EQ(circuit->k, r.review.stress.k);
    EXPECT_NEAR(circuit->ton, c.ton, 1e-10);
    EXPECT_NEAR(circuit->ipStart, c.ipStart, 1e-4);
    EXPECT_EQ(circuit->cd, c.cd);
    EXPECT_TRUE(circuit->clamp);
    EXPECT_EQ(circuit->rclamp, r.review.stress.RclampE24);
    EXPECT_EQ(circuit->cclamp, r.review.stress.CclampE12);
    // Power balance at Vout: the load, the rest, the diode's Vf·Iout and the clamp make Pin.
    const double vout = circuit->vout;
    const double drawn = vout * vout / circuit->rload + vout * vout / circuit->rrest +
                         0.7 * circuit->iout + r.review.stress.Pclamp;
    EXPECT_NEAR(drawn, r.review.Pin, 1e-9 * r.review.Pin);
    // The diode's model gives Vf at the output current (27 °C).
    EXPECT_NEAR(0.025852 * std::log(circuit->iout / circuit->diodeIs), 0.7, 1e-7);
    EXPECT_GE(circuit->periods, 20);
    EXPECT_LE(circuit->periods, 400);
  }
  // Without a valid stress there is nothing to simulate.
  EXPECT_FALSE(spiceCircuit(DesignState{}, DesignReview{}, ReviewConditions{}));
}

TEST(SpiceNetlist, TheNetlistIsCommentedAndMeasuresTheLastTwoPeriods) {
  const Reviewed r = reviewOnPq50(DriveMode::Qr);
  const SpiceCircuit circuit = *spiceCircuit(r.state, r.review, r.conditions);
  const std::string netlist = spiceNetlist(circuit, "test");
  for (const char* line :
       {"* test\n", "Lp in drain {Lp}", "Ls 0 sec {Ls} IC=0\n", "Kps Lp Ls {k}\n",
        "Vgate gate 0 PULSE(0 5 0 1n 1n {Ton} {T})\n", "Cd drain 0 1e-10 IC=0\n",
        "Rclamp clamp in ", "Cclamp clamp in ", "Dout sec out outdiode\n", "Rload out 0 2.4\n",
        "Rrest out 0 ", ".options method=gear", " UIC\n", ".meas tran ippk MAX i(Lp)",
        ".meas tran isrms RMS i(Ls)", ".meas tran voutavg AVG v(out)", ".end\n"}) {
    EXPECT_NE(netlist.find(line), std::string::npos) << line;
  }
  // Every line that is not a comment is one ngspice reads: no stray text.
  EXPECT_EQ(netlist.rfind(".end\n"), netlist.size() - 5);
  // Without leakage there is no clamp to fit.
  const Reviewed ideal = reviewOnPq50(DriveMode::PwmCritical, 0.0);
  const std::string plain =
      spiceNetlist(*spiceCircuit(ideal.state, ideal.review, ideal.conditions), "no leakage");
  EXPECT_EQ(plain.find("Rclamp"), std::string::npos);
  EXPECT_EQ(plain.find("Cd drain"), std::string::npos);
}

TEST(SpiceNetlist, WaveformRowsAreReadAndEverythingElseSkipped) {
  const std::string output =
      "ippk                =  6.050732e+00 at=  2.370004e-03\n"
      "Index   time            v(drain)        vsense#branch   ls#branch\n"
      "------------------------------------------------------------------\n"
      "0\t5.340000e-03\t2.000000e+02\t2.000000e-06\t-4.14382e-11\t\n"
      "1\t5.341000e-03\t3.4e-08\t3.425057e+00\t0.0\t\n"
      "\f\n                              * flyback-calc\n"
      "2\t5.342000e-03\t4.1e+02\tnan\t1.0\n"
      "3\t5.343000e-03\t4.1e+02\t0\t4.9e+01\n";
  const std::vector<SpiceSample> samples = spiceWaveform(output);
  ASSERT_EQ(samples.size(), 3U);
  EXPECT_DOUBLE_EQ(samples[1].isw, 3.425057);
  EXPECT_DOUBLE_EQ(samples[2].id, 49.0);
  EXPECT_DOUBLE_EQ(samples[2].t, 5.343e-3);
  const Reviewed r = reviewOnPq50(DriveMode::PwmCritical);
  const SpiceCircuit circuit = *spiceCircuit(r.state, r.review, r.conditions);
  EXPECT_EQ(spiceNetlist(circuit, "t").find(".print"), std::string::npos);
  EXPECT_NE(spiceNetlist(circuit, "t", true).find(".print tran v(drain) i(Vsense) i(Ls)\n"),
            std::string::npos);
}

TEST(SpiceNetlist, MeasurementsAreReadFromNgspicesOutput) {
  const std::string output =
      "Circuit: * test\n\n  Measurements for Transient Analysis\n\n"
      "ippk                =  6.050732e+00 at=  2.370004e-03\n"
      "iprms               =   2.54391e+00 from=  2.36000e-03 to=  2.40000e-03\n"
      "ispk                =  nan at= 0\n"
      "isrms failed\n"
      "voutavg             =  2.318591e+01 from=  2.360000e-03 to=  2.400000e-03\n"
      "other               =  1.0\n";
  const std::map<std::string, double> m = spiceMeasurements(output);
  EXPECT_EQ(m.size(), 3U);
  EXPECT_DOUBLE_EQ(m.at("ippk"), 6.050732);
  EXPECT_DOUBLE_EQ(m.at("iprms"), 2.54391);
  EXPECT_DOUBLE_EQ(m.at("voutavg"), 23.18591);
  // A figure ngspice did not measure leaves the comparison empty.
  const Reviewed r = reviewOnPq50(DriveMode::PwmCritical);
  EXPECT_FALSE(spiceFigures(r.review, r.state, m));
  std::map<std::string, double> all;
  for (const std::string_view name : spiceMeasurementNames()) {
    all[std::string(name)] = 1.0;
  }
  all["ippk"] = 6.3;
  const std::optional<std::vector<SimulatedFigure>> figures = spiceFigures(r.review, r.state, all);
  ASSERT_TRUE(figures);
  ASSERT_EQ(figures->size(), spiceMeasurementNames().size());
  EXPECT_EQ((*figures)[0].name, "ippk");
  EXPECT_DOUBLE_EQ((*figures)[0].model, r.review.Ipk);
  EXPECT_NEAR((*figures)[0].differencePercent, 5.0, 1e-4);
}

// The secondary winding's currents from the primary's ampere-turns: a triangle from n·Ipk over
// the reset time in critical conduction, a trapezoid over (1 − D)·T in continuous conduction.
TEST(SpiceNetlist, SecondaryWindingCurrentsFollowThePrimarysAmpereTurns) {
  const Reviewed critical = reviewOnPq50(DriveMode::PwmCritical);
  const DesignReview& w = critical.review;
  EXPECT_DOUBLE_EQ(w.IsPkWinding, 8.25 * critical.review.Ipk);
  // Reset over LpRef·Ipk / (n·(Vout + Vf)) = 9.81 µs of the 20 µs period.
  const double reset = critical.review.LpRef * critical.review.Ipk / (8.25 * 24.7);
  EXPECT_NEAR(w.IsRmsWinding, w.IsPkWinding * std::sqrt(reset / 20e-6 / 3.0), 1e-6);
  EXPECT_NEAR(w.IsRmsWinding, 20.02, 0.01);

  const Reviewed ccm = reviewOnPq50(DriveMode::PwmCcm);
  const DesignReview& c = ccm.review;
  const double high = ccm.review.n * ccm.review.Ipk;
  const double low = ccm.review.n * (ccm.review.Ipk - ccm.review.operation.dI);
  EXPECT_DOUBLE_EQ(c.IsPkWinding, high);
  const double conducts = 1.0 - c.modeInputs.duty;
  EXPECT_NEAR(c.IsRmsWinding, std::sqrt((high * high + high * low + low * low) / 3.0 * conducts),
              1e-9);
}

// Each further output and the bias is a winding of its own, LpRef·(N/Np)² with its whole
// turns, its diode giving its Vf at its current, its capacitor starting at its voltage and its
// load V/I (the bias's current as given); what η stands for is drawn beside the outputs' loads
// by their share of the output power, so that every diode, load and the clamp together take
// the input power.
TEST(SpiceNetlist, EveryFurtherOutputAndTheBiasIsAWindingWithItsDiodeAndLoad) {
  const DesignReport report = an4137();
  ASSERT_TRUE(report.review && report.review->valid && report.review->stress.valid);
  const DesignReview& r = *report.review;
  ASSERT_EQ(r.outputs.size(), 5U);
  ASSERT_TRUE(r.bias);
  const std::optional<SpiceCircuit> circuit = spiceCircuit(report.state, r, report.conditions);
  ASSERT_TRUE(circuit);
  ASSERT_EQ(circuit->windings.size(), 5U);
  EXPECT_NEAR(circuit->ls, r.LpRef * 4.0 / (r.Np * r.Np), 1e-15);
  double drawn = circuit->vout * circuit->vout / circuit->rload +
                 circuit->vout * circuit->vout / circuit->rrest + 0.5 * circuit->iout;
  const Winding expected[] = {Winding::Output2, Winding::Output3, Winding::Output4,
                              Winding::Output5, Winding::Bias};
  for (std::size_t i = 0; i < circuit->windings.size(); ++i) {
    const SpiceWinding& w = circuit->windings[i];
    SCOPED_TRACE(std::string(windingName(w.winding)));
    EXPECT_EQ(w.winding, expected[i]);
    const OutputResult& o = w.winding == Winding::Bias ? *r.bias : r.outputs[i + 1];
    EXPECT_EQ(w.turns, o.turns);
    EXPECT_NEAR(w.l, r.LpRef * o.turns * o.turns / (r.Np * r.Np), 1e-15);
    EXPECT_NEAR(kThermalVoltageForTest * std::log(o.I / w.diodeIs), o.Vf, 1e-7);
    EXPECT_DOUBLE_EQ(w.rload, o.V / o.I);
    EXPECT_EQ(w.rrest > 0.0, w.winding != Winding::Bias);
    drawn += o.V * o.V / w.rload + o.Vf * o.I + (w.rrest > 0.0 ? o.V * o.V / w.rrest : 0.0);
  }
  EXPECT_DOUBLE_EQ(circuit->windings.back().i, 0.01);  // the bias's default current
  EXPECT_NEAR(drawn + r.stress.Pclamp, r.Pin, 1e-9 * r.Pin);

  const std::string netlist = spiceNetlist(*circuit, "an4137");
  for (const char* line :
       {"Ls2 0 secs2 ", "Kps2 Lp Ls2 {k}\n", "Kss2 Ls Ls2 {k}\n", "Ks2s3 Ls2 Ls3 {k}\n",
        "Ds2 secs2 outs2 diodes2\n", "Cs2 outs2 0 ", "Rloads2 outs2 0 2.5\n", "Rrests2 outs2 0 ",
        "Lb 0 secb ", "Ks5b Ls5 Lb {k}\n", "Rloadb outb 0 1200\n",
        ".meas tran vout2avg AVG v(outs2)", ".meas tran is5rms RMS i(Ls5)",
        ".meas tran vbiasavg AVG v(outb)", ".meas tran ibiasrms RMS i(Lb)"}) {
    EXPECT_NE(netlist.find(line), std::string::npos) << line;
  }
  EXPECT_EQ(netlist.find("Rrestb"), std::string::npos);
  // Seven windings, every pair coupled once.
  std::size_t couplings = 0;
  for (std::size_t at = netlist.find("\nK"); at != std::string::npos;
       at = netlist.find("\nK", at + 1)) {
    ++couplings;
  }
  EXPECT_EQ(couplings, 21U);
  // An output that draws nothing has its diode and capacitor but no load, and no current to
  // set beside a model's.
  const DesignReport idle = an4137(u"12,0,1.2");
  const SpiceCircuit unloaded = *spiceCircuit(idle.state, *idle.review, idle.conditions);
  ASSERT_EQ(unloaded.windings.size(), 2U);
  EXPECT_EQ(unloaded.windings[0].rload, 0.0);
  EXPECT_EQ(unloaded.windings[0].rrest, 0.0);
  EXPECT_GT(unloaded.windings[0].cout, 0.0);
  const std::string idleNetlist = spiceNetlist(unloaded, "idle");
  EXPECT_EQ(idleNetlist.find("Rloads2"), std::string::npos);
  EXPECT_NE(idleNetlist.find(".meas tran vout2avg AVG v(outs2)"), std::string::npos);
  EXPECT_EQ(idleNetlist.find("is2rms"), std::string::npos);
  const std::vector<std::string> idleNames = spiceMeasurementNames(*idle.review);
  EXPECT_EQ(std::count(idleNames.begin(), idleNames.end(), "is2rms"), 0);
  EXPECT_EQ(std::count(idleNames.begin(), idleNames.end(), "vout2avg"), 1);
  // A single output's netlist has none of them.
  const Reviewed single = reviewOnPq50(DriveMode::PwmCritical);
  const SpiceCircuit one = *spiceCircuit(single.state, single.review, single.conditions);
  EXPECT_TRUE(one.windings.empty());
  EXPECT_EQ(spiceNetlist(one, "one").find("Ls2"), std::string::npos);
}

// Each further output's average voltage stands beside the voltage its whole turns give and its
// winding's RMS current beside the model's, after the converter's own figures; the main
// secondary's peak and RMS are its share of the primary's ampere-turns.
TEST(SpiceNetlist, FurtherOutputsFiguresFollowTheConvertersOwn) {
  const DesignReport report = an4137();
  const DesignReview& r = *report.review;
  const std::string output =
      "vout2avg            =  5.210000e+00 from=  1.0e-03 to=  1.1e-03\n"
      "is8rms              =  1.0e+00 from=  1.0e-03 to=  1.1e-03\n"
      "ibiasrms            =  1.9e-02 from=  1.0e-03 to=  1.1e-03\n"
      "vout9avg            =  1.0\n"
      "vbias               =  1.0\n";
  const std::map<std::string, double> read = spiceMeasurements(output);
  EXPECT_EQ(read.size(), 3U);
  EXPECT_DOUBLE_EQ(read.at("vout2avg"), 5.21);
  EXPECT_DOUBLE_EQ(read.at("ibiasrms"), 0.019);

  const std::vector<std::string> names = spiceMeasurementNames(r);
  const std::vector<std::string> further = {"vout2avg", "is2rms",  "vout3avg", "is3rms",
                                            "vout4avg", "is4rms",  "vout5avg", "is5rms",
                                            "vbiasavg", "ibiasrms"};
  ASSERT_EQ(names.size(), spiceMeasurementNames().size() + further.size());
  EXPECT_TRUE(
      std::equal(further.begin(), further.end(),
                 names.begin() + static_cast<std::ptrdiff_t>(spiceMeasurementNames().size())));
  std::map<std::string, double> all;
  for (const std::string& name : names) {
    all[name] = 1.0;
  }
  // Every figure is needed: one missing leaves the comparison empty.
  std::map<std::string, double> lacking = all;
  lacking.erase("ibiasrms");
  EXPECT_FALSE(spiceFigures(r, report.state, lacking));
  const std::optional<std::vector<SimulatedFigure>> figures = spiceFigures(r, report.state, all);
  ASSERT_TRUE(figures);
  ASSERT_EQ(figures->size(), names.size());
  for (std::size_t i = 0; i < names.size(); ++i) {
    EXPECT_EQ((*figures)[i].name, names[i]);
  }
  EXPECT_DOUBLE_EQ((*figures)[2].model, r.outputs.front().IsPk);
  EXPECT_DOUBLE_EQ((*figures)[3].model, r.outputs.front().IsRms);
  EXPECT_LT(r.outputs.front().IsRms, r.IsRmsWinding);
  const SimulatedFigure& v5 = (*figures)[7 + 6];
  EXPECT_EQ(v5.name, "vout5avg");
  EXPECT_EQ(v5.winding, Winding::Output5);
  EXPECT_DOUBLE_EQ(v5.model, r.outputs[4].Vactual);
  const SimulatedFigure& bias = figures->back();
  EXPECT_EQ(bias.winding, Winding::Bias);
  EXPECT_DOUBLE_EQ(bias.model, r.bias->IsRms);
  EXPECT_FALSE((*figures)[0].winding);
}

}  // namespace
}  // namespace fbc
