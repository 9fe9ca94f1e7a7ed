#include "app/current_chart.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

#include "app/scope_pen.h"
#include "chartlib/macro_library.h"
#include "platform/number_text.h"
#include "platform/text.h"
#include "review/review_display.h"

namespace fbc {

namespace {

constexpr int kTimeDivisions = 8;
constexpr int kCurrentDivisions = 4;
constexpr double kTextSize = 9.0;
constexpr int kDashes = 40;  // along the peak's mark, over two periods

// "6.000 A", as the review's tables write a current.
std::u16string amps(std::string_view name, double value) {
  const ReviewDisplay* d = reviewDisplay(name);
  return fromUtf8(reviewValueText(*d, value)) + u" A";
}

// A straight line from (t1, i1) to (t2, i2) on a grid `fullScale` high.
void segment(Value& pic, double t1, double i1, double t2, double i2, double fullScale, int colour,
             int width = 2) {
  scopeLine(pic, t1, i1, t2, i2, fullScale, colour, width);
}

// One period's outline starting at `offset` [s]: zero where no piece runs, the piece's ramp,
// and the steps onto and off it.
void drawPeriod(Value& pic, const CurrentTrace& trace, double period, double offset,
                double fullScale) {
  const CurrentSegment& p = trace.piece;
  const double start = offset + p.start * period;
  const double end = offset + p.end * period;
  const auto line = [&](double t1, double i1, double t2, double i2) {
    segment(pic, t1, i1, t2, i2, fullScale, trace.colour);
  };
  if (p.start > 0.0) {
    line(offset, 0.0, start, 0.0);
  }
  line(start, 0.0, start, p.from);
  line(start, p.from, end, p.to);
  line(end, p.to, end, 0.0);
  if (p.end < 1.0) {
    line(end, 0.0, offset + period, 0.0);
  }
}

}  // namespace

std::vector<CurrentTrace> currentTraces(const DesignReview& review) {
  if (!review.valid) {
    return {};
  }
  return {
      {u"一次電流 Ip", review.operation.primary, review.Ipk, review.IpRms, kPrimaryCurrentColour},
      {u"二次電流 Is", review.operation.secondary, review.IsPk, review.IsRms,
       kSecondaryCurrentColour},
  };
}

double currentFullScale(double peak) {
  if (!(peak > 0.0) || !std::isfinite(peak)) {
    return kCurrentDivisions;
  }
  // The peak stays under the top line with a little room for its mark.
  const double division = peak * 1.05 / kCurrentDivisions;
  const double power = std::pow(10.0, std::floor(std::log10(division)));
  for (const double m : {1.0, 2.0, 5.0, 10.0}) {
    if (m * power >= division) {
      return kCurrentDivisions * m * power;
    }
  }
  return kCurrentDivisions * 10.0 * power;
}

void drawCurrentPlot(Surface& surface, const CurrentTrace& trace, double period) {
  surface.cls();
  Value pic(static_cast<Object*>(&surface));
  const double fullScale = currentFullScale(trace.peak);
  Value width(2.0 * period);
  Value height(fullScale);
  Value xnum(static_cast<std::int16_t>(kTimeDivisions));
  Value ynum(static_cast<std::int16_t>(kCurrentDivisions));
  macro::Grid00C2(pic, width, height, xnum, ynum);

  // The peak's mark first, so that the trace runs over it.
  const double dash = 2.0 * period / kDashes;
  for (int i = 0; i < kDashes; i += 2) {
    segment(pic, i * dash, trace.peak, (i + 1) * dash, trace.peak, fullScale, kPeakMarkColour, 1);
  }
  for (const double offset : {0.0, period}) {
    drawPeriod(pic, trace, period, offset, fullScale);
  }

  surface.setFontSize(kTextSize);
  scopeText(pic, 0.02, 0.01,
            trace.caption + u"  [" + generalText(fullScale / kCurrentDivisions) + u" A/div]");
  scopeText(pic, 0.50, 0.01,
            u"ピーク " + amps("Ipk", trace.peak) + u"  実効値 " + amps("Ipk", trace.rms));
}

std::u16string currentPlotDescription(const CurrentTrace& trace) {
  return trace.caption + u": ピーク " + amps("Ipk", trace.peak) + u"、実効値 " +
         amps("Ipk", trace.rms);
}

}  // namespace fbc
