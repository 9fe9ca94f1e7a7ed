#pragma once

#include <span>
#include <string>
#include <string_view>

namespace fbc {

// One frequency band of a ferrite's Steinmetz fit, in the form of the open MAS material data:
//   Pv [W/m³] = k · f^alpha · B^beta · (ct0 − ct1·T + ct2·T²)
// with f in Hz, B the peak flux density in T (half the peak-to-peak swing) and T in °C. k and
// the temperature bracket belong together: the bracket is not normalised to 1 at 25 °C for
// every material.
struct SteinmetzBand {
  double fMin = 0;  // Hz
  double fMax = 0;  // Hz
  double k = 0;
  double alpha = 0;
  double beta = 0;
  double ct0 = 0;
  double ct1 = 0;
  double ct2 = 0;
};

struct FerriteMaterial {
  std::string_view name;
  std::span<const SteinmetzBand> bands;  // by frequency ascending, adjoining
  double bsat100 = 0;                    // T, saturation flux density at 100 °C
};

inline constexpr std::string_view kDefaultMaterial = "N97";

// The materials the review knows, the default first.
std::span<const FerriteMaterial> ferriteMaterials();

// The materials' names in a list: "N97, N87, 3C95 or 3C90" with ", " and " or ".
std::string materialNames(std::string_view comma, std::string_view last);

// The material named `name` exactly (case-sensitive, as the data sheets spell it), or nullptr.
const FerriteMaterial* ferriteMaterial(std::string_view name);

// The band a frequency falls in: the one that contains f, the upper one at an edge two bands
// share; outside every band the nearest, marked as extrapolated.
struct BandChoice {
  const SteinmetzBand* band = nullptr;
  bool extrapolated = false;
};
BandChoice steinmetzBand(const FerriteMaterial& material, double f);

// The band's temperature bracket ct0 − ct1·T + ct2·T² at T °C.
double steinmetzTemperatureFactor(const SteinmetzBand& band, double celsius);

// Loss density [W/m³] under a sinusoidal flux of peak `bPeak` [T] at f [Hz] and T °C.
double steinmetzLoss(const SteinmetzBand& band, double f, double bPeak, double celsius);

// The iGSE coefficient ki = k / (2^(β+1) · π^(α−1) · (0.2761 + 1.7061/(α + 1.354))), the
// closed approximation of Venkatachalam et al., "Accurate prediction of ferrite core loss with
// nonsinusoidal waveforms using only Steinmetz parameters", IEEE COMPEL 2002.
double igseCoefficient(const SteinmetzBand& band);

// Loss density [W/m³] by the iGSE for a flux that rises linearly by `swing` [T] peak to peak
// during the fraction `rise` of each period, falls back linearly during the fraction `fall`
// and stays put for the rest (rise + fall ≤ 1):
//   Pv = ki · f^α · ΔB^β · (rise^(1−α) + fall^(1−α)) · (ct0 − ct1·T + ct2·T²)
// A flyback's flux rises during D·T and falls during (1 − D)·T (rise = D, fall = 1 − D).
double igseTriangularLoss(const SteinmetzBand& band, double f, double swing, double rise,
                          double fall, double celsius);

}  // namespace fbc
