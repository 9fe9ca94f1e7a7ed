#include "value.h"

#include <cmath>
#include <limits>
#include <ostream>

#include "checked_math.h"
#include "errors.h"
#include "number_text.h"
#include "object.h"
#include "text.h"

namespace fbc {

std::string_view kindName(Kind kind) noexcept {
  switch (kind) {
    case Kind::Empty:
      return "Empty";
    case Kind::Int16:
      return "Int16";
    case Kind::Int32:
      return "Int32";
    case Kind::Single:
      return "Single";
    case Kind::Double:
      return "Double";
    case Kind::Boolean:
      return "Boolean";
    case Kind::Text:
      return "Text";
    case Kind::Object:
      return "Object";
    case Kind::Array:
      return "Array";
  }
  return "?";
}

namespace {

[[noreturn]] void typeMismatch(const Value& value) {
  raise(ErrorNumber::TypeMismatch, std::string(kindName(value.kind())) + " used as a number");
}

// The four numeric widths of the arithmetic, in order of precision.
enum class Width : std::uint8_t { Int16, Int32, Single, Double };

// An operand reduced to its width and value. Every width's values are exact in a double, and
// integers also keep their exact integer value for overflow-free sums.
struct Operand {
  Width width;
  double number;
};

Operand operandOf(const Value& value) {
  switch (value.kind()) {
    case Kind::Empty:
      return {Width::Int16, 0.0};
    case Kind::Int16:
      return {Width::Int16, static_cast<double>(value.int16())};
    case Kind::Int32:
      return {Width::Int32, static_cast<double>(value.int32())};
    case Kind::Single:
      return {Width::Single, static_cast<double>(value.single())};
    case Kind::Double:
      return {Width::Double, value.dbl()};
    case Kind::Boolean:
      return {Width::Int16, value.boolean() ? -1.0 : 0.0};
    case Kind::Text:
      return {Width::Double, textToDouble(value.text())};
    case Kind::Object:
    case Kind::Array:
      break;
  }
  typeMismatch(value);
}

// Width of a sum, difference or product.
Width sumWidth(Width a, Width b) noexcept {
  if ((a == Width::Single && b == Width::Int32) || (a == Width::Int32 && b == Width::Single)) {
    return Width::Double;
  }
  return a > b ? a : b;
}

// An integer result: stays in its width when it fits, else the next wider integer, then Double.
// Integer operands are below 2^31 in magnitude, so sums, differences and products of two of
// them are exact in 64-bit integers.
Value integerResult(Width width, std::int64_t result) noexcept {
  if (width == Width::Int16 && result >= std::numeric_limits<std::int16_t>::min() &&
      result <= std::numeric_limits<std::int16_t>::max()) {
    return Value(static_cast<std::int16_t>(result));
  }
  if (result >= std::numeric_limits<std::int32_t>::min() &&
      result <= std::numeric_limits<std::int32_t>::max()) {
    return Value(static_cast<std::int32_t>(result));
  }
  return Value(static_cast<double>(result));
}

// A Single result: the operands are 32-bit floats (or 16-bit integers, exact in one), so the
// 64-bit result rounded once more to 32 bits equals the exact result rounded once; a result
// beyond the 32-bit range widens to Double.
Value floatResult(Width width, double result, const char* operation) {
  if (width == Width::Single) {
    const auto single = static_cast<float>(result);
    if (!std::isinf(single)) {
      return Value(single);
    }
  }
  if (!std::isfinite(result)) {
    raise(ErrorNumber::Overflow, operation);
  }
  return Value(result);
}

enum class Operation { Add, Subtract, Multiply };

Value arithmetic(const Value& a, const Value& b, Operation operation) {
  const Operand x = operandOf(a);
  const Operand y = operandOf(b);
  const Width width = sumWidth(x.width, y.width);
  if (width <= Width::Int32) {
    const auto i = static_cast<std::int64_t>(x.number);
    const auto j = static_cast<std::int64_t>(y.number);
    switch (operation) {
      case Operation::Add:
        return integerResult(width, i + j);
      case Operation::Subtract:
        return integerResult(width, i - j);
      case Operation::Multiply:
        return integerResult(width, i * j);
    }
  }
  switch (operation) {
    case Operation::Add:
      return floatResult(width, x.number + y.number, "sum");
    case Operation::Subtract:
      return floatResult(width, x.number - y.number, "difference");
    case Operation::Multiply:
      return floatResult(width, x.number * y.number, "product");
  }
  return {};
}

bool joinsAsText(const Value& a, const Value& b) noexcept {
  return (a.isText() && (b.isText() || b.isEmpty())) || (a.isEmpty() && b.isText());
}

std::u16string joined(const std::u16string& a, const std::u16string& b) {
  std::u16string result;
  result.reserve(a.size() + b.size());
  result += a;
  result += b;
  return result;
}

bool isBlank(char16_t c) noexcept { return c == u' ' || c == u'\t' || c == u'\u3000'; }

std::u16string_view trimmed(std::u16string_view text) noexcept {
  while (!text.empty() && isBlank(text.front())) {
    text.remove_prefix(1);
  }
  while (!text.empty() && isBlank(text.back())) {
    text.remove_suffix(1);
  }
  return text;
}

bool equalsIgnoringAsciiCase(std::u16string_view text, std::u16string_view word) noexcept {
  if (text.size() != word.size()) {
    return false;
  }
  for (std::size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    if (c >= u'A' && c <= u'Z') {
      c = static_cast<char16_t>(c - u'A' + u'a');
    }
    if (c != word[i]) {
      return false;
    }
  }
  return true;
}

int compareNumbers(double a, double b) noexcept { return (a > b) - (a < b); }

int compareTexts(const std::u16string& a, const std::u16string& b) noexcept {
  const int order = a.compare(b);
  return (order > 0) - (order < 0);
}

const std::u16string& emptyText() {
  static const std::u16string empty;
  return empty;
}

}  // namespace

// The kinds are numbered as the alternatives of the variant.
static_assert(static_cast<int>(Kind::Array) == 8);

bool Value::isNumber() const noexcept {
  switch (kind()) {
    case Kind::Int16:
    case Kind::Int32:
    case Kind::Single:
    case Kind::Double:
    case Kind::Boolean:
      return true;
    default:
      return false;
  }
}

void Value::noObject() const {
  raise(ErrorNumber::ObjectLacksProperty, std::string(kindName(kind())) + " holds no object");
}

ColumnArray& Value::array() const {
  if (const auto* array = std::get_if<std::shared_ptr<ColumnArray>>(&data_);
      array != nullptr && *array != nullptr) {
    return **array;
  }
  raise(ErrorNumber::SubscriptOutOfRange, std::string(kindName(kind())) + " is not an array");
}

double Value::toDouble() const {
  switch (kind()) {
    case Kind::Single:
      return static_cast<double>(single());
    case Kind::Double:
      return dbl();
    default:
      return operandOf(*this).number;
  }
}

float Value::toSingleByRules() const {
  switch (kind()) {
    case Kind::Single:
      return single();
    case Kind::Text:
      // One rounding from the decimal text, not two through a double.
      return textToSingle(text());
    default:
      return toSingleChecked(operandOf(*this).number);
  }
}

std::int16_t Value::toInt16ByRules() const { return toInt16Checked(operandOf(*this).number); }

std::int32_t Value::toInt32() const {
  if (kind() == Kind::Int32) {
    return int32();
  }
  return toInt32Checked(operandOf(*this).number);
}

bool Value::toBoolean() const {
  switch (kind()) {
    case Kind::Boolean:
      return boolean();
    case Kind::Text: {
      const std::u16string_view word = trimmed(text());
      if (equalsIgnoringAsciiCase(word, u"true")) {
        return true;
      }
      if (equalsIgnoringAsciiCase(word, u"false")) {
        return false;
      }
      return textToDouble(text()) != 0.0;
    }
    default:
      return operandOf(*this).number != 0.0;
  }
}

Value Value::toNumber() const {
  switch (kind()) {
    case Kind::Int16:
    case Kind::Int32:
    case Kind::Single:
    case Kind::Double:
      return *this;
    case Kind::Empty:
      return Value(std::int16_t{0});
    case Kind::Boolean:
      return Value(static_cast<std::int16_t>(boolean() ? -1 : 0));
    case Kind::Text:
      return Value(textToDouble(text()));
    case Kind::Object:
    case Kind::Array:
      break;
  }
  typeMismatch(*this);
}

std::u16string Value::toText() const {
  switch (kind()) {
    case Kind::Empty:
      return {};
    case Kind::Int16:
      return generalText(static_cast<std::int32_t>(int16()));
    case Kind::Int32:
      return generalText(int32());
    case Kind::Single:
      return generalText(single());
    case Kind::Double:
      return generalText(dbl());
    case Kind::Boolean:
      return boolean() ? u"True" : u"False";
    case Kind::Text:
      return text();
    case Kind::Object:
    case Kind::Array:
      break;
  }
  raise(ErrorNumber::TypeMismatch, std::string(kindName(kind())) + " used as a text");
}

// NOLINTNEXTLINE(bugprone-exception-escape): only a valueless variant throws; see value.h.
bool sameKindAndValue(const Value& a, const Value& b) noexcept { return a.data_ == b.data_; }

std::ostream& operator<<(std::ostream& out, const Value& value) {
  out << kindName(value.kind());
  switch (value.kind()) {
    case Kind::Empty:
      break;
    case Kind::Int16:
      out << ' ' << value.int16();
      break;
    case Kind::Int32:
      out << ' ' << value.int32();
      break;
    case Kind::Single:
      out << ' ' << toUtf8(generalText(value.single()));
      break;
    case Kind::Double:
      out << ' ' << toUtf8(generalText(value.dbl()));
      break;
    case Kind::Boolean:
      out << (value.boolean() ? " True" : " False");
      break;
    case Kind::Text:
      out << " \"" << toUtf8(value.text()) << '"';
      break;
    case Kind::Object:
      out << ' ' << static_cast<const void*>(&value.object());
      break;
    case Kind::Array: {
      const ColumnArray& array = value.array();
      out << '(' << array.lower() << " To " << array.upper() << ')';
      break;
    }
  }
  return out;
}

ColumnArray::ColumnArray(int lower, int upper) : lower_(lower), upper_(upper) {
  if (upper < lower) {
    raise(ErrorNumber::SubscriptOutOfRange,
          "array bounds " + std::to_string(lower) + " To " + std::to_string(upper));
  }
  items_.resize(static_cast<std::size_t>(static_cast<long long>(upper) - lower + 1));
}

Value& ColumnArray::at(long long index) {
  if (!contains(index)) {
    raise(ErrorNumber::SubscriptOutOfRange, "index " + std::to_string(index));
  }
  return items_[static_cast<std::size_t>(index - lower_)];
}

const Value& ColumnArray::at(long long index) const {
  if (!contains(index)) {
    raise(ErrorNumber::SubscriptOutOfRange, "index " + std::to_string(index));
  }
  return items_[static_cast<std::size_t>(index - lower_)];
}

Value detail::addByRules(const Value& a, const Value& b) {
  if (joinsAsText(a, b)) {
    return Value(joined(a.isText() ? a.text() : emptyText(), b.isText() ? b.text() : emptyText()));
  }
  return arithmetic(a, b, Operation::Add);
}

Value detail::subtractByRules(const Value& a, const Value& b) {
  return arithmetic(a, b, Operation::Subtract);
}

Value detail::multiplyByRules(const Value& a, const Value& b) {
  return arithmetic(a, b, Operation::Multiply);
}

Value divide(const Value& a, const Value& b) {
  const Operand x = operandOf(a);
  const Operand y = operandOf(b);
  const double quotient = checkedDivide(x.number, y.number);
  const auto singleOrInt16 = [](Width w) { return w == Width::Single || w == Width::Int16; };
  const bool single = (x.width == Width::Single || y.width == Width::Single) &&
                      singleOrInt16(x.width) && singleOrInt16(y.width);
  // A 32-bit quotient overflowing its range widens; checkedDivide already refused a 64-bit one.
  return floatResult(single ? Width::Single : Width::Double, quotient, "quotient");
}

Value power(const Value& a, const Value& b) {
  return Value(checkedPower(operandOf(a).number, operandOf(b).number));
}

Value squareRoot(const Value& a) { return Value(checkedSqrt(operandOf(a).number)); }

Value sine(const Value& a) { return Value(checkedSin(operandOf(a).number)); }

Value naturalLog(const Value& a) { return Value(checkedLog(operandOf(a).number)); }

Value concat(const Value& a, const Value& b) { return Value(joined(a.toText(), b.toText())); }

Value negate(const Value& a) {
  const Operand x = operandOf(a);
  switch (x.width) {
    case Width::Int16:
    case Width::Int32:
      return integerResult(x.width, -static_cast<std::int64_t>(x.number));
    case Width::Single:
      return Value(-a.single());
    case Width::Double:
      return Value(-x.number);
  }
  return {};
}

int compare(const Value& a, const Value& b) {
  const bool aText = a.isText() || (a.isEmpty() && b.isText());
  const bool bText = b.isText() || (b.isEmpty() && a.isText());
  if (aText && bText) {
    return compareTexts(a.isText() ? a.text() : emptyText(), b.isText() ? b.text() : emptyText());
  }
  if (aText) {
    if (b.kind() == Kind::Object || b.kind() == Kind::Array) {
      typeMismatch(b);
    }
    return 1;
  }
  if (bText) {
    if (a.kind() == Kind::Object || a.kind() == Kind::Array) {
      typeMismatch(a);
    }
    return -1;
  }
  return compareNumbers(operandOf(a).number, operandOf(b).number);
}

int compareWithConstant(const Value& a, const Value& constant) {
  if (a.isText() && !constant.isText()) {
    return compareNumbers(textToDouble(a.text()), operandOf(constant).number);
  }
  return compare(a, constant);
}

}  // namespace fbc
