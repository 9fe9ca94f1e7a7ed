#include "review/losses.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "review/review.h"
#include "review/review_limits.h"
#include "review/winding_table.h"

namespace fbc {

namespace {

constexpr double kPi = std::numbers::pi;

// The current a winding carries over one period, as the drive mode shapes it.
std::array<CurrentSegment, 1> windingCurrent(Winding winding, const DesignReview& review) {
  if (winding == Winding::Primary) {
    return {review.operation.primary};
  }
  return {review.operation.secondary};
}

// The peak-to-peak flux swing: from zero to Bpk where the current starts from zero each period,
// LpRef·ΔI / (Np·Ae) where it does not.
double fluxSwing(const DesignState& state, const DesignReview& review) {
  if (review.operation.dI == review.Ipk) {
    return review.Bpk;
  }
  return review.LpRef * review.operation.dI / (review.Np * static_cast<double>(state.Ae));
}

WindingLoss windingLoss(const WindingRow& row, const DesignReview& review, const CoreGeometry& core,
                        double resistivity, double skinDepth) {
  WindingLoss w;
  w.winding = row.winding;
  w.turns = row.turns;
  w.strands = row.strands;
  w.strandDiameter = row.strandDiameter * 1e-3;
  const double breadth = core.bw;
  w.layout = layWinding(row.turns, row.strands, w.strandDiameter, breadth);

  // Dowell's layers are layers of strands: a bundle of s strands stands √s strands high and
  // √s strands wide.
  const double across = std::sqrt(static_cast<double>(row.strands));
  w.strandLayers = w.layout.layers * across;
  w.porosity = std::min(
      1.0, std::sqrt(kPi / 4.0) * w.strandDiameter * across * w.layout.turnsPerLayer / breadth);
  w.phi = roundWirePenetration(w.strandDiameter, w.porosity, skinDepth);

  const std::array<CurrentSegment, 1> current = windingCurrent(row.winding, review);
  w.Irms = rmsCurrent(current);
  const double wireDiameter = row.wireDiameter * 1e-3;
  // The strands keep the single wire's copper area.
  const double copper = kPi * wireDiameter * wireDiameter / 4.0;
  w.Rdc = resistivity * row.turns * core.MLT / copper;
  w.Fr = harmonicResistanceFactor(current, w.phi, w.strandLayers);
  w.Pcu = w.Irms * w.Irms * w.Rdc * w.Fr;
  return w;
}

}  // namespace

const WindingLoss* TransformerLosses::find(Winding winding) const {
  const auto found = std::find_if(windings.begin(), windings.end(),
                                  [winding](const WindingLoss& w) { return w.winding == winding; });
  return found == windings.end() ? nullptr : &*found;
}

std::vector<LossQuantity> lossQuantities(const TransformerLosses& l) {
  using Kind = LossQuantity::Kind;
  std::vector<LossQuantity> list;
  list.reserve(6 + 5 * l.windings.size() + 6);
  list.push_back({"Pv", l.Pv, "W/m3"});
  list.push_back({"Pcore", l.Pcore, "W"});
  const auto perWinding = [&](std::string_view name, std::string_view unit, Kind kind,
                              double (*value)(const WindingLoss&)) {
    for (const WindingLoss& w : l.windings) {
      list.push_back({std::string(name).append(windingSuffix(w.winding)), value(w), unit, kind});
    }
  };
  perWinding("Rdc", "ohm", Kind::Number, [](const WindingLoss& w) { return w.Rdc; });
  perWinding("Fr", "", Kind::Number, [](const WindingLoss& w) { return w.Fr; });
  perWinding("Pcu", "W", Kind::Number, [](const WindingLoss& w) { return w.Pcu; });
  list.push_back({"Ptotal", l.Ptotal, "W"});
  perWinding("layers", "", Kind::Whole,
             [](const WindingLoss& w) { return static_cast<double>(w.layout.layers); });
  perWinding("build", "m", Kind::Number, [](const WindingLoss& w) { return w.layout.build; });
  list.push_back({"Rth", l.Rth, "K/W"});
  list.push_back({"RthMeasured", l.RthMeasured ? 1.0 : 0.0, "", Kind::Boolean});
  list.push_back({"dT", l.dT, "K"});
  list.push_back({"Tambient", l.Tambient, "degC"});
  list.push_back({"Tcore", l.Tcore, "degC"});
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
  losses.Ptotal = losses.Pcore;
  losses.bobbinBuild = core.hw;
  losses.bobbinBreadth = core.bw;
  losses.meanTurn = core.MLT;
  for (const WindingRow& row : windingTable(review)) {
    losses.windings.push_back(windingLoss(row, review, core, resistivity, skinDepth));
    const WindingLoss& w = losses.windings.back();
    losses.Ptotal += w.Pcu;
    losses.buildTotal += w.layout.build;
  }
  if (losses.windings.size() > 1) {
    losses.buildTotal += kTapeBetweenWindings * static_cast<double>(losses.windings.size() - 1);
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
