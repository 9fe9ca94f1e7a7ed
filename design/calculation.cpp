#include "design/calculation.h"

namespace fbc {}  // namespace fbc
