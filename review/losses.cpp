#include "review/losses.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "review/drive_mode.h"
#include "review/ferrite_material.h"
#include "review/review.h"
#include "review/review_limits.h"

namespace fbc {

namespace {

constexpr double kPi = std::numbers::pi;

// The peak-to-peak flux swing: from zero to Bpk where the current starts from zero each period,
// LpRef·ΔI / (Np·Ae) where it does not.
double fluxSwing(const DesignState& state, const DesignReview& review) {
  if (review.operation.dI == review.Ipk) {
    return review.Bpk;
  }
  return review.LpRef * review.operation.dI / (review.Np * static_cast<double>(state.Ae));
}

// One input's operation as the losses need it: the frequency, the flux's swing and the shares of
// the period it rises and falls over, and the windings' currents.
struct OperatingPoint {
  LossPoint point = LossPoint::Design;
  double fs = 0;     // Hz
  double swing = 0;  // T, peak to peak
  double rise = 0;
  double fall = 0;
  std::array<CurrentSegment, 1> primary{};
  std::array<CurrentSegment, 1> secondary{};
};

OperatingPoint designPoint(const DesignState& state, const DesignReview& review) {
  return {LossPoint::Design,        1.0 / review.modeInputs.period, fluxSwing(state, review),
          review.operation.rise,    review.operation.fall,          {review.operation.primary},
          {review.secondaryWinding}};
}

// The operation at the highest input, with the design's LpRef: continuous in pwm-ccm up to
// VinCcmLimit, the primary's current rising by ΔI = VinMax·D / (LpRef·fs) to IpkHigh and the
// secondary's falling from n·IpkHigh to n·(IpkHigh − ΔI) over the rest of the period;
// discontinuous or critical otherwise, the primary's current rising from zero and the
// secondary's falling to zero over the reset LpRef·IpkHigh / VRO. Nothing where the highest
// input is the design's.
std::optional<OperatingPoint> highLinePoint(const DesignState& state, const DesignReview& review,
                                            const ReviewConditions& conditions) {
  const double vin = review.modeInputs.vin;
  const double vinMax = std::max(vin, conditions.vinMax.value_or(vin));
  if (!(vinMax > vin)) {
    return std::nullopt;
  }
  const double vro = review.n * (static_cast<double>(state.Vout) + static_cast<double>(state.Vf));
  const HighLine high = highLine(review.mode, review.modeInputs, review.operation, vinMax, vro);
  const std::optional<double> ccmLimit = review.operation.figures.VinCcmLimit;
  const bool continuous = review.mode == DriveMode::PwmCcm && (!ccmLimit || vinMax <= *ccmLimit);
  const double lp = review.LpRef;
  const double d = high.duty;
  OperatingPoint p;
  p.point = LossPoint::VinMax;
  p.fs = high.fs;
  p.rise = d;
  const double dI = continuous ? vinMax * d / (lp * high.fs) : high.Ipk;
  const double low = high.Ipk - dI;
  p.swing = lp * dI / (review.Np * static_cast<double>(state.Ae));
  p.primary = {CurrentSegment{0.0, d, low, high.Ipk}};
  const double end = continuous ? 1.0 : std::min(1.0, d + lp * high.Ipk / vro * high.fs);
  p.fall = end - d;
  p.secondary = {CurrentSegment{d, end, review.n * high.Ipk, review.n * low}};
  return p;
}

// A winding's current: the primary's, or the secondary shape scaled to the winding's share.
std::array<CurrentSegment, 1> windingCurrent(const OperatingPoint& p, const DesignReview& review,
                                             Winding winding) {
  if (winding == Winding::Primary) {
    return p.primary;
  }
  const double share = secondaryCurrentShare(review, winding);
  CurrentSegment segment = p.secondary[0];
  segment.from *= share;
  segment.to *= share;
  return {segment};
}

// One point's losses at any temperature from the windings laid at the reference: the core's
// temperature bracket and the copper's resistivity with its skin depth are taken at T.
class PointLosses {
 public:
  PointLosses(const OperatingPoint& p, const FerriteMaterial& material, double ve,
              const WindingDesign& laid, double layFs, const DesignReview& review)
      : fs_(p.fs), layFs_(layFs) {
    const BandChoice choice = steinmetzBand(material, p.fs);
    band_ = choice.band;
    extrapolated_ = choice.extrapolated;
    pvReference_ =
        igseTriangularLoss(*band_, p.fs, p.swing, p.rise, p.fall, kLossReferenceTemperature);
    bracketReference_ = steinmetzTemperatureFactor(*band_, kLossReferenceTemperature);
    ve_ = ve;
    laid_ = laid.windings;
    spectra_.reserve(laid_.size());
    for (const WindingLoss& w : laid_) {
      spectra_.emplace_back(windingCurrent(p, review, w.winding));
    }
  }

  bool extrapolated() const { return extrapolated_; }

  double pv(double celsius) const {
    return pvReference_ * steinmetzTemperatureFactor(*band_, celsius) / bracketReference_;
  }

  // The windings' losses at T, in the order they were laid.
  std::vector<WindingLoss> windings(double celsius) const {
    std::vector<WindingLoss> out;
    out.reserve(laid_.size());
    const Scales s = scales(celsius);
    for (std::size_t k = 0; k < laid_.size(); ++k) {
      out.push_back(laidWindingLoss(laid_[k], spectra_[k], s.resistivity, s.skinDepth));
    }
    return out;
  }

  // Core and copper loss at T [W].
  double total(double celsius) const {
    double p = pv(celsius) * ve_;
    const Scales s = scales(celsius);
    for (std::size_t k = 0; k < laid_.size(); ++k) {
      p += laidWindingLoss(laid_[k], spectra_[k], s.resistivity, s.skinDepth).Pcu;
    }
    return p;
  }

 private:
  struct Scales {
    double resistivity = 1;
    double skinDepth = 1;
  };
  // δ = √(ρ / (π·μ0·f)) against the copper the windings were laid in.
  Scales scales(double celsius) const {
    const double r = copperResistivity(celsius) / copperResistivity(kLossReferenceTemperature);
    return {r, std::sqrt(r * layFs_ / fs_)};
  }

  std::vector<HarmonicSpectrum> spectra_;
  double fs_ = 0;
  double layFs_ = 0;
  const SteinmetzBand* band_ = nullptr;
  bool extrapolated_ = false;
  double pvReference_ = 0;
  double bracketReference_ = 1;
  double ve_ = 0;
  std::vector<WindingLoss> laid_;
};

// Where Tcore = Tambient + P(Tcore)·Rth.
struct Balance {
  bool found = false;
  double celsius = 0;
  int evaluations = 0;
};

constexpr double kScanStep = 10.0;          // K
constexpr double kBalanceTolerance = 1e-3;  // K, of g
constexpr int kMostRefinements = 60;

// The lowest root of g(T) = Tambient + P(T)·Rth − T on [Tambient, kHottestBalance], where g
// falls through zero: the stable balance, the one a core warming from the ambient reaches.
// g(Tambient) > 0, so the range is walked up in steps until g turns, then the root refined by
// the Illinois variant of regula falsi within that step.
template <class Excess>
Balance lowestBalance(const Excess& g, double ambient) {
  Balance b;
  double lo = ambient;
  double glo = g(lo);
  ++b.evaluations;
  double hi = lo;
  double ghi = glo;
  while (ghi > 0.0) {
    if (!(hi < kHottestBalance) || !std::isfinite(ghi)) {
      return b;
    }
    lo = hi;
    glo = ghi;
    hi = std::min(lo + kScanStep, kHottestBalance);
    ghi = g(hi);
    ++b.evaluations;
  }
  if (!std::isfinite(ghi)) {
    return b;
  }
  b.found = true;
  b.celsius = hi;
  int side = 0;
  for (int i = 0; i < kMostRefinements && std::abs(ghi) > kBalanceTolerance && glo > 0.0; ++i) {
    const double t = hi - ghi * (hi - lo) / (ghi - glo);
    const double gt = g(t);
    ++b.evaluations;
    b.celsius = t;
    if (!std::isfinite(gt) || std::abs(gt) <= kBalanceTolerance) {
      break;
    }
    // Halving the end that stays keeps the false position from creeping up one side.
    if (gt > 0.0) {
      lo = t;
      glo = gt;
      ghi = side == -1 ? ghi / 2.0 : ghi;
      side = -1;
    } else {
      hi = t;
      ghi = gt;
      glo = side == 1 ? glo / 2.0 : glo;
      side = 1;
    }
  }
  return b;
}

// One point's figures at its balance, or at the reference where it has none.
struct PointResult {
  LossPoint point = LossPoint::Design;
  bool extrapolated = false;
  Balance balance;
  double celsius = 0;  // where the figures were taken
  double Pv = 0;
  std::vector<WindingLoss> windings;
  double Ptotal = 0;
  OperatingPoint at;
};

PointResult pointResult(const OperatingPoint& p, const PointLosses& model, bool balance,
                        double ambient, double rth, double ve) {
  PointResult r;
  r.point = p.point;
  r.at = p;
  r.extrapolated = model.extrapolated();
  if (balance) {
    r.balance =
        lowestBalance([&](double t) { return ambient + model.total(t) * rth - t; }, ambient);
  }
  r.celsius = r.balance.found ? r.balance.celsius : kLossReferenceTemperature;
  r.Pv = model.pv(r.celsius);
  r.windings = model.windings(r.celsius);
  r.Ptotal = r.Pv * ve;
  for (const WindingLoss& w : r.windings) {
    r.Ptotal += w.Pcu;
  }
  return r;
}

// The point to report: one that runs away, else the hotter; where no layout gives a
// temperature, the one that loses more at the reference.
bool hotter(const PointResult& a, const PointResult& b) {
  if (a.balance.found != b.balance.found) {
    return !a.balance.found;
  }
  return a.balance.found ? a.celsius > b.celsius : a.Ptotal > b.Ptotal;
}

}  // namespace

std::string_view lossPointCode(LossPoint point) {
  return point == LossPoint::VinMax ? "vinMax" : "design";
}

const WindingLoss* TransformerLosses::find(Winding winding) const {
  const auto found = std::find_if(windings.begin(), windings.end(),
                                  [winding](const WindingLoss& w) { return w.winding == winding; });
  return found == windings.end() ? nullptr : &*found;
}

std::vector<WindingPlace> windingOrder(const TransformerLosses& losses) {
  std::vector<WindingPlace> order;
  const WindingLoss* primary = losses.find(Winding::Primary);
  const bool split = primary != nullptr && primary->innerTurns != primary->turns;
  if (split) {
    order.push_back({Winding::Primary, primary->innerTurns, WindingPlace::Part::InnerHalf});
  }
  if (primary != nullptr && !split) {
    order.push_back({Winding::Primary, primary->turns, WindingPlace::Part::Whole});
  }
  std::vector<Winding> stack = losses.stack;
  if (stack.empty()) {
    for (const WindingLoss& w : losses.windings) {
      if (w.winding != Winding::Primary) {
        stack.push_back(w.winding);
      }
    }
  }
  for (const Winding winding : stack) {
    if (const WindingLoss* w = losses.find(winding)) {
      order.push_back({winding, w->turns, WindingPlace::Part::Whole});
    }
  }
  if (split) {
    order.push_back(
        {Winding::Primary, primary->turns - primary->innerTurns, WindingPlace::Part::OuterHalf});
  }
  return order;
}

std::string windingOrderText(const TransformerLosses& losses) {
  std::string text;
  for (const WindingPlace& place : windingOrder(losses)) {
    if (!text.empty()) {
      text += ", ";
    }
    text += windingName(place.winding);
    if (place.part == WindingPlace::Part::InnerHalf) {
      text += " inner half";
    } else if (place.part == WindingPlace::Part::OuterHalf) {
      text += " outer half";
    }
    text += ' ';
    text += std::to_string(place.turns);
    text += " T";
  }
  return text;
}

std::vector<LossQuantity> lossQuantities(const TransformerLosses& l) {
  using Kind = LossQuantity::Kind;
  // What only a layout that fits can give.
  const auto laidOut = [&l](double value) {
    return l.fits ? std::optional<double>(value) : std::nullopt;
  };
  // What only a temperature can give.
  const auto balanced = [&l](double value) {
    return l.temperatureKnown() ? std::optional<double>(value) : std::nullopt;
  };
  std::vector<LossQuantity> list;
  list.reserve(6 + 5 * l.windings.size() + 8);
  list.push_back({"Pv", l.Pv, "W/m3"});
  list.push_back({"Pcore", l.Pcore, "W"});
  // The primary's and the main secondary's figures stand where they always stood; a further
  // output's or the bias's follow at the end, so that columns read by position stay put.
  const auto base = [](const WindingLoss& w) {
    return w.winding == Winding::Primary || w.winding == Winding::Secondary;
  };
  const auto quantity = [&](std::string_view name, std::string_view unit, Kind kind,
                            bool needsTemperature, double value, const WindingLoss& w) {
    const std::optional<double> shown = needsTemperature ? balanced(value) : value;
    list.push_back({std::string(name).append(windingSuffix(w.winding)), shown, unit, kind});
  };
  const auto perWinding = [&](std::string_view name, std::string_view unit, Kind kind,
                              bool needsTemperature, double (*value)(const WindingLoss&)) {
    for (const WindingLoss& w : l.windings) {
      if (base(w)) {
        quantity(name, unit, kind, needsTemperature, value(w), w);
      }
    }
  };
  const auto rdc = [](const WindingLoss& w) { return w.Rdc; };
  const auto fr = [](const WindingLoss& w) { return w.Fr; };
  const auto pcu = [](const WindingLoss& w) { return w.Pcu; };
  const auto layers = [](const WindingLoss& w) { return static_cast<double>(w.layout.layers); };
  const auto build = [](const WindingLoss& w) { return w.layout.build; };
  perWinding("Rdc", "ohm", Kind::Number, false, rdc);
  perWinding("Fr", "", Kind::Number, true, fr);
  perWinding("Pcu", "W", Kind::Number, true, pcu);
  list.push_back({"Ptotal", balanced(l.Ptotal), "W"});
  perWinding("layers", "", Kind::Whole, false, layers);
  perWinding("build", "m", Kind::Number, false, build);
  list.push_back({"Rth", l.Rth, "K/W"});
  list.push_back({"RthMeasured", l.RthMeasured ? 1.0 : 0.0, "", Kind::Boolean});
  list.push_back({"dT", balanced(l.dT), "K"});
  list.push_back({"Tambient", l.Tambient, "degC"});
  list.push_back({"Tcore", balanced(l.Tcore), "degC"});
  list.push_back({"converged", laidOut(l.converged ? 1.0 : 0.0), "", Kind::Boolean});
  list.push_back({"temperatureIterations", laidOut(static_cast<double>(l.temperatureIterations)),
                  "", Kind::Whole});
  for (const WindingLoss& w : l.windings) {
    if (base(w)) {
      continue;
    }
    quantity("Rdc", "ohm", Kind::Number, false, rdc(w), w);
    quantity("Fr", "", Kind::Number, true, fr(w), w);
    quantity("Pcu", "W", Kind::Number, true, pcu(w), w);
    quantity("layers", "", Kind::Whole, false, layers(w), w);
    quantity("build", "m", Kind::Number, false, build(w), w);
  }
  return list;
}

double copperResistivity(double celsius) {
  return kCopperResistivity20 * (1.0 + kCopperTemperatureCoefficient * (celsius - 20.0));
}

double estimatedThermalResistance(double volume) { return 53.0 * std::pow(volume * 1e6, -0.54); }

TransformerLosses transformerLosses(const DesignState& state, const DesignReview& review,
                                    const CoreGeometry& core, const ReviewConditions& conditions) {
  TransformerLosses losses;
  if (!review.valid || conditions.material == nullptr) {
    return losses;
  }
  const OperatingPoint design = designPoint(state, review);
  const double fs = design.fs;
  const FerriteMaterial& material = *conditions.material;
  losses.material = material.name;
  losses.bobbinBuild = core.hw;
  losses.bobbinBreadth = core.bw;
  // The margins take their share of the breadth from every winding; where they would leave
  // nothing, the windings are laid on the third the insulation must leave them at the least, and
  // the review flags the insulation.
  const Isolation& isolation = review.isolation;
  const double breadth = std::max(isolation.windingBreadth, kLeastWindingBreadthShare * core.bw);
  losses.windingBreadth = breadth;
  losses.meanTurn = core.MLT;

  // The windings are chosen once, at the reference temperature and the design input: a choice
  // that does not move with the temperature it brings about.
  WindingConditions windingConditions;
  windingConditions.breadth = breadth;
  windingConditions.build = core.hw;
  windingConditions.meanTurn = core.MLT;
  windingConditions.tape = isolation.tape();
  windingConditions.resistivity = copperResistivity(kLossReferenceTemperature);
  windingConditions.skinDepth =
      std::sqrt(windingConditions.resistivity / (kPi * kReviewLimits.vacuumPermeability * fs));
  windingConditions.currentDensity = kReviewLimits.currentDensity * 1e6;
  windingConditions.arrangement = conditions.arrangement;
  // The clamp burns the leakage's energy: a layout with less leakage saves that too, unless
  // the leakage is measured.
  const double r = conditions.clampRatio;
  if (!conditions.leakage && r > 1.0) {
    windingConditions.clampPerHenry = 0.5 * review.Ipk * review.Ipk * fs * r / (r - 1.0);
  }
  // The secondaries from the primary outward: the outputs by falling power, the bias last.
  std::vector<Winding> stack;
  for (std::size_t k = 0; k < review.outputs.size(); ++k) {
    stack.push_back(outputWinding(static_cast<int>(k) + 1));
  }
  std::stable_sort(stack.begin(), stack.end(), [&review](Winding a, Winding b) {
    const auto power = [&review](Winding w) {
      return review
          .outputs[static_cast<std::size_t>(w) - static_cast<std::size_t>(Winding::Secondary)]
          .P;
    };
    return power(a) > power(b);
  });
  if (review.outputs.size() <= 1) {
    stack = {Winding::Secondary};
  }
  if (review.bias) {
    stack.push_back(Winding::Bias);
  }
  std::vector<std::array<CurrentSegment, 1>> currents;
  currents.reserve(stack.size());
  std::vector<WindingDemand> secondaries;
  for (const Winding w : stack) {
    currents.push_back(windingCurrent(design, review, w));
    const int turns = w == Winding::Secondary ? review.Ns
                      : w == Winding::Bias
                          ? review.bias->turns
                          : review
                                .outputs[static_cast<std::size_t>(w) -
                                         static_cast<std::size_t>(Winding::Secondary)]
                                .turns;
    WindingDemand demand{w, turns, currents.back(),
                         w == Winding::Secondary ? conditions.wireSecondary : std::nullopt};
    // The bias lies on the primary's side of the barrier, in enamelled wire.
    demand.tripleInsulated = isolation.construction == Construction::Tiw && w != Winding::Bias;
    secondaries.push_back(demand);
  }
  const WindingDesign laid =
      designWindings({Winding::Primary, review.Np, design.primary, conditions.wirePrimary},
                     secondaries, windingConditions);
  losses.stack = stack;
  losses.arrangement = laid.arrangement;
  losses.fits = laid.fits;
  losses.leakageEstimate = laid.leakage;
  losses.buildTotal = laid.buildTotal;
  losses.RthMeasured = core.rthMeasured > 0.0;
  losses.Rth = losses.RthMeasured ? core.rthMeasured : estimatedThermalResistance(core.Ve);
  losses.Tambient = conditions.ambient;

  // Without a layout there is no copper to heat: the figures stay at the reference.
  const auto result = [&](const OperatingPoint& p) {
    return pointResult(p, PointLosses(p, material, core.Ve, laid, fs, review), laid.fits,
                       conditions.ambient, losses.Rth, core.Ve);
  };
  PointResult shown = result(design);
  losses.lossDataExtrapolated = shown.extrapolated;
  if (const std::optional<OperatingPoint> high = highLinePoint(state, review, conditions)) {
    PointResult atHigh = result(*high);
    losses.lossDataExtrapolated = losses.lossDataExtrapolated || atHigh.extrapolated;
    if (hotter(atHigh, shown)) {
      shown = std::move(atHigh);
    }
  }
  losses.lossesAt = shown.point;
  losses.converged = shown.balance.found;
  losses.temperatureIterations = shown.balance.evaluations;
  losses.lossTemperature = shown.celsius;
  losses.lossFs = shown.at.fs;
  losses.lossSwing = shown.at.swing;
  losses.lossRise = shown.at.rise;
  losses.lossFall = shown.at.fall;
  losses.Pv = shown.Pv;
  losses.Pcore = shown.Pv * core.Ve;
  losses.windings = std::move(shown.windings);
  // Reports list the windings in the review's order, whatever the stack.
  std::stable_sort(
      losses.windings.begin(), losses.windings.end(),
      [](const WindingLoss& a, const WindingLoss& b) { return a.winding < b.winding; });
  losses.Ptotal = shown.Ptotal;
  losses.skinDepth = windingConditions.skinDepth;
  losses.dT = losses.Ptotal * losses.Rth;
  losses.Tcore = conditions.ambient + losses.dT;

  const std::array<double, 7> figures = {losses.Pv, losses.Pcore, losses.Ptotal,    losses.Rth,
                                         losses.dT, losses.Tcore, losses.buildTotal};
  losses.valid =
      std::all_of(figures.begin(), figures.end(), [](double v) { return std::isfinite(v); });
  for (const WindingLoss& w : losses.windings) {
    losses.valid = losses.valid && std::isfinite(w.Rdc) && std::isfinite(w.Fr) &&
                   std::isfinite(w.Pcu) && std::isfinite(w.layout.build);
  }
  return losses;
}

}  // namespace fbc
