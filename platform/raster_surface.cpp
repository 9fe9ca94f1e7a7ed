#include "raster_surface.h"

namespace fbc {}  // namespace fbc
