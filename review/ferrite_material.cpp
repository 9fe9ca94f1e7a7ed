#include "review/ferrite_material.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace fbc {

namespace {

// Steinmetz fits of the open MAS material data (OpenMagnetics), checked against the
// manufacturers' loss curves; see docs/engineering-review.md.
constexpr std::array<SteinmetzBand, 1> kN97{{
    {1, 200e3, 955.832, 1.42173, 2.51718, 5.79544e-3, 8.15964e-5, 3.75428e-7},
}};
constexpr std::array<SteinmetzBand, 2> kN87{{
    {1, 100e3, 13824.1, 1.18895, 2.62645, 9.8085e-3, 1.47729e-4, 7.14921e-7},
    {100e3, 300e3, 8.24084, 1.78328, 2.62264, 1.24266e-2, 1.74382e-4, 9.58051e-7},
}};
constexpr std::array<SteinmetzBand, 2> k3C95{{
    {1, 150e3, 92.1664, 1.045, 2.44, 1.33236, 7.94e-3, 4.62e-5},
    {150e3, 300e3, 7.47e-3, 1.955, 3.07, 1.65423, 1.26e-2, 6.06e-5},
}};
constexpr std::array<SteinmetzBand, 1> k3C90{{
    {1, 200e3, 3.2, 1.46, 2.75, 2.45, 0.031, 1.65e-4},
}};

constexpr std::array<FerriteMaterial, 4> kMaterials{{
    {"N97", kN97, 0.414},
    {"N87", kN87, 0.390},
    {"3C95", k3C95, 0.41},
    {"3C90", k3C90, 0.38},
}};

}  // namespace

std::span<const FerriteMaterial> ferriteMaterials() { return kMaterials; }

std::string materialNames(std::string_view comma, std::string_view last) {
  std::string list;
  for (std::size_t i = 0; i < kMaterials.size(); ++i) {
    if (i > 0) {
      list += i + 1 == kMaterials.size() ? last : comma;
    }
    list += kMaterials[i].name;
  }
  return list;
}

const FerriteMaterial* ferriteMaterial(std::string_view name) {
  const auto found = std::find_if(kMaterials.begin(), kMaterials.end(),
                                  [name](const FerriteMaterial& m) { return m.name == name; });
  return found == kMaterials.end() ? nullptr : &*found;
}

BandChoice steinmetzBand(const FerriteMaterial& material, double f) {
  const std::span<const SteinmetzBand> bands = material.bands;
  // From the top, so that an edge two bands share goes to the upper one.
  for (auto band = bands.rbegin(); band != bands.rend(); ++band) {
    if (f >= band->fMin && f <= band->fMax) {
      return {&*band, false};
    }
  }
  return {f < bands.front().fMin ? &bands.front() : &bands.back(), true};
}

double steinmetzTemperatureFactor(const SteinmetzBand& band, double celsius) {
  return band.ct0 - band.ct1 * celsius + band.ct2 * celsius * celsius;
}

double steinmetzLoss(const SteinmetzBand& band, double f, double bPeak, double celsius) {
  return band.k * std::pow(f, band.alpha) * std::pow(bPeak, band.beta) *
         steinmetzTemperatureFactor(band, celsius);
}

double igseCoefficient(const SteinmetzBand& band) {
  return band.k / (std::pow(2.0, band.beta + 1.0) * std::pow(std::numbers::pi, band.alpha - 1.0) *
                   (0.2761 + 1.7061 / (band.alpha + 1.354)));
}

double igseTriangularLoss(const SteinmetzBand& band, double f, double swing, double rise,
                          double fall, double celsius) {
  const double shape = std::pow(rise, 1.0 - band.alpha) + std::pow(fall, 1.0 - band.alpha);
  return igseCoefficient(band) * std::pow(f, band.alpha) * std::pow(swing, band.beta) * shape *
         steinmetzTemperatureFactor(band, celsius);
}

}  // namespace fbc
