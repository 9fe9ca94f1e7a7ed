#pragma once

#include <optional>
#include <string>
#include <vector>

#include "review/insulation/insulation.h"
#include "review/losses.h"
#include "review/review.h"
#include "review/windings/winding.h"
#include "review/windings/winding_pins.h"
#include "review/windings/wire_table.h"

namespace fbc {

// What the transformer page hands the winding shop, worked out from a review without drawing:
// the windings in the order they are wound, what the finished transformer is tested for, and
// what to buy. Lengths in m, inductances in H.

// One winding, or one half of a split primary, as it is wound from the centre leg out.
struct WoundWinding {
  Winding winding = Winding::Primary;
  WindingPlace::Part half = WindingPlace::Part::Whole;  // the whole, or a split primary's half
  int startPin = 0;  // the dotted end; a split primary's outer half starts at the tap
  int finishPin = 0;
  int turns = 0;
  Wire wire;
  bool wireChosen = true;  // the review chose it; false where the person gave it
  bool tripleInsulated = false;
  int layers = 0;
  int turnsPerLayer = 0;
  double build = 0;      // this winding's (or half's) layers
  double margin = 0;     // margin tape at each end; 0 where there is none
  int tapeLayers = 0;    // tape wound over it before the next winding; 0 over the outermost
  double tapeLayer = 0;  // one layer's thickness
};

// A span of pins, "1–6": every pin of one side, joined for the electric strength test.
struct PinSpan {
  int first = 0;
  int last = 0;
};

// What the finished transformer is measured and tested for.
struct TransformerTests {
  // The primary inductance across the primary's start and finish, every other winding open, at
  // the switching frequency.
  double inductance = 0;
  double inductanceTolerance = 0.10;
  double frequency = 0;  // Hz
  int primaryStart = 0;
  int primaryFinish = 0;
  // The gap ground in the centre leg, or the AL a gapped core is bought to.
  double gap = 0;
  double AL = 0;  // H per turn²
  double alTolerance = 0.05;
  // The leakage across the same pins with the secondaries shorted: at most this share over the
  // layout's estimate. None where the windings do not fit the bobbin and give no estimate.
  std::optional<double> leakageMax;
  double leakageEstimate = 0;
  // The electric strength test, from every primary-side pin to every secondary-side pin; the
  // insulation's figures say whether one applies.
  PinSpan primarySide;
  PinSpan secondarySide;
  Isolation isolation;
};

// The share of the estimate the measured leakage may reach.
inline constexpr double kLeakageAllowance = 1.5;

// One wire to buy and the windings wound with it.
struct WireToBuy {
  Wire wire;
  bool tripleInsulated = false;
  std::vector<Winding> windings;  // in the order they are wound
};

struct TransformerBuild {
  std::vector<WoundWinding> windings;  // from the centre leg out
  TransformerTests tests;
  std::vector<WireToBuy> wires;
  double bobbinBreadth = 0;   // bw, the tape's width
  double bobbinBuild = 0;     // hw
  double windingBreadth = 0;  // what every winding is laid across, between the margins
  double buildTotal = 0;      // every winding and the tapes between them
};

// The windings in windingOrder's order (the primary or its inner half, the secondaries as the
// losses stack them, a split primary's outer half last) with their pins, wires and layers, the
// margins at their ends and the tape over each but the outermost; the tests; the wires to buy.
// Nothing where the review has no valid winding layout.
std::optional<TransformerBuild> transformerBuild(const DesignReview& review);

// "1 → 2".
std::string pinsText(const WoundWinding& winding);
// "1–6", or "1" for a span of one.
std::string pinSpanText(const PinSpan& span);
// "2.7 mm"; "—" for none.
std::string marginText(double margin);
// "3 × 0.05 mm"; "—" for none.
std::string tapeText(int layers, double layer);

}  // namespace fbc
