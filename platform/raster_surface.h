#pragma once

#include <QFont>
#include <QImage>
#include <QString>

#include "surface.h"

namespace fbc {

// A drawing surface backed by a QImage (Format_RGB32), shown by the picture boxes and written
// to PNG files. The image has pixelWidth x pixelHeight logical pixels times the device pixel
// ratio, so it stays sharp on high-DPI screens. User coordinates are mapped to pixels here
// (pixel = user * pixelSize / scale) and drawn without a world transform, so pen widths are in
// logical pixels whatever the user scale. A position falls in the pixel whose box holds it; a
// point DrawWidth wide is a filled square of that many pixels centred on that pixel, written
// straight into the image; lines are aliased. Text is drawn transparently in the foreground
// colour.
class RasterSurface : public Surface {
 public:
  // The window's picture-box font; the application maps it onto an installed face.
  static constexpr const char16_t* kDefaultFontFamily = u"ＭＳ Ｐゴシック";

  // Error 380 for a ratio that is not positive and finite.
  RasterSurface(int pixelWidth, int pixelHeight, qreal devicePixelRatio = 1.0,
                Rgb background = rgb(255, 255, 255), Rgb foreground = rgb(0, 0, 0));

  // The next drawing takes the image's pixels afresh, so a copy made from this one keeps its
  // picture and the image's cache key moves on, as with any QImage written through bits().
  const QImage& image() const noexcept {
    pixelsCurrent_ = false;
    return image_;
  }
  qreal devicePixelRatio() const noexcept { return ratio_; }
  // Re-renders the current picture at another ratio (scaled; later drawing is sharp).
  // Error 380 for a ratio that is not positive and finite.
  void setDevicePixelRatio(qreal ratio);

  // The font family of printed text; the size comes from FontSize.
  void setFontFamily(const QString& family);
  const QString& fontFamily() const noexcept { return fontFamily_; }
  Rgb background() const noexcept { return background_; }
  Rgb foreground() const noexcept { return foreground_; }

  // The colour of logical pixel (x, y) (its top-left device pixel); 0 outside the picture.
  Rgb pixelAt(int x, int y) const;

 protected:
  void drawLine(float x1, float y1, float x2, float y2, Rgb colour) override;
  void drawPoint(float x, float y, Rgb colour) override;
  void drawText(float x, float y, std::u16string_view text) override;
  void erase() override;
  double textLineHeightPixels() const override;

 private:
  QFont currentFont() const;
  void setImage(QImage image);
  // The image's pixels for writing, unshared. Taking them through bits() costs a call and a
  // detach check each time, so they are kept and taken again only when the image may have
  // been replaced, shared or handed out since.
  QRgb* pixels() {
    if (!pixelsCurrent_ || !image_.isDetached()) {
      takePixels();
    }
    return pixels_;
  }
  void takePixels();
  // Fills the device pixels from (left, top) up to but excluding (right, bottom), whole
  // numbers, clipped to the image.
  void fillDeviceRect(double left, double top, double right, double bottom, Rgb colour);

  QImage image_;
  QRgb* pixels_ = nullptr;
  qsizetype pixelsPerLine_ = 0;
  mutable bool pixelsCurrent_ = false;
  // Kept beside the image: a trace asks for them on every point.
  qreal ratio_ = 1.0;
  int deviceWidth_ = 0;
  int deviceHeight_ = 0;
  QString fontFamily_;
  Rgb background_;
  Rgb foreground_;
};

}  // namespace fbc
