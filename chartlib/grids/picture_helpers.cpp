#include <string>

#include "chartlib/grids/drawing_helpers.h"
#include "chartlib/macro_library.h"
#include "platform/palette.h"
#include "platform/surface.h"

// Small drawing helpers: a marker line, values printed at fractional positions, the Plot/Clear
// toggle of a clear button and a titled text block.
namespace fbc::macro {

namespace {

using detail::coordinate;

// Prints at (X_par x ScaleWidth, (1 - Y_par) x ScaleHeight): X_par from the left edge, Y_par
// from the bottom edge, the point being the text's top-left corner.
void printAtFraction(Surface& pic, const Value& X_par, const Value& Y_par,
                     std::u16string_view text) {
  const Value w(pic.scaleWidth());
  const Value h(pic.scaleHeight());
  detail::printAt(pic, multiply(X_par, w), multiply(subtract(Value(1.0), Y_par), h), text);
}

}  // namespace

void LineH(Value& Pic_name, Value& X, Value& Color) {
  Surface& pic = surfaceOf(Pic_name);
  const float x = coordinate(X);
  pic.line(x, 0.0F, x, pic.scaleHeight(), paletteColour(Color));
}

void DrwPic(Value& Pic_name, Value& Scale_W, Value& Scale_H, Value& X_par, Value& Y_par,
            Value& Drwdata) {
  Surface& pic = surfaceOf(Pic_name);
  Scale_W = Value(pic.scaleWidth());
  Scale_H = Value(pic.scaleHeight());
  printAtFraction(pic, X_par, Y_par, Drwdata.toText());
}

void DrwPic2(Value& Pic_name, Value& X_par, Value& Y_par, Value& Drwdata) {
  printAtFraction(surfaceOf(Pic_name), X_par, Y_par, Drwdata.toText());
}

void DrwPic3(Value& Pic_name, Value& X_par, Value& Y_par, Value& Name, Value& Drwdata,
             Value& Frmat) {
  Drwdata = Value(detail::formatValue(Drwdata, Frmat.toText()));
  printAtFraction(surfaceOf(Pic_name), X_par, Y_par, Name.toText() + Drwdata.text());
}

void DrwPic4(Value& Pic_name, Value& X_par, Value& Y_par, Value& Name, Value& Drwdata, Value& Frmat,
             Value& Color, Value& Size) {
  // Color is part of the interface but the text keeps the surface's foreground colour.
  static_cast<void>(Color);
  surfaceOf(Pic_name).setProperty("FontSize", Size);
  DrwPic3(Pic_name, X_par, Y_par, Name, Drwdata, Frmat);
}

void CrickCls(Value& Pic_name, Value& Command1, Value& Plot, Value& Clear) {
  static_cast<void>(Plot);
  static_cast<void>(Clear);
  Object& button = Command1.object();
  if (equals(button.property("Caption"), Value(u"Clear"))) {
    button.setProperty("Caption", Value(u"Plot"));
    surfaceOf(Pic_name).cls();
  } else {
    button.setProperty("Caption", Value(u"Clear"));
  }
}

void PrintText(Value& Textname, Value& titlea, Value& Textdata) {
  std::u16string block = u"------";
  block += titlea.toText();
  block += u"------\r\n";
  block += Textdata.toText();
  block += u"END\r\n";
  Textname.object().setProperty("text", Value(std::move(block)));
}

}  // namespace fbc::macro
