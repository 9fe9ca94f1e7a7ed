#pragma once

#include <cstdint>

#include "design/design_state.h"
#include "platform/object.h"
#include "platform/value.h"
#include "waveform/samples.h"
#include "waveform/scales.h"

namespace fbc {

// Label text colours as the window's ForeColor property holds them: the system colour for
// button text (a label's default) and pure blue, in the platform's 0x00BBGGRR form.
inline constexpr std::int32_t kButtonTextColour = static_cast<std::int32_t>(0x80000012U);
inline constexpr std::int32_t kBlueColour = 0xFF0000;

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
