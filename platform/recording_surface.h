#pragma once

#include <string>
#include <vector>

#include "surface.h"

namespace fbc {

// One operation on a drawing surface with its arguments, as the caller made it.
struct SurfaceOp {
  enum class Type {
    ScaleWidth,
    ScaleHeight,
    DrawWidth,
    CurrentX,
    CurrentY,
    FontSize,
    Line,
    PSet,
    Print,
    Cls,
  };
  Type type;
  // ScaleWidth/ScaleHeight/DrawWidth/CurrentX/CurrentY/FontSize: value in x1.
  // Line: x1, y1, x2, y2. PSet and Print: position in x1, y1.
  double x1 = 0.0;
  double y1 = 0.0;
  double x2 = 0.0;
  double y2 = 0.0;
  Rgb colour = 0;
  int width = 1;  // DrawWidth in force for Line and PSet
  std::u16string text;

  friend bool operator==(const SurfaceOp&, const SurfaceOp&) = default;
};

// A surface that keeps every operation with its arguments in order, the state setters included:
// for tests, and for vector export. Text lines are `lineHeightPixels` high at 9 pt and scale
// with the font size.
class RecordingSurface : public Surface {
 public:
  RecordingSurface(int pixelWidth, int pixelHeight, double lineHeightPixels = 12.0);

  const std::vector<SurfaceOp>& operations() const noexcept { return ops_; }
  // Forgets the operations so far; the state they left becomes the starting state.
  void clearOperations();
  // The state before the first kept operation, from which a replay starts.
  const SurfaceState& startState() const noexcept { return startState_; }
  // Height of one text line in pixels at the current font size.
  double lineHeightPixels() const { return textLineHeightPixels(); }
  // Height of one text line in pixels at 9 pt.
  double baseLineHeightPixels() const noexcept { return lineHeightPixels_; }

 protected:
  void drawLine(float x1, float y1, float x2, float y2, Rgb colour) override;
  void drawPoint(float x, float y, Rgb colour) override;
  void drawText(float x, float y, std::u16string_view text) override;
  void erase() override;
  double textLineHeightPixels() const override;
  void stateChanged(StateChange change) override;

 private:
  double lineHeightPixels_;
  SurfaceState startState_;
  std::vector<SurfaceOp> ops_;
};

}  // namespace fbc
