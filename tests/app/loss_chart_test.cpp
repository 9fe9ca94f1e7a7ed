#include "app/loss_chart.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "design/calculation.h"
#include "design/core_catalogue.h"
#include "platform/number_text.h"
#include "platform/palette.h"
#include "platform/recording_surface.h"
#include "platform/text.h"
#include "review/core_advice.h"

namespace fbc {
namespace {

constexpr int kWidth = 580;
constexpr int kHeight = 420;

// A reviewed core with the given losses; feasible unless said otherwise.
CoreReview core(std::u16string name, double pcore, double pcuP, double pcuS, double tcore,
                bool feasible = true) {
  CoreReview c;
  c.core = std::move(name);
  c.completed = true;
  c.review.valid = true;
  c.review.feasible = feasible;
  TransformerLosses& l = c.review.losses;
  l.valid = true;
  l.fits = true;
  l.converged = true;
  l.Pcore = pcore;
  l.windings = {WindingLoss{}, WindingLoss{}};
  l.windings[0].winding = Winding::Primary;
  l.windings[0].Pcu = pcuP;
  l.windings[1].winding = Winding::Secondary;
  l.windings[1].Pcu = pcuS;
  l.Ptotal = pcore + pcuP + pcuS;
  l.Tambient = 40.0;
  l.Tcore = tcore;
  return c;
}

// Two feasible cores, the second losing twice as much and rising twice as far, and one that
// cannot be built.
CoreAdvice twoCores() {
  CoreAdvice advice;
  advice.cores = {core(u"PQ40", 1.0, 0.5, 0.25, 60.0), core(u"EER49", 2.0, 1.0, 0.5, 80.0),
                  core(u"EER28", 9.0, 9.0, 9.0, 900.0, false)};
  advice.recommended = u"PQ40";
  return advice;
}

struct Bar {
  double left = 0;
  double right = 0;  // the last pixel line's end
  double top = 0;
  double bottom = 0;
  double length() const { return right - left + 1.0; }
};

// The filled bars of `colour`: runs of one-pixel lines with the same ends on adjacent rows.
std::vector<Bar> bars(const RecordingSurface& pic, int colour) {
  std::vector<Bar> found;
  for (const SurfaceOp& op : pic.operations()) {
    if (op.type != SurfaceOp::Type::Line || op.colour != paletteColour(colour) || op.y1 != op.y2) {
      continue;
    }
    if (!found.empty() && found.back().left == op.x1 && found.back().right == op.x2 &&
        std::abs(op.y1 - found.back().bottom - 1.0) < 1e-6) {
      found.back().bottom = op.y1;
      continue;
    }
    found.push_back({op.x1, op.x2, op.y1, op.y1});
  }
  return found;
}

// The bar of `colour` in the row whose name was printed at `nameTop`.
std::optional<Bar> barInRow(const RecordingSurface& pic, int colour, double nameTop) {
  for (const Bar& bar : bars(pic, colour)) {
    const double middle = (bar.top + bar.bottom) / 2.0;
    if (middle > nameTop && middle < nameTop + 18.0) {
      return bar;
    }
  }
  return std::nullopt;
}

std::optional<double> printedAt(const RecordingSurface& pic, const std::string& text) {
  for (const SurfaceOp& op : pic.operations()) {
    if (op.type == SurfaceOp::Type::Print && toUtf8(op.text) == text) {
      return op.y1;
    }
  }
  return std::nullopt;
}

bool printedAnywhere(const RecordingSurface& pic, const std::string& part) {
  return std::any_of(pic.operations().begin(), pic.operations().end(), [&](const SurfaceOp& op) {
    return op.type == SurfaceOp::Type::Print && toUtf8(op.text).find(part) != std::string::npos;
  });
}

// The limit: the longest line in the limit's colour.
SurfaceOp limitLine(const RecordingSurface& pic) {
  SurfaceOp longest;
  longest.type = SurfaceOp::Type::Line;
  for (const SurfaceOp& op : pic.operations()) {
    if (op.type == SurfaceOp::Type::Line && op.colour == paletteColour(kTemperatureLimitColour) &&
        std::abs(op.y2 - op.y1) > std::abs(longest.y2 - longest.y1)) {
      longest = op;
    }
  }
  return longest;
}

RecordingSurface drawn(const CoreAdvice& advice, const ReviewConditions& conditions = {}) {
  RecordingSurface pic(kWidth, kHeight);
  drawLossChart(pic, advice, conditions);
  return pic;
}

TEST(LossChartRows, OnlyFeasibleCoresWithKnownLossesInTheAdvicesOrder) {
  CoreAdvice advice = twoCores();
  advice.cores.push_back(core(u"PQ50", 1.0, 1.0, 1.0, 50.0));
  advice.cores.back().review.losses.valid = false;
  // Windings that do not fit have no copper loss or temperature, even on a core marked feasible.
  advice.cores.push_back(core(u"PQ35", 1.0, 1.0, 1.0, 50.0));
  advice.cores.back().review.losses.fits = false;
  // Nor have windings that fit but whose losses find no balance.
  advice.cores.push_back(core(u"PQ3230", 1.0, 1.0, 1.0, 50.0));
  advice.cores.back().review.losses.converged = false;
  const std::vector<LossChartRow> rows = lossChartRows(advice);
  ASSERT_EQ(rows.size(), 2U);
  EXPECT_EQ(rows[0].core, u"PQ40");
  EXPECT_TRUE(rows[0].recommended);
  EXPECT_EQ(rows[1].core, u"EER49");
  EXPECT_FALSE(rows[1].recommended);
  EXPECT_DOUBLE_EQ(rows[1].Pcore, 2.0);
  EXPECT_DOUBLE_EQ(rows[1].PcuP, 1.0);
  EXPECT_DOUBLE_EQ(rows[1].PcuS, 0.5);
  EXPECT_DOUBLE_EQ(rows[1].Ptotal, 3.5);
  EXPECT_DOUBLE_EQ(rows[1].Tambient, 40.0);
  EXPECT_DOUBLE_EQ(rows[1].Tcore, 80.0);
}

// With further outputs and a bias winding the secondary copper is theirs together, so the
// stacked bar still reaches the total loss.
TEST(LossChartRows, EverySecondaryWindingCountsAsSecondaryCopper) {
  CoreAdvice advice;
  advice.cores = {core(u"PQ40", 1.0, 0.5, 0.25, 60.0)};
  TransformerLosses& l = advice.cores[0].review.losses;
  for (const auto& [winding, pcu] :
       {std::pair{Winding::Output2, 0.125}, std::pair{Winding::Output5, 0.0625},
        std::pair{Winding::Bias, 0.03125}}) {
    WindingLoss w;
    w.winding = winding;
    w.Pcu = pcu;
    l.windings.push_back(w);
    l.Ptotal += pcu;
  }
  const std::vector<LossChartRow> rows = lossChartRows(advice);
  ASSERT_EQ(rows.size(), 1U);
  EXPECT_DOUBLE_EQ(rows[0].PcuP, 0.5);
  EXPECT_DOUBLE_EQ(rows[0].PcuS, 0.25 + 0.125 + 0.0625 + 0.03125);
  EXPECT_DOUBLE_EQ(rows[0].Pcore + rows[0].PcuP + rows[0].PcuS, rows[0].Ptotal);
}

TEST(LossChart, EachFeasibleCoreIsARowOfItsStackedLossesAndItsTemperature) {
  const RecordingSurface pic = drawn(twoCores());
  const std::optional<double> first = printedAt(pic, "★PQ40");
  const std::optional<double> second = printedAt(pic, "EER49");
  ASSERT_TRUE(first && second);
  EXPECT_LT(*first, *second);
  EXPECT_FALSE(printedAnywhere(pic, "EER28"));
  for (const char* value : {"1.75 W", "3.50 W", "60.0 ℃", "80.0 ℃"}) {
    EXPECT_TRUE(printedAnywhere(pic, value)) << value;
  }

  for (const double top : {*first, *second}) {
    SCOPED_TRACE(top);
    const std::optional<Bar> coreLoss = barInRow(pic, kCoreLossColour, top);
    const std::optional<Bar> primary = barInRow(pic, kPrimaryCopperColour, top);
    const std::optional<Bar> secondary = barInRow(pic, kSecondaryCopperColour, top);
    ASSERT_TRUE(coreLoss && primary && secondary);
    // Stacked: each part starts on the pixel after the one before it ends, in the shares of
    // the losses (core 4 : primary 2 : secondary 1), to within a pixel.
    EXPECT_NEAR(primary->left, coreLoss->right + 1.0, 1e-6);
    EXPECT_NEAR(secondary->left, primary->right + 1.0, 1e-6);
    EXPECT_NEAR(coreLoss->length(), 2.0 * primary->length(), 1.0);
    EXPECT_NEAR(primary->length(), 2.0 * secondary->length(), 1.0);
  }
  // The second core's losses are twice the first's, from the same zero.
  const Bar total1{barInRow(pic, kCoreLossColour, *first)->left,
                   barInRow(pic, kSecondaryCopperColour, *first)->right};
  const Bar total2{barInRow(pic, kCoreLossColour, *second)->left,
                   barInRow(pic, kSecondaryCopperColour, *second)->right};
  EXPECT_EQ(total1.left, total2.left);
  EXPECT_NEAR(total2.length(), 2.0 * total1.length(), 1.0);

  // The temperature bars rise from the same ambient, 20 K and 40 K.
  const std::optional<Bar> warm1 = barInRow(pic, kCoreTemperatureColour, *first);
  const std::optional<Bar> warm2 = barInRow(pic, kCoreTemperatureColour, *second);
  ASSERT_TRUE(warm1 && warm2);
  EXPECT_EQ(warm1->left, warm2->left);
  EXPECT_NEAR(warm2->length(), 2.0 * warm1->length(), 1.0);
  // The temperature panel lies right of the loss panel's values.
  EXPECT_GT(warm1->left, total2.right + 40.0);
}

TEST(LossChart, TheRedLineStandsAtTheHighestTemperatureAllowed) {
  for (const double limit : {80.0, 100.0, 150.0, 250.0}) {
    SCOPED_TRACE(limit);
    ReviewConditions conditions;
    conditions.maxTemperature = limit;
    const RecordingSurface pic = drawn(twoCores(), conditions);
    const std::optional<double> top = printedAt(pic, "★PQ40");
    ASSERT_TRUE(top);
    // The first core's bar spans 40 → 60 °C: the scale of the temperature axis.
    const std::optional<Bar> warm = barInRow(pic, kCoreTemperatureColour, *top);
    ASSERT_TRUE(warm);
    const double perKelvin = warm->length() / 20.0;
    const SurfaceOp line = limitLine(pic);
    EXPECT_EQ(line.x1, line.x2);
    EXPECT_EQ(line.width, 2);
    EXPECT_NEAR(line.x1, warm->left + (limit - 40.0) * perKelvin, 1.5);
    // It runs past every row.
    EXPECT_LT(std::min(line.y1, line.y2), *top);
    EXPECT_TRUE(printedAnywhere(pic, toUtf8(generalText(limit))));
  }
}

TEST(LossChart, WithoutAFeasibleCoreASentenceSaysSo) {
  CoreAdvice advice = twoCores();
  for (CoreReview& c : advice.cores) {
    c.review.feasible = false;
  }
  advice.recommended.reset();
  const RecordingSurface pic = drawn(advice);
  EXPECT_TRUE(printedAnywhere(pic, "製作できるコアはカタログにありません"));
  EXPECT_FALSE(printedAnywhere(pic, "PQ40"));
  // Only the legend's marks: no bar, no limit line over rows.
  EXPECT_EQ(bars(pic, kCoreLossColour).size(), 1U);
  EXPECT_LE(std::abs(limitLine(pic).y2 - limitLine(pic).y1), 12.0);
  // Drawing again starts from a clean picture.
  EXPECT_EQ(pic.operations().front().type, SurfaceOp::Type::Cls);
}

// Every drawing stays inside the picture: as many rows as the catalogue has cores, long names
// and large numbers, and the real advice for a small output.
TEST(LossChart, FullChartsStayInsideThePicture) {
  CoreAdvice many;
  for (int i = 0; i < 18; ++i) {
    many.cores.push_back(core(u"EER424220", 12.5 + i, 33.3, 9.99, 40.0 + 11.0 * i));
  }
  ReviewConditions hot;
  hot.maxTemperature = 250.0;
  DesignInputs small;
  small.iout = std::u16string(u"2");
  const CoreAdvice real = adviseCores(small, CoreCatalogue{}, levelSwing(CoreLevel::Typ).value());
  ASSERT_GE(lossChartRows(real).size(), 3U);
  // Every charted core of the real advice is wound in a layout that fits its bobbin.
  for (const LossChartRow& row : lossChartRows(real)) {
    const auto c = std::find_if(real.cores.begin(), real.cores.end(),
                                [&row](const CoreReview& r) { return r.core == row.core; });
    ASSERT_NE(c, real.cores.end());
    EXPECT_TRUE(c->review.losses.fits) << toUtf8(row.core);
  }

  for (const CoreAdvice* advice : std::vector<const CoreAdvice*>{&many, &real}) {
    const RecordingSurface pic = drawn(*advice, hot);
    const std::vector<LossChartRow> rows = lossChartRows(*advice);
    std::size_t names = 0;
    for (const SurfaceOp& op : pic.operations()) {
      if (op.type == SurfaceOp::Type::Line) {
        for (const double x : {op.x1, op.x2}) {
          EXPECT_GE(x, 0.0);
          EXPECT_LE(x, kWidth);
        }
        for (const double y : {op.y1, op.y2}) {
          EXPECT_GE(y, 0.0);
          EXPECT_LE(y, kHeight);
        }
      }
      if (op.type == SurfaceOp::Type::Print) {
        // Room for the text itself: the widest value, "1234.5 ℃", takes about 50 pixels.
        EXPECT_LE(op.x1, kWidth - 50.0) << toUtf8(op.text);
        EXPECT_LE(op.y1 + pic.lineHeightPixels(), kHeight) << toUtf8(op.text);
        names += std::any_of(rows.begin(), rows.end(),
                             [&](const LossChartRow& r) {
                               return op.text == (r.recommended ? u"★" : u"") + r.core;
                             })
                     ? 1U
                     : 0U;
      }
    }
    EXPECT_EQ(names, rows.size());
  }
}

}  // namespace
}  // namespace fbc
