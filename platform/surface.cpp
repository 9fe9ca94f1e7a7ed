#include "surface.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "errors.h"

namespace fbc {

namespace {

void checkExtent(float extent, const char* name) {
  if (extent == 0.0F || !std::isfinite(extent)) {
    raise(ErrorNumber::InvalidPropertyValue, name);
  }
}

}  // namespace

Surface::Surface(int pixelWidth, int pixelHeight)
    : pixelWidth_(std::max(1, pixelWidth)),
      pixelHeight_(std::max(1, pixelHeight)),
      scaleWidth_(static_cast<float>(pixelWidth_ * kTwipsPerPixel)),
      scaleHeight_(static_cast<float>(pixelHeight_ * kTwipsPerPixel)),
      pixelsPerUnitX_(static_cast<double>(pixelWidth_) / scaleWidth_),
      pixelsPerUnitY_(static_cast<double>(pixelHeight_) / scaleHeight_) {}

Value Surface::property(std::string_view name) const {
  if (samePropertyName(name, "ScaleWidth")) {
    return Value(scaleWidth_);
  }
  if (samePropertyName(name, "ScaleHeight")) {
    return Value(scaleHeight_);
  }
  if (samePropertyName(name, "DrawWidth")) {
    return Value(static_cast<std::int16_t>(drawWidth_));
  }
  if (samePropertyName(name, "CurrentX")) {
    return Value(currentX_);
  }
  if (samePropertyName(name, "CurrentY")) {
    return Value(currentY_);
  }
  if (samePropertyName(name, "FontSize")) {
    return Value(static_cast<float>(fontSize_));
  }
  raise(ErrorNumber::ObjectLacksProperty, std::string(name));
}

void Surface::setProperty(std::string_view name, const Value& value) {
  if (samePropertyName(name, "ScaleWidth")) {
    setScaleWidth(value.toSingle());
  } else if (samePropertyName(name, "ScaleHeight")) {
    setScaleHeight(value.toSingle());
  } else if (samePropertyName(name, "DrawWidth")) {
    setDrawWidth(value.toInt16());
  } else if (samePropertyName(name, "CurrentX")) {
    setCurrentX(value.toSingle());
  } else if (samePropertyName(name, "CurrentY")) {
    setCurrentY(value.toSingle());
  } else if (samePropertyName(name, "FontSize")) {
    setFontSize(value.toSingle());
  } else {
    raise(ErrorNumber::ObjectLacksProperty, std::string(name));
  }
}

void Surface::setScaleWidth(float width) {
  checkExtent(width, "ScaleWidth");
  scaleWidth_ = width;
  pixelsPerUnitX_ = static_cast<double>(pixelWidth_) / width;
  stateChanged(StateChange::ScaleWidth);
}

void Surface::setScaleHeight(float height) {
  checkExtent(height, "ScaleHeight");
  scaleHeight_ = height;
  pixelsPerUnitY_ = static_cast<double>(pixelHeight_) / height;
  stateChanged(StateChange::ScaleHeight);
}

void Surface::setDrawWidth(int width) {
  if (width < 1 || width > std::numeric_limits<std::int16_t>::max()) {
    raise(ErrorNumber::InvalidPropertyValue, "DrawWidth");
  }
  drawWidth_ = width;
  stateChanged(StateChange::DrawWidth);
}

void Surface::setCurrentX(float x) {
  currentX_ = x;
  stateChanged(StateChange::CurrentX);
}

void Surface::setCurrentY(float y) {
  currentY_ = y;
  stateChanged(StateChange::CurrentY);
}

void Surface::setFontSize(double points) {
  if (!(points > 0.0 && points <= kMaxFontSize)) {
    raise(ErrorNumber::InvalidPropertyValue, "FontSize");
  }
  fontSize_ = points;
  stateChanged(StateChange::FontSize);
}

void Surface::line(float x1, float y1, float x2, float y2, Rgb colour) {
  drawLine(x1, y1, x2, y2, colour);
}

void Surface::pset(float x, float y, Rgb colour) { drawPoint(x, y, colour); }

void Surface::print(std::u16string_view text) {
  drawText(currentX_, currentY_, text);
  currentX_ = 0.0F;
  currentY_ = static_cast<float>(currentY_ + textLineHeightPixels() * scaleHeight_ / pixelHeight_);
}

void Surface::printValue(const Value& item) { print(item.toText()); }

void Surface::cls() {
  erase();
  currentX_ = 0.0F;
  currentY_ = 0.0F;
}

}  // namespace fbc
