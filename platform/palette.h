#pragma once

#include <cstdint>

#include "value.h"

namespace fbc {

// A 24-bit colour as 0xRRGGBB.
using Rgb = std::uint32_t;

constexpr Rgb rgb(int red, int green, int blue) {
  return (static_cast<Rgb>(red) << 16) | (static_cast<Rgb>(green) << 8) | static_cast<Rgb>(blue);
}
constexpr int redOf(Rgb c) { return static_cast<int>((c >> 16) & 0xFF); }
constexpr int greenOf(Rgb c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int blueOf(Rgb c) { return static_cast<int>(c & 0xFF); }

// The 16-colour palette: bit 1 of the index is blue, 2 green, 4 red, 8 bright; a colour bit
// gives 128 (255 when bright), except index 7 = (192,192,192) and 8 = (128,128,128).
// Error 5 for an index outside 0..15.
Rgb paletteColour(int index);
// The index given as a dynamically typed value: converted to a 16-bit integer first
// (error 6 when it does not fit, 13 when it is not a number), then looked up.
Rgb paletteColour(const Value& index);

}  // namespace fbc
