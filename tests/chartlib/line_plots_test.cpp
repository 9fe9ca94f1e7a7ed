#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "chartlib/macro_library.h"
#include "platform/errors.h"
#include "platform/recording_surface.h"
#include "recorded_ops.h"

namespace fbc {
namespace {

using testing_ops::opsOfType;

Value i16(int v) { return Value(static_cast<std::int16_t>(v)); }

enum class Proc { Line00, Line05, Log };

// The caller's variables of one call; `low`/`high` are the offsets and Scale_H of the linear
// plots, and xmin, xmax, ymin, ymax of the logarithmic one.
struct Call {
  Value X_1 = i16(0);
  Value Y_1 = i16(0);
  Value X = i16(10);
  Value Y = i16(50);
  Value Xofset = i16(0);
  Value Yofset = i16(0);
  Value Scale_H = i16(100);
  Value xmin = i16(10);
  Value xmax = i16(10000);
  Value ymin = i16(1);
  Value ymax = i16(1000);
  Value Color = i16(12);
  Value Width = i16(2);
};

void run(Proc proc, Value& pic, Call& c) {
  switch (proc) {
    case Proc::Line00:
      macro::PlotLine00(pic, c.X_1, c.Y_1, c.X, c.Y, c.Xofset, c.Yofset, c.Scale_H, c.Color,
                        c.Width);
      break;
    case Proc::Line05:
      macro::PlotLine05(pic, c.X_1, c.Y_1, c.X, c.Y, c.Xofset, c.Yofset, c.Scale_H, c.Color,
                        c.Width);
      break;
    case Proc::Log:
      macro::PlotlogLine0(pic, c.X_1, c.Y_1, c.X, c.Y, c.xmin, c.xmax, c.ymin, c.ymax, c.Color,
                          c.Width);
      break;
  }
}

struct SegmentCase {
  std::string name;
  Proc proc;
  Call call;
  double x1, y1, x2, y2;
};

void PrintTo(const SegmentCase& c, std::ostream* out) { *out << c.name; }

Call offsetCall() {
  Call c;
  c.Xofset = i16(5);
  c.Yofset = i16(10);
  return c;
}

Call belowMiddleCall() {
  Call c;
  c.Y_1 = i16(-20);
  c.X = i16(4);
  c.Y = i16(-40);
  return c;
}

Call decadeCall() {
  Call c;
  c.X_1 = i16(10);
  c.Y_1 = i16(1);
  c.X = i16(100);
  c.Y = i16(10);
  return c;
}

class LinePlotTest : public testing::TestWithParam<SegmentCase> {};

TEST_P(LinePlotTest, DrawsTheSegmentWithItsPenThenResetsThePen) {
  const SegmentCase& c = GetParam();
  RecordingSurface surface(200, 100);
  surface.setDrawWidth(4);
  surface.clearOperations();
  Value pic(surface);
  Call call = c.call;

  run(c.proc, pic, call);

  const std::vector<SurfaceOp> lines = opsOfType(surface, SurfaceOp::Type::Line);
  ASSERT_EQ(lines.size(), 1U);
  EXPECT_FLOAT_EQ(static_cast<float>(lines[0].x1), static_cast<float>(c.x1));
  EXPECT_FLOAT_EQ(static_cast<float>(lines[0].y1), static_cast<float>(c.y1));
  EXPECT_FLOAT_EQ(static_cast<float>(lines[0].x2), static_cast<float>(c.x2));
  EXPECT_FLOAT_EQ(static_cast<float>(lines[0].y2), static_cast<float>(c.y2));
  EXPECT_EQ(lines[0].colour, rgb(255, 0, 0));
  EXPECT_EQ(lines[0].width, 2);
  EXPECT_EQ(surface.drawWidth(), 1);
  EXPECT_EQ(surface.operations().front().type, SurfaceOp::Type::DrawWidth);
  EXPECT_EQ(surface.operations().front().x1, 2.0);

  if (c.proc == Proc::Log) {
    // The scale is the procedure's own; the previous point stays with the caller.
    EXPECT_FLOAT_EQ(surface.scaleWidth(), 3.0F);
    EXPECT_FLOAT_EQ(surface.scaleHeight(), 3.0F);
    EXPECT_TRUE(sameKindAndValue(call.X_1, c.call.X_1));
    EXPECT_TRUE(sameKindAndValue(call.Y_1, c.call.Y_1));
  } else {
    EXPECT_TRUE(opsOfType(surface, SurfaceOp::Type::ScaleWidth).empty());
    EXPECT_TRUE(sameKindAndValue(call.X_1, c.call.X));
    EXPECT_TRUE(sameKindAndValue(call.Y_1, c.call.Y));
  }
  EXPECT_TRUE(sameKindAndValue(call.X, c.call.X));
  EXPECT_TRUE(sameKindAndValue(call.Y, c.call.Y));
}

INSTANTIATE_TEST_SUITE_P(
    Segments, LinePlotTest,
    testing::Values(SegmentCase{"Line00_from_origin", Proc::Line00, Call{}, 0, 100, 10, 50},
                    SegmentCase{"Line05_from_origin", Proc::Line05, Call{}, 0, 50, 10, 0},
                    SegmentCase{"Line00_offsets", Proc::Line00, offsetCall(), 5, 90, 15, 40},
                    SegmentCase{"Line05_below_middle", Proc::Line05, belowMiddleCall(), 0, 70, 4,
                                90},
                    SegmentCase{"Log_3x3_decades", Proc::Log, decadeCall(), 0, 3, 1, 2}),
    [](const testing::TestParamInfo<SegmentCase>& testInfo) { return testInfo.param.name; });

TEST(LinePlotTraceTest, EachCallContinuesFromTheWrittenBackPoint) {
  RecordingSurface surface(200, 100);
  Value pic(surface);
  Call call;  // starts at (0, 0)
  const int points[][2] = {{10, 50}, {20, 60}, {30, 20}};
  for (const auto& point : points) {
    call.X = i16(point[0]);
    call.Y = i16(point[1]);
    run(Proc::Line00, pic, call);
  }
  const std::vector<SurfaceOp> lines = opsOfType(surface, SurfaceOp::Type::Line);
  ASSERT_EQ(lines.size(), 3U);
  const double expected[][4] = {{0, 100, 10, 50}, {10, 50, 20, 40}, {20, 40, 30, 80}};
  for (std::size_t k = 0; k < 3; ++k) {
    SCOPED_TRACE("segment " + std::to_string(k));
    EXPECT_EQ(lines[k].x1, expected[k][0]);
    EXPECT_EQ(lines[k].y1, expected[k][1]);
    EXPECT_EQ(lines[k].x2, expected[k][2]);
    EXPECT_EQ(lines[k].y2, expected[k][3]);
  }
  EXPECT_TRUE(sameKindAndValue(call.X_1, i16(30)));
  EXPECT_TRUE(sameKindAndValue(call.Y_1, i16(20)));
}

struct LinePlotFailure {
  std::string name;
  Proc proc;
  Call call;
  int error;
  int penAfter;       // DrawWidth left behind
  bool scaleChanged;  // the logarithmic scale was set before the fault
};

void PrintTo(const LinePlotFailure& c, std::ostream* out) { *out << c.name; }

Call with(Value Call::*field, Value value) {
  Call c = decadeCall();
  c.*field = std::move(value);
  return c;
}

class LinePlotFailureTest : public testing::TestWithParam<LinePlotFailure> {};

TEST_P(LinePlotFailureTest, DrawsNothingAndLeavesThePenAtWidth) {
  const LinePlotFailure& c = GetParam();
  RecordingSurface surface(200, 100);
  surface.setDrawWidth(4);
  Value pic(surface);
  Call call = c.call;
  try {
    run(c.proc, pic, call);
    FAIL() << "no error raised";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.code(), c.error);
  }
  EXPECT_TRUE(opsOfType(surface, SurfaceOp::Type::Line).empty());
  EXPECT_EQ(surface.drawWidth(), c.penAfter);
  EXPECT_EQ(opsOfType(surface, SurfaceOp::Type::ScaleWidth).size(), c.scaleChanged ? 1U : 0U);
  EXPECT_EQ(opsOfType(surface, SurfaceOp::Type::ScaleHeight).size(), c.scaleChanged ? 1U : 0U);
  EXPECT_TRUE(sameKindAndValue(call.X_1, c.call.X_1));
  EXPECT_TRUE(sameKindAndValue(call.Y_1, c.call.Y_1));
}

INSTANTIATE_TEST_SUITE_P(
    Faults, LinePlotFailureTest,
    testing::Values(
        LinePlotFailure{"Log_X_zero", Proc::Log, with(&Call::X, i16(0)), 5, 2, true},
        LinePlotFailure{"Log_Y_negative", Proc::Log, with(&Call::Y, i16(-10)), 5, 2, true},
        LinePlotFailure{"Log_Y1_zero", Proc::Log, with(&Call::Y_1, Value(0.0)), 5, 2, true},
        LinePlotFailure{"Log_xmin_zero", Proc::Log, with(&Call::xmin, i16(0)), 5, 2, false},
        LinePlotFailure{"Log_colour_16", Proc::Log, with(&Call::Color, i16(16)), 5, 2, true},
        LinePlotFailure{"Line00_colour_16", Proc::Line00, with(&Call::Color, i16(16)), 5, 2, false},
        LinePlotFailure{"Line05_colour_overflow", Proc::Line05, with(&Call::Color, Value(1e6)), 6,
                        2, false},
        // The pen refuses the width first, so the previous pen stays.
        LinePlotFailure{"Line05_width_0", Proc::Line05, with(&Call::Width, i16(0)), 380, 4, false}),
    [](const testing::TestParamInfo<LinePlotFailure>& testInfo) { return testInfo.param.name; });

TEST(LinePlotFailureTest, NeedsADrawingSurface) {
  for (const Proc proc : {Proc::Line00, Proc::Line05, Proc::Log}) {
    SCOPED_TRACE(static_cast<int>(proc));
    Value notAPicture(i16(1));
    Call call = decadeCall();
    try {
      run(proc, notAPicture, call);
      ADD_FAILURE() << "no error raised";
    } catch (const RuntimeError& e) {
      EXPECT_EQ(e.code(), 438);
    }
  }
}

}  // namespace
}  // namespace fbc
