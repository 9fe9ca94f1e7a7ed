#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "design/design_state.h"
#include "platform/object.h"
#include "platform/value.h"

namespace fbc {

// Label text colours as the window's ForeColor property holds them: the system colour for
// button text (a label's default) and pure blue, in the platform's 0x00BBGGRR form.
inline constexpr std::int32_t kButtonTextColour = static_cast<std::int32_t>(0x80000012U);
inline constexpr std::int32_t kBlueColour = 0xFF0000;

// One sample of the time loop: time [s], switch voltage [V] and current [A], diode voltage [V]
// and current [A].
struct WaveformSample {
  float t = 0;
  float vsw = 0;
  float isw = 0;
  float vd = 0;
  float id = 0;
};

// The peaks, full scales and captions chosen for one completed calculation.
struct WaveformScales {
  float VdsPeak = 0;
  float Vrev = 0;
  float IdPeak = 0;
  double fullScaleVsw = 0;  // V
  double fullScaleIsw = 0;  // A
  double fullScaleVd = 0;   // V
  double fullScaleId = 0;   // A
  double KV1 = 0;
  double KI1 = 0;
  double KV2 = 0;
  double KI2 = 0;
  std::u16string lblpic1_1;  // "fs=50kHz"
  std::u16string lbldiv1;    // "スイッチ電圧電流[125V/div][2.5A/div]"
  std::u16string lbldiv2;    // "ダイオード電圧電流[20V/div][20A/div]"
};

// Pure computations of the stage, for the window, the command line and the tests.
// `m` is the constant 0.001 handed out by macro::Constant.
WaveformScales waveformScales(const DesignState& state, const Value& m);
std::vector<WaveformSample> waveformSamples(const DesignState& state);

// The whole stage after a completed calculation: unless Lp is 0, the two grids, the four
// traces plotted with macro::Plot00, the frequency caption, the caption colour alternation
// (ForeColor read from lbldiv1) and the two scale captions. pic1/pic2 hold drawing surfaces;
// the labels are reached by their "Caption" and "ForeColor" properties.
void runWaveformStage(const DesignState& state, const Value& m, Value& pic1, Value& pic2,
                      Object& lblpic1_1, Object& lbldiv1, Object& lbldiv2);

// The clear button: Cls on both plots, then empty captions for lbldiv1, lbldiv2, lblCuondo,
// lblinfo and lbltest, in that order. Nothing else changes.
void clearDisplay(Value& pic1, Value& pic2, Object& lbldiv1, Object& lbldiv2, Object& lblCuondo,
                  Object& lblinfo, Object& lbltest);

}  // namespace fbc
