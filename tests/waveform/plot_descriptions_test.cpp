#include "waveform/plot_descriptions.h"

#include <string>

#include <gtest/gtest.h>

#include "waveform/scales.h"
#include "worked_example.h"

namespace fbc {
namespace {

using testing_support::workedExample;

const Value kMilli(0.001);

// The window's start values: 24 V 10 A out of 200 V at 80 %, 50 kHz, duty 0.5. The input
// current 240 W / 0.8 / 200 V = 1.5 A is Ip·D/2 in critical conduction, so Ip = 6 A; the switch
// peak 381.5 V, the diode's reverse peak 51.22 V and its current peak 44.08 A are the values
// the sample tests pin down; the scales are those of the captions.
TEST(PlotDescriptions, WorkedExampleSaysTracesScalesFrequencyAndPeaks) {
  const std::optional<PlotDescriptions> d = plotDescriptions(workedExample(), kMilli);
  ASSERT_TRUE(d.has_value());
  EXPECT_EQ(d->switchPlot,
            u"青：スイッチ電圧、赤：スイッチ電流、2周期分。1目盛あたり 縦 125V・2.5A、横 5μs。"
            u"fs=50kHz。ピーク値：スイッチ電圧 381.5V、スイッチ電流 6A。");
  EXPECT_EQ(d->diodePlot,
            u"水色：ダイオード電圧、赤紫：ダイオード電流、2周期分。1目盛あたり 縦 20V・20A、横 "
            u"5μs。fs=50kHz。ピーク値：ダイオード逆電圧 51.22V、ダイオード電流 44.08A。");
}

TEST(PlotDescriptions, NothingWhenTheStageDrawsNothing) {
  DesignState state = workedExample();
  state.Lp = 0.0F;
  EXPECT_FALSE(plotDescriptions(state, kMilli).has_value());
}

// The time per division is a quarter period (two periods in eight divisions), rounded to four
// significant digits so that the float period's last bits are not read out.
TEST(PlotDescriptions, TimePerDivisionAndFrequencyFollowTheSwitchingFrequency) {
  struct Case {
    const char* name;
    const char16_t* fs;
    const char16_t* time;
    const char16_t* caption;
  };
  for (const Case& c : {Case{"50kHz", u"50000", u"横 5μs。", u"fs=50kHz。"},
                        Case{"40kHz", u"40000", u"横 6.25μs。", u"fs=40kHz。"},
                        Case{"62.5kHz", u"62500", u"横 4μs。", u"fs=62.5kHz。"},
                        Case{"30kHz", u"30000", u"横 8.333μs。", u"fs=30kHz。"}}) {
    SCOPED_TRACE(c.name);
    const std::optional<PlotDescriptions> d = plotDescriptions(workedExample(c.fs), kMilli);
    ASSERT_TRUE(d.has_value());
    for (const std::u16string& text : {d->switchPlot, d->diodePlot}) {
      EXPECT_NE(text.find(c.time), std::u16string::npos);
      EXPECT_NE(text.find(c.caption), std::u16string::npos);
    }
  }
}

// The scale per division said must be the one the caption under the plot shows, for every row
// of the scale tables (Np = Ns and Vout = Vf = 0 make both voltages Vin and the diode current Ip).
TEST(PlotDescriptions, ScalePerDivisionMatchesTheCaptions) {
  struct Case {
    float vin;
    float ip;
  };
  for (const Case& c :
       {Case{1000.0F, 45.0F}, Case{999.9F, 40.0F}, Case{500.0F, 20.0F}, Case{300.0F, 10.0F},
        Case{150.0F, 5.0F}, Case{100.0F, 2.0F}, Case{79.9F, 1.01F}, Case{30.0F, 0.5F}}) {
    SCOPED_TRACE(testing::Message() << c.vin << " V, " << c.ip << " A");
    DesignState state;
    state.Vin = c.vin;
    state.Ip = c.ip;
    state.Np = 5.0F;
    state.Ns = 5.0F;
    state.T = 2e-5F;
    state.Duty = 0.5F;
    state.Lp = 1e-4F;
    const WaveformScales s = waveformScales(state, kMilli);
    const std::optional<PlotDescriptions> d = plotDescriptions(state, kMilli);
    ASSERT_TRUE(d.has_value());
    // "スイッチ電圧電流[125V/div][2.5A/div]" -> "125V・2.5A"
    auto said = [](const std::u16string& caption) {
      const std::size_t open = caption.find(u'[');
      const std::size_t volts = caption.find(u"V/div", open);
      const std::size_t second = caption.find(u'[', volts);
      const std::size_t amps = caption.find(u"A/div", second);
      return u"縦 " + caption.substr(open + 1, volts - open - 1) + u"V・" +
             caption.substr(second + 1, amps - second - 1) + u"A、";
    };
    EXPECT_NE(d->switchPlot.find(said(s.lbldiv1)), std::u16string::npos);
    EXPECT_NE(d->diodePlot.find(said(s.lbldiv2)), std::u16string::npos);
  }
}

}  // namespace
}  // namespace fbc
