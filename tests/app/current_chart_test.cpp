#include "app/current_chart.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "design/calculation.h"
#include "design/core_catalogue.h"
#include "platform/palette.h"
#include "platform/recording_surface.h"
#include "platform/text.h"

namespace fbc {
namespace {

constexpr double kPeriod = 20e-6;

struct Point {
  double t;
  double amps;
};

// The trace's drawn vertices in seconds and amperes: the plot's y runs down from the top line,
// with the ground at the full scale.
std::vector<Point> vertices(const RecordingSurface& pic, int colour, double fullScale) {
  std::vector<Point> points;
  for (const SurfaceOp& op : pic.operations()) {
    if (op.type == SurfaceOp::Type::Line && op.colour == paletteColour(colour)) {
      points.push_back({op.x1, fullScale - op.y1});
      points.push_back({op.x2, fullScale - op.y2});
    }
  }
  return points;
}

// The surface keeps 32-bit coordinates: a vertex is where it should be to a millionth of the
// plot.
bool hasVertex(const std::vector<Point>& points, double t, double amps) {
  return std::any_of(points.begin(), points.end(), [&](const Point& p) {
    return std::abs(p.t - t) < 1e-6 * kPeriod && std::abs(p.amps - amps) < 1e-6 * 100.0;
  });
}

bool printed(const RecordingSurface& pic, const std::string& part) {
  return std::any_of(pic.operations().begin(), pic.operations().end(), [&](const SurfaceOp& op) {
    return op.type == SurfaceOp::Type::Print && toUtf8(op.text).find(part) != std::string::npos;
  });
}

// Each drive mode's shapes over two periods: the trace starts and ends each piece where the
// piece says, in both periods, stands at zero where no piece runs, never rises above its peak,
// and stays within the two periods.
TEST(CurrentChart, DrawsEachModesShapeOverTwoPeriods) {
  const struct {
    const char* what;
    CurrentSegment piece;
    double peak;
    double fullScale;
    bool deadTime;  // zero from the piece's end to the period's
  } cases[] = {
      {"critical primary", {0.0, 0.5, 0.0, 6.0}, 6.0, 8.0, true},
      {"critical secondary", {0.5, 1.0, 40.0, 0.0}, 40.0, 80.0, false},
      {"continuous primary", {0.0, 0.5, 1.5, 4.5}, 4.5, 8.0, true},
      {"continuous secondary", {0.5, 1.0, 30.0, 10.0}, 30.0, 40.0, false},
      {"quasi-resonant secondary", {0.486, 0.972, 41.1, 0.0}, 41.1, 80.0, true},
      {"whole period", {0.0, 1.0, 2.0, 3.0}, 3.0, 4.0, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    RecordingSurface pic(440, 330);
    const CurrentTrace trace{u"I", c.piece, c.peak, 1.0, kPrimaryCurrentColour};
    drawCurrentPlot(pic, trace, kPeriod);
    const std::vector<Point> points = vertices(pic, kPrimaryCurrentColour, c.fullScale);
    ASSERT_FALSE(points.empty());
    for (const double offset : {0.0, kPeriod}) {
      EXPECT_TRUE(hasVertex(points, offset + c.piece.start * kPeriod, c.piece.from));
      EXPECT_TRUE(hasVertex(points, offset + c.piece.end * kPeriod, c.piece.to));
      EXPECT_TRUE(hasVertex(points, offset + c.piece.start * kPeriod, 0.0));
      EXPECT_TRUE(hasVertex(points, offset + c.piece.end * kPeriod, 0.0));
    }
    for (const Point& p : points) {
      EXPECT_LE(p.amps, c.peak + 1e-4);
      EXPECT_GE(p.amps, -1e-4);
      EXPECT_GE(p.t, -1e-6 * kPeriod);
      EXPECT_LE(p.t, 2.0 * kPeriod * (1.0 + 1e-6));
    }
    // Where no piece runs, the current lies on the ground line up to the period's end: a ground
    // segment ends there exactly when the piece ends early.
    const auto groundTo = [&](double t) {
      for (std::size_t i = 0; i + 1 < points.size(); i += 2) {
        if (std::abs(points[i].amps) < 1e-4 && std::abs(points[i + 1].amps) < 1e-4 &&
            std::abs(points[i + 1].t - t) < 1e-6 * kPeriod && points[i].t < t - 1e-3 * kPeriod) {
          return true;
        }
      }
      return false;
    };
    EXPECT_EQ(groundTo(kPeriod) && groundTo(2.0 * kPeriod), c.deadTime);
  }
}

TEST(CurrentChart, MarksThePeakAndWritesThePeakAndRms) {
  RecordingSurface pic(440, 330);
  drawCurrentPlot(pic, {u"一次電流 Ip", {0.0, 0.5, 0.0, 6.0}, 6.0, 2.449, kPrimaryCurrentColour},
                  kPeriod);
  const std::vector<Point> marks = vertices(pic, kPeakMarkColour, 8.0);
  ASSERT_FALSE(marks.empty());
  for (const Point& p : marks) {
    EXPECT_NEAR(p.amps, 6.0, 1e-5);
  }
  // Dashes across both periods, with gaps between them.
  EXPECT_EQ(marks.size(), 2U * 20U);
  for (const char* text : {"一次電流 Ip", "[2 A/div]", "ピーク 6.000 A", "実効値 2.449 A",
                           "[5.000\xCE\xBCsec/div]", "Gnd"}) {
    EXPECT_TRUE(printed(pic, text)) << text;
  }
  // The same plot twice: the same drawing.
  RecordingSurface again(440, 330);
  drawCurrentPlot(again, {u"一次電流 Ip", {0.0, 0.5, 0.0, 6.0}, 6.0, 2.449, kPrimaryCurrentColour},
                  kPeriod);
  EXPECT_EQ(again.operations(), pic.operations());
}

TEST(CurrentChart, FullScaleIsFourDivisionsOfOneTwoOrFive) {
  const std::pair<double, double> cases[] = {
      {6.0, 8.0}, {0.53, 0.8}, {3.8, 4.0}, {10.0, 20.0}, {40.0, 80.0}, {0.0, 4.0}, {NAN, 4.0},
  };
  for (const auto& [peak, fullScale] : cases) {
    SCOPED_TRACE(peak);
    EXPECT_DOUBLE_EQ(currentFullScale(peak), fullScale);
    if (peak > 0.0) {
      EXPECT_LT(peak, currentFullScale(peak));
    }
  }
}

// The traces are the review's own pieces and figures, primary first; none without a review.
TEST(CurrentChart, TracesAreTheReviewsWindingCurrents) {
  EXPECT_TRUE(currentTraces(DesignReview{}).empty());
  DesignInputs inputs;
  inputs.core = u"PQ50";
  DesignState state;
  ASSERT_TRUE(calculateDesign(inputs, CoreCatalogue{}, state).completed);
  ReviewConditions conditions;
  conditions.mode = DriveMode::Qr;
  const DesignReview review = reviewDesign(state, *levelSwing(inputs.level), conditions);
  const std::vector<CurrentTrace> traces = currentTraces(review);
  ASSERT_EQ(traces.size(), 2U);
  EXPECT_EQ(traces[0].piece.end, review.operation.primary.end);
  EXPECT_EQ(traces[0].peak, review.Ipk);
  EXPECT_EQ(traces[0].rms, review.IpRms);
  EXPECT_EQ(traces[1].piece.start, review.operation.secondary.start);
  EXPECT_EQ(traces[1].peak, review.IsPk);
  EXPECT_EQ(traces[1].colour, kSecondaryCurrentColour);
  EXPECT_EQ(toUtf8(currentPlotDescription(traces[0])),
            "一次電流 Ip: ピーク 6.116 A、実効値 2.473 A");
}

}  // namespace
}  // namespace fbc
