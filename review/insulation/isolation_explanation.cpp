#include "review/insulation/isolation_explanation.h"

#include "platform/number_text.h"
#include "platform/text.h"
#include "review/design_explanation.h"

namespace fbc {

namespace {

std::string text(double value) { return toUtf8(generalText(value)); }

ExplainedStep step(std::string quantity, std::string formula, std::string operands, double result,
                   std::string unit, std::string note = {}) {
  return {"I",          std::move(quantity), std::move(formula), std::move(operands),
          text(result), std::move(unit),     std::move(note)};
}

}  // namespace

std::vector<ExplainedStep> isolationSteps(const Isolation& iso) {
  std::vector<ExplainedStep> steps;
  const std::string vw = text(iso.workingVoltage);
  steps.push_back(step("Vw", {}, vw, iso.workingVoltage, "V",
                       iso.workingVoltageGiven ? "given: a measured value governs"
                                               : "the highest mains RMS or DC input"));
  if (iso.insulation != Insulation::Functional && iso.creepage) {
    const double basic = basicCreepage(iso.workingVoltage);
    steps.push_back(step("creepageBasic", "Table17(Vw), up to 0.1 mm", "Table17(" + vw + ")", basic,
                         "m", "PD2, material group IIIa/IIIb, linear between rows"));
    if (iso.insulation == Insulation::Reinforced) {
      steps.push_back(step("creepage", "2 * creepageBasic", "2 * " + text(basic), *iso.creepage,
                           "m", "reinforced"));
    }
    steps.push_back(step("Vtransient", "category II (Vw)", "category II (" + vw + ")",
                         iso.transient, "V", "IEC 60664-1 Table F.1"));
    steps.push_back(step("clearance", "Table14(Vtransient)", "Table14(" + text(iso.transient) + ")",
                         iso.clearance.value_or(0.0), "m", "PD2, up to 2000 m"));
    steps.push_back(
        step("hipotPeak",
             iso.insulation == Insulation::Reinforced ? "next step (Vtransient)" : "Vtransient",
             text(iso.transient), iso.hipotPeak.value_or(0.0), "V",
             "peak or DC; or " + text(iso.hipotAC.value_or(0.0)) + " V RMS for " +
                 text(iso.hipotSeconds) + " s"));
  }
  if (iso.construction == Construction::Margin && iso.creepage) {
    steps.push_back(step("margin", "creepage / 2, up to 0.1 mm", text(*iso.creepage) + " / 2",
                         iso.margin, "m", "at each end"));
  }
  steps.push_back(step("bwWinding", "bw - 2 * margin",
                       text(iso.bobbinBreadth) + " - 2 * " + text(iso.margin), iso.windingBreadth,
                       "m", iso.fits ? "every layout figure uses it" : "less than a third of bw"));
  steps.push_back(step("tape", "tapeLayersPS * tapeLayer",
                       std::to_string(iso.tapeLayersPS) + " * " + text(iso.tapeLayer), iso.tape(),
                       "m"));
  return steps;
}

std::string isolationNote(const Isolation& iso) {
  std::string note = std::string(insulationCode(iso.insulation)) + " insulation, " +
                     std::string(constructionCode(iso.construction)) + " construction";
  if (iso.insulation == Insulation::Functional) {
    return note + "; no safety barrier is designed";
  }
  return note +
         "; IEC 62368-1 at pollution degree 2, material group IIIa/IIIb, up to 2000 m "
         "(see docs/engineering-review.md)";
}

}  // namespace fbc
