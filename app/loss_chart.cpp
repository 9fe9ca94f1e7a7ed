#include "app/loss_chart.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string_view>
#include <utility>

#include "chartlib/macro_library.h"
#include "platform/number_text.h"
#include "platform/text.h"
#include "review/review_display.h"

namespace fbc {

namespace {

// Pixel layout: the names on the left, then the loss panel and the temperature panel, each
// with a column for its value on the right.
constexpr double kNameWidth = 86.0;
constexpr double kValueWidth = 58.0;
constexpr double kTitleTop = 4.0;
constexpr double kLegendTop = 22.0;
constexpr double kPlotTop = 46.0;
constexpr double kTickRoom = 22.0;  // under the plot, for the axis numbers
constexpr double kMaxRowHeight = 26.0;
constexpr double kMaxBarThickness = 14.0;
constexpr double kTextSize = 9.0;
constexpr double kSmallTextSize = 8.0;
constexpr int kTickCount = 5;
constexpr int kDarkGrey = 8;

// A scale from values to pixels along x.
struct Axis {
  double low = 0;
  double high = 1;
  double step = 1;
  double left = 0;
  double right = 1;

  double x(double value) const { return left + (value - low) / (high - low) * (right - left); }
};

// The smallest of 1, 2, 5 times a power of ten that is at least `x` (> 0).
double niceStep(double x) {
  const double power = std::pow(10.0, std::floor(std::log10(x)));
  for (const double m : {1.0, 2.0, 5.0}) {
    if (m * power >= x * (1.0 - 1e-9)) {
      return m * power;
    }
  }
  return 10.0 * power;
}

Axis axisOver(double low, double high, double left, double right) {
  Axis axis;
  axis.step = high > low ? niceStep((high - low) / kTickCount) : 1.0;
  axis.low = std::floor(low / axis.step) * axis.step;
  axis.high = std::max(axis.low + axis.step, std::ceil(high / axis.step) * axis.step);
  axis.left = left;
  axis.right = right;
  return axis;
}

// Draws through the library on a surface whose scale is its size in pixels, y downward.
class Pen {
 public:
  explicit Pen(Surface& surface)
      : surface_(surface),
        pic_(surface),
        width_(surface.pixelWidth()),
        height_(surface.pixelHeight()) {
    surface.setScaleWidth(static_cast<float>(width_));
    surface.setScaleHeight(static_cast<float>(height_));
  }

  double width() const { return width_; }
  double height() const { return height_; }

  void line(double x1, double y1, double x2, double y2, int colour, int thickness = 1) {
    // PlotLine00 measures y upward from the bottom line.
    Value fromX(x1);
    Value fromY(height_ - y1);
    Value toX(x2);
    Value toY(height_ - y2);
    Value zero(0.0);
    Value scaleH(height_);
    Value color(static_cast<std::int16_t>(colour));
    Value pen(static_cast<std::int16_t>(thickness));
    macro::PlotLine00(pic_, fromX, fromY, toX, toY, zero, zero, scaleH, color, pen);
  }

  // A filled bar from x1 to x2 around the centre line y, one pixel line per row of pixels so
  // its ends stand exactly where the values fall.
  void bar(double x1, double x2, double y, double thickness, int colour) {
    if (x2 - x1 < 0.5) {
      return;
    }
    const int rows = std::max(1, static_cast<int>(std::lround(thickness)));
    const double top = y - rows / 2.0 + 0.5;
    for (int i = 0; i < rows; ++i) {
      line(x1, top + i, x2 - 1.0, top + i, colour);
    }
  }

  // Text with its top-left corner at (x, y).
  void text(double x, double y, std::u16string_view words, double size = kTextSize) {
    surface_.setFontSize(size);
    Value across(x / width_);
    Value up(1.0 - y / height_);
    Value data(words);
    macro::DrwPic2(pic_, across, up, data);
  }

  // Text centred on the line y.
  void textOnLine(double x, double y, std::u16string_view words, double size = kTextSize) {
    text(x, y - lineHeight(size) / 2.0, words, size);
  }

  // About one line of text at `size` points on a 96 dpi surface.
  static double lineHeight(double size) { return size * 96.0 / 72.0 * 1.2; }

 private:
  Surface& surface_;
  Value pic_;
  double width_;
  double height_;
};

std::u16string shown(std::string_view name, double value) {
  const ReviewDisplay* display = reviewDisplay(name);
  if (display == nullptr) {
    return generalText(value);
  }
  return fromUtf8(reviewValueText(*display, value)) + u" " + std::u16string(display->unitJa);
}

std::u16string caption(std::string_view name) {
  const ReviewDisplay* display = reviewDisplay(name);
  return display != nullptr ? std::u16string(display->caption) : std::u16string();
}

// A small coloured bar and its name; returns where the next entry may start.
double legendEntry(Pen& pen, double x, int colour, std::u16string_view name) {
  pen.bar(x, x + 14.0, kLegendTop + 7.0, 8.0, colour);
  pen.textOnLine(x + 18.0, kLegendTop + 7.0, name, kSmallTextSize);
  return x + 18.0 + 11.0 * static_cast<double>(name.size()) + 10.0;
}

void drawGrid(Pen& pen, const Axis& axis, double top, double bottom) {
  for (int i = 0;; ++i) {
    const double value = axis.low + i * axis.step;
    if (value > axis.high + axis.step * 1e-9) {
      break;
    }
    const double x = axis.x(value);
    pen.line(x, top, x, bottom, kChartGridColour);
    pen.text(x + 2.0, bottom + 3.0, generalText(value), kSmallTextSize);
  }
  pen.line(axis.left, bottom, axis.right, bottom, kDarkGrey);
}

void drawTitles(Pen& pen, const Axis& losses, const Axis& temperatures,
                const ReviewConditions& conditions) {
  pen.text(4.0, kTitleTop, u"候補コア");
  pen.text(losses.left, kTitleTop, caption("Ptotal") + u" [W]");
  pen.text(temperatures.left, kTitleTop,
           caption("Tcore") + u" [℃]  " +
               std::u16string(reviewInputInfo(ReviewInput::MaxTemperature).caption) + u" " +
               generalText(conditions.maxTemperature));
  double x = losses.left;
  x = legendEntry(pen, x, kCoreLossColour, caption("Pcore"));
  x = legendEntry(pen, x, kPrimaryCopperColour, caption("PcuP"));
  legendEntry(pen, x, kSecondaryCopperColour, caption("PcuS"));
  x = legendEntry(pen, temperatures.left, kCoreTemperatureColour, u"周囲温度からの上昇");
  pen.line(x, kLegendTop + 1.0, x, kLegendTop + 13.0, kTemperatureLimitColour, 2);
  pen.textOnLine(x + 6.0, kLegendTop + 7.0, u"上限", kSmallTextSize);
}

void drawRow(Pen& pen, const LossChartRow& row, double y, double thickness, const Axis& losses,
             const Axis& temperatures) {
  pen.textOnLine(4.0, y, (row.recommended ? u"★" : u"") + row.core);
  // Stacked: each part starts where the one before it ends.
  double sum = 0.0;
  for (const auto& [watts, colour] :
       {std::pair{row.Pcore, kCoreLossColour}, std::pair{row.PcuP, kPrimaryCopperColour},
        std::pair{row.PcuS, kSecondaryCopperColour}}) {
    pen.bar(losses.x(sum), losses.x(sum + watts), y, thickness, colour);
    sum += watts;
  }
  pen.textOnLine(losses.right + 6.0, y, shown("Ptotal", row.Ptotal), kSmallTextSize);
  pen.bar(temperatures.x(row.Tambient), temperatures.x(row.Tcore), y, thickness,
          kCoreTemperatureColour);
  pen.textOnLine(temperatures.right + 6.0, y, shown("Tcore", row.Tcore), kSmallTextSize);
}

}  // namespace

std::vector<LossChartRow> lossChartRows(const CoreAdvice& advice) {
  std::vector<LossChartRow> rows;
  for (const CoreReview& c : advice.cores) {
    const TransformerLosses& l = c.review.losses;
    // A layout that cannot be wound has no copper loss or temperature to chart, feasible or not.
    if (!c.review.feasible || !l.valid || !l.temperatureKnown()) {
      continue;
    }
    // The secondaries' copper together: the main output's, the further outputs' and the bias's.
    double primary = 0.0;
    double secondaries = 0.0;
    for (const WindingLoss& w : l.windings) {
      (w.winding == Winding::Primary ? primary : secondaries) += w.Pcu;
    }
    rows.push_back({c.core, advice.recommended && *advice.recommended == c.core, l.Pcore, primary,
                    secondaries, l.Ptotal, l.Tambient, l.Tcore});
  }
  return rows;
}

void drawLossChart(Surface& surface, const CoreAdvice& advice, const ReviewConditions& conditions) {
  surface.cls();
  Pen pen(surface);
  const std::vector<LossChartRow> rows = lossChartRows(advice);
  // Rows as high as they may be in the picture's height; the axes end under the last.
  const auto count = static_cast<double>(rows.size());
  const double rowHeight =
      std::min(kMaxRowHeight, (pen.height() - kTickRoom - kPlotTop) / std::max(1.0, count));
  const double bottom = kPlotTop + rowHeight * count + 4.0;
  const double panel = (pen.width() - kNameWidth) / 2.0;

  double mostLoss = 0.0;
  double hottest = conditions.maxTemperature;
  for (const LossChartRow& row : rows) {
    mostLoss = std::max(mostLoss, row.Ptotal);
    hottest = std::max(hottest, row.Tcore);
  }
  const Axis losses = axisOver(0.0, mostLoss, kNameWidth, kNameWidth + panel - kValueWidth);
  const Axis temperatures = axisOver(std::min(0.0, conditions.ambient), hottest, kNameWidth + panel,
                                     pen.width() - kValueWidth);
  drawTitles(pen, losses, temperatures, conditions);
  if (rows.empty()) {
    pen.text(losses.left, kPlotTop + 8.0, u"この条件で製作できるコアはカタログにありません。");
    return;
  }
  drawGrid(pen, losses, kPlotTop, bottom);
  drawGrid(pen, temperatures, kPlotTop, bottom);

  const double thickness = std::clamp(std::round(rowHeight * 0.55), 3.0, kMaxBarThickness);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const double y = kPlotTop + (static_cast<double>(i) + 0.5) * rowHeight;
    drawRow(pen, rows[i], y, thickness, losses, temperatures);
  }
  // The limit over every row, drawn last so no bar hides it.
  const double limit = temperatures.x(conditions.maxTemperature);
  pen.line(limit, kPlotTop - 2.0, limit, bottom, kTemperatureLimitColour, 2);
}

}  // namespace fbc
