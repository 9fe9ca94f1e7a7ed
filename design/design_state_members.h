#pragma once

#include <array>
#include <string_view>

#include "design/design_state.h"

namespace fbc {

// One number of the design state, by the name the state gives it.
struct StateMember {
  std::string_view name;
  float DesignState::*member;
  std::string_view unit;  // SI unit ("" for ratios)
};

// The state's numbers in the order it declares them. CoreSel, its one text, stands between
// Iin and dB: kStateMembersBeforeCore members come before it.
inline constexpr std::array<StateMember, 24> kStateMembers{{
    {"Vout", &DesignState::Vout, "V"}, {"Iout", &DesignState::Iout, "A"},
    {"Vin", &DesignState::Vin, "V"},   {"Effi", &DesignState::Effi, ""},
    {"T", &DesignState::T, "s"},       {"Vf", &DesignState::Vf, "V"},
    {"Duty", &DesignState::Duty, ""},  {"Iin", &DesignState::Iin, "A"},
    {"dB", &DesignState::dB, "T"},     {"Ae", &DesignState::Ae, "m²"},
    {"Aw", &DesignState::Aw, "mm²"},   {"Fill", &DesignState::Fill, "%"},
    {"Ton", &DesignState::Ton, "s"},   {"Toff", &DesignState::Toff, "s"},
    {"Ns", &DesignState::Ns, "turns"}, {"Is", &DesignState::Is, "A"},
    {"Ls", &DesignState::Ls, "H"},     {"AL", &DesignState::AL, "H/turn²"},
    {"Ip", &DesignState::Ip, "A"},     {"Lp", &DesignState::Lp, "H"},
    {"Np", &DesignState::Np, "turns"}, {"Nt", &DesignState::Nt, ""},
    {"Acu", &DesignState::Acu, "mm²"}, {"Im", &DesignState::Im, "A/mm²"},
}};
inline constexpr std::size_t kStateMembersBeforeCore = 8;

// The member named `name`, or nullptr.
constexpr const StateMember* stateMember(std::string_view name) {
  for (const StateMember& m : kStateMembers) {
    if (m.name == name) {
      return &m;
    }
  }
  return nullptr;
}

}  // namespace fbc
