#include "chartlib/macro_library.h"
#include "platform/palette.h"
#include "platform/surface.h"

namespace fbc::macro {

namespace {

enum class Base { Bottom, Middle };

// y = base - (Y + Yofset), the base evaluated first.
Value heightOf(const Value& Y, const Value& Yofset, const Value& Scale_H, Base base) {
  if (base == Base::Middle) {
    const Value middle = multiply(Value(0.5), Scale_H);
    return subtract(middle, add(Y, Yofset));
  }
  return subtract(Scale_H, add(Y, Yofset));
}

// One dot at (X + Xofset, base - (Y + Yofset)), base Scale_H or 0.5 x Scale_H; the whole family
// shares it. Called thousands of times per calculation, so it works on values held inline and
// allocates nothing, and is inlined into each procedure, where the base is a constant. The
// steps run in order, so a fault is the one of the first bad step.
[[gnu::always_inline]] inline void plotPoint(Surface& pic, const Value& X, const Value& Y,
                                             const Value& Xofset, const Value& Yofset,
                                             const Value& Scale_H, const Value& Color, Base base) {
  const Value x = add(X, Xofset);
  const Value y = heightOf(Y, Yofset, Scale_H, base);
  const Rgb colour = paletteColour(Color);
  pic.pset(x.toSingle(), y.toSingle(), colour);
}

}  // namespace

void Plot00(Value& Pic_name, Value& X, Value& Y, Value& Xofset, Value& Yofset, Value& Scale_H,
            Value& Color) {
  plotPoint(surfaceOf(Pic_name), X, Y, Xofset, Yofset, Scale_H, Color, Base::Bottom);
}

void Plot05(Value& Pic_name, Value& X, Value& Y, Value& Xofset, Value& Yofset, Value& Scale_H,
            Value& Color) {
  plotPoint(surfaceOf(Pic_name), X, Y, Xofset, Yofset, Scale_H, Color, Base::Middle);
}

void Plot00B(Value& Pic_name, Value& X, Value& Y, Value& Xofset, Value& Yofset, Value& Scale_H,
             Value& Color, Value& Width) {
  Surface& pic = surfaceOf(Pic_name);
  pic.setDrawWidth(Width.toInt16());
  plotPoint(pic, X, Y, Xofset, Yofset, Scale_H, Color, Base::Bottom);
}

void Plot05B(Value& Pic_name, Value& X, Value& Y, Value& Xofset, Value& Yofset, Value& Scale_H,
             Value& Color, Value& Width) {
  Surface& pic = surfaceOf(Pic_name);
  pic.setDrawWidth(Width.toInt16());
  plotPoint(pic, X, Y, Xofset, Yofset, Scale_H, Color, Base::Middle);
  pic.setDrawWidth(1);
}

}  // namespace fbc::macro
