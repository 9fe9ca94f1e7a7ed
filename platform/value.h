#pragma once

#include <cmath>
#include <cstdint>
#include <exception>
#include <functional>
#include <iosfwd>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace fbc {

class Object;
class ColumnArray;

// What a dynamically typed value currently holds.
enum class Kind : std::uint8_t {
  Empty,
  Int16,
  Int32,
  Single,
  Double,
  Boolean,
  Text,
  Object,
  Array,
};

// The kind's name as tests and logs show it ("Int16", "Single", ...).
std::string_view kindName(Kind kind) noexcept;

// A dynamically typed value: the type of every argument of a library procedure.
// Numbers are held inline (no heap allocation); texts are UTF-16 code units; objects are
// non-owning references to controls or drawing surfaces; arrays are shared column arrays
// that are changed in place and never resized.
class Value {
 public:
  Value() noexcept = default;
  Value(std::int16_t v) noexcept : data_(v) {}
  Value(std::int32_t v) noexcept : data_(v) {}
  Value(float v) noexcept : data_(v) {}
  Value(double v) noexcept : data_(v) {}
  Value(bool v) noexcept : data_(v) {}
  Value(std::u16string v) : data_(std::move(v)) {}
  Value(std::u16string_view v) : data_(std::u16string(v)) {}
  Value(const char16_t* v) : data_(std::u16string(v)) {}
  Value(Object* object) noexcept : data_(object) {}
  Value(Object& object) noexcept : data_(&object) {}
  Value(std::shared_ptr<ColumnArray> array) noexcept : data_(std::move(array)) {}

  Kind kind() const noexcept { return static_cast<Kind>(data_.index()); }
  bool isEmpty() const noexcept { return kind() == Kind::Empty; }
  bool isText() const noexcept { return kind() == Kind::Text; }
  // Int16, Int32, Single, Double or Boolean.
  bool isNumber() const noexcept;

  // Direct access; the kind must match (a mismatch terminates the program).
  std::int16_t int16() const noexcept { return held<std::int16_t>(); }
  std::int32_t int32() const noexcept { return held<std::int32_t>(); }
  float single() const noexcept { return held<float>(); }
  double dbl() const noexcept { return held<double>(); }
  bool boolean() const noexcept { return held<bool>(); }
  const std::u16string& text() const noexcept { return held<std::u16string>(); }

  // The referenced object; error 438 (no object) when the value holds none.
  // Inline: every drawing procedure reaches its surface through it.
  Object& object() const {
    if (const auto* object = std::get_if<Object*>(&data_);
        object != nullptr && *object != nullptr) {
      return **object;
    }
    noObject();
  }
  // The referenced column array; error 9 when the value holds none.
  ColumnArray& array() const;

  // Conversions with the platform's rules. Empty counts as 0; Boolean True as -1; a text is
  // converted with the text-to-number conversion (error 13 when it is not a number); objects
  // and arrays are a type mismatch. Out-of-range values raise error 6.
  double toDouble() const;
  // Rounded once to 32 bits. Inline for a Single and an in-range Double, the coordinates of
  // every plotted point.
  float toSingle() const {
    if (const auto* single = std::get_if<float>(&data_)) {
      return *single;
    }
    if (const auto* number = std::get_if<double>(&data_)) {
      const auto single = static_cast<float>(*number);
      if (std::isfinite(*number) && !std::isinf(single)) {
        return single;
      }
    }
    return toSingleByRules();
  }
  // Rounds half to even, as the platform's integer conversion.
  std::int16_t toInt16() const {
    if (const auto* number = std::get_if<std::int16_t>(&data_)) {
      return *number;
    }
    return toInt16ByRules();
  }
  std::int32_t toInt32() const;  // rounds half to even
  // Non-zero numbers are True; a text "True"/"False" (any case, blanks around) or a numeric text.
  bool toBoolean() const;
  // The value as it takes part in arithmetic: numbers stay, Boolean becomes the 16-bit
  // integer -1 or 0, empty the 16-bit integer 0, a text its 64-bit float (13 when it is not a
  // number); objects and arrays are a type mismatch.
  Value toNumber() const;
  // Value-to-text conversion: a text stays, empty gives "", a number its general number text,
  // Boolean "True"/"False". Objects and arrays are a type mismatch.
  std::u16string toText() const;

  // Same kind and same content (objects and arrays: the same one). Unlike `equals`, Int16 5 and
  // Double 5 differ. (clang-tidy sees a throw in std::variant's ==: the visit's bad_variant_access,
  // unreachable because == handles the valueless state itself and no alternative's == throws.)
  // NOLINTNEXTLINE(bugprone-exception-escape)
  friend bool sameKindAndValue(const Value& a, const Value& b) noexcept;

 private:
  // The held T; a kind mismatch is a fault in the caller and ends the program, as an escaping
  // std::bad_variant_access would, without an exception in a noexcept accessor.
  template <typename T>
  const T& held() const noexcept {
    const T* value = std::get_if<T>(&data_);
    if (value == nullptr) {
      std::terminate();
    }
    return *value;
  }

  [[noreturn]] void noObject() const;
  float toSingleByRules() const;
  std::int16_t toInt16ByRules() const;

  std::variant<std::monostate, std::int16_t, std::int32_t, float, double, bool, std::u16string,
               Object*, std::shared_ptr<ColumnArray>>
      data_;
};

// NOLINTNEXTLINE(bugprone-exception-escape): see the friend declaration above.
bool sameKindAndValue(const Value& a, const Value& b) noexcept;

// Kind and content for test failures and logs, e.g. `Single 2.5` or `Text "abc"`.
std::ostream& operator<<(std::ostream& out, const Value& value);

// A one-dimensional array of dynamically typed values with fixed bounds, shared by reference:
// copying a Value that holds one copies the reference, so a procedure changes the caller's
// elements in place. Elements start empty.
class ColumnArray {
 public:
  // Error 9 when upper < lower, as the platform refuses such a dimension.
  ColumnArray(int lower, int upper);
  static std::shared_ptr<ColumnArray> make(int lower, int upper) {
    return std::make_shared<ColumnArray>(lower, upper);
  }

  int lower() const noexcept { return lower_; }
  int upper() const noexcept { return upper_; }
  bool contains(long long index) const noexcept { return index >= lower_ && index <= upper_; }
  // Error 9 when the index lies outside the bounds.
  Value& at(long long index);
  const Value& at(long long index) const;

 private:
  int lower_;
  int upper_;
  std::vector<Value> items_;
};

// Arithmetic of dynamically typed values (the sum, quotient and function rules of the
// platform). Result kind of +, -, *: the more precise operand in the order Int16 < Int32 <
// Single < Double, except Single with Int32 gives Double; an integer result that overflows
// widens to Int32, then Double, and a Single one to Double. Empty counts as Int16 0, Boolean as
// Int16 (True = -1), a text beside a number as a Double. Faults raise RuntimeError: 6 overflow
// of a Double or invalid operation (0 / 0), 11 division of a non-zero number by zero, 5 invalid
// argument (square root of a negative number, logarithm of a non-positive one, zero to a
// negative power, a negative number to a fractional power), 13 type mismatch.
inline Value add(const Value& a, const Value& b);  // "+": numbers add; two texts, or a
                                                   // text and empty, join
inline Value subtract(const Value& a, const Value& b);
inline Value multiply(const Value& a, const Value& b);
// Single when one operand is Single and the other Single or Int16, otherwise Double.
Value divide(const Value& a, const Value& b);
Value power(const Value& a, const Value& b);  // always a 64-bit float
Value squareRoot(const Value& a);
Value sine(const Value& a);
Value naturalLog(const Value& a);
Value concat(const Value& a, const Value& b);  // "&": both converted to text and joined
Value negate(const Value& a);                  // unary "-", same widening as the sum

namespace detail {

// The general rules of +, - and *, for operands of any kind. add, subtract and multiply take
// a shorter way for two plain numbers and come here for everything else.
Value addByRules(const Value& a, const Value& b);
Value subtractByRules(const Value& a, const Value& b);
Value multiplyByRules(const Value& a, const Value& b);

// Int16, Int32, Single and Double: the kinds that take part in arithmetic as they are.
constexpr bool isPlainNumber(Kind kind) noexcept {
  return kind >= Kind::Int16 && kind <= Kind::Double;
}

// A plain number's value; every one is exact in a double.
inline double plainNumberOf(const Value& value) noexcept {
  switch (value.kind()) {
    case Kind::Single:
      return value.single();
    case Kind::Double:
      return value.dbl();
    case Kind::Int16:
      return value.int16();
    default:
      return value.int32();
  }
}

// +, - or * of two plain numbers with the width and widening rules above, inline because a
// trace runs it several times per point. Results the general rules would refuse (a Double
// beyond range, a Single widening to an overflowing Double) and operands of other kinds are
// left to `byRules`, so faults and their texts stay the general ones.
template <typename Operation>
[[gnu::always_inline]] inline Value plainArithmetic(const Value& a, const Value& b,
                                                    Operation operation,
                                                    Value (*byRules)(const Value&, const Value&)) {
  const Kind ka = a.kind();
  const Kind kb = b.kind();
  if (!isPlainNumber(ka) || !isPlainNumber(kb)) {
    return byRules(a, b);
  }
  const double x = plainNumberOf(a);
  const double y = plainNumberOf(b);
  const bool singleWithInt32 =
      (ka == Kind::Single && kb == Kind::Int32) || (ka == Kind::Int32 && kb == Kind::Single);
  const Kind width = singleWithInt32 ? Kind::Double : (ka > kb ? ka : kb);
  if (width <= Kind::Int32) {
    // Integer operands are below 2^31 in magnitude: exact in 64-bit integers.
    const std::int64_t r = operation(static_cast<std::int64_t>(x), static_cast<std::int64_t>(y));
    if (width == Kind::Int16 && r >= std::numeric_limits<std::int16_t>::min() &&
        r <= std::numeric_limits<std::int16_t>::max()) {
      return Value(static_cast<std::int16_t>(r));
    }
    if (r >= std::numeric_limits<std::int32_t>::min() &&
        r <= std::numeric_limits<std::int32_t>::max()) {
      return Value(static_cast<std::int32_t>(r));
    }
    return Value(static_cast<double>(r));
  }
  const double r = operation(x, y);
  if (width == Kind::Single) {
    const auto single = static_cast<float>(r);
    if (!std::isinf(single)) {
      return Value(single);
    }
  } else if (std::isfinite(r)) {
    return Value(r);
  }
  return byRules(a, b);
}

}  // namespace detail

inline Value add(const Value& a, const Value& b) {
  return detail::plainArithmetic(a, b, std::plus<>{}, detail::addByRules);
}
inline Value subtract(const Value& a, const Value& b) {
  return detail::plainArithmetic(a, b, std::minus<>{}, detail::subtractByRules);
}
inline Value multiply(const Value& a, const Value& b) {
  return detail::plainArithmetic(a, b, std::multiplies<>{}, detail::multiplyByRules);
}

inline Value operator+(const Value& a, const Value& b) { return add(a, b); }
inline Value operator-(const Value& a, const Value& b) { return subtract(a, b); }
inline Value operator*(const Value& a, const Value& b) { return multiply(a, b); }
inline Value operator/(const Value& a, const Value& b) { return divide(a, b); }

// Comparison of two dynamically typed values: numbers numerically, texts by code units,
// a number below a text, empty as 0 or as "". Returns <0, 0 or >0. Objects and arrays are a
// type mismatch (13).
int compare(const Value& a, const Value& b);
// Comparison of a dynamically typed value with a numeric constant of the code: a text is
// converted to a number first (error 13 when it is not one).
int compareWithConstant(const Value& a, const Value& constant);
inline bool equals(const Value& a, const Value& b) { return compare(a, b) == 0; }

}  // namespace fbc
