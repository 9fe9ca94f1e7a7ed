#pragma once

#include <cstddef>
#include <string_view>

namespace fbc {

// The longest drawing number (図番) the sheet's title block holds.
inline constexpr std::size_t kDrawingNumberMaxLength = 32;

// Whether `text` can stand as a drawing number: half-width printable characters only (ASCII
// 0x20 to 0x7E), at most kDrawingNumberMaxLength of them. Empty means none. Free of Qt, so the
// command line can check it before anything is drawn.
constexpr bool isValidDrawingNumber(std::string_view text) {
  if (text.size() > kDrawingNumberMaxLength) {
    return false;
  }
  for (const char c : text) {
    if (c < 0x20 || c > 0x7E) {
      return false;
    }
  }
  return true;
}

}  // namespace fbc
