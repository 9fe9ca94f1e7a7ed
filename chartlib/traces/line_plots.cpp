#include "chartlib/grids/drawing_helpers.h"
#include "chartlib/macro_library.h"
#include "platform/palette.h"
#include "platform/surface.h"

// Traces drawn as joined segments, one call per sample.
namespace fbc::macro {

namespace {

using detail::coordinate;
using detail::decadesBetween;

enum class Base { Bottom, Middle };

// One segment on linear axes, mapped as the point plots map a dot; hands the end point back as
// the next call's start point.
void plotSegment(Value& Pic_name, Value& X_1, Value& Y_1, const Value& X, const Value& Y,
                 const Value& Xofset, const Value& Yofset, const Value& Scale_H, const Value& Color,
                 const Value& Width, Base base) {
  Surface& pic = surfaceOf(Pic_name);
  pic.setDrawWidth(Width.toInt16());
  const Value x2 = add(X, Xofset);
  const Value x1 = add(X_1, Xofset);
  const Value baseY = base == Base::Middle ? multiply(Value(0.5), Scale_H)
                                           : multiply(Scale_H, Value(std::int16_t{1}));
  const Value y2 = subtract(baseY, add(Y, Yofset));
  const Value y1 = subtract(baseY, add(Y_1, Yofset));
  pic.line(coordinate(x1), coordinate(y1), coordinate(x2), coordinate(y2), paletteColour(Color));
  X_1 = X;
  Y_1 = Y;
  pic.setDrawWidth(1);
}

}  // namespace

void PlotLine05(Value& Pic_name, Value& X_1, Value& Y_1, Value& X, Value& Y, Value& Xofset,
                Value& Yofset, Value& Scale_H, Value& Color, Value& Width) {
  plotSegment(Pic_name, X_1, Y_1, X, Y, Xofset, Yofset, Scale_H, Color, Width, Base::Middle);
}

void PlotLine00(Value& Pic_name, Value& X_1, Value& Y_1, Value& X, Value& Y, Value& Xofset,
                Value& Yofset, Value& Scale_H, Value& Color, Value& Width) {
  plotSegment(Pic_name, X_1, Y_1, X, Y, Xofset, Yofset, Scale_H, Color, Width, Base::Bottom);
}

void PlotlogLine0(Value& Pic_name, Value& X_1, Value& Y_1, Value& X, Value& Y, Value& xmin,
                  Value& xmax, Value& ymin, Value& ymax, Value& Color, Value& Width) {
  Surface& pic = surfaceOf(Pic_name);
  pic.setDrawWidth(Width.toInt16());
  const Value SW = decadesBetween(xmax, xmin);
  const Value SH = decadesBetween(ymax, ymin);
  pic.setScaleWidth(coordinate(SW));
  pic.setScaleHeight(coordinate(SH));
  const Value x1 = decadesBetween(X_1, xmin);
  const Value x2 = decadesBetween(X, xmin);
  const Value y1 = subtract(SH, decadesBetween(Y_1, ymin));
  const Value y2 = subtract(SH, decadesBetween(Y, ymin));
  pic.line(coordinate(x1), coordinate(y1), coordinate(x2), coordinate(y2), paletteColour(Color));
  pic.setDrawWidth(1);
}

}  // namespace fbc::macro
