#include "design/input_rules.h"

namespace fbc {}  // namespace fbc
