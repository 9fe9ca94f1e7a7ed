#include "design/core_catalogue.h"

#include <array>
#include <cmath>

namespace fbc {

namespace {

struct CoreFigures {
  std::u16string_view name;
  double crossSectionMm2;
  double windowMm2;
  double fillPercent;
};

constexpr std::array<CoreFigures, 18> kCores{{
    {u"EER25.5", 44.8, 48.4, 22},
    {u"EER28", 82.1, 71.8, 20},
    {u"EER28L", 81.4, 96.3, 20},
    {u"EER35", 107, 152.7, 14},
    {u"EER40", 149, 178.8, 14},
    {u"EER42", 194, 153.3, 12},
    {u"EER424220", 240, 159.7, 10},
    {u"EER49", 231, 167.8, 14},
    {u"EC90", 624, 1046.5, 25},
    {u"PQ2016", 62, 23.4, 24},
    {u"PQ2020", 62, 36.2, 24},
    {u"PQ2620", 119, 30.7, 23},
    {u"PQ2625", 118, 47.7, 22},
    {u"PQ3220", 170, 42.9, 22},
    {u"PQ3230", 161, 95.3, 21},
    {u"PQ35", 196, 154.2, 21},
    {u"PQ40", 201, 240, 21},
    {u"PQ50", 328, 313, 20},
}};

constexpr std::u16string_view kEndMark = u"END";
constexpr int kListPositions = 99;

}  // namespace

CoreCatalogue::CoreCatalogue()
    : name_(kCapacity), ae_(kCapacity, 0.0F), aw_(kCapacity, 0.0F), fill_(kCapacity, 0.0F) {
  // The cross-section is tabled in mm²; the factor 10^-6 is a 64-bit power and only the product
  // is rounded to 32 bits, which decides the last bit of Ae.
  const double perMm2 = std::pow(10.0, -6.0);
  int position = 1;
  for (const CoreFigures& core : kCores) {
    name_[static_cast<std::size_t>(position)] = core.name;
    ae_[static_cast<std::size_t>(position)] = static_cast<float>(core.crossSectionMm2 * perMm2);
    aw_[static_cast<std::size_t>(position)] = static_cast<float>(core.windowMm2);
    fill_[static_cast<std::size_t>(position)] = static_cast<float>(core.fillPercent);
    ++position;
  }
  name_[static_cast<std::size_t>(position)] = kEndMark;
}

std::vector<std::u16string> CoreCatalogue::listNames() const {
  std::vector<std::u16string> names;
  for (int position = 1; position <= kListPositions; ++position) {
    if (name_[static_cast<std::size_t>(position)] == kEndMark) {
      break;
    }
    names.push_back(name_[static_cast<std::size_t>(position)]);
  }
  return names;
}

std::optional<int> CoreCatalogue::find(std::u16string_view text) const {
  for (int position = 1; position < kCapacity; ++position) {
    if (name_[static_cast<std::size_t>(position)] == text) {
      return position;
    }
  }
  return std::nullopt;
}

}  // namespace fbc
