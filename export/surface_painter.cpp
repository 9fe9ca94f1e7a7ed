#include "export/surface_painter.h"

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPen>

#include "platform/vector_replay.h"

namespace fbc {

namespace {

QColor colourOf(Rgb colour) { return QColor(redOf(colour), greenOf(colour), blueOf(colour)); }

// Paints each shape of the replay with the painter.
class PainterShapes : public VectorSink {
 public:
  PainterShapes(QPainter& painter, const SurfacePaintOptions& options)
      : painter_(painter), options_(options) {}

  void square(double left, double top, int size, Rgb colour) override {
    painter_.fillRect(QRectF(left, top, size, size), colourOf(colour));
  }

  void line(double x1, double y1, double x2, double y2, int width, Rgb colour) override {
    painter_.setPen(QPen(colourOf(colour), width, Qt::SolidLine, Qt::SquareCap));
    painter_.drawLine(QPointF(x1, y1), QPointF(x2, y2));
  }

  void text(double left, double top, double fontPoints, std::u16string_view text) override {
    // The surface's pixels are the window's, 96 to the inch.
    QFont font(options_.fontFamily);
    font.setPointSizeF(fontPoints * options_.fontScale * 96.0 / 72.0);
    painter_.setFont(font);
    painter_.setPen(colourOf(options_.foreground));
    const QFontMetricsF metrics(font, painter_.device());
    painter_.drawText(QPointF(left, top + metrics.ascent()),
                      QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())));
  }

 private:
  QPainter& painter_;
  const SurfacePaintOptions& options_;
};

}  // namespace

void paintRecording(QPainter& painter, const RecordingSurface& surface,
                    const SurfacePaintOptions& options) {
  painter.save();
  PainterShapes shapes(painter, options);
  replayRecording(surface, shapes);
  painter.restore();
}

}  // namespace fbc
