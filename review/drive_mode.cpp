#include "review/drive_mode.h"

#include <cmath>
#include <numbers>

namespace fbc {

namespace {

constexpr double kPi = std::numbers::pi;

// Critical conduction: the primary ramps from zero to Ipk during D·T, the secondary from IsPk
// back to zero during the rest of the period.
ModeOperation criticalOperation(const ModeInputs& in) {
  const double d = in.duty;
  ModeOperation op;
  op.Ipk = 2.0 * in.pin / (in.vin * d);
  op.IpRms = op.Ipk * std::sqrt(d / 3.0);
  op.IsPk = 2.0 * in.iout / (1.0 - d);
  op.IsRms = op.IsPk * std::sqrt((1.0 - d) / 3.0);
  op.LpRef = in.vin * d * in.period / op.Ipk;
  op.dI = op.Ipk;
  op.rise = d;
  op.fall = 1.0 - d;
  op.primary = {0.0, d, 0.0, op.Ipk};
  op.secondary = {d, 1.0, op.IsPk, 0.0};
  return op;
}

// Continuous conduction: trapezoids around the mean currents during each part of the period.
ModeOperation continuousOperation(const ModeInputs& in) {
  const double d = in.duty;
  const double fs = 1.0 / in.period;
  const double krf = in.ripple;
  ModeOperation op;
  const double iedc = in.pin / (in.vin * d);
  op.LpRef = (in.vin * d) * (in.vin * d) / (2.0 * in.pin * fs * krf);
  op.dI = in.vin * d / (op.LpRef * fs);
  op.Ipk = iedc + op.dI / 2.0;
  op.IpRms = std::sqrt(3.0 * iedc * iedc + (op.dI / 2.0) * (op.dI / 2.0)) * std::sqrt(d / 3.0);
  const double isdc = in.iout / (1.0 - d);
  op.IsPk = isdc * (1.0 + krf);
  op.IsRms =
      std::sqrt(3.0 * isdc * isdc + (krf * isdc) * (krf * isdc)) * std::sqrt((1.0 - d) / 3.0);
  op.rise = d;
  op.fall = 1.0 - d;
  op.primary = {0.0, d, op.Ipk - op.dI, op.Ipk};
  op.secondary = {d, 1.0, op.IsPk, isdc * (1.0 - krf)};

  op.figures.KRF = krf;
  op.figures.IEDC = iedc;
  op.figures.dI = op.dI;
  const double vro = referenceReflectedVoltage(in.vin, d);
  const double s = std::sqrt(2.0 * op.LpRef * fs * in.pin);
  if (vro > s) {
    op.figures.VinCcmLimit = vro * s / (vro - s);
  }
  return op;
}

// Quasi-resonant at the first valley: critical conduction plus half a ring of Lp with Cd before
// the switch turns on again.
ModeOperation valleyOperation(const ModeInputs& in) {
  const double fs = 1.0 / in.period;
  const double cd = in.drainCapacitance;
  const double vro = referenceReflectedVoltage(in.vin, in.duty);
  ModeOperation op;
  const double root =
      (1.0 / in.vin + 1.0 / vro) * std::sqrt(2.0 * in.pin * fs) + kPi * fs * std::sqrt(cd);
  op.LpRef = 1.0 / (root * root);
  op.Ipk = std::sqrt(2.0 * in.pin / (op.LpRef * fs));
  const double ton = op.LpRef * op.Ipk / in.vin;
  const double toff = op.LpRef * op.Ipk / vro;
  const double tv = kPi * std::sqrt(op.LpRef * cd);
  op.IpRms = op.Ipk * std::sqrt(ton * fs / 3.0);
  op.IsPk = 2.0 * in.iout / (toff * fs);
  op.IsRms = op.IsPk * std::sqrt(toff * fs / 3.0);
  op.dI = op.Ipk;
  op.rise = ton * fs;
  op.fall = toff * fs;
  op.primary = {0.0, op.rise, 0.0, op.Ipk};
  op.secondary = {op.rise, op.rise + op.fall, op.IsPk, 0.0};

  op.figures.Cd = cd;
  op.figures.ton = ton;
  op.figures.toff = toff;
  op.figures.tv = tv;
  return op;
}

}  // namespace

std::string_view driveModeCode(DriveMode mode) {
  switch (mode) {
    case DriveMode::PwmCritical:
      return "pwm-critical";
    case DriveMode::PfmCritical:
      return "pfm-critical";
    case DriveMode::PwmCcm:
      return "pwm-ccm";
    case DriveMode::Qr:
      return "qr";
  }
  return "";
}

std::optional<DriveMode> driveModeByCode(std::string_view code) {
  for (const DriveMode mode : kDriveModes) {
    if (driveModeCode(mode) == code) {
      return mode;
    }
  }
  return std::nullopt;
}

std::string driveModeCodes(std::string_view separator, std::string_view last) {
  std::string list;
  for (std::size_t i = 0; i < kDriveModes.size(); ++i) {
    if (i > 0) {
      list += i + 1 == kDriveModes.size() ? last : separator;
    }
    list += driveModeCode(kDriveModes[i]);
  }
  return list;
}

std::u16string_view driveModeCaption(DriveMode mode) {
  switch (mode) {
    case DriveMode::PwmCritical:
      return u"PWM(電流臨海モード：Fs指定,Lp可変)";
    case DriveMode::PfmCritical:
      return u"PFM(臨海モード：希望Fs指定,Lp可変)";
    case DriveMode::PwmCcm:
      return u"PWM(電流連続モード：Fs指定,リプル指定,Lp可変)";
    case DriveMode::Qr:
      return u"SPFM(擬似共振臨海モード：希望Fs指定,Lp可変)";
  }
  return u"";
}

std::string_view driveModeDescription(DriveMode mode) {
  switch (mode) {
    case DriveMode::PwmCritical:
      return "critical conduction at a fixed frequency";
    case DriveMode::PfmCritical:
      return "critical conduction, frequency rising with the input";
    case DriveMode::PwmCcm:
      return "continuous conduction at a fixed frequency with a given ripple";
    case DriveMode::Qr:
      return "quasi-resonant, switched at the first valley";
  }
  return "";
}

std::array<ModeQuantity, 8> modeQuantities(const ModeFigures& f) {
  return {{
      {"KRF", f.KRF, ""},
      {"IEDC", f.IEDC, "A"},
      {"dI", f.dI, "A"},
      {"VinCcmLimit", f.VinCcmLimit, "V"},
      {"Cd", f.Cd, "F"},
      {"ton", f.ton, "s"},
      {"toff", f.toff, "s"},
      {"tv", f.tv, "s"},
  }};
}

double referenceReflectedVoltage(double vin, double duty) { return vin * duty / (1.0 - duty); }

ModeOperation modeOperation(DriveMode mode, const ModeInputs& in) {
  switch (mode) {
    case DriveMode::PwmCcm:
      return continuousOperation(in);
    case DriveMode::Qr:
      return valleyOperation(in);
    case DriveMode::PwmCritical:
    case DriveMode::PfmCritical:
      break;
  }
  return criticalOperation(in);
}

HighLine highLine(DriveMode mode, const ModeInputs& in, const ModeOperation& op, double vinMax,
                  double vro) {
  const double fs = 1.0 / in.period;
  const double lp = op.LpRef;
  HighLine high;
  switch (mode) {
    case DriveMode::PwmCritical:
      return {fs, op.Ipk, in.duty * in.vin / vinMax};
    case DriveMode::PfmCritical: {
      const double sum = 1.0 / vinMax + 1.0 / vro;
      high.fs = 1.0 / (2.0 * in.pin * lp * sum * sum);
      high.duty = vro / (vinMax + vro);
      break;
    }
    case DriveMode::PwmCcm:
      high.fs = fs;
      if (!op.figures.VinCcmLimit || vinMax <= *op.figures.VinCcmLimit) {
        high.duty = vro / (vinMax + vro);
        const double iedc = in.pin / (vinMax * high.duty);
        high.Ipk = iedc + vinMax * high.duty / (lp * fs) / 2.0;
        return high;
      }
      break;
    case DriveMode::Qr: {
      const double a = std::sqrt(2.0 * in.pin * lp) * (1.0 / vinMax + 1.0 / vro);
      const double tv = op.figures.tv.value_or(0.0);
      const double root = a + std::sqrt(a * a + 4.0 * tv);
      high.fs = 4.0 / (root * root);
      break;
    }
  }
  // Discontinuous or critical: all the stored energy is the input's each period.
  high.Ipk = std::sqrt(2.0 * in.pin / (lp * high.fs));
  if (mode != DriveMode::PfmCritical) {
    high.duty = lp * high.Ipk * high.fs / vinMax;
  }
  return high;
}

}  // namespace fbc
