#pragma once

#include <array>
#include <cstddef>
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

namespace detail {

// Entry `index` (0..15) of the palette described below.
constexpr Rgb paletteEntry(int index) {
  // The two greys break the bit rule: 7 would be 128s and 8 black.
  if (index == 7) {
    return rgb(192, 192, 192);
  }
  if (index == 8) {
    return rgb(128, 128, 128);
  }
  const int level = (index & 8) != 0 ? 255 : 128;
  return rgb((index & 4) != 0 ? level : 0, (index & 2) != 0 ? level : 0,
             (index & 1) != 0 ? level : 0);
}

constexpr std::array<Rgb, 16> kPaletteColours = [] {
  std::array<Rgb, 16> colours{};
  for (int i = 0; i < 16; ++i) {
    colours[static_cast<std::size_t>(i)] = paletteEntry(i);
  }
  return colours;
}();

}  // namespace detail

// The 16-colour palette: bit 1 of the index is blue, 2 green, 4 red, 8 bright; a colour bit
// gives 128 (255 when bright), except index 7 = (192,192,192) and 8 = (128,128,128).
// Error 5 for an index outside 0..15.
Rgb paletteColour(int index);
// The index given as a dynamically typed value: converted to a 16-bit integer first
// (error 6 when it does not fit, 13 when it is not a number), then looked up. Inline for an
// Int16 index, as every plotted point passes one.
inline Rgb paletteColour(const Value& index) {
  if (index.kind() == Kind::Int16) {
    const int i = index.int16();
    if (i >= 0 && i < 16) {
      return detail::kPaletteColours[static_cast<std::size_t>(i)];
    }
  }
  return paletteColour(index.toInt16());
}

}  // namespace fbc
