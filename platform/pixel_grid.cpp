#include "pixel_grid.h"

namespace fbc {
namespace {

enum : unsigned { kLeft = 1, kRight = 2, kTop = 4, kBottom = 8 };

struct ClipBox {
  double xMin;
  double yMin;
  double xMax;
  double yMax;
};

// The edges of the box that (x, y) lies beyond.
unsigned outcode(const ClipBox& box, double x, double y) {
  return (x < box.xMin ? kLeft : 0U) | (x > box.xMax ? kRight : 0U) | (y < box.yMin ? kTop : 0U) |
         (y > box.yMax ? kBottom : 0U);
}

// Moves the end (x, y), beyond the edges in `code`, along the segment towards (otherX, otherY)
// onto one of those edges, with the edge value itself as the new coordinate.
void moveOntoEdge(unsigned code, double& x, double& y, double otherX, double otherY,
                  const ClipBox& box) {
  if ((code & (kLeft | kRight)) != 0U) {
    const double edge = (code & kLeft) != 0U ? box.xMin : box.xMax;
    y += (otherY - y) * ((edge - x) / (otherX - x));
    x = edge;
  } else {
    const double edge = (code & kTop) != 0U ? box.yMin : box.yMax;
    x += (otherX - x) * ((edge - y) / (otherY - y));
    y = edge;
  }
}

}  // namespace

bool clipSegment(double& x0, double& y0, double& x1, double& y1, double xMin, double yMin,
                 double xMax, double yMax) {
  const ClipBox box{xMin, yMin, xMax, yMax};
  // Each pass moves one end onto an edge it lies beyond, with the edge value itself as the new
  // coordinate: ends far out (1e37) would lose the picture's few pixels in a parametric sum.
  for (int pass = 0; pass < 8; ++pass) {
    const unsigned code0 = outcode(box, x0, y0);
    const unsigned code1 = outcode(box, x1, y1);
    if ((code0 | code1) == 0U) {
      return true;
    }
    if ((code0 & code1) != 0U) {
      return false;
    }
    if (code0 != 0U) {
      moveOntoEdge(code0, x0, y0, x1, y1, box);
    } else {
      moveOntoEdge(code1, x1, y1, x0, y0, box);
    }
  }
  return false;
}

}  // namespace fbc
