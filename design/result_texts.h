#pragma once

#include <string>
#include <string_view>

#include "design/design_state.h"
#include "platform/value.h"

namespace fbc {

// The maker's contact address named in the information message.
inline constexpr std::u16string_view kMakerContactAddress = u"transformer@example.com";

// The captions the window writes after a completed calculation (lblNt, lblLp and lblCuondo in
// red).
struct ResultTexts {
  std::u16string lblCuondo;
  std::u16string lblinfo;
  std::u16string lbltest;
  std::u16string lblIin;
  std::u16string lblNt;
  std::u16string lblLp;

  friend bool operator==(const ResultTexts&, const ResultTexts&) = default;
};

// The row of the copper-temperature verdict table a current density in A/mm² falls into, from
// 0 (cool) to kCopperVerdictRows - 1 (dangerous); a bound belongs to the cooler row. The bounds
// are exact in 32 and 64 bits, so a 32-bit density widened to 64 bits lands in the same row.
inline constexpr int kCopperVerdictRows = 5;
int copperVerdictRow(double currentDensity);

// The copper-temperature verdict for a current density in A/mm² (bounds compared as 32-bit).
std::u16string_view copperVerdict(float im);

// The fixed information message naming the maker's contact address.
std::u16string informationMessage();

// The captions for a completed calculation. Raises RuntimeError (6) only when Lp in µH does not
// fit a 32-bit float, which no completed calculation within the input limits produces.
ResultTexts resultTexts(const DesignState& state, const Value& k);
// The same, fetching k from the library first.
ResultTexts resultTexts(const DesignState& state);

}  // namespace fbc
