#include "recording_surface.h"

namespace fbc {}  // namespace fbc
