#include "object.h"

namespace fbc {}  // namespace fbc
