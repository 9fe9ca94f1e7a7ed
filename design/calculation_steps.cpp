#include "design/calculation_steps.h"

#include "platform/checked_math.h"

namespace fbc {

const std::array<CalculationStep, 14> kCalculationSteps{{
    {2, "Iin", &DesignState::Iin, "Iout * Vout / Effi / Vin",
     [](const DesignState& s) {
       return checkedDivide(checkedDivide(checkedMultiply(s.Iout, s.Vout), s.Effi), s.Vin);
     }},
    {6, "Ton", &DesignState::Ton, "T * Duty",
     [](const DesignState& s) { return checkedMultiply(s.T, s.Duty); }},
    {7, "Toff", &DesignState::Toff, "(1 - Duty) * T",
     [](const DesignState& s) { return checkedMultiply(checkedSubtract(1.0, s.Duty), s.T); }},
    {8, "Ns", &DesignState::Ns, "(Vf + Vout) * Toff / dB / Ae",
     [](const DesignState& s) {
       return checkedDivide(checkedDivide(checkedMultiply(checkedAdd(s.Vf, s.Vout), s.Toff), s.dB),
                            s.Ae);
     }},
    {9, "Is", &DesignState::Is, "Iout * 4",
     [](const DesignState& s) { return checkedMultiply(s.Iout, 4.0); }},
    {10, "Ls", &DesignState::Ls, "(Vf + Vout) * Toff / Is",
     [](const DesignState& s) {
       return checkedDivide(checkedMultiply(checkedAdd(s.Vf, s.Vout), s.Toff), s.Is);
     }},
    {11, "AL", &DesignState::AL, "Ls / Ns ^ 2",
     [](const DesignState& s) { return checkedDivide(s.Ls, checkedPower(s.Ns, 2.0)); }},
    {12, "Ip", &DesignState::Ip, "Iin * 4",
     [](const DesignState& s) { return checkedMultiply(s.Iin, 4.0); }},
    {13, "Lp", &DesignState::Lp, "Ton * Vin / Ip",
     [](const DesignState& s) { return checkedDivide(checkedMultiply(s.Ton, s.Vin), s.Ip); }},
    {14, "Np", &DesignState::Np, "sqrt(Lp / AL)",
     [](const DesignState& s) { return checkedSqrt(checkedDivide(s.Lp, s.AL)); }},
    {15, "Nt", &DesignState::Nt, "Ns / Np",
     [](const DesignState& s) { return checkedDivide(s.Ns, s.Np); }},
    {16, "dB", &DesignState::dB, "Lp * Ip / (Np * Ae)",
     [](const DesignState& s) {
       return checkedDivide(checkedMultiply(s.Lp, s.Ip), checkedMultiply(s.Np, s.Ae));
     }},
    {17, "Acu", &DesignState::Acu, "Aw / Np * (3.1415 / 4)",
     [](const DesignState& s) {
       return checkedMultiply(checkedDivide(s.Aw, s.Np), checkedDivide(3.1415, 4.0));
     }},
    {18, "Im", &DesignState::Im, "Iin / (Acu * Fill / 100)",
     [](const DesignState& s) {
       return checkedDivide(s.Iin, checkedDivide(checkedMultiply(s.Acu, s.Fill), 100.0));
     }},
}};

const std::array<DerivedRead, 2> kDerivedReads{{
    {DesignInput::Effi, "Effi", &DesignState::Effi, "effi / 100",
     [](double typed) { return checkedDivide(typed, 100.0); }},
    {DesignInput::Fs, "T", &DesignState::T, "1 / fs",
     [](double typed) { return checkedDivide(1.0, typed); }},
}};

InputTarget inputTarget(DesignInput input) {
  switch (input) {
    case DesignInput::Vout:
      return {"Vout", &DesignState::Vout};
    case DesignInput::Iout:
      return {"Iout", &DesignState::Iout};
    case DesignInput::Vin:
      return {"Vin", &DesignState::Vin};
    case DesignInput::Effi:
      return {"Effi", &DesignState::Effi};
    case DesignInput::Fs:
      return {"T", &DesignState::T};
    case DesignInput::Vf:
      return {"Vf", &DesignState::Vf};
    case DesignInput::Duty:
      return {"Duty", &DesignState::Duty};
    case DesignInput::Core:
    case DesignInput::None:
      break;
  }
  return {"", nullptr};
}

const DerivedRead* derivedRead(DesignInput input) {
  for (const DerivedRead& read : kDerivedReads) {
    if (read.input == input) {
      return &read;
    }
  }
  return nullptr;
}

}  // namespace fbc
