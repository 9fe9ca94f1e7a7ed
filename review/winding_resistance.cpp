#include "review/winding_resistance.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <numbers>

namespace fbc {

namespace {

constexpr double kPi = std::numbers::pi;

// Beyond this penetration ratio ς1 and ς2 are 1 to within 2·e^-40.
constexpr double kLargePhi = 40.0;
// Below this one the closed forms lose digits to cancellation; their series take over.
constexpr double kSmallPhi = 1e-2;

// Dowell's ς1 and ς2.
double zeta1(double phi) {
  if (phi >= kLargePhi) {
    return 1.0;
  }
  if (phi < kSmallPhi) {
    return 1.0 / phi + 4.0 * phi * phi * phi / 45.0;
  }
  const double twice = 2.0 * phi;
  return (std::sinh(twice) + std::sin(twice)) / (std::cosh(twice) - std::cos(twice));
}

double zeta2(double phi) {
  if (phi >= kLargePhi) {
    return 1.0;
  }
  if (phi < kSmallPhi) {
    return phi * phi * phi / 6.0;
  }
  return (std::sinh(phi) - std::sin(phi)) / (std::cosh(phi) + std::cos(phi));
}

// The integrals of Dowell's factor over a spectrum falling as 1/n, in x = φ·√n:
//   A(x0) = ∫ (x·ς1(x) − 1) / x³ dx  and  B(x0) = ∫ ς2(x) / x² dx,  from x0 to ∞,
// so that ∫ (FR(x, M) − 1) / x³ dx = A + 2/3 · (M² − 1) · B. Tabled once on a logarithmic
// grid and read by linear interpolation; past kLargePhi both are in closed form.
class SpectrumIntegrals {
 public:
  static constexpr double kFirst = 1e-3;
  static constexpr int kPoints = 601;  // kFirst to kLargePhi
  static constexpr int kSubsteps = 16;

  SpectrumIntegrals() {
    const double step = std::log(kLargePhi / kFirst) / (kPoints - 1);
    step_ = step;
    a_[kPoints - 1] = tailA(kLargePhi);
    b_[kPoints - 1] = tailB(kLargePhi);
    // Simpson's rule on each grid interval, from the top down.
    for (int i = kPoints - 2; i >= 0; --i) {
      const double lo = std::log(kFirst) + step * i;
      double sumA = 0.0;
      double sumB = 0.0;
      const double h = step / kSubsteps;
      for (int k = 0; k <= kSubsteps; ++k) {
        const double weight = (k == 0 || k == kSubsteps) ? 1.0 : (k % 2 == 1 ? 4.0 : 2.0);
        const double x = std::exp(lo + h * k);
        // dx = x · d(ln x)
        sumA += weight * (x * zeta1(x) - 1.0) / (x * x);
        sumB += weight * zeta2(x) / x;
      }
      a_[static_cast<std::size_t>(i)] = a_[static_cast<std::size_t>(i) + 1] + sumA * h / 3.0;
      b_[static_cast<std::size_t>(i)] = b_[static_cast<std::size_t>(i) + 1] + sumB * h / 3.0;
    }
  }

  double a(double x0) const { return read(a_, x0, tailA); }
  double b(double x0) const { return read(b_, x0, tailB); }

 private:
  static double tailA(double x) { return 1.0 / x - 0.5 / (x * x); }
  static double tailB(double x) { return 1.0 / x; }

  double read(const std::array<double, kPoints>& table, double x0, double (*tail)(double)) const {
    if (x0 >= kLargePhi) {
      return tail(x0);
    }
    // Below the first point the integrands vanish like x; what lies below adds nothing.
    const double at = std::max(0.0, std::log(std::max(x0, kFirst) / kFirst) / step_);
    const auto i = std::min(static_cast<std::size_t>(at), static_cast<std::size_t>(kPoints - 2));
    const double share = at - static_cast<double>(i);
    return table[i] + share * (table[i + 1] - table[i]);
  }

  double step_ = 0.0;
  std::array<double, kPoints> a_{};
  std::array<double, kPoints> b_{};
};

const SpectrumIntegrals& spectrumIntegrals() {
  static const SpectrumIntegrals integrals;
  return integrals;
}

// The squared RMS of harmonic n, 2·|cn|², of the current's Fourier series.
double harmonicSquare(std::span<const CurrentSegment> current, int n) {
  const double omega = 2.0 * kPi * n;
  std::complex<double> c;
  for (const CurrentSegment& piece : current) {
    const double length = piece.end - piece.start;
    if (!(length > 0.0)) {
      continue;
    }
    const double slope = (piece.to - piece.from) / length;
    const std::complex<double> e0 = std::polar(1.0, -omega * piece.start);
    const std::complex<double> e1 = std::polar(1.0, -omega * piece.end);
    const std::complex<double> j(0.0, 1.0);
    // ∫ (a + s·(t − t0))·e^(−jωt) dt by parts.
    c += j / omega * (piece.to * e1 - piece.from * e0) + slope * (e1 - e0) / (omega * omega);
  }
  return 2.0 * std::norm(c);
}

// The sum of the squared steps of the current around one period, steps into and out of the
// times no piece covers included. Pieces in time order.
double stepSquares(std::span<const CurrentSegment> current) {
  double sum = 0.0;
  for (std::size_t i = 0; i < current.size(); ++i) {
    const CurrentSegment& piece = current[i];
    const CurrentSegment& next = current[(i + 1) % current.size()];
    const double nextStart = i + 1 < current.size() ? next.start : next.start + 1.0;
    if (nextStart > piece.end) {
      sum += piece.to * piece.to + next.from * next.from;
    } else {
      sum += (next.from - piece.to) * (next.from - piece.to);
    }
  }
  return sum;
}

}  // namespace

WindingLayout layWinding(int turns, int strands, double strandDiameter, double breadth) {
  WindingLayout layout;
  layout.outerDiameter =
      strands <= 1 ? 1.1 * strandDiameter : 1.1 * strandDiameter * std::sqrt(strands / 0.7);
  // A breadth that holds a whole number of turns holds them, rounding aside.
  const double across = std::floor(breadth / layout.outerDiameter * (1.0 + 1e-12));
  layout.turnsPerLayer = across >= 1.0 && across < 1e9 ? static_cast<int>(across) : 1;
  layout.layers = (turns + layout.turnsPerLayer - 1) / layout.turnsPerLayer;
  layout.build = layout.layers * layout.outerDiameter;
  return layout;
}

double dowellFactor(double phi, double layers) {
  if (!(phi > 0.0)) {
    return 1.0;
  }
  return phi * (zeta1(phi) + 2.0 / 3.0 * (layers * layers - 1.0) * zeta2(phi));
}

double roundWirePenetration(double diameter, double porosity, double skinDepth) {
  return std::sqrt(kPi / 4.0) * diameter / skinDepth * std::sqrt(porosity);
}

double rmsCurrent(std::span<const CurrentSegment> current) {
  double sum = 0.0;
  for (const CurrentSegment& piece : current) {
    sum += (piece.end - piece.start) *
           (piece.from * piece.from + piece.from * piece.to + piece.to * piece.to) / 3.0;
  }
  return std::sqrt(sum);
}

double harmonicLossFactor(double dcSquare, std::span<const double> harmonicSquares, double phi,
                          double layers) {
  double total = dcSquare;
  double lost = dcSquare;
  for (std::size_t i = 0; i < harmonicSquares.size(); ++i) {
    const double n = static_cast<double>(i + 1);
    total += harmonicSquares[i];
    lost += harmonicSquares[i] * dowellFactor(phi * std::sqrt(n), layers);
  }
  return total > 0.0 ? lost / total : 1.0;
}

double harmonicResistanceFactor(std::span<const CurrentSegment> current, double phi, double layers,
                                int exactHarmonics) {
  const double rms = rmsCurrent(current);
  if (!(rms > 0.0) || !(phi > 0.0)) {
    return 1.0;
  }
  double excess = 0.0;
  for (int n = 1; n <= exactHarmonics; ++n) {
    excess += harmonicSquare(current, n) * (dowellFactor(phi * std::sqrt(n), layers) - 1.0);
  }
  // Past the exact harmonics the squared amplitudes average Σ steps² / (2π² n²); with
  // x = φ·√n the sum over n becomes 2·φ²·∫ (FR(x) − 1) / x³ dx, from halfway to the next
  // harmonic.
  const double x0 = phi * std::sqrt(exactHarmonics + 0.5);
  const SpectrumIntegrals& integrals = spectrumIntegrals();
  const double integral = integrals.a(x0) + 2.0 / 3.0 * (layers * layers - 1.0) * integrals.b(x0);
  const double tail = stepSquares(current) / (2.0 * kPi * kPi) * 2.0 * phi * phi * integral;
  return 1.0 + (excess + tail) / (rms * rms);
}

}  // namespace fbc
