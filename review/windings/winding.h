#pragma once

#include <array>
#include <string_view>

namespace fbc {

// The transformer's windings, in the order every table lists them: the primary, the main
// output's secondary, the further outputs' secondaries in the order they were given, and the
// bias winding that supplies the controller.
enum class Winding {
  Primary,
  Secondary,
  Output2,
  Output3,
  Output4,
  Output5,
  Output6,
  Output7,
  Output8,
  Bias
};

// The secondary of output `index` (1 the main output, 2 to 8 the further ones).
constexpr Winding outputWinding(int index) {
  return index <= 1 ? Winding::Secondary
                    : static_cast<Winding>(static_cast<int>(Winding::Secondary) + index - 1);
}

// Whether the winding conducts while the switch is off: every winding but the primary.
constexpr bool offTimeWinding(Winding winding) { return winding != Winding::Primary; }

// The letter reports append to a winding's quantities: "P" in RdcP, "S" in RdcS, "S2" to "S8"
// for the further outputs, "B" for the bias.
constexpr std::string_view windingSuffix(Winding winding) {
  constexpr std::array<std::string_view, 10> kSuffixes = {"P",  "S",  "S2", "S3", "S4",
                                                          "S5", "S6", "S7", "S8", "B"};
  return kSuffixes[static_cast<std::size_t>(winding)];
}

// The winding's name in JSON and reports: "primary", "secondary", "output2" to "output8",
// "bias".
constexpr std::string_view windingName(Winding winding) {
  constexpr std::array<std::string_view, 10> kNames = {"primary", "secondary", "output2", "output3",
                                                       "output4", "output5",   "output6", "output7",
                                                       "output8", "bias"};
  return kNames[static_cast<std::size_t>(winding)];
}

}  // namespace fbc
