#pragma once

#include <string_view>

#include "review/review_inputs.h"

namespace fbc::test {

// Conditions that differ from the start only in the material and the temperatures.
inline ReviewConditions lossConditions(std::string_view material, double ambient,
                                       double maxTemperature) {
  ReviewConditions c;
  c.material = ferriteMaterial(material);
  c.ambient = ambient;
  c.maxTemperature = maxTemperature;
  return c;
}

}  // namespace fbc::test
