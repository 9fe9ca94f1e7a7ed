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
    {"NpMin", "max(Vin * Duty * T / (Bmax * Ae), Vin * Duty * T / (Bnear * Ae))"},
    {"Ns", "max(1, ceil(NpMin / nRef))"},
    {"Np", "ceil(nRef * Ns)"},
    {"n", "Np / Ns"},
    {"Bpk", "Vin * Duty * T / (Np * Ae)"},
    {"Isat", "Bsat * Np * Ae / LpRef"},
    {"AL", "LpRef / (Np * Np)"},
    {"gap", "gapNoFringing * fringingFactor"},
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
    {"Ilim", "IlimRatio * Ipk"},
    {"BpkAtLimit", "Bpk * Ilim / Ipk"},
    {"Bsat", ""},
    {"gapNoFringing", "mu0 * Np * Np * Ae / LpRef"},
    {"fringingFactor", "1 + gap / sqrt(Ae) * ln(2 * gapWindowHeight / gap)"},
    {"gapWindowHeight", ""},
}};

namespace {

// The formulas that differ from the critical modes', by review member.
struct FormulaOverride {
  DriveMode mode;
  std::string_view name;
  std::string_view formula;
};

constexpr std::array<FormulaOverride, 14> kOverrides{{
    {DriveMode::PwmCcm, "Ipk", "IEDC + dI / 2"},
    {DriveMode::PwmCcm, "IpRms", "sqrt(3 * IEDC ^ 2 + (dI / 2) ^ 2) * sqrt(Don / 3)"},
    {DriveMode::PwmCcm, "IsPk", "Iout / (1 - Don) * (1 + KRF)"},
    {DriveMode::PwmCcm, "IsRms",
     "sqrt(3 * (Iout / (1 - Don)) ^ 2 + (KRF * Iout / (1 - Don)) ^ 2) * sqrt((1 - Don) / 3)"},
    {DriveMode::PwmCcm, "LpRef", "(Vin * Don) ^ 2 * T / (2 * Pin * KRF)"},
    {DriveMode::PwmCcm, "NpMin", "max(LpRef * dI / (Bmax * Ae), LpRef * Ipk / (Bnear * Ae))"},
    {DriveMode::PwmCcm, "Bpk", "LpRef * Ipk / (Np * Ae)"},
    {DriveMode::Qr, "Ipk", "sqrt(2 * Pin * T / LpRef)"},
    {DriveMode::Qr, "IpRms", "Ipk * sqrt(ton / (3 * T))"},
    {DriveMode::Qr, "IsPk", "2 * Iout * T / toff"},
    {DriveMode::Qr, "IsRms", "IsPk * sqrt(toff / (3 * T))"},
    {DriveMode::Qr, "LpRef",
     "1 / ((1 / Vin + 1 / VRO) * sqrt(2 * Pin / T) + pi * sqrt(Cd) / T) ^ 2"},
    {DriveMode::Qr, "NpMin", "max(LpRef * Ipk / (Bmax * Ae), LpRef * Ipk / (Bnear * Ae))"},
    {DriveMode::Qr, "Bpk", "LpRef * Ipk / (Np * Ae)"},
}};

}  // namespace

std::array<ReviewFormula, kReviewQuantityCount> reviewFormulas(DriveMode mode) {
  std::array<ReviewFormula, kReviewQuantityCount> formulas = kReviewFormulas;
  for (const FormulaOverride& o : kOverrides) {
    if (o.mode != mode) {
      continue;
    }
    for (ReviewFormula& f : formulas) {
      if (f.name == o.name) {
        f.formula = o.formula;
      }
    }
  }
  return formulas;
}

const std::array<ModeFormula, 15> kModeFormulas{{
    {DriveMode::PfmCritical, "VROref", "Vin * Duty / (1 - Duty)", "V"},
    {DriveMode::PwmCcm, "VROref", "Vin * Duty / (1 - Duty)", "V"},
    {DriveMode::PwmCcm, "VRO", "n * (Vout + Vf)", "V"},
    {DriveMode::PwmCcm, "Don", "VRO / (Vin + VRO)", ""},
    {DriveMode::PwmCcm, "KRF", "", ""},
    {DriveMode::PwmCcm, "IEDC", "Pin / (Vin * Don)", "A"},
    {DriveMode::PwmCcm, "dI", "Vin * Don * T / LpRef", "A"},
    {DriveMode::PwmCcm, "VinCcmLimit",
     "VRO * sqrt(2 * LpRef * Pin / T) / (VRO - sqrt(2 * LpRef * Pin / T))", "V"},
    {DriveMode::Qr, "VROref", "Vin * Duty / (1 - Duty)", "V"},
    {DriveMode::Qr, "VRO", "n * (Vout + Vf)", "V"},
    {DriveMode::Qr, "Don", "VRO / (Vin + VRO)", ""},
    {DriveMode::Qr, "Cd", "", "F"},
    {DriveMode::Qr, "ton", "LpRef * Ipk / Vin", "s"},
    {DriveMode::Qr, "toff", "LpRef * Ipk / VRO", "s"},
    {DriveMode::Qr, "tv", "pi * sqrt(LpRef * Cd)", "s"},
}};

std::optional<double> modeOperand(std::string_view name, const DesignReview& review,
                                  const DesignState& state) {
  if (name == "VROref") {
    return referenceReflectedVoltage(state.Vin, state.Duty);
  }
  // The whole turns' reflected voltage and the duty it gives, which pwm-ccm and qr run at.
  if (name == "VRO") {
    return review.n * (static_cast<double>(state.Vout) + static_cast<double>(state.Vf));
  }
  if (name == "Don") {
    return review.modeInputs.duty;
  }
  for (const ModeQuantity& q : modeQuantities(review.operation.figures)) {
    if (q.name == name) {
      return q.value;
    }
  }
  return std::nullopt;
}

std::optional<double> reviewConstant(std::string_view name, double bmax) {
  const ReviewLimits& limits = kReviewLimits;
  if (name == "Bmax") {
    return bmax;
  }
  if (name == "Bnear") {
    return limits.nearSaturationFluxDensity;
  }
  if (name == "IlimRatio") {
    return limits.currentLimitRatio;
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
