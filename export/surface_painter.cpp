#include "export/surface_painter.h"

#include <cmath>
#include <cstddef>
#include <vector>

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPen>

#include "platform/pixel_grid.h"

namespace fbc {

namespace {

QColor colourOf(Rgb colour) { return QColor(redOf(colour), greenOf(colour), blueOf(colour)); }

class PainterReplay {
 public:
  PainterReplay(QPainter& painter, const RecordingSurface& surface,
                const SurfacePaintOptions& options)
      : painter_(painter),
        width_(surface.pixelWidth()),
        height_(surface.pixelHeight()),
        options_(options),
        state_(surface.startState()) {}

  // Only what follows the last erase is drawn, so the operations are applied from there.
  void run(const std::vector<SurfaceOp>& ops) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < ops.size(); ++i) {
      if (ops[i].type == SurfaceOp::Type::Cls) {
        start = i + 1;
      }
    }
    for (std::size_t i = 0; i < ops.size(); ++i) {
      apply(ops[i], i >= start);
    }
  }

 private:
  void apply(const SurfaceOp& op, bool draw) {
    using Type = SurfaceOp::Type;
    switch (op.type) {
      case Type::ScaleWidth:
        state_.scaleWidth = static_cast<float>(op.x1);
        break;
      case Type::ScaleHeight:
        state_.scaleHeight = static_cast<float>(op.x1);
        break;
      case Type::DrawWidth:
        state_.drawWidth = static_cast<int>(op.x1);
        break;
      case Type::CurrentX:
        state_.currentX = static_cast<float>(op.x1);
        break;
      case Type::CurrentY:
        state_.currentY = static_cast<float>(op.x1);
        break;
      case Type::FontSize:
        state_.fontSize = op.x1;
        break;
      case Type::Line:
        if (draw) {
          line(op);
        }
        break;
      case Type::PSet:
        if (draw) {
          point(op);
        }
        break;
      case Type::Print:
        if (draw) {
          text(op);
        }
        break;
      case Type::Cls:
        break;
    }
  }

  double pixelX(double x) const { return x * width_ / state_.scaleWidth; }
  double pixelY(double y) const { return y * height_ / state_.scaleHeight; }

  void square(double left, double top, int size, Rgb colour) {
    if (left >= width_ || top >= height_ || left + size <= 0 || top + size <= 0) {
      return;
    }
    painter_.fillRect(QRectF(left, top, size, size), colourOf(colour));
  }

  void point(const SurfaceOp& op) {
    const double x = pixelX(op.x1);
    const double y = pixelY(op.y1);
    if (!std::isfinite(x) || !std::isfinite(y)) {
      return;
    }
    const int size = penSize(op.width, 1.0);
    square(penStart(x, size, 1.0), penStart(y, size, 1.0), size, op.colour);
  }

  void line(const SurfaceOp& op) {
    double ax = pixelX(op.x1);
    double ay = pixelY(op.y1);
    double bx = pixelX(op.x2);
    double by = pixelY(op.y2);
    if (!std::isfinite(ax) || !std::isfinite(ay) || !std::isfinite(bx) || !std::isfinite(by)) {
      return;
    }
    const int size = penSize(op.width, 1.0);
    const double margin = size + 2.0;
    if (!clipSegment(ax, ay, bx, by, -margin, -margin, width_ + margin, height_ + margin)) {
      return;
    }
    const double startX = penCentre(ax, size, 1.0);
    const double startY = penCentre(ay, size, 1.0);
    const double endX = penCentre(bx, size, 1.0);
    const double endY = penCentre(by, size, 1.0);
    if (startX == endX && startY == endY) {
      square(startX - size / 2.0, startY - size / 2.0, size, op.colour);
      return;
    }
    painter_.setPen(QPen(colourOf(op.colour), size, Qt::SolidLine, Qt::SquareCap));
    painter_.drawLine(QPointF(startX, startY), QPointF(endX, endY));
  }

  void text(const SurfaceOp& op) {
    const double left = pixelX(op.x1);
    const double top = pixelY(op.y1);
    if (op.text.empty() || !std::isfinite(left) || !std::isfinite(top)) {
      return;
    }
    // The surface's pixels are the window's, 96 to the inch.
    QFont font(options_.fontFamily);
    font.setPointSizeF(state_.fontSize * options_.fontScale * 96.0 / 72.0);
    painter_.setFont(font);
    painter_.setPen(colourOf(options_.foreground));
    const QFontMetricsF metrics(font, painter_.device());
    painter_.drawText(QPointF(left, top + metrics.ascent()), QString::fromStdU16String(op.text));
  }

  QPainter& painter_;
  int width_;
  int height_;
  const SurfacePaintOptions& options_;
  SurfaceState state_;
};

}  // namespace

void paintRecording(QPainter& painter, const RecordingSurface& surface,
                    const SurfacePaintOptions& options) {
  painter.save();
  PainterReplay(painter, surface, options).run(surface.operations());
  painter.restore();
}

}  // namespace fbc
