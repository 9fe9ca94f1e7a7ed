#include "chartlib/macro_library.h"

namespace fbc::macro {}  // namespace fbc::macro
