#include <string>

#include "chartlib/macro_library.h"
#include "platform/counting_loop.h"
#include "platform/number_text.h"
#include "platform/palette.h"
#include "platform/surface.h"

namespace fbc::macro {

namespace {

constexpr int kLightGrey = 7;
constexpr int kDarkBlue = 1;

// The surface takes coordinates as 32-bit floats.
float coordinate(const Value& v) { return v.toSingle(); }

}  // namespace

void Grid00C2(Value& Pic_name, Value& Scale_W, Value& Scale_H, Value& Xnum, Value& Ynum) {
  Surface& pic = surfaceOf(Pic_name);
  const Value zero(0.0);
  const Value one(1.0);
  const Value m = multiply(Scale_H, Value(0.1));
  const Value bottom = add(Scale_H, m);
  const Rgb grey = paletteColour(kLightGrey);

  pic.setDrawWidth(1);
  pic.setScaleWidth(coordinate(Scale_W));
  pic.setScaleHeight(coordinate(bottom));

  const float right = coordinate(Scale_W);
  const Value yStep = multiply(divide(one, Ynum), Scale_H);
  countingLoop(zero, Scale_H, yStep, [&](const Value& i) {
    const float y = coordinate(subtract(Scale_H, i));
    pic.line(0.0F, y, right, y, grey);
  });

  // The ground line goes over the lowest division line, twice as thick.
  pic.setDrawWidth(2);
  const float ground = coordinate(Scale_H);
  pic.line(0.0F, ground, right, ground, paletteColour(kDarkBlue));
  pic.setDrawWidth(1);

  const float bottomEdge = coordinate(bottom);
  const Value xStep = multiply(divide(one, Xnum), Scale_W);
  countingLoop(zero, Scale_W, xStep, [&](const Value& i) {
    const float x = coordinate(i);
    pic.line(x, 0.0F, x, bottomEdge, grey);
  });

  pic.setCurrentX(coordinate(multiply(Value(0.5), Scale_W)));
  pic.setCurrentY(coordinate(add(multiply(Value(0.01), Scale_H), m)));
  const Value perDivision = multiply(divide(Scale_W, Xnum), Value(1000000.0));
  std::u16string label = u"[";
  label +=
      formatPattern(perDivision.toDouble(), u"0.000", perDivision.kind() == Kind::Single ? 7 : 15);
  label += u"\u03BCsec/div]";
  pic.print(label);

  pic.setCurrentX(coordinate(multiply(Value(0.02), Scale_W)));
  pic.setCurrentY(coordinate(multiply(Value(0.95), subtract(Scale_H, m))));
  pic.print(u"Gnd");
}

}  // namespace fbc::macro
