#pragma once

#include <cstdint>

namespace fbc {

// 64-bit floating-point steps that raise the platform's run-time error instead of producing
// inf or NaN: 11 for a finite number divided by zero, 6 for an overflow or an invalid
// operation (0 / 0 included), 5 for the square root of a negative number or the logarithm of
// a non-positive one.
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
// not fit.
std::int16_t toInt16Checked(double value);
std::int32_t toInt32Checked(double value);

}  // namespace fbc
