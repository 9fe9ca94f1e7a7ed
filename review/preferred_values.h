#pragma once

namespace fbc {

// The IEC 60063 preferred number series parts are bought in.
enum class PreferredSeries { E6, E12, E24 };

// The largest value of the series not above `value`, and the smallest not below it. `value`
// must be positive and finite; a value within a few parts in 10¹² of a series value counts as
// that value, so 4.7e-9 stays 4.7 nF.
double preferredValueAtMost(PreferredSeries series, double value);
double preferredValueAtLeast(PreferredSeries series, double value);

}  // namespace fbc
