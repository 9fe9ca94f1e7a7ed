#pragma once

#include <string>

namespace fbc {

// The main window's design state: every number a 32-bit float, zero at start; CoreSel text.
struct DesignState {
  float Vout = 0;
  float Iout = 0;
  float Vin = 0;
  float Effi = 0;
  float T = 0;
  float Vf = 0;
  float Duty = 0;
  float Iin = 0;
  std::u16string CoreSel;
  float dB = 0;
  float Ae = 0;
  float Aw = 0;
  float Fill = 0;
  float Ton = 0;
  float Toff = 0;
  float Ns = 0;
  float Is = 0;
  float Ls = 0;
  float AL = 0;
  float Ip = 0;
  float Lp = 0;
  float Np = 0;
  float Nt = 0;
  float Acu = 0;
  float Im = 0;

  friend bool operator==(const DesignState&, const DesignState&) = default;
};

// The core temperature level chosen with the option buttons (None: no level button selected).
enum class CoreLevel { None, Hi, Typ, Lo };

}  // namespace fbc
