#include "waveform/scales.h"

#include <string>

#include <gtest/gtest.h>

#include "worked_example.h"

namespace fbc {
namespace {

using testing_support::workedExample;

const Value kMilli(0.001);

TEST(WaveformScales, WorkedExampleCaptions) {
  const WaveformScales s = waveformScales(workedExample(), kMilli);
  EXPECT_EQ(s.lblpic1_1, u"fs=50kHz");
  EXPECT_EQ(s.lbldiv1, u"スイッチ電圧電流[125V/div][2.5A/div]");
  EXPECT_EQ(s.lbldiv2, u"ダイオード電圧電流[20V/div][20A/div]");
  EXPECT_EQ(s.fullScaleVsw, 500.0);
  EXPECT_EQ(s.fullScaleIsw, 10.0);
  EXPECT_EQ(s.fullScaleVd, 80.0);
  EXPECT_EQ(s.fullScaleId, 80.0);
  EXPECT_EQ(s.KV1, 2.0);
  EXPECT_EQ(s.KI1, 100.0);
  EXPECT_EQ(s.KV2, 2.5);
  EXPECT_EQ(s.KI2, 2.5);
}

TEST(WaveformScales, FrequencyCaption) {
  struct Case {
    const char16_t* fs;
    const char16_t* caption;
  };
  for (const Case& c : {Case{u"50000", u"fs=50kHz"}, Case{u"40000", u"fs=40kHz"},
                        Case{u"100000", u"fs=100kHz"}, Case{u"62500", u"fs=62.5kHz"}}) {
    const DesignState state = workedExample(c.fs);
    SCOPED_TRACE(std::to_string(state.T));
    EXPECT_EQ(waveformScales(state, kMilli).lblpic1_1, c.caption);
  }
}

// With Np = Ns and Vout = Vf = 0 the switch and diode voltages both equal Vin and the diode
// current equals Ip, so one row hits the same threshold in two tables.
struct ThresholdCase {
  const char* name;
  float Vin;
  float Ip;
  const char16_t* lbldiv1;
  const char16_t* lbldiv2;
  double KI1;
};

DesignState unitRatioState(float vin, float ip) {
  DesignState state;
  state.Vin = vin;
  state.Ip = ip;
  state.Np = 5.0F;
  state.Ns = 5.0F;
  state.T = 2e-5F;
  state.Duty = 0.5F;
  state.Lp = 1e-4F;
  return state;
}

class WaveformScaleThresholds : public testing::TestWithParam<ThresholdCase> {};

TEST_P(WaveformScaleThresholds, PicksTheRowOfThePeak) {
  const ThresholdCase& c = GetParam();
  const WaveformScales s = waveformScales(unitRatioState(c.Vin, c.Ip), kMilli);
  ASSERT_EQ(s.VdsPeak, c.Vin);
  ASSERT_EQ(s.Vrev, c.Vin);
  ASSERT_EQ(s.IdPeak, c.Ip);
  EXPECT_EQ(s.lbldiv1, c.lbldiv1);
  EXPECT_EQ(s.lbldiv2, c.lbldiv2);
  EXPECT_EQ(s.KI1, c.KI1);
}

INSTANTIATE_TEST_SUITE_P(
    Voltage, WaveformScaleThresholds,
    testing::Values(
        ThresholdCase{"Exactly1000V", 1000.0F, 6.0F, u"スイッチ電圧電流[500V/div][2.5A/div]",
                      u"ダイオード電圧電流[250V/div][2.5A/div]", 100},
        ThresholdCase{"JustBelow1000V", 999.99994F, 6.0F, u"スイッチ電圧電流[250V/div][2.5A/div]",
                      u"ダイオード電圧電流[250V/div][2.5A/div]", 100},
        ThresholdCase{"Exactly500V", 500.0F, 6.0F, u"スイッチ電圧電流[250V/div][2.5A/div]",
                      u"ダイオード電圧電流[250V/div][2.5A/div]", 100},
        ThresholdCase{"Below500V", 499.9F, 6.0F, u"スイッチ電圧電流[125V/div][2.5A/div]",
                      u"ダイオード電圧電流[125V/div][2.5A/div]", 100},
        ThresholdCase{"Exactly250V", 250.0F, 6.0F, u"スイッチ電圧電流[125V/div][2.5A/div]",
                      u"ダイオード電圧電流[125V/div][2.5A/div]", 100},
        ThresholdCase{"Below250V", 249.9F, 6.0F, u"スイッチ電圧電流[75V/div][2.5A/div]",
                      u"ダイオード電圧電流[75V/div][2.5A/div]", 100},
        ThresholdCase{"Exactly150V", 150.0F, 6.0F, u"スイッチ電圧電流[75V/div][2.5A/div]",
                      u"ダイオード電圧電流[75V/div][2.5A/div]", 100},
        ThresholdCase{"Below150V", 149.9F, 6.0F, u"スイッチ電圧電流[40V/div][2.5A/div]",
                      u"ダイオード電圧電流[40V/div][2.5A/div]", 100},
        ThresholdCase{"Exactly80V", 80.0F, 6.0F, u"スイッチ電圧電流[40V/div][2.5A/div]",
                      u"ダイオード電圧電流[40V/div][2.5A/div]", 100},
        ThresholdCase{"Below80V", 79.9F, 6.0F, u"スイッチ電圧電流[20V/div][2.5A/div]",
                      u"ダイオード電圧電流[20V/div][2.5A/div]", 100},
        ThresholdCase{"Below40V", 30.0F, 6.0F, u"スイッチ電圧電流[20V/div][2.5A/div]",
                      u"ダイオード電圧電流[20V/div][2.5A/div]", 100}),
    [](const testing::TestParamInfo<ThresholdCase>& testInfo) {
      return std::string(testInfo.param.name);
    });

INSTANTIATE_TEST_SUITE_P(
    Current, WaveformScaleThresholds,
    testing::Values(
        ThresholdCase{"Above40A", 40.5F, 45.0F, u"スイッチ電圧電流[20V/div][10A/div]",
                      u"ダイオード電圧電流[20V/div][20A/div]", 25},
        ThresholdCase{"Exactly40A", 40.5F, 40.0F, u"スイッチ電圧電流[20V/div][10A/div]",
                      u"ダイオード電圧電流[20V/div][10A/div]", 25},
        ThresholdCase{"JustAbove20A", 40.5F, 20.000002F, u"スイッチ電圧電流[20V/div][10A/div]",
                      u"ダイオード電圧電流[20V/div][10A/div]", 25},
        ThresholdCase{"Exactly20A", 40.5F, 20.0F, u"スイッチ電圧電流[20V/div][5A/div]",
                      u"ダイオード電圧電流[20V/div][5A/div]", 50},
        ThresholdCase{"Exactly10A", 40.5F, 10.0F, u"スイッチ電圧電流[20V/div][2.5A/div]",
                      u"ダイオード電圧電流[20V/div][2.5A/div]", 100},
        ThresholdCase{"Exactly5A", 40.5F, 5.0F, u"スイッチ電圧電流[20V/div][1A/div]",
                      u"ダイオード電圧電流[20V/div][1A/div]", 250},
        ThresholdCase{"Exactly2A", 40.5F, 2.0F, u"スイッチ電圧電流[20V/div][0.5A/div]",
                      u"ダイオード電圧電流[20V/div][0.5A/div]", 500},
        ThresholdCase{"JustAbove1A", 40.5F, 1.01F, u"スイッチ電圧電流[20V/div][0.5A/div]",
                      u"ダイオード電圧電流[20V/div][0.5A/div]", 500},
        ThresholdCase{"Exactly1A", 40.5F, 1.0F, u"スイッチ電圧電流[20V/div][0.25A/div]",
                      u"ダイオード電圧電流[20V/div][0.25A/div]", 1000},
        ThresholdCase{"NoCurrent", 40.5F, 0.0F, u"スイッチ電圧電流[20V/div][0.25A/div]",
                      u"ダイオード電圧電流[20V/div][0.25A/div]", 1000}),
    [](const testing::TestParamInfo<ThresholdCase>& testInfo) {
      return std::string(testInfo.param.name);
    });

}  // namespace
}  // namespace fbc
