#pragma once

#include "errors.h"
#include "value.h"

namespace fbc {

// The platform's counting loop. Start, end and step are evaluated once by the caller; the
// running value starts at `start` and grows by repeated addition of `step` under the sum rule,
// so its type follows the operands. A pass is made while the running value has not passed the
// end (<= end for a step of 0 or more, >= end for a negative step), so an end value that the
// additions reach exactly is included. A zero step would never end and is refused with error 5.
template <class Body>
void countingLoop(const Value& start, const Value& end, const Value& step, Body&& body) {
  const int stepSign = compare(step, Value(std::int16_t{0}));
  if (stepSign == 0) {
    raise(ErrorNumber::InvalidCall, "loop step is zero");
  }
  Value running = start;
  while (stepSign > 0 ? compare(running, end) <= 0 : compare(running, end) >= 0) {
    body(static_cast<const Value&>(running));
    running = add(running, step);
  }
}

}  // namespace fbc
