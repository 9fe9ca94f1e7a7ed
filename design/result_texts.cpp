#include "design/result_texts.h"

namespace fbc {}  // namespace fbc
