#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "chartlib/macro_library.h"
#include "platform/errors.h"
#include "platform/palette.h"
#include "platform/recording_surface.h"
#include "tests/platform/allocation_counter.h"

namespace fbc {
namespace {

enum class Proc { Plot00, Plot05, Plot00B, Plot05B };

void callPlot(Proc proc, Value& pic, Value& x, Value& y, Value& xofset, Value& yofset,
              Value& scaleH, Value& color, Value& width) {
  switch (proc) {
    case Proc::Plot00:
      macro::Plot00(pic, x, y, xofset, yofset, scaleH, color);
      break;
    case Proc::Plot05:
      macro::Plot05(pic, x, y, xofset, yofset, scaleH, color);
      break;
    case Proc::Plot00B:
      macro::Plot00B(pic, x, y, xofset, yofset, scaleH, color, width);
      break;
    case Proc::Plot05B:
      macro::Plot05B(pic, x, y, xofset, yofset, scaleH, color, width);
      break;
  }
}

std::vector<SurfaceOp> points(const RecordingSurface& pic) {
  std::vector<SurfaceOp> found;
  for (const SurfaceOp& op : pic.operations()) {
    if (op.type == SurfaceOp::Type::PSet) {
      found.push_back(op);
    }
  }
  return found;
}

struct PlotCase {
  const char* name;
  Proc proc;
  Value x, y, xofset, yofset, scaleH, color, width;
  double expectedX;
  double expectedY;
  Rgb expectedColour;
  int widthOfDot;  // DrawWidth in force when the dot is drawn
  int widthAfter;  // DrawWidth left behind
};

Value i16(int v) { return Value(static_cast<std::int16_t>(v)); }

TEST(PointPlots, PlaceEachDotAndHandleThePenWidth) {
  const Value none;
  const PlotCase cases[] = {
      {"Plot00 zero on the bottom line", Proc::Plot00, 1e-5F, 0.0, i16(0), i16(0), i16(1000),
       i16(1), none, 1e-5F, 1000, rgb(0, 0, 128), 2, 2},
      {"Plot00 full scale on the top edge", Proc::Plot00, 2e-5F, 1000.0, i16(0), i16(0), i16(1000),
       i16(4), none, 2e-5F, 0, rgb(128, 0, 0), 2, 2},
      {"Plot00 negative value into the margin band", Proc::Plot00, 0.0F, -50.0, i16(0), i16(0),
       i16(200), i16(3), none, 0, 250, rgb(0, 128, 128), 2, 2},
      {"Plot00 offsets shift right and lift", Proc::Plot00, i16(10), 20.0, i16(5), i16(100),
       i16(1000), i16(5), none, 15, 880, rgb(128, 0, 128), 2, 2},
      {"Plot00 outside the picture is still drawn", Proc::Plot00, -3.0, 5000.0, i16(0), i16(0),
       i16(1000), i16(15), none, -3, -4000, rgb(255, 255, 255), 2, 2},
      {"Plot05 zero on the middle line", Proc::Plot05, i16(7), i16(0), i16(0), i16(0), i16(200),
       i16(9), none, 7, 100, rgb(0, 0, 255), 2, 2},
      {"Plot05 negative below the middle", Proc::Plot05, i16(7), -40.0, i16(0), i16(0), i16(200),
       i16(12), none, 7, 140, rgb(255, 0, 0), 2, 2},
      {"Plot05 half scale on the top edge", Proc::Plot05, i16(1), i16(500), i16(0), i16(0),
       i16(1000), i16(7), none, 1, 0, rgb(192, 192, 192), 2, 2},
      {"Plot00B sets the width and leaves it", Proc::Plot00B, i16(3), i16(10), i16(0), i16(0),
       i16(100), i16(8), i16(3), 3, 90, rgb(128, 128, 128), 3, 3},
      {"Plot05B sets the width and restores 1", Proc::Plot05B, i16(3), i16(10), i16(0), i16(5),
       i16(100), i16(2), i16(4), 3, 35, rgb(0, 128, 0), 4, 1},
      {"Colour given as a float index", Proc::Plot00, i16(0), i16(0), i16(0), i16(0), i16(10),
       Value(6.0), none, 0, 10, rgb(128, 128, 0), 2, 2},
  };
  for (const PlotCase& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingSurface surface(257, 81);
    surface.setScaleWidth(4e-5F);
    surface.setScaleHeight(1100.0F);
    surface.setDrawWidth(2);
    surface.clearOperations();
    Value pic(surface);
    PlotCase args = c;

    callPlot(c.proc, pic, args.x, args.y, args.xofset, args.yofset, args.scaleH, args.color,
             args.width);

    const std::vector<SurfaceOp> dots = points(surface);
    ASSERT_EQ(dots.size(), 1U);
    EXPECT_FLOAT_EQ(static_cast<float>(dots[0].x1), static_cast<float>(c.expectedX));
    EXPECT_FLOAT_EQ(static_cast<float>(dots[0].y1), static_cast<float>(c.expectedY));
    EXPECT_EQ(dots[0].colour, c.expectedColour);
    EXPECT_EQ(dots[0].width, c.widthOfDot);
    EXPECT_EQ(surface.drawWidth(), c.widthAfter);
    // No argument is written back.
    EXPECT_TRUE(sameKindAndValue(args.x, c.x));
    EXPECT_TRUE(sameKindAndValue(args.y, c.y));
    EXPECT_TRUE(sameKindAndValue(args.xofset, c.xofset));
    EXPECT_TRUE(sameKindAndValue(args.yofset, c.yofset));
    EXPECT_TRUE(sameKindAndValue(args.scaleH, c.scaleH));
    EXPECT_TRUE(sameKindAndValue(args.color, c.color));
    EXPECT_TRUE(sameKindAndValue(args.width, c.width));
  }
}

TEST(PointPlots, WidthSetByPlot00BCarriesOverToPlot00) {
  RecordingSurface surface(257, 81);
  Value pic(surface);
  Value x(i16(1));
  Value y(i16(1));
  Value zero(i16(0));
  Value scaleH(i16(100));
  Value color(i16(1));
  Value width(i16(3));
  macro::Plot00B(pic, x, y, zero, zero, scaleH, color, width);
  macro::Plot00(pic, x, y, zero, zero, scaleH, color);
  const std::vector<SurfaceOp> dots = points(surface);
  ASSERT_EQ(dots.size(), 2U);
  EXPECT_EQ(dots[1].width, 3);
}

TEST(PointPlots, RejectedArgumentsStopBeforeTheDot) {
  struct Fault {
    const char* name;
    Proc proc;
    Value color;
    Value width;
    ErrorNumber expected;
    int widthAfter;  // Plot00B/Plot05B set the width before the colour is looked up
  };
  const Fault faults[] = {
      {"colour 16", Proc::Plot00, i16(16), Value(), ErrorNumber::InvalidCall, 1},
      {"colour -1", Proc::Plot05, i16(-1), Value(), ErrorNumber::InvalidCall, 1},
      {"colour beyond 16 bits", Proc::Plot00, Value(std::int32_t{70000}), Value(),
       ErrorNumber::Overflow, 1},
      {"colour not a number", Proc::Plot00, Value(u"blue"), Value(), ErrorNumber::TypeMismatch, 1},
      {"bad colour after the width", Proc::Plot00B, i16(20), i16(5), ErrorNumber::InvalidCall, 5},
      {"width 0", Proc::Plot05B, i16(1), i16(0), ErrorNumber::InvalidPropertyValue, 1},
  };
  for (const Fault& f : faults) {
    SCOPED_TRACE(f.name);
    RecordingSurface surface(257, 81);
    Value pic(surface);
    Value x(i16(1));
    Value y(i16(1));
    Value zero(i16(0));
    Value scaleH(i16(100));
    Value color = f.color;
    Value width = f.width;
    try {
      callPlot(f.proc, pic, x, y, zero, zero, scaleH, color, width);
      ADD_FAILURE() << "no error raised";
    } catch (const RuntimeError& e) {
      EXPECT_EQ(e.number(), f.expected);
    }
    EXPECT_TRUE(points(surface).empty());
    EXPECT_EQ(surface.drawWidth(), f.widthAfter);
  }

  // A position beyond the surface's 32-bit coordinates is an overflow, not a dot.
  {
    RecordingSurface surface(257, 81);
    Value pic(surface);
    Value x(i16(1));
    Value far(1e300);
    Value zero(i16(0));
    Value scaleH(i16(100));
    Value color(i16(1));
    try {
      macro::Plot00(pic, x, far, zero, zero, scaleH, color);
      ADD_FAILURE() << "no error raised";
    } catch (const RuntimeError& e) {
      EXPECT_EQ(e.number(), ErrorNumber::Overflow);
    }
    EXPECT_TRUE(points(surface).empty());
  }

  Value notASurface(u"Pic1");
  Value x(i16(1));
  Value zero(i16(0));
  Value scaleH(i16(100));
  Value color(i16(1));
  try {
    macro::Plot00(notASurface, x, x, zero, zero, scaleH, color);
    ADD_FAILURE() << "no error raised";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.number(), ErrorNumber::ObjectLacksProperty);
  }
}

// Counts the dots and keeps nothing, so that any allocation comes from the procedures.
class DotCounter : public Surface {
 public:
  DotCounter() : Surface(257, 81) {}
  int dots = 0;

 protected:
  void drawLine(float, float, float, float, Rgb) override {}
  void drawPoint(float, float, Rgb) override { ++dots; }
  void drawText(float, float, std::u16string_view) override {}
  void erase() override {}
  double textLineHeightPixels() const override { return 12.0; }
};

TEST(PointPlots, DotsAllocateNothing) {
  DotCounter surface;
  Value pic(surface);
  Value t(1.5e-5F);
  Value y(381.5);
  Value zero(i16(0));
  Value offset(0.25F);
  Value scaleH(i16(1000));
  Value color(i16(4));
  Value width(i16(2));
  const long before = testing_support::allocationCount();
  for (const Proc proc : {Proc::Plot00, Proc::Plot05, Proc::Plot00B, Proc::Plot05B}) {
    for (int i = 0; i < 100; ++i) {
      callPlot(proc, pic, t, y, zero, offset, scaleH, color, width);
    }
  }
  EXPECT_EQ(testing_support::allocationCount(), before);
  EXPECT_EQ(surface.dots, 400);
}

}  // namespace
}  // namespace fbc
