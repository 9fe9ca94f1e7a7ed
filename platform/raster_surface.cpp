#include "raster_surface.h"

#include <QColor>
#include <QFontMetricsF>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>

#include "errors.h"
#include "pixel_grid.h"

namespace fbc {

namespace {

// 96 dpi, so that point sizes give the same pixel sizes as on the original screens.
constexpr int kDotsPerMeter = 3780;
// Text placed further out than this cannot be seen and would only strain the rasteriser.
constexpr double kTextReach = 1e6;

void checkRatio(qreal ratio) {
  if (!(ratio > 0.0 && std::isfinite(ratio))) {
    raise(ErrorNumber::InvalidPropertyValue, "device pixel ratio");
  }
}

QImage makeImage(int pixelWidth, int pixelHeight, qreal ratio, Rgb background) {
  QImage image(std::max(1, qRound(pixelWidth * ratio)), std::max(1, qRound(pixelHeight * ratio)),
               QImage::Format_RGB32);
  image.setDevicePixelRatio(ratio);
  image.setDotsPerMeterX(kDotsPerMeter);
  image.setDotsPerMeterY(kDotsPerMeter);
  image.fill(QColor::fromRgb(static_cast<QRgb>(background)));
  return image;
}

}  // namespace

RasterSurface::RasterSurface(int pixelWidth, int pixelHeight, qreal devicePixelRatio,
                             Rgb background, Rgb foreground)
    : Surface(pixelWidth, pixelHeight),
      fontFamily_(QString::fromUtf16(kDefaultFontFamily)),
      background_(background),
      foreground_(foreground) {
  checkRatio(devicePixelRatio);
  setImage(makeImage(this->pixelWidth(), this->pixelHeight(), devicePixelRatio, background_));
}

void RasterSurface::setImage(QImage image) {
  image_ = std::move(image);
  pixelsCurrent_ = false;
  ratio_ = image_.devicePixelRatio();
  deviceWidth_ = image_.width();
  deviceHeight_ = image_.height();
}

void RasterSurface::setDevicePixelRatio(qreal ratio) {
  checkRatio(ratio);
  if (ratio == devicePixelRatio()) {
    return;
  }
  QImage scaled = makeImage(pixelWidth(), pixelHeight(), ratio, background_);
  QPainter painter(&scaled);
  painter.drawImage(QRectF(0, 0, pixelWidth(), pixelHeight()), image_);
  painter.end();
  setImage(std::move(scaled));
}

void RasterSurface::setFontFamily(const QString& family) { fontFamily_ = family; }

Rgb RasterSurface::pixelAt(int x, int y) const {
  const qreal ratio = devicePixelRatio();
  const int deviceX = static_cast<int>(std::floor(x * ratio));
  const int deviceY = static_cast<int>(std::floor(y * ratio));
  if (!image_.valid(deviceX, deviceY)) {
    return 0;
  }
  return static_cast<Rgb>(image_.pixel(deviceX, deviceY)) & 0xFFFFFFU;
}

void RasterSurface::takePixels() {
  pixels_ = reinterpret_cast<QRgb*>(image_.bits());
  pixelsPerLine_ = image_.bytesPerLine() / static_cast<qsizetype>(sizeof(QRgb));
  pixelsCurrent_ = true;
}

void RasterSurface::fillDeviceRect(double left, double top, double right, double bottom,
                                   Rgb colour) {
  right = std::min<double>(right, deviceWidth_);
  bottom = std::min<double>(bottom, deviceHeight_);
  left = std::max(left, 0.0);
  top = std::max(top, 0.0);
  if (!(left < right && top < bottom)) {
    return;
  }
  const QRgb value = 0xFF000000U | colour;
  const auto x0 = static_cast<qsizetype>(left);
  const auto x1 = static_cast<qsizetype>(right);
  const auto y1 = static_cast<qsizetype>(bottom);
  QRgb* const bits = pixels();
  for (auto y = static_cast<qsizetype>(top); y < y1; ++y) {
    QRgb* const row = bits + y * pixelsPerLine_;
    std::fill(row + x0, row + x1, value);
  }
}

void RasterSurface::drawPoint(float x, float y, Rgb colour) {
  const double logicalX = toPixelX(x);
  const double logicalY = toPixelY(y);
  const int size = penSize(drawWidth(), ratio_);
  if (size == 1) {
    // The usual pen, one device pixel. Inside the image, rounding the pen's edge down to its
    // pixel is truncation; outside it (or not finite) nothing is drawn.
    const double left = penEdge(logicalX, 1, ratio_);
    const double top = penEdge(logicalY, 1, ratio_);
    if (left >= 0.0 && left < deviceWidth_ && top >= 0.0 && top < deviceHeight_) {
      pixels()[static_cast<qsizetype>(top) * pixelsPerLine_ + static_cast<qsizetype>(left)] =
          0xFF000000U | colour;
    }
    return;
  }
  if (!std::isfinite(logicalX) || !std::isfinite(logicalY)) {
    return;
  }
  const double left = penStart(logicalX, size, ratio_);
  const double top = penStart(logicalY, size, ratio_);
  fillDeviceRect(left, top, left + size, top + size, colour);
}

void RasterSurface::drawLine(float x1, float y1, float x2, float y2, Rgb colour) {
  double ax = toPixelX(x1);
  double ay = toPixelY(y1);
  double bx = toPixelX(x2);
  double by = toPixelY(y2);
  if (!std::isfinite(ax) || !std::isfinite(ay) || !std::isfinite(bx) || !std::isfinite(by)) {
    return;
  }
  // Far-away ends are cut first: the rasteriser works in fixed point and cannot take them.
  const double margin = drawWidth() + 2.0;
  if (!clipSegment(ax, ay, bx, by, -margin, -margin, pixelWidth() + margin,
                   pixelHeight() + margin)) {
    return;
  }
  const qreal ratio = devicePixelRatio();
  const int size = penSize(drawWidth(), ratio);
  const double startX = penCentre(ax, size, ratio);
  const double startY = penCentre(ay, size, ratio);
  const double endX = penCentre(bx, size, ratio);
  const double endY = penCentre(by, size, ratio);
  const bool dot = startX == endX && startY == endY;
  const bool axisParallel = startX == endX || startY == endY;
  // A dot is what the pen leaves of a zero-length line (the stroker would drift a pixel). An
  // axis-parallel line covers whole device pixels from one end's pen to the other's, the same
  // pixels the painter fills, at a fraction of its cost: these are all a grid draws. Below
  // one device pixel per logical pixel the painter rounds otherwise, so it keeps those.
  if (dot || (axisParallel && ratio >= 1.0)) {
    const double half = size / 2.0;
    fillDeviceRect(std::min(startX, endX) - half, std::min(startY, endY) - half,
                   std::max(startX, endX) + half, std::max(startY, endY) + half, colour);
    return;
  }
  pixelsCurrent_ = false;
  QPainter painter(&image_);
  painter.setRenderHint(QPainter::Antialiasing, false);
  QPen pen(QColor::fromRgb(static_cast<QRgb>(colour)));
  // Cosmetic: the width is in device pixels, whatever transform the painter carries.
  pen.setCosmetic(true);
  pen.setWidth(size);
  pen.setCapStyle(Qt::SquareCap);
  painter.setPen(pen);
  painter.drawLine(QPointF(startX / ratio, startY / ratio), QPointF(endX / ratio, endY / ratio));
}

void RasterSurface::drawText(float x, float y, std::u16string_view text) {
  const double left = toPixelX(x);
  const double top = toPixelY(y);
  if (text.empty() || !(std::abs(left) < kTextReach && std::abs(top) < kTextReach)) {
    return;
  }
  const QFont font = currentFont();
  const QFontMetricsF metrics(font, &image_);
  pixelsCurrent_ = false;
  QPainter painter(&image_);
  painter.setFont(font);
  painter.setPen(QColor::fromRgb(static_cast<QRgb>(foreground_)));
  painter.drawText(QPointF(left, top + metrics.ascent()),
                   QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())));
}

void RasterSurface::erase() {
  pixelsCurrent_ = false;
  image_.fill(QColor::fromRgb(static_cast<QRgb>(background_)));
}

double RasterSurface::textLineHeightPixels() const {
  return QFontMetricsF(currentFont(), &image_).height();
}

QFont RasterSurface::currentFont() const {
  QFont font(fontFamily_);
  font.setPointSizeF(fontSize());
  return font;
}

}  // namespace fbc
