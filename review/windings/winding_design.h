#pragma once

#include <optional>
#include <span>
#include <vector>

#include "review/windings/winding.h"
#include "review/windings/winding_layout.h"
#include "review/windings/winding_resistance.h"
#include "review/windings/wire_table.h"

namespace fbc {

// One winding as it is wound and what its copper loses. Lengths in m, resistances in Ω.
struct WindingLoss {
  Winding winding = Winding::Primary;
  int turns = 0;
  Wire wire;
  bool wireChosen = true;        // the review chose the wire; false where the person gave it
  bool tripleInsulated = false;  // the wire is triple-insulated (the tiw construction)
  WireSection section;
  // Every layer of the winding: a split primary's two halves added.
  WindingLayout layout;
  int innerTurns = 0;         // a split primary's inner half; all turns otherwise
  double porosity = 0;        // share of the breadth a layer's conductors fill
  double strandLayers = 0;    // Dowell's M: layers · conductors a turn stands high
  double phi = 0;             // Dowell's penetration ratio at the switching frequency
  double weight = 0;          // the proximity weight of its layers' fields (proximityWeight)
  double Irms = 0;            // A, the current this winding carries
  double currentDensity = 0;  // A/m²
  double Rdc = 0;
  double Fr = 1;   // AC to DC loss ratio over the current's harmonics
  double Pcu = 0;  // W
};

// What one winding must carry and, where the person chose it, its wire.
struct WindingDemand {
  Winding winding = Winding::Primary;
  int turns = 0;
  std::span<const CurrentSegment> current;  // over one period, as the drive mode shapes it
  std::optional<Wire> wire;
  // The ampere-turns of the windings wound outside this one that conduct with it, over its own:
  // a flyback's secondaries all conduct while the switch is off, so each layer of an inner one
  // sees the outer ones' ampere-turns too. 0 for the primary and the outermost secondary; the
  // design works it out from the secondaries' turns and currents.
  double outsideRatio = 0;
  // The most copper a table wire may have, as a multiple of what the current needs at the
  // density; 0 for no bound. The design bounds the secondaries of a stack by kStackCopper.
  double copperBound = 0;
  // Wound with triple-insulated wire: chosen from the round wires that are made so, each
  // kTripleInsulation thicker than its copper.
  bool tripleInsulated = false;
};

// The bound on a stacked secondary's copper: 4 times what its current needs at the density
// (twice the diameter; 0.875 A/mm² at the least). Thicker wire only adds build to a stack of
// several windings, and leaving it out keeps the search over five outputs and a bias within
// about twice one output's (bench/review_bench).
inline constexpr double kStackCopper = 4.0;

// The bobbin, the copper and what a henry of leakage costs.
struct WindingConditions {
  double breadth = 0;         // m, bw
  double build = 0;           // m, hw
  double meanTurn = 0;        // m, MLT
  double tape = 0;            // m, between neighbouring windings
  double resistivity = 0;     // Ω·m
  double skinDepth = 0;       // m, at the switching frequency
  double currentDensity = 0;  // A/m², the most a chosen wire may carry
  // W/H: the clamp's loss per henry of estimated leakage, ½·Ipk²·fs·r/(r − 1); 0 where the
  // leakage is measured and no layout changes the clamp.
  double clampPerHenry = 0;
  std::optional<WindingArrangement> arrangement;  // none: choose
};

// The windings as wound: primary first, then the secondaries from the centre leg outward.
struct WindingDesign {
  WindingArrangement arrangement = WindingArrangement::Ps;
  std::vector<WindingLoss> windings;
  double buildTotal = 0;  // m, every build and the tapes between them
  bool fits = false;      // buildTotal within the bobbin's build
  double leakage = 0;     // H, estimated from the layout
  double cost = 0;        // W, copper loss plus the clamp's loss from the estimated leakage
};

// One winding of `wire` laid and its loss worked out in `arrangement`. `spectrum` is the
// winding's current's harmonics.
// `outsideRatio` and `tripleInsulated` as WindingDemand's.
WindingLoss windWinding(Winding winding, int turns, const Wire& wire,
                        const HarmonicSpectrum& spectrum, WindingArrangement arrangement,
                        const WindingConditions& conditions, double outsideRatio = 0.0,
                        bool tripleInsulated = false);

// The loss of the winding `laid` as it was laid, carrying another current (its harmonics
// `spectrum`) in other copper: its DC resistance scaled by `resistivityScale`, the skin depth
// by `skinDepthScale` and with it the penetration ratio φ by its inverse. The wire, the layout
// and the proximity weight stay: what the windings lose at another temperature or input
// without choosing them again.
WindingLoss laidWindingLoss(const WindingLoss& laid, const HarmonicSpectrum& spectrum,
                            double resistivityScale, double skinDepthScale);

// The windings of a primary and a secondary with the least copper and clamp loss,
// PcuP + PcuS + Pclamp, over the wire table and both arrangements (or the ones given):
// each chosen wire carries its RMS current at no more than the current density, and the builds
// with their tapes fit the bobbin. Where nothing fits, the layout of the least total build
// (`fits` false). See docs/engineering-review.md for the search and why it is exact.
WindingDesign designWindings(const WindingDemand& primary, const WindingDemand& secondary,
                             const WindingConditions& conditions);

// The same for a primary and a stack of secondaries (the further outputs' and the bias's
// windings), `secondaries` in the order they are wound from the primary outward, with tape
// between each two; a split primary's halves lie either side of the whole stack. The stack is
// searched as one winding: for each build the secondaries together can take, the least cost of
// any choice of their wires (see docs/engineering-review.md). The windings come back in that
// order, the primary first.
WindingDesign designWindings(const WindingDemand& primary,
                             std::span<const WindingDemand> secondaries,
                             const WindingConditions& conditions);

}  // namespace fbc
