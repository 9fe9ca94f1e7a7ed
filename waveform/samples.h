#pragma once

#include <vector>

#include "design/design_state.h"

namespace fbc {

// One sample of the time loop: time [s], switch voltage [V] and current [A], diode voltage [V]
// and current [A].
struct WaveformSample {
  float t = 0;
  float vsw = 0;
  float isw = 0;
  float vd = 0;
  float id = 0;

  friend bool operator==(const WaveformSample&, const WaveformSample&) = default;
};

// The values the loop and the full scales derive once per calculation, each formed in double
// precision and rounded to single once.
struct WaveformDerived {
  float Ton = 0;      // T x Duty
  float Vor = 0;      // (Np / Ns) x (Vf + Vout), the output voltage reflected to the primary
  float VdsPeak = 0;  // Vin + Vor, the switch voltage while off
  float Vrev = 0;     // Vin / (Np / Ns) + Vout, the diode reverse voltage while the switch is on
  float IdPeak = 0;   // (Np / Ns) x Ip
  float dt = 0;       // (2 x T) / 1000, the time step
};
WaveformDerived waveformDerived(const DesignState& state);

// The time loop of the idealised flyback converter over two switching periods, one sample per
// call of next(). Time and magnetising current run in single precision by repeated addition,
// exactly as the window's loop does, so the samples (and their number, 1000 or 1001 depending
// on rounding) are the ones the plots show. Allocates nothing; faults raise RuntimeError.
class WaveformGenerator {
 public:
  explicit WaveformGenerator(const DesignState& state);

  // Writes the next sample and returns true, or returns false once t has passed 2 x T.
  bool next(WaveformSample& sample);

 private:
  bool passedEnd() const noexcept;

  WaveformDerived derived_;
  float T_;
  float Vf_;
  float turnsRatio_;  // Np / Ns rounded to single
  float rampUp_;      // Vin / Lp rounded to single
  float rampDown_;    // Vor / Lp rounded to single
  float end_;         // 2 x T
  // Loop state.
  float t_ = 0;
  float t0_ = 0;
  float i_ = 0;
  float di_ = 0;
  WaveformSample last_;
};

// All samples of one calculation, in time order.
std::vector<WaveformSample> waveformSamples(const DesignState& state);

}  // namespace fbc
