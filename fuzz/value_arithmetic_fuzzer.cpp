// Arithmetic, comparison and conversion of dynamically typed values over random kinds and
// contents: never a crash, every fault one of the platform's error numbers, and for two plain
// numbers the result the width rules promise.

#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <string>

#include "fuzz/fuzz_input.h"
#include "platform/errors.h"
#include "platform/number_text.h"
#include "platform/text.h"
#include "platform/value.h"

namespace {

using fbc::ErrorNumber;
using fbc::Kind;
using fbc::Value;
using fbc::fuzz::check;

Value makeValue(fbc::fuzz::FuzzInput& input) {
  switch (input.byte() % 9) {
    case 0:
      return {};
    case 1:
      return Value(input.raw<std::int16_t>());
    case 2:
      return Value(input.raw<std::int32_t>());
    case 3:
      return Value(input.raw<float>());
    case 4:
      return Value(input.raw<double>());
    case 5:
      return Value((input.byte() & 1) != 0);
    case 6:
      return Value(fbc::fromUtf8(input.bytes(input.byte() % 24)));
    case 7:
      return Value(static_cast<fbc::Object*>(nullptr));
    default:
      return Value(fbc::ColumnArray::make(0, input.byte() % 4));
  }
}

bool isFinitePlainNumber(const Value& v) {
  return fbc::detail::isPlainNumber(v.kind()) && std::isfinite(fbc::detail::plainNumberOf(v));
}

// The outcome of one operation: a value or an error number.
struct Outcome {
  std::optional<Value> value;
  ErrorNumber error = ErrorNumber::InvalidCall;
};

template <typename Operation>
Outcome run(Operation operation) {
  try {
    return {operation(), ErrorNumber::InvalidCall};
  } catch (const fbc::RuntimeError& e) {
    fbc::fuzz::checkPlatformError(e);
    return {std::nullopt, e.number()};
  }
}

// Same kind and value; a NaN, which only a caller can put into a value, equals a NaN.
bool sameValue(const Value& a, const Value& b) {
  if (sameKindAndValue(a, b)) {
    return true;
  }
  return a.kind() == b.kind() && fbc::detail::isPlainNumber(a.kind()) &&
         std::isnan(fbc::detail::plainNumberOf(a)) && std::isnan(fbc::detail::plainNumberOf(b));
}

// For swapped operands: the same value, or both fail (the left operand's fault shows first).
bool commutedOutcome(const Outcome& a, const Outcome& b) {
  if (a.value.has_value() != b.value.has_value()) {
    return false;
  }
  return !a.value || sameValue(*a.value, *b.value);
}

bool sameOutcome(const Outcome& a, const Outcome& b) {
  if (a.value.has_value() != b.value.has_value()) {
    return false;
  }
  return a.value ? sameValue(*a.value, *b.value) : a.error == b.error;
}

// The sum, difference or product the width rules give for two finite plain numbers.
template <typename Operation>
Outcome expectedArithmetic(const Value& a, const Value& b, Operation operation) {
  const Kind ka = a.kind();
  const Kind kb = b.kind();
  const double x = fbc::detail::plainNumberOf(a);
  const double y = fbc::detail::plainNumberOf(b);
  const bool singleWithInt32 =
      (ka == Kind::Single && kb == Kind::Int32) || (ka == Kind::Int32 && kb == Kind::Single);
  const Kind width = singleWithInt32 ? Kind::Double : (ka > kb ? ka : kb);
  if (width <= Kind::Int32) {
    const std::int64_t r = operation(static_cast<std::int64_t>(x), static_cast<std::int64_t>(y));
    if (width == Kind::Int16 && r >= INT16_MIN && r <= INT16_MAX) {
      return {Value(static_cast<std::int16_t>(r))};
    }
    if (r >= INT32_MIN && r <= INT32_MAX) {
      return {Value(static_cast<std::int32_t>(r))};
    }
    return {Value(static_cast<double>(r))};
  }
  const double r = operation(x, y);
  if (width == Kind::Single && std::isfinite(static_cast<float>(r))) {
    return {Value(static_cast<float>(r))};
  }
  if (std::isfinite(r)) {
    return {Value(r)};
  }
  return {std::nullopt, ErrorNumber::Overflow};
}

Outcome expectedQuotient(const Value& a, const Value& b) {
  const double x = fbc::detail::plainNumberOf(a);
  const double y = fbc::detail::plainNumberOf(b);
  if (y == 0) {
    return {std::nullopt, x == 0 ? ErrorNumber::Overflow : ErrorNumber::DivisionByZero};
  }
  const double q = x / y;
  const auto singleOrInt16 = [](Kind k) { return k == Kind::Single || k == Kind::Int16; };
  const bool single = (a.kind() == Kind::Single || b.kind() == Kind::Single) &&
                      singleOrInt16(a.kind()) && singleOrInt16(b.kind());
  if (single && std::isfinite(static_cast<float>(q))) {
    return {Value(static_cast<float>(q))};
  }
  if (std::isfinite(q)) {
    return {Value(q)};
  }
  return {std::nullopt, ErrorNumber::Overflow};
}

// Conversion to an integer width: rounded half to even, error 6 outside the range.
template <typename T>
void checkIntegerConversion(const Value& v, const Outcome& outcome) {
  const double rounded = std::nearbyint(fbc::detail::plainNumberOf(v));
  const bool fits = rounded >= static_cast<double>(std::numeric_limits<T>::min()) &&
                    rounded <= static_cast<double>(std::numeric_limits<T>::max());
  if (fits) {
    check(outcome.value.has_value() && fbc::detail::plainNumberOf(*outcome.value) == rounded,
          "integer conversion rounds half to even");
  } else {
    check(!outcome.value && outcome.error == ErrorNumber::Overflow, "integer conversion range");
  }
}

int sign(int order) { return (order > 0) - (order < 0); }

std::optional<int> compareOutcome(const Value& a, const Value& b) {
  try {
    return fbc::compare(a, b);
  } catch (const fbc::RuntimeError& e) {
    fbc::fuzz::checkPlatformError(e);
    return std::nullopt;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fbc::fuzz::FuzzInput input(data, size);
  const std::uint8_t operation = input.byte();
  const Value a = makeValue(input);
  const Value b = makeValue(input);
  const bool plain = isFinitePlainNumber(a) && isFinitePlainNumber(b);

  switch (operation % 16) {
    case 0: {
      const Outcome sum = run([&] { return a + b; });
      if (!a.isText() && !b.isText()) {
        check(commutedOutcome(sum, run([&] { return b + a; })), "sum commutes");
      }
      if (plain) {
        check(sameOutcome(sum, expectedArithmetic(a, b, std::plus<>{})), "sum by the rules");
      }
      break;
    }
    case 1: {
      const Outcome difference = run([&] { return a - b; });
      if (plain) {
        check(sameOutcome(difference, expectedArithmetic(a, b, std::minus<>{})),
              "difference by the rules");
      }
      break;
    }
    case 2: {
      const Outcome product = run([&] { return a * b; });
      check(commutedOutcome(product, run([&] { return b * a; })), "product commutes");
      if (plain) {
        check(sameOutcome(product, expectedArithmetic(a, b, std::multiplies<>{})),
              "product by the rules");
      }
      break;
    }
    case 3: {
      const Outcome quotient = run([&] { return a / b; });
      if (plain) {
        check(sameOutcome(quotient, expectedQuotient(a, b)), "quotient by the rules");
      }
      break;
    }
    case 4: {
      const Outcome result = run([&] { return fbc::power(a, b); });
      check(!result.value ||
                (result.value->kind() == Kind::Double && std::isfinite(result.value->dbl())),
            "a power is a finite double");
      break;
    }
    case 5:
      for (const auto& result :
           {run([&] { return fbc::squareRoot(a); }), run([&] { return fbc::sine(a); }),
            run([&] { return fbc::naturalLog(a); })}) {
        check(!result.value ||
                  (result.value->kind() == Kind::Double && std::isfinite(result.value->dbl())),
              "a function result is a finite double");
      }
      break;
    case 6: {
      const Outcome joined = run([&] { return fbc::concat(a, b); });
      if (joined.value) {
        check(joined.value->text() == a.toText() + b.toText(), "concatenation joins the texts");
      }
      break;
    }
    case 7: {
      const Outcome negated = run([&] { return fbc::negate(a); });
      if (isFinitePlainNumber(a)) {
        check(negated.value && fbc::detail::isPlainNumber(negated.value->kind()) &&
                  fbc::detail::plainNumberOf(*negated.value) == -fbc::detail::plainNumberOf(a),
              "negation");
      }
      break;
    }
    case 8: {
      const std::optional<int> ab = compareOutcome(a, b);
      const std::optional<int> ba = compareOutcome(b, a);
      check(ab.has_value() == ba.has_value(), "comparison fails both ways or neither");
      if (ab) {
        check(sign(*ab) == -sign(*ba), "comparison is antisymmetric");
      }
      if (plain) {
        const double x = fbc::detail::plainNumberOf(a);
        const double y = fbc::detail::plainNumberOf(b);
        check(ab && sign(*ab) == (x > y) - (x < y), "numbers compare numerically");
      }
      break;
    }
    case 9:
      run([&] { return Value(static_cast<std::int16_t>(fbc::compareWithConstant(a, b))); });
      break;
    case 10: {
      const Outcome result = run([&] { return Value(a.toInt16()); });
      if (isFinitePlainNumber(a)) {
        checkIntegerConversion<std::int16_t>(a, result);
      }
      break;
    }
    case 11: {
      const Outcome result = run([&] { return Value(a.toInt32()); });
      if (isFinitePlainNumber(a)) {
        checkIntegerConversion<std::int32_t>(a, result);
      }
      break;
    }
    case 12: {
      const Outcome result = run([&] { return Value(a.toSingle()); });
      check(!result.value || std::isfinite(result.value->single()) || !isFinitePlainNumber(a),
            "a finite number converts to a finite single");
      run([&] { return Value(a.toDouble()); });
      break;
    }
    case 13:
      run([&] { return Value(a.toBoolean()); });
      run([&] { return a.toNumber(); });
      break;
    case 14: {
      const Outcome text = run([&] { return Value(a.toText()); });
      if (text.value && isFinitePlainNumber(a)) {
        // Fifteen digits round the largest doubles (above 1.79769313486231E+308) up past the
        // double range, so their text reads back as out of range rather than as a number.
        const fbc::ParseStatus status = fbc::parseDouble(text.value->text()).status;
        check(status == fbc::ParseStatus::Ok ||
                  (status == fbc::ParseStatus::OutOfRange &&
                   std::fabs(fbc::detail::plainNumberOf(a)) > 1.79769313486231e308),
              "a number's text reads as a number");
      }
      break;
    }
    default: {
      // A column array element takes any value and gives it back unchanged.
      if (a.kind() == Kind::Array) {
        fbc::ColumnArray& array = a.array();
        const auto index = static_cast<long long>(input.byte() % 6) - 1;
        const Outcome stored = run([&] {
          array.at(index) = b;
          return array.at(index);
        });
        check(stored.value.has_value() == array.contains(index), "array bounds");
        if (stored.value) {
          check(sameValue(*stored.value, b), "array element keeps its value");
        } else {
          check(stored.error == ErrorNumber::SubscriptOutOfRange, "array subscript error");
        }
      }
      break;
    }
  }
  return 0;
}
