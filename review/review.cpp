#include "review/review.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

#include "design/result_texts.h"
#include "review/core_geometry.h"
#include "review/review_limits.h"

namespace fbc {

namespace {

bool positive(double v) { return std::isfinite(v) && v > 0.0; }

// The inputs describe a flyback the review's formulas apply to.
bool inDomain(double vin, double vout, double iout, double vf, double effi, double duty, double t,
              double ae, double aw, double fillAllowed, double acu, double bmax) {
  return positive(vin) && positive(vout) && positive(iout) && std::isfinite(vf) &&
         positive(vout + vf) && positive(effi) && positive(duty) && duty < 1.0 && positive(t) &&
         positive(ae) && positive(aw) && positive(fillAllowed) && positive(acu) && positive(bmax);
}

double wireDiameter(double area) { return std::sqrt(4.0 * area / std::numbers::pi); }

// The secondary winding's currents from the primary's ampere-turns with the whole turns.
void setWindingCurrents(DesignReview& r, double period, double outputSide) {
  const double duty = r.modeInputs.duty;
  r.IsPkWinding = r.n * r.Ipk;
  // The secondary conducts once the switch turns off.
  const double start = r.operation.primary.end;
  if (r.mode == DriveMode::PwmCcm) {
    const double high = r.IsPkWinding;
    const double low = r.n * (r.Ipk - r.operation.dI);
    r.IsRmsWinding = std::sqrt((high * high + high * low + low * low) / 3.0 * (1.0 - duty));
    r.secondaryWinding = {start, 1.0, high, low};
    return;
  }
  const double reset = r.LpRef * r.Ipk / (r.n * outputSide);
  r.IsRmsWinding = r.IsPkWinding * std::sqrt(std::min(1.0, reset / period) / 3.0);
  r.secondaryWinding = {start, std::min(1.0, start + reset / period), r.IsPkWinding, 0.0};
}

// The flux's volt-seconds at its peak and over its swing: Vin·D·T in the critical modes, written
// so to keep their numbers as they were; LpRef·Ipk and LpRef·ΔI where the current starts above
// zero or the on-time is not D·T.
double peakVoltSeconds(const DesignReview& r) {
  return criticalConduction(r.mode) ? r.modeInputs.vin * r.modeInputs.duty * r.modeInputs.period
                                    : r.operation.LpRef * r.operation.Ipk;
}

double swingVoltSeconds(const DesignReview& r) {
  return criticalConduction(r.mode) ? peakVoltSeconds(r) : r.operation.LpRef * r.operation.dI;
}

// The swing within the level's swing `bmax`, the peak within the near-saturation limit. In the
// critical modes the two are one and the level's swing lies below the limit, so NpMin is
// Vin·D·T / (Bmax·Ae) as it always was.
double fewestPrimaryTurns(const DesignReview& r, double bmax, double ae) {
  return std::max(swingVoltSeconds(r) / (bmax * ae),
                  peakVoltSeconds(r) / (kReviewLimits.nearSaturationFluxDensity * ae));
}

struct WholeTurns {
  double ns = 0;
  double np = 0;
};

// The fewest secondary turns whose primary turns ceil(nRef·Ns) hold the flux. In pwm-ccm and qr
// the whole turns' reflected voltage sets the duty the converter runs at, VRO / (Vin + VRO),
// and with it the operation: `r` is worked out again at that duty until the turns hold its
// flux too. Nothing where a count passes the cap.
std::optional<WholeTurns> wholeTurns(DesignReview& r, double bmax, double ae, double outputSide,
                                     std::optional<int> givenSecondary) {
  const double cap = kReviewLimits.turnCountCap;
  WholeTurns turns;
  turns.ns = givenSecondary ? static_cast<double>(*givenSecondary)
                            : std::max(1.0, std::ceil(r.NpMin / r.nRef));
  turns.np = std::ceil(r.nRef * turns.ns);
  if (givenSecondary && !criticalConduction(r.mode) && turns.ns <= cap && turns.np <= cap &&
      turns.np >= 1.0) {
    // The person's turns stand: the operation follows their duty, and the flags say whether
    // they hold the flux.
    const double vro = turns.np / turns.ns * outputSide;
    r.modeInputs.duty = vro / (r.modeInputs.vin + vro);
    r.operation = modeOperation(r.mode, r.modeInputs);
    r.NpMin = fewestPrimaryTurns(r, bmax, ae);
    return turns;
  }
  if (criticalConduction(r.mode) || givenSecondary) {
    return turns.ns <= cap && turns.np <= cap && turns.np >= 1.0 ? std::optional(turns)
                                                                 : std::nullopt;
  }
  // The duty rises with the turns' rounding, and the flux with it; each round adds turns, and
  // a few rounds settle every design (the rounding's share shrinks as the turns grow).
  constexpr int kRounds = 16;
  for (int round = 0; round < kRounds; ++round) {
    if (!(turns.ns <= cap && turns.np <= cap && turns.np >= 1.0)) {
      return std::nullopt;
    }
    const double vro = turns.np / turns.ns * outputSide;
    r.modeInputs.duty = vro / (r.modeInputs.vin + vro);
    r.operation = modeOperation(r.mode, r.modeInputs);
    r.NpMin = fewestPrimaryTurns(r, bmax, ae);
    const double needed = std::max(1.0, std::ceil(r.NpMin / r.nRef));
    if (needed <= turns.ns) {
      return turns;
    }
    turns.ns = needed;
    turns.np = std::ceil(r.nRef * turns.ns);
  }
  return std::nullopt;
}

// The outputs' equivalent current at the main output's voltage: the secondary ampere-turns
// of every output referred to the main winding, Σ Io·(Vo + VF)/(Vo1 + VF1).
double equivalentOutputCurrent(double vout, double iout, double vf,
                               const ReviewConditions& conditions) {
  double current = iout;
  for (const OutputTarget& o : conditions.outputs) {
    current += o.I * (o.V + o.Vf) / (vout + vf);
  }
  return current;
}

OutputResult outputResult(const OutputTarget& target, const OutputTarget& main, int turns, int ns1,
                          const DesignReview& r, double vinMax) {
  OutputResult o;
  o.V = target.V;
  o.I = target.I;
  o.Vf = target.Vf;
  o.P = target.V * target.I;
  o.KL = o.P / r.Pout;
  o.turns = turns;
  o.Vactual = (main.V + main.Vf) * turns / ns1 - target.Vf;
  o.errorPercent = (o.Vactual - target.V) / target.V * 100.0;
  const double share = o.KL * (main.V + main.Vf) / (target.V + target.Vf);
  o.IsPk = r.IsPkWinding * share;
  o.IsRms = r.IsRmsWinding * share;
  o.VdRevMax = target.V + vinMax * turns / r.Np;
  return o;
}

// Every output and the bias from the whole turns (AN-4137, eqs. 14, 18 and 20).
void setOutputs(DesignReview& r, const DesignState& s, const ReviewConditions& conditions) {
  const OutputTarget main{static_cast<double>(s.Vout), static_cast<double>(s.Iout),
                          static_cast<double>(s.Vf)};
  const double vinMax = conditions.vinMax.value_or(r.modeInputs.vin);
  OutputResult first = outputResult(main, main, r.Ns, r.Ns, r, vinMax);
  first.Vactual = main.V;
  first.errorPercent = 0.0;
  r.outputs.push_back(first);
  for (const OutputTarget& o : conditions.outputs) {
    r.outputs.push_back(outputResult(o, main, outputTurns(o, main, r.Ns), r.Ns, r, vinMax));
  }
  if (conditions.bias) {
    r.bias = outputResult(*conditions.bias, main, outputTurns(*conditions.bias, main, r.Ns), r.Ns,
                          r, vinMax);
  }
}

// The window share the copper needs with every output's winding at the current density: each
// carries its share of the secondary current (the bias too), where one output's carries all.
double outputsFill(const DesignReview& r, double aw) {
  double copper = r.Np * r.AcuP;
  const OutputResult& main = r.outputs.front();
  const auto add = [&](const OutputResult& o) {
    copper += o.turns * r.AcuS * o.KL * (main.V + main.Vf) / (o.V + o.Vf);
  };
  std::for_each(r.outputs.begin(), r.outputs.end(), add);
  if (r.bias) {
    add(*r.bias);
  }
  return copper / aw * 100.0;
}

bool outputVoltageOff(const DesignReview& r) {
  const auto off = [](const OutputResult& o) {
    return std::abs(o.errorPercent) > kOutputVoltageTolerance * 100.0;
  };
  return std::any_of(r.outputs.begin(), r.outputs.end(), off) || (r.bias && off(*r.bias));
}

bool outputsFinite(const DesignReview& r) {
  const auto finite = [](const OutputResult& o) {
    return std::isfinite(o.KL) && std::isfinite(o.Vactual) && std::isfinite(o.errorPercent) &&
           std::isfinite(o.IsPk) && std::isfinite(o.IsRms) && std::isfinite(o.VdRevMax);
  };
  return std::all_of(r.outputs.begin(), r.outputs.end(), finite) && (!r.bias || finite(*r.bias));
}

// The review chooses its wires within these limits; a wire the person gave is judged by them.
bool givenWireBeyondSkinDepth(const TransformerLosses& losses) {
  const double skinDepth = losses.skinDepth;
  return losses.valid &&
         std::any_of(losses.windings.begin(), losses.windings.end(),
                     [skinDepth](const WindingLoss& w) {
                       return !w.wireChosen &&
                              w.section.conductor > kReviewLimits.maxWireToSkinDepth * skinDepth;
                     });
}

bool givenWireOverloaded(const TransformerLosses& losses) {
  return losses.valid &&
         std::any_of(losses.windings.begin(), losses.windings.end(), [](const WindingLoss& w) {
           return !w.wireChosen && w.currentDensity > kReviewLimits.currentDensity * 1e6;
         });
}

// The flags of a valid review whose losses and stress are worked out, in kReviewFlags order.
void raiseFlags(DesignReview& r, const DesignState& s, const ReviewConditions& conditions) {
  const ReviewLimits& limits = kReviewLimits;
  const TransformerLosses& losses = r.losses;
  const SwitchStress& stress = r.stress;
  const double np = r.Np;

  const auto flagIf = [&r](bool condition, ReviewFlag flag) {
    if (condition) {
      r.flags.push_back(flag);
    }
  };
  flagIf(r.gapRatio > limits.maxGapRatio, ReviewFlag::GapTooLarge);
  flagIf(r.gap < limits.minGap, ReviewFlag::GapTooSmall);
  flagIf(r.Bpk > limits.nearSaturationFluxDensity, ReviewFlag::FluxNearSaturation);
  flagIf(r.fill > r.fillAllowed, ReviewFlag::WindowOverfull);
  flagIf(np > limits.maxPrimaryTurns, ReviewFlag::TurnsImpractical);
  flagIf(losses.valid && !losses.fits, ReviewFlag::LayersExceedBobbin);
  // Without a layout that fits, or past a runaway, there is no temperature to judge.
  flagIf(losses.valid && losses.temperatureKnown() && losses.Tcore > conditions.maxTemperature,
         ReviewFlag::TooHot);
  flagIf(stress.valid && stress.VdsMax > kSwitchDerating * stress.VdsRating,
         ReviewFlag::SwitchOvervoltage);
  flagIf(r.BpkAtLimit > r.Bsat, ReviewFlag::SaturatesAtCurrentLimit);
  flagIf(losses.valid && losses.fits && !losses.converged, ReviewFlag::ThermalRunaway);
  flagIf(givenWireBeyondSkinDepth(losses), ReviewFlag::WireBeyondSkinDepth);
  flagIf(copperVerdictRow(r.JrmsModel) > copperVerdictRow(s.Im), ReviewFlag::RmsVerdictWorse);
  flagIf(losses.valid && losses.lossDataExtrapolated, ReviewFlag::LossDataExtrapolated);
  flagIf(stress.valid && stress.leakageKnown && stress.Pclamp > kClampLossShare * r.Pout,
         ReviewFlag::ClampLossHigh);
  flagIf(givenWireOverloaded(losses), ReviewFlag::CurrentDensityHigh);
  flagIf(outputVoltageOff(r), ReviewFlag::OutputVoltageOff);
  flagIf(!r.isolation.fits, ReviewFlag::InsulationDoesNotFit);
  flagIf(r.isolation.insulation == Insulation::Functional, ReviewFlag::CreepageUnchecked);
  flagIf(losses.valid && !r.pins.enough, ReviewFlag::TooFewPins);
}

}  // namespace

double fringingFactor(double gap, double ae, double g) {
  if (!(g > 0.0) || !(gap > 0.0) || gap >= 2.0 * g) {
    return 1.0;
  }
  return 1.0 + gap / std::sqrt(ae) * std::log(2.0 * g / gap);
}

double fringedGap(double bare, double ae, double g) {
  if (!(g > 0.0) || !(bare > 0.0) || bare >= 2.0 * g) {
    return bare;
  }
  // h(x) = x − bare·F(x) is negative at bare and positive at 2G. Newton's steps from the middle
  // of what is left, each kept inside the bracket, halving it where a step would leave it.
  const double side = std::sqrt(ae);
  const auto h = [&](double x) { return x - bare * fringingFactor(x, ae, g); };
  double low = bare;
  double high = 2.0 * g;
  double x = bare * fringingFactor(bare, ae, g);
  for (int i = 0; i < 100; ++i) {
    if (!(x > low && x < high)) {
      x = 0.5 * (low + high);
    }
    const double hx = h(x);
    if (hx == 0.0) {
      return x;
    }
    (hx < 0.0 ? low : high) = x;
    const double slope = 1.0 - bare / side * (std::log(2.0 * g / x) - 1.0);
    const double next = slope > 0.0 ? x - hx / slope : 0.5 * (low + high);
    if (std::abs(next - x) <= 1e-15 * x || high - low <= 1e-15 * high) {
      return next > low && next < high ? next : x;
    }
    x = next;
  }
  return x;
}

double turnsToHoldCurrentLimit(double lp, double ilim, double bsat, double ae) {
  return lp * ilim / (bsat * ae);
}

std::string_view reviewFlagCode(ReviewFlag flag) {
  switch (flag) {
    case ReviewFlag::GapTooLarge:
      return "gap-too-large";
    case ReviewFlag::GapTooSmall:
      return "gap-too-small";
    case ReviewFlag::FluxNearSaturation:
      return "flux-near-saturation";
    case ReviewFlag::WindowOverfull:
      return "window-overfull";
    case ReviewFlag::TurnsImpractical:
      return "turns-impractical";
    case ReviewFlag::LayersExceedBobbin:
      return "layers-exceed-bobbin";
    case ReviewFlag::TooHot:
      return "too-hot";
    case ReviewFlag::SwitchOvervoltage:
      return "switch-overvoltage";
    case ReviewFlag::SaturatesAtCurrentLimit:
      return "saturates-at-current-limit";
    case ReviewFlag::ThermalRunaway:
      return "thermal-runaway";
    case ReviewFlag::WireBeyondSkinDepth:
      return "wire-beyond-skin-depth";
    case ReviewFlag::RmsVerdictWorse:
      return "rms-verdict-worse";
    case ReviewFlag::LossDataExtrapolated:
      return "loss-data-extrapolated";
    case ReviewFlag::ClampLossHigh:
      return "clamp-loss-high";
    case ReviewFlag::CurrentDensityHigh:
      return "current-density-high";
    case ReviewFlag::OutputVoltageOff:
      return "output-voltage-off";
    case ReviewFlag::InsulationDoesNotFit:
      return "insulation-does-not-fit";
    case ReviewFlag::CreepageUnchecked:
      return "creepage-unchecked";
    case ReviewFlag::TooFewPins:
      return "too-few-pins";
  }
  return "";
}

bool isBlockingFlag(ReviewFlag flag) {
  return flag != ReviewFlag::WireBeyondSkinDepth && flag != ReviewFlag::RmsVerdictWorse &&
         flag != ReviewFlag::LossDataExtrapolated && flag != ReviewFlag::ClampLossHigh &&
         flag != ReviewFlag::CurrentDensityHigh && flag != ReviewFlag::OutputVoltageOff &&
         flag != ReviewFlag::CreepageUnchecked && flag != ReviewFlag::TooFewPins;
}

double workingVoltage(const DesignState& state, const ReviewConditions& conditions) {
  if (conditions.workingVoltage) {
    return *conditions.workingVoltage;
  }
  if (conditions.mains) {
    return conditions.mains->vacMax;
  }
  return conditions.vinMax.value_or(static_cast<double>(state.Vin));
}

double outputPower(const DesignState& state, const ReviewConditions& conditions) {
  double power = static_cast<double>(state.Vout) * static_cast<double>(state.Iout);
  for (const OutputTarget& o : conditions.outputs) {
    power += o.V * o.I;
  }
  return power;
}

double secondaryCurrentShare(const DesignReview& review, Winding winding) {
  if (review.outputs.empty() || winding == Winding::Primary) {
    return 1.0;
  }
  const OutputResult& main = review.outputs.front();
  const auto share = [&main](const OutputResult& o) {
    return o.KL * (main.V + main.Vf) / (o.V + o.Vf);
  };
  if (winding == Winding::Bias) {
    return review.bias ? share(*review.bias) : 0.0;
  }
  const auto index =
      static_cast<std::size_t>(winding) - static_cast<std::size_t>(Winding::Secondary);
  return index < review.outputs.size() ? share(review.outputs[index]) : 0.0;
}

bool DesignReview::has(ReviewFlag flag) const {
  return std::find(flags.begin(), flags.end(), flag) != flags.end();
}

DesignReview reviewDesign(const DesignState& s, double bmax, const ReviewConditions& conditions) {
  const ReviewLimits& limits = kReviewLimits;
  const double vin = s.Vin;
  const double vout = s.Vout;
  const double iout = s.Iout;
  const double vf = s.Vf;
  const double eta = s.Effi;
  const double d = s.Duty;
  const double t = s.T;
  const double ae = s.Ae;
  const double aw = s.Aw;
  const double fillAllowed = s.Fill;
  const double acu = s.Acu;
  if (!inDomain(vin, vout, iout, vf, eta, d, t, ae, aw, fillAllowed, acu, bmax)) {
    return {};
  }

  DesignReview r;
  r.Pout = outputPower(s, conditions);
  r.Pin = r.Pout / eta;
  r.mode = conditions.mode;
  r.modeInputs = {vin,
                  d,
                  t,
                  r.Pin,
                  equivalentOutputCurrent(vout, iout, vf, conditions),
                  conditions.ripple,
                  conditions.drainCapacitance};
  r.operation = modeOperation(r.mode, r.modeInputs);
  r.nRef = vin * d / ((vout + vf) * (1.0 - d));
  r.NpMin = fewestPrimaryTurns(r, bmax, ae);

  // Whole turns in 64 bits first: the counts only become ints once they are known to fit.
  const std::optional<WholeTurns> turns =
      wholeTurns(r, bmax, ae, vout + vf, conditions.secondaryTurns);
  if (!turns) {
    return {};
  }
  r.Ns = static_cast<int>(turns->ns);
  r.Np = static_cast<int>(turns->np);
  r.n = turns->np / turns->ns;
  const double np = turns->np;
  const double ns = turns->ns;
  r.Ipk = r.operation.Ipk;
  r.IpRms = r.operation.IpRms;
  r.IsPk = r.operation.IsPk;
  r.IsRms = r.operation.IsRms;
  r.LpRef = r.operation.LpRef;
  r.Bpk = peakVoltSeconds(r) / (np * ae);
  r.Bsat =
      conditions.material != nullptr ? conditions.material->bsat100 : limits.saturationFluxDensity;
  r.Isat = r.Bsat * np * ae / r.LpRef;
  r.currentLimitGiven = conditions.currentLimit.has_value();
  r.Ilim = conditions.currentLimit.value_or(limits.currentLimitRatio * r.Ipk);
  r.BpkAtLimit = r.Bpk * r.Ilim / r.Ipk;
  r.AL = r.LpRef / (np * np);
  r.gapNoFringing = limits.vacuumPermeability * np * np * ae / r.LpRef;
  const CoreGeometry* core = coreGeometryFor(s);
  r.gapWindowHeight = core != nullptr ? core->bw : 0.0;
  r.gap = fringedGap(r.gapNoFringing, ae, r.gapWindowHeight);
  r.fringingFactor = fringingFactor(r.gap, ae, r.gapWindowHeight);
  r.gapRatio = r.gap / std::sqrt(ae);

  r.AcuP = r.IpRms / limits.currentDensity;
  r.AcuS = r.IsRms / limits.currentDensity;
  r.dP = wireDiameter(r.AcuP);
  r.dS = wireDiameter(r.AcuS);
  r.skinDepth = limits.skinDepthCoefficient / std::sqrt(1.0 / t);
  r.fill = (np * r.AcuP + ns * r.AcuS) / aw * 100.0;
  r.fillAllowed = fillAllowed;
  r.JrmsModel = r.IpRms / (acu * fillAllowed / 100.0);
  r.Vds = vin + r.n * (vout + vf);
  r.Vr = vout + vin / r.n;

  for (const ReviewQuantity& q : reviewQuantities(r)) {
    if (!std::isfinite(q.value)) {
      return {};
    }
  }
  for (const ModeQuantity& q : modeQuantities(r.operation.figures)) {
    if (q.value && !std::isfinite(*q.value)) {
      return {};
    }
  }
  setWindingCurrents(r, t, vout + vf);
  if (!std::isfinite(r.IsPkWinding) || !std::isfinite(r.IsRmsWinding)) {
    return {};
  }
  setOutputs(r, s, conditions);
  if (r.outputs.size() > 1 || r.bias) {
    r.fill = outputsFill(r, aw);
  }
  if (!outputsFinite(r) || !std::isfinite(r.fill)) {
    return {};
  }
  r.isolation = isolationFor(conditions.insulationOrDefault(), conditions.construction,
                             workingVoltage(s, conditions), conditions.workingVoltage.has_value(),
                             core != nullptr ? core->bw : 0.0);
  if (core != nullptr) {
    r.valid = true;  // the losses are worked out for a valid review only
    r.losses = transformerLosses(s, r, *core, conditions);
    if (!r.losses.valid) {
      return {};
    }
    r.pins = assignPins(r.losses.stack, r.losses.arrangement, conditions.pins);
  }
  r.valid = true;
  r.stress = switchStress(s, r, conditions);
  raiseFlags(r, s, conditions);
  r.feasible = std::none_of(r.flags.begin(), r.flags.end(), isBlockingFlag);
  return r;
}

std::array<ReviewQuantity, kReviewQuantityCount> reviewQuantities(const DesignReview& r) {
  return {{
      {"Pin", r.Pin, "W"},
      {"Ipk", r.Ipk, "A"},
      {"IpRms", r.IpRms, "A"},
      {"IsPk", r.IsPk, "A"},
      {"IsRms", r.IsRms, "A"},
      {"LpRef", r.LpRef, "H"},
      {"nRef", r.nRef, ""},
      {"NpMin", r.NpMin, "turns"},
      {"Ns", static_cast<double>(r.Ns), "turns", true},
      {"Np", static_cast<double>(r.Np), "turns", true},
      {"n", r.n, ""},
      {"Bpk", r.Bpk, "T"},
      {"Isat", r.Isat, "A"},
      {"AL", r.AL, "H"},
      {"gap", r.gap, "m"},
      {"gapRatio", r.gapRatio, ""},
      {"AcuP", r.AcuP, "mm2"},
      {"AcuS", r.AcuS, "mm2"},
      {"dP", r.dP, "mm"},
      {"dS", r.dS, "mm"},
      {"skinDepth", r.skinDepth, "mm"},
      {"fill", r.fill, "%"},
      {"fillAllowed", r.fillAllowed, "%"},
      {"JrmsModel", r.JrmsModel, "A/mm2"},
      {"Vds", r.Vds, "V"},
      {"Vr", r.Vr, "V"},
      {"Ilim", r.Ilim, "A"},
      {"BpkAtLimit", r.BpkAtLimit, "T"},
      {"Bsat", r.Bsat, "T"},
      {"gapNoFringing", r.gapNoFringing, "m"},
      {"fringingFactor", r.fringingFactor, ""},
      {"gapWindowHeight", r.gapWindowHeight, "m"},
  }};
}

}  // namespace fbc
