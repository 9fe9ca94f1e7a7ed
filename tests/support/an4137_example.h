#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "design/design_inputs.h"
#include "review/review_inputs.h"

namespace fbc {

// Fairchild AN-4137 Rev. 1.2.0, "Design Guidelines for Off-line Flyback Converters Using
// Fairchild Power Switch", appendix: 85–265 VAC at 60 Hz onto 150 µF, η 0.7, Dmax 0.48, 66 kHz in
// continuous conduction at KRF 0.33; the 3.3 V 2 A main output (Vf 0.5 V) on 2 turns beside
// 5 V 2 A (0.5 V), 12 V 1.5 A, 18 V 0.5 A and 33 V 0.1 A (1.2 V) and a 12 V bias (1.2 V); the
// measured leakage 4.5 µH and the snubber at 190 V over its 85 V reflected voltage. Its EER3530 is
// not in the catalogue: `core` stands in for it. `outputs` and `bulk` replace its further
// outputs and its capacitor (empty: the rule of thumb's).
inline constexpr std::u16string_view kAn4137Outputs = u"5,2,0.5;12,1.5,1.2;18,0.5,1.2;33,0.1,1.2";

struct An4137Example {
  DesignInputs inputs;
  ReviewInputs reviewInputs;
};

inline An4137Example an4137Example(std::u16string_view core,
                                   std::u16string_view outputs = kAn4137Outputs,
                                   std::u16string_view bulk = u"150e-6") {
  An4137Example e;
  e.inputs.vout = u"3.3";
  e.inputs.iout = u"2";
  e.inputs.vf = u"0.5";
  e.inputs.effi = u"70";
  e.inputs.duty = u"0.48";
  e.inputs.fs = u"66000";
  e.inputs.core = core;
  const std::pair<ReviewInput, std::u16string_view> texts[] = {
      {ReviewInput::VacMin, u"85"},        {ReviewInput::VacMax, u"265"},
      {ReviewInput::LineFrequency, u"60"}, {ReviewInput::BulkCapacitance, bulk},
      {ReviewInput::Mode, u"pwm-ccm"},     {ReviewInput::Ripple, u"0.33"},
      {ReviewInput::Outputs, outputs},     {ReviewInput::Bias, u"12,1.2"},
      {ReviewInput::SecondaryTurns, u"2"}, {ReviewInput::Leakage, u"4.5e-6"},
      {ReviewInput::ClampRatio, u"2.235"},
  };
  for (const auto& [input, text] : texts) {
    e.reviewInputs.text(input) = std::u16string(text);
  }
  return e;
}

// The same example as flyback-calc's options, on EER35 (the note's measured leakage and snubber
// left for the caller to add).
inline std::vector<std::string> an4137Arguments() {
  return {"--vac-min",
          "85",
          "--vac-max",
          "265",
          "--line-frequency",
          "60",
          "--bulk-capacitance",
          "150e-6",
          "--effi",
          "70",
          "--duty",
          "0.48",
          "--fs",
          "66000",
          "--vout",
          "3.3",
          "--iout",
          "2",
          "--vf",
          "0.5",
          "--mode",
          "pwm-ccm",
          "--ripple",
          "0.33",
          "--output",
          "5,2,0.5",
          "--output",
          "12,1.5,1.2",
          "--output",
          "18,0.5,1.2",
          "--output",
          "33,0.1,1.2",
          "--bias",
          "12,1.2",
          "--secondary-turns",
          "2",
          "--core",
          "EER35"};
}

}  // namespace fbc
