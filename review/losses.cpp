#include "review/losses.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

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

}  // namespace

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
  for (const WindingLoss& w : losses.windings) {
    if (!(split && w.winding == Winding::Primary)) {
      order.push_back({w.winding, w.turns, WindingPlace::Part::Whole});
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
  std::vector<LossQuantity> list;
  list.reserve(6 + 5 * l.windings.size() + 6);
  list.push_back({"Pv", l.Pv, "W/m3"});
  list.push_back({"Pcore", l.Pcore, "W"});
  const auto perWinding = [&](std::string_view name, std::string_view unit, Kind kind,
                              bool needsLayout, double (*value)(const WindingLoss&)) {
    for (const WindingLoss& w : l.windings) {
      const std::optional<double> shown = needsLayout ? laidOut(value(w)) : value(w);
      list.push_back({std::string(name).append(windingSuffix(w.winding)), shown, unit, kind});
    }
  };
  perWinding("Rdc", "ohm", Kind::Number, false, [](const WindingLoss& w) { return w.Rdc; });
  perWinding("Fr", "", Kind::Number, true, [](const WindingLoss& w) { return w.Fr; });
  perWinding("Pcu", "W", Kind::Number, true, [](const WindingLoss& w) { return w.Pcu; });
  list.push_back({"Ptotal", laidOut(l.Ptotal), "W"});
  perWinding("layers", "", Kind::Whole, false,
             [](const WindingLoss& w) { return static_cast<double>(w.layout.layers); });
  perWinding("build", "m", Kind::Number, false,
             [](const WindingLoss& w) { return w.layout.build; });
  list.push_back({"Rth", l.Rth, "K/W"});
  list.push_back({"RthMeasured", l.RthMeasured ? 1.0 : 0.0, "", Kind::Boolean});
  list.push_back({"dT", laidOut(l.dT), "K"});
  list.push_back({"Tambient", l.Tambient, "degC"});
  list.push_back({"Tcore", laidOut(l.Tcore), "degC"});
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
  const double fs = 1.0 / static_cast<double>(state.T);
  const double celsius = kLossReferenceTemperature;

  const FerriteMaterial& material = *conditions.material;
  losses.material = material.name;
  const BandChoice band = steinmetzBand(material, fs);
  losses.lossDataExtrapolated = band.extrapolated;
  // The flux rises while the switch is on and falls while the secondary conducts; in the
  // quasi-resonant mode it then waits for the valley.
  losses.Pv = igseTriangularLoss(*band.band, fs, fluxSwing(state, review), review.operation.rise,
                                 review.operation.fall, celsius);
  losses.Pcore = losses.Pv * core.Ve;

  const double resistivity = copperResistivity(celsius);
  const double skinDepth = std::sqrt(resistivity / (kPi * kReviewLimits.vacuumPermeability * fs));
  losses.bobbinBuild = core.hw;
  losses.bobbinBreadth = core.bw;
  losses.meanTurn = core.MLT;
  losses.skinDepth = skinDepth;

  WindingConditions windingConditions;
  windingConditions.breadth = core.bw;
  windingConditions.build = core.hw;
  windingConditions.meanTurn = core.MLT;
  windingConditions.tape = kTapeBetweenWindings;
  windingConditions.resistivity = resistivity;
  windingConditions.skinDepth = skinDepth;
  windingConditions.currentDensity = kReviewLimits.currentDensity * 1e6;
  windingConditions.arrangement = conditions.arrangement;
  // The clamp burns the leakage's energy: a layout with less leakage saves that too, unless
  // the leakage is measured.
  const double r = conditions.clampRatio;
  if (!conditions.leakage && r > 1.0) {
    windingConditions.clampPerHenry = 0.5 * review.Ipk * review.Ipk * fs * r / (r - 1.0);
  }
  const std::array<CurrentSegment, 1> primaryCurrent = {review.operation.primary};
  const std::array<CurrentSegment, 1> secondaryCurrent = {review.secondaryWinding};
  const WindingDesign design =
      designWindings({Winding::Primary, review.Np, primaryCurrent, conditions.wirePrimary},
                     {Winding::Secondary, review.Ns, secondaryCurrent, conditions.wireSecondary},
                     windingConditions);
  losses.arrangement = design.arrangement;
  losses.windings = design.windings;
  losses.fits = design.fits;
  losses.leakageEstimate = design.leakage;
  losses.buildTotal = design.buildTotal;
  losses.Ptotal = losses.Pcore;
  for (const WindingLoss& w : losses.windings) {
    losses.Ptotal += w.Pcu;
  }

  losses.RthMeasured = core.rthMeasured > 0.0;
  losses.Rth = losses.RthMeasured ? core.rthMeasured : estimatedThermalResistance(core.Ve);
  losses.dT = losses.Ptotal * losses.Rth;
  losses.Tambient = conditions.ambient;
  losses.Tcore = conditions.ambient + losses.dT;

  const std::array<double, 7> shown = {losses.Pv, losses.Pcore, losses.Ptotal,    losses.Rth,
                                       losses.dT, losses.Tcore, losses.buildTotal};
  losses.valid = std::all_of(shown.begin(), shown.end(), [](double v) { return std::isfinite(v); });
  for (const WindingLoss& w : losses.windings) {
    losses.valid = losses.valid && std::isfinite(w.Rdc) && std::isfinite(w.Fr) &&
                   std::isfinite(w.Pcu) && std::isfinite(w.layout.build);
  }
  return losses;
}

}  // namespace fbc
