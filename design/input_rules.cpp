#include "design/input_rules.h"

#include "platform/checked_math.h"
#include "platform/number_text.h"

namespace fbc {

LimitRule limitRule(LimitedBox box) {
  switch (box) {
    case LimitedBox::Vin:
      return {1000, u"1000", 10, false, u"10"};
    case LimitedBox::Vout:
      return {60, u"60", 0, true, u"10"};
    case LimitedBox::Iout:
      return {60, u"60", 0, true, u"1"};
    case LimitedBox::Fs:
      return {300000, u"300000", 10000, false, u"10000"};
    case LimitedBox::Vf:
      return {3, u"3", 0, false, u"0"};
  }
  return {};
}

std::optional<std::u16string> limitReplacement(LimitedBox box, std::u16string_view text) {
  const double v = textToDouble(text);
  const LimitRule rule = limitRule(box);
  if (v > rule.upper) {
    return std::u16string(rule.upperText);
  }
  if (rule.lowerIncluded ? v <= rule.lower : v < rule.lower) {
    return std::u16string(rule.lowerText);
  }
  return std::nullopt;
}

std::u16string estimatedInputCurrentText(std::u16string_view vout, std::u16string_view iout,
                                         std::u16string_view effi, std::u16string_view vin) {
  const double outputVoltage = textToDouble(vout);
  const double outputCurrent = textToDouble(iout);
  const double efficiencyPercent = textToDouble(effi);
  const double inputVoltage = textToDouble(vin);
  const double estimate = checkedDivide(
      checkedMultiply(
          checkedDivide(checkedMultiply(outputCurrent, outputVoltage), efficiencyPercent), 100.0),
      inputVoltage);
  return generalText(estimate);
}

}  // namespace fbc
