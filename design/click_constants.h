#pragma once

#include "platform/value.h"

namespace fbc {

// The two engineering constants a calculation click takes from the library's `Constant`
// procedure, fetched once per click: k = 1000 for the result texts, m = 0.001 for the
// waveform stage.
struct ClickConstants {
  Value k;
  Value m;
};

ClickConstants clickConstants();

}  // namespace fbc
