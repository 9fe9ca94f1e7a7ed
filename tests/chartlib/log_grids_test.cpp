#include <cmath>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "chartlib/macro_library.h"
#include "platform/errors.h"
#include "platform/recording_surface.h"
#include "recorded_ops.h"

namespace fbc {
namespace {

using testing_ops::kBlackRgb;
using testing_ops::kGreyRgb;
using testing_ops::linesIn;
using testing_ops::opsOfType;
using testing_ops::printed;

enum class Axis { Width, Height };

// The grey lines of each decade (start v, step s): v, v + s, ... up to 10 v.
std::vector<double> subdivisions(std::vector<std::pair<double, double>> decades) {
  std::vector<double> values;
  for (const auto& [start, step] : decades) {
    for (int n = 0; start + n * step <= 10 * start * (1 + 1e-12); ++n) {
      values.push_back(start + n * step);
    }
  }
  return values;
}

struct LogGridCase {
  std::string name;
  Axis axis = Axis::Width;
  double min = 1;
  double max = 10;
  float scale = 0;  // the extent set along the axis
  // Decade labels with their position along the axis (x for the width, y for the height).
  std::vector<std::pair<std::string, double>> labels = {};
  std::vector<double> greyValues = {};  // in data units, drawing order
};

void PrintTo(const LogGridCase& c, std::ostream* out) { *out << c.name; }

std::vector<LogGridCase> logGridCases() {
  const double span900 = std::log(900.0) / std::log(10.0);
  const double span1000 = std::log(1000.0) / std::log(10.0);
  return {
      // ln(1000) / ln(10) is just below 3: no pass for 1000, but the last grey line of the
      // decade from 100 lies on the right edge.
      {"W_1_to_1000",
       Axis::Width,
       1,
       1000,
       3.0F,
       {{"1", 0}, {"10", 1}, {"100", 2}},
       subdivisions({{1, 1}, {10, 10}, {100, 100}})},
      // k = 1.30103.. and 2.30103..; the third value passes L(2000) by a hair.
      {"W_20_to_2000",
       Axis::Width,
       20,
       2000,
       2.0F,
       {{"20", 0}, {"200", 1}},
       subdivisions({{20, 10}, {200, 100}})},
      // From the 32-bit 0.1 nine additions of 0.1 already pass 1.
      {"W_decade_from_0p1",
       Axis::Width,
       0.1,
       1,
       1.0F,
       {{"0.1", 0}},
       {0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9}},
      // One pass above the top: the label for 1000 sits just above the edge.
      {"H_1_to_900",
       Axis::Height,
       1,
       900,
       static_cast<float>(span900),
       {{"1", span900}, {"10", span900 - 1}, {"100", span900 - 2}, {"1000", span900 - 3}},
       subdivisions({{1, 1}, {10, 10}, {100, 100}, {1000, 1000}})},
      {"H_1_to_1000",
       Axis::Height,
       1,
       1000,
       3.0F,
       {{"1", span1000}, {"10", span1000 - 1}, {"100", span1000 - 2}, {"1000", span1000 - 3}},
       subdivisions({{1, 1}, {10, 10}, {100, 100}, {1000, 1000}})},
  };
}

class LogGridTest : public testing::TestWithParam<LogGridCase> {};

TEST_P(LogGridTest, DrawsDecadesAndSubdivisions) {
  const LogGridCase& c = GetParam();
  RecordingSurface surface(300, 200);
  // The other axis keeps a linear scale set by the caller; the pen stays as it is.
  surface.setScaleWidth(10.0F);
  surface.setScaleHeight(50.0F);
  surface.setDrawWidth(2);
  surface.clearOperations();
  Value pic(surface);
  Value min(c.min);
  Value max(c.max);

  if (c.axis == Axis::Width) {
    macro::GridlogW(pic, min, max);
  } else {
    macro::GridlogH(pic, min, max);
  }

  const bool alongWidth = c.axis == Axis::Width;
  EXPECT_FLOAT_EQ(alongWidth ? surface.scaleWidth() : surface.scaleHeight(), c.scale);
  EXPECT_FLOAT_EQ(alongWidth ? surface.scaleHeight() : surface.scaleWidth(),
                  alongWidth ? 50.0F : 10.0F);
  EXPECT_EQ(
      opsOfType(surface, alongWidth ? SurfaceOp::Type::ScaleHeight : SurfaceOp::Type::ScaleWidth)
          .size(),
      0U);
  EXPECT_TRUE(opsOfType(surface, SurfaceOp::Type::DrawWidth).empty());

  const double lo = std::log10(c.min);
  const double span = std::log10(c.max) - lo;
  // Where a data value, or a decade offset k - lo, lies along the axis.
  const auto along = [&](double decades) { return alongWidth ? decades : span - decades; };

  const std::vector<testing_ops::Printed> labels = printed(surface);
  ASSERT_EQ(labels.size(), c.labels.size());
  for (std::size_t k = 0; k < labels.size(); ++k) {
    SCOPED_TRACE("label " + c.labels[k].first);
    EXPECT_EQ(labels[k].text, c.labels[k].first);
    const double at = alongWidth ? labels[k].x : labels[k].y;
    const double across = alongWidth ? labels[k].y : labels[k].x;
    EXPECT_NEAR(at, c.labels[k].second, 1e-6);
    EXPECT_FLOAT_EQ(static_cast<float>(across), alongWidth ? 48.0F : 0.1F);
  }

  const auto position = [&](const SurfaceOp& line) { return alongWidth ? line.x1 : line.y1; };
  const auto checkSpansOtherAxis = [&](const SurfaceOp& line) {
    EXPECT_EQ(line.width, 2);
    if (alongWidth) {
      EXPECT_EQ(line.x2, line.x1);
      EXPECT_EQ(line.y1, 0.0);
      EXPECT_EQ(line.y2, 50.0);
    } else {
      EXPECT_EQ(line.y2, line.y1);
      EXPECT_EQ(line.x1, 0.0);
      EXPECT_EQ(line.x2, 10.0);
    }
  };

  const std::vector<SurfaceOp> black = linesIn(surface, kBlackRgb);
  ASSERT_EQ(black.size(), c.labels.size());
  for (std::size_t k = 0; k < black.size(); ++k) {
    SCOPED_TRACE("decade line " + std::to_string(k));
    EXPECT_NEAR(position(black[k]), along(static_cast<double>(k)), 1e-6);
    checkSpansOtherAxis(black[k]);
  }

  const std::vector<SurfaceOp> grey = linesIn(surface, kGreyRgb);
  ASSERT_EQ(grey.size(), c.greyValues.size());
  for (std::size_t k = 0; k < grey.size(); ++k) {
    SCOPED_TRACE("grey line at " + std::to_string(c.greyValues[k]));
    EXPECT_NEAR(position(grey[k]), along(std::log10(c.greyValues[k]) - lo), 1e-6);
    checkSpansOtherAxis(grey[k]);
  }
}

INSTANTIATE_TEST_SUITE_P(Ranges, LogGridTest, testing::ValuesIn(logGridCases()),
                         [](const testing::TestParamInfo<LogGridCase>& testInfo) {
                           return testInfo.param.name;
                         });

TEST(LogGridTest, EachDecadePrintsThenRulesThenDrawsItsDecadeLine) {
  RecordingSurface surface(300, 200);
  Value pic(surface);
  Value min(10.0);
  Value max(100.0);
  macro::GridlogW(pic, min, max);

  // L(100) is exactly 2, so the end is reached and the decade from 100 is drawn too, past
  // the right edge.
  using T = SurfaceOp::Type;
  std::vector<T> decade = {T::CurrentY, T::CurrentX, T::Print};
  decade.insert(decade.end(), 11, T::Line);
  std::vector<T> expected = {T::ScaleWidth};
  expected.insert(expected.end(), decade.begin(), decade.end());
  expected.insert(expected.end(), decade.begin(), decade.end());
  EXPECT_EQ(testing_ops::typesOf(surface.operations()), expected);
  const std::vector<SurfaceOp>& ops = surface.operations();
  EXPECT_EQ(ops[14].colour, kBlackRgb);
  EXPECT_EQ(ops[14].x1, 0.0);
  EXPECT_EQ(ops.back().colour, kBlackRgb);
  EXPECT_EQ(ops.back().x1, 1.0);
  EXPECT_EQ(toUtf8(ops[17].text), "100");
}

struct LogGridFailure {
  std::string name;
  Axis axis;
  Value min;
  Value max;
  int error;
};

void PrintTo(const LogGridFailure& c, std::ostream* out) { *out << c.name; }

class LogGridFailureTest : public testing::TestWithParam<LogGridFailure> {};

TEST_P(LogGridFailureTest, FailsBeforeDrawingAnything) {
  const LogGridFailure& c = GetParam();
  RecordingSurface surface(300, 200);
  Value pic(surface);
  Value min = c.min;
  Value max = c.max;
  try {
    if (c.axis == Axis::Width) {
      macro::GridlogW(pic, min, max);
    } else {
      macro::GridlogH(pic, min, max);
    }
    FAIL() << "no error raised";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.code(), c.error);
  }
  EXPECT_TRUE(surface.operations().empty());
}

INSTANTIATE_TEST_SUITE_P(
    BadRanges, LogGridFailureTest,
    testing::Values(LogGridFailure{"W_min_zero", Axis::Width, Value(0.0), Value(100.0), 5},
                    LogGridFailure{"W_max_negative", Axis::Width, Value(1.0), Value(-10.0), 5},
                    LogGridFailure{"H_min_negative", Axis::Height, Value(-1.0), Value(10.0), 5},
                    LogGridFailure{"H_max_zero", Axis::Height, Value(1.0), Value(0.0), 5},
                    // Equal ends give a zero extent, which the surface refuses.
                    LogGridFailure{"W_equal_ends", Axis::Width, Value(10.0), Value(10.0), 380},
                    LogGridFailure{"H_text_end", Axis::Height, Value(1.0), Value(u"ten"), 13}),
    [](const testing::TestParamInfo<LogGridFailure>& testInfo) { return testInfo.param.name; });

}  // namespace
}  // namespace fbc
