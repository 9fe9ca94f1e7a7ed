#include <cstdint>
#include <functional>
#include <optional>
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

using testing_ops::kDarkBlueRgb;
using testing_ops::kLightGreyRgb;
using testing_ops::Printed;

using Draw = std::function<void(Value& pic)>;

Value i16(int v) { return Value(static_cast<std::int16_t>(v)); }

// The seven members with their usual arguments: W and H as given, names "t" and "V".
Draw grid05(Value W, Value H) {
  return [=](Value& pic) mutable {
    Value xname(u"t");
    Value yname(u"V");
    macro::Grid05(pic, W, H, xname, yname);
  };
}
Draw grid05B(Value W, Value H, Value xnum, Value ynum) {
  return [=](Value& pic) mutable {
    Value xname(u"s");
    Value yname(u"V");
    macro::Grid05B(pic, W, H, xname, yname, xnum, ynum);
  };
}
Draw grid05N(Value W, Value H, Value xnum, Value ynum) {
  return [=](Value& pic) mutable { macro::Grid05N(pic, W, H, xnum, ynum); };
}
Draw grid00(Value W, Value H) {
  return [=](Value& pic) mutable {
    Value xname(u"t");
    Value yname(u"V");
    macro::Grid00(pic, W, H, xname, yname);
  };
}
Draw grid00B(Value W, Value H, Value xnum, Value ynum) {
  return [=](Value& pic) mutable {
    Value xname(u"t");
    Value yname(u"A");
    macro::Grid00B(pic, W, H, xname, yname, xnum, ynum);
  };
}
Draw grid00C(Value W, Value H, Value xnum, Value ynum) {
  return [=](Value& pic) mutable { macro::Grid00C(pic, W, H, xnum, ynum); };
}
Draw grid01D(Value W, Value H, Value xnum, Value ynum) {
  return [=](Value& pic) mutable {
    Value xname(u"t");
    Value yname(u"V");
    macro::Grid01D(pic, W, H, xname, yname, xnum, ynum);
  };
}

struct LinearGridCase {
  std::string name;
  Draw draw;
  double scaleW = 0;
  double scaleH = 0;  // the surface height E
  double gridH = 0;   // H: the vertical lines end there
  std::vector<double> horizontalY = {};
  double zeroY = 0;
  std::vector<double> verticalX = {};
  // Value labels, one per line in drawing order (empty: none), and the captions printed
  // after them in every pass of their direction.
  std::vector<Printed> yLabels = {};
  std::optional<Printed> yCaption = {};
  std::vector<Printed> xLabels = {};
  std::optional<Printed> xCaption = {};
  int penWidth = 0;  // the width of the lines when the surface had pen 3 before
};

std::vector<double> steps(double from, double to, double step) {
  std::vector<double> values;
  const int count = static_cast<int>((to - from) / step + 0.5);
  for (int k = 0; k <= count; ++k) {
    values.push_back(from + k * step);
  }
  return values;
}

std::vector<Printed> labelsAt(const std::vector<std::string>& texts,
                              const std::function<Printed(std::size_t k)>& place) {
  std::vector<Printed> labels;
  for (std::size_t k = 0; k < texts.size(); ++k) {
    Printed p = place(k);
    p.text = texts[k];
    labels.push_back(p);
  }
  return labels;
}

// The prints the frame makes: per horizontal pass the y label then the y caption, per vertical
// pass the x label then the x caption.
std::vector<Printed> expectedPrints(const LinearGridCase& c) {
  std::vector<Printed> prints;
  for (std::size_t k = 0; k < c.horizontalY.size(); ++k) {
    if (!c.yLabels.empty()) {
      prints.push_back(c.yLabels[k]);
    }
    if (c.yCaption) {
      prints.push_back(*c.yCaption);
    }
  }
  for (std::size_t k = 0; k < c.verticalX.size(); ++k) {
    if (!c.xLabels.empty()) {
      prints.push_back(c.xLabels[k]);
    }
    if (c.xCaption) {
      prints.push_back(*c.xCaption);
    }
  }
  return prints;
}

std::vector<LinearGridCase> linearGridCases() {
  std::vector<LinearGridCase> cases;
  const auto fromBottom = [](double H, double across) {
    return [=](std::size_t k) { return Printed{across, H - 10.0 * static_cast<double>(k), {}}; };
  };

  cases.push_back({
      .name = "Grid05_W10_H100",
      .draw = grid05(i16(10), i16(100)),
      .scaleW = 10,
      .scaleH = 100,
      .gridH = 100,
      .horizontalY = {100, 90, 80, 70, 60, 50, 40, 30, 20, 10, 0},
      .zeroY = 50,
      .verticalX = steps(0, 10, 1),
      .yLabels = labelsAt({"-50", "-40", "-30", "-20", "-10", "0", "10", "20", "30", "40", "50"},
                          fromBottom(100, 0)),
      .yCaption = Printed{0.6, 2, "[V]"},
      .xLabels = labelsAt({"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10"},
                          [](std::size_t k) {
                            return Printed{double(k), 93, {}};
                          }),
      .xCaption = Printed{9, 85, "[t]"},
      .penWidth = 3,
  });

  cases.push_back({
      .name = "Grid05B_W0p002_quarters",
      .draw = grid05B(Value(0.002), i16(100), i16(4), i16(4)),
      .scaleW = 0.002,
      .scaleH = 100,
      .gridH = 100,
      .horizontalY = {100, 75, 50, 25, 0},
      .zeroY = 50,
      .verticalX = {0, 0.0005, 0.001, 0.0015, 0.002},
      .yLabels = labelsAt({"-50", "-25", "0", "25", "50"},
                          [](std::size_t k) {
                            return Printed{0.00002, 100 - 25.0 * static_cast<double>(k), {}};
                          }),
      .yCaption = Printed{0.00012, 2, "[V]"},
      .xLabels = labelsAt({"0.00E+00", "5.00E-04", "1.00E-03", "1.50E-03", "2.00E-03"},
                          [](std::size_t k) {
                            return Printed{0.0005 * static_cast<double>(k), 96, {}};
                          }),
      .xCaption = Printed{0.0018, 85, "[s]"},
      .penWidth = 3,
  });

  cases.push_back({
      .name = "Grid05N_lines_only",
      .draw = grid05N(i16(10), i16(100), i16(5), i16(2)),
      .scaleW = 10,
      .scaleH = 100,
      .gridH = 100,
      .horizontalY = {100, 80, 60, 40, 20, 0},
      .zeroY = 50,
      .verticalX = {0, 5, 10},
      .penWidth = 3,
  });

  cases.push_back({
      .name = "Grid00_W10_H100",
      .draw = grid00(i16(10), i16(100)),
      .scaleW = 10,
      .scaleH = 100,
      .gridH = 100,
      .horizontalY = {100, 90, 80, 70, 60, 50, 40, 30, 20, 10, 0},
      .zeroY = 100,
      .verticalX = steps(0, 10, 1),
      .yLabels = labelsAt({"0", "10", "20", "30", "40", "50", "60", "70", "80", "90", "100"},
                          fromBottom(100, 0)),
      .yCaption = Printed{0.8, 5, "[V]"},
      .xLabels = labelsAt({"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10"},
                          [](std::size_t k) {
                            return Printed{double(k), 93, {}};
                          }),
      .xCaption = Printed{8, 85, "[t]"},
      .penWidth = 3,
  });

  cases.push_back({
      .name = "Grid00B_H100_Xnum4",
      .draw = grid00B(i16(10), i16(100), i16(4), i16(5)),
      .scaleW = 10,
      .scaleH = 100,
      .gridH = 100,
      .horizontalY = {100, 75, 50, 25, 0},
      .zeroY = 100,
      .verticalX = {0, 2, 4, 6, 8, 10},
      .yLabels = labelsAt({"0.0", "25.0", "50.0", "75.0", "100.0"},
                          [](std::size_t k) {
                            return Printed{0.1, 100 - 25.0 * static_cast<double>(k), {}};
                          }),
      .yCaption = Printed{0.6, 2, "[A]"},
      .xLabels = labelsAt({"0", "2", "4", "6", "8", "10"},
                          [](std::size_t k) {
                            return Printed{2.0 * static_cast<double>(k), 95, {}};
                          }),
      .xCaption = Printed{9, 85, "[t]"},
      .penWidth = 3,
  });

  cases.push_back({
      .name = "Grid00C_40us_8x4",
      .draw = grid00C(Value(0.00004), i16(100), i16(8), i16(4)),
      .scaleW = 0.00004,
      .scaleH = 100,
      .gridH = 100,
      .horizontalY = {100, 75, 50, 25, 0},
      .zeroY = 100,
      .verticalX = {0, 5e-6, 10e-6, 15e-6, 20e-6, 25e-6, 30e-6, 35e-6, 40e-6},
      .yCaption = Printed{0.0000012, 1, "[25  /div]"},
      .xCaption = Printed{0.000032, 93, "[5\u03BCsec/div]"},
      .penWidth = 1,
  });

  // Different counts: the lines follow the counts the captions state.
  cases.push_back({
      .name = "Grid00C_counts_differ",
      .draw = grid00C(i16(10), i16(60), i16(5), i16(3)),
      .scaleW = 10,
      .scaleH = 60,
      .gridH = 60,
      .horizontalY = {60, 40, 20, 0},
      .zeroY = 60,
      .verticalX = {0, 2, 4, 6, 8, 10},
      .yCaption = Printed{0.3, 0.6, "[20  /div]"},
      .xCaption = Printed{8, 55.8, "[2000000\u03BCsec/div]"},
      .penWidth = 1,
  });

  // Xnum is not used, not even divided by.
  cases.push_back({
      .name = "Grid01D_H100_Ynum4",
      .draw = grid01D(i16(10), i16(100), i16(0), i16(4)),
      .scaleW = 10,
      .scaleH = 125,
      .gridH = 100,
      .horizontalY = {125, 105, 85, 65, 45, 25, 5},
      .zeroY = 125,
      .yLabels = labelsAt({"25", "45", "65", "85", "105", "125", "145"},
                          [](std::size_t k) {
                            return Printed{0.1, 125 - 20.0 * static_cast<double>(k), {}};
                          }),
      .yCaption = Printed{0.6, 2, "[V]"},
      .penWidth = 3,
  });
  return cases;
}

void PrintTo(const LinearGridCase& c, std::ostream* out) { *out << c.name; }

class LinearGridTest : public testing::TestWithParam<LinearGridCase> {};

TEST_P(LinearGridTest, DrawsLinesZeroLineAndLabels) {
  const LinearGridCase& c = GetParam();
  RecordingSurface surface(400, 300);
  surface.setDrawWidth(3);
  surface.clearOperations();
  Value pic(surface);

  c.draw(pic);

  EXPECT_FLOAT_EQ(surface.scaleWidth(), static_cast<float>(c.scaleW));
  EXPECT_FLOAT_EQ(surface.scaleHeight(), static_cast<float>(c.scaleH));

  const std::vector<SurfaceOp> grey = testing_ops::linesIn(surface, kLightGreyRgb);
  ASSERT_EQ(grey.size(), c.horizontalY.size() + c.verticalX.size());
  for (std::size_t k = 0; k < c.horizontalY.size(); ++k) {
    SCOPED_TRACE("horizontal line " + std::to_string(k));
    const SurfaceOp& line = grey[k];
    EXPECT_EQ(line.x1, 0.0);
    EXPECT_FLOAT_EQ(static_cast<float>(line.x2), static_cast<float>(c.scaleW));
    EXPECT_NEAR(line.y1, c.horizontalY[k], 1e-9 * c.scaleH);
    EXPECT_EQ(line.y2, line.y1);
  }
  for (std::size_t k = 0; k < c.verticalX.size(); ++k) {
    SCOPED_TRACE("vertical line " + std::to_string(k));
    const SurfaceOp& line = grey[c.horizontalY.size() + k];
    EXPECT_NEAR(line.x1, c.verticalX[k], 1e-6 * c.scaleW);
    EXPECT_EQ(line.x2, line.x1);
    EXPECT_EQ(line.y1, 0.0);
    EXPECT_FLOAT_EQ(static_cast<float>(line.y2), static_cast<float>(c.gridH));
  }

  // The zero line is drawn again in every horizontal pass, across the full width.
  const std::vector<SurfaceOp> blue = testing_ops::linesIn(surface, kDarkBlueRgb);
  ASSERT_EQ(blue.size(), c.horizontalY.size());
  for (const SurfaceOp& line : blue) {
    EXPECT_EQ(line.x1, 0.0);
    EXPECT_FLOAT_EQ(static_cast<float>(line.x2), static_cast<float>(c.scaleW));
    EXPECT_FLOAT_EQ(static_cast<float>(line.y1), static_cast<float>(c.zeroY));
    EXPECT_EQ(line.y2, line.y1);
  }

  for (const SurfaceOp& line : testing_ops::opsOfType(surface, SurfaceOp::Type::Line)) {
    EXPECT_EQ(line.width, c.penWidth);
  }

  const std::vector<Printed> expected = expectedPrints(c);
  const std::vector<Printed> actual = testing_ops::printed(surface);
  ASSERT_EQ(actual.size(), expected.size());
  for (std::size_t k = 0; k < expected.size(); ++k) {
    SCOPED_TRACE("print " + std::to_string(k) + " " + expected[k].text);
    EXPECT_EQ(actual[k].text, expected[k].text);
    EXPECT_FLOAT_EQ(static_cast<float>(actual[k].x), static_cast<float>(expected[k].x));
    EXPECT_FLOAT_EQ(static_cast<float>(actual[k].y), static_cast<float>(expected[k].y));
  }
}

INSTANTIATE_TEST_SUITE_P(Members, LinearGridTest, testing::ValuesIn(linearGridCases()),
                         [](const testing::TestParamInfo<LinearGridCase>& testInfo) {
                           return testInfo.param.name;
                         });

TEST(LinearGridOrderTest, EachPassDrawsThenLabelsThenCaptions) {
  RecordingSurface surface(400, 300);
  Value pic(surface);
  grid05(i16(10), i16(100))(pic);

  using T = SurfaceOp::Type;
  const std::vector<SurfaceOp>& ops = surface.operations();
  ASSERT_GE(ops.size(), 20U);
  const std::vector<SurfaceOp> firstHorizontalPass(ops.begin(), ops.begin() + 10);
  EXPECT_EQ(testing_ops::typesOf(firstHorizontalPass),
            (std::vector<T>{T::ScaleWidth, T::ScaleHeight, T::Line, T::Line, T::CurrentX,
                            T::CurrentY, T::Print, T::CurrentX, T::CurrentY, T::Print}));
  // The caption of the last pass lies on top; the drawing leaves the position after it.
  EXPECT_EQ(ops.back().type, T::Print);
  EXPECT_EQ(toUtf8(ops.back().text), "[t]");
}

struct GridFailure {
  std::string name;
  Draw draw;
  int error;
  std::size_t greyLines;  // drawn before the fault
  bool scaleHeightSet;
};

void PrintTo(const GridFailure& c, std::ostream* out) { *out << c.name; }

class LinearGridFailureTest : public testing::TestWithParam<GridFailure> {};

TEST_P(LinearGridFailureTest, StopsWhereTheFaultArises) {
  const GridFailure& c = GetParam();
  RecordingSurface surface(400, 300);
  Value pic(surface);
  try {
    c.draw(pic);
    FAIL() << "no error raised";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.code(), c.error);
  }
  EXPECT_EQ(testing_ops::linesIn(surface, kLightGreyRgb).size(), c.greyLines);
  EXPECT_EQ(testing_ops::opsOfType(surface, SurfaceOp::Type::ScaleWidth).size(), 1U);
  EXPECT_EQ(testing_ops::opsOfType(surface, SurfaceOp::Type::ScaleHeight).size(),
            c.scaleHeightSet ? 1U : 0U);
}

INSTANTIATE_TEST_SUITE_P(
    ZeroCounts, LinearGridFailureTest,
    testing::Values(
        GridFailure{"Grid05B_Xnum0", grid05B(i16(10), i16(100), i16(0), i16(4)), 11, 0, true},
        // The horizontal pass is complete before the vertical step divides by zero.
        GridFailure{"Grid05B_Ynum0", grid05B(i16(10), i16(100), i16(4), i16(0)), 11, 5, true},
        GridFailure{"Grid05N_Xnum0", grid05N(i16(10), i16(100), i16(0), i16(2)), 11, 0, true},
        GridFailure{"Grid00B_Ynum0", grid00B(i16(10), i16(100), i16(2), i16(0)), 11, 3, true},
        GridFailure{"Grid00C_Ynum0", grid00C(i16(10), i16(100), i16(4), i16(0)), 11, 0, true},
        GridFailure{"Grid00C_Xnum0", grid00C(i16(10), i16(100), i16(0), i16(4)), 11, 5, true},
        // The surface height itself divides by Ynum, after the width is set.
        GridFailure{"Grid01D_Ynum0", grid01D(i16(10), i16(100), i16(4), i16(0)), 11, 0, false},
        // With Ynum = -1 the surface height is zero, which the surface refuses before the
        // line step would divide by zero.
        GridFailure{"Grid01D_YnumMinus1", grid01D(i16(10), i16(100), i16(4), i16(-1)), 380, 0,
                    false}),
    [](const testing::TestParamInfo<GridFailure>& testInfo) { return testInfo.param.name; });

TEST(LinearGridFailureTest, NeedsADrawingSurface) {
  const std::vector<std::pair<std::string, Draw>> members = {
      {"Grid05", grid05(i16(10), i16(100))},
      {"Grid05B", grid05B(i16(10), i16(100), i16(2), i16(2))},
      {"Grid05N", grid05N(i16(10), i16(100), i16(2), i16(2))},
      {"Grid00", grid00(i16(10), i16(100))},
      {"Grid00B", grid00B(i16(10), i16(100), i16(2), i16(2))},
      {"Grid00C", grid00C(i16(10), i16(100), i16(2), i16(2))},
      {"Grid01D", grid01D(i16(10), i16(100), i16(2), i16(2))},
  };
  for (const auto& [name, draw] : members) {
    SCOPED_TRACE(name);
    Value notAPicture(u"Pic1");
    try {
      draw(notAPicture);
      ADD_FAILURE() << "no error raised";
    } catch (const RuntimeError& e) {
      EXPECT_EQ(e.code(), 438);
    }
  }
}

}  // namespace
}  // namespace fbc
