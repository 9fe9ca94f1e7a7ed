#pragma once

#include <string>
#include <string_view>

#include "object.h"
#include "palette.h"

namespace fbc {

// The drawing state that operations read: user scale, pen width, text position and size.
struct SurfaceState {
  float scaleWidth = 0.0F;
  float scaleHeight = 0.0F;
  int drawWidth = 1;
  float currentX = 0.0F;
  float currentY = 0.0F;
  double fontSize = 9.0;

  friend bool operator==(const SurfaceState&, const SurfaceState&) = default;
};

// The picture-box drawing surface. Coordinates are in the current user scale: x from 0 at the
// left edge to ScaleWidth at the right edge, y from 0 at the top to ScaleHeight at the bottom;
// the origin never moves. Drawing accumulates; only cls() erases. Coordinates arrive as 32-bit
// floats. The public operations keep the state; implementations supply the rendering hooks.
// A new surface measures in twips (15 per pixel), as a fresh picture box does.
class Surface : public Object {
 public:
  static constexpr int kTwipsPerPixel = 15;
  static constexpr double kMaxFontSize = 2160.0;

  // Sizes below one pixel are taken as one.
  Surface(int pixelWidth, int pixelHeight);

  Surface* surface() noexcept override { return this; }
  // ScaleWidth, ScaleHeight, DrawWidth, CurrentX, CurrentY and FontSize by name.
  Value property(std::string_view name) const override;
  void setProperty(std::string_view name, const Value& value) override;

  // Logical size of the picture in pixels (at 96 dpi).
  int pixelWidth() const noexcept { return pixelWidth_; }
  int pixelHeight() const noexcept { return pixelHeight_; }

  float scaleWidth() const noexcept { return scaleWidth_; }
  float scaleHeight() const noexcept { return scaleHeight_; }
  // Error 380 for a zero (or infinite) extent; nothing drawn is erased. A negative extent
  // flips the axis.
  void setScaleWidth(float width);
  void setScaleHeight(float height);

  int drawWidth() const noexcept { return drawWidth_; }
  // Pen thickness in pixels for later lines and points; error 380 below 1 or above 32767.
  void setDrawWidth(int width);

  float currentX() const noexcept { return currentX_; }
  float currentY() const noexcept { return currentY_; }
  void setCurrentX(float x);
  void setCurrentY(float y);

  double fontSize() const noexcept { return fontSize_; }
  // Points; error 380 unless 0 < points <= 2160.
  void setFontSize(double points);

  SurfaceState state() const noexcept {
    return {scaleWidth_, scaleHeight_, drawWidth_, currentX_, currentY_, fontSize_};
  }

  // Solid line between two absolute points, DrawWidth thick.
  void line(float x1, float y1, float x2, float y2, Rgb colour);
  // One point, DrawWidth wide. Points outside the extents are clipped, not an error.
  void pset(float x, float y, Rgb colour);
  // Text with its top-left corner at (CurrentX, CurrentY) in the foreground colour; then
  // CurrentX = 0 and CurrentY moves down one text line.
  void print(std::u16string_view text);
  // A value is printed as its text; a number as its general number text, with no blanks.
  void printValue(const Value& item);
  // Erases to the background colour; CurrentX and CurrentY become 0.
  void cls();

  // Converts user coordinates to logical pixels (fractional).
  // The factors are kept per scale, sparing two divisions on every point of a trace.
  double toPixelX(double x) const noexcept { return x * pixelsPerUnitX_; }
  double toPixelY(double y) const noexcept { return y * pixelsPerUnitY_; }

 protected:
  // Rendering hooks. Coordinates are user coordinates; the current scale and pen are readable.
  virtual void drawLine(float x1, float y1, float x2, float y2, Rgb colour) = 0;
  virtual void drawPoint(float x, float y, Rgb colour) = 0;
  virtual void drawText(float x, float y, std::u16string_view text) = 0;
  virtual void erase() = 0;
  // Height of one text line in logical pixels at the current font size.
  virtual double textLineHeightPixels() const = 0;
  // Called after each state change made through a setter (not after the moves of print and
  // cls), for surfaces that record operations.
  enum class StateChange { ScaleWidth, ScaleHeight, DrawWidth, CurrentX, CurrentY, FontSize };
  virtual void stateChanged(StateChange /*change*/) {}

 private:
  int pixelWidth_;
  int pixelHeight_;
  float scaleWidth_;
  float scaleHeight_;
  double pixelsPerUnitX_;
  double pixelsPerUnitY_;
  int drawWidth_ = 1;
  float currentX_ = 0.0F;
  float currentY_ = 0.0F;
  double fontSize_ = 9.0;
};

}  // namespace fbc
