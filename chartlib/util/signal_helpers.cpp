#include <cstdint>

#include "chartlib/macro_library.h"

namespace fbc::macro {

void Rms(Value& Iin_t, Value& Irms, Value& T_step, [[maybe_unused]] Value& T_min, Value& T_max,
         Value& d_Idt) {
  // The running integral is stored before the division, so it keeps the sample even when the
  // division fails.
  d_Idt = add(d_Idt, multiply(power(Iin_t, Value(std::int16_t{2})), T_step));
  Irms = squareRoot(divide(d_Idt, T_max));
}

void SinUVW(Value& w, Value& t, Value& SinU, Value& SinV, Value& SinW, Value& pi, Value& Ampl) {
  // Each result reads its arguments afresh: a caller may pass one variable in several places.
  const auto third = [&] {
    return divide(multiply(pi, Value(std::int16_t{2})), Value(std::int16_t{3}));
  };
  SinU = multiply(sine(multiply(w, t)), Ampl);
  SinV = multiply(sine(subtract(multiply(w, t), third())), Ampl);
  SinW = multiply(sine(add(multiply(w, t), third())), Ampl);
}

void DivScale(Value& i, Value& Scale_H1, Value& mul) {
  const Value ladder[] = {
      Value(0.5),
      Value(std::int16_t{1}),
      Value(std::int16_t{5}),
      Value(std::int16_t{10}),
      Value(std::int16_t{20}),
      Value(std::int16_t{40}),
      Value(std::int16_t{50}),
      Value(std::int16_t{100}),
      Value(std::int16_t{250}),
  };
  Value step(std::int16_t{500});
  for (const Value& entry : ladder) {
    if (compareWithConstant(i, entry) < 0) {
      step = entry;
      break;
    }
  }
  Scale_H1 = multiply(step, mul);
}

}  // namespace fbc::macro
