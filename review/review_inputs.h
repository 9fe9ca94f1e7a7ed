#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "review/circuit/mains_input.h"
#include "review/circuit/outputs.h"
#include "review/drive_mode.h"
#include "review/ferrite_material.h"
#include "review/insulation/insulation.h"
#include "review/windings/winding_layout.h"
#include "review/windings/winding_pins.h"
#include "review/windings/wire_table.h"

namespace fbc {

// What the engineering review needs beyond the design's inputs: the conditions the
// transformer runs in and the switch it drives. The window's review, the command line's options
// and the batch's columns read them through this one table, with the same start values and
// limits.
enum class ReviewInput {
  Material,
  Ambient,
  MaxTemperature,
  CurrentLimit,
  VinMax,
  Leakage,
  ClampRatio,
  VdsRating,
  Mode,
  Ripple,
  DrainCapacitance,
  WirePrimary,
  WireSecondary,
  Arrangement,
  VacMin,
  VacMax,
  LineFrequency,
  BulkCapacitance,
  ChargeDuty,
  Outputs,
  Bias,
  SecondaryTurns,
  Insulation,
  Construction,
  WorkingVoltage,
  Pins
};

struct ReviewInputInfo {
  ReviewInput input;
  std::string_view key;           // option without dashes
  std::string_view column;        // the batch column
  std::u16string_view caption;    // the review window's name for it, units included
  std::string_view description;   // the English name, units included
  std::string_view typeName;      // what the option's help calls its value
  std::string_view purpose;       // what the review uses it for, for the option's help
  std::string_view example;       // a value the option's help shows
  std::u16string_view startText;  // the text it holds until changed
  double lower;                   // numbers only: the smallest and largest accepted
  double upper;
  bool lowerExcluded = false;  // the number must lie above `lower`
  // An empty text is accepted and means the design's own value, the estimate or the default;
  // what it means, in English, for the option's help, and in a few Japanese words for the window's
  // empty field and the design sheet.
  std::string_view emptyMeans = {};
  std::u16string_view emptyMeansJa = {};
};

inline constexpr std::string_view kLossPurpose = "for the review's losses and temperature";
inline constexpr std::string_view kStressPurpose = "for the switch's stress and the clamp";
inline constexpr std::string_view kSaturationPurpose =
    "for the flux the core must hold at the controller's current limit";
inline constexpr std::string_view kModePurpose = "for the drive mode the design is made in";
inline constexpr std::string_view kWindingPurpose =
    "for the windings the losses are worked out for";
inline constexpr std::string_view kMainsPurpose =
    "for a mains input: the design is made at the bulk capacitor's valley";
inline constexpr std::string_view kOutputsPurpose =
    "for the outputs beside the main one and the bias winding";
inline constexpr std::string_view kIsolationPurpose =
    "for the safety insulation between the primary and secondary sides and the sheet's "
    "transformer page";

// The word a wire or the arrangement takes to leave the choice to the review, and the window's.
inline constexpr std::string_view kAutomatic = "auto";
inline constexpr std::u16string_view kAutomaticJa = u"自動";

inline constexpr std::array<ReviewInputInfo, 26> kReviewInputTable{{
    {ReviewInput::Material, "material", "material", u"コア材質", "Core material", "NAME",
     kLossPurpose, "N87", u"N97", 0, 0},
    {ReviewInput::Ambient, "ambient", "ambient", u"周囲温度[℃]", "Ambient temperature [°C]",
     "CELSIUS", kLossPurpose, "25", u"40", -40, 125},
    {ReviewInput::MaxTemperature, "max-temperature", "max-temperature", u"上限温度[℃]",
     "Highest core temperature allowed [°C]", "CELSIUS", kLossPurpose, "110", u"100", 0, 250},
    {ReviewInput::CurrentLimit, "current-limit", "current-limit", u"電流制限値[A]",
     "Controller's pulse-by-pulse current limit [A]", "AMPERES", kSaturationPurpose, "7.5", u"", 0,
     1e6, true, "1.2 times the primary peak current", u"Ipkの1.2倍"},
    {ReviewInput::VinMax, "vin-max", "vinmax", u"最大直流入力電圧[V]",
     "Highest DC input voltage [V]", "VOLTS", kStressPurpose, "370", u"", 0, 1000, false,
     "the design's input voltage, a fixed DC input", u"入力電圧と同じ"},
    {ReviewInput::Leakage, "leakage", "leakage", u"漏れインダクタンス[H]",
     "Primary leakage inductance, measured with the secondary shorted [H]", "HENRIES",
     kStressPurpose, "4.5e-6", u"", 0, 1, false, "estimated from the winding layout",
     u"巻線から推定"},
    {ReviewInput::ClampRatio, "clamp-ratio", "clamp-ratio", u"クランプ電圧/反射電圧",
     "Clamp voltage over the reflected output voltage", "RATIO", kStressPurpose, "2", u"1.5", 1, 10,
     true},
    {ReviewInput::VdsRating, "vds-rating", "vds-rating", u"スイッチ定格電圧[V]",
     "Switch's rated drain-source voltage [V]", "VOLTS", kStressPurpose, "800", u"650", 1, 10000},
    {ReviewInput::Mode, "mode", "mode", u"駆動方式", "Drive mode", "MODE", kModePurpose, "pwm-ccm",
     u"pwm-critical", 0, 0},
    {ReviewInput::Ripple, "ripple", "ripple", u"リプル率 KRF",
     "Ripple factor KRF = dI / (2 IEDC) in pwm-ccm, 1 at the boundary", "RATIO", kModePurpose,
     "0.4", u"0.5", 0, 1, true, "0.5", u"0.5"},
    {ReviewInput::DrainCapacitance, "drain-capacitance", "drain-capacitance", u"ドレイン容量[F]",
     "Total drain capacitance Cd in qr [F]", "FARADS", kModePurpose, "220e-12", u"100e-12", 0, 1e-6,
     false, "100e-12", u"100e-12"},
    {ReviewInput::WirePrimary, "wire-primary", "wire-primary", u"一次巻線の線材",
     "Primary winding's wire: round:D (or D), strands:DxN, litz:DxN or foil:T, D and T in mm, or "
     "auto",
     "SPEC", kWindingPurpose, "litz:0.1x60", u"auto", 0, 0, false,
     "auto: the wire of least loss that carries 3.5 A/mm2 and fits", u"自動"},
    {ReviewInput::WireSecondary, "wire-secondary", "wire-secondary", u"二次巻線の線材",
     "Secondary winding's wire: round:D (or D), strands:DxN, litz:DxN or foil:T, D and T in mm, "
     "or auto",
     "SPEC", kWindingPurpose, "foil:0.2", u"auto", 0, 0, false,
     "auto: the wire of least loss that carries 3.5 A/mm2 and fits", u"自動"},
    {ReviewInput::Arrangement, "arrangement", "arrangement", u"巻線配置",
     "Winding arrangement: ps (primary, then secondary), psp (primary split either side of the "
     "secondary) or auto",
     "ps|psp|auto", kWindingPurpose, "psp", u"auto", 0, 0, false,
     "auto: the arrangement of least loss", u"自動"},
    {ReviewInput::VacMin, "vac-min", "vac-min", u"最小交流入力電圧[Vrms]",
     "Lowest mains voltage [V RMS]", "VOLTS", kMainsPurpose, "85", u"", 30, 300, false,
     "no mains: a fixed DC input at --vin", u"直流入力"},
    {ReviewInput::VacMax, "vac-max", "vac-max", u"最大交流入力電圧[Vrms]",
     "Highest mains voltage [V RMS]", "VOLTS", kMainsPurpose, "265", u"", 30, 300, false,
     "--vac-min", u"最小と同じ"},
    {ReviewInput::LineFrequency, "line-frequency", "line-frequency", u"商用周波数[Hz]",
     "Mains frequency [Hz]", "HERTZ", kMainsPurpose, "60", u"", 45, 70, false, "50", u"50"},
    {ReviewInput::BulkCapacitance, "bulk-capacitance", "bulk-capacitance", u"平滑容量[F]",
     "Bulk capacitor after the bridge [F]", "FARADS", kMainsPurpose, "150e-6", u"", 0, 1, true,
     "2 uF per watt of input power below 180 VAC, else 1 uF/W, rounded up to E6",
     u"2µF/W(180V未満)"},
    {ReviewInput::ChargeDuty, "charge-duty", "charge-duty", u"充電時間比 Dch",
     "Share of the half line period the bridge conducts", "RATIO", kMainsPurpose, "0.2", u"", 0.05,
     0.5, false, "0.2", u"0.2"},
    {ReviewInput::Outputs, "output", "outputs", u"追加出力(V,I,Vf;…)",
     "An output beside the main one: V,I[,Vf] in V, A and V (Vf default 0.7); repeat for each, up "
     "to 7",
     "V,I[,Vf]", kOutputsPurpose, "12,1.5,1.2", u"", 0, 0, false, "none", u"なし"},
    {ReviewInput::Bias, "bias", "bias", u"補助巻線(V,Vf,I)",
     "Bias winding for the controller's supply: V[,Vf[,I]] in V, V and A (Vf default 0.7, I "
     "0.01); its power is inside the efficiency",
     "V[,Vf[,I]]", kOutputsPurpose, "12,1.2", u"", 0, 0, false, "none", u"なし"},
    {ReviewInput::SecondaryTurns, "secondary-turns", "secondary-turns", u"主出力の巻数",
     "Turns of the main output's winding, a whole number", "TURNS", kOutputsPurpose, "2", u"", 1,
     1000, false, "the fewest that hold the flux", u"自動"},
    {ReviewInput::Insulation, "insulation", "insulation", u"絶縁の種類",
     "Insulation between the primary and secondary sides: functional, basic or reinforced "
     "(IEC 62368-1)",
     "functional|basic|reinforced", kIsolationPurpose, "reinforced", u"", 0, 0, false,
     "reinforced with a mains input, functional with a DC input", u"交流入力なら強化"},
    {ReviewInput::Construction, "construction", "construction", u"絶縁構造",
     "How the barrier is built: margin (margin tape at the windings' ends, tape between the "
     "sides) or tiw (triple-insulated secondaries)",
     "margin|tiw", kIsolationPurpose, "tiw", u"", 0, 0, false, "margin", u"マージン"},
    {ReviewInput::WorkingVoltage, "working-voltage", "working-voltage", u"動作電圧[V]",
     "Working voltage across the insulation [V RMS or DC]; a measured value governs", "VOLTS",
     kIsolationPurpose, "300", u"", 0, kWorkingVoltageMax, true,
     "the highest mains voltage, or the highest DC input", u"入力から"},
    {ReviewInput::Pins, "pins", "pins", u"ピン数(一次側,二次側)",
     "Pins on each side of the bobbin, N or NP,NS (2 to 20 each): the primary side's numbered "
     "from 1, the secondary side's from NP+1; outputs share a return pin where their side is "
     "short",
     "N[,N]", kIsolationPurpose, "5,6", u"", kPinsPerSideMin, kPinsPerSideMax, false,
     "6 on each side", u"各6"},
}};

const ReviewInputInfo& reviewInputInfo(ReviewInput input);
// The row whose key is `key`, or nullptr.
const ReviewInputInfo* reviewInputInfoByKey(std::string_view key);
// The row whose batch column is `column`, or nullptr.
const ReviewInputInfo* reviewInputInfoByColumn(std::string_view column);

// The texts of the review's inputs, as typed; they start at the table's start texts.
struct ReviewInputs {
  std::array<std::u16string, kReviewInputTable.size()> texts = [] {
    std::array<std::u16string, kReviewInputTable.size()> start;
    for (std::size_t i = 0; i < start.size(); ++i) {
      start[i] = kReviewInputTable[i].startText;
    }
    return start;
  }();

  std::u16string& text(ReviewInput input) { return texts[static_cast<std::size_t>(input)]; }
  const std::u16string& text(ReviewInput input) const {
    return texts[static_cast<std::size_t>(input)];
  }

  friend bool operator==(const ReviewInputs&, const ReviewInputs&) = default;
};

// The conditions the review works the losses and temperature out for.
struct ReviewConditions {
  const FerriteMaterial* material = ferriteMaterial(kDefaultMaterial);
  double ambient = 40.0;          // °C
  double maxTemperature = 100.0;  // °C, the core may not run hotter
  std::optional<double> vinMax;   // V, highest DC input; none: the design's Vin
  std::optional<double> leakage;  // H, measured; none: estimated from the winding layout
  double clampRatio = 1.5;        // clamp voltage over the reflected output voltage
  double vdsRating = 650.0;       // V, the switch's rated voltage
  DriveMode mode = DriveMode::PwmCritical;
  double ripple = 0.5;                            // KRF in pwm-ccm
  double drainCapacitance = 1e-10;                // F, Cd in qr
  std::optional<Wire> wirePrimary;                // none: chosen by the review
  std::optional<Wire> wireSecondary;              // none: chosen by the review
  std::optional<WindingArrangement> arrangement;  // none: chosen by the review
  std::optional<double> currentLimit;             // A; none: 1.2 times the peak current
  std::optional<MainsInput> mains;                // none: a fixed DC input
  std::vector<OutputTarget> outputs;              // the outputs beside the main one
  std::optional<OutputTarget> bias;               // none: no bias winding
  std::optional<int> secondaryTurns;              // the main output's; none: chosen
  std::optional<Insulation> insulation;  // none: reinforced with a mains input, else functional
  Construction construction = Construction::Margin;
  std::optional<double> workingVoltage;  // V; none: the highest mains RMS or DC input
  PinCounts pins;

  // The insulation asked for, or the input's default.
  Insulation insulationOrDefault() const {
    return insulation.value_or(mains ? Insulation::Reinforced : Insulation::Functional);
  }
};

// Why a review input's text cannot be used.
enum class ReviewInputFault {
  NotANumber,
  UnknownMaterial,
  OutOfRange,       // outside the table's lower and upper limits
  NotAboveAmbient,  // the highest temperature allowed must lie above the ambient
  BelowVin,         // the highest input voltage must be at least the design's
  UnknownMode,
  BadWire,  // the wire's text cannot be read: `wire` says why
  UnknownArrangement,
  BelowHalfPeak,  // a current limit below half the design's peak current cannot be meant
  BadOutput,      // an output's or the bias's text cannot be read: `output` says why
  NotWhole,       // a count must be a whole number
  NeedsMains,     // a figure of the mains input given without its lowest voltage
  BelowVacMin,    // the highest mains voltage lies below the lowest
  NotWithMains,   // the highest DC input comes from the mains: it cannot be given as well
  BulkTooSmall,   // the bulk capacitor cannot hold the input up: `leastCapacitance` would
  UnknownInsulation,
  UnknownConstruction,
  BadPins,            // not N or N,N with each from 2 to 20
  NotTripleInsulated  // the tiw construction's secondary wire is not made triple-insulated
};

struct ReviewInputProblem {
  ReviewInput input;
  ReviewInputFault fault;
  double designVin = 0;  // V, the voltage a BelowVin problem names
  std::optional<WireTextProblem> wire = std::nullopt;
  double peakCurrent = 0;  // A, the design's peak current a BelowHalfPeak problem names
  std::optional<OutputTextProblem> output = std::nullopt;
  // A BulkTooSmall problem's figures: the lowest mains [V RMS], the input power [W] and the
  // least capacitance [F] that holds the input up.
  double vacMin = 0;
  double inputPower = 0;
  double leastCapacitance = 0;
};

// The conditions the texts give, or the first input (in table order) that cannot be used.
// `designVin` is the design's input voltage [V] the highest input may not lie below; without
// it that check waits until the design is known.
struct ReviewInputReading {
  ReviewConditions conditions;
  std::optional<ReviewInputProblem> problem;
};
ReviewInputReading readReviewInputs(const ReviewInputs& inputs,
                                    std::optional<double> designVin = std::nullopt);

// The current limit checked against the design's primary peak current `ipk` [A], which only the
// review knows: a limit below half of it is refused, as a typing slip (amperes for milliamperes,
// the wire's current for the switch's).
std::optional<ReviewInputProblem> checkCurrentLimit(const ReviewConditions& conditions, double ipk);

// The input a mains input gives at input power `pin` [W] (the outputs' power over the
// efficiency), or the problem where the bulk capacitor cannot hold the input up at
// `lowestInput` [V], the least DC input a design takes. Nothing without a mains input.
struct SupplyReading {
  std::optional<InputSupply> supply;
  std::optional<ReviewInputProblem> problem;
};
SupplyReading readSupply(const ReviewConditions& conditions, double pin, double lowestInput);

// What is wrong, in a few words, with the limits and choices: "expected N97, N87, 3C95 or
// 3C90", "expected pwm-critical, pfm-critical, pwm-ccm or qr", "must lie between -40 and 125",
// "must be at least the input voltage 200".
std::string reviewInputFaultText(const ReviewInputProblem& problem);
std::u16string reviewInputFaultTextJa(const ReviewInputProblem& problem);

}  // namespace fbc
