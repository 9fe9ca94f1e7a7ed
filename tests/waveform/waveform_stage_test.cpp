#include "waveform/waveform_stage.h"

#include <cstddef>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/controls.h"
#include "platform/errors.h"
#include "platform/palette.h"
#include "platform/recording_surface.h"
#include "worked_example.h"

namespace fbc {
namespace {

using testing_support::workedExample;

using Log = std::vector<std::string>;

// A label that notes every property it is given, so the order of writes can be checked.
class LoggingLabel : public Label {
 public:
  LoggingLabel(std::string name, Log& log, std::u16string caption = {})
      : Label(std::move(caption)), name_(std::move(name)), log_(log) {}

  void setProperty(std::string_view property, const Value& value) override {
    log_.push_back(name_ + "." + std::string(property));
    Label::setProperty(property, value);
  }

 private:
  std::string name_;
  Log& log_;
};

// A recording surface that also notes its erasing in the shared log.
class LoggingSurface : public RecordingSurface {
 public:
  LoggingSurface(std::string name, Log& log, int width)
      : RecordingSurface(width, 81), name_(std::move(name)), log_(log) {}

 protected:
  void erase() override {
    log_.push_back(name_ + ".Cls");
    RecordingSurface::erase();
  }

 private:
  std::string name_;
  Log& log_;
};

std::size_t countOf(const RecordingSurface& pic, SurfaceOp::Type type) {
  std::size_t n = 0;
  for (const SurfaceOp& op : pic.operations()) {
    n += op.type == type ? 1 : 0;
  }
  return n;
}

// The window's parts the stage and the clear button touch.
struct Window {
  Log log;
  LoggingSurface Pic1{"Pic1", log, 257};
  LoggingSurface Pic2{"Pic2", log, 249};
  Value pic1{Pic1};
  Value pic2{Pic2};
  LoggingLabel lblpic1_1{"lblpic1_1", log, u"fs="};
  LoggingLabel lbldiv1{"lbldiv1", log, u"スイッチ電圧電流[100V/div,10A/div]"};
  LoggingLabel lbldiv2{"lbldiv2", log, u"出力ダイオード電圧電流[100V/div,10A/div]"};
  LoggingLabel lblCuondo{"lblCuondo", log, u"verdict"};
  LoggingLabel lblinfo{"lblinfo", log, u"info"};
  LoggingLabel lbltest{"lbltest", log, u"summary"};

  void run(const DesignState& state) {
    runWaveformStage(state, Value(0.001), pic1, pic2, lblpic1_1, lbldiv1, lbldiv2);
  }
  void clear() { clearDisplay(pic1, pic2, lbldiv1, lbldiv2, lblCuondo, lblinfo, lbltest); }
};

TEST(WaveformStage, WorkedExampleDrawsGridsTracesAndCaptions) {
  Window w;
  const DesignState state = workedExample();
  w.run(state);

  EXPECT_EQ(w.lblpic1_1.caption(), u"fs=50kHz");
  EXPECT_EQ(w.lbldiv1.caption(), u"スイッチ電圧電流[125V/div][2.5A/div]");
  EXPECT_EQ(w.lbldiv2.caption(), u"ダイオード電圧電流[20V/div][20A/div]");
  EXPECT_EQ(w.log, (Log{"lblpic1_1.Caption", "lbldiv1.ForeColor", "lbldiv2.ForeColor",
                        "lbldiv1.Caption", "lbldiv2.Caption"}));

  // Each picture: its grid (15 lines, 2 texts), then two dots per sample.
  const std::vector<WaveformSample> samples = waveformSamples(state);
  const WaveformScales scales = waveformScales(state, Value(0.001));
  ASSERT_EQ(samples.size(), 1001U);
  struct Trace {
    const LoggingSurface* pic;
    double scaleH;
    double factor;
    float WaveformSample::*field;
    Rgb colour;
  };
  const Trace traces[] = {
      {&w.Pic1, 1000, scales.KV1, &WaveformSample::vsw, rgb(0, 0, 128)},
      {&w.Pic1, 1000, scales.KI1, &WaveformSample::isw, rgb(128, 0, 0)},
      {&w.Pic2, 200, scales.KV2, &WaveformSample::vd, rgb(0, 128, 128)},
      {&w.Pic2, 200, scales.KI2, &WaveformSample::id, rgb(128, 0, 128)},
  };
  for (int n = 0; n < 4; ++n) {
    SCOPED_TRACE("trace " + std::to_string(n));
    const Trace& trace = traces[n];
    EXPECT_EQ(countOf(*trace.pic, SurfaceOp::Type::Line), 15U);
    EXPECT_EQ(countOf(*trace.pic, SurfaceOp::Type::Print), 2U);
    EXPECT_FLOAT_EQ(trace.pic->scaleWidth(), 2 * state.T);
    EXPECT_FLOAT_EQ(trace.pic->scaleHeight(), static_cast<float>(1.1 * trace.scaleH));

    std::vector<SurfaceOp> dots;
    for (const SurfaceOp& op : trace.pic->operations()) {
      if (op.type == SurfaceOp::Type::PSet) {
        dots.push_back(op);
      }
    }
    ASSERT_EQ(dots.size(), 2 * samples.size());
    for (std::size_t k = 0; k < samples.size(); ++k) {
      const SurfaceOp& dot = dots[2 * k + static_cast<std::size_t>(n % 2)];
      const float y = static_cast<float>(trace.scaleH - trace.factor * (samples[k].*trace.field));
      ASSERT_EQ(dot.x1, samples[k].t) << "sample " << k;
      ASSERT_EQ(static_cast<float>(dot.y1), y) << "sample " << k;
      ASSERT_EQ(dot.colour, trace.colour) << "sample " << k;
      ASSERT_EQ(dot.width, 1) << "sample " << k;
    }
  }
}

TEST(WaveformStage, CaptionColourAlternatesAcrossRunsAndClears) {
  Window w;
  const DesignState state = workedExample();
  struct Step {
    const char* action;
    std::int32_t colour;
    std::size_t dotsOnPic1;
  };
  const Step steps[] = {
      {"run", kBlueColour, 2002},       {"run", kButtonTextColour, 4004},
      {"run", kBlueColour, 6006},       {"clear", kBlueColour, 0},
      {"run", kButtonTextColour, 2002}, {"clear", kButtonTextColour, 0},
      {"clear", kButtonTextColour, 0},  {"run", kBlueColour, 2002},
  };
  for (std::size_t k = 0; k < std::size(steps); ++k) {
    const Step& step = steps[k];
    SCOPED_TRACE("step " + std::to_string(k) + ": " + step.action);
    if (std::string(step.action) == "run") {
      w.run(state);
    } else {
      w.clear();
      w.Pic1.clearOperations();
      w.Pic2.clearOperations();
      EXPECT_EQ(w.lbldiv1.caption(), u"");
      EXPECT_EQ(w.lbldiv2.caption(), u"");
    }
    EXPECT_EQ(w.lbldiv1.foreColor(), step.colour);
    EXPECT_EQ(w.lbldiv2.foreColor(), step.colour);
    EXPECT_EQ(countOf(w.Pic1, SurfaceOp::Type::PSet), step.dotsOnPic1);
    EXPECT_EQ(w.lblpic1_1.caption(), u"fs=50kHz");
  }
}

TEST(WaveformStage, ZeroInductanceDrawsAndWritesNothing) {
  Window w;
  DesignState state = workedExample();
  state.Lp = 0.0F;
  w.run(state);
  EXPECT_TRUE(w.Pic1.operations().empty());
  EXPECT_TRUE(w.Pic2.operations().empty());
  EXPECT_TRUE(w.log.empty());
  EXPECT_EQ(w.lblpic1_1.caption(), u"fs=");
  EXPECT_EQ(w.lbldiv1.caption(), u"スイッチ電圧電流[100V/div,10A/div]");
  EXPECT_EQ(w.lbldiv1.foreColor(), kButtonTextColour);
}

TEST(WaveformStage, FaultsStopTheStageAndKeepWhatWasDone) {
  Window w;
  DesignState state = workedExample();
  state.Ns = 0.0F;  // the turns ratio divides by zero once the grids are drawn
  try {
    w.run(state);
    ADD_FAILURE() << "no error raised";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.number(), ErrorNumber::DivisionByZero);
  }
  EXPECT_EQ(countOf(w.Pic1, SurfaceOp::Type::Line), 15U);
  EXPECT_EQ(countOf(w.Pic2, SurfaceOp::Type::Line), 15U);
  EXPECT_EQ(countOf(w.Pic1, SurfaceOp::Type::PSet), 0U);
  EXPECT_TRUE(w.log.empty());

  Value notAPicture(u"Pic1");
  try {
    runWaveformStage(workedExample(), Value(0.001), notAPicture, w.pic2, w.lblpic1_1, w.lbldiv1,
                     w.lbldiv2);
    ADD_FAILURE() << "no error raised";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.number(), ErrorNumber::ObjectLacksProperty);
  }
}

TEST(ClearDisplay, ErasesBothPicturesThenEmptiesFiveCaptionsInOrder) {
  Window w;
  w.run(workedExample());
  w.log.clear();
  w.clear();
  EXPECT_EQ(w.log, (Log{"Pic1.Cls", "Pic2.Cls", "lbldiv1.Caption", "lbldiv2.Caption",
                        "lblCuondo.Caption", "lblinfo.Caption", "lbltest.Caption"}));
  for (const LoggingLabel* label : {&w.lbldiv1, &w.lbldiv2, &w.lblCuondo, &w.lblinfo, &w.lbltest}) {
    EXPECT_EQ(label->caption(), u"");
  }
  EXPECT_EQ(w.lblpic1_1.caption(), u"fs=50kHz");
  EXPECT_EQ(w.lbldiv1.foreColor(), kBlueColour);
  // The scale stays as the last grid left it.
  EXPECT_FLOAT_EQ(w.Pic1.scaleHeight(), 1100.0F);
  EXPECT_FLOAT_EQ(w.Pic2.scaleHeight(), 220.0F);
}

}  // namespace
}  // namespace fbc
