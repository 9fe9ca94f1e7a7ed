#include "review/windings/winding_design.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <numeric>

namespace fbc {

namespace {

constexpr std::array<WindingArrangement, 2> kArrangements = {WindingArrangement::Ps,
                                                             WindingArrangement::Psp};

bool splits(Winding winding, int turns, WindingArrangement arrangement) {
  return winding == Winding::Primary && arrangement == WindingArrangement::Psp && turns >= 2;
}

// The layers of one winding and the weight of their fields: a split primary's inner half sees
// the outer half's ampere-turns on top of its own while the primary conducts; every other
// winding sees only its own, since a flyback's windings conduct in turn.
struct Layering {
  WindingLayout layout;
  int innerTurns = 0;
  double conductorLayers = 0;
  double weight = 0;
};

Layering layering(Winding winding, int turns, const WireSection& section,
                  WindingArrangement arrangement, double breadth) {
  Layering l;
  if (!splits(winding, turns, arrangement)) {
    l.layout = layWire(turns, section, breadth);
    l.innerTurns = turns;
    l.conductorLayers = l.layout.layers * section.conductorsAcross;
    l.weight = proximityWeight(0.0, l.conductorLayers);
    return l;
  }
  const int inner = (turns + 1) / 2;
  const int outer = turns - inner;
  const WindingLayout in = layWire(inner, section, breadth);
  const WindingLayout out = layWire(outer, section, breadth);
  l.layout = in;
  l.layout.layers = in.layers + out.layers;
  l.layout.build = in.build + out.build;
  l.innerTurns = inner;
  const double innerLayers = in.layers * section.conductorsAcross;
  const double outerLayers = out.layers * section.conductorsAcross;
  l.conductorLayers = innerLayers + outerLayers;
  // The outer half's ampere-turns in units of one of the inner half's layers.
  const double outside = static_cast<double>(outer) * innerLayers / static_cast<double>(inner);
  l.weight =
      (inner * proximityWeight(outside, innerLayers) + outer * proximityWeight(0.0, outerLayers)) /
      static_cast<double>(turns);
  return l;
}

double dcResistance(int turns, const WireSection& section, const WindingConditions& c) {
  return c.resistivity * turns * c.meanTurn / section.copperArea * section.resistanceFactor;
}

// One candidate wire's build and loss in each arrangement (a secondary's are the same in both).
struct Candidate {
  std::size_t wire = 0;  // index into the candidate list
  std::array<double, 2> build{};
  std::array<double, 2> pcu{};
};

struct Pick {
  std::size_t wire = 0;
  double build = 0;
  double cost = 0;
};

// The table's wires with their sections, worked out once: only a foil's depends on the breadth.
struct TableWire {
  Wire wire;
  WireSection section;
};

// The copper areas of the table's wires in table order, for the density filter (a foil's is
// its thickness, to be multiplied by the breadth).
const std::vector<double>& tableAreas();

const std::vector<TableWire>& tableWires() {
  static const std::vector<TableWire> list = [] {
    std::vector<TableWire> out;
    for (const Wire& wire : wireTable()) {
      out.push_back({wire, wireSection(wire, 1.0)});
    }
    return out;
  }();
  return list;
}

// The wires one winding may take: the person's, or the table's that carry its current at the
// density. Entries point into the table, or into `local` for what depends on this bobbin (the
// foils) or the person.
struct CandidateWires {
  std::vector<TableWire> local;
  std::vector<const TableWire*> list;
};

const std::vector<double>& tableAreas() {
  static const std::vector<double> list = [] {
    std::vector<double> out;
    for (const TableWire& entry : tableWires()) {
      out.push_back(entry.section.copperArea);
    }
    return out;
  }();
  return list;
}

CandidateWires candidateWires(const WindingDemand& demand, double irms,
                              const WindingConditions& c) {
  CandidateWires out;
  if (demand.wire) {
    out.local.push_back({*demand.wire, wireSection(*demand.wire, c.breadth)});
    out.list.push_back(&out.local.front());
    return out;
  }
  const std::vector<TableWire>& table = tableWires();
  const std::vector<double>& areas = tableAreas();
  out.local.reserve(table.size() - static_cast<std::size_t>(std::count_if(
                                       table.begin(), table.end(),
                                       [](const TableWire& e) { return !e.section.foil; })));
  double largest = 0.0;
  const TableWire* firstLargest = nullptr;
  out.list.reserve(table.size());
  for (std::size_t k = 0; k < table.size(); ++k) {
    // Sections at a breadth of 1 m: a foil's area is its thickness times the breadth.
    const bool foil = table[k].section.foil;
    const double area = foil ? areas[k] * c.breadth : areas[k];
    const bool carries = irms <= c.currentDensity * area;
    if (!(area > largest) && !carries) {
      continue;
    }
    const TableWire* here = &table[k];
    if (foil) {
      out.local.push_back({table[k].wire, wireSection(table[k].wire, c.breadth)});
      here = &out.local.back();
    }
    if (area > largest) {
      largest = area;
      firstLargest = here;
    }
    if (carries) {
      out.list.push_back(here);
    }
  }
  if (out.list.empty() && firstLargest != nullptr) {
    // Nothing carries the current at the density: the most copper the table has.
    out.list.push_back(firstLargest);
  }
  return out;
}

// log2 within 3·10⁻⁶ for positive finite x, NaN otherwise: only places φ between grid nodes,
// where an error that small moves the interpolated value by far less than the grid's own.
double fastLog2(double x) {
  if (!(x > 0.0) || !std::isfinite(x)) {
    return std::numeric_limits<double>::quiet_NaN();
  }
  int exponent = 0;
  const double m = 2.0 * std::frexp(x, &exponent);  // in [1, 2)
  // log2(m) = 2·atanh(u)/ln 2 with u = (m − 1)/(m + 1) in [0, 1/3): its series to u⁹.
  const double u = (m - 1.0) / (m + 1.0);
  const double u2 = u * u;
  const double series =
      u * (2.0 + u2 * (2.0 / 3.0 + u2 * (2.0 / 5.0 + u2 * (2.0 / 7.0 + u2 * (2.0 / 9.0)))));
  return static_cast<double>(exponent - 1) + series / std::numbers::ln2;
}

// The loss ratio's parts over the penetration ratio, read for the search from nodes on a
// logarithmic grid (eight to an octave, each worked out exactly when first needed) by cubic
// interpolation: far fewer harmonic sums than wires. The chosen wires are worked out exactly.
class PartsGrid {
 public:
  explicit PartsGrid(const HarmonicSpectrum& spectrum) : spectrum_(spectrum) {}

  HarmonicSpectrum::Parts at(double phi) {
    const double position = fastLog2(phi) * kPerOctave - kFirst;
    if (!(position >= 1.0) || !(position < static_cast<double>(kNodes - 2))) {
      return spectrum_.resistanceParts(phi);
    }
    const auto i = static_cast<std::size_t>(position);
    const double t = position - static_cast<double>(i);
    // Catmull-Rom through the four nodes around φ.
    const auto blend = [t](double p0, double p1, double p2, double p3) {
      return p1 + 0.5 * t *
                      (p2 - p0 +
                       t * (2.0 * p0 - 5.0 * p1 + 4.0 * p2 - p3 + t * (3.0 * (p1 - p2) + p3 - p0)));
    };
    const HarmonicSpectrum::Parts& a = node(i - 1);
    const HarmonicSpectrum::Parts& b = node(i);
    const HarmonicSpectrum::Parts& c = node(i + 1);
    const HarmonicSpectrum::Parts& d = node(i + 2);
    return {blend(a.a, b.a, c.a, d.a), blend(a.b, b.b, c.b, d.b)};
  }

 private:
  // φ from 2^-14 to 2^6: a 0.02 mm strand in a sparse layer at 10 kHz to a 1 mm foil at 300 kHz.
  static constexpr double kPerOctave = 8.0;
  static constexpr double kFirst = -14.0 * kPerOctave;
  static constexpr std::size_t kNodes = 20 * 8 + 1;

  const HarmonicSpectrum::Parts& node(std::size_t i) {
    if (!known_[i]) {
      nodes_[i] =
          spectrum_.resistanceParts(std::exp2((kFirst + static_cast<double>(i)) / kPerOctave));
      known_[i] = true;
    }
    return nodes_[i];
  }

  const HarmonicSpectrum& spectrum_;
  std::array<HarmonicSpectrum::Parts, kNodes> nodes_{};
  std::array<bool, kNodes> known_{};
};

std::vector<Candidate> evaluate(const WindingDemand& demand,
                                const std::vector<const TableWire*>& wires,
                                const HarmonicSpectrum& spectrum, const WindingConditions& c) {
  std::vector<Candidate> list(wires.size());
  const double i2 = spectrum.rms() * spectrum.rms();
  const bool split = splits(demand.winding, demand.turns, WindingArrangement::Psp);
  PartsGrid grid(spectrum);
  for (std::size_t k = 0; k < wires.size(); ++k) {
    const WireSection& section = wires[k]->section;
    const Layering ps =
        layering(demand.winding, demand.turns, section, WindingArrangement::Ps, c.breadth);
    const double phi = layerPenetration(section, ps.layout, c.breadth, c.skinDepth).phi;
    // A person's wire alone is worked out exactly.
    const HarmonicSpectrum::Parts parts =
        wires.size() > 1 ? grid.at(phi) : spectrum.resistanceParts(phi);
    const double dc = i2 * dcResistance(demand.turns, section, c);
    Candidate& candidate = list[k];
    candidate.wire = k;
    candidate.build[0] = ps.layout.build;
    candidate.pcu[0] = dc * parts.at(ps.weight);
    if (split) {
      const Layering psp =
          layering(demand.winding, demand.turns, section, WindingArrangement::Psp, c.breadth);
      candidate.build[1] = psp.layout.build;
      candidate.pcu[1] = dc * parts.at(psp.weight);
    } else {
      candidate.build[1] = candidate.build[0];
      candidate.pcu[1] = candidate.pcu[0];
    }
  }
  return list;
}

// The secondaries that can be the best beside some primary: sorted by build, each cheaper than
// every one of less build (first in table order on ties).
std::vector<Pick> secondaryFront(const std::vector<Candidate>& list,
                                 const std::vector<std::uint32_t>& byBuild, std::size_t a,
                                 double perBuild) {
  std::vector<Pick> front;
  double least = std::numeric_limits<double>::infinity();
  for (const std::uint32_t k : byBuild) {
    const Candidate& candidate = list[k];
    const double cost = candidate.pcu[a] + perBuild * candidate.build[a];
    if (cost < least) {
      least = cost;
      front.push_back({candidate.wire, candidate.build[a], cost});
    }
  }
  return front;
}

// The best pair whose builds fit `room` [m] with `tapes` [m] added: for each primary, the last
// secondary of the front short enough beside it, by the same sum the layout is judged by.
struct PairPick {
  bool found = false;
  Pick primary;
  Pick secondary;
  double cost = std::numeric_limits<double>::infinity();
};

PairPick bestFittingPair(const std::vector<Candidate>& primaries, std::size_t a, double perBuild,
                         const std::vector<Pick>& front, double tapes, double room) {
  PairPick best;
  const auto fitsWith = [tapes, room](double p, double s) { return p + s + tapes <= room; };
  for (const Candidate& candidate : primaries) {
    const double build = candidate.build[a];
    if (front.empty() || !fitsWith(build, front.front().build)) {
      continue;
    }
    auto end = std::upper_bound(front.begin(), front.end(), room - tapes - build,
                                [](double value, const Pick& s) { return value < s.build; });
    auto j = std::max<std::ptrdiff_t>(end - front.begin() - 1, 0);
    while (j + 1 < static_cast<std::ptrdiff_t>(front.size()) &&
           fitsWith(build, front[static_cast<std::size_t>(j + 1)].build)) {
      ++j;
    }
    while (j > 0 && !fitsWith(build, front[static_cast<std::size_t>(j)].build)) {
      --j;
    }
    const Pick& s = front[static_cast<std::size_t>(j)];
    const double cost = candidate.pcu[a] + perBuild * build + s.cost;
    if (cost < best.cost) {
      best = {true, {candidate.wire, build, cost - s.cost}, s, cost};
    }
  }
  return best;
}

// The candidate of least build, the cheaper on ties.
Pick thinnest(const std::vector<Candidate>& list, std::size_t a, double perBuild) {
  Pick best{0, std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity()};
  for (const Candidate& candidate : list) {
    const double cost = candidate.pcu[a] + perBuild * candidate.build[a];
    if (candidate.build[a] < best.build || (candidate.build[a] == best.build && cost < best.cost)) {
      best = {candidate.wire, candidate.build[a], cost};
    }
  }
  return best;
}

}  // namespace

WindingLoss windWinding(Winding winding, int turns, const Wire& wire,
                        const HarmonicSpectrum& spectrum, WindingArrangement arrangement,
                        const WindingConditions& c) {
  WindingLoss w;
  w.winding = winding;
  w.turns = turns;
  w.wire = wire;
  w.section = wireSection(wire, c.breadth);
  const Layering l = layering(winding, turns, w.section, arrangement, c.breadth);
  w.layout = l.layout;
  w.innerTurns = l.innerTurns;
  const LayerPenetration pen = layerPenetration(w.section, l.layout, c.breadth, c.skinDepth);
  w.porosity = pen.porosity;
  w.phi = pen.phi;
  w.strandLayers = l.conductorLayers;
  w.weight = l.weight;
  w.Irms = spectrum.rms();
  w.currentDensity = w.Irms / w.section.copperArea;
  w.Rdc = dcResistance(turns, w.section, c);
  w.Fr = spectrum.resistanceParts(pen.phi).at(l.weight);
  w.Pcu = w.Irms * w.Irms * w.Rdc * w.Fr;
  return w;
}

WindingDesign designWindings(const WindingDemand& primary, const WindingDemand& secondary,
                             const WindingConditions& c) {
  const HarmonicSpectrum primarySpectrum(primary.current);
  const HarmonicSpectrum secondarySpectrum(secondary.current);
  const CandidateWires primaryWires = candidateWires(primary, primarySpectrum.rms(), c);
  const CandidateWires secondaryWires = candidateWires(secondary, secondarySpectrum.rms(), c);
  const std::vector<Candidate> primaries = evaluate(primary, primaryWires.list, primarySpectrum, c);
  const std::vector<Candidate> secondaries =
      evaluate(secondary, secondaryWires.list, secondarySpectrum, c);

  struct Choice {
    WindingArrangement arrangement = WindingArrangement::Ps;
    Pick primary;
    Pick secondary;
    double cost = std::numeric_limits<double>::infinity();
    double build = std::numeric_limits<double>::infinity();
    bool fits = false;
  };
  Choice best;
  Choice thinnestChoice;
  // The secondaries by build, once: their builds are the same in either arrangement. One no
  // thinner and no cheaper than the cheapest in either arrangement can never be the best.
  std::vector<std::uint32_t> byBuild;
  byBuild.reserve(secondaries.size());
  {
    std::array<std::size_t, 2> cheapest{};
    std::array<double, 2> perBuild{};
    for (std::size_t a = 0; a < 2; ++a) {
      perBuild[a] =
          c.clampPerHenry *
          leakageParts(kArrangements[a], primary.turns, c.meanTurn, c.breadth, c.tape).perBuild;
      const auto cost = [&](std::size_t k) {
        return secondaries[k].pcu[a] + perBuild[a] * secondaries[k].build[a];
      };
      for (std::size_t k = 1; k < secondaries.size(); ++k) {
        if (cost(k) < cost(cheapest[a])) {
          cheapest[a] = k;
        }
      }
    }
    for (std::size_t k = 0; k < secondaries.size(); ++k) {
      bool dominated = true;
      for (std::size_t a = 0; a < 2; ++a) {
        const Candidate& best = secondaries[cheapest[a]];
        dominated = dominated && k != cheapest[a] && secondaries[k].build[a] >= best.build[a] &&
                    secondaries[k].pcu[a] + perBuild[a] * secondaries[k].build[a] >
                        best.pcu[a] + perBuild[a] * best.build[a];
      }
      if (!dominated) {
        byBuild.push_back(static_cast<std::uint32_t>(k));
      }
    }
  }
  std::sort(byBuild.begin(), byBuild.end(), [&secondaries](std::uint32_t x, std::uint32_t y) {
    const double bx = secondaries[x].build[0];
    const double by = secondaries[y].build[0];
    return bx < by || (bx == by && x < y);
  });
  // One primary turn cannot be split: it is wound as ps whatever was asked.
  const bool splittable = primary.turns >= 2;
  for (const WindingArrangement arrangement : kArrangements) {
    if (arrangement == WindingArrangement::Psp &&
        (!splittable || c.arrangement == WindingArrangement::Ps)) {
      continue;
    }
    if (arrangement == WindingArrangement::Ps && splittable &&
        c.arrangement == WindingArrangement::Psp) {
      continue;
    }
    const auto a = static_cast<std::size_t>(arrangement == WindingArrangement::Psp);
    const LeakageParts leakage =
        leakageParts(arrangement, primary.turns, c.meanTurn, c.breadth, c.tape);
    const double perBuild = c.clampPerHenry * leakage.perBuild;
    const double tapes = c.tape * tapesBetweenWindings(arrangement);
    const double fixed = c.clampPerHenry * leakage.tapes;
    const std::vector<Pick> front = secondaryFront(secondaries, byBuild, a, perBuild);
    const PairPick pair = bestFittingPair(primaries, a, perBuild, front, tapes, c.build);
    if (pair.found && pair.cost + fixed < best.cost) {
      best = {arrangement, pair.primary, pair.secondary, pair.cost + fixed, 0.0, true};
    }
    const Pick tp = thinnest(primaries, a, perBuild);
    const Pick ts = thinnest(secondaries, a, perBuild);
    const double build = tp.build + ts.build + tapes;
    const double cost = tp.cost + ts.cost + fixed;
    if (build < thinnestChoice.build ||
        (build == thinnestChoice.build && cost < thinnestChoice.cost)) {
      thinnestChoice = {arrangement, tp, ts, cost, build, false};
    }
  }
  const Choice& chosen = best.fits ? best : thinnestChoice;

  WindingDesign design;
  design.arrangement = chosen.arrangement;
  design.windings.push_back(windWinding(Winding::Primary, primary.turns,
                                        primaryWires.list[chosen.primary.wire]->wire,
                                        primarySpectrum, chosen.arrangement, c));
  design.windings.push_back(windWinding(Winding::Secondary, secondary.turns,
                                        secondaryWires.list[chosen.secondary.wire]->wire,
                                        secondarySpectrum, chosen.arrangement, c));
  design.windings[0].wireChosen = !primary.wire;
  design.windings[1].wireChosen = !secondary.wire;
  const double hP = design.windings[0].layout.build;
  const double hS = design.windings[1].layout.build;
  design.buildTotal = hP + hS + c.tape * tapesBetweenWindings(chosen.arrangement);
  design.fits = design.buildTotal <= c.build;
  design.leakage =
      arrangedLeakage(chosen.arrangement, primary.turns, c.meanTurn, c.breadth, hP, hS, c.tape);
  design.cost = design.windings[0].Pcu + design.windings[1].Pcu + c.clampPerHenry * design.leakage;
  return design;
}

}  // namespace fbc
