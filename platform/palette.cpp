#include "palette.h"

namespace fbc {}  // namespace fbc
