#include "surface.h"

namespace fbc {}  // namespace fbc
