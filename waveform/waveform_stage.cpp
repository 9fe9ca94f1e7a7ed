#include "waveform/waveform_stage.h"

#include "chartlib/macro_library.h"
#include "platform/checked_math.h"
#include "platform/surface.h"

namespace fbc {

namespace {

constexpr std::int16_t kPic1Height = 1000;
constexpr std::int16_t kPic2Height = 200;
constexpr std::int16_t kTimeDivisions = 8;
constexpr std::int16_t kValueDivisions = 4;

constexpr std::int16_t kSwitchVoltageColour = 1;  // blue
constexpr std::int16_t kSwitchCurrentColour = 4;  // red
constexpr std::int16_t kDiodeVoltageColour = 3;   // cyan
constexpr std::int16_t kDiodeCurrentColour = 5;   // magenta

void drawGrids(const DesignState& state, Value& pic1, Value& pic2) {
  Value width(toSingleChecked(checkedMultiply(2.0, state.T)));
  Value xnum(kTimeDivisions);
  Value ynum(kValueDivisions);
  Value height1(kPic1Height);
  macro::Grid00C2(pic1, width, height1, xnum, ynum);
  Value height2(kPic2Height);
  macro::Grid00C2(pic2, width, height2, xnum, ynum);
}

// Four dots per sample, in the order and colours of the two plots.
void plotTraces(const DesignState& state, const WaveformScales& scales, Value& pic1, Value& pic2) {
  Value zero(std::int16_t{0});
  Value height1(kPic1Height);
  Value height2(kPic2Height);
  Value switchVoltage(kSwitchVoltageColour);
  Value switchCurrent(kSwitchCurrentColour);
  Value diodeVoltage(kDiodeVoltageColour);
  Value diodeCurrent(kDiodeCurrentColour);

  // A factor (at most 1000) times a finite single cannot leave the 64-bit range.
  WaveformGenerator generator(state);
  WaveformSample s;
  while (generator.next(s)) {
    Value t(s.t);
    Value y(scales.KV1 * s.vsw);
    macro::Plot00(pic1, t, y, zero, zero, height1, switchVoltage);
    y = Value(scales.KI1 * s.isw);
    macro::Plot00(pic1, t, y, zero, zero, height1, switchCurrent);
    y = Value(scales.KV2 * s.vd);
    macro::Plot00(pic2, t, y, zero, zero, height2, diodeVoltage);
    y = Value(scales.KI2 * s.id);
    macro::Plot00(pic2, t, y, zero, zero, height2, diodeCurrent);
  }
}

// The scale captions alternate between blue and the default colour from one calculation to
// the next; lbldiv1 decides for both.
void alternateCaptionColour(Object& lbldiv1, Object& lbldiv2) {
  const Value buttonText(kButtonTextColour);
  const bool isDefault = compareWithConstant(lbldiv1.property("ForeColor"), buttonText) == 0;
  const Value next = isDefault ? Value(kBlueColour) : buttonText;
  lbldiv1.setProperty("ForeColor", next);
  lbldiv2.setProperty("ForeColor", next);
}

}  // namespace

void runWaveformStage(const DesignState& state, const Value& m, Value& pic1, Value& pic2,
                      Object& lblpic1_1, Object& lbldiv1, Object& lbldiv2) {
  if (state.Lp == 0.0F) {
    return;
  }
  drawGrids(state, pic1, pic2);
  const WaveformScales scales = waveformScales(state, m);
  lblpic1_1.setProperty("Caption", Value(scales.lblpic1_1));
  plotTraces(state, scales, pic1, pic2);
  alternateCaptionColour(lbldiv1, lbldiv2);
  lbldiv1.setProperty("Caption", Value(scales.lbldiv1));
  lbldiv2.setProperty("Caption", Value(scales.lbldiv2));
}

void clearDisplay(Value& pic1, Value& pic2, Object& lbldiv1, Object& lbldiv2, Object& lblCuondo,
                  Object& lblinfo, Object& lbltest) {
  surfaceOf(pic1).cls();
  surfaceOf(pic2).cls();
  const Value empty(u"");
  for (Object* label : {&lbldiv1, &lbldiv2, &lblCuondo, &lblinfo, &lbltest}) {
    label->setProperty("Caption", empty);
  }
}

}  // namespace fbc
