#include <bit>
#include <cstdint>

#include "chartlib/macro_library.h"

namespace fbc::macro {

void Constant(Value& pi, Value& Meg, Value& k, Value& m, Value& u, Value& n) {
  // The ten-digit decimal 3.141592654, not the double nearest to π.
  pi = Value(std::bit_cast<double>(std::uint64_t{0x400921FB54524550}));
  Meg = Value(std::int32_t{1000000});
  k = Value(std::int16_t{1000});
  m = Value(0.001);
  u = Value(0.000001);
  n = Value(0.000000001);
}

void Color(Value& ClrBla, Value& ClrBlu, Value& ClrGre, Value& ClrSia, Value& ClrRed, Value& ClrMaz,
           Value& ClrYel, Value& ClrWhi, Value& ClrGra, Value& ClrBluh, Value& ClrGreH,
           Value& ClrSiaH, Value& ClrRedh, Value& ClrMazH, Value& ClrYelH, Value& ClrWhiH) {
  Value* const indices[] = {&ClrBla,  &ClrBlu,  &ClrGre,  &ClrSia,  &ClrRed,  &ClrMaz,
                            &ClrYel,  &ClrWhi,  &ClrGra,  &ClrBluh, &ClrGreH, &ClrSiaH,
                            &ClrRedh, &ClrMazH, &ClrYelH, &ClrWhiH};
  std::int16_t index = 0;
  for (Value* parameter : indices) {
    *parameter = Value(index++);
  }
}

void mul(Value& a, Value& B, Value& C) {
  // `a` is read again for C: when the caller passes the same variable as a and B, C is six
  // times the old value, as with any by-reference parameter.
  B = multiply(a, Value(std::int16_t{2}));
  C = multiply(a, Value(std::int16_t{3}));
}

void Max(Value& X, Value& MaxX) {
  if (compare(MaxX, X) <= 0) {
    MaxX = X;
  }
}

void Limit(Value& X, Value& MaxX, Value& MinX) {
  if (compare(MaxX, X) <= 0) {
    X = MaxX;
  } else if (compare(X, MinX) <= 0) {
    X = MinX;
  }
}

}  // namespace fbc::macro
