#include "review/ferrite_material.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace fbc {
namespace {

const FerriteMaterial& material(std::string_view name) {
  const FerriteMaterial* m = ferriteMaterial(name);
  EXPECT_NE(m, nullptr) << name;
  return *m;
}

TEST(FerriteMaterialTest, KnowsTheFourMaterialsByTheirDataSheetNames) {
  std::vector<std::string> names;
  for (const FerriteMaterial& m : ferriteMaterials()) {
    names.emplace_back(m.name);
    ASSERT_FALSE(m.bands.empty());
    // Bands adjoin from low to high frequency.
    for (std::size_t i = 1; i < m.bands.size(); ++i) {
      EXPECT_EQ(m.bands[i].fMin, m.bands[i - 1].fMax) << m.name;
    }
  }
  EXPECT_EQ(names, (std::vector<std::string>{"N97", "N87", "3C95", "3C90"}));
  EXPECT_EQ(ferriteMaterials().front().name, kDefaultMaterial);
  EXPECT_EQ(ferriteMaterial("n97"), nullptr);
  EXPECT_EQ(ferriteMaterial(""), nullptr);
  // Saturation at 100 °C from the data sheets (TDK N97 0.414 T and N87 0.390 T; Ferroxcube
  // 3C95 0.41 T and 3C90 0.38 T).
  EXPECT_EQ(material("N97").bsat100, 0.414);
  EXPECT_EQ(material("N87").bsat100, 0.390);
}

// TDK SIFERRIT material N97 data sheet, "Relative core losses": about 300 kW/m³ at 100 kHz,
// 200 mT and 100 °C (sinusoidal). The open MAS fit gives 296.9 kW/m³.
TEST(FerriteMaterialTest, N97MatchesItsDataSheetLossAt100kHz200mT100C) {
  const BandChoice band = steinmetzBand(material("N97"), 100e3);
  ASSERT_FALSE(band.extrapolated);
  const double pv = steinmetzLoss(*band.band, 100e3, 0.2, 100.0);
  EXPECT_NEAR(pv, 296.9e3, 0.1e3);
  EXPECT_NEAR(pv / 300e3, 1.0, 0.02);
}

// How the temperature bracket bends the loss away from 100 °C, against the maker's curve:
// Pv(T)/Pv(100 °C) at 100 kHz, taken in the band that holds 100 kHz.
//
// N97: TDK Electronics, "SIFERRIT material N97" data sheet, June 2025, p. 5, figure FAL0624-N
// (relative core losses versus temperature at 100 kHz, sinusoidal, R34 toroid). At 100 mT, the
// peak of the 0.18 to 0.34 T swings the levels ask for: 137, 43.1 and 51 kW/m³ at 25, 100 and
// 120 °C; at 200 mT: 357 and 301 kW/m³ at 80 and 100 °C (p. 2 table: 300 kW/m³). The 25 and
// 100 °C values were read from the PDF's vector paths, 80 and 120 °C by eye (±5 %); the readings
// are those recorded in vectivolt/PCM, sim/dab_devices.py, because the data sheet itself could
// not be opened here.
//
// The open MAS fit's bracket is one curve for every flux density, while the maker's curves change
// shape with B (N97 at 25 °C: 3.18 times the 100 °C loss at 100 mT, 2.03 times at 200 mT). At
// 100 mT it bends 10 to 17 % less than the maker's between 25 and 120 °C: a core running cool
// loses somewhat more than the review says. Tolerance ±20 % for that and the reading.
//
// N87, 3C95 and 3C90 have no row: their makers' loss-versus-temperature figures (TDK N87 data
// sheet; Ferroxcube 3C95 and 3C90 material sheets and the Soft Ferrites data handbook) could not
// be read here, and the 3C90 bracket is Ferroxcube's own published fit, which cannot check itself.
TEST(FerriteMaterialTest, TemperatureBracketFollowsTheMakersLossCurve) {
  const struct {
    std::string_view material;
    double celsius;
    double makerRatio;  // Pv(T)/Pv(100 °C) at 100 kHz
    double bracket;     // the fit's, as it stands
  } cases[] = {
      {"N97", 25.0, 137.0 / 43.1, 2.870},   // 100 mT
      {"N97", 120.0, 51.0 / 43.1, 1.014},   // 100 mT
      {"N97", 80.0, 357.0 / 301.0, 1.202},  // 200 mT
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.material) + " at " + std::to_string(c.celsius) + " °C");
    const BandChoice choice = steinmetzBand(material(c.material), 100e3);
    ASSERT_FALSE(choice.extrapolated);
    const double ratio = steinmetzTemperatureFactor(*choice.band, c.celsius) /
                         steinmetzTemperatureFactor(*choice.band, 100.0);
    EXPECT_NEAR(ratio, c.bracket, 0.001);
    EXPECT_NEAR(ratio / c.makerRatio, 1.0, 0.2)
        << "bracket " << ratio << ", maker " << c.makerRatio;
  }
}

TEST(FerriteMaterialTest, BandChoiceTakesTheUpperBandAtASharedEdgeAndMarksExtrapolation) {
  struct Case {
    std::string_view material;
    double f;
    double fMin;  // of the band chosen
    bool extrapolated;
  };
  const Case cases[] = {
      {"N87", 50e3, 1, false},      {"N87", 100e3, 100e3, false}, {"N87", 99999, 1, false},
      {"N87", 300e3, 100e3, false}, {"N87", 500e3, 100e3, true},  {"3C95", 150e3, 150e3, false},
      {"N97", 200e3, 1, false},     {"N97", 250e3, 1, true},      {"3C90", 0.5, 1, true},
      {"3C95", 10e3, 1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.material) + " " + std::to_string(c.f));
    const BandChoice choice = steinmetzBand(material(c.material), c.f);
    EXPECT_EQ(choice.band->fMin, c.fMin);
    EXPECT_EQ(choice.extrapolated, c.extrapolated);
  }
  // At the 100 kHz edge N87's upper band gives 456 kW/m³ where the lower would give 388.
  const FerriteMaterial& n87 = material("N87");
  EXPECT_NEAR(steinmetzLoss(*steinmetzBand(n87, 100e3).band, 100e3, 0.2, 100.0), 456.1e3, 0.2e3);
  EXPECT_NEAR(steinmetzLoss(n87.bands[0], 100e3, 0.2, 100.0), 388.1e3, 0.2e3);
}

// ki of Venkatachalam et al. (IEEE COMPEL 2002): k / ((2π)^(α−1) · ∫0..2π |cos θ|^α 2^(β−α) dθ),
// here integrated numerically, against the closed approximation the review uses.
TEST(FerriteMaterialTest, IgseCoefficientApproximatesTheIntegralForm) {
  for (const FerriteMaterial& m : ferriteMaterials()) {
    for (const SteinmetzBand& band : m.bands) {
      SCOPED_TRACE(std::string(m.name) + " " + std::to_string(band.fMin));
      constexpr int kSteps = 20000;
      double integral = 0.0;
      for (int i = 0; i < kSteps; ++i) {
        const double theta = (i + 0.5) * 2.0 * std::numbers::pi / kSteps;
        integral += std::pow(std::fabs(std::cos(theta)), band.alpha);
      }
      integral *= 2.0 * std::numbers::pi / kSteps * std::pow(2.0, band.beta - band.alpha);
      const double exact = band.k / (std::pow(2.0 * std::numbers::pi, band.alpha - 1.0) * integral);
      EXPECT_NEAR(igseCoefficient(band) / exact, 1.0, 1e-3);
    }
  }
}

TEST(FerriteMaterialTest, IgseOfATriangularFluxFollowsItsShapeAndTheTemperatureBracket) {
  const SteinmetzBand& band = material("N97").bands[0];
  // A symmetric triangle of 0.2 T peak to peak: the iGSE lies within a few per cent of the
  // sinusoid of the same peak (0.1 T), as the paper shows for triangular flux.
  const double triangle = igseTriangularLoss(band, 100e3, 0.2, 0.5, 0.5, 100.0);
  const double sine = steinmetzLoss(band, 100e3, 0.1, 100.0);
  EXPECT_NEAR(triangle / sine, 1.0, 0.15);
  // A steeper edge costs more: rise in 10 % of the period.
  EXPECT_GT(igseTriangularLoss(band, 100e3, 0.2, 0.1, 0.9, 100.0), triangle);
  // Rise and fall swap without changing the loss.
  EXPECT_DOUBLE_EQ(igseTriangularLoss(band, 100e3, 0.2, 0.3, 0.7, 100.0),
                   igseTriangularLoss(band, 100e3, 0.2, 0.7, 0.3, 100.0));
  // A pause with the flux held adds nothing but the steeper edges.
  EXPECT_GT(igseTriangularLoss(band, 100e3, 0.2, 0.4, 0.4, 100.0), triangle);
  // N97's bracket has its minimum near 100 °C: colder and hotter cores lose more.
  EXPECT_GT(steinmetzTemperatureFactor(band, 25.0), steinmetzTemperatureFactor(band, 100.0));
  EXPECT_GT(steinmetzTemperatureFactor(band, 140.0), steinmetzTemperatureFactor(band, 100.0));
}

}  // namespace
}  // namespace fbc
