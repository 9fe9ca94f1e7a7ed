#include "app/simulation_chart.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <string_view>

#include "app/current_chart.h"
#include "app/scope_pen.h"
#include "chartlib/macro_library.h"
#include "platform/number_text.h"
#include "platform/text.h"

namespace fbc {

namespace {

constexpr int kTimeDivisions = 8;
constexpr int kValueDivisions = 4;
constexpr double kHeight = 1000.0;  // the grid's value range; traces are scaled onto it
constexpr int kDashes = 40;
constexpr double kTextSize = 9.0;

void segment(Value& pic, double t1, double y1, double t2, double y2, int colour, int width) {
  scopeLine(pic, t1, y1, t2, y2, kHeight, colour, width);
}

void grid(Value& pic, double span) {
  Value width(span);
  Value height(kHeight);
  Value xnum(static_cast<std::int16_t>(kTimeDivisions));
  Value ynum(static_cast<std::int16_t>(kValueDivisions));
  macro::Grid00C2(pic, width, height, xnum, ynum);
}

// One trace: `value` of each sample scaled by kHeight / fullScale, with the model's peak dashed.
template <typename Value_>
void trace(Value& pic, const std::vector<SpiceSample>& samples, Value_ value, double fullScale,
           double modelPeak, int colour) {
  const double scale = kHeight / fullScale;
  const double t0 = samples.front().t;
  const double span = samples.back().t - t0;
  const double dash = span / kDashes;
  for (int i = 0; i < kDashes; i += 2) {
    segment(pic, i * dash, modelPeak * scale, (i + 1) * dash, modelPeak * scale, kModelMarkColour,
            1);
  }
  for (std::size_t i = 1; i < samples.size(); ++i) {
    const double y1 = std::clamp(value(samples[i - 1]) * scale, 0.0, 1.1 * kHeight);
    const double y2 = std::clamp(value(samples[i]) * scale, 0.0, 1.1 * kHeight);
    segment(pic, samples[i - 1].t - t0, y1, samples[i].t - t0, y2, colour, 2);
  }
}

template <typename Value_>
double highest(const std::vector<SpiceSample>& samples, Value_ value) {
  double most = 0.0;
  for (const SpiceSample& s : samples) {
    most = std::max(most, value(s));
  }
  return most;
}

// "514.97 V", "6.000 A": as the review's tables write volts and amperes.
std::u16string shown(double value, std::u16string_view unit) {
  std::array<char, 32> buffer{};
  const int length =
      std::snprintf(buffer.data(), buffer.size(), unit == u"V" ? "%.1f" : "%.3f", value);
  return fromUtf8(std::string_view(buffer.data(), static_cast<std::size_t>(std::max(length, 0)))) +
         u" " + std::u16string(unit);
}

}  // namespace

void drawSimulationPlots(Surface& switchPlot, Surface& diodePlot,
                         const std::vector<SpiceSample>& samples, const ModelPeaks& model) {
  switchPlot.cls();
  diodePlot.cls();
  Value sw(static_cast<Object*>(&switchPlot));
  Value diode(static_cast<Object*>(&diodePlot));
  const double span = samples.size() >= 2 ? samples.back().t - samples.front().t : 1e-5;
  grid(sw, span);
  grid(diode, span);
  if (samples.size() < 2 || !(span > 0.0)) {
    return;
  }
  const auto vds = [](const SpiceSample& s) { return s.vds; };
  const auto isw = [](const SpiceSample& s) { return s.isw; };
  const auto id = [](const SpiceSample& s) { return s.id; };
  const double vPeak = highest(samples, vds);
  const double iPeak = highest(samples, isw);
  const double dPeak = highest(samples, id);
  const double vScale = currentFullScale(std::max(vPeak, model.vds));
  const double iScale = currentFullScale(std::max(iPeak, model.ipk));
  const double dScale = currentFullScale(std::max(dPeak, model.isPk));
  trace(sw, samples, vds, vScale, model.vds, kSimulatedVoltageColour);
  trace(sw, samples, isw, iScale, model.ipk, kSimulatedCurrentColour);
  trace(diode, samples, id, dScale, model.isPk, kSimulatedDiodeColour);

  switchPlot.setFontSize(kTextSize);
  scopeText(sw, 0.02, 0.01,
            u"スイッチ電圧 [" + generalText(vScale / kValueDivisions) + u" V/div] 電流 [" +
                generalText(iScale / kValueDivisions) + u" A/div]");
  scopeText(sw, 0.02, 0.08, u"ピーク " + shown(vPeak, u"V") + u"、" + shown(iPeak, u"A"));
  diodePlot.setFontSize(kTextSize);
  scopeText(diode, 0.02, 0.01,
            u"ダイオード電流 [" + generalText(dScale / kValueDivisions) + u" A/div]");
  scopeText(diode, 0.02, 0.08, u"ピーク " + shown(dPeak, u"A"));
}

}  // namespace fbc
