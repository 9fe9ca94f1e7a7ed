#include "review/windings/winding_layout.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "review/review_limits.h"

namespace fbc {

std::string_view windingArrangementCode(WindingArrangement arrangement) {
  return arrangement == WindingArrangement::Psp ? "psp" : "ps";
}

std::optional<WindingArrangement> windingArrangementByCode(std::string_view code) {
  if (code == "ps") {
    return WindingArrangement::Ps;
  }
  if (code == "psp") {
    return WindingArrangement::Psp;
  }
  return std::nullopt;
}

std::string windingArrangementCodes(std::string_view last) {
  return std::string("ps").append(last).append("psp");
}

int tapesBetweenWindings(WindingArrangement arrangement) {
  return arrangement == WindingArrangement::Psp ? 2 : 1;
}

LeakageParts leakageParts(WindingArrangement arrangement, int primaryTurns, double meanTurn,
                          double breadth, double tape) {
  const double np = primaryTurns;
  const double scale = kReviewLimits.vacuumPermeability * np * np * meanTurn / breadth;
  if (arrangement == WindingArrangement::Psp) {
    return {scale / 12.0, scale * 2.0 * tape / 4.0};
  }
  return {scale / 3.0, scale * tape};
}

double arrangedLeakage(WindingArrangement arrangement, int primaryTurns, double meanTurn,
                       double breadth, double primaryBuild, double secondaryBuild, double tape) {
  const double np = primaryTurns;
  const double scale = kReviewLimits.vacuumPermeability * np * np * meanTurn;
  if (arrangement == WindingArrangement::Psp) {
    return scale * ((primaryBuild + secondaryBuild) / 12.0 + 2.0 * tape / 4.0) / breadth;
  }
  return scale * (primaryBuild / 3.0 + secondaryBuild / 3.0 + tape) / breadth;
}

}  // namespace fbc
