#pragma once

#include <string>
#include <string_view>

#include "palette.h"
#include "recording_surface.h"

namespace fbc {

struct SvgOptions {
  Rgb background = rgb(255, 255, 255);
  Rgb foreground = rgb(0, 0, 0);
  // The picture-box font and the faces that stand in for it.
  std::string fontFamily =
      "'ＭＳ Ｐゴシック', 'IPAPGothic', 'IPA PGothic', 'Noto Sans CJK JP', sans-serif";
};

// Replays the recorded operations into an SVG document (UTF-8) of the picture's pixel size, in
// the pixel placement of RasterSurface at ratio 1: a white background, lines DrawWidth pixels
// wide, points as DrawWidth squares, text with its top-left corner at its print position. An
// erase drops everything drawn before it. Points and lines wholly outside are left out.
std::string toSvg(const RecordingSurface& surface, const SvgOptions& options = {});

// "#rrggbb" for an SVG attribute.
std::string svgColour(Rgb colour);
// UTF-8 text made safe for SVG text and attribute values (markup escaped, control characters,
// which XML does not allow, replaced by blanks).
std::string escapeXml(std::string_view utf8);

}  // namespace fbc
