#include "waveform/plot_descriptions.h"

#include "platform/number_text.h"
#include "waveform/scales.h"

namespace fbc {

namespace {

// The grids span two periods in eight divisions across and four divisions up.
constexpr double kTimeDivisions = 8.0;
constexpr double kPeriodsShown = 2.0;
constexpr double kValueDivisions = 4.0;

// Four significant digits are plenty to hear and keep "381.5" and "44.08" as printed.
std::u16string spoken(double value) {
  std::u16string text = formatPattern(value, u"0.###", 4);
  if (!text.empty() && text.back() == u'.') {
    text.pop_back();
  }
  return text;
}

std::u16string perDivision(double fullScale) { return spoken(fullScale / kValueDivisions); }

}  // namespace

std::optional<PlotDescriptions> plotDescriptions(const DesignState& state, const Value& m) {
  if (state.Lp == 0.0F) {
    return std::nullopt;
  }
  const WaveformScales s = waveformScales(state, m);
  const std::u16string time =
      spoken(kPeriodsShown * static_cast<double>(state.T) * 1e6 / kTimeDivisions) + u"μs";
  const std::u16string common = u"、横 " + time + u"。" + s.lblpic1_1 + u"。";

  PlotDescriptions d;
  d.switchPlot = u"青：スイッチ電圧、赤：スイッチ電流、2周期分。1目盛あたり 縦 " +
                 perDivision(s.fullScaleVsw) + u"V・" + perDivision(s.fullScaleIsw) + u"A" +
                 common + u"ピーク値：スイッチ電圧 " + spoken(s.VdsPeak) + u"V、スイッチ電流 " +
                 spoken(state.Ip) + u"A。";
  d.diodePlot = u"水色：ダイオード電圧、赤紫：ダイオード電流、2周期分。1目盛あたり 縦 " +
                perDivision(s.fullScaleVd) + u"V・" + perDivision(s.fullScaleId) + u"A" + common +
                u"ピーク値：ダイオード逆電圧 " + spoken(s.Vrev) + u"V、ダイオード電流 " +
                spoken(s.IdPeak) + u"A。";
  return d;
}

}  // namespace fbc
