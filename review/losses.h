#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "design/design_state.h"
#include "review/core_geometry.h"
#include "review/review_inputs.h"
#include "review/windings/winding.h"
#include "review/windings/winding_design.h"
#include "review/windings/winding_resistance.h"

namespace fbc {

struct DesignReview;

// The copper's resistivity [Ω·m] at 20 °C and its temperature coefficient there [1/K], the
// temperature [°C] the windings are chosen at, the hottest balance sought [°C] and the tape
// between two windings [m].
inline constexpr double kCopperResistivity20 = 1.678e-8;
inline constexpr double kCopperTemperatureCoefficient = 0.004041;
inline constexpr double kLossReferenceTemperature = 100.0;
inline constexpr double kHottestBalance = 250.0;
inline constexpr double kTapeBetweenWindings = 0.15e-3;

// Where the losses reported were worked out: at the design input or at the highest input,
// each in the drive mode's own frequency, duty and currents there.
enum class LossPoint { Design, VinMax };

// "design", "vinMax": the JSON's word.
std::string_view lossPointCode(LossPoint point);

// Whether the transformer runs cool enough: core loss by the iGSE, copper loss with Dowell's
// AC resistance over each winding's harmonics, and the temperature the wound core settles at,
// where its losses at that temperature and what it sheds balance. The winding is taken at the
// core's temperature. SI units; temperatures in °C. See docs/engineering-review.md for every
// formula and source.
struct TransformerLosses {
  bool valid = false;
  std::string_view material;
  bool lossDataExtrapolated = false;  // fs lies outside every band of the material's fit
  double Pv = 0;                      // W/m³, core loss density
  double Pcore = 0;                   // W
  WindingArrangement arrangement = WindingArrangement::Ps;
  std::vector<WindingLoss> windings;  // the review's winding order: primary first
  // The secondaries from the primary outward (the outputs by falling power, the bias last).
  std::vector<Winding> stack;
  // The windings with their tapes fit the bobbin. Where they do not, no layout exists to work
  // the copper's AC loss, the total and the temperature out from: those figures are not shown.
  bool fits = false;
  double leakageEstimate = 0;  // H, of the layout, for the switch's stress
  double Ptotal = 0;           // W
  double Rth = 0;              // K/W
  bool RthMeasured = false;    // the core's published figure, not the estimate
  double dT = 0;               // K
  double Tambient = 0;
  double Tcore = 0;
  double windingBreadth = 0;  // m, what the windings are laid across: bw less the margins
  double buildTotal = 0;      // m, every winding's build and the tape between them
  double bobbinBuild = 0;     // m, hw
  double bobbinBreadth = 0;   // m, bw: the breadth every winding is laid across
  double meanTurn = 0;        // m, MLT of every winding
  // m, copper at the design's switching frequency and kLossReferenceTemperature, where the
  // windings are chosen: what a wire given is judged by.
  double skinDepth = 0;
  // The point of the two that runs hotter; the design input where no higher input is given.
  LossPoint lossesAt = LossPoint::Design;
  // A temperature exists where the losses and what the core sheds balance below
  // kHottestBalance; where none does (thermal runaway), or the windings do not fit, the figures
  // are those at kLossReferenceTemperature and no temperature is shown.
  bool converged = false;
  int temperatureIterations = 0;  // evaluations of the losses the balance took
  // °C, where the core's temperature bracket and the copper were taken: the balance, within
  // the iteration's tolerance of Tcore, or kLossReferenceTemperature where there is none.
  double lossTemperature = kLossReferenceTemperature;
  // How the flux moves at that point: the frequency [Hz], the peak-to-peak swing [T] and the
  // shares of the period it rises and falls in, as the iGSE took them.
  double lossFs = 0;
  double lossSwing = 0;
  double lossRise = 0;
  double lossFall = 0;

  const WindingLoss* find(Winding winding) const;
  // The windings fit and their temperature balances: the copper's AC loss, the total and the
  // temperature can be shown.
  bool temperatureKnown() const { return fits && converged; }
};

// One winding's place on the bobbin, from the centre leg outward: a split primary takes two.
struct WindingPlace {
  enum class Part { Whole, InnerHalf, OuterHalf };
  Winding winding = Winding::Primary;
  int turns = 0;
  Part part = Part::Whole;
};

// The windings in the order they are wound, from the centre leg outward.
std::vector<WindingPlace> windingOrder(const TransformerLosses& losses);

// The order in words: "primary 33 T, secondary 4 T" or "primary inner half 17 T, secondary 4 T,
// primary outer half 16 T".
std::string windingOrderText(const TransformerLosses& losses);

// One number of the losses for listing: its member name, value and unit. `kind` says how
// reports write it: a number, a whole count (the layers) or a Boolean (RthMeasured, 0 or 1).
// `value` is empty for the figures that need a temperature (AC factors, copper losses, total,
// temperature rise and core temperature) where none is known: the windings do not fit the
// bobbin or run away; `converged` and `temperatureIterations` are empty where nothing was laid
// out to balance.
struct LossQuantity {
  enum class Kind { Number, Whole, Boolean };
  std::string name;
  std::optional<double> value;
  std::string_view unit;
  Kind kind = Kind::Number;
};

// The losses' numbers in the order reports write them: Pv, Pcore, Rdc, Fr and Pcu of each
// winding, Ptotal, layers and build of each winding, Rth, RthMeasured, dT, Tambient, Tcore,
// converged, temperatureIterations;
// a winding's quantities carry its suffix (RdcP, RdcS, ...), primary first; a further output's
// or the bias's Rdc, Fr, Pcu, layers and build follow at the end, winding by winding (RdcS2,
// ..., RdcB). The material's name is `material`.
std::vector<LossQuantity> lossQuantities(const TransformerLosses& losses);

double copperResistivity(double celsius);

// Natural-convection thermal resistance [K/W] of a wound ferrite core of effective volume
// `volume` [m³]: 53 · Ve^−0.54 with Ve in cm³ (S. Maniktala, Switching Power Supplies A to Z).
double estimatedThermalResistance(double volume);

// The losses of a valid review's transformer on `core` in `conditions`, at the design input
// and at conditions.vinMax, each at the temperature it settles at: the windings are chosen once
// at kLossReferenceTemperature and the design input, then worked out again at each point's
// currents, frequency and temperature. `state` gives the output the review was made for. Not
// valid where a number comes out non-finite.
TransformerLosses transformerLosses(const DesignState& state, const DesignReview& review,
                                    const CoreGeometry& core, const ReviewConditions& conditions);

}  // namespace fbc
