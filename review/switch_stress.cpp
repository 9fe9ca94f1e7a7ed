#include "review/switch_stress.h"

#include <algorithm>
#include <cmath>

#include "review/drive_mode.h"
#include "review/losses.h"
#include "review/preferred_values.h"
#include "review/review.h"
#include "review/windings/winding_layout.h"

namespace fbc {

double leakageEstimate(int primaryTurns, double meanTurn, double breadth, double primaryBuild,
                       double secondaryBuild, double tape) {
  return arrangedLeakage(WindingArrangement::Ps, primaryTurns, meanTurn, breadth, primaryBuild,
                         secondaryBuild, tape);
}

RcdClamp rcdClamp(double llk, double ipk, double fs, double vro, double ratio) {
  RcdClamp c;
  c.Vclamp = ratio * vro;
  c.Pclamp = 0.5 * llk * ipk * ipk * fs * c.Vclamp / (c.Vclamp - vro);
  if (c.Pclamp > 0.0) {
    c.Rclamp = c.Vclamp * c.Vclamp / c.Pclamp;
    c.Cclamp = c.Vclamp / (kClampRipple * c.Vclamp * c.Rclamp * fs);
  }
  return c;
}

double settledClampVoltage(double llk, double ipk, double fs, double vro, double r) {
  const double delivered = 0.5 * llk * ipk * ipk * fs;
  return 0.5 * (vro + std::sqrt(vro * vro + 4.0 * r * delivered));
}

namespace {

// The estimate from the losses' layout, in its arrangement.
std::optional<double> estimatedLeakage(const DesignReview& review) {
  const TransformerLosses& losses = review.losses;
  if (!losses.valid || losses.windings.size() < 2 || !(losses.bobbinBreadth > 0.0)) {
    return std::nullopt;
  }
  return losses.leakageEstimate;
}

}  // namespace

SwitchStress switchStress(const DesignState& s, const DesignReview& review,
                          const ReviewConditions& conditions) {
  SwitchStress st;
  if (!review.valid) {
    return st;
  }
  const double vin = s.Vin;
  const double vout = s.Vout;
  const double vf = s.Vf;
  const double fs = 1.0 / static_cast<double>(s.T);
  // A highest input below the design's is no range at all: the design's Vin holds.
  st.VinMax = std::max(vin, conditions.vinMax.value_or(vin));
  st.VRO = review.n * (vout + vf);
  const HighLine high =
      highLine(review.mode,
               {vin, s.Duty, s.T, review.Pin, s.Iout, review.operation.figures.KRF.value_or(1.0),
                review.operation.figures.Cd.value_or(0.0)},
               review.operation, st.VinMax, st.VRO);
  st.DHigh = high.duty;
  st.fsHigh = high.fs;
  st.IpkHigh = high.Ipk;

  if (conditions.leakage) {
    st.Llk = *conditions.leakage;
    st.LlkEstimated = false;
  } else if (const std::optional<double> estimate = estimatedLeakage(review)) {
    st.Llk = *estimate;
    st.leakageKnown = review.losses.fits;
  } else {
    return {};
  }
  st.k = st.Llk < review.LpRef ? std::sqrt(1.0 - st.Llk / review.LpRef) : 0.0;

  const double r = conditions.clampRatio;
  if (!(r > 1.0) || !(st.Llk >= 0.0)) {
    return {};
  }
  const RcdClamp clamp = rcdClamp(st.Llk, review.Ipk, fs, st.VRO, r);
  st.VclampTarget = st.Vclamp = clamp.Vclamp;
  st.PclampTarget = st.Pclamp = clamp.Pclamp;
  st.Rclamp = clamp.Rclamp;
  st.Cclamp = clamp.Cclamp;
  if (st.leakageKnown && clamp.Pclamp > 0.0 && clamp.Rclamp > 0.0) {
    // The resistor bought is the E24 value below the one worked out: the clamp settles a little
    // lower and burns a little more.
    st.RclampE24 = preferredValueAtMost(PreferredSeries::E24, clamp.Rclamp);
    if (st.RclampE24 > 0.0) {
      st.Vclamp = settledClampVoltage(st.Llk, review.Ipk, fs, st.VRO, st.RclampE24);
      st.Pclamp = st.Vclamp * st.Vclamp / st.RclampE24;
    }
  }
  st.PratingR = 2.0 * st.Pclamp;
  // Without leakage the clamp never conducts: the drain stops at the reflected voltage. Windings
  // that cannot be wound still have leakage, whatever it would be, and the clamp holds it; its
  // capacitor's voltage rides half its ripple above the mean.
  st.VdsMax =
      st.VinMax +
      (st.clampNeeded() || !st.leakageKnown ? st.Vclamp * (1.0 + 0.5 * kClampRipple) : st.VRO);
  st.VdsRating = conditions.vdsRating;
  st.VdRevMax = st.VinMax / review.n + vout;
  for (const StressQuantity& q : stressQuantities(st)) {
    if (q.value && !std::isfinite(*q.value)) {
      return {};
    }
  }
  if (!st.leakageKnown) {
    st.Llk = st.k = st.Pclamp = st.Rclamp = st.Cclamp = st.PratingR = st.PclampTarget = 0.0;
  } else if (st.clampNeeded()) {
    if (!(st.Rclamp > 0.0) || !(st.Cclamp > 0.0)) {
      return {};
    }
    st.CclampE12 = preferredValueAtLeast(PreferredSeries::E12, st.Cclamp);
  }
  st.valid = true;
  return st;
}

std::vector<StressQuantity> stressQuantities(const SwitchStress& st) {
  const auto part = [&st](double value) {
    return st.clampNeeded() ? std::optional<double>(value) : std::nullopt;
  };
  std::vector<StressQuantity> list = {
      {"VinMax", st.VinMax, "V"},
      {"DHigh", st.DHigh, ""},
      {"VRO", st.VRO, "V"},
      {"Llk", st.Llk, "H"},
      {"LlkEstimated", st.LlkEstimated ? 1.0 : 0.0, "", true},
      {"k", st.k, ""},
      {"Vclamp", st.Vclamp, "V"},
      {"Pclamp", st.Pclamp, "W"},
      {"Rclamp", part(st.Rclamp), "ohm"},
      {"RclampE24", part(st.RclampE24), "ohm"},
      {"Cclamp", part(st.Cclamp), "F"},
      {"CclampE12", part(st.CclampE12), "F"},
      {"PratingR", st.PratingR, "W"},
      {"VdsMax", st.VdsMax, "V"},
      {"VdsRating", st.VdsRating, "V"},
      {"VdRevMax", st.VdRevMax, "V"},
      {"fsHigh", st.fsHigh, "Hz"},
      {"IpkHigh", st.IpkHigh, "A"},
      {"VclampTarget", st.VclampTarget, "V"},
      {"PclampTarget", st.PclampTarget, "W"},
  };
  if (!st.leakageKnown) {
    for (StressQuantity& q : list) {
      if (q.name == "Llk" || q.name == "k" || q.name == "Pclamp" || q.name == "Rclamp" ||
          q.name == "RclampE24" || q.name == "Cclamp" || q.name == "CclampE12" ||
          q.name == "PratingR" || q.name == "PclampTarget") {
        q.value.reset();
        q.unknown = true;
      }
    }
  }
  return list;
}

std::vector<StressQuantity> stressQuantitiesForReading(const SwitchStress& stress) {
  std::vector<StressQuantity> list = stressQuantities(stress);
  const auto at = [&list](std::string_view name) {
    return std::find_if(list.begin(), list.end(),
                        [name](const StressQuantity& q) { return q.name == name; });
  };
  // Both targets sit at the end: move them, in order, in front of Vclamp.
  std::rotate(at("Vclamp"), at("VclampTarget"), list.end());
  return list;
}

}  // namespace fbc
