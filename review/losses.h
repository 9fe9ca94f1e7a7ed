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

// Whether the transformer runs cool enough: core loss by the iGSE, copper loss with Dowell's
// AC resistance over each winding's harmonics, and the temperature rise of the wound core.
// SI units; temperatures in °C. See docs/engineering-review.md for every formula and source.
struct TransformerLosses {
  bool valid = false;
  std::string_view material;
  bool lossDataExtrapolated = false;  // fs lies outside every band of the material's fit
  double Pv = 0;                      // W/m³, core loss density
  double Pcore = 0;                   // W
  WindingArrangement arrangement = WindingArrangement::Ps;
  std::vector<WindingLoss> windings;  // the review's winding order: primary first
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
  double buildTotal = 0;     // m, every winding's build and the tape between them
  double bobbinBuild = 0;    // m, hw
  double bobbinBreadth = 0;  // m, bw: the breadth every winding is laid across
  double meanTurn = 0;       // m, MLT of every winding
  double skinDepth = 0;      // m, copper at the switching frequency and the losses' temperature

  const WindingLoss* find(Winding winding) const;
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
// `value` is empty for the figures a layout that does not fit the bobbin cannot give (AC
// factors, copper losses, total, temperature rise and core temperature).
struct LossQuantity {
  enum class Kind { Number, Whole, Boolean };
  std::string name;
  std::optional<double> value;
  std::string_view unit;
  Kind kind = Kind::Number;
};

// The losses' numbers in the order reports write them: Pv, Pcore, Rdc, Fr and Pcu of each
// winding, Ptotal, layers and build of each winding, Rth, RthMeasured, dT, Tambient, Tcore;
// a winding's quantities carry its suffix (RdcP, RdcS, ...), primary first. The material's
// name is `material`.
std::vector<LossQuantity> lossQuantities(const TransformerLosses& losses);

// The copper's resistivity [Ω·m] at 100 °C and the tape between two windings [m].
inline constexpr double kCopperResistivity20 = 1.678e-8;
inline constexpr double kCopperTemperatureCoefficient = 0.004041;
inline constexpr double kLossReferenceTemperature = 100.0;
inline constexpr double kTapeBetweenWindings = 0.15e-3;

double copperResistivity(double celsius);

// Natural-convection thermal resistance [K/W] of a wound ferrite core of effective volume
// `volume` [m³]: 53 · Ve^−0.54 with Ve in cm³ (S. Maniktala, Switching Power Supplies A to Z).
double estimatedThermalResistance(double volume);

// The losses of a valid review's transformer on `core` in `conditions`; `state` gives the
// duty and the period the review was made for. Not valid where a number comes out non-finite.
TransformerLosses transformerLosses(const DesignState& state, const DesignReview& review,
                                    const CoreGeometry& core, const ReviewConditions& conditions);

}  // namespace fbc
