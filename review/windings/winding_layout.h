#pragma once

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <string>
#include <string_view>

#include "review/windings/winding_resistance.h"
#include "review/windings/wire_table.h"

namespace fbc {

// How the windings are stacked on the centre leg, from the inside out, with tape between
// neighbours:
//   ps   the primary, then the secondary;
//   psp  the primary split into halves either side of the secondary, ⌈Np/2⌉ turns inside and
//        ⌊Np/2⌋ outside, in series (an interleaved flyback transformer).
enum class WindingArrangement { Ps, Psp };

// "ps", "psp".
std::string_view windingArrangementCode(WindingArrangement arrangement);
std::optional<WindingArrangement> windingArrangementByCode(std::string_view code);
// "ps or psp".
std::string windingArrangementCodes(std::string_view last);

// Turns of one wire laid across `breadth` [m], turn beside turn, layer on layer; a foil lies one
// turn per layer. A breadth that holds a whole number of turns holds them, rounding aside.
inline WindingLayout layWire(int turns, const WireSection& section, double breadth) {
  WindingLayout layout;
  layout.outerDiameter = section.height;
  layout.turnsPerLayer = section.foil ? 1 : turnsAcross(breadth, section.width);
  layout.layers = (turns + layout.turnsPerLayer - 1) / layout.turnsPerLayer;
  layout.build = layout.layers * section.height;
  return layout;
}

// The share of the breadth a layer's conductors fill (Dowell's porosity, at most 1) and the
// penetration ratio φ at skin depth `skinDepth` [m]: a layer of round conductors is the foil of
// the same copper, thickness √(π/4)·d, spread over the breadth; a foil fills it.
struct LayerPenetration {
  double porosity = 1;
  double phi = 0;
  double conductorLayers = 0;  // Dowell's M: layers · conductors a turn stands high
};
inline LayerPenetration layerPenetration(const WireSection& section, const WindingLayout& layout,
                                         double breadth, double skinDepth) {
  LayerPenetration p;
  p.conductorLayers = layout.layers * section.conductorsAcross;
  if (section.foil) {
    // A foil: its thickness faces the field over the whole breadth.
    p.porosity = 1.0;
    p.phi = section.conductor / skinDepth;
    return p;
  }
  p.porosity = std::min(1.0, std::sqrt(std::numbers::pi / 4.0) * section.conductor *
                                 section.conductorsAcross * layout.turnsPerLayer / breadth);
  p.phi = roundWirePenetration(section.conductor, p.porosity, skinDepth);
  return p;
}

// The tapes between neighbouring windings in an arrangement of a primary and one secondary.
int tapesBetweenWindings(WindingArrangement arrangement);

// The leakage inductance [H] referred to the primary by the one-dimensional field between the
// windings (Dowell; Snelling; McLyman):
//   ps   Llk = μ0·Np²·MLT/bw · ((hP + hS)/3 + Δ)
//   psp  Llk = μ0·Np²·MLT/bw · ((hP + hS)/12 + 2Δ/4)
// with hP the primary's build (both halves added), hS the secondary's, Δ the tape, MLT the mean
// turn and bw the breadth, all in m.
double arrangedLeakage(WindingArrangement arrangement, int primaryTurns, double meanTurn,
                       double breadth, double primaryBuild, double secondaryBuild, double tape);

// The leakage's share that the builds carry, μ0·Np²·MLT/bw times 1/3 (ps) or 1/12 (psp), and
// the tapes' part: Llk = perBuild · (hP + hS) + tapes.
struct LeakageParts {
  double perBuild = 0;  // H/m
  double tapes = 0;     // H
};
LeakageParts leakageParts(WindingArrangement arrangement, int primaryTurns, double meanTurn,
                          double breadth, double tape);

}  // namespace fbc
