#include "waveform/samples.h"

#include <cstddef>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/errors.h"
#include "worked_example.h"

namespace fbc {
namespace {

using testing_support::workedExample;

// Index of the first sample at or after time `t`.
std::size_t firstAtOrAfter(const std::vector<WaveformSample>& samples, float t) {
  std::size_t k = 0;
  while (k < samples.size() && samples[k].t < t) {
    ++k;
  }
  return k;
}

TEST(WaveformSamples, CountAndTimeFollowSinglePrecisionAddition) {
  struct Case {
    const char16_t* fs;
    std::size_t count;
  };
  for (const Case& c : {Case{u"50000", 1001}, Case{u"40000", 1000}}) {
    const DesignState state = workedExample(c.fs);
    SCOPED_TRACE(std::to_string(state.T));
    const std::vector<WaveformSample> samples = waveformSamples(state);
    ASSERT_EQ(samples.size(), c.count);

    const float dt = static_cast<float>(2.0 * state.T / 1000.0);
    const float end = 2.0F * state.T;
    EXPECT_EQ(samples.front().t, 0.0F);
    for (std::size_t k = 1; k < samples.size(); ++k) {
      // Repeated addition, not k x dt: the rounding decides the count.
      ASSERT_EQ(samples[k].t, samples[k - 1].t + dt) << "sample " << k;
    }
    EXPECT_LE(samples.back().t, end);
    EXPECT_GT(samples.back().t + dt, end);
  }
}

TEST(WaveformSamples, WorkedExampleFirstPeriod) {
  const DesignState state = workedExample();
  const WaveformDerived d = waveformDerived(state);
  EXPECT_NEAR(d.VdsPeak, 381.5, 0.1);
  EXPECT_NEAR(d.Vrev, 51.22, 0.01);
  EXPECT_NEAR(d.IdPeak, 44.08, 0.01);
  EXPECT_FLOAT_EQ(d.Ton, state.T * 0.5F);

  const std::vector<WaveformSample> s = waveformSamples(state);
  const float rampUp = static_cast<float>(static_cast<float>(state.Vin / state.Lp) * d.dt);

  // Switch-on phase from t = 0: the switch current ramps from 0, the diode blocks.
  EXPECT_EQ(s[0], (WaveformSample{0.0F, 0.0F, 0.0F, d.Vrev, 0.0F}));
  EXPECT_FLOAT_EQ(s[1].isw, rampUp);
  EXPECT_FLOAT_EQ(s[2].isw, 2 * rampUp);

  // First phase change: the switch opens once t reaches Ton.
  const std::size_t off = firstAtOrAfter(s, d.Ton);
  ASSERT_GT(off, 1U);
  for (std::size_t k = 0; k < off; ++k) {
    ASSERT_EQ(s[k].vsw, 0.0F) << "sample " << k;
    ASSERT_EQ(s[k].vd, d.Vrev) << "sample " << k;
    ASSERT_EQ(s[k].id, 0.0F) << "sample " << k;
  }
  EXPECT_NEAR(s[off - 1].isw, state.Ip, 0.05);
  EXPECT_EQ(s[off].vsw, d.VdsPeak);
  EXPECT_EQ(s[off].isw, 0.0F);
  EXPECT_EQ(s[off].vd, state.Vf);
  EXPECT_NEAR(s[off].id, 44.08, 0.3);
  EXPECT_LT(s[off + 1].id, s[off].id);

  // The diode conducts until the period ends, still carrying current there.
  const std::size_t boundary = firstAtOrAfter(s, state.T);
  ASSERT_LT(boundary + 1, s.size());
  for (std::size_t k = off; k < boundary; ++k) {
    ASSERT_EQ(s[k].vsw, d.VdsPeak) << "sample " << k;
    ASSERT_EQ(s[k].isw, 0.0F) << "sample " << k;
  }
  EXPECT_NEAR(s[boundary - 1].id, 4.4, 0.05);

  // The boundary sample repeats the previous values at the new time.
  WaveformSample repeated = s[boundary - 1];
  repeated.t = s[boundary].t;
  EXPECT_EQ(s[boundary], repeated);

  // The next period starts from the last (negative) change, not from exactly 0.
  EXPECT_EQ(s[boundary + 1].vsw, 0.0F);
  EXPECT_EQ(s[boundary + 1].id, 0.0F);
  EXPECT_LT(s[boundary + 1].isw, 0.0F);
  EXPECT_GT(s[boundary + 1].isw, -0.1F);
}

TEST(WaveformSamples, CurrentKeepsFallingBelowZeroWhenTheCoreEmptiesEarly) {
  DesignState state = workedExample();
  state.Vout = 2 * state.Vout;  // about twice the reflected voltage: the ramp down is steeper
  const std::vector<WaveformSample> s = waveformSamples(state);
  const std::size_t boundary = firstAtOrAfter(s, state.T);
  EXPECT_LT(s[boundary - 1].id, 0.0F);
}

TEST(WaveformSamples, ZeroOnTimeStartsInTheDiodePhase) {
  DesignState state = workedExample();
  state.Duty = 0.0F;
  const std::vector<WaveformSample> s = waveformSamples(state);
  const WaveformDerived d = waveformDerived(state);
  EXPECT_EQ(s[0].vsw, d.VdsPeak);
  EXPECT_EQ(s[0].vd, state.Vf);
  EXPECT_EQ(s[0].isw, 0.0F);
}

TEST(WaveformSamples, FaultsRaiseThePlatformErrors) {
  struct Fault {
    const char* name;
    void (*spoil)(DesignState&);
    ErrorNumber expected;
  };
  const Fault faults[] = {
      {"zero period gives a zero time step", [](DesignState& s) { s.T = 0.0F; },
       ErrorNumber::InvalidCall},
      {"zero secondary turns", [](DesignState& s) { s.Ns = 0.0F; }, ErrorNumber::DivisionByZero},
      {"zero inductance", [](DesignState& s) { s.Lp = 0.0F; }, ErrorNumber::DivisionByZero},
      {"slope beyond single range",
       [](DesignState& s) {
         s.Vin = 3e38F;
         s.Lp = 1e-30F;
       },
       ErrorNumber::Overflow},
  };
  for (const Fault& f : faults) {
    SCOPED_TRACE(f.name);
    DesignState state = workedExample();
    f.spoil(state);
    try {
      waveformSamples(state);
      ADD_FAILURE() << "no error raised";
    } catch (const RuntimeError& e) {
      EXPECT_EQ(e.number(), f.expected);
    }
  }
}

}  // namespace
}  // namespace fbc
