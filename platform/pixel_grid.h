#pragma once

namespace fbc {

// Where a pen lands on the pixel grid, shared by the raster surface and the SVG export so that
// both place lines and points on the same pixels. "Logical" positions are in logical pixels
// (fractional); `ratio` device pixels make one logical pixel. A position falls in the pixel
// whose box holds it, and a pen is centred on that pixel.

// Device pixels covered by a pen `width` logical pixels wide (at least one).
int penSize(int width, double ratio);

// First device pixel (a whole number) of a pen `size` device pixels wide at `logical`.
double penStart(double logical, int size, double ratio);

// The device position of a line end at `logical`: the middle of the pen's pixels.
double penCentre(double logical, int size, double ratio);

// Cuts the segment to the rectangle; false when nothing of it lies inside.
bool clipSegment(double& x0, double& y0, double& x1, double& y1, double xMin, double yMin,
                 double xMax, double yMax);

}  // namespace fbc
