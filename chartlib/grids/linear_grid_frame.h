#pragma once

#include <functional>
#include <string>

#include "platform/value.h"

namespace fbc::macro::detail {

// What one member of the linear grid family (Grid05 ... Grid01D) puts into the frame they all
// share. The frame sets the scale to W x E, then makes a horizontal pass (a grey line at each
// distance i above the bottom, the blue zero line, the y value label, the y caption) and a
// vertical pass (a grey line at each x = i, the x value label, the x caption).
//
// Quantities that can fail, such as a step with a zero division count, are formulas worked out
// at the moment the pass needs them, so a fault leaves the surface as far as the grid got.
struct LinearGridFrame {
  using Formula = std::function<Value()>;
  using TextFormula = std::function<std::u16string()>;

  enum class ZeroLine {
    Middle,  // at 0.5 x H: the line at distance i stands for i - H/2
    Bottom,  // on the bottom edge E: the line at distance i stands for i
  };

  // The number printed beside each grid line.
  struct ValueLabel {
    bool shown = false;
    Formula offset;          // subtracted from i; none: i itself
    std::u16string pattern;  // none: the bare number (its general number text)
    // The fixed coordinate of the label's top-left corner, as a fraction: x = across x W in
    // the horizontal pass, y = across x H in the vertical pass.
    double across = 0.0;
  };

  // A text printed at the fixed place (x x W, y x H) in every pass of its direction.
  struct Caption {
    TextFormula text;  // none: no caption
    double x = 0.0;
    double y = 0.0;
  };

  bool resetsPen = false;  // DrawWidth = 1 before anything else
  Formula height;          // the surface height E; none: H
  Formula stepH;           // S_h, the spacing of the horizontal lines
  ZeroLine zero = ZeroLine::Bottom;
  ValueLabel yLabel;
  Caption yCaption;
  Formula stepV;  // S_v, the spacing of the vertical lines; none: no vertical pass
  ValueLabel xLabel;
  Caption xCaption;
};

// Draws the frame on the surface behind Pic_name with width W and grid height H.
void drawLinearGrid(const Value& Pic_name, const Value& W, const Value& H,
                    const LinearGridFrame& frame);

// "[" + the caption text + "]".
std::u16string bracketed(const Value& name);

}  // namespace fbc::macro::detail
