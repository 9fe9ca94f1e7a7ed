#include "number_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "errors.h"

namespace fbc {
namespace {

// A number as decimal significant digits: value = d0.d1d2... × 10^exponent. No leading zero;
// an empty digit string is zero.
struct Decimal {
  std::string digits;
  int exponent = 0;

  bool isZero() const { return digits.empty(); }
  // The digit whose weight is 10^weight, '0' outside the stored digits.
  char digitAt(int weight) const {
    const int index = exponent - weight;
    if (index < 0 || index >= static_cast<int>(digits.size())) {
      return '0';
    }
    return digits[static_cast<std::size_t>(index)];
  }
};

std::u16string widen(std::string_view ascii) { return {ascii.begin(), ascii.end()}; }

std::u16string nonFiniteText(double value) {
  if (std::isnan(value)) {
    return u"nan";
  }
  return value < 0 ? u"-inf" : u"inf";
}

// |value| correctly rounded to `significant` digits; the binary-to-decimal step is
// std::to_chars, which works on the exact binary value of T.
template <typename T>
Decimal toDecimal(T value, int significant) {
  Decimal result;
  if (value == 0) {
    return result;
  }
  std::array<char, 64> buffer{};
  const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), std::fabs(value),
                                 std::chars_format::scientific, significant - 1)
                       .ptr;
  const char* p = buffer.data();
  for (; p != end && *p != 'e'; ++p) {
    if (*p != '.') {
      result.digits.push_back(*p);
    }
  }
  ++p;  // 'e'
  const bool negativeExponent = *p == '-';
  ++p;  // sign, always written
  std::from_chars(p, end, result.exponent);
  if (negativeExponent) {
    result.exponent = -result.exponent;
  }
  return result;
}

void dropTrailingZeros(std::string& digits) {
  while (digits.size() > 1 && digits.back() == '0') {
    digits.pop_back();
  }
}

void appendExponent(std::string& out, int exponent, bool alwaysSign, std::size_t minDigits) {
  if (exponent < 0) {
    out += '-';
  } else if (alwaysSign) {
    out += '+';
  }
  std::string digits = std::to_string(exponent < 0 ? -exponent : exponent);
  if (digits.size() < minDigits) {
    out.append(minDigits - digits.size(), '0');
  }
  out += digits;
}

// The plain form covers 10^-4 <= |x| < 10^precision, judged on the rounded digits so that a
// value rounding up to the bound (9.9999999E-05, 999999999999999.9) takes the form of the bound.
bool usesPlainForm(const Decimal& d, int precision) {
  return d.exponent >= -4 && d.exponent < precision;
}

template <typename T>
std::u16string generalTextOf(T value, int significant) {
  if (!std::isfinite(value)) {
    return nonFiniteText(value);
  }
  if (value == 0) {
    return u"0";
  }
  Decimal d = toDecimal(value, significant);
  dropTrailingZeros(d.digits);
  std::string out;
  if (value < 0) {
    out += '-';
  }
  const int count = static_cast<int>(d.digits.size());
  if (usesPlainForm(d, significant)) {
    if (d.exponent >= 0) {
      for (int w = d.exponent; w >= 0; --w) {
        out += d.digitAt(w);
      }
      const int integerCount = d.exponent + 1;
      if (count > integerCount) {
        out += '.';
        out.append(d.digits, static_cast<std::size_t>(integerCount));
      }
    } else {
      out += "0.";
      const int leadingZeros = -d.exponent - 1;
      out.append(static_cast<std::size_t>(leadingZeros), '0');
      out += d.digits;
    }
  } else {
    out += d.digits[0];
    if (count > 1) {
      out += '.';
      out.append(d.digits, 1);
    }
    out += 'E';
    appendExponent(out, d.exponent, true, 2);
  }
  return widen(out);
}

// Keeps the first `keep` significant digits, rounding half away from zero (the digits are
// magnitudes, the sign is applied later).
void roundTo(Decimal& d, int keep) {
  if (d.isZero() || keep >= static_cast<int>(d.digits.size())) {
    return;
  }
  if (keep < 0) {
    d.digits.clear();
    return;
  }
  const bool up = d.digits[static_cast<std::size_t>(keep)] >= '5';
  d.digits.resize(static_cast<std::size_t>(keep));
  if (!up) {
    return;  // an empty digit string left here is a zero
  }
  while (!d.digits.empty() && d.digits.back() == '9') {
    d.digits.pop_back();
  }
  if (d.digits.empty()) {
    d.digits.push_back('1');
    ++d.exponent;
  } else {
    ++d.digits.back();
  }
}

// One parsed format pattern. Commas that group thousands are dropped from the tokens and only
// set `grouping`.
struct Pattern {
  enum class Kind { Literal, IntegerPlace, FractionPlace, Point, Exponent };
  struct Token {
    Kind kind;
    char16_t ch;  // '0' or '#' for a digit place, the character itself for a literal
  };
  std::vector<Token> tokens;
  int integerPlaces = 0;
  int fractionPlaces = 0;
  bool grouping = false;
  bool hasExponent = false;
  char16_t exponentLetter = u'E';
  bool exponentAlwaysSigned = true;
  std::size_t exponentMinDigits = 1;
};

bool isDigitPlace(char16_t c) { return c == u'0' || c == u'#'; }

// Whether an exponent ("E+00", "e-#") starts at text[i]: after a digit place, a letter E, a
// sign and a digit place.
bool startsExponent(const Pattern& p, std::u16string_view text, std::size_t i) {
  const char16_t c = text[i];
  return (c == u'E' || c == u'e') && p.integerPlaces + p.fractionPlaces > 0 &&
         i + 2 < text.size() && (text[i + 1] == u'+' || text[i + 1] == u'-') &&
         isDigitPlace(text[i + 2]);
}

// Reads the exponent starting at text[i] into p; returns the index past its digit places.
std::size_t readExponentPattern(Pattern& p, std::u16string_view text, std::size_t i) {
  const char16_t c = text[i];
  p.hasExponent = true;
  p.exponentLetter = c;
  p.exponentAlwaysSigned = text[i + 1] == u'+';
  std::size_t zeros = 0;
  for (i += 2; i < text.size() && isDigitPlace(text[i]); ++i) {
    zeros += text[i] == u'0' ? 1U : 0U;
  }
  p.exponentMinDigits = std::max<std::size_t>(zeros, 1);
  p.tokens.push_back({Pattern::Kind::Exponent, c});
  return i;
}

Pattern parsePattern(std::u16string_view text) {
  Pattern p;
  bool seenPoint = false;
  std::size_t i = 0;
  for (; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (isDigitPlace(c)) {
      p.tokens.push_back(
          {seenPoint ? Pattern::Kind::FractionPlace : Pattern::Kind::IntegerPlace, c});
      ++(seenPoint ? p.fractionPlaces : p.integerPlaces);
    } else if (c == u'.' && !seenPoint) {
      p.tokens.push_back({Pattern::Kind::Point, c});
      seenPoint = true;
    } else if (c == u',' && !seenPoint && p.integerPlaces > 0 && i + 1 < text.size() &&
               isDigitPlace(text[i + 1])) {
      p.grouping = true;
    } else if (startsExponent(p, text, i)) {
      i = readExponentPattern(p, text, i);
      break;
    } else {
      p.tokens.push_back({Pattern::Kind::Literal, c});
    }
  }
  // Whatever follows the exponent is literal text.
  for (; i < text.size(); ++i) {
    p.tokens.push_back({Pattern::Kind::Literal, text[i]});
  }
  return p;
}

// Fills the integer places from the right; the leftmost place takes any extra digits, and a
// pattern without integer places shows them just before its point.
void placeIntegerDigits(const Pattern& p, const std::string& digits,
                        std::vector<std::u16string>& pieces) {
  int next = static_cast<int>(digits.size()) - 1;
  int emitted = 0;
  int placesLeft = p.integerPlaces;
  auto prepend = [&](std::u16string& piece, char digit) {
    if (p.grouping && emitted > 0 && emitted % 3 == 0) {
      piece.insert(piece.begin(), u',');
    }
    piece.insert(piece.begin(), static_cast<char16_t>(digit));
    ++emitted;
  };
  for (std::size_t t = p.tokens.size(); t-- > 0;) {
    const auto& token = p.tokens[t];
    if (token.kind == Pattern::Kind::Point && p.integerPlaces == 0) {
      while (next >= 0) {
        prepend(pieces[t], digits[static_cast<std::size_t>(next--)]);
      }
    }
    if (token.kind != Pattern::Kind::IntegerPlace) {
      continue;
    }
    if (next >= 0) {
      prepend(pieces[t], digits[static_cast<std::size_t>(next--)]);
    } else if (token.ch == u'0') {
      prepend(pieces[t], '0');
    }
    if (--placesLeft == 0) {
      while (next >= 0) {
        prepend(pieces[t], digits[static_cast<std::size_t>(next--)]);
      }
    }
  }
}

}  // namespace

std::u16string generalText(float value) { return generalTextOf(value, 7); }

std::u16string generalText(double value) { return generalTextOf(value, 15); }

std::u16string generalText(std::int32_t value) {
  std::array<char, 16> buffer{};
  const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value).ptr;
  return widen(std::string_view(buffer.data(), static_cast<std::size_t>(end - buffer.data())));
}

std::u16string formatPattern(double value, std::u16string_view pattern, int significantDigits) {
  if (!std::isfinite(value)) {
    return nonFiniteText(value);
  }
  const Pattern p = parsePattern(pattern);
  Decimal d = toDecimal(value, std::clamp(significantDigits, 1, 17));

  // Round to the last place shown, then bring the number to the shape the pattern shows:
  // `d` afterwards holds the digits placed around the point (the mantissa in exponent form).
  int exponentValue = 0;
  if (p.hasExponent) {
    roundTo(d, p.integerPlaces + p.fractionPlaces);
    if (!d.isZero()) {
      exponentValue = d.exponent + 1 - p.integerPlaces;
      d.exponent = p.integerPlaces - 1;
    }
  } else {
    roundTo(d, d.exponent + 1 + p.fractionPlaces);
  }

  std::string integerDigits;
  if (!d.isZero()) {
    for (int w = d.exponent; w >= 0; --w) {
      integerDigits += d.digitAt(w);
    }
  }
  std::string fractionDigits;
  for (int j = 1; j <= p.fractionPlaces; ++j) {
    fractionDigits += d.digitAt(-j);
  }
  const std::size_t lastNonZeroFraction = fractionDigits.find_last_not_of('0');

  // Point, fraction places and exponent are appended after the integer digits placed
  // before the point.
  std::vector<std::u16string> pieces(p.tokens.size());
  placeIntegerDigits(p, integerDigits, pieces);
  std::size_t fractionIndex = 0;
  for (std::size_t t = 0; t < p.tokens.size(); ++t) {
    const auto& token = p.tokens[t];
    switch (token.kind) {
      case Pattern::Kind::Literal:
      case Pattern::Kind::Point:
        pieces[t] += token.ch;
        break;
      case Pattern::Kind::IntegerPlace:
        break;
      case Pattern::Kind::FractionPlace: {
        const std::size_t j = fractionIndex++;
        // An optional place shows its digit unless only zeros follow from it on.
        const bool shown = token.ch == u'0' ||
                           (lastNonZeroFraction != std::string::npos && j <= lastNonZeroFraction);
        if (shown) {
          pieces[t] += static_cast<char16_t>(fractionDigits[j]);
        }
        break;
      }
      case Pattern::Kind::Exponent: {
        std::string exponentText(1, static_cast<char>(p.exponentLetter));
        appendExponent(exponentText, exponentValue, p.exponentAlwaysSigned, p.exponentMinDigits);
        pieces[t] = widen(exponentText);
        break;
      }
    }
  }

  std::u16string out;
  if (std::signbit(value) && !d.isZero()) {
    out += u'-';
  }
  for (const auto& piece : pieces) {
    out += piece;
  }
  return out;
}

namespace {

bool isBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\u3000'; }

// The ASCII character a number character stands for, full-width forms included; 0 for any
// character that cannot be part of a number.
char numberCharacter(char16_t c) {
  if (c < 0x80) {
    return static_cast<char>(c);
  }
  if (c >= u'\uFF10' && c <= u'\uFF19') {
    return static_cast<char>('0' + (c - u'\uFF10'));
  }
  switch (c) {
    case u'\uFF0E':
      return '.';
    case u'\uFF0D':
    case u'\u2212':
      return '-';
    case u'\uFF0B':
      return '+';
    case u'\uFF45':
      return 'e';
    case u'\uFF25':
      return 'E';
    case u'\uFF0C':
      return ',';
    default:
      return 0;
  }
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A text checked against the number grammar and rewritten for std::from_chars: an optional
// '-', digits, '.', digits, 'e', signed digits.
struct NumberText {
  bool valid = false;
  std::string canonical;
  // Decimal exponent of the first non-zero digit (saturated), to tell an overflow from an
  // underflow when the conversion reports the value out of range.
  long magnitude = 0;
};

// The parts of a number text, each as it was written.
struct NumberParts {
  bool negative = false;
  std::string integerDigits;
  std::string fractionDigits;
  bool negativeExponent = false;
  std::string exponentDigits;
};

// The text without its surrounding blanks, each character as the ASCII one it stands for;
// nothing when a character cannot be part of a number.
std::optional<std::string> asciiNumberText(std::u16string_view text) {
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && isBlank(text[first])) {
    ++first;
  }
  while (last > first && isBlank(text[last - 1])) {
    --last;
  }
  std::string s;
  s.reserve(last - first);
  for (std::size_t i = first; i < last; ++i) {
    const char c = numberCharacter(text[i]);
    if (c == 0) {
      return std::nullopt;
    }
    s += c;
  }
  return s;
}

// Integer digits from s[i] on, optionally grouped by commas in threes after a first group of
// one to three ("1,234,567"); false when the grouping is broken.
bool readIntegerDigits(std::string_view s, std::size_t& i, std::string& digits) {
  std::size_t groupLength = 0;
  bool grouped = false;
  for (; i < s.size(); ++i) {
    if (isDigit(s[i])) {
      digits += s[i];
      ++groupLength;
    } else if (s[i] == ',') {
      if (groupLength == 0 || (grouped ? groupLength != 3 : groupLength > 3)) {
        return false;
      }
      grouped = true;
      groupLength = 0;
    } else {
      break;
    }
  }
  return !grouped || groupLength == 3;
}

// An exponent from s[i] on, if one is there: 'e' or 'E', an optional sign and at least one
// digit; false when the letter is not followed by digits.
bool readExponent(std::string_view s, std::size_t& i, NumberParts& parts) {
  if (i >= s.size() || (s[i] != 'e' && s[i] != 'E')) {
    return true;
  }
  ++i;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    parts.negativeExponent = s[i] == '-';
    ++i;
  }
  for (; i < s.size() && isDigit(s[i]); ++i) {
    parts.exponentDigits += s[i];
  }
  return !parts.exponentDigits.empty();
}

// The whole of s as sign, integer digits, fraction and exponent; false when any of it does not
// fit the grammar or something follows.
bool readNumberParts(std::string_view s, NumberParts& parts) {
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    parts.negative = s[i] == '-';
    ++i;
  }
  if (!readIntegerDigits(s, i, parts.integerDigits)) {
    return false;
  }
  if (i < s.size() && s[i] == '.') {
    for (++i; i < s.size() && isDigit(s[i]); ++i) {
      parts.fractionDigits += s[i];
    }
  }
  if (parts.integerDigits.empty() && parts.fractionDigits.empty()) {
    return false;
  }
  return readExponent(s, i, parts) && i == s.size();
}

// Decimal exponent of the first non-zero digit, the exponent saturated at a million.
long magnitudeOf(const NumberParts& parts) {
  constexpr long kExponentCap = 1'000'000;
  long exponent = 0;
  for (const char c : parts.exponentDigits) {
    exponent = std::min(exponent * 10 + (c - '0'), kExponentCap);
  }
  if (parts.negativeExponent) {
    exponent = -exponent;
  }
  const std::string& integerDigits = parts.integerDigits;
  const std::size_t leadingIntegerZeros =
      std::min(integerDigits.find_first_not_of('0'), integerDigits.size());
  if (leadingIntegerZeros < integerDigits.size()) {
    return static_cast<long>(integerDigits.size() - leadingIntegerZeros) - 1 + exponent;
  }
  const std::size_t firstFraction = parts.fractionDigits.find_first_not_of('0');
  return firstFraction == std::string::npos ? 0 : -static_cast<long>(firstFraction) - 1 + exponent;
}

// The number in the form std::from_chars reads.
std::string canonicalOf(const NumberParts& parts) {
  std::string canonical;
  canonical.reserve(parts.integerDigits.size() + parts.fractionDigits.size() +
                    parts.exponentDigits.size() + 6);
  if (parts.negative) {
    canonical += '-';
  }
  canonical += parts.integerDigits.empty() ? "0" : parts.integerDigits;
  if (!parts.fractionDigits.empty()) {
    canonical += '.';
    canonical += parts.fractionDigits;
  }
  if (!parts.exponentDigits.empty()) {
    canonical += 'e';
    if (parts.negativeExponent) {
      canonical += '-';
    }
    canonical += parts.exponentDigits;
  }
  return canonical;
}

NumberText scanNumber(std::u16string_view text) {
  NumberText result;
  const std::optional<std::string> ascii = asciiNumberText(text);
  NumberParts parts;
  if (!ascii || !readNumberParts(*ascii, parts)) {
    return result;
  }
  result.magnitude = magnitudeOf(parts);
  result.canonical = canonicalOf(parts);
  result.valid = true;
  return result;
}

template <typename T>
std::pair<ParseStatus, T> parseAs(std::u16string_view text) {
  const NumberText scanned = scanNumber(text);
  if (!scanned.valid) {
    return {ParseStatus::NotANumber, T{}};
  }
  T value{};
  const char* begin = scanned.canonical.data();
  const char* end = begin + scanned.canonical.size();
  const auto [ptr, ec] = std::from_chars(begin, end, value, std::chars_format::general);
  if (ec == std::errc::result_out_of_range) {
    if (scanned.magnitude < 0) {
      // Too small for the type: the nearest value is a zero of the same sign.
      const bool negative = scanned.canonical.front() == '-';
      return {ParseStatus::Ok, negative ? -T{} : T{}};
    }
    return {ParseStatus::OutOfRange, T{}};
  }
  if (ec != std::errc{} || ptr != end) {
    return {ParseStatus::NotANumber, T{}};
  }
  if (!std::isfinite(value)) {
    return {ParseStatus::OutOfRange, T{}};
  }
  return {ParseStatus::Ok, value};
}

template <typename T>
T parseOrRaise(std::u16string_view text) {
  const auto [status, value] = parseAs<T>(text);
  switch (status) {
    case ParseStatus::Ok:
      return value;
    case ParseStatus::OutOfRange:
      raise(ErrorNumber::Overflow);
    case ParseStatus::NotANumber:
      break;
  }
  raise(ErrorNumber::TypeMismatch);
}

template <typename T>
std::string shortest(T value) {
  std::array<char, 64> buffer{};
  const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value).ptr;
  return {buffer.data(), end};
}

}  // namespace

ParsedDouble parseDouble(std::u16string_view text) noexcept {
  const auto [status, value] = parseAs<double>(text);
  return {status, value};
}

ParsedSingle parseSingle(std::u16string_view text) noexcept {
  const auto [status, value] = parseAs<float>(text);
  return {status, value};
}

double textToDouble(std::u16string_view text) { return parseOrRaise<double>(text); }

float textToSingle(std::u16string_view text) { return parseOrRaise<float>(text); }

std::string shortestRoundTrip(double value) { return shortest(value); }

std::string shortestRoundTrip(float value) { return shortest(value); }

}  // namespace fbc
