#pragma once

#include <string_view>

#include "platform/palette.h"
#include "platform/recording_surface.h"

namespace fbc {

// What a recording draws, in the surface's pixels, placed on the same pixels as the raster
// surface: points as DrawWidth squares, lines DrawWidth wide with square ends (a line that
// shrinks to one pixel is a square), text with its top-left corner at its print position.
// Shapes entirely off the surface are not handed on.
class VectorSink {
 public:
  virtual void square(double left, double top, int size, Rgb colour) = 0;
  virtual void line(double x1, double y1, double x2, double y2, int width, Rgb colour) = 0;
  // `fontPoints` is the recorded FontSize; the surface's pixels are 96 to the inch.
  virtual void text(double left, double top, double fontPoints, std::u16string_view text) = 0;

 protected:
  ~VectorSink() = default;
};

// Replays the recorded operations into `sink`. Only what follows the last erase is drawn; the
// scale, pen and font settings before it still count.
void replayRecording(const RecordingSurface& surface, VectorSink& sink);

}  // namespace fbc
