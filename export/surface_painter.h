#pragma once

#include <QString>

#include "platform/palette.h"
#include "platform/recording_surface.h"

class QPainter;

namespace fbc {

struct SurfacePaintOptions {
  Rgb foreground = rgb(0, 0, 0);
  // The face the picture box's text asks for; the Japanese substitutions map it.
  QString fontFamily = QStringLiteral("ＭＳ Ｐゴシック");
  // Font points per point of the recorded FontSize, for painters whose device does not measure
  // fonts at 72 dpi in the painter's units.
  double fontScale = 1.0;
};

// Replays the recorded operations as vectors onto `painter`, one unit to the surface's pixel,
// placing lines, points and text on the same pixels as the SVG export: lines DrawWidth wide
// with square ends, points as DrawWidth squares, text with its top-left corner at its print
// position. An erase drops everything drawn before it. The caller positions, scales and clips.
void paintRecording(QPainter& painter, const RecordingSurface& surface,
                    const SurfacePaintOptions& options = {});

}  // namespace fbc
