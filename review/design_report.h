#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "design/calculation.h"
#include "design/core_catalogue.h"
#include "design/design_inputs.h"
#include "design/design_state.h"
#include "design/result_texts.h"
#include "review/circuit/mains_input.h"
#include "review/review.h"
#include "review/review_inputs.h"
#include "waveform/scales.h"

namespace fbc {

// Input the design cannot be made from: a text that is not a number, an efficiency or duty
// ratio that stops the calculation, a core that is not in the catalogue. The message is one
// line naming the option, the value given and the reason, without the program name.
class InputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One completed design: the input texts after the limit rules, the design state and the
// captions the window would show for it, the waveform scales included unless Lp is 0 (the
// window then draws no waveforms and sets no scale captions).
struct DesignReport {
  DesignInputs inputs;
  DesignState state;
  ResultTexts texts;
  std::optional<WaveformScales> scales;
  // The conditions the review's losses and temperature were worked out in, as typed and as read.
  ReviewInputs reviewInputs;
  ReviewConditions conditions;
  // The input the design was made from: a fixed DC input, or the mains with its bulk
  // capacitor, whose valley became the design's input voltage and whose peak the highest input.
  InputSupply supply;
  // The engineering review at the level's flux swing (none without a level).
  std::optional<DesignReview> review;
};

// Applies the window's limit rules to the five limited inputs, in the order vin, vout, iout,
// fs, vf, replacing out-of-range texts as the window does. Returns one warning per replaced
// value ("--fs 2 is outside the limits; using 10000"). Throws InputError for a text that is
// not a number. `prefix` goes before each input's key in the messages: "--" names the options,
// "" the batch columns.
std::vector<std::string> applyLimitRules(DesignInputs& inputs, std::string_view prefix = "--");

// Runs the calculation on a fresh design state and forms the captions. With a mains input
// among the review's conditions, the design is made at the bulk capacitor's valley: the Vin
// text becomes valleyInputText(VDCmin) and the highest input VDCmax; a capacitor that cannot
// hold the input up to the lowest input a design takes throws InputError saying the least
// that would. Throws InputError
// when the calculation stops, naming the input to blame and the quantity it could not
// compute; `prefix` as for applyLimitRules. The review runs in the conditions `reviewInputs`
// give; an input among them that cannot be used throws InputError naming it. flyback-calc and
// its helper flyback-export both design through here, so a picture always shows the design the
// report describes.
DesignReport designFor(const DesignInputs& inputs, const CoreCatalogue& catalogue,
                       std::string_view prefix = "--", const ReviewInputs& reviewInputs = {});

// The conditions `inputs` give; throws InputError naming the first that cannot be used, its
// text and why ("--ambient 300: must lie between -40 and 125"). `prefix` as for
// applyLimitRules. With `designVin`, the design's input voltage, a highest input below it is
// refused too.
// Throws InputError, naming the option (or the batch column without `prefix`) and its text,
// where the current limit lies below half the peak current of a valid `review`.
void refuseCurrentLimit(const DesignReview& review, const ReviewConditions& conditions,
                        const ReviewInputs& inputs, std::string_view prefix);

ReviewConditions reviewConditionsFor(const ReviewInputs& inputs, std::string_view prefix = "--",
                                     std::optional<double> designVin = std::nullopt);

// The design's inputs with the supply `reviewInputs` give: with a mains input the Vin text
// becomes valleyInputText(VDCmin) (the design is calculated once to learn the outputs' power);
// a DC input's inputs stay as they are and its VDCmin and VDCmax are left for designFor. Throws
// InputError as designFor does.
struct SuppliedInputs {
  DesignInputs inputs;
  InputSupply supply;
};
SuppliedInputs suppliedInputs(const DesignInputs& inputs, const CoreCatalogue& catalogue,
                              const ReviewInputs& reviewInputs, std::string_view prefix = "--");

// The conditions for a design from `supply`: with a mains input the highest input is VDCmax.
void applySupply(ReviewConditions& conditions, const InputSupply& supply);

// Whether `reviewInputs` give a mains input (its lowest voltage is typed).
bool mainsGiven(const ReviewInputs& reviewInputs);

// Throws InputError where the design's input voltage was given (`vinGiven`) beside a mains
// input among `reviewInputs`, whose valley is the design's input: "--vin 141: not with a mains
// input (--vac-min 85): the design is made at the bulk capacitor's valley". `prefix` as for
// applyLimitRules.
void refuseInputVoltageWithMains(const DesignInputs& inputs, bool vinGiven,
                                 const ReviewInputs& reviewInputs, std::string_view prefix);

// The input voltage the calculation would take from `inputs` after the limit rules: the Vin
// text as a 32-bit value, or nothing for a text that is not a number.
std::optional<double> designInputVoltage(const DesignInputs& inputs);

}  // namespace fbc
