#include "chartlib/grids/drawing_helpers.h"
#include "chartlib/macro_library.h"
#include "platform/counting_loop.h"
#include "platform/palette.h"
#include "platform/surface.h"

// Decade grids: one axis in decades, the other left as the surface has it.
namespace fbc::macro {

namespace {

using detail::coordinate;
using detail::decadeLog;
using detail::decadesBetween;

// The spacing of the grey lines in the decade that starts at v. The limits below 1 are the
// 32-bit floats nearest 0.001, 0.01 and 0.1, as v is compared in 32 bits.
double subdivisionStep(float v) {
  if (v < 0.001F) {
    return 0.0001;
  }
  if (v < 0.01F) {
    return 0.001;
  }
  if (v < 0.1F) {
    return 0.01;
  }
  if (v < 1.0F) {
    return 0.1;
  }
  if (v < 10.0F) {
    return 1.0;
  }
  if (v < 100.0F) {
    return 10.0;
  }
  if (v < 1000.0F) {
    return 100.0;
  }
  if (v < 10000.0F) {
    return 1000.0;
  }
  if (static_cast<double>(v) < 100000.0) {
    return 10000.0;
  }
  return 100000.0;
}

// Calls `line(x)` for the grey lines of the decade k: x from v = 10^k (a 32-bit float) to 10 v
// in steps of s, added up in 64 bits. Starting from the float nearest 0.1, nine additions of
// 0.1 already pass 1, so that decade gets lines at 0.1 ... 0.9 only.
template <class Line>
void forEachSubdivision(const Value& k, Line&& line) {
  const float v = power(Value(10.0), k).toSingle();
  const Value end(multiply(Value(v), Value(10.0)).toSingle());
  countingLoop(Value(v), end, Value(subdivisionStep(v)), line);
}

}  // namespace

void GridlogW(Value& Pic_name, Value& xmin, Value& xmax) {
  Surface& pic = surfaceOf(Pic_name);
  const Value lo = decadeLog(xmin);
  pic.setScaleWidth(coordinate(decadesBetween(xmax, xmin)));
  const Rgb grey = paletteColour(detail::kGrey);
  const Rgb black = paletteColour(detail::kBlack);

  countingLoop(lo, decadeLog(xmax), Value(1.0), [&](const Value& k) {
    const Value h(pic.scaleHeight());
    pic.setCurrentY(coordinate(multiply(Value(0.96), h)));
    pic.setCurrentX(coordinate(subtract(k, lo)));
    pic.printValue(power(Value(10.0), k));
    forEachSubdivision(k, [&](const Value& x) {
      const float at = coordinate(subtract(decadeLog(x), lo));
      pic.line(at, 0.0F, at, pic.scaleHeight(), grey);
    });
    const float at = coordinate(subtract(k, lo));
    pic.line(at, 0.0F, at, pic.scaleHeight(), black);
  });
}

void GridlogH(Value& Pic_name, Value& ymin, Value& ymax) {
  Surface& pic = surfaceOf(Pic_name);
  const Value lo = decadeLog(ymin);
  const Value span = decadesBetween(ymax, ymin);
  pic.setScaleHeight(coordinate(span));
  const Value w(pic.scaleWidth());
  const float right = coordinate(w);
  const Rgb grey = paletteColour(detail::kGrey);
  const Rgb black = paletteColour(detail::kBlack);
  // A value u lies at (span - L(u)) + lo: ymax on the top edge, ymin on the bottom edge.
  const auto rowOf = [&](const Value& decades) {
    return coordinate(add(subtract(span, decades), lo));
  };

  // One pass more than the width grid: the decade above ymax, whose label may show at the top.
  countingLoop(lo, add(decadeLog(ymax), Value(1.0)), Value(1.0), [&](const Value& k) {
    pic.setCurrentX(coordinate(multiply(Value(0.01), w)));
    pic.setCurrentY(rowOf(k));
    pic.printValue(power(Value(10.0), k));
    forEachSubdivision(k, [&](const Value& x) {
      const float at = rowOf(decadeLog(x));
      pic.line(0.0F, at, right, at, grey);
    });
    const float at = rowOf(k);
    pic.line(0.0F, at, right, at, black);
  });
}

}  // namespace fbc::macro
