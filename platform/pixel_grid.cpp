#include "pixel_grid.h"

namespace fbc {

bool clipSegment(double& x0, double& y0, double& x1, double& y1, double xMin, double yMin,
                 double xMax, double yMax) {
  enum : unsigned { kLeft = 1, kRight = 2, kTop = 4, kBottom = 8 };
  const auto outcode = [&](double x, double y) {
    return (x < xMin ? kLeft : 0U) | (x > xMax ? kRight : 0U) | (y < yMin ? kTop : 0U) |
           (y > yMax ? kBottom : 0U);
  };
  // Each pass moves one end onto an edge it lies beyond, with the edge value itself as the new
  // coordinate: ends far out (1e37) would lose the picture's few pixels in a parametric sum.
  for (int pass = 0; pass < 8; ++pass) {
    const unsigned code0 = outcode(x0, y0);
    const unsigned code1 = outcode(x1, y1);
    if ((code0 | code1) == 0U) {
      return true;
    }
    if ((code0 & code1) != 0U) {
      return false;
    }
    const bool first = code0 != 0U;
    const unsigned code = first ? code0 : code1;
    double& x = first ? x0 : x1;
    double& y = first ? y0 : y1;
    const double otherX = first ? x1 : x0;
    const double otherY = first ? y1 : y0;
    if ((code & (kLeft | kRight)) != 0U) {
      const double edge = (code & kLeft) != 0U ? xMin : xMax;
      y += (otherY - y) * ((edge - x) / (otherX - x));
      x = edge;
    } else {
      const double edge = (code & kTop) != 0U ? yMin : yMax;
      x += (otherX - x) * ((edge - y) / (otherY - y));
      y = edge;
    }
  }
  return false;
}

}  // namespace fbc
