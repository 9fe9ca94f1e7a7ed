#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace fbc {

// General number text: integers as plain digits; 32-bit floats with at most 7 significant
// digits, 64-bit floats with at most 15, trailing zeros and a trailing point dropped, "."
// as the decimal separator, no thousands separators, no leading blank. After rounding to the
// significant digits the plain form is used for 0.0001 <= |x| < 10^7 (32-bit) or < 10^15
// (64-bit), so 0.0003333333 and 1234567 stay plain; otherwise the exponent form: mantissa, "E",
// sign, at least two digits (8.125668E-09, 9.999E-05, 1.234568E+07). Zero, negative zero
// included, gives "0". Infinities and NaN never reach here from the runtime (it raises error 6
// first); they print as "inf", "-inf" and "nan" so that a stray one is still visible.
std::u16string generalText(float value);
std::u16string generalText(double value);
std::u16string generalText(std::int32_t value);

// Format patterns such as "0.000", "0.0", "0", "0.00E+00", "#,##0.00": "0" is a digit place
// that always shows, "#" one that shows only when needed, "." the decimal point, "," between
// digit places a thousands separator, "E+00"/"E-00" (or "e") a signed exponent of at least as
// many digits as zeros. The value is rounded to the last place shown, halves away from zero,
// after being reduced to `significantDigits` significant digits (15 for 64-bit, 7 for 32-bit
// values). Any other character of the pattern is copied literally. The sign goes in front of
// the whole text and is left out when the shown number is zero ("0.000", never "-0.000"). The
// decimal point is always shown when the pattern has one. A value with more integer digits
// than the pattern has places shows them all. `significantDigits` is clamped to 1..17.
// Infinities and NaN give their general number text.
std::u16string formatPattern(double value, std::u16string_view pattern, int significantDigits = 15);

// Text-to-number conversion. Accepts surrounding blanks (also the ideographic space), a sign,
// digits with "," thousands separators in the integer part, a decimal point, an exponent
// ("1e5", "1E-05"), and the full-width forms a Japanese input method produces (digits
// U+FF10..U+FF19, "．", "－", "＋", "ｅ"/"Ｅ", "，", and the minus sign U+2212). Blanks are the
// space, the tab and U+3000. Fails on an empty text and on any text that is not, as a whole, a
// number: a lone sign or point, an exponent without digits, "inf", "nan", hexadecimal. With
// separators the integer part must be grouped as 1 to 3 digits, then groups of exactly three
// ("1,000", "12,345.5"), so that a decimal comma ("1,5") is refused rather than read as 15.
// A value beyond the target type's range is OutOfRange; one too small for it becomes a
// denormal or a (signed) zero without error.
enum class ParseStatus { Ok, NotANumber, OutOfRange };
struct ParsedDouble {
  ParseStatus status = ParseStatus::NotANumber;
  double value = 0.0;
};
struct ParsedSingle {
  ParseStatus status = ParseStatus::NotANumber;
  float value = 0.0F;
};
ParsedDouble parseDouble(std::u16string_view text) noexcept;
// Converts straight to the nearest 32-bit float (one rounding from the decimal text).
ParsedSingle parseSingle(std::u16string_view text) noexcept;

// Throwing forms: error 13 (type mismatch) for a text that is not a number, 6 (overflow) for
// one out of range.
double textToDouble(std::u16string_view text);
float textToSingle(std::u16string_view text);

// The shortest decimal text that reads back to exactly the same value ("0.1", "1e+15",
// "3.4028235e+38"), for machine-readable output such as JSON or CSV. Non-finite values give
// "inf", "-inf" and "nan".
std::string shortestRoundTrip(double value);
std::string shortestRoundTrip(float value);

}  // namespace fbc
