#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "design/design_state.h"
#include "review/review_inputs.h"

namespace fbc {

struct DesignReview;

// What the switch and the output diode see over the input range, with the leakage inductance's
// spike held by an RCD clamp. SI units. At the highest input the design (LpRef, n, Pin) stays
// and the drive mode decides the frequency, the peak current and the duty (see highLine in
// review/drive_mode.h); the clamp is sized at the design point, where the leakage's energy per
// second is highest. See docs/engineering-review.md for every formula and its source.
struct SwitchStress {
  bool valid = false;
  double VinMax = 0;         // V, highest DC input
  double DHigh = 0;          // duty at VinMax, D · Vin / VinMax in pwm-critical
  double VRO = 0;            // V, reflected output voltage n · (Vout + Vf) with whole turns
  double Llk = 0;            // H, primary leakage inductance
  bool LlkEstimated = true;  // worked out from the winding layout, not measured
  // False where the leakage would be estimated from windings that do not fit the bobbin: the
  // leakage, k and the clamp's loss and parts are then not worked out.
  bool leakageKnown = true;
  double k = 0;             // coupling √(1 − Llk / LpRef), 0 where Llk ≥ LpRef
  double Vclamp = 0;        // V, clamp voltage with the resistor bought, near r · VRO
  double Pclamp = 0;        // W, power the bought clamp resistor burns
  double Rclamp = 0;        // Ω; 0 with Cclamp and the parts to buy where Pclamp is 0
  double RclampE24 = 0;     // Ω, largest E24 value not above Rclamp
  double Cclamp = 0;        // F, for 10 % ripple on the clamp voltage
  double CclampE12 = 0;     // F, smallest E12 value not below Cclamp
  double PratingR = 0;      // W, the clamp resistor's power rating: twice Pclamp
  double VdsMax = 0;        // V, the switch's peak voltage VinMax + Vclamp·(1 + ripple/2), or
                            // VinMax + VRO without leakage
  double VdsRating = 0;     // V, the switch's rated voltage
  double VdRevMax = 0;      // V, the output diode's peak reverse voltage VinMax / n + Vout
  double fsHigh = 0;        // Hz, switching frequency at VinMax in the drive mode
  double IpkHigh = 0;       // A, primary peak current at VinMax
  double VclampTarget = 0;  // V, r · VRO: the clamp voltage the resistor is worked out for
  double PclampTarget = 0;  // W, the loss at that voltage

  // A clamp has something to absorb: no measured leakage of zero.
  bool clampNeeded() const { return Pclamp > 0.0; }
};

// The share of the switch's rating its peak voltage may use, the clamp's loss allowed as a share
// of the output power, and the clamp capacitor's ripple as a share of its voltage.
inline constexpr double kSwitchDerating = 0.8;
inline constexpr double kClampLossShare = 0.02;
inline constexpr double kClampRipple = 0.1;

// The leakage inductance [H] referred to the primary of two windings side by side in a bobbin,
// by the one-dimensional field between them (Dowell; Snelling):
//   Llk = μ0 · Np² · MLT · (hP/3 + hS/3 + Δ) / bw
// with the windings' builds hP and hS, the tape Δ between them, the mean turn MLT and the
// winding breadth bw, all in m.
double leakageEstimate(int primaryTurns, double meanTurn, double breadth, double primaryBuild,
                       double secondaryBuild, double tape);

// An RCD clamp across the primary (Fairchild AN-4147, "Design Guidelines for RCD Snubber of
// Flyback Converters"): the clamp holds r · VRO, the leakage's energy ½·Llk·Ipk² each period is
// burnt in the resistor, scaled up because the secondary takes over only while the clamp
// voltage exceeds VRO, and the capacitor keeps its voltage's ripple to kClampRipple.
struct RcdClamp {
  double Vclamp = 0;  // V
  double Pclamp = 0;  // W
  double Rclamp = 0;  // Ω; 0 with Cclamp where Pclamp is 0
  double Cclamp = 0;  // F
};

// The clamp for leakage `llk` [H], peak primary current `ipk` [A], switching frequency `fs` [Hz],
// reflected output voltage `vro` [V] and clamp ratio `ratio` (above 1):
//   Vclamp = r · VRO,  Pclamp = ½ · Llk · Ipk² · fs · Vclamp / (Vclamp − VRO),
//   Rclamp = Vclamp² / Pclamp,  Cclamp = Vclamp / (ΔV · Rclamp · fs) with ΔV = 10 % of Vclamp.
RcdClamp rcdClamp(double llk, double ipk, double fs, double vro, double ratio);

// The voltage a clamp of resistor `r` [Ω] settles at, where the resistor burns what the
// leakage delivers, V²/R = ½·Llk·Ipk²·fs · V/(V − VRO):
//   V = (VRO + √(VRO² + 4·R·½·Llk·Ipk²·fs)) / 2.
double settledClampVoltage(double llk, double ipk, double fs, double vro, double r);

// The stress of a valid review whose losses give the winding layout, in `conditions`; `state`
// gives the design's Vin, Vout, Iout, Vf, Duty and period. Not valid where the leakage can be
// neither estimated (no layout) nor taken from the conditions, or a number comes out
// non-finite.
SwitchStress switchStress(const DesignState& state, const DesignReview& review,
                          const ReviewConditions& conditions);

// One number of the stress for listing. `value` is empty for the clamp's resistor and
// capacitor where no clamp is needed, and `unknown` for the leakage's figures where the windings
// do not fit; `boolean` marks LlkEstimated (1 or 0).
struct StressQuantity {
  std::string_view name;
  std::optional<double> value;
  std::string_view unit;
  bool boolean = false;
  bool unknown = false;
};

// The stress's numbers in the order reports write them: VinMax, DHigh, VRO, Llk, LlkEstimated,
// k, Vclamp, Pclamp, Rclamp, RclampE24, Cclamp, CclampE12, PratingR, VdsMax, VdsRating,
// VdRevMax, fsHigh, IpkHigh, VclampTarget, PclampTarget.
std::vector<StressQuantity> stressQuantities(const SwitchStress& stress);

// The same numbers in the order a reader follows them: the clamp aimed at (VclampTarget,
// PclampTarget) just before the clamp as bought (Vclamp, Pclamp). Reports that are read, not
// parsed, use this order; JSON and CSV keep stressQuantities()'s, whose new members come last.
std::vector<StressQuantity> stressQuantitiesForReading(const SwitchStress& stress);

}  // namespace fbc
