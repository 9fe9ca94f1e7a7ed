#include "export/transformer_build.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace fbc {

namespace {

// `value` with `decimals` decimals.
std::string fixed(double value, int decimals) {
  std::array<char, 32> text{};
  std::snprintf(text.data(), text.size(), "%.*f", decimals, value);
  return text.data();
}

const WindingPins* pinsOf(const PinAssignment& pins, Winding winding) {
  const auto found = std::find_if(pins.windings.begin(), pins.windings.end(),
                                  [winding](const WindingPins& p) { return p.winding == winding; });
  return found != pins.windings.end() ? &*found : nullptr;
}

// One place of windingOrder as it is wound: a split primary's half takes the layers its own
// turns need at the primary's turns per layer, between its end and the tap.
WoundWinding wound(const WindingPlace& place, const WindingLoss& w, const WindingPins* pins) {
  WoundWinding out;
  out.winding = place.winding;
  out.half = place.part;
  out.turns = place.turns;
  out.wire = w.wire;
  out.wireChosen = w.wireChosen;
  out.tripleInsulated = w.tripleInsulated;
  out.turnsPerLayer = w.layout.turnsPerLayer;
  out.layers = w.layout.layers;
  out.build = w.layout.build;
  if (place.part != WindingPlace::Part::Whole && out.turnsPerLayer > 0) {
    out.layers = (place.turns + out.turnsPerLayer - 1) / out.turnsPerLayer;
    out.build = out.layers * w.layout.outerDiameter;
  }
  if (pins != nullptr) {
    const int tap = pins->tap.value_or(pins->finish);
    out.startPin = place.part == WindingPlace::Part::OuterHalf ? tap : pins->start;
    out.finishPin = place.part == WindingPlace::Part::InnerHalf ? tap : pins->finish;
  }
  return out;
}

std::vector<WireToBuy> wiresToBuy(const std::vector<WoundWinding>& windings) {
  std::vector<WireToBuy> wires;
  for (const WoundWinding& w : windings) {
    const auto same = std::find_if(wires.begin(), wires.end(), [&w](const WireToBuy& b) {
      return b.wire == w.wire && b.tripleInsulated == w.tripleInsulated;
    });
    if (same == wires.end()) {
      wires.push_back({w.wire, w.tripleInsulated, {w.winding}});
    } else if (std::find(same->windings.begin(), same->windings.end(), w.winding) ==
               same->windings.end()) {
      same->windings.push_back(w.winding);
    }
  }
  return wires;
}

TransformerTests tests(const DesignReview& review) {
  TransformerTests t;
  t.inductance = review.LpRef;
  t.frequency = review.modeInputs.period > 0.0 ? 1.0 / review.modeInputs.period : 0.0;
  t.gap = review.gap;
  t.AL = review.AL;
  const TransformerLosses& losses = review.losses;
  t.leakageEstimate = losses.leakageEstimate;
  if (losses.fits && losses.leakageEstimate > 0.0) {
    t.leakageMax = kLeakageAllowance * losses.leakageEstimate;
  }
  const PinAssignment& pins = review.pins;
  if (const WindingPins* primary = pinsOf(pins, Winding::Primary)) {
    t.primaryStart = primary->start;
    t.primaryFinish = primary->finish;
  }
  // Every pin of each side, those a winding needs beyond the bobbin's too (the review flags
  // them).
  const int primarySide = pins.counts.primarySide;
  t.primarySide = {1, std::max(primarySide, pins.primaryNeeded)};
  t.secondarySide = {primarySide + 1,
                     primarySide + std::max(pins.counts.secondarySide, pins.secondaryNeeded)};
  t.isolation = review.isolation;
  return t;
}

}  // namespace

std::optional<TransformerBuild> transformerBuild(const DesignReview& review) {
  const TransformerLosses& losses = review.losses;
  if (!review.valid || !losses.valid || losses.windings.empty()) {
    return std::nullopt;
  }
  TransformerBuild build;
  const Isolation& isolation = review.isolation;
  const std::vector<WindingPlace> order = windingOrder(losses);
  for (std::size_t i = 0; i < order.size(); ++i) {
    const WindingLoss* w = losses.find(order[i].winding);
    if (w == nullptr) {
      continue;
    }
    WoundWinding row = wound(order[i], *w, pinsOf(review.pins, order[i].winding));
    row.margin = isolation.margin;
    if (i + 1 < order.size()) {
      row.tapeLayers = isolation.tapeLayersPS;
      row.tapeLayer = isolation.tapeLayer;
    }
    build.windings.push_back(row);
  }
  build.tests = tests(review);
  build.wires = wiresToBuy(build.windings);
  build.bobbinBreadth = losses.bobbinBreadth;
  build.bobbinBuild = losses.bobbinBuild;
  build.windingBreadth = losses.windingBreadth;
  build.buildTotal = losses.buildTotal;
  return build;
}

std::string pinsText(const WoundWinding& winding) {
  return std::to_string(winding.startPin) + " → " + std::to_string(winding.finishPin);
}

std::string pinSpanText(const PinSpan& span) {
  if (span.last <= span.first) {
    return std::to_string(span.first);
  }
  return std::to_string(span.first) + "–" + std::to_string(span.last);
}

std::string marginText(double margin) {
  return margin > 0.0 ? fixed(margin * 1e3, 1) + " mm" : "—";
}

std::string tapeText(int layers, double layer) {
  return layers > 0 ? std::to_string(layers) + " × " + fixed(layer * 1e3, 2) + " mm" : "—";
}

}  // namespace fbc
