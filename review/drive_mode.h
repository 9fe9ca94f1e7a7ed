#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "review/windings/winding_resistance.h"

namespace fbc {

// How the controller drives the switch. The design is made at the lowest input (the design's
// Vin) and full load in every mode; the duty input chooses the reflected voltage.
enum class DriveMode {
  PwmCritical,  // critical conduction at a fixed frequency
  PfmCritical,  // critical conduction, the frequency rises with the input
  PwmCcm,       // continuous conduction at a fixed frequency with a given ripple
  Qr,           // quasi-resonant: critical conduction switched at the first valley
};

inline constexpr std::array<DriveMode, 4> kDriveModes = {
    DriveMode::PwmCritical, DriveMode::PfmCritical, DriveMode::PwmCcm, DriveMode::Qr};

// "pwm-critical", "pfm-critical", "pwm-ccm", "qr": the option's, column's and JSON's word.
std::string_view driveModeCode(DriveMode mode);
// The mode a code names, or nothing.
std::optional<DriveMode> driveModeByCode(std::string_view code);
// "pwm-critical, pfm-critical, pwm-ccm or qr", with the separators given.
std::string driveModeCodes(std::string_view separator, std::string_view last);
// The window's caption of the mode, e.g. "PWM(電流連続モード：Fs指定,リプル指定,Lp可変)".
std::u16string_view driveModeCaption(DriveMode mode);
// A short English description, e.g. "continuous conduction, fixed frequency, given ripple".
std::string_view driveModeDescription(DriveMode mode);

// Whether the mode designs at the boundary of conduction (pwm-critical, pfm-critical), as the
// review's formulas and captions always did.
constexpr bool criticalConduction(DriveMode mode) {
  return mode == DriveMode::PwmCritical || mode == DriveMode::PfmCritical;
}

// What a mode's design needs: the design point and the mode's own inputs. SI units.
struct ModeInputs {
  double vin = 0;                   // V, the lowest DC input
  double duty = 0;                  // chooses the reflected voltage
  double period = 0;                // s, 1 / fs at the design point
  double pin = 0;                   // W, Vout · Iout / η
  double iout = 0;                  // A
  double ripple = 0.5;              // KRF, pwm-ccm only
  double drainCapacitance = 1e-10;  // F, qr only
};

// The mode's own figures, where the mode has them: the review's JSON writes the others as null.
struct ModeFigures {
  std::optional<double> KRF;          // pwm-ccm: ΔI / (2 · IEDC)
  std::optional<double> IEDC;         // A, pwm-ccm: the primary's mean current during ton
  std::optional<double> dI;           // A, pwm-ccm: the primary's current swing
  std::optional<double> VinCcmLimit;  // V, pwm-ccm: the input above which CCM ends
  std::optional<double> Cd;           // F, qr: the drain capacitance
  std::optional<double> ton;          // s, qr: the switch's on-time
  std::optional<double> toff;         // s, qr: the secondary's conduction time
  std::optional<double> tv;           // s, qr: the wait for the first valley
};

// One of a mode's own figures for listing: empty where the mode has no such figure.
struct ModeQuantity {
  std::string_view name;
  std::optional<double> value;
  std::string_view unit;
};

// The figures in the order reports write them: KRF, IEDC, dI, VinCcmLimit, Cd, ton, toff, tv.
std::array<ModeQuantity, 8> modeQuantities(const ModeFigures& figures);

// One mode's operation at the design point: the primary inductance, the winding currents and
// how the flux moves. Shares of the period are fractions of 1 / fs.
struct ModeOperation {
  double LpRef = 0;        // H
  double Ipk = 0;          // A
  double IpRms = 0;        // A
  double IsPk = 0;         // A, from the output current
  double IsRms = 0;        // A
  double dI = 0;           // A, the primary's current swing: Ipk where the current starts from zero
  double rise = 0;         // share of the period the flux rises (the switch's on-time)
  double fall = 0;         // share of the period it falls (the secondary conducts)
  CurrentSegment primary;  // the primary's current over one period
  CurrentSegment secondary;  // the secondary's
  ModeFigures figures;
};

// The mode's operation for `in` (positive vin, period, pin and iout, 0 < duty < 1). The critical
// modes' figures are worked out in the review's own expressions, so a review in either stays
// exactly as it was before the modes existed:
//   Ipk = 2·Pin / (Vin·D), LpRef = Vin·D·T / Ipk,
// pwm-ccm after Fairchild AN-4137:
//   IEDC = Pin / (Vin·D), LpRef = (Vin·D)² / (2·Pin·fs·KRF), ΔI = Vin·D / (LpRef·fs),
//   Ipk = IEDC + ΔI/2, IpRms = √(3·IEDC² + (ΔI/2)²) · √(D/3), IsDC = Iout / (1 − D),
//   IsPk = IsDC·(1 + KRF), IsRms = √(3·IsDC² + (KRF·IsDC)²) · √((1 − D)/3),
// and qr at the first valley, with VROref = Vin·D / (1 − D):
//   LpRef = 1 / ((1/Vin + 1/VROref)·√(2·Pin·fs) + π·fs·√Cd)², Ipk = √(2·Pin / (LpRef·fs)),
//   ton = LpRef·Ipk / Vin, toff = LpRef·Ipk / VROref, tv = π·√(LpRef·Cd).
ModeOperation modeOperation(DriveMode mode, const ModeInputs& in);

// The reflected voltage the duty chooses: VROref = Vin·D / (1 − D).
double referenceReflectedVoltage(double vin, double duty);

// How the converter runs at the highest input `vinMax` with the design's LpRef and Pin.
struct HighLine {
  double fs = 0;    // Hz
  double Ipk = 0;   // A
  double duty = 0;  // the switch's on-time share
};

// `vro` is the reflected voltage of the whole turns, n·(Vout + Vf), which the output diode holds
// once it conducts:
// pwm-critical keeps fs and Ipk, its duty falls to D·Vin / VinMax (discontinuous);
// pfm-critical stays critical, fsHigh = 1 / (2·Pin·LpRef·(1/VinMax + 1/VRO)²);
// pwm-ccm keeps fs and stays continuous up to VinCcmLimit, discontinuous above it;
// qr stays at the first valley, fsHigh = 4 / (a + √(a² + 4·tv))² with
// a = √(2·Pin·LpRef)·(1/VinMax + 1/VRO).
HighLine highLine(DriveMode mode, const ModeInputs& in, const ModeOperation& operation,
                  double vinMax, double vro);

}  // namespace fbc
