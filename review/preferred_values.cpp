#include "review/preferred_values.h"

#include <array>
#include <cmath>
#include <span>

namespace fbc {

namespace {

// The series' values in one decade (IEC 60063).
constexpr std::array<double, 6> kE6{1.0, 1.5, 2.2, 3.3, 4.7, 6.8};
constexpr std::array<double, 12> kE12{1.0, 1.2, 1.5, 1.8, 2.2, 2.7, 3.3, 3.9, 4.7, 5.6, 6.8, 8.2};
constexpr std::array<double, 24> kE24{1.0, 1.1, 1.2, 1.3, 1.5, 1.6, 1.8, 2.0, 2.2, 2.4, 2.7, 3.0,
                                      3.3, 3.6, 3.9, 4.3, 4.7, 5.1, 5.6, 6.2, 6.8, 7.5, 8.2, 9.1};

constexpr double kSameValue = 1e-12;

std::span<const double> decade(PreferredSeries series) {
  if (series == PreferredSeries::E6) {
    return kE6;
  }
  if (series == PreferredSeries::E12) {
    return kE12;
  }
  return kE24;
}

// The decade's power of ten and the value's mantissa in [1, 10), for a positive finite value.
// log10 may land one decade off near a power of ten; the loops put it right.
double mantissa(double value, int& exponent) {
  exponent = static_cast<int>(std::floor(std::log10(value)));
  double m = value / std::pow(10.0, exponent);
  while (m >= 10.0 * (1.0 - kSameValue)) {
    ++exponent;
    m = value / std::pow(10.0, exponent);
  }
  while (m < 1.0 * (1.0 - kSameValue)) {
    --exponent;
    m = value / std::pow(10.0, exponent);
  }
  return m;
}

}  // namespace

double preferredValueAtMost(PreferredSeries series, double value) {
  int exponent = 0;
  const double m = mantissa(value, exponent);
  const std::span<const double> values = decade(series);
  double chosen = values.front();
  for (const double v : values) {
    if (v <= m * (1.0 + kSameValue)) {
      chosen = v;
    }
  }
  return chosen * std::pow(10.0, exponent);
}

double preferredValueAtLeast(PreferredSeries series, double value) {
  int exponent = 0;
  const double m = mantissa(value, exponent);
  for (const double v : decade(series)) {
    if (v >= m * (1.0 - kSameValue)) {
      return v * std::pow(10.0, exponent);
    }
  }
  return std::pow(10.0, exponent + 1);
}

}  // namespace fbc
