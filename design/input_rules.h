#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace fbc {

// The five input boxes that keep their value inside fixed limits.
enum class LimitedBox { Vin, Vout, Iout, Fs, Vf };

// The limits of one box and the texts that replace a value outside them.
struct LimitRule {
  double upper;
  std::u16string_view upperText;
  double lower;
  // Vout and Iout refuse their lower bound itself (0 or below); the others only values under it.
  bool lowerIncluded;
  // The lower replacement is not always the bound: Vout falls back to 10, Iout to 1.
  std::u16string_view lowerText;
};

LimitRule limitRule(LimitedBox box);

// The limit rule of one box: the replacement text when the value lies outside the limits,
// nothing when the text is to stay as typed. Raises RuntimeError (13) when the text is not a
// number.
std::optional<std::u16string> limitReplacement(LimitedBox box, std::u16string_view text);

// `Start`: the estimated input current ((Iout x Vout) / efficiency) x 100 / Vin in 64 bits, as
// general number text. Raises RuntimeError for a text that is not a number (13) or an
// efficiency of 0 (11).
std::u16string estimatedInputCurrentText(std::u16string_view vout, std::u16string_view iout,
                                         std::u16string_view effi, std::u16string_view vin);

}  // namespace fbc
