#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/surface.h"
#include "platform/value.h"

// Small steps shared by the grid, picture and line-plot procedures of the library.
namespace fbc::macro::detail {

// Palette indices the grids draw with.
inline constexpr int kBlack = 0;
inline constexpr int kDarkBlue = 1;
inline constexpr int kLightGrey = 7;
inline constexpr int kGrey = 8;

// The surface takes positions as 32-bit floats; a value beyond their range is an overflow (6).
inline float coordinate(const Value& v) { return v.toSingle(); }

// The parts one after the other, as one text.
std::u16string joined(std::initializer_list<std::u16string_view> parts);

// Sets CurrentX, then CurrentY, then prints one text there.
void printAt(Surface& pic, const Value& x, const Value& y, std::u16string_view text);

// A value shown with a format pattern: a number with the significant digits of its width, a
// text that reads as a number as that number, any other text unchanged. Empty counts as 0.
std::u16string formatValue(const Value& value, std::u16string_view pattern);

// Decades between b and a, formed as (ln a - ln b) / ln 10 in 64-bit floats, each logarithm
// taken on its own: that is how the library measures decades, so ln(1000) / ln(10) gives
// 2.9999999999999996 and not 3. A non-positive argument is an invalid call (5).
Value decadesBetween(const Value& a, const Value& b);
// ln(a) / ln(10), the same way.
Value decadeLog(const Value& a);

}  // namespace fbc::macro::detail
