#pragma once

#include <QFont>
#include <QImage>

#include "surface.h"

namespace fbc {

// A drawing surface backed by a QImage, shown by the picture boxes and written to PNG files.
// The image has pixelWidth x pixelHeight logical pixels times the device pixel ratio, so it
// stays sharp on high-DPI screens. Pens are cosmetic (a width in device-independent pixels
// whatever the user scale); single-pixel points are written straight into the image.
class RasterSurface : public Surface {
 public:
  RasterSurface(int pixelWidth, int pixelHeight, qreal devicePixelRatio = 1.0,
                Rgb background = rgb(255, 255, 255), Rgb foreground = rgb(0, 0, 0));

  const QImage& image() const noexcept { return image_; }
  qreal devicePixelRatio() const noexcept { return image_.devicePixelRatio(); }
  // Re-renders the current picture at another ratio (scaled; later drawing is sharp).
  void setDevicePixelRatio(qreal ratio);

  // The font family of printed text; the size comes from FontSize.
  void setFontFamily(const QString& family);
  Rgb background() const noexcept { return background_; }

 protected:
  void drawLine(float x1, float y1, float x2, float y2, Rgb colour) override;
  void drawPoint(float x, float y, Rgb colour) override;
  void drawText(float x, float y, std::u16string_view text) override;
  void erase() override;
  double textLineHeightPixels() const override;

 private:
  QFont currentFont() const;

  QImage image_;
  QString fontFamily_;
  Rgb background_;
  Rgb foreground_;
};

}  // namespace fbc
