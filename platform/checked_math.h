#pragma once

#include <cstdint>

namespace fbc {

// 64-bit floating-point steps that raise the platform's run-time error instead of producing
// inf or NaN: 11 for a finite number divided by zero, 6 for an overflow or an invalid
// operation (0 / 0 included), 5 for the square root of a negative number, the logarithm of
// a non-positive one, zero to a negative power and a negative number to a fractional power
// (the platform's power operator refuses those as an invalid argument). A NaN or infinite
// operand is an invalid operation (6).
double checkedAdd(double a, double b);
double checkedSubtract(double a, double b);
double checkedMultiply(double a, double b);
double checkedDivide(double a, double b);
double checkedPower(double base, double exponent);
double checkedSqrt(double a);
double checkedLog(double a);
double checkedSin(double a);

// "Evaluate in 64 bits, round once to 32 bits when stored": error 6 when the value is not
// finite or too large for a 32-bit float.
float toSingleChecked(double value);
// Storing into a 16-bit or 32-bit integer variable: rounds half to even, error 6 when it does
// not fit (or is not finite).
std::int16_t toInt16Checked(double value);
std::int32_t toInt32Checked(double value);

// Rounds to the nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2),
// whatever the floating-point rounding mode.
double roundHalfEven(double value) noexcept;

}  // namespace fbc
