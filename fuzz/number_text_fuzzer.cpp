// Text-to-number conversion, general number text and format patterns on arbitrary texts.
// Whatever converts must format back to a text that converts to the same value wherever the
// form keeps every digit it promises.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz/fuzz_input.h"
#include "platform/errors.h"
#include "platform/number_text.h"
#include "platform/text.h"

namespace {

using fbc::fuzz::check;

std::u16string widen(std::string_view ascii) { return {ascii.begin(), ascii.end()}; }

// The value rounded to `digits` significant digits, read back to the nearest double; the C
// library's conversions are exact, so this is the reference.
double roundedDouble(double value, int digits) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*e", digits - 1, value);
  return std::strtod(buffer, nullptr);
}

float roundedSingle(float value, int digits) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*e", digits - 1, static_cast<double>(value));
  return std::strtof(buffer, nullptr);
}

bool sameValue(double a, double b) { return a == b && std::signbit(a) == std::signbit(b); }

bool sameValue(float a, float b) { return a == b && std::signbit(a) == std::signbit(b); }

// A text every form of the value must read back from: equal to `expected`, or out of range
// when the rounding carried the value past the largest double.
void checkReadsBack(const std::u16string& text, double expected, const char* what) {
  const fbc::ParsedDouble back = fbc::parseDouble(text);
  if (!std::isfinite(expected)) {
    check(back.status == fbc::ParseStatus::OutOfRange, what);
    return;
  }
  check(back.status == fbc::ParseStatus::Ok && back.value == expected, what);
}

void checkDouble(double value) {
  checkReadsBack(fbc::generalText(value), roundedDouble(value, 15), "general text of a double");
  checkReadsBack(fbc::formatPattern(value, u"0.00000000000000E+00"), roundedDouble(value, 15),
                 "15-digit exponent pattern");
  checkReadsBack(fbc::formatPattern(value, u"0.0000000000000000E+000", 17), value,
                 "17-digit exponent pattern");

  const fbc::ParsedDouble shortest = fbc::parseDouble(widen(fbc::shortestRoundTrip(value)));
  check(shortest.status == fbc::ParseStatus::Ok && sameValue(shortest.value, value),
        "shortest round trip of a double");

  // The window's patterns always give a number text, possibly one beyond the range.
  for (const std::u16string_view pattern : {u"0.000", u"0.0", u"0", u"0.00E+00"}) {
    const std::u16string text = fbc::formatPattern(value, pattern);
    check(fbc::parseDouble(text).status != fbc::ParseStatus::NotANumber, "pattern text");
  }
}

void checkSingle(float value) {
  const float expected = roundedSingle(value, 7);
  const fbc::ParsedSingle general = fbc::parseSingle(fbc::generalText(value));
  if (std::isfinite(expected)) {
    check(general.status == fbc::ParseStatus::Ok && general.value == expected,
          "general text of a single");
  } else {
    check(general.status == fbc::ParseStatus::OutOfRange, "general text of a single overflows");
  }
  const fbc::ParsedSingle shortest = fbc::parseSingle(widen(fbc::shortestRoundTrip(value)));
  check(shortest.status == fbc::ParseStatus::Ok && sameValue(shortest.value, value),
        "shortest round trip of a single");
}

// Conversion of a text: the throwing forms agree with the status forms.
void convert(const std::u16string& text) {
  const fbc::ParsedDouble d = fbc::parseDouble(text);
  try {
    const double value = fbc::textToDouble(text);
    check(d.status == fbc::ParseStatus::Ok && sameValue(d.value, value), "textToDouble agrees");
  } catch (const fbc::RuntimeError& error) {
    check(error.number() == (d.status == fbc::ParseStatus::OutOfRange
                                 ? fbc::ErrorNumber::Overflow
                                 : fbc::ErrorNumber::TypeMismatch),
          "textToDouble error");
  }
  const fbc::ParsedSingle s = fbc::parseSingle(text);
  try {
    const float value = fbc::textToSingle(text);
    check(s.status == fbc::ParseStatus::Ok && sameValue(s.value, value), "textToSingle agrees");
  } catch (const fbc::RuntimeError& error) {
    check(error.number() == (s.status == fbc::ParseStatus::OutOfRange
                                 ? fbc::ErrorNumber::Overflow
                                 : fbc::ErrorNumber::TypeMismatch),
          "textToSingle error");
  }
  // A text is a number or not, whatever the width it is read into.
  check((d.status == fbc::ParseStatus::NotANumber) == (s.status == fbc::ParseStatus::NotANumber),
        "both widths see a number");

  if (d.status == fbc::ParseStatus::Ok) {
    check(std::isfinite(d.value), "a converted double is finite");
    checkDouble(d.value);
  }
  if (s.status == fbc::ParseStatus::Ok) {
    check(std::isfinite(s.value), "a converted single is finite");
    checkSingle(s.value);
  }
}

// UTF-8 in and out: what came in valid goes out unchanged, and a decoded text survives a
// second round.
void checkUtf8(std::string_view bytes) {
  const std::u16string text = fbc::fromUtf8(bytes);
  const std::string encoded = fbc::toUtf8(text);
  check(fbc::fromUtf8(encoded) == text, "UTF-8 round trip of a decoded text");
  if (text.find(u'\uFFFD') == std::u16string::npos) {
    check(encoded == bytes, "valid UTF-8 comes back unchanged");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fbc::fuzz::FuzzInput input(data, size);
  switch (input.byte() % 4) {
    case 0: {  // a typed text
      const std::string_view bytes = input.rest();
      checkUtf8(bytes);
      convert(fbc::fromUtf8(bytes));
      break;
    }
    case 1:  // any UTF-16, lone surrogates included
      convert(input.restAsUtf16());
      break;
    case 2: {  // any double through any pattern
      const auto value = input.raw<double>();
      const auto digits = static_cast<std::int8_t>(input.byte());
      const std::u16string pattern = fbc::fromUtf8(input.rest());
      (void)fbc::formatPattern(value, pattern, digits);
      (void)fbc::generalText(value);
      (void)fbc::generalText(static_cast<float>(value));
      (void)fbc::shortestRoundTrip(value);
      if (std::isfinite(value)) {
        checkDouble(value);
      }
      break;
    }
    default: {  // any single and integer
      const auto value = input.raw<float>();
      const auto integer = input.raw<std::int32_t>();
      check(fbc::textToDouble(fbc::generalText(integer)) == integer, "integer text");
      (void)fbc::generalText(value);
      if (std::isfinite(value)) {
        checkSingle(value);
        checkDouble(value);
      }
      break;
    }
  }
  return 0;
}
