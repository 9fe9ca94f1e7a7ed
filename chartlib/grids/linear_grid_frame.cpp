#include "chartlib/grids/linear_grid_frame.h"

#include "chartlib/grids/drawing_helpers.h"
#include "platform/counting_loop.h"
#include "platform/palette.h"
#include "platform/surface.h"

namespace fbc::macro::detail {

namespace {

std::u16string labelText(const LinearGridFrame::ValueLabel& label, const Value& i) {
  const Value value = label.offset ? subtract(i, label.offset()) : i;
  return label.pattern.empty() ? value.toText() : formatValue(value, label.pattern);
}

void printCaption(Surface& pic, const LinearGridFrame::Caption& caption, const Value& W,
                  const Value& H) {
  if (caption.text) {
    printAt(pic, multiply(Value(caption.x), W), multiply(Value(caption.y), H), caption.text());
  }
}

}  // namespace

void drawLinearGrid(const Value& Pic_name, const Value& W, const Value& H,
                    const LinearGridFrame& frame) {
  Surface& pic = surfaceOf(Pic_name);
  if (frame.resetsPen) {
    pic.setDrawWidth(1);
  }
  pic.setScaleWidth(coordinate(W));
  const Value E = frame.height ? frame.height() : H;
  pic.setScaleHeight(coordinate(E));

  const Rgb grey = paletteColour(kLightGrey);
  const Rgb blue = paletteColour(kDarkBlue);
  const float right = coordinate(W);

  countingLoop(Value(0.0), E, frame.stepH(), [&](const Value& i) {
    const Value lineY = subtract(E, i);
    const float y = coordinate(lineY);
    pic.line(0.0F, y, right, y, grey);
    const Value zeroY =
        frame.zero == LinearGridFrame::ZeroLine::Middle ? multiply(Value(0.5), H) : E;
    const float z = coordinate(zeroY);
    pic.line(0.0F, z, right, z, blue);
    if (frame.yLabel.shown) {
      printAt(pic, multiply(Value(frame.yLabel.across), W), lineY, labelText(frame.yLabel, i));
    }
    printCaption(pic, frame.yCaption, W, H);
  });

  if (!frame.stepV) {
    return;
  }
  const float bottom = coordinate(H);
  countingLoop(Value(0.0), W, frame.stepV(), [&](const Value& i) {
    const float x = coordinate(i);
    pic.line(x, 0.0F, x, bottom, grey);
    if (frame.xLabel.shown) {
      printAt(pic, i, multiply(Value(frame.xLabel.across), H), labelText(frame.xLabel, i));
    }
    printCaption(pic, frame.xCaption, W, H);
  });
}

std::u16string bracketed(const Value& name) { return joined({u"[", name.toText(), u"]"}); }

}  // namespace fbc::macro::detail
