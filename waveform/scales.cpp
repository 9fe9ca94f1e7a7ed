#include "waveform/scales.h"

#include <array>

#include "platform/checked_math.h"
#include "platform/number_text.h"
#include "waveform/samples.h"

namespace fbc {

namespace {

// Voltage full scales: the first row whose threshold the peak reaches (equality included).
struct VoltageRow {
  float atLeast;
  double fullScale;
};
constexpr std::array<VoltageRow, 5> kSwitchVoltage{{
    {1000.0F, 2000.0},
    {500.0F, 1000.0},
    {250.0F, 500.0},
    {150.0F, 300.0},
    {80.0F, 160.0},
}};
constexpr std::array<VoltageRow, 4> kDiodeVoltage{{
    {500.0F, 1000.0},
    {250.0F, 500.0},
    {150.0F, 300.0},
    {80.0F, 160.0},
}};
constexpr double kLowestVoltageScale = 80.0;

// Current full scales: the first row whose threshold the peak exceeds (strictly).
struct CurrentRow {
  float above;
  double fullScale;
};
constexpr std::array<CurrentRow, 5> kSwitchCurrent{{
    {20.0F, 40.0},
    {10.0F, 20.0},
    {5.0F, 10.0},
    {2.0F, 4.0},
    {1.0F, 2.0},
}};
constexpr std::array<CurrentRow, 6> kDiodeCurrent{{
    {40.0F, 80.0},
    {20.0F, 40.0},
    {10.0F, 20.0},
    {5.0F, 10.0},
    {2.0F, 4.0},
    {1.0F, 2.0},
}};
constexpr double kLowestCurrentScale = 1.0;

template <std::size_t N>
double voltageScale(float peak, const std::array<VoltageRow, N>& rows) {
  for (const VoltageRow& row : rows) {
    if (peak >= row.atLeast) {
      return row.fullScale;
    }
  }
  return kLowestVoltageScale;
}

template <std::size_t N>
double currentScale(float peak, const std::array<CurrentRow, N>& rows) {
  for (const CurrentRow& row : rows) {
    if (peak > row.above) {
      return row.fullScale;
    }
  }
  return kLowestCurrentScale;
}

// The value per division worked back from a factor, as the caption shows it.
std::u16string perDivisionText(double plotHeight, double factor) {
  return generalText(checkedDivide(checkedDivide(plotHeight, factor), 4.0));
}

}  // namespace

WaveformScales waveformScales(const DesignState& state, const Value& m) {
  const WaveformDerived derived = waveformDerived(state);
  WaveformScales s;
  s.VdsPeak = derived.VdsPeak;
  s.Vrev = derived.Vrev;
  s.IdPeak = derived.IdPeak;

  s.fullScaleVsw = voltageScale(s.VdsPeak, kSwitchVoltage);
  s.fullScaleVd = voltageScale(s.Vrev, kDiodeVoltage);
  s.fullScaleIsw = currentScale(state.Ip, kSwitchCurrent);
  s.fullScaleId = currentScale(s.IdPeak, kDiodeCurrent);
  s.KV1 = 1000.0 / s.fullScaleVsw;
  s.KI1 = 1000.0 / s.fullScaleIsw;
  s.KV2 = 200.0 / s.fullScaleVd;
  s.KI2 = 200.0 / s.fullScaleId;

  const Value frequency(toSingleChecked(checkedDivide(1.0, state.T)));
  s.lblpic1_1 = u"fs=" + multiply(frequency, m).toText() + u"kHz";

  s.lbldiv1 = u"スイッチ電圧電流[" + perDivisionText(1000.0, s.KV1) + u"V/div][" +
              perDivisionText(1000.0, s.KI1) + u"A/div]";
  s.lbldiv2 = u"ダイオード電圧電流[" + perDivisionText(200.0, s.KV2) + u"V/div][" +
              perDivisionText(200.0, s.KI2) + u"A/div]";
  return s;
}

}  // namespace fbc
