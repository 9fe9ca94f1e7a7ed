#include "recording_surface.h"

namespace fbc {

namespace {
constexpr double kBaseFontSize = 9.0;
}  // namespace

RecordingSurface::RecordingSurface(int pixelWidth, int pixelHeight, double lineHeightPixels)
    : Surface(pixelWidth, pixelHeight), lineHeightPixels_(lineHeightPixels), startState_(state()) {}

void RecordingSurface::clearOperations() {
  ops_.clear();
  startState_ = state();
}

void RecordingSurface::drawLine(float x1, float y1, float x2, float y2, Rgb colour) {
  SurfaceOp op{};
  op.type = SurfaceOp::Type::Line;
  op.x1 = x1;
  op.y1 = y1;
  op.x2 = x2;
  op.y2 = y2;
  op.colour = colour;
  op.width = drawWidth();
  ops_.push_back(std::move(op));
}

void RecordingSurface::drawPoint(float x, float y, Rgb colour) {
  SurfaceOp op{};
  op.type = SurfaceOp::Type::PSet;
  op.x1 = x;
  op.y1 = y;
  op.colour = colour;
  op.width = drawWidth();
  ops_.push_back(std::move(op));
}

void RecordingSurface::drawText(float x, float y, std::u16string_view text) {
  SurfaceOp op{};
  op.type = SurfaceOp::Type::Print;
  op.x1 = x;
  op.y1 = y;
  op.text = std::u16string(text);
  ops_.push_back(std::move(op));
}

void RecordingSurface::erase() {
  SurfaceOp op{};
  op.type = SurfaceOp::Type::Cls;
  ops_.push_back(std::move(op));
}

double RecordingSurface::textLineHeightPixels() const {
  return lineHeightPixels_ * fontSize() / kBaseFontSize;
}

void RecordingSurface::stateChanged(StateChange change) {
  SurfaceOp op{};
  switch (change) {
    case StateChange::ScaleWidth:
      op.type = SurfaceOp::Type::ScaleWidth;
      op.x1 = scaleWidth();
      break;
    case StateChange::ScaleHeight:
      op.type = SurfaceOp::Type::ScaleHeight;
      op.x1 = scaleHeight();
      break;
    case StateChange::DrawWidth:
      op.type = SurfaceOp::Type::DrawWidth;
      op.x1 = drawWidth();
      break;
    case StateChange::CurrentX:
      op.type = SurfaceOp::Type::CurrentX;
      op.x1 = currentX();
      break;
    case StateChange::CurrentY:
      op.type = SurfaceOp::Type::CurrentY;
      op.x1 = currentY();
      break;
    case StateChange::FontSize:
      op.type = SurfaceOp::Type::FontSize;
      op.x1 = fontSize();
      break;
  }
  ops_.push_back(std::move(op));
}

}  // namespace fbc
