#include "checked_math.h"

#include <cmath>
#include <limits>

#include "errors.h"

namespace fbc {

namespace {

double finiteOrOverflow(double result, const char* operation) {
  if (!std::isfinite(result)) {
    raise(ErrorNumber::Overflow, operation);
  }
  return result;
}

void requireFinite(double operand, const char* operation) {
  if (!std::isfinite(operand)) {
    raise(ErrorNumber::Overflow, operation);
  }
}

}  // namespace

double checkedAdd(double a, double b) { return finiteOrOverflow(a + b, "sum"); }

double checkedSubtract(double a, double b) { return finiteOrOverflow(a - b, "difference"); }

double checkedMultiply(double a, double b) { return finiteOrOverflow(a * b, "product"); }

double checkedDivide(double a, double b) {
  requireFinite(a, "quotient");
  requireFinite(b, "quotient");
  if (b == 0.0) {
    if (a == 0.0) {
      raise(ErrorNumber::Overflow, "0 / 0");
    }
    raise(ErrorNumber::DivisionByZero);
  }
  return finiteOrOverflow(a / b, "quotient");
}

double checkedPower(double base, double exponent) {
  requireFinite(base, "power");
  requireFinite(exponent, "power");
  if (base == 0.0 && exponent < 0.0) {
    raise(ErrorNumber::InvalidCall, "zero to a negative power");
  }
  if (base < 0.0 && exponent != std::trunc(exponent)) {
    raise(ErrorNumber::InvalidCall, "negative number to a fractional power");
  }
  return finiteOrOverflow(std::pow(base, exponent), "power");
}

double checkedSqrt(double a) {
  requireFinite(a, "square root");
  if (a < 0.0) {
    raise(ErrorNumber::InvalidCall, "square root of a negative number");
  }
  return std::sqrt(a);
}

double checkedLog(double a) {
  requireFinite(a, "logarithm");
  if (a <= 0.0) {
    raise(ErrorNumber::InvalidCall, "logarithm of a non-positive number");
  }
  return std::log(a);
}

double checkedSin(double a) {
  requireFinite(a, "sine");
  return std::sin(a);
}

float toSingleChecked(double value) {
  requireFinite(value, "32-bit float");
  const auto single = static_cast<float>(value);
  if (std::isinf(single)) {
    raise(ErrorNumber::Overflow, "32-bit float");
  }
  return single;
}

double roundHalfEven(double value) noexcept {
  const double below = std::floor(value);
  const double fraction = value - below;
  if (fraction > 0.5) {
    return below + 1.0;
  }
  if (fraction < 0.5) {
    return below;
  }
  return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

std::int16_t toInt16Checked(double value) {
  const double rounded = roundHalfEven(value);
  // Written so that NaN fails the test as well.
  if (!(rounded >= std::numeric_limits<std::int16_t>::min() &&
        rounded <= std::numeric_limits<std::int16_t>::max())) {
    raise(ErrorNumber::Overflow, "16-bit integer");
  }
  return static_cast<std::int16_t>(rounded);
}

std::int32_t toInt32Checked(double value) {
  const double rounded = roundHalfEven(value);
  if (!(rounded >= std::numeric_limits<std::int32_t>::min() &&
        rounded <= std::numeric_limits<std::int32_t>::max())) {
    raise(ErrorNumber::Overflow, "32-bit integer");
  }
  return static_cast<std::int32_t>(rounded);
}

}  // namespace fbc
