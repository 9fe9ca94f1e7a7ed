#include "review/review_formulas.h"

#include <numbers>

#include "review/review_limits.h"

namespace fbc {

const std::array<ReviewFormula, kReviewQuantityCount> kReviewFormulas{{
    {"Pin", "Vout * Iout / Effi"},
    {"Ipk", "2 * Pin / (Vin * Duty)"},
    {"IpRms", "Ipk * sqrt(Duty / 3)"},
    {"IsPk", "2 * Iout / (1 - Duty)"},
    {"IsRms", "IsPk * sqrt((1 - Duty) / 3)"},
    {"LpRef", "Vin * Duty * T / Ipk"},
    {"nRef", "Vin * Duty / ((Vout + Vf) * (1 - Duty))"},
    {"NpMin", "Vin * Duty * T / (Bmax * Ae)"},
    {"Ns", "max(1, ceil(NpMin / nRef))"},
    {"Np", "ceil(nRef * Ns)"},
    {"n", "Np / Ns"},
    {"Bpk", "Vin * Duty * T / (Np * Ae)"},
    {"Isat", "Bsat * Np * Ae / LpRef"},
    {"AL", "LpRef / (Np * Np)"},
    {"gap", "mu0 * Np * Np * Ae / LpRef"},
    {"gapRatio", "gap / sqrt(Ae)"},
    {"AcuP", "IpRms / J"},
    {"AcuS", "IsRms / J"},
    {"dP", "sqrt(4 * AcuP / pi)"},
    {"dS", "sqrt(4 * AcuS / pi)"},
    {"skinDepth", "kSkin / sqrt(1 / T)"},
    {"fill", "(Np * AcuP + Ns * AcuS) / Aw * 100"},
    {"fillAllowed", "Fill"},
    {"JrmsModel", "IpRms / (Acu * Fill / 100)"},
    {"Vds", "Vin + n * (Vout + Vf)"},
    {"Vr", "Vout + Vin / n"},
}};

std::optional<double> reviewConstant(std::string_view name, double bmax) {
  const ReviewLimits& limits = kReviewLimits;
  if (name == "Bmax") {
    return bmax;
  }
  if (name == "Bsat") {
    return limits.saturationFluxDensity;
  }
  if (name == "J") {
    return limits.currentDensity;
  }
  if (name == "mu0") {
    return limits.vacuumPermeability;
  }
  if (name == "kSkin") {
    return limits.skinDepthCoefficient;
  }
  if (name == "pi") {
    return std::numbers::pi;
  }
  return std::nullopt;
}

}  // namespace fbc
