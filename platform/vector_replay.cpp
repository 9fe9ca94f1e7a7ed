#include "platform/vector_replay.h"

#include <cmath>
#include <cstddef>
#include <vector>

#include "platform/pixel_grid.h"

namespace fbc {

namespace {

class Replay {
 public:
  Replay(const RecordingSurface& surface, VectorSink& sink)
      : sink_(sink),
        width_(surface.pixelWidth()),
        height_(surface.pixelHeight()),
        state_(surface.startState()) {}

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
    sink_.square(left, top, size, colour);
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
    sink_.line(startX, startY, endX, endY, size, op.colour);
  }

  void text(const SurfaceOp& op) {
    const double left = pixelX(op.x1);
    const double top = pixelY(op.y1);
    if (op.text.empty() || !std::isfinite(left) || !std::isfinite(top)) {
      return;
    }
    sink_.text(left, top, state_.fontSize, op.text);
  }

  VectorSink& sink_;
  int width_;
  int height_;
  SurfaceState state_;
};

}  // namespace

void replayRecording(const RecordingSurface& surface, VectorSink& sink) {
  Replay(surface, sink).run(surface.operations());
}

}  // namespace fbc
