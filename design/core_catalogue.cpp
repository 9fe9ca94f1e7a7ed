#include "design/core_catalogue.h"

namespace fbc {}  // namespace fbc
