#pragma once

#include <cmath>
#include <span>
#include <vector>

namespace fbc {

// How a winding sits on its bobbin: each winding is laid across the whole winding breadth on
// its own, turn beside turn, layer on layer. Lengths in m.
struct WindingLayout {
  double outerDiameter = 0;  // of one turn's wire or strand bundle, insulation included
  int turnsPerLayer = 0;
  int layers = 0;
  double build = 0;  // layers · outerDiameter
};

// The turns of width `width` that lie side by side across `breadth` (both in m), at least one: a
// breadth that holds a whole number of turns holds them, rounding aside.
inline int turnsAcross(double breadth, double width) {
  const double across = std::floor(breadth / width * (1.0 + 1e-12));
  return across >= 1.0 && across < 1e9 ? static_cast<int>(across) : 1;
}

// Lays `turns` turns of `strands` strands of bare diameter `strandDiameter` across `breadth`.
// A single wire's outer diameter is 1.1 times its copper; a bundle of s strands packs into
// 1.1 · ds · √(s / 0.7), at 70 % of the round bundle's area.
WindingLayout layWinding(int turns, int strands, double strandDiameter, double breadth);

// Dowell's ratio of AC to DC resistance of a winding of `layers` layers (a whole or a fractional
// number) for a sinusoidal current, with φ the equivalent foil's thickness over the skin depth:
//   FR = φ · (ς1(φ) + 2/3 · (M² − 1) · ς2(φ)),
//   ς1 = (sinh 2φ + sin 2φ) / (cosh 2φ − cos 2φ),  ς2 = (sinh φ − sin φ) / (cosh φ + cos φ)
// (P. L. Dowell, "Effects of eddy currents in transformer windings", Proc. IEE 113(8), 1966;
// R. W. Erickson, D. Maksimović, Fundamentals of Power Electronics, the chapter on basic
// magnetics theory, "Power loss in a layer").
double dowellFactor(double phi, double layers);

// The same factor read from a cubic spline through a table of Dowell's two parts (step 1/32 in
// φ), within 10⁻⁷ of the closed form: the harmonic sums below read it for every harmonic.
double dowellFactorTabled(double phi, double layers);

// The penetration ratio φ of a layer of round conductors of bare diameter `diameter` whose
// layer fills the share `porosity` of the winding breadth: the round wire becomes a foil of
// the same area per turn, thickness √(π/4) · d, spread over the breadth:
//   φ = √(π/4) · d / δ · √porosity
double roundWirePenetration(double diameter, double porosity, double skinDepth);

// One straight piece of a periodic current: from `from` to `to` [A] between the fractions
// `start` and `end` of the period (0 ≤ start ≤ end ≤ 1). Where no piece covers a time the
// current is zero.
struct CurrentSegment {
  double start = 0;
  double end = 0;
  double from = 0;
  double to = 0;
};

// The RMS value [A] of a current made of pieces.
double rmsCurrent(std::span<const CurrentSegment> current);

// The ratio of AC to DC loss for a current given by its Fourier series: the square of its DC
// part and of the RMS value of each harmonic 1, 2, 3, ... in turn, each harmonic losing
// Dowell's FR at φ·√n:  (I0² + Σ In²·FR(φ√n, M)) / (I0² + Σ In²).
double harmonicLossFactor(double dcSquare, std::span<const double> harmonicSquares, double phi,
                          double layers);

// The ratio of a winding's AC loss to its DC loss (≥ 1) for a non-sinusoidal current: each
// harmonic n of the current loses Dowell's FR at φ·√n (the skin depth shrinks as 1/√n), the
// DC part loses 1. `phi` is the penetration ratio at the fundamental. The first
// `exactHarmonics` harmonics are summed from the current's Fourier series; the rest, whose
// amplitudes fall as 1/n behind the current's steps, as an integral of Dowell's factor over
// that spectrum (see docs/engineering-review.md). More exact harmonics only check the sum.
inline constexpr int kExactHarmonics = 16;

double harmonicResistanceFactor(std::span<const CurrentSegment> current, double phi, double layers,
                                int exactHarmonics = kExactHarmonics);

// Dowell's loss layer by layer (Erickson & Maksimović, "Power loss in a layer"): a layer whose
// faces see a and a + 1 times one layer's ampere-turns loses
//   φ·((a² + (a+1)²)·G1(φ) − 4·a·(a+1)·G2(φ))
// times its DC loss. Over M layers of one winding whose outer face already sees `outside`
// layers' ampere-turns (a = E, E+1, ... E+M−1) the mean is φ·(ς1 + w·ς2) with the proximity
// weight w = 2·mean(a·(a+1)), since G1 − 2·G2 = ς2. With E = 0, w = 2/3·(M² − 1): Dowell's FR.
// Fractional M and E (layers of strands) continue the sum's closed form.
inline double proximityWeight(double outside, double layers) {
  if (!(layers > 0.0)) {
    return 0.0;
  }
  if (outside == 0.0) {
    return 2.0 / 3.0 * (layers * layers - 1.0);
  }
  // Σ a·(a+1) for a = 0 .. k−1 is (k−1)·k·(k+1)/3.
  const auto sum = [](double k) { return (k - 1.0) * k * (k + 1.0) / 3.0; };
  return 2.0 * (sum(outside + layers) - sum(outside)) / layers;
}

// The AC to DC loss ratio of a winding with proximity weight `weight` at penetration ratio φ:
//   FR = φ·(ς1 + w·ς2)
double dowellFactorWeighted(double phi, double weight);

// A winding current's harmonics, worked out once for every wire and layout that may carry it.
// The loss ratio over the harmonics is affine in the proximity weight: Fr = a + b·w.
class HarmonicSpectrum {
 public:
  explicit HarmonicSpectrum(std::span<const CurrentSegment> current,
                            int exactHarmonics = kExactHarmonics);

  double rms() const { return rms_; }

  struct Parts {
    double a = 1;  // skin effect and the layer's own field, FR − 1 with w = 0, plus 1
    double b = 0;  // the proximity effect per unit of weight
    double at(double weight) const { return a + b * weight; }
  };
  // The parts at the penetration ratio φ of the fundamental.
  Parts resistanceParts(double phi) const;

  // Whether two currents have the same shape, so the same parts at every φ: a flyback's
  // currents at one duty differ only in their peaks.
  bool sameShape(const HarmonicSpectrum& other) const {
    return exactHarmonics_ == other.exactHarmonics_ && stepShare_ == other.stepShare_ &&
           squares_ == other.squares_ && (rms_ > 0.0) == (other.rms_ > 0.0);
  }

 private:
  std::vector<double> squares_;  // each harmonic's squared RMS over the current's RMS squared
  double stepShare_ = 0;         // the current's squared steps over its RMS squared
  double rms_ = 0;
  int exactHarmonics_ = 0;
};

}  // namespace fbc
