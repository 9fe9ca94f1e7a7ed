#include "text.h"

namespace fbc {}  // namespace fbc
