#include "review/loss_formulas.h"

#include <cctype>
#include <cmath>
#include <numbers>
#include <utility>

#include "design/design_state_members.h"
#include "platform/number_text.h"
#include "platform/text.h"
#include "review/losses.h"
#include "review/review_limits.h"
#include "review/windings/winding.h"

namespace fbc {

using Case = LossFormulaCase;

const std::array<LossFormula, 35> kLossFormulas{{
    // The core loss: the iGSE for the flyback's triangular flux at Tref, at the input that runs
    // hotter.
    {"fs", "1 / T", "Hz", false, Case::AtDesignInput},
    {"fs", "fsHigh", "Hz", false, Case::AtHighestInput},
    {"dB", "", "T"},
    {"rise", "", ""},
    {"fall", "", ""},
    {"ki", "k / (2 ^ (beta + 1) * pi ^ (alpha - 1) * (0.2761 + 1.7061 / (alpha + 1.354)))", ""},
    {"Pv",
     "ki * fs ^ alpha * dB ^ beta * (rise ^ (1 - alpha) + fall ^ (1 - alpha)) * "
     "(ct0 - ct1 * Tref + ct2 * Tref ^ 2)",
     "W/m3"},
    {"Pcore", "Pv * Ve", "W"},
    // The copper at Tref.
    {"rhoT", "rho20 * (1 + alphaCu * (Tref - 20))", "ohm m"},
    {"delta", "sqrt(rhoT / (pi * mu0 * fs))", "m"},
    // Each winding's wire laid across the bobbin's breadth, then its resistance and loss.
    {"nStrands@", "", "", true, Case::Always, true},
    {"dStrand@", "", "m", true},
    {"dO@", "", "m", true},
    {"tpl@", "max(1, floor(bw / dO@))", "turns", true, Case::RoundConductors, true},
    {"tpl@", "1", "turns", true, Case::Foil, true},
    {"layers@", "ceil(N# / tpl@)", "", true, Case::Whole, true},
    {"layers@", "ceil(ceil(N# / 2) / tpl@) + ceil(floor(N# / 2) / tpl@)", "", true, Case::Split,
     true},
    {"build@", "layers@ * dO@", "m", true},
    {"porosity@", "min(1, sqrt(pi / 4) * dStrand@ * sqrt(nStrands@) * tpl@ / bw)", "", true,
     Case::RoundConductors},
    {"phi@", "sqrt(pi / 4) * dStrand@ / delta * sqrt(porosity@)", "", true, Case::RoundConductors},
    {"phi@", "dStrand@ / delta", "", true, Case::Foil},
    {"M@", "layers@ * sqrt(nStrands@)", "", true},
    {"w@", "2 / 3 * (M@ ^ 2 - 1)", "", true, Case::Whole},
    {"w@", "", "", true, Case::Split},
    {"Acu@", "", "m2", true},
    {"Rdc@", "rhoT * N# * MLT / Acu@ * kDC@", "ohm", true},
    {"Fr@", "", "", true},
    {"Pcu@", "Irms@ ^ 2 * Rdc@ * Fr@", "W", true},
    // The whole transformer.
    {"Ptotal", "Pcore + PcuP + PcuS", "W"},
    {"buildTotal", "buildP + buildS + tape", "m", false, Case::Ps},
    {"buildTotal", "buildP + buildS + 2 * tape", "m", false, Case::Psp},
    {"Rth", "", "K/W", false, Case::MeasuredRth},
    {"Rth", "53 * (Ve * 1e6) ^ -0.54", "K/W", false, Case::EstimatedRth},
    {"dT", "Ptotal * Rth", "K"},
    {"Tcore", "Tambient + dT", "degC"},
}};

namespace {

using Operand = double (*)(const LossContext&);

const TransformerLosses& losses(const LossContext& c) { return c.review->losses; }
double fs(const LossContext& c) { return losses(c).lossFs; }

double rhoT(const LossContext& c) { return copperResistivity(losses(c).lossTemperature); }

// The names that stand for one number of the design.
constexpr std::array<std::pair<std::string_view, Operand>, 31> kOperands{{
    {"fs", fs},
    {"fsHigh", [](const LossContext& c) { return c.review->stress.fsHigh; }},
    {"dB", [](const LossContext& c) { return losses(c).lossSwing; }},
    {"rise", [](const LossContext& c) { return losses(c).lossRise; }},
    {"fall", [](const LossContext& c) { return losses(c).lossFall; }},
    {"ki", [](const LossContext& c) { return igseCoefficient(*c.band.band); }},
    {"k", [](const LossContext& c) { return c.band.band->k; }},
    {"alpha", [](const LossContext& c) { return c.band.band->alpha; }},
    {"beta", [](const LossContext& c) { return c.band.band->beta; }},
    {"ct0", [](const LossContext& c) { return c.band.band->ct0; }},
    {"ct1", [](const LossContext& c) { return c.band.band->ct1; }},
    {"ct2", [](const LossContext& c) { return c.band.band->ct2; }},
    {"Tref", [](const LossContext& c) { return losses(c).lossTemperature; }},
    {"Pv", [](const LossContext& c) { return losses(c).Pv; }},
    {"Pcore", [](const LossContext& c) { return losses(c).Pcore; }},
    {"rho20", [](const LossContext&) { return kCopperResistivity20; }},
    {"alphaCu", [](const LossContext&) { return kCopperTemperatureCoefficient; }},
    {"rhoT", rhoT},
    // As the losses work it out: the copper's skin depth at Tref and fs.
    {"delta",
     [](const LossContext& c) {
       return std::sqrt(rhoT(c) / (std::numbers::pi * kReviewLimits.vacuumPermeability * fs(c)));
     }},
    {"Ptotal", [](const LossContext& c) { return losses(c).Ptotal; }},
    {"buildTotal", [](const LossContext& c) { return losses(c).buildTotal; }},
    {"tape", [](const LossContext& c) { return c.review->isolation.tape(); }},
    {"Rth", [](const LossContext& c) { return losses(c).Rth; }},
    {"dT", [](const LossContext& c) { return losses(c).dT; }},
    {"Tambient", [](const LossContext& c) { return losses(c).Tambient; }},
    {"Tcore", [](const LossContext& c) { return losses(c).Tcore; }},
    {"temperatureIterations",
     [](const LossContext& c) { return static_cast<double>(losses(c).temperatureIterations); }},
    {"Ve", [](const LossContext& c) { return c.core->Ve; }},
    {"MLT", [](const LossContext& c) { return c.core->MLT; }},
    {"bw", [](const LossContext& c) { return c.core->bw; }},
    {"hw", [](const LossContext& c) { return c.core->hw; }},
}};

using WindingOperand = double (*)(const WindingLoss&);

// The names a winding's suffix follows.
constexpr std::array<std::pair<std::string_view, WindingOperand>, 16> kWindingOperands{{
    {"nStrands", [](const WindingLoss& w) { return static_cast<double>(w.wire.strands); }},
    {"dStrand", [](const WindingLoss& w) { return w.section.conductor; }},
    {"dO", [](const WindingLoss& w) { return w.layout.outerDiameter; }},
    {"tpl", [](const WindingLoss& w) { return static_cast<double>(w.layout.turnsPerLayer); }},
    {"layers", [](const WindingLoss& w) { return static_cast<double>(w.layout.layers); }},
    {"build", [](const WindingLoss& w) { return w.layout.build; }},
    {"porosity", [](const WindingLoss& w) { return w.porosity; }},
    {"phi", [](const WindingLoss& w) { return w.phi; }},
    {"M", [](const WindingLoss& w) { return w.strandLayers; }},
    {"w", [](const WindingLoss& w) { return w.weight; }},
    {"Acu", [](const WindingLoss& w) { return w.section.copperArea; }},
    {"kDC", [](const WindingLoss& w) { return w.section.resistanceFactor; }},
    {"Irms", [](const WindingLoss& w) { return w.Irms; }},
    {"Rdc", [](const WindingLoss& w) { return w.Rdc; }},
    {"Fr", [](const WindingLoss& w) { return w.Fr; }},
    {"Pcu", [](const WindingLoss& w) { return w.Pcu; }},
}};

std::optional<double> windingOperand(std::string_view name, const LossContext& c) {
  for (const WindingLoss& w : losses(c).windings) {
    const std::string_view suffix = windingSuffix(w.winding);
    if (!name.ends_with(suffix)) {
      continue;
    }
    const std::string_view base = name.substr(0, name.size() - suffix.size());
    for (const auto& [operand, value] : kWindingOperands) {
      if (operand == base) {
        return value(w);
      }
    }
  }
  return std::nullopt;
}

// The names the review and the design state give.
std::optional<double> designOperand(std::string_view name, const LossContext& c) {
  for (const ReviewQuantity& q : reviewQuantities(*c.review)) {
    if (q.name == name) {
      return q.value;
    }
  }
  if (name == "pi") {
    return std::numbers::pi;
  }
  if (name == "mu0") {
    return kReviewLimits.vacuumPermeability;
  }
  if (const StateMember* member = stateMember(name)) {
    return static_cast<double>(c.state->*member->member);
  }
  return std::nullopt;
}

bool applies(LossFormulaCase when, const LossContext& c, const WindingLoss* winding) {
  switch (when) {
    case Case::Always:
      return true;
    case Case::RoundConductors:
      return winding != nullptr && winding->wire.kind != WireKind::Foil;
    case Case::Foil:
      return winding != nullptr && winding->wire.kind == WireKind::Foil;
    case Case::Whole:
      return winding != nullptr && winding->innerTurns == winding->turns;
    case Case::Split:
      return winding != nullptr && winding->innerTurns != winding->turns;
    case Case::Ps:
      return losses(c).arrangement == WindingArrangement::Ps;
    case Case::Psp:
      return losses(c).arrangement == WindingArrangement::Psp;
    case Case::MeasuredRth:
      return losses(c).RthMeasured;
    case Case::EstimatedRth:
      return !losses(c).RthMeasured;
    case Case::AtDesignInput:
      return losses(c).lossesAt == LossPoint::Design;
    case Case::AtHighestInput:
      return losses(c).lossesAt == LossPoint::VinMax;
  }
  return false;
}

// The text with '@' and '#' replaced by the winding's suffix in its own and in lower case.
std::string forWinding(std::string_view text, const WindingLoss* winding) {
  std::string out;
  const std::string_view suffix = winding != nullptr ? windingSuffix(winding->winding) : "";
  for (char ch : text) {
    if (ch == '@') {
      out += suffix;
    } else if (ch == '#') {
      for (char s : suffix) {
        out += static_cast<char>(std::tolower(static_cast<unsigned char>(s)));
      }
    } else {
      out += ch;
    }
  }
  return out;
}

std::string numberText(double value) { return toUtf8(generalText(value)); }

// Where a value without a formula comes from.
std::string takenSource(std::string_view name, const LossContext& c, const WindingLoss* winding) {
  if (winding != nullptr &&
      (name.starts_with("nStrands") || name.starts_with("dStrand") || name.starts_with("Acu"))) {
    return std::string(winding->wireChosen ? "chosen wire " : "given wire ") +
           wireText(winding->wire);
  }
  if (winding != nullptr && name.starts_with("dO")) {
    switch (winding->wire.kind) {
      case WireKind::Round:
        return "IEC 60317 grade 1, largest overall diameter";
      case WireKind::Strands:
        return "grade 1 strands packed at 70 %: dO1 * sqrt(nStrands / 0.7)";
      case WireKind::Litz:
        return "IEC 60317-11 packing: " + numberText(litzPackingFactor(winding->wire.strands)) +
               " * sqrt(nStrands) * grade 1 strand";
      case WireKind::Foil:
        return "thickness with the film between turns";
    }
  }
  if (winding != nullptr && name.starts_with("w")) {
    return "inner half under the outer half's ampere-turns, " +
           std::to_string(winding->innerTurns) + " + " +
           std::to_string(winding->turns - winding->innerTurns) + " turns";
  }
  if (name.starts_with("Fr") && winding != nullptr) {
    return "Dowell layer by layer over the current's harmonics (phi = " + numberText(winding->phi) +
           ", w = " + numberText(winding->weight) + ")";
  }
  if (name == "Rth") {
    return "measured for " + toUtf8(c.core->name);
  }
  const bool high = losses(c).lossesAt == LossPoint::VinMax;
  if (name == "dB") {
    return std::string("the flux's swing LpRef * dI / (Np * Ae) at the ") +
           (high ? "highest" : "design") + " input";
  }
  if (name == "rise") {
    return "the share of the period the switch is on";
  }
  if (name == "fall") {
    return "the share of the period the secondary conducts";
  }
  return {};
}

std::string noteFor(std::string_view name, const LossContext& c) {
  if (name == "Rth" && !losses(c).RthMeasured) {
    return "estimated, Maniktala";
  }
  if (name == "buildTotal") {
    return "bobbin hw = " + numberText(c.core->hw) + " m";
  }
  return {};
}

void addStep(std::vector<LossStep>& steps, const LossFormula& row, const LossContext& c,
             const WindingLoss* winding) {
  if (!applies(row.when, c, winding)) {
    return;
  }
  LossStep step;
  step.name = forWinding(row.name, winding);
  step.formula = forWinding(row.formula, winding);
  step.unit = row.unit;
  step.whole = row.whole;
  step.value = lossOperand(step.name, c).value_or(0.0);
  if (step.formula.empty()) {
    step.source = takenSource(step.name, c, winding);
  }
  step.note = noteFor(step.name, c);
  step.notEstimated = !losses(c).temperatureKnown() &&
                      (step.name.starts_with("Fr") || step.name.starts_with("Pcu") ||
                       step.name == "Ptotal" || step.name == "dT" || step.name == "Tcore");
  steps.push_back(std::move(step));
}

}  // namespace

std::optional<LossContext> lossContext(const DesignState& state, const DesignReview& review) {
  if (!review.valid || !review.losses.valid) {
    return std::nullopt;
  }
  const CoreGeometry* core = coreGeometryFor(state);
  const FerriteMaterial* material = ferriteMaterial(review.losses.material);
  if (core == nullptr || material == nullptr) {
    return std::nullopt;
  }
  LossContext context{&state, &review, core, {}};
  context.band = steinmetzBand(*material, fs(context));
  return context;
}

std::optional<double> lossOperand(std::string_view name, const LossContext& context) {
  for (const auto& [operand, value] : kOperands) {
    if (operand == name) {
      return value(context);
    }
  }
  if (const std::optional<double> value = windingOperand(name, context)) {
    return value;
  }
  return designOperand(name, context);
}

std::vector<LossStep> lossSteps(const LossContext& context) {
  std::vector<LossStep> steps;
  const std::vector<WindingLoss>& windings = losses(context).windings;
  for (std::size_t i = 0; i < kLossFormulas.size();) {
    if (!kLossFormulas[i].perWinding) {
      addStep(steps, kLossFormulas[i++], context, nullptr);
      continue;
    }
    // A block of per-winding rows is written whole for one winding, then for the next.
    std::size_t end = i;
    while (end < kLossFormulas.size() && kLossFormulas[end].perWinding) {
      ++end;
    }
    for (const WindingLoss& winding : windings) {
      for (std::size_t row = i; row < end; ++row) {
        addStep(steps, kLossFormulas[row], context, &winding);
      }
    }
    i = end;
  }
  return steps;
}

}  // namespace fbc
