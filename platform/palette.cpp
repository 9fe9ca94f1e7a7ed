#include "palette.h"

#include "errors.h"

namespace fbc {

Rgb paletteColour(int index) {
  if (index < 0 || index > 15) {
    raise(ErrorNumber::InvalidCall, "colour index " + std::to_string(index));
  }
  return detail::kPaletteColours[static_cast<std::size_t>(index)];
}

}  // namespace fbc
