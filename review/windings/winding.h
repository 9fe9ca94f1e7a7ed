#pragma once

#include <string_view>

namespace fbc {

// The transformer's windings, in the order every table lists them. More outputs and a bias
// winding join here.
enum class Winding { Primary, Secondary };

// The letter reports append to a winding's quantities: "P" in RdcP, "S" in RdcS.
constexpr std::string_view windingSuffix(Winding winding) {
  return winding == Winding::Primary ? "P" : "S";
}

// The winding's name in JSON and reports: "primary", "secondary".
constexpr std::string_view windingName(Winding winding) {
  return winding == Winding::Primary ? "primary" : "secondary";
}

}  // namespace fbc
