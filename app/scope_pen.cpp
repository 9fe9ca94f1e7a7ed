#include "app/scope_pen.h"

#include <cstdint>

#include "chartlib/macro_library.h"

namespace fbc {

void scopeLine(Value& pic, double x1, double y1, double x2, double y2, double scaleHeight,
               int colour, int width) {
  Value fromX(x1);
  Value fromY(y1);
  Value toX(x2);
  Value toY(y2);
  Value zero(0.0);
  Value scaleH(scaleHeight);
  Value color(static_cast<std::int16_t>(colour));
  Value pen(static_cast<std::int16_t>(width));
  macro::PlotLine00(pic, fromX, fromY, toX, toY, zero, zero, scaleH, color, pen);
}

void scopeText(Value& pic, double across, double down, std::u16string_view words) {
  Value x(across);
  Value y(1.0 - down);
  Value data(words);
  macro::DrwPic2(pic, x, y, data);
}

}  // namespace fbc
