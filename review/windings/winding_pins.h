#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "review/windings/winding.h"
#include "review/windings/winding_layout.h"

namespace fbc {

// The pins on each side of the bobbin: the primary side's (the primary and the bias) and the
// secondary side's (the outputs), across the barrier from each other.
struct PinCounts {
  int primarySide = 6;
  int secondarySide = 6;

  friend bool operator==(const PinCounts&, const PinCounts&) = default;
};

inline constexpr int kPinsPerSideMin = 2;
inline constexpr int kPinsPerSideMax = 20;

// Reads "N" (both sides) or "NP,NS" ('/' also between them), each a whole number from
// kPinsPerSideMin to kPinsPerSideMax; an empty text gives the default. None where it cannot be
// read.
std::optional<PinCounts> readPinCounts(std::string_view text);

// "6,6".
std::string pinCountsText(const PinCounts& pins);

// Where a winding starts and finishes. A split primary's halves are wound in series: the inner
// half from `start` to `tap`, the outer half from `tap` to `finish`. The start is the dotted
// end: every winding is wound the same way round, so in a flyback the primary's start goes to the
// bulk capacitor and each secondary's start to its output's return.
struct WindingPins {
  Winding winding = Winding::Primary;
  int start = 0;
  int finish = 0;
  std::optional<int> tap;
  bool primarySide = true;
};

// The pins of every winding: the primary side's numbered from 1 (the primary, then the bias),
// the secondary side's from the first pin across the bobbin, PinCounts::primarySide + 1 (the
// outputs in the order they are wound). Each winding has pins of its own where the side has
// enough; otherwise the outputs share one return pin, the first of their side.
struct PinAssignment {
  PinCounts counts;
  std::vector<WindingPins> windings;  // the primary first, then as `stack` lists them
  bool commonReturn = false;          // the outputs' starts share one pin
  int primaryNeeded = 0;
  int secondaryNeeded = 0;
  bool enough = true;  // both sides have the pins their windings need
};

// `stack` lists the windings outside the primary from the centre leg out (the outputs, then the
// bias), as the losses' layout winds them.
PinAssignment assignPins(std::span<const Winding> stack, WindingArrangement arrangement,
                         const PinCounts& counts);

}  // namespace fbc
