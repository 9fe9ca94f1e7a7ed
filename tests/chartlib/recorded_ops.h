#pragma once

#include <string>
#include <vector>

#include "platform/recording_surface.h"
#include "platform/text.h"

// Views of a recording surface's operations for the drawing-procedure tests.
namespace fbc::testing_ops {

inline std::vector<SurfaceOp> opsOfType(const RecordingSurface& pic, SurfaceOp::Type type) {
  std::vector<SurfaceOp> found;
  for (const SurfaceOp& op : pic.operations()) {
    if (op.type == type) {
      found.push_back(op);
    }
  }
  return found;
}

inline std::vector<SurfaceOp> linesIn(const RecordingSurface& pic, Rgb colour) {
  std::vector<SurfaceOp> found;
  for (const SurfaceOp& op : opsOfType(pic, SurfaceOp::Type::Line)) {
    if (op.colour == colour) {
      found.push_back(op);
    }
  }
  return found;
}

// What was printed where (top-left corner), in order.
struct Printed {
  double x = 0.0;
  double y = 0.0;
  std::string text;
};

inline std::vector<Printed> printed(const RecordingSurface& pic) {
  std::vector<Printed> found;
  for (const SurfaceOp& op : opsOfType(pic, SurfaceOp::Type::Print)) {
    found.push_back({op.x1, op.y1, toUtf8(op.text)});
  }
  return found;
}

// The printed items whose text is not `skip`, e.g. the value labels without the caption
// printed again in every pass.
inline std::vector<Printed> printedExcept(const RecordingSurface& pic, const std::string& skip) {
  std::vector<Printed> found;
  for (Printed& item : printed(pic)) {
    if (item.text != skip) {
      found.push_back(std::move(item));
    }
  }
  return found;
}

// The operation types in order, for checking what a procedure does in which order.
inline std::vector<SurfaceOp::Type> typesOf(const std::vector<SurfaceOp>& ops) {
  std::vector<SurfaceOp::Type> types;
  for (const SurfaceOp& op : ops) {
    types.push_back(op.type);
  }
  return types;
}

inline constexpr Rgb kBlackRgb = rgb(0, 0, 0);
inline constexpr Rgb kDarkBlueRgb = rgb(0, 0, 128);
inline constexpr Rgb kLightGreyRgb = rgb(192, 192, 192);
inline constexpr Rgb kGreyRgb = rgb(128, 128, 128);

}  // namespace fbc::testing_ops
