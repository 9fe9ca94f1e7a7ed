#pragma once

#include <string>

#include "design/design_state.h"
#include "platform/value.h"

namespace fbc {

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

}  // namespace fbc
