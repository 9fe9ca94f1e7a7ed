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

void RasterSurface::fillDeviceSquare(double left, double top, int size, Rgb colour) {
  const double right = std::min<double>(left + size, deviceWidth_);
  const double bottom = std::min<double>(top + size, deviceHeight_);
  left = std::max(left, 0.0);
  top = std::max(top, 0.0);
  if (!(left < right && top < bottom)) {
    return;
  }
  const QRgb value = 0xFF000000U | colour;
  const auto x0 = static_cast<int>(left);
  const auto x1 = static_cast<int>(right);
  const auto y1 = static_cast<int>(bottom);
  // bits() detaches once if the image is shared; scanLine() would check on every row.
  uchar* bits = image_.bits();
  const qsizetype stride = image_.bytesPerLine();
  for (auto y = static_cast<int>(top); y < y1; ++y) {
    auto* row = reinterpret_cast<QRgb*>(bits + y * stride);
    std::fill(row + x0, row + x1, value);
  }
}

void RasterSurface::drawPoint(float x, float y, Rgb colour) {
  const double logicalX = toPixelX(x);
  const double logicalY = toPixelY(y);
  if (!std::isfinite(logicalX) || !std::isfinite(logicalY)) {
    return;
  }
  const qreal ratio = devicePixelRatio();
  const int size = penSize(drawWidth(), ratio);
  fillDeviceSquare(penStart(logicalX, size, ratio), penStart(logicalY, size, ratio), size, colour);
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
  if (startX == endX && startY == endY) {
    // The stroker drifts a pixel on a zero-length line; a dot is what the pen leaves.
    fillDeviceSquare(startX - size / 2.0, startY - size / 2.0, size, colour);
    return;
  }
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
  QPainter painter(&image_);
  painter.setFont(font);
  painter.setPen(QColor::fromRgb(static_cast<QRgb>(foreground_)));
  painter.drawText(QPointF(left, top + metrics.ascent()),
                   QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())));
}

void RasterSurface::erase() { image_.fill(QColor::fromRgb(static_cast<QRgb>(background_))); }

double RasterSurface::textLineHeightPixels() const {
  return QFontMetricsF(currentFont(), &image_).height();
}

QFont RasterSurface::currentFont() const {
  QFont font(fontFamily_);
  font.setPointSizeF(fontSize());
  return font;
}

}  // namespace fbc
