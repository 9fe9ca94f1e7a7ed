#pragma once

#include <array>
#include <optional>
#include <string_view>
#include <vector>

#include "design/design_state.h"
#include "review/circuit/outputs.h"
#include "review/drive_mode.h"
#include "review/insulation/insulation.h"
#include "review/losses.h"
#include "review/review_inputs.h"
#include "review/switch_stress.h"
#include "review/windings/winding_pins.h"

namespace fbc {

// What the engineering review finds wrong with a design, in the order it reports them. The
// first ten make a design infeasible; the rest are advice.
enum class ReviewFlag {
  GapTooLarge,              // gapRatio above the limit: fringing flux, no longer a gapped core
  GapTooSmall,              // gap below what can be made with a usable tolerance
  FluxNearSaturation,       // Bpk close to the ferrite's saturation
  WindowOverfull,           // the wires at the design current density do not fit the window
  TurnsImpractical,         // more primary turns than anyone can wind
  LayersExceedBobbin,       // the windings' layers are higher than the bobbin's build
  TooHot,                   // the core runs hotter than allowed
  SwitchOvervoltage,        // the switch's peak voltage exceeds its derated rating
  SaturatesAtCurrentLimit,  // the flux at the controller's current limit reaches Bsat at 100 °C
  ThermalRunaway,           // the losses grow with temperature faster than the core sheds them
  WireBeyondSkinDepth,      // a wire the person gave is thicker than twice the skin depth
  RmsVerdictWorse,          // the RMS current puts the copper in a worse verdict row than Im
  LossDataExtrapolated,     // fs lies outside the material's loss data
  ClampLossHigh,            // the clamp burns more than a small share of the output power
  CurrentDensityHigh,       // a wire the person gave carries more than the review's current density
  OutputVoltageOff,         // an output's voltage from whole turns misses its target by over 5 %
  InsulationDoesNotFit,     // the margins leave less than a third of the bobbin's breadth
  CreepageUnchecked,        // functional insulation: no safety barrier is designed
  TooFewPins,               // a side of the bobbin has fewer pins than its windings need
};

// The share an output's voltage from whole turns may miss its target by before it is flagged.
inline constexpr double kOutputVoltageTolerance = 0.05;

inline constexpr std::array<ReviewFlag, 19> kReviewFlags = {
    ReviewFlag::GapTooLarge,
    ReviewFlag::GapTooSmall,
    ReviewFlag::FluxNearSaturation,
    ReviewFlag::WindowOverfull,
    ReviewFlag::TurnsImpractical,
    ReviewFlag::LayersExceedBobbin,
    ReviewFlag::TooHot,
    ReviewFlag::SwitchOvervoltage,
    ReviewFlag::SaturatesAtCurrentLimit,
    ReviewFlag::ThermalRunaway,
    ReviewFlag::WireBeyondSkinDepth,
    ReviewFlag::RmsVerdictWorse,
    ReviewFlag::LossDataExtrapolated,
    ReviewFlag::ClampLossHigh,
    ReviewFlag::CurrentDensityHigh,
    ReviewFlag::OutputVoltageOff,
    ReviewFlag::InsulationDoesNotFit,
    ReviewFlag::CreepageUnchecked,
    ReviewFlag::TooFewPins,
};

// The flag's code as reports and the command line write it, e.g. "gap-too-large".
std::string_view reviewFlagCode(ReviewFlag flag);

// Whether the flag makes a design infeasible (the first ten and insulation-does-not-fit) rather
// than being advice.
bool isBlockingFlag(ReviewFlag flag);

// The engineering review of a completed design: whether the transformer can be built, worked
// out in 64 bits from the design state's 32-bit values, with whole turns. SI units unless the
// name says otherwise; areas of copper in mm², diameters and skin depth in mm, fill in %.
//
// A review is `valid` only when its inputs describe a flyback the formulas apply to (positive
// voltages, currents, efficiency, period and core figures, 0 < Duty < 1, Vout + Vf > 0) and
// every number comes out finite with turn counts up to kReviewLimits.turnCountCap. An invalid
// review holds zeros, no flags and is not feasible, so nothing non-finite is ever shown.
struct DesignReview {
  bool valid = false;

  double Pin = 0;        // W, input power: every output's power over the efficiency
  double Ipk = 0;        // A, primary peak current in the drive mode
  double IpRms = 0;      // A
  double IsPk = 0;       // A, secondary peak current
  double IsRms = 0;      // A
  double LpRef = 0;      // H, primary inductance the drive mode needs at this duty
  double nRef = 0;       // Np/Ns by volt-second balance
  double NpMin = 0;      // fewest primary turns: the swing within the level's, the peak within
                         // the near-saturation limit
  int Ns = 0;            // whole secondary turns
  int Np = 0;            // whole primary turns
  double n = 0;          // Np/Ns of the whole turns
  double Bpk = 0;        // T, peak flux density with Np
  double Isat = 0;       // A, primary current at which the core saturates at 100 °C
  double AL = 0;         // H per turn², inductance factor of the gapped core
  double gap = 0;        // m, air gap to grind, with the fringing flux (core reluctance neglected)
  double gapRatio = 0;   // gap / √Ae
  double AcuP = 0;       // mm², primary copper at the design current density
  double AcuS = 0;       // mm², secondary copper
  double dP = 0;         // mm, primary bare wire diameter
  double dS = 0;         // mm, secondary bare wire diameter
  double skinDepth = 0;  // mm, copper at the switching frequency
  double fill = 0;       // %, window share the copper needs
  double fillAllowed = 0;          // %, the core's usable window share
  double JrmsModel = 0;            // A/mm², the model's copper with the RMS primary current
  double Vds = 0;                  // V, switch voltage before any leakage spike
  double Vr = 0;                   // V, output diode reverse voltage
  double Ilim = 0;                 // A, the controller's current limit: given, or 1.2·Ipk
  double BpkAtLimit = 0;           // T, the peak flux density at the current limit, Bpk·Ilim/Ipk
  double Bsat = 0;                 // T, the material's saturation flux density at 100 °C
  double gapNoFringing = 0;        // m, μ0·Np²·Ae/LpRef, the gap if no flux fringed around it
  double fringingFactor = 0;       // F = 1 + (gap/√Ae)·ln(2G/gap) (McLyman), 1 with no G known
  double gapWindowHeight = 0;      // m, G: the window's height along the centre leg; 0 unknown
  bool currentLimitGiven = false;  // Ilim is the person's, not 1.2·Ipk

  // The drive mode the design is made in, with its currents' shapes and its own figures.
  DriveMode mode = DriveMode::PwmCritical;
  // What the operation was worked out for. In the critical modes the duty input itself; in
  // pwm-ccm and qr the duty the whole turns give, VRO / (Vin + VRO) with VRO = n·(Vout + Vf),
  // so that the timings, the high line and the simulation share the stress's reflected voltage.
  ModeInputs modeInputs;
  ModeOperation operation;

  // The secondary winding's peak and RMS current that the primary's ampere-turns imply: n·Ipk,
  // falling to zero over the reset time LpRef·Ipk / (n·(Vout + Vf)) in the critical and
  // quasi-resonant modes, to n·(Ipk − ΔI) over (1 − D)·T in continuous conduction. IsPk and
  // IsRms come from the output current instead: the energy η stands for is stored in Lp too.
  double IsPkWinding = 0;   // A
  double IsRmsWinding = 0;  // A
  // The secondary winding's current over one period, of that peak and RMS: what its copper
  // carries.
  CurrentSegment secondaryWinding;

  // Core and copper loss and the temperature rise; not valid where the core's figures are
  // unknown.
  TransformerLosses losses;
  // What the switch, the clamp and the output diode see over the input range; not valid
  // without a winding layout to estimate the leakage from and no measured leakage.
  SwitchStress stress;

  // W, the outputs' power: the main output's and the further ones', not the bias's.
  double Pout = 0;
  // Every output from the whole turns, the main output first, and the bias winding: each
  // winding's currents are its share KL of the secondary ampere-turns the primary's imply, in
  // the drive mode's secondary shape (AN-4137, eq. 18).
  std::vector<OutputResult> outputs;
  std::optional<OutputResult> bias;

  // The insulation between the primary and secondary sides: its distances, the margins and the
  // breadth they leave the windings, which every layout figure uses.
  Isolation isolation;
  // The pins each winding starts and finishes on, for the transformer page of the sheet.
  PinAssignment pins;

  std::vector<ReviewFlag> flags;  // in kReviewFlags order
  bool feasible = false;          // valid and no blocking flag

  bool has(ReviewFlag flag) const;
};

// The working voltage across the insulation [V]: the person's, else the highest mains voltage
// [V RMS] with a mains input, else the highest DC input.
double workingVoltage(const DesignState& state, const ReviewConditions& conditions);

// The outputs' power [W] in `conditions` for a design: Vout·Iout and the further outputs'.
double outputPower(const DesignState& state, const ReviewConditions& conditions);

// A winding's current over the main secondary's: KL·(Vo1 + VF1)/(Vo + VF) for an output or
// the bias whose share of the output power is KL. 1 for the main output of a single output.
double secondaryCurrentShare(const DesignReview& review, Winding winding);

// Reviews a completed design for the level's flux swing `bmax` [T] (see levelSwing), with its
// losses and temperature in `conditions`.
//
// The turns hold the flux: the swing LpRef·ΔI/(Np·Ae) within `bmax` and the peak
// LpRef·Ipk/(Np·Ae) within the near-saturation limit. In pwm-ccm and qr the operation is then
// worked out again at the duty the whole turns give, and the secondary turns rise until they
// hold the flux at that duty too.
//
// The gap is the one that gives LpRef with the flux fringing around it (McLyman,
// "Transformer and Inductor Design Handbook", 4th ed., ch. 8): L = μ0·Np²·Ae·F/gap with
// F = 1 + (gap/√Ae)·ln(2G/gap), G the window's height, here the bobbin's breadth.
DesignReview reviewDesign(const DesignState& state, double bmax,
                          const ReviewConditions& conditions = {});

// McLyman's fringing factor F = 1 + (gap/√Ae)·ln(2G/gap) for a gap `gap` [m] in a centre leg
// of section `ae` [m²] and a window `g` [m] high ("Transformer and Inductor Design Handbook",
// 4th ed., ch. 8); 1 where no window height is known or the gap reaches 2G.
double fringingFactor(double gap, double ae, double g);

// The gap [m] that gives the inductance of the gap without fringing `bare` once its fringing
// flux is counted: gap = bare·F(gap).
double fringedGap(double bare, double ae, double g);

// The fewest primary turns that keep the flux below `bsat` [T] at the current limit `ilim` [A]
// with inductance `lp` [H] on a centre leg of `ae` [m²]: Lp·Ilim / (Bsat·Ae), the minimum turns
// of Fairchild AN-4137 (eq. 13) with its over-current limit. A design with fewer turns than this
// saturates at its current limit.
double turnsToHoldCurrentLimit(double lp, double ilim, double bsat, double ae);

// One number of a review for listing: its member name, value and the unit of that value
// ("" for ratios; "turns" for turn counts). `whole` marks the int members Ns and Np, which
// reports write as integers.
struct ReviewQuantity {
  std::string_view name;
  double value;
  std::string_view unit;
  bool whole = false;
};

inline constexpr std::size_t kReviewQuantityCount = 32;

// The review's numbers in the order Pin, Ipk, IpRms, IsPk, IsRms, LpRef, nRef, NpMin, Ns, Np, n,
// Bpk, Isat, AL, gap, gapRatio, AcuP, AcuS, dP, dS, skinDepth, fill, fillAllowed, JrmsModel,
// Vds, Vr, Ilim, BpkAtLimit, Bsat, gapNoFringing, fringingFactor, gapWindowHeight, so that
// reports iterate one list (the later ones last, so that columns read by position stay put).
std::array<ReviewQuantity, kReviewQuantityCount> reviewQuantities(const DesignReview& review);

}  // namespace fbc
