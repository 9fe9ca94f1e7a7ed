#include "review/core_geometry.h"

#include <algorithm>
#include <array>
#include <optional>

#include "design/core_catalogue.h"

namespace fbc {

namespace {

constexpr double mm(double value) { return value * 1e-3; }
constexpr double mm3(double value) { return value * 1e-9; }

// le, Ve and MLT from the manufacturers' data sheets; bw and hw of the matching bobbins. Where
// no bobbin or MLT is published (the EER cores, EC90's MLT) the figures are estimates, see
// docs/engineering-review.md.
constexpr std::array<CoreGeometry, 18> kGeometries{{
    {u"EER25.5", mm(48.2), mm3(2160), mm(45), mm(10.1), mm(4.65), 30},
    {u"EER28", mm(63.9), mm3(5250), mm(52), mm(17.0), mm(4.4), 22.5},
    {u"EER28L", mm(75.6), mm3(6150), mm(52), mm(22.8), mm(4.4), 22},
    {u"EER35", mm(90.8), mm3(9720), mm(61), mm(27.1), mm(5.9), 17.5},
    {u"EER40", mm(98.0), mm3(14600), mm(69), mm(28.5), mm(6.65), 15},
    {u"EER42", mm(99.0), mm3(19200), mm(74), mm(28.5), mm(5.8), 14},
    {u"EER424220", mm(98.8), mm3(23700), mm(79), mm(28.2), mm(5.75), 12.8},
    {u"EER49", mm(91.3), mm3(21100), mm(86), mm(22.5), mm(8.1), 0},
    {u"EC90", mm(220.9), mm3(138270), mm(160), mm(65.3), mm(15.9), 0},
    {u"PQ2016", mm(37.4), mm3(2310), mm(44.0), mm(8.0), mm(3.14), 0},
    {u"PQ2020", mm(45.4), mm3(2790), mm(44.0), mm(11.9), mm(3.14), 0},
    {u"PQ2620", mm(46.3), mm3(5490), mm(56.2), mm(9.0), mm(3.70), 0},
    {u"PQ2625", mm(55.5), mm3(6530), mm(56.2), mm(13.6), mm(3.70), 0},
    {u"PQ3220", mm(55.5), mm3(9420), mm(66.7), mm(9.1), mm(5.35), 0},
    {u"PQ3230", mm(74.6), mm3(12000), mm(66.7), mm(18.8), mm(5.35), 0},
    {u"PQ35", mm(87.9), mm3(17300), mm(75.2), mm(22.3), mm(7.17), 0},
    {u"PQ40", mm(102), mm3(20500), mm(83.9), mm(26.8), mm(9.30), 0},
    {u"PQ50", mm(113.4), mm3(37200), mm(103.8), mm(33.9), mm(9.85), 0},
}};

}  // namespace

std::span<const CoreGeometry> coreGeometries() { return kGeometries; }

const CoreGeometry* coreGeometry(std::u16string_view name) {
  const auto found = std::find_if(kGeometries.begin(), kGeometries.end(),
                                  [name](const CoreGeometry& g) { return g.name == name; });
  return found == kGeometries.end() ? nullptr : &*found;
}

const CoreGeometry* coreGeometryFor(const DesignState& state) {
  if (const CoreGeometry* named = coreGeometry(state.CoreSel)) {
    return named;
  }
  // No two catalogue cores share all three figures, so they name the core exactly.
  static const CoreCatalogue catalogue;
  for (const std::u16string& name : catalogue.listNames()) {
    const std::optional<int> position = catalogue.find(name);
    if (position && catalogue.ae(*position) == state.Ae && catalogue.aw(*position) == state.Aw &&
        catalogue.fill(*position) == state.Fill) {
      return coreGeometry(name);
    }
  }
  return nullptr;
}

}  // namespace fbc
