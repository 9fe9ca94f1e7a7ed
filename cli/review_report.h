#pragma once

#include <ostream>
#include <vector>

#include "cli/json_writer.h"
#include "review/circuit/mains_input.h"
#include "review/core_advice.h"
#include "review/losses.h"
#include "review/review.h"
#include "review/switch_stress.h"

namespace fbc {

// The review's members into the object `json` has open: every number of reviewQuantities as
// the shortest text that reads back as the same 64-bit double (Np and Ns as integers), then
// "flags" (the codes, in order) and "feasible".
void writeReviewMembers(JsonWriter& json, const DesignReview& review);

// The review as a JSON value: an object, or null for a review that could not be made.
void writeReviewJson(JsonWriter& json, const DesignReview* review);

// The losses' members into the object `json` has open: "material", then every number of
// lossQuantities in its order, in SI units: the layers as integers, RthMeasured as a Boolean,
// the rest as the shortest text that reads back as the same 64-bit double.
void writeLossesMembers(JsonWriter& json, const TransformerLosses& losses);

// The losses of a review as a JSON value: an object, or null where the review could not be
// made (the same rule as writeReviewJson) or its losses were not worked out.
void writeLossesJson(JsonWriter& json, const DesignReview* review);

// The stress's members into the object `json` has open: every number of stressQuantities in
// its order, in SI units, as the shortest text that reads back as the same 64-bit double;
// LlkEstimated as a Boolean, and null for the clamp's parts where no clamp is needed.
void writeStressMembers(JsonWriter& json, const SwitchStress& stress);

// The switch's stress of a review as a JSON value: an object, or null where the review could
// not be made (the same rule as writeReviewJson) or its stress was not worked out.
void writeStressJson(JsonWriter& json, const DesignReview* review);

// The review section of the text report: the numbers in the units an engineer reads them in,
// whether the transformer can be built, and each flag with a sentence.
void writeReviewText(std::ostream& out, const DesignReview& review);

// The losses section of the text report: the material, the core loss, each winding's
// resistance, AC factor, copper loss, layers and build, the total loss, the thermal resistance
// (measured or estimated), the temperature rise, the ambient and the core's temperature against
// `maxTemperature` [°C]. Says so where the losses were not worked out.
void writeLossesText(std::ostream& out, const TransformerLosses& losses, double maxTemperature);

// The switch and clamp section of the text report: the stress's numbers in the units an engineer
// reads them in, whether the leakage is estimated or measured, the clamp's parts to buy ("3900 Ω
// (E24)"), or that none are needed, and the switch's rating with the share of it allowed. Says
// so where the stress was not worked out. The frequency and peak current at the highest input
// are written outside pwm-critical `mode`, where they differ from the design point's.
void writeStressText(std::ostream& out, const SwitchStress& stress, DriveMode mode);

// The input the design was made from as a JSON object: "kind" ("dc" or "ac"), then VACmin,
// VACmax, fL, Cbulk, CbulkChosen and Dch (null for a DC input), VDCmin and VDCmax, in SI units.
void writeInputJson(JsonWriter& json, const InputSupply& supply);

// Every output as the review worked it out, the main one first, as a JSON array of objects
// (V, I, Vf, P, KL, turns, Vactual, errorPercent, IsPk, IsRms, VdRevMax), or null where the
// review could not be made; the bias winding as one such object, or null without one.
void writeOutputsJson(JsonWriter& json, const DesignReview* review);
void writeBiasJson(JsonWriter& json, const DesignReview* review);

// The input section of the text report: a DC input, or the mains with the bulk capacitor
// (given, or chosen by the rule of thumb) and its valley and peak.
void writeInputText(std::ostream& out, const InputSupply& supply);

// The outputs section of the text report, where there is more than the main output or a bias:
// one line per output with its turns, voltage from the whole turns, currents and diode
// voltage.
void writeOutputsText(std::ostream& out, const DesignReview& review);

// --advise: every catalogue core's review, the feasible ones first, as an aligned table with
// the recommendation beneath, or as {"recommended": name|null, "cores": [...]}.
void writeAdviceTable(std::ostream& out, const CoreAdvice& advice);
void writeAdviceJson(std::ostream& out, const CoreAdvice& advice);

}  // namespace fbc
