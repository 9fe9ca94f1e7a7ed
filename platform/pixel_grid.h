#pragma once

#include <algorithm>
#include <cmath>

namespace fbc {

// Where a pen lands on the pixel grid, shared by the raster surface and the SVG export so that
// both place lines and points on the same pixels. "Logical" positions are in logical pixels
// (fractional); `ratio` device pixels make one logical pixel. A position falls in the pixel
// whose box holds it, and a pen is centred on that pixel.

// Absorbs rounding noise in computed coordinates (a grid line meant for pixel 100 that arrives
// as 99.9999999).
inline constexpr double kPixelSnapTolerance = 1e-6;

// Device pixels covered by a pen `width` logical pixels wide (at least one).
inline int penSize(int width, double ratio) {
  // Halves round up (floor of x + 0.5), as the raster and SVG output have always placed them.
  return std::max(1, static_cast<int>(std::floor(width * ratio + 0.5)));
}

// Where a pen `size` device pixels wide at `logical` begins, in device pixels, before it is
// rounded down to a whole pixel. Inline: it runs for every point of a trace.
inline double penEdge(double logical, int size, double ratio) {
  return (logical + 0.5) * ratio - size / 2.0 + kPixelSnapTolerance;
}

// First device pixel (a whole number) of a pen `size` device pixels wide at `logical`.
inline double penStart(double logical, int size, double ratio) {
  return std::floor(penEdge(logical, size, ratio));
}

// The device position of a line end at `logical`: the middle of the pen's pixels.
inline double penCentre(double logical, int size, double ratio) {
  return penStart(logical, size, ratio) + size / 2.0;
}

// Cuts the segment to the rectangle; false when nothing of it lies inside.
bool clipSegment(double& x0, double& y0, double& x1, double& y1, double xMin, double yMin,
                 double xMax, double yMax);

}  // namespace fbc
