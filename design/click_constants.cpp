#include "design/click_constants.h"

#include "chartlib/macro_library.h"

namespace fbc {

ClickConstants clickConstants() {
  Value pi;
  Value meg;
  Value k;
  Value m;
  Value u;
  Value n;
  macro::Constant(pi, meg, k, m, u, n);
  return {k, m};
}

}  // namespace fbc
