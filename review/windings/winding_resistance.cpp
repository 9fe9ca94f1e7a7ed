#include "review/windings/winding_resistance.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

namespace fbc {

namespace {

constexpr double kPi = std::numbers::pi;

// Beyond this penetration ratio ς1 and ς2 are 1 to within 2·e^-40.
constexpr double kLargePhi = 40.0;
// Below this one the closed forms lose digits to cancellation; their series take over.
constexpr double kSmallPhi = 1e-2;

// Dowell's ς1 and ς2 together, from one exponential and one sine and cosine of φ: the review
// evaluates them for every harmonic of every winding of every design.
struct Zetas {
  double one;
  double two;
};

Zetas zetas(double phi) {
  if (phi >= kLargePhi) {
    return {1.0, 1.0};
  }
  if (phi < kSmallPhi) {
    return {1.0 / phi + 4.0 * phi * phi * phi / 45.0, phi * phi * phi / 6.0};
  }
  const double e = std::exp(phi);
  const double sh = 0.5 * (e - 1.0 / e);
  const double ch = 0.5 * (e + 1.0 / e);
  const double sn = std::sin(phi);
  const double cs = std::cos(phi);
  // sinh 2φ, cosh 2φ, sin 2φ and cos 2φ by the double-angle formulas.
  const double sh2 = 2.0 * sh * ch;
  const double ch2 = ch * ch + sh * sh;
  const double sn2 = 2.0 * sn * cs;
  const double cs2 = cs * cs - sn * sn;
  return {(sh2 + sn2) / (ch2 - cs2), (sh - sn) / (ch + cs)};
}

// Dowell's factor FR = x·ς1 + 2/3·(M² − 1)·x·ς2 written as 1 + x⁴·(r1 + 2/3·(M² − 1)·r2), with
// r1 = (x·ς1 − 1)/x⁴ and r2 = x·ς2/x⁴ tabled on a uniform grid up to kLargePhi with their
// second derivatives and read as a cubic spline: the harmonic sums need FR − 1 for dozens of
// harmonics of every winding of every design, and in this form it keeps its relative precision
// for thin conductors and many layers. Both parts are even and smooth (4/45 and 1/6 at 0).
class DowellTable {
 public:
  static constexpr double kStep = 1.0 / 32.0;
  static constexpr int kPoints = static_cast<int>(kLargePhi / kStep) + 1;

  DowellTable() {
    for (int i = 0; i < kPoints; ++i) {
      const double x = i * kStep;
      const auto at = static_cast<std::size_t>(i);
      one_[at] = part1(x);
      two_[at] = part2(x);
      // Central differences, with a step far below the grid's; the parts are even about 0.
      const double h = 1e-3;
      const double below = x < h ? x + h : x - h;
      one2_[at] = (part1(x + h) - 2.0 * one_[at] + part1(below)) / (h * h);
      two2_[at] = (part2(x + h) - 2.0 * two_[at] + part2(below)) / (h * h);
    }
  }

  // FR − 1 at x split into its own field's part x⁴·r1 and the proximity part x⁴·r2 per unit of
  // weight.
  struct Parts {
    double one;
    double two;
  };
  Parts parts(double x) const {
    if (!(x < kLargePhi)) {
      return {x - 1.0, x};
    }
    const double at = std::max(x, 0.0) / kStep;
    const auto i = std::min(static_cast<std::size_t>(at), static_cast<std::size_t>(kPoints - 2));
    const double b = at - static_cast<double>(i);
    const double a = 1.0 - b;
    const double curve = (a * a * a - a) * kStep * kStep / 6.0;
    const double curveNext = (b * b * b - b) * kStep * kStep / 6.0;
    const double r1 = a * one_[i] + b * one_[i + 1] + curve * one2_[i] + curveNext * one2_[i + 1];
    const double r2 = a * two_[i] + b * two_[i + 1] + curve * two2_[i] + curveNext * two2_[i + 1];
    const double x4 = x * x * x * x;
    return {x4 * r1, x4 * r2};
  }

  // FR − 1 at x for `layers` layers.
  double excess(double x, double layers) const {
    const Parts p = parts(x);
    return p.one + 2.0 / 3.0 * (layers * layers - 1.0) * p.two;
  }

 private:
  static double part1(double x) {
    if (x < 0.1) {
      // x·ς1 = 1 + 4x⁴/45 − 16x⁸/4725 + ...: the closed form would lose its digits to the 1.
      return 4.0 / 45.0 - 16.0 * x * x * x * x / 4725.0;
    }
    const double x2 = x * x;
    return (x * zetas(x).one - 1.0) / (x2 * x2);
  }
  static double part2(double x) {
    if (x < kSmallPhi) {
      return 1.0 / 6.0;
    }
    const double x2 = x * x;
    return zetas(x).two / (x2 * x);
  }

  std::array<double, kPoints> one_{};
  std::array<double, kPoints> two_{};
  std::array<double, kPoints> one2_{};
  std::array<double, kPoints> two2_{};
};

const DowellTable& dowellTable() {
  static const DowellTable table;
  return table;
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
        const Zetas z = zetas(x);
        sumA += weight * (x * z.one - 1.0) / (x * x);
        sumB += weight * z.two / x;
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

// The squared RMS values 2·|cn|² of harmonics 1 to squares.size() of the current's Fourier
// series. Each piece's e^(−jωt) at its ends is turned on by one rotation per harmonic instead
// of being evaluated afresh; the complex arithmetic is written out, as the library's complex
// product checks for infinities the review never has.
// 1/ω and √n of the first harmonics, so that the sums below divide by nothing and take no root.
struct HarmonicConstants {
  std::array<double, kExactHarmonics> inverseOmega{};
  std::array<double, kExactHarmonics> root{};
  HarmonicConstants() {
    for (std::size_t i = 0; i < inverseOmega.size(); ++i) {
      inverseOmega[i] = 1.0 / (2.0 * kPi * static_cast<double>(i + 1));
      root[i] = std::sqrt(static_cast<double>(i + 1));
    }
  }
};

const HarmonicConstants& harmonicConstants() {
  static const HarmonicConstants constants;
  return constants;
}

double inverseOmega(std::size_t i) {
  return i < kExactHarmonics ? harmonicConstants().inverseOmega[i]
                             : 1.0 / (2.0 * kPi * static_cast<double>(i + 1));
}

double harmonicRoot(std::size_t i) {
  return i < kExactHarmonics ? harmonicConstants().root[i] : std::sqrt(static_cast<double>(i + 1));
}

void harmonicSquares(std::span<const CurrentSegment> current, std::span<double> squares,
                     std::span<double> imaginary) {
  // The sums' real parts build up in `squares` itself, their imaginary parts beside them.
  std::fill(squares.begin(), squares.end(), 0.0);
  std::fill(imaginary.begin(), imaginary.end(), 0.0);
  for (const CurrentSegment& piece : current) {
    const double length = piece.end - piece.start;
    if (!(length > 0.0)) {
      continue;
    }
    const double slope = (piece.to - piece.from) / length;
    const double step0Re = std::cos(2.0 * kPi * piece.start);
    const double step0Im = -std::sin(2.0 * kPi * piece.start);
    const double step1Re = std::cos(2.0 * kPi * piece.end);
    const double step1Im = -std::sin(2.0 * kPi * piece.end);
    double e0Re = step0Re;
    double e0Im = step0Im;
    double e1Re = step1Re;
    double e1Im = step1Im;
    for (std::size_t i = 0; i < squares.size(); ++i) {
      const double perOmega = inverseOmega(i);
      // ∫ (a + s·(t − t0))·e^(−jωt) dt by parts: j/ω·(b·e1 − a·e0) + s/ω²·(e1 − e0).
      const double valueRe = piece.to * e1Re - piece.from * e0Re;
      const double valueIm = piece.to * e1Im - piece.from * e0Im;
      const double ramp = slope * perOmega * perOmega;
      squares[i] += -valueIm * perOmega + ramp * (e1Re - e0Re);
      imaginary[i] += valueRe * perOmega + ramp * (e1Im - e0Im);
      const double next0Re = e0Re * step0Re - e0Im * step0Im;
      e0Im = e0Re * step0Im + e0Im * step0Re;
      e0Re = next0Re;
      const double next1Re = e1Re * step1Re - e1Im * step1Im;
      e1Im = e1Re * step1Im + e1Im * step1Re;
      e1Re = next1Re;
    }
  }
  for (std::size_t i = 0; i < squares.size(); ++i) {
    squares[i] = 2.0 * (squares[i] * squares[i] + imaginary[i] * imaginary[i]);
  }
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
  layout.turnsPerLayer = turnsAcross(breadth, layout.outerDiameter);
  layout.layers = (turns + layout.turnsPerLayer - 1) / layout.turnsPerLayer;
  layout.build = layout.layers * layout.outerDiameter;
  return layout;
}

double dowellFactor(double phi, double layers) {
  if (!(phi > 0.0)) {
    return 1.0;
  }
  const Zetas z = zetas(phi);
  return phi * (z.one + 2.0 / 3.0 * (layers * layers - 1.0) * z.two);
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

double dowellFactorTabled(double phi, double layers) {
  return 1.0 + dowellTable().excess(phi, layers);
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
  const HarmonicSpectrum spectrum(current, exactHarmonics);
  return spectrum.resistanceParts(phi).at(2.0 / 3.0 * (layers * layers - 1.0));
}

double dowellFactorWeighted(double phi, double weight) {
  if (!(phi > 0.0)) {
    return 1.0;
  }
  const Zetas z = zetas(phi);
  return phi * (z.one + weight * z.two);
}

HarmonicSpectrum::HarmonicSpectrum(std::span<const CurrentSegment> current, int exactHarmonics)
    : rms_(rmsCurrent(current)), exactHarmonics_(std::max(exactHarmonics, 0)) {
  if (!(rms_ > 0.0)) {
    return;
  }
  const auto count = static_cast<std::size_t>(exactHarmonics_);
  squares_.resize(count);
  std::vector<double> imaginary(count);
  harmonicSquares(current, squares_, imaginary);
  const double rms2 = rms_ * rms_;
  for (double& square : squares_) {
    square /= rms2;
  }
  stepShare_ = stepSquares(current) / rms2;
}

HarmonicSpectrum::Parts HarmonicSpectrum::resistanceParts(double phi) const {
  if (!(rms_ > 0.0) || !(phi > 0.0)) {
    return {};
  }
  const DowellTable& table = dowellTable();
  double one = 0.0;
  double two = 0.0;
  for (std::size_t i = 0; i < squares_.size(); ++i) {
    const DowellTable::Parts p = table.parts(phi * harmonicRoot(i));
    one += squares_[i] * p.one;
    two += squares_[i] * p.two;
  }
  // Past the exact harmonics the squared amplitudes average Σ steps² / (2π² n²); with
  // x = φ·√n the sum over n becomes 2·φ²·∫ (FR(x) − 1) / x³ dx, from halfway to the next
  // harmonic.
  const double x0 = phi * std::sqrt(exactHarmonics_ + 0.5);
  const SpectrumIntegrals& integrals = spectrumIntegrals();
  const double tail = stepShare_ / (2.0 * kPi * kPi) * 2.0 * phi * phi;
  return {1.0 + one + tail * integrals.a(x0), two + tail * integrals.b(x0)};
}

}  // namespace fbc
