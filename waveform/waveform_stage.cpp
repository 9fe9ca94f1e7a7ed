#include "waveform/waveform_stage.h"

namespace fbc {

WaveformScales waveformScales(const DesignState& /*state*/, const Value& /*m*/) { return {}; }

std::vector<WaveformSample> waveformSamples(const DesignState& /*state*/) { return {}; }

void runWaveformStage(const DesignState& /*state*/, const Value& /*m*/, Value& /*pic1*/,
                      Value& /*pic2*/, Object& /*lblpic1_1*/, Object& /*lbldiv1*/,
                      Object& /*lbldiv2*/) {}

void clearDisplay(Value& /*pic1*/, Value& /*pic2*/, Object& /*lbldiv1*/, Object& /*lbldiv2*/,
                  Object& /*lblCuondo*/, Object& /*lblinfo*/, Object& /*lbltest*/) {}

}  // namespace fbc
