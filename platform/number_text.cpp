#include "number_text.h"

namespace fbc {}  // namespace fbc
