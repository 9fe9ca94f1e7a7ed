#include "review/windings/winding_resistance.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace fbc {
namespace {

constexpr double kPi = std::numbers::pi;

TEST(LayWindingTest, TurnsGoAcrossTheBreadthThenLayerOnLayer) {
  struct Case {
    const char* what;
    int turns;
    int strands;
    double strandMm;
    double breadthMm;
    double outerMm;
    int perLayer;
    int layers;
  };
  const Case cases[] = {
      {"one layer exactly", 10, 1, 1.0, 11.0, 1.1, 10, 1},
      {"one turn more", 11, 1, 1.0, 11.0, 1.1, 10, 2},
      {"wire wider than the bobbin", 3, 1, 20.0, 11.0, 22.0, 1, 3},
      // 17 strands of 0.5 mm pack into 1.1 · 0.5 · √(17/0.7) = 2.71 mm.
      {"a bundle of strands", 4, 17, 0.5, 33.9, 1.1 * 0.5 * std::sqrt(17.0 / 0.7), 12, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const WindingLayout layout =
        layWinding(c.turns, c.strands, c.strandMm * 1e-3, c.breadthMm * 1e-3);
    EXPECT_NEAR(layout.outerDiameter * 1e3, c.outerMm, 1e-12);
    EXPECT_EQ(layout.turnsPerLayer, c.perLayer);
    EXPECT_EQ(layout.layers, c.layers);
    EXPECT_DOUBLE_EQ(layout.build, c.layers * layout.outerDiameter);
  }
}

// L. Dixon, "Eddy Current Losses in Transformer Windings and Circuit Wiring", in the
// Unitrode/TI Magnetics Design Handbook (SLUP132), reprint R2: the values stated in its text.
TEST(DowellFactorTest, AgreesWithDixonsWorkedFigures) {
  struct Case {
    const char* where;
    double phi;
    double layers;
    double published;
    double tolerance;  // relative: Dixon reads most of them off Dowell's curves
  };
  const Case cases[] = {
      // p. R2-7, Fig. 13: three layers of strip, penetration depth 20 % of the thickness,
      // FR = 19/3 · 5 (the thick-conductor limit).
      {"R2-7 strip, 3 layers", 5.0, 3.0, 31.67, 0.01},
      // p. R2-9, subdividing a round-wire winding into parallel wires.
      {"R2-9 one layer of 10 turns", 4.0, 1.0, 3.8, 0.06},
      {"R2-9 4 parallel wires", 2.0, 2.0, 5.2, 0.06},
      {"R2-9 16 parallel wires", 1.0, 4.0, 2.8, 0.06},
      {"R2-9 64 parallel wires", 0.5, 8.0, 1.5, 0.06},
      // Section 4, design example steps 12 to 15: the foil secondary, Q = 7.6, Rac/Rdc 7.5.
      {"4-11 foil secondary", 7.6, 1.0, 7.5, 0.02},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.where);
    EXPECT_NEAR(dowellFactor(c.phi, c.layers) / c.published, 1.0, c.tolerance);
  }
}

TEST(DowellFactorTest, LimitsHold) {
  // Thin conductors: FR → 1 + (5M² − 1)/45 · φ⁴ (Dowell's low-frequency expansion).
  for (double layers : {1.0, 3.0, 10.0}) {
    const double phi = 0.05;
    EXPECT_NEAR(dowellFactor(phi, layers), 1.0 + (5 * layers * layers - 1) / 45 * std::pow(phi, 4),
                1e-9);
  }
  // Thick conductors: FR → φ · (2M² + 1)/3.
  EXPECT_NEAR(dowellFactor(30.0, 4.0), 30.0 * 33.0 / 3.0, 1e-9);
  EXPECT_EQ(dowellFactor(0.0, 5.0), 1.0);
  // Continuous across the switch to the closed forms and to the asymptote.
  for (double edge : {1e-2, 40.0}) {
    EXPECT_NEAR(dowellFactor(std::nextafter(edge, 0.0), 3.0) / dowellFactor(edge, 3.0), 1.0, 1e-12);
  }
}

TEST(DowellFactorTest, TheTableTheHarmonicSumsReadMatchesTheClosedForm) {
  for (double layers : {0.5, 1.0, 3.5, 10.0, 60.0}) {
    for (double phi = 0.0; phi < 45.0; phi += 0.0137) {
      EXPECT_NEAR(dowellFactorTabled(phi, layers) / dowellFactor(phi, layers), 1.0, 1e-7)
          << phi << " " << layers;
    }
  }
}

// The same design example's round-wire primary: 15 turns of 0.72 mm wire in one layer across
// 13 mm, penetration depth 0.17 mm at 200 kHz and 100 °C: Q = 3.19, Rac/Rdc = 3.1 from the
// curves.
TEST(DowellFactorTest, RoundWireBecomesAnEquivalentFoilAsInDixonsExample) {
  const double d = 0.72e-3;
  const double porosity = std::sqrt(kPi / 4.0) * d * 15.0 / 13e-3;
  const double phi = roundWirePenetration(d, porosity, 0.17e-3);
  EXPECT_NEAR(phi / 3.19, 1.0, 0.015);
  EXPECT_NEAR(dowellFactor(phi, 1.0) / 3.1, 1.0, 0.05);
}

// W. G. Hurley, W. H. Wölfle, "Transformers and Inductors for Power Electronics" (Wiley 2013),
// Example 6.2: a six-layer foil winding carrying the pulsed current of Fig. 6.12 (rise time
// 4 % of the period), whose Fourier series the example prints; summing Dowell's factor over the
// harmonics, the AC resistance over the resistance of a skin-depth-thick foil, FR/Δ, is least
// at Δ = 0.418.
TEST(HarmonicLossFactorTest, FindsHurleysOptimumFoilThickness) {
  constexpr double a = 0.04;
  constexpr int kHarmonics = 200;
  std::vector<double> squares;
  for (int n = 1; n <= kHarmonics; ++n) {
    const double cn = 4.0 / (std::pow(n * kPi, 3) * a * a) * (1.0 - std::cos(n * kPi * a)) *
                      std::sin(n * kPi * (0.5 - a));
    squares.push_back(cn * cn / 2.0);
  }
  const double dc = (0.5 - a) * (0.5 - a);
  // The printed series is whole: its RMS is the waveform's, Io · √(0.5 − 37a/30).
  double total = dc;
  for (double s : squares) {
    total += s;
  }
  EXPECT_NEAR(total, 0.5 - 37.0 * a / 30.0, 1e-6);

  const auto perSkinDepth = [&](double delta) {
    return harmonicLossFactor(dc, squares, delta, 6.0) / delta;
  };
  // Golden-section search for the least FR/Δ.
  double lo = 0.2;
  double hi = 0.8;
  const double g = (std::sqrt(5.0) - 1.0) / 2.0;
  for (int i = 0; i < 80; ++i) {
    const double x1 = hi - g * (hi - lo);
    const double x2 = lo + g * (hi - lo);
    if (perSkinDepth(x1) < perSkinDepth(x2)) {
      hi = x2;
    } else {
      lo = x1;
    }
  }
  EXPECT_NEAR((lo + hi) / 2.0, 0.418, 0.002);
}

TEST(HarmonicResistanceFactorTest, RmsOfPiecesAndTheDcCase) {
  const CurrentSegment ramp[] = {{0.0, 0.5, 0.0, 6.0}};
  EXPECT_NEAR(rmsCurrent(ramp), 6.0 * std::sqrt(0.5 / 3.0), 1e-12);
  const CurrentSegment steady[] = {{0.0, 1.0, 2.0, 2.0}};
  EXPECT_DOUBLE_EQ(rmsCurrent(steady), 2.0);
  // Pure DC has no harmonics: it loses its DC resistance only.
  EXPECT_NEAR(harmonicResistanceFactor(steady, 2.0, 5.0), 1.0, 1e-12);
  EXPECT_EQ(harmonicResistanceFactor(std::span<const CurrentSegment>{}, 2.0, 5.0), 1.0);
}

// The sum over 16 harmonics with the integral for the rest against 20000 harmonics with the
// same integral beyond them: the integral stands in for the high harmonics within 1 % for
// duties from 0.2 to 0.8 (and 3 % down to 0.05, where the current's spectrum takes longer to
// settle into its average).
TEST(HarmonicResistanceFactorTest, TheIntegralForTheHighHarmonicsMatchesSummingThem) {
  const double phis[] = {0.05, 0.3, 1.0, 3.0};
  const double layerCounts[] = {1.0, 3.5, 10.0};
  for (double duty : {0.2, 0.5, 0.8}) {
    const CurrentSegment ramp[] = {{0.0, duty, 0.0, 1.0}};
    const CurrentSegment fall[] = {{duty, 1.0, 1.0, 0.0}};
    const CurrentSegment trapezoid[] = {{0.0, duty, 0.5, 1.0}};
    const std::span<const CurrentSegment> shapes[] = {ramp, fall, trapezoid};
    for (std::span<const CurrentSegment> shape : shapes) {
      for (double phi : phis) {
        for (double layers : layerCounts) {
          SCOPED_TRACE(testing::Message() << "D " << duty << " phi " << phi << " M " << layers
                                          << " from " << shape.front().from);
          const double quick = harmonicResistanceFactor(shape, phi, layers);
          const double slow = harmonicResistanceFactor(shape, phi, layers, 20000);
          EXPECT_NEAR(quick / slow, 1.0, 0.01);
          EXPECT_GE(quick, 1.0);
        }
      }
    }
  }
}

TEST(HarmonicResistanceFactorTest, SharperCurrentsAndMoreLayersLoseMore) {
  const CurrentSegment halfRamp[] = {{0.0, 0.5, 0.0, 1.0}};
  const CurrentSegment shortRamp[] = {{0.0, 0.1, 0.0, 1.0}};
  EXPECT_GT(harmonicResistanceFactor(shortRamp, 1.0, 3.0),
            harmonicResistanceFactor(halfRamp, 1.0, 3.0));
  EXPECT_GT(harmonicResistanceFactor(halfRamp, 1.0, 4.0),
            harmonicResistanceFactor(halfRamp, 1.0, 3.0));
  // Higher than the fundamental's own factor: the harmonics see a thinner skin.
  EXPECT_GT(harmonicResistanceFactor(halfRamp, 1.0, 3.0), dowellFactor(1.0, 3.0));
}

}  // namespace
}  // namespace fbc
