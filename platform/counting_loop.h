#pragma once

#include "errors.h"
#include "value.h"

namespace fbc {

// The platform's counting loop. Start, end and step are evaluated once by the caller and taken
// as numbers (empty is the 16-bit 0, Boolean -1 or 0, a text its 64-bit float or error 13). The
// running value starts at `start` and grows by repeated addition of `step` under the sum rule,
// so its type follows the operands (Int16 0 with a Single step runs in Singles after the first
// pass). A pass is made while the running value has not passed the end (<= end for a positive
// step, >= end for a negative one), so an end value that the additions reach exactly is
// included. A zero step would never end and is refused with error 5.
template <class Body>
void countingLoop(const Value& start, const Value& end, const Value& step, Body&& body) {
  const Value first = start.toNumber();
  const Value last = end.toNumber();
  const Value increment = step.toNumber();
  const int stepSign = compare(increment, Value(std::int16_t{0}));
  if (stepSign == 0) {
    raise(ErrorNumber::InvalidCall, "loop step is zero");
  }
  Value running = first;
  while (stepSign > 0 ? compare(running, last) <= 0 : compare(running, last) >= 0) {
    body(static_cast<const Value&>(running));
    running = add(running, increment);
  }
}

}  // namespace fbc
