#include "review/windings/winding_design.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <numbers>
#include <numeric>
#include <optional>

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
// The proximity weight of a primary split in halves of `inner` and `outer` turns, `mInner` and
// `mOuter` conductor layers: the inner half's layers see the outer half's ampere-turns, in units
// of one of its own layers, on top of their own; each half counts by its turns.
double splitWeight(int inner, int outer, double mInner, double mOuter) {
  const double outside = static_cast<double>(outer) * mInner / static_cast<double>(inner);
  return (inner * proximityWeight(outside, mInner) + outer * proximityWeight(0.0, mOuter)) /
         static_cast<double>(inner + outer);
}

struct Layering {
  WindingLayout layout;
  int innerTurns = 0;
  double conductorLayers = 0;
  double weight = 0;
};

// `outsideRatio`: the ampere-turns of the windings outside this one that conduct with it, over
// its own; its layers then see that many times its own layers' on top of their own.
Layering layering(Winding winding, int turns, const WireSection& section,
                  WindingArrangement arrangement, double breadth, double outsideRatio) {
  Layering l;
  if (!splits(winding, turns, arrangement)) {
    l.layout = layWire(turns, section, breadth);
    l.innerTurns = turns;
    l.conductorLayers = l.layout.layers * section.conductorsAcross;
    l.weight = proximityWeight(l.conductorLayers * outsideRatio, l.conductorLayers);
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
  l.weight = splitWeight(inner, outer, innerLayers, outerLayers);
  return l;
}

double dcResistance(int turns, const WireSection& section, const WindingConditions& c) {
  return c.resistivity * turns * c.meanTurn / section.copperArea * section.resistanceFactor;
}

// One candidate wire's build and loss in each arrangement (a secondary's are the same in both);
// a loss not worked out, for a wire that cannot be part of any layout that fits, is infinite.
struct Candidate {
  std::size_t wire = 0;  // index into the candidate list
  std::array<double, 2> build{};
  std::array<double, 2> pcu{std::numeric_limits<double>::infinity(),
                            std::numeric_limits<double>::infinity()};
  int perLayer = 1;
};

struct Pick {
  std::size_t wire = 0;
  double build = 0;
  double cost = 0;
};

// The table's wires as the search reads them, worked out once; a foil's copper follows the
// breadth it is cut to. Logarithms let the search place each wire's penetration ratio on the
// grid below by additions alone.
struct TableEntry {
  Wire wire;
  double width = 0;   // m, across the breadth (a foil's is the breadth)
  double height = 0;  // m, in build
  double area = 0;    // m² (a foil's: its thickness, times the breadth)
  double resistanceFactor = 1;
  double across = 1;        // conductors a turn stands high
  double log2PhiDelta = 0;  // log2 of φ·δ where the layer is full: √(π/4)·d (a foil's d)
  double log2Porosity = 0;  // log2 of √(π/4)·d·across: the porosity is that · tpl / bw
  bool foil = false;
};

// The table's wires, or the ones made triple-insulated (`tiw`) with that insulation.
std::vector<TableEntry> buildTableEntries(bool tiw) {
  std::vector<TableEntry> out;
  const double root = std::sqrt(std::numbers::pi / 4.0);
  for (const Wire& wire : wireTable()) {
    if (tiw && !canBeTripleInsulated(wire)) {
      continue;
    }
    const WireSection section = wireSection(wire, 1.0, tiw);
    TableEntry e;
    e.wire = wire;
    e.width = section.width;
    e.height = section.height;
    e.area = section.copperArea;
    e.resistanceFactor = section.resistanceFactor;
    e.across = section.conductorsAcross;
    e.foil = section.foil;
    e.log2PhiDelta = std::log2(e.foil ? section.conductor : root * section.conductor);
    e.log2Porosity = std::log2(root * section.conductor * section.conductorsAcross);
    out.push_back(e);
  }
  // By copper area, the foils last: the wires a winding may take are then one stretch of it,
  // read in order.
  std::stable_sort(out.begin(), out.end(), [](const TableEntry& a, const TableEntry& b) {
    return a.foil != b.foil ? b.foil : a.area < b.area;
  });
  return out;
}

const std::vector<TableEntry>& tableEntries(bool tiw) {
  static const std::vector<TableEntry> enamelled = buildTableEntries(false);
  static const std::vector<TableEntry> tripleInsulated = buildTableEntries(true);
  return tiw ? tripleInsulated : enamelled;
}

// The wires one winding may take: the person's, or the table's that carry its current at the
// density (by index into the table).
struct CandidateWires {
  std::optional<Wire> given;
  std::vector<std::uint32_t> indices;
  bool tiw = false;  // indices into the triple-insulated table

  std::size_t size() const { return given ? 1 : indices.size(); }
  Wire at(std::size_t k) const { return given ? *given : tableEntries(tiw)[indices[k]].wire; }
};

// The table's wires other than foil by copper area ascending (table order on ties), and the
// foils, whose copper follows the breadth: the wires that carry a current at the density are a
// tail of the first list.
struct TableOrder {
  std::vector<std::uint32_t> byArea;
  std::vector<double> areas;  // of byArea's wires, ascending
  std::vector<std::uint32_t> foils;
};

TableOrder buildTableOrder(bool tiw) {
  TableOrder o;
  const std::vector<TableEntry>& table = tableEntries(tiw);
  for (std::size_t k = 0; k < table.size(); ++k) {
    (table[k].foil ? o.foils : o.byArea).push_back(static_cast<std::uint32_t>(k));
  }
  std::stable_sort(o.byArea.begin(), o.byArea.end(), [&table](std::uint32_t a, std::uint32_t b) {
    return table[a].area < table[b].area;
  });
  for (const std::uint32_t k : o.byArea) {
    o.areas.push_back(table[k].area);
  }
  return o;
}

const TableOrder& tableOrder(bool tiw) {
  static const TableOrder enamelled = buildTableOrder(false);
  static const TableOrder tripleInsulated = buildTableOrder(true);
  return tiw ? tripleInsulated : enamelled;
}

CandidateWires candidateWires(const WindingDemand& demand, double irms,
                              const WindingConditions& c) {
  CandidateWires out;
  out.tiw = demand.tripleInsulated;
  if (demand.wire) {
    out.given = demand.wire;
    return out;
  }
  const TableOrder& order = tableOrder(out.tiw);
  const std::vector<TableEntry>& table = tableEntries(out.tiw);
  const auto carries = [&](double area) { return irms <= c.currentDensity * area; };
  const auto from = std::partition_point(order.areas.begin(), order.areas.end(),
                                         [&](double area) { return !carries(area); });
  // A winding of a stack takes no more copper than kStackCopper times what its current needs.
  const double most = demand.copperBound > 0.0 ? demand.copperBound * irms / c.currentDensity
                                               : std::numeric_limits<double>::infinity();
  const auto to = std::max(from + 1, std::upper_bound(from, order.areas.end(), most));
  out.indices.assign(
      order.byArea.begin() + (from - order.areas.begin()),
      order.byArea.begin() + (std::min(to, order.areas.end()) - order.areas.begin()));
  std::uint32_t largest = order.byArea.back();
  for (const std::uint32_t k : order.foils) {
    const double area = table[k].area * c.breadth;
    if (carries(area) && area <= most) {
      out.indices.push_back(k);
    }
    if (area > table[largest].area * (table[largest].foil ? c.breadth : 1.0)) {
      largest = k;
    }
  }
  if (out.indices.empty()) {
    // Nothing carries the current at the density: the most copper the table has.
    out.indices.push_back(largest);
  }
  return out;
}

// How each table wire lies on one bobbin breadth: the turns a layer holds and the penetration
// ratio's logarithm times the skin depth (the porosity's share included). The same few bobbins
// come back review after review (a core's advice, a batch), so the last ones are kept.
struct BreadthLayout {
  double breadth = 0;
  bool tiw = false;
  std::vector<int> perLayer;
  std::vector<double> log2PhiDelta;
};

const BreadthLayout& breadthLayout(double breadth, bool tiw) {
  constexpr std::size_t kKept = 32;
  thread_local std::vector<BreadthLayout> kept;
  thread_local std::size_t next = 0;
  for (const BreadthLayout& layout : kept) {
    if (layout.breadth == breadth && layout.tiw == tiw) {
      return layout;
    }
  }
  const std::vector<TableEntry>& table = tableEntries(tiw);
  BreadthLayout layout;
  layout.breadth = breadth;
  layout.tiw = tiw;
  layout.perLayer.resize(table.size(), 1);
  layout.log2PhiDelta.resize(table.size());
  const double log2Breadth = std::log2(breadth);
  for (std::size_t k = 0; k < table.size(); ++k) {
    const TableEntry& e = table[k];
    layout.log2PhiDelta[k] = e.log2PhiDelta;
    if (!e.foil) {
      layout.perLayer[k] = turnsAcross(breadth, e.width);
      // The porosity, at most 1, scales φ by its square root.
      layout.log2PhiDelta[k] +=
          0.5 * std::min(0.0, e.log2Porosity + std::log2(layout.perLayer[k]) - log2Breadth);
    }
  }
  if (kept.size() < kKept) {
    kept.push_back(std::move(layout));
    return kept.back();
  }
  kept[next] = std::move(layout);
  const BreadthLayout& stored = kept[next];
  next = (next + 1) % kKept;
  return stored;
}

// The loss ratio's parts over the penetration ratio, read for the search from nodes on a
// logarithmic grid (four to an octave, each worked out exactly when first needed) by cubic
// interpolation: far fewer harmonic sums than wires. The chosen wires are worked out exactly.
class PartsGrid {
 public:
  explicit PartsGrid(const HarmonicSpectrum& spectrum) : spectrum_(spectrum) {}

  const HarmonicSpectrum& spectrum() const { return spectrum_; }

  // The parts at the penetration ratio whose base-2 logarithm is `log2Phi`.
  HarmonicSpectrum::Parts at(double log2Phi) {
    const double position = log2Phi * kPerOctave - kFirst;
    if (!(position >= 1.0) || !(position < static_cast<double>(kNodes - 2))) {
      return spectrum_.resistanceParts(std::exp2(log2Phi));
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
  static constexpr double kPerOctave = 4.0;
  static constexpr double kFirst = -14.0 * kPerOctave;
  static constexpr std::size_t kNodes = 20 * 4 + 1;

  const HarmonicSpectrum::Parts& node(std::size_t i) {
    if (!known_[i]) {
      nodes_[i] =
          spectrum_.resistanceParts(std::exp2((kFirst + static_cast<double>(i)) / kPerOctave));
      known_[i] = true;
    }
    return nodes_[i];
  }

  HarmonicSpectrum spectrum_;
  std::array<HarmonicSpectrum::Parts, kNodes> nodes_{};
  std::array<bool, kNodes> known_{};
};

// The grid of a current's shape. Currents of one shape come back review after review (every core
// of an advice has the same primary current, a batch's rows often the same duty), so the grids of
// the last few shapes are kept with the nodes they have worked out.
PartsGrid& partsGrid(const HarmonicSpectrum& spectrum) {
  constexpr std::size_t kKept = 8;
  thread_local std::vector<std::unique_ptr<PartsGrid>> kept;
  thread_local std::size_t next = 0;
  for (const std::unique_ptr<PartsGrid>& grid : kept) {
    if (grid->spectrum().sameShape(spectrum)) {
      return *grid;
    }
  }
  auto grid = std::make_unique<PartsGrid>(spectrum);
  if (kept.size() < kKept) {
    kept.push_back(std::move(grid));
    return *kept.back();
  }
  kept[next] = std::move(grid);
  PartsGrid& stored = *kept[next];
  next = (next + 1) % kKept;
  return stored;
}

// A person's wire, worked out exactly in each arrangement.
std::vector<Candidate> evaluateGiven(const WindingDemand& demand, const Wire& wire,
                                     const HarmonicSpectrum& spectrum, const WindingConditions& c) {
  Candidate candidate;
  for (const WindingArrangement arrangement : kArrangements) {
    const WindingLoss w = windWinding(demand.winding, demand.turns, wire, spectrum, arrangement, c,
                                      demand.outsideRatio, demand.tripleInsulated);
    const auto a = static_cast<std::size_t>(arrangement == WindingArrangement::Psp);
    candidate.build[a] = w.layout.build;
    candidate.pcu[a] = w.Pcu;
  }
  return {candidate};
}

// Every table wire's builds in each arrangement, laid as windWinding lays it: the same builds to
// the last bit, so that the fit is judged alike.
std::vector<Candidate> layTable(const WindingDemand& demand,
                                const std::vector<std::uint32_t>& indices,
                                const WindingConditions& c) {
  const std::vector<TableEntry>& table = tableEntries(demand.tripleInsulated);
  std::vector<Candidate> list(indices.size());
  const int turns = demand.turns;
  const bool split = splits(demand.winding, turns, WindingArrangement::Psp);
  // Whole-number quotients below 2^26 are exact in doubles, and cheaper than integer division.
  const int innerTurns = (turns + 1) / 2;
  const double all = turns;
  const double inner = innerTurns;
  const double outer = turns - innerTurns;
  const BreadthLayout& laid = breadthLayout(c.breadth, demand.tripleInsulated);
  for (std::size_t k = 0; k < indices.size(); ++k) {
    const TableEntry& e = table[indices[k]];
    Candidate& candidate = list[k];
    candidate.wire = k;
    candidate.perLayer = laid.perLayer[indices[k]];
    const double perLayer = candidate.perLayer;
    candidate.build[0] = static_cast<int>(std::ceil(all / perLayer)) * e.height;
    candidate.build[1] = split ? static_cast<int>(std::ceil(inner / perLayer)) * e.height +
                                     static_cast<int>(std::ceil(outer / perLayer)) * e.height
                               : candidate.build[0];
  }
  return list;
}

// The losses of the laid table wires that `needed` asks for, in each arrangement, the loss ratio
// read from the grid.
template <typename Needed>
void priceTable(const WindingDemand& demand, const std::vector<std::uint32_t>& indices,
                const HarmonicSpectrum& spectrum, const WindingConditions& c,
                std::vector<Candidate>& list, Needed needed) {
  const std::vector<TableEntry>& table = tableEntries(demand.tripleInsulated);
  const int turns = demand.turns;
  const double dcScale = spectrum.rms() * spectrum.rms() * c.resistivity * turns * c.meanTurn;
  const bool split = splits(demand.winding, turns, WindingArrangement::Psp);
  const int inner = (turns + 1) / 2;
  const int outer = turns - inner;
  const double log2Delta = std::log2(c.skinDepth);
  const BreadthLayout& laid = breadthLayout(c.breadth, demand.tripleInsulated);
  PartsGrid& grid = partsGrid(spectrum);
  for (std::size_t k = 0; k < list.size(); ++k) {
    Candidate& candidate = list[k];
    if (!needed(candidate)) {
      continue;
    }
    const TableEntry& e = table[indices[k]];
    const int perLayer = candidate.perLayer;
    const HarmonicSpectrum::Parts parts = grid.at(laid.log2PhiDelta[indices[k]] - log2Delta);
    const double dc = dcScale / (e.foil ? e.area * c.breadth : e.area) * e.resistanceFactor;
    const double perLayerTurns = perLayer;
    const int layers = static_cast<int>(std::ceil(turns / perLayerTurns));
    const double m = layers * e.across;
    candidate.pcu[0] = dc * parts.at(proximityWeight(m * demand.outsideRatio, m));
    if (split) {
      const double mInner = static_cast<int>(std::ceil(inner / perLayerTurns)) * e.across;
      const double mOuter = static_cast<int>(std::ceil(outer / perLayerTurns)) * e.across;
      candidate.pcu[1] = dc * parts.at(splitWeight(inner, outer, mInner, mOuter));
    } else {
      candidate.pcu[1] = candidate.pcu[0];
    }
  }
}

// The least build of any candidate in arrangement `a`.
double leastBuild(const std::vector<Candidate>& list, std::size_t a) {
  double least = std::numeric_limits<double>::infinity();
  for (const Candidate& candidate : list) {
    least = std::min(least, candidate.build[a]);
  }
  return least;
}

// The secondaries that can be the best beside some primary: sorted by build, each cheaper than
// every one of less build (first in candidate order on ties).
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
                        const WindingConditions& c, double outsideRatio, bool tripleInsulated) {
  WindingLoss w;
  w.winding = winding;
  w.turns = turns;
  w.wire = wire;
  w.tripleInsulated = tripleInsulated;
  w.section = wireSection(wire, c.breadth, tripleInsulated);
  const Layering l = layering(winding, turns, w.section, arrangement, c.breadth, outsideRatio);
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

WindingLoss laidWindingLoss(const WindingLoss& laid, const HarmonicSpectrum& spectrum,
                            double resistivityScale, double skinDepthScale) {
  WindingLoss w = laid;
  w.phi = laid.phi / skinDepthScale;
  w.Irms = spectrum.rms();
  w.currentDensity = w.Irms / w.section.copperArea;
  w.Rdc = laid.Rdc * resistivityScale;
  w.Fr = spectrum.resistanceParts(w.phi).at(w.weight);
  w.Pcu = w.Irms * w.Irms * w.Rdc * w.Fr;
  return w;
}

namespace {

// Which arrangements the search may take, and the tapes each puts between the primary and the
// secondaries (those between two secondaries are counted with the secondaries' builds).
struct Arrangements {
  std::array<bool, 2> allowed{};
  std::array<double, 2> tapes{};
};

Arrangements arrangementsFor(int primaryTurns, const WindingConditions& c) {
  // One primary turn cannot be split: it is wound as ps whatever was asked.
  const bool splittable = primaryTurns >= 2;
  Arrangements out;
  for (std::size_t a = 0; a < 2; ++a) {
    const WindingArrangement arrangement = kArrangements[a];
    out.allowed[a] = arrangement == WindingArrangement::Psp
                         ? splittable && c.arrangement != WindingArrangement::Ps
                         : !splittable || c.arrangement != WindingArrangement::Psp;
    out.tapes[a] = c.tape * tapesBetweenWindings(arrangement);
  }
  return out;
}

// One winding's candidates, laid; a person's wire is worked out whole at once.
std::vector<Candidate> laid(const WindingDemand& demand, const CandidateWires& wires,
                            const HarmonicSpectrum& spectrum, const WindingConditions& c) {
  return wires.given ? evaluateGiven(demand, *wires.given, spectrum, c)
                     : layTable(demand, wires.indices, c);
}

// The losses of the wires that can be part of a layout that fits beside the other windings'
// thinnest, or are themselves the thinnest (for where nothing fits). `other` is the other
// windings' least build in each arrangement, with the tapes between secondaries.
void priceWhatCanFit(const WindingDemand& demand, const CandidateWires& wires,
                     const HarmonicSpectrum& spectrum, const WindingConditions& c,
                     const Arrangements& arrangements, const std::array<double, 2>& other,
                     std::vector<Candidate>& list) {
  if (wires.given) {
    return;
  }
  const std::array<double, 2> own = {leastBuild(list, 0), leastBuild(list, 1)};
  priceTable(demand, wires.indices, spectrum, c, list, [&](const Candidate& k) {
    for (std::size_t a = 0; a < 2; ++a) {
      if (arrangements.allowed[a] &&
          (k.build[a] + other[a] + arrangements.tapes[a] <= c.build || k.build[a] == own[a])) {
        return true;
      }
    }
    return false;
  });
}

// The secondaries by build (their builds are the same in either arrangement), less those no
// thinner and no cheaper than the cheapest in both arrangements, which can never be the best.
std::vector<std::uint32_t> secondariesByBuild(const std::vector<Candidate>& secondaries,
                                              const std::array<double, 2>& perBuild) {
  const auto cost = [&](std::size_t k, std::size_t a) {
    return secondaries[k].pcu[a] + perBuild[a] * secondaries[k].build[a];
  };
  std::array<std::size_t, 2> cheapest{};
  for (std::size_t a = 0; a < 2; ++a) {
    for (std::size_t k = 1; k < secondaries.size(); ++k) {
      if (cost(k, a) < cost(cheapest[a], a)) {
        cheapest[a] = k;
      }
    }
  }
  std::vector<std::uint32_t> byBuild;
  byBuild.reserve(secondaries.size());
  for (std::size_t k = 0; k < secondaries.size(); ++k) {
    bool dominated = true;
    for (std::size_t a = 0; a < 2; ++a) {
      dominated = dominated && k != cheapest[a] &&
                  secondaries[k].build[a] >= secondaries[cheapest[a]].build[a] &&
                  cost(k, a) > cost(cheapest[a], a);
    }
    if (!dominated) {
      byBuild.push_back(static_cast<std::uint32_t>(k));
    }
  }
  std::sort(byBuild.begin(), byBuild.end(), [&secondaries](std::uint32_t x, std::uint32_t y) {
    const double bx = secondaries[x].build[0];
    const double by = secondaries[y].build[0];
    return bx < by || (bx == by && x < y);
  });
  return byBuild;
}

// The stack of secondaries as one: for each build the sum of their builds (and the tapes
// between them) can take, the least cost, with the wire of each secondary that gives it. With
// one secondary it is that secondary's front.
struct StackFront {
  std::vector<Pick> picks;  // by build, each cheaper than those before
  // Per pick, each secondary's wire; empty for one secondary, whose picks hold their wire.
  std::vector<std::vector<std::size_t>> wires;

  std::vector<std::size_t> wiresOf(const Pick& pick) const {
    return wires.empty() ? std::vector<std::size_t>{pick.wire} : wires[pick.wire];
  }
};

// The picks of a + b with the tape `tape` between them, as a front: every sum, sorted by build,
// keeping each that is cheaper than every thinner one. Both fronts are short, so the sums are
// few.
StackFront stackOn(const StackFront& a, const std::vector<Pick>& b, double tape, double tapeCost,
                   double room) {
  struct Sum {
    double build;
    double cost;
    std::size_t i;
    std::size_t k;
  };
  std::vector<Sum> sums;
  sums.reserve(a.picks.size() * b.size());
  for (std::size_t i = 0; i < a.picks.size(); ++i) {
    for (std::size_t k = 0; k < b.size(); ++k) {
      const double build = a.picks[i].build + tape + b[k].build;
      // Both fronts are sorted by build: the rest of b is thicker still.
      if (build > room) {
        break;
      }
      sums.push_back({build, a.picks[i].cost + tapeCost + b[k].cost, i, k});
    }
  }
  std::sort(sums.begin(), sums.end(), [](const Sum& x, const Sum& y) {
    return x.build < y.build || (x.build == y.build && x.cost < y.cost);
  });
  StackFront out;
  double least = std::numeric_limits<double>::infinity();
  for (const Sum& sum : sums) {
    if (sum.cost < least) {
      least = sum.cost;
      out.picks.push_back({0, sum.build, sum.cost});
      std::vector<std::size_t> wires = a.wires[sum.i];
      wires.push_back(b[sum.k].wire);
      out.wires.push_back(std::move(wires));
    }
  }
  return out;
}

// `byBuild`: each secondary's candidates by build; `room`: the most build the stack may take
// beside the thinnest primary, past which no stack can fit.
StackFront stackFront(const std::vector<std::vector<Candidate>>& secondaries,
                      const std::vector<std::vector<std::uint32_t>>& byBuild, std::size_t a,
                      double perBuild, double tape, double room) {
  StackFront stack;
  // With more than one secondary the stack is summed only up to the room; the others' thinnest
  // leave each of them less.
  std::vector<double> thinnest;
  double thinnestAll = tape * (static_cast<double>(secondaries.size()) - 1.0);
  for (const std::vector<Candidate>& list : secondaries) {
    thinnest.push_back(leastBuild(list, a));
    thinnestAll += thinnest.back();
  }
  for (std::size_t j = 0; j < secondaries.size(); ++j) {
    std::vector<Pick> front = secondaryFront(secondaries[j], byBuild[j], a, perBuild);
    if (j == 0) {
      stack.picks = std::move(front);
      // One secondary's picks name their wires themselves.
      if (secondaries.size() == 1) {
        return stack;
      }
      for (const Pick& pick : stack.picks) {
        stack.wires.push_back({pick.wire});
      }
      continue;
    }
    const double own = room - (thinnestAll - thinnest[j]);
    while (front.size() > 1 && front.back().build > own) {
      front.pop_back();
    }
    stack = stackOn(stack, front, tape, perBuild * tape, room);
  }
  for (std::size_t i = 0; i < stack.picks.size(); ++i) {
    stack.picks[i].wire = i;
  }
  return stack;
}

struct Choice {
  WindingArrangement arrangement = WindingArrangement::Ps;
  Pick primary;
  std::vector<std::size_t> secondaries;  // each secondary's wire
  double cost = std::numeric_limits<double>::infinity();
  double build = std::numeric_limits<double>::infinity();
  bool fits = false;
};

// The secondaries' own thinnest wires, the cheaper on ties, stacked with their tapes.
struct ThinStack {
  std::vector<std::size_t> wires;
  double build = 0;
  double cost = 0;
};

ThinStack thinStack(const std::vector<std::vector<Candidate>>& secondaries, std::size_t a,
                    double perBuild, double tape) {
  ThinStack stack;
  for (std::size_t j = 0; j < secondaries.size(); ++j) {
    const Pick pick = thinnest(secondaries[j], a, perBuild);
    stack.wires.push_back(pick.wire);
    const double between = j == 0 ? 0.0 : tape;
    stack.build += pick.build + between;
    stack.cost += pick.cost + perBuild * between;
  }
  return stack;
}

// The wires of least cost that fit over the allowed arrangements, or where none fits those of
// least build.
Choice choose(const std::vector<Candidate>& primaries,
              const std::vector<std::vector<Candidate>>& secondaries, int primaryTurns,
              const Arrangements& arrangements, const WindingConditions& c) {
  Choice best;
  Choice thinnestChoice;
  std::array<LeakageParts, 2> leakage{};
  std::array<double, 2> perBuilds{};
  for (std::size_t a = 0; a < 2; ++a) {
    leakage[a] = leakageParts(kArrangements[a], primaryTurns, c.meanTurn, c.breadth, c.tape);
    perBuilds[a] = c.clampPerHenry * leakage[a].perBuild;
  }
  std::vector<std::vector<std::uint32_t>> byBuild;
  byBuild.reserve(secondaries.size());
  for (const std::vector<Candidate>& list : secondaries) {
    byBuild.push_back(secondariesByBuild(list, perBuilds));
  }
  for (std::size_t a = 0; a < 2; ++a) {
    if (!arrangements.allowed[a]) {
      continue;
    }
    const double perBuild = perBuilds[a];
    const double tapes = arrangements.tapes[a];
    const double fixed = c.clampPerHenry * leakage[a].tapes;
    const double room = c.build - tapes - leastBuild(primaries, a);
    const StackFront stack = stackFront(secondaries, byBuild, a, perBuild, c.tape, room);
    const PairPick pair = bestFittingPair(primaries, a, perBuild, stack.picks, tapes, c.build);
    if (pair.found && pair.cost + fixed < best.cost) {
      best = {kArrangements[a],  pair.primary, stack.wiresOf(pair.secondary),
              pair.cost + fixed, 0.0,          true};
    }
    const Pick tp = thinnest(primaries, a, perBuild);
    const ThinStack ts = thinStack(secondaries, a, perBuild, c.tape);
    const double build = tp.build + ts.build + tapes;
    const double cost = tp.cost + ts.cost + fixed;
    if (build < thinnestChoice.build ||
        (build == thinnestChoice.build && cost < thinnestChoice.cost)) {
      thinnestChoice = {kArrangements[a], tp, ts.wires, cost, build, false};
    }
  }
  return best.fits ? best : thinnestChoice;
}

// The secondaries' ampere-turns outside each, over its own (see WindingDemand::outsideRatio),
// from the outermost in: they conduct together, in one shape.
std::vector<double> outsideRatios(std::span<const WindingDemand> secondaries,
                                  std::span<const HarmonicSpectrum> spectra) {
  std::vector<double> ratios(secondaries.size(), 0.0);
  double outside = 0.0;
  for (std::size_t j = secondaries.size(); j-- > 0;) {
    const double own = secondaries[j].turns * spectra[j].rms();
    ratios[j] = own > 0.0 ? outside / own : 0.0;
    outside += own;
  }
  return ratios;
}

}  // namespace

WindingDesign designWindings(const WindingDemand& primary, const WindingDemand& secondary,
                             const WindingConditions& c) {
  return designWindings(primary, std::span<const WindingDemand>(&secondary, 1), c);
}

WindingDesign designWindings(const WindingDemand& primary,
                             std::span<const WindingDemand> givenSecondaries,
                             const WindingConditions& c) {
  const HarmonicSpectrum primarySpectrum(primary.current);
  std::vector<HarmonicSpectrum> spectra;
  spectra.reserve(givenSecondaries.size());
  for (const WindingDemand& demand : givenSecondaries) {
    spectra.emplace_back(demand.current);
  }
  std::vector<WindingDemand> secondaries(givenSecondaries.begin(), givenSecondaries.end());
  const std::vector<double> ratios = outsideRatios(secondaries, spectra);
  for (std::size_t j = 0; j < secondaries.size(); ++j) {
    secondaries[j].outsideRatio = ratios[j];
    if (secondaries.size() > 1) {
      secondaries[j].copperBound = kStackCopper;
    }
  }
  const CandidateWires primaryWires = candidateWires(primary, primarySpectrum.rms(), c);
  std::vector<CandidateWires> secondaryWires;
  for (std::size_t j = 0; j < secondaries.size(); ++j) {
    secondaryWires.push_back(candidateWires(secondaries[j], spectra[j].rms(), c));
  }
  const Arrangements arrangements = arrangementsFor(primary.turns, c);

  // Lay every wire first, then work out the losses only where they can matter.
  std::vector<Candidate> primaries = laid(primary, primaryWires, primarySpectrum, c);
  std::vector<std::vector<Candidate>> stacked;
  std::vector<double> thinnestOwn;
  double thinnestStack = c.tape * (static_cast<double>(secondaries.size()) - 1.0);
  for (std::size_t j = 0; j < secondaries.size(); ++j) {
    stacked.push_back(laid(secondaries[j], secondaryWires[j], spectra[j], c));
    thinnestOwn.push_back(leastBuild(stacked.back(), 0));
    thinnestStack += thinnestOwn.back();
  }
  const std::array<double, 2> thinnestPrimary = {leastBuild(primaries, 0),
                                                 leastBuild(primaries, 1)};
  priceWhatCanFit(primary, primaryWires, primarySpectrum, c, arrangements,
                  {thinnestStack, thinnestStack}, primaries);
  for (std::size_t j = 0; j < secondaries.size(); ++j) {
    const double others = thinnestStack - thinnestOwn[j];
    priceWhatCanFit(secondaries[j], secondaryWires[j], spectra[j], c, arrangements,
                    {thinnestPrimary[0] + others, thinnestPrimary[1] + others}, stacked[j]);
  }
  const Choice chosen = choose(primaries, stacked, primary.turns, arrangements, c);

  WindingDesign design;
  design.arrangement = chosen.arrangement;
  design.windings.push_back(windWinding(primary.winding, primary.turns,
                                        primaryWires.at(chosen.primary.wire), primarySpectrum,
                                        chosen.arrangement, c));
  design.windings[0].wireChosen = !primary.wire;
  double hS = c.tape * (static_cast<double>(secondaries.size()) - 1.0);
  for (std::size_t j = 0; j < secondaries.size(); ++j) {
    const WindingDemand& demand = secondaries[j];
    WindingLoss w =
        windWinding(demand.winding, demand.turns, secondaryWires[j].at(chosen.secondaries[j]),
                    spectra[j], chosen.arrangement, c, demand.outsideRatio, demand.tripleInsulated);
    w.wireChosen = !demand.wire;
    hS += w.layout.build;
    design.windings.push_back(w);
  }
  const double hP = design.windings[0].layout.build;
  design.buildTotal = hP + hS + c.tape * tapesBetweenWindings(chosen.arrangement);
  design.fits = design.buildTotal <= c.build;
  design.leakage =
      arrangedLeakage(chosen.arrangement, primary.turns, c.meanTurn, c.breadth, hP, hS, c.tape);
  design.cost = 0.0;
  for (const WindingLoss& w : design.windings) {
    design.cost += w.Pcu;
  }
  design.cost += c.clampPerHenry * design.leakage;
  return design;
}

}  // namespace fbc
