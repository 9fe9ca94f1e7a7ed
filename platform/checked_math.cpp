#include "checked_math.h"

namespace fbc {}  // namespace fbc
