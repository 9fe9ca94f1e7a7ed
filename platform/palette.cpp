#include "palette.h"

#include "errors.h"

namespace fbc {

Rgb paletteColour(int index) {
  if (index < 0 || index > 15) {
    raise(ErrorNumber::InvalidCall, "colour index " + std::to_string(index));
  }
  // The two greys break the bit rule: 7 would be 128s and 8 black.
  if (index == 7) {
    return rgb(192, 192, 192);
  }
  if (index == 8) {
    return rgb(128, 128, 128);
  }
  const int level = (index & 8) != 0 ? 255 : 128;
  const int red = (index & 4) != 0 ? level : 0;
  const int green = (index & 2) != 0 ? level : 0;
  const int blue = (index & 1) != 0 ? level : 0;
  return rgb(red, green, blue);
}

Rgb paletteColour(const Value& index) { return paletteColour(index.toInt16()); }

}  // namespace fbc
