#include "value.h"

namespace fbc {}  // namespace fbc
