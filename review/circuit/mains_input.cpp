#include "review/circuit/mains_input.h"

#include <cmath>

#include "platform/number_text.h"
#include "review/preferred_values.h"

namespace fbc {

namespace {

// The rule of thumb's line below which a capacitor holds 2 µF per watt [V RMS], and its two
// figures [F/W].
constexpr double kLowLine = 180.0;
constexpr double kLowLineCapacitancePerWatt = 2e-6;
constexpr double kHighLineCapacitancePerWatt = 1e-6;

}  // namespace

std::string_view inputKindCode(InputSupply::Kind kind) {
  return kind == InputSupply::Kind::Ac ? "ac" : "dc";
}

std::optional<double> bulkValley(const MainsInput& mains, double capacitance, double pin) {
  const double square = 2.0 * mains.vacMin * mains.vacMin -
                        pin * (1.0 - mains.chargeDuty) / (capacitance * mains.lineFrequency);
  if (!(square > 0.0) || !std::isfinite(square)) {
    return std::nullopt;
  }
  return std::sqrt(square);
}

double bulkPeak(const MainsInput& mains) { return std::sqrt(2.0) * mains.vacMax; }

double ruleOfThumbBulkCapacitance(const MainsInput& mains, double pin) {
  const double perWatt =
      mains.vacMin < kLowLine ? kLowLineCapacitancePerWatt : kHighLineCapacitancePerWatt;
  return preferredValueAtLeast(PreferredSeries::E6, perWatt * pin);
}

double leastBulkCapacitance(const MainsInput& mains, double pin, double valley) {
  return pin * (1.0 - mains.chargeDuty) /
         ((2.0 * mains.vacMin * mains.vacMin - valley * valley) * mains.lineFrequency);
}

std::optional<InputSupply> mainsSupply(const MainsInput& mains, double pin) {
  InputSupply supply;
  supply.kind = InputSupply::Kind::Ac;
  supply.mains = mains;
  supply.CbulkChosen = !mains.bulkCapacitance;
  supply.Cbulk = mains.bulkCapacitance.value_or(ruleOfThumbBulkCapacitance(mains, pin));
  const std::optional<double> valley = bulkValley(mains, supply.Cbulk, pin);
  if (!valley) {
    return std::nullopt;
  }
  supply.VDCmin = *valley;
  supply.VDCmax = bulkPeak(mains);
  return supply;
}

std::u16string valleyInputText(double vdcMin) {
  return generalText(std::round(vdcMin * 100.0) / 100.0);
}

}  // namespace fbc
