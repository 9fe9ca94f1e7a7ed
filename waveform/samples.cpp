#include "waveform/samples.h"

#include <cmath>

#include "platform/checked_math.h"
#include "platform/errors.h"

namespace fbc {

namespace {

// Single-precision addition: the exact sum of two floats rounded once, with the overflow check.
float sumSingle(float a, float b) {
  return toSingleChecked(checkedAdd(static_cast<double>(a), static_cast<double>(b)));
}

float productSingle(float a, float b) {
  return toSingleChecked(checkedMultiply(static_cast<double>(a), static_cast<double>(b)));
}

float quotientSingle(float a, float b) {
  return toSingleChecked(checkedDivide(static_cast<double>(a), static_cast<double>(b)));
}

// Inside the loop every operand is a finite single: a single-precision sum or product is then
// the exact result rounded once, as above, and its only possible fault is leaving the range.
float finiteSingle(float value) {
  if (!std::isfinite(value)) {
    raise(ErrorNumber::Overflow, "waveform loop");
  }
  return value;
}

}  // namespace

WaveformDerived waveformDerived(const DesignState& s) {
  const double ratio = checkedDivide(s.Np, s.Ns);
  WaveformDerived d;
  d.Ton = productSingle(s.T, s.Duty);
  d.Vor = toSingleChecked(checkedMultiply(ratio, checkedAdd(s.Vf, s.Vout)));
  d.VdsPeak = sumSingle(s.Vin, d.Vor);
  d.Vrev = toSingleChecked(checkedAdd(checkedDivide(s.Vin, ratio), s.Vout));
  d.IdPeak = toSingleChecked(checkedMultiply(ratio, s.Ip));
  d.dt = toSingleChecked(checkedDivide(checkedMultiply(2.0, s.T), 1000.0));
  return d;
}

WaveformGenerator::WaveformGenerator(const DesignState& state)
    : derived_(waveformDerived(state)),
      T_(state.T),
      Vf_(state.Vf),
      turnsRatio_(quotientSingle(state.Np, state.Ns)),
      rampUp_(quotientSingle(state.Vin, state.Lp)),
      rampDown_(quotientSingle(derived_.Vor, state.Lp)),
      end_(productSingle(2.0F, state.T)) {
  // The counting loop refuses a step that would never reach the end.
  if (derived_.dt == 0.0F) {
    raise(ErrorNumber::InvalidCall, "time step is zero");
  }
}

bool WaveformGenerator::passedEnd() const noexcept {
  return derived_.dt > 0.0F ? t_ > end_ : t_ < end_;
}

bool WaveformGenerator::next(WaveformSample& sample) {
  if (passedEnd()) {
    return false;
  }
  const float onEnd = finiteSingle(t0_ + derived_.Ton);
  const float periodEnd = finiteSingle(t0_ + T_);
  if (t0_ <= t_ && t_ < onEnd) {
    last_.isw = i_;
    last_.id = 0.0F;
    last_.vsw = 0.0F;
    last_.vd = derived_.Vrev;
    di_ = finiteSingle(rampUp_ * derived_.dt);
  } else if (onEnd <= t_ && t_ < periodEnd) {
    last_.isw = 0.0F;
    last_.id = finiteSingle(turnsRatio_ * i_);
    last_.vsw = derived_.VdsPeak;
    last_.vd = Vf_;
    di_ = -finiteSingle(rampDown_ * derived_.dt);
  } else {
    // A new period: the sample repeats the previous values, and the previous change is still
    // added below.
    t0_ = periodEnd;
    i_ = 0.0F;
  }
  i_ = finiteSingle(i_ + di_);
  last_.t = t_;
  sample = last_;
  t_ = finiteSingle(t_ + derived_.dt);
  return true;
}

std::vector<WaveformSample> waveformSamples(const DesignState& state) {
  std::vector<WaveformSample> samples;
  samples.reserve(1002);
  WaveformGenerator generator(state);
  WaveformSample sample;
  while (generator.next(sample)) {
    samples.push_back(sample);
  }
  return samples;
}

}  // namespace fbc
