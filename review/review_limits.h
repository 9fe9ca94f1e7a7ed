#pragma once

#include <numbers>

namespace fbc {

// Every constant the engineering review judges a design by, in one place; the reasons and
// sources are in docs/engineering-review.md.
struct ReviewLimits {
  // Flux density [T] at which a power ferrite saturates at 100 °C, where no material is known;
  // a known material gives its own (FerriteMaterial::bsat100).
  double saturationFluxDensity = 0.39;
  // Peak flux density [T] above which the core is too close to saturation (about 90 % of it);
  // the working peak may not pass it in any drive mode.
  double nearSaturationFluxDensity = 0.35;
  // The controller's pulse-by-pulse current limit as a multiple of the peak current, where none
  // is given: the low end of the 1.2 to 1.5 controllers' data sheets and AN-4137 use.
  double currentLimitRatio = 1.2;
  // Copper current density [A/mm²] the wires are sized for: the top of the model's "just right"
  // verdict row.
  double currentDensity = 3.5;
  // Permeability of free space [H/m].
  double vacuumPermeability = 4.0 * std::numbers::pi * 1e-7;
  // Largest gap length as a share of the centre leg's side (√Ae) before fringing dominates.
  double maxGapRatio = 0.2;
  // Smallest gap [m] that can be ground or shimmed with a usable tolerance.
  double minGap = 0.1e-3;
  // Largest primary turn count anyone could wind.
  double maxPrimaryTurns = 1e6;
  // Skin depth of copper [mm] at 1 Hz: δ = coefficient / √f.
  double skinDepthCoefficient = 66.1;
  // Largest conductor of a wire the person gives, as a multiple of the skin depth, before
  // stranding is advised.
  double maxWireToSkinDepth = 2.0;
  // Turn counts above this are not reviewed at all: they could not be held as whole numbers.
  double turnCountCap = 1e9;
};

inline constexpr ReviewLimits kReviewLimits{};

}  // namespace fbc
