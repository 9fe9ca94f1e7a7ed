#pragma once

#include <string_view>

#include "platform/value.h"

namespace fbc {

// Drawing on an oscilloscope grid (the library's Grid00C2) through the library's procedures: the
// current and simulated waveform plots share these.

// A straight line from (x1, y1) to (x2, y2) in the grid's scale, y = 0 on the ground line of a
// grid `scaleHeight` high, in palette colour `colour` and `width` pixels wide.
void scopeLine(Value& pic, double x1, double y1, double x2, double y2, double scaleHeight,
               int colour, int width);

// Text with its left edge at the share `across` of the width and its top `down` of the height.
void scopeText(Value& pic, double across, double down, std::u16string_view words);

}  // namespace fbc
