// One whole click of the calculation button, and a bare reference that paints the same grid
// lines, texts and 4004 trace pixels with QPainter and direct scan-line writes. The ratio of
// the two medians is the price of the library's layering (values, procedures, surfaces).

#include <cmath>
#include <cstdint>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QString>

#include "chartlib/macro_library.h"
#include "design/calculation.h"
#include "design/click_constants.h"
#include "design/core_catalogue.h"
#include "design/result_texts.h"
#include "platform/controls.h"
#include "platform/number_text.h"
#include "platform/palette.h"
#include "platform/raster_surface.h"
#include "waveform/waveform_stage.h"

namespace {

using namespace fbc;

constexpr int kPic1Width = 257;
constexpr int kPic2Width = 249;
constexpr int kPicHeight = 81;

// The labels a click writes.
struct ResultLabels {
  Label lblCuondo, lblinfo, lbltest, lblIin, lblNt, lblLp;
  Label lblpic1_1, lbldiv1, lbldiv2;

  void show(const ResultTexts& t) {
    lblCuondo.setProperty("Caption", Value(t.lblCuondo));
    lblinfo.setProperty("Caption", Value(t.lblinfo));
    lbltest.setProperty("Caption", Value(t.lbltest));
    lblIin.setProperty("Caption", Value(t.lblIin));
    lblNt.setProperty("Caption", Value(t.lblNt));
    lblLp.setProperty("Caption", Value(t.lblLp));
  }
};

void BM_Click(benchmark::State& bench) {
  const CoreCatalogue catalogue;
  const DesignInputs inputs;
  RasterSurface surface1(kPic1Width, kPicHeight);
  RasterSurface surface2(kPic2Width, kPicHeight);
  Value pic1(surface1);
  Value pic2(surface2);
  ResultLabels labels;
  for (auto _ : bench) {
    const ClickConstants constants = clickConstants();
    DesignState state;
    if (!calculateDesign(inputs, catalogue, state).completed) {
      bench.SkipWithError("calculation stopped");
      break;
    }
    labels.show(resultTexts(state, constants.k));
    runWaveformStage(state, constants.m, pic1, pic2, labels.lblpic1_1, labels.lbldiv1,
                     labels.lbldiv2);
    benchmark::DoNotOptimize(surface1.image().constBits());
  }
}

// The same pictures without the library: one painter per picture for the grid, then pixels
// written straight into the scan lines.
struct BarePicture {
  QImage image;
  double scaleH;

  BarePicture(int width, double height)
      : image(width, kPicHeight, QImage::Format_RGB32), scaleH(height) {
    image.fill(Qt::white);
  }

  void grid(double scaleW, const QString& label) {
    const double sx = image.width() / scaleW;
    const double sy = image.height() / (1.1 * scaleH);
    QPainter p(&image);
    QPen grey(QColor::fromRgb(paletteColour(7)));
    grey.setCosmetic(true);
    p.setPen(grey);
    for (int k = 0; k <= 4; ++k) {
      const double y = (scaleH - k * scaleH / 4) * sy;
      p.drawLine(QPointF(0, y), QPointF(image.width(), y));
    }
    QPen blue(QColor::fromRgb(paletteColour(1)));
    blue.setWidth(2);
    p.setPen(blue);
    p.drawLine(QPointF(0, scaleH * sy), QPointF(image.width(), scaleH * sy));
    p.setPen(grey);
    for (int k = 0; k <= 8; ++k) {
      const double x = k * scaleW / 8 * sx;
      p.drawLine(QPointF(x, 0), QPointF(x, image.height()));
    }
    p.setPen(Qt::black);
    p.setFont(QFont(QString::fromUtf16(RasterSurface::kDefaultFontFamily), 9));
    p.drawText(QPointF(0.5 * image.width(), 0.11 * scaleH * sy + 10), label);
    p.drawText(QPointF(0.02 * image.width(), 0.855 * scaleH * sy + 10), QStringLiteral("Gnd"));
  }

  void dot(double scaleW, float t, double value, Rgb colour) {
    const int x = static_cast<int>(std::floor(t * static_cast<float>(image.width()) / scaleW));
    const int y = static_cast<int>(std::floor((scaleH - value) * image.height() / (1.1 * scaleH)));
    if (x >= 0 && x < image.width() && y >= 0 && y < image.height()) {
      reinterpret_cast<QRgb*>(image.scanLine(y))[x] = 0xFF000000U | colour;
    }
  }
};

void BM_BareReference(benchmark::State& bench) {
  const CoreCatalogue catalogue;
  const DesignInputs inputs;
  BarePicture pic1(kPic1Width, 1000);
  BarePicture pic2(kPic2Width, 200);
  ResultLabels labels;
  const Rgb blue = paletteColour(1);
  const Rgb red = paletteColour(4);
  const Rgb cyan = paletteColour(3);
  const Rgb magenta = paletteColour(5);
  for (auto _ : bench) {
    DesignState state;
    if (!calculateDesign(inputs, catalogue, state).completed) {
      bench.SkipWithError("calculation stopped");
      break;
    }
    labels.show(resultTexts(state));
    const double scaleW = 2.0F * state.T;
    std::u16string text = u"[";
    text += formatPattern(scaleW / 8 * 1e6, u"0.000");
    text += u"μsec/div]";
    const QString label = QString::fromStdU16String(text);
    pic1.grid(scaleW, label);
    pic2.grid(scaleW, label);
    const WaveformScales scales = waveformScales(state, Value(0.001));
    WaveformGenerator generator(state);
    WaveformSample s;
    while (generator.next(s)) {
      pic1.dot(scaleW, s.t, scales.KV1 * s.vsw, blue);
      pic1.dot(scaleW, s.t, scales.KI1 * s.isw, red);
      pic2.dot(scaleW, s.t, scales.KV2 * s.vd, cyan);
      pic2.dot(scaleW, s.t, scales.KI2 * s.id, magenta);
    }
    labels.lblpic1_1.setProperty("Caption", Value(scales.lblpic1_1));
    labels.lbldiv1.setProperty("Caption", Value(scales.lbldiv1));
    labels.lbldiv2.setProperty("Caption", Value(scales.lbldiv2));
    benchmark::DoNotOptimize(pic1.image.constBits());
  }
}

// One Plot00 call on a raster picture, the step a click repeats 4004 times.
void BM_Plot00(benchmark::State& bench) {
  RasterSurface surface(kPic1Width, kPicHeight);
  surface.setScaleWidth(4e-5F);
  surface.setScaleHeight(1100.0F);
  Value pic(surface);
  Value t(1.5e-5F);
  Value y(381.5 * 2.0);
  Value zero(std::int16_t{0});
  Value scaleH(std::int16_t{1000});
  Value colour(std::int16_t{1});
  for (auto _ : bench) {
    macro::Plot00(pic, t, y, zero, zero, scaleH, colour);
  }
}

constexpr int kRepetitions = 15;
BENCHMARK(BM_Click)->Unit(benchmark::kMicrosecond)->Repetitions(kRepetitions);
BENCHMARK(BM_BareReference)->Unit(benchmark::kMicrosecond)->Repetitions(kRepetitions);
BENCHMARK(BM_Plot00)->Unit(benchmark::kNanosecond)->Repetitions(kRepetitions);

// Keeps the medians so that the ratio of a click to the bare reference can be printed, in
// real time and in CPU time (the fairer figure on a machine shared with other work).
class MedianReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
        medians_[run.run_name.function_name] = {run.GetAdjustedRealTime(),
                                                run.GetAdjustedCPUTime()};
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }

  void printRatio(std::ostream& out) const {
    const auto click = medians_.find("BM_Click");
    const auto bare = medians_.find("BM_BareReference");
    if (click == medians_.end() || bare == medians_.end()) {
      return;
    }
    const Times& c = click->second;
    const Times& b = bare->second;
    out << "median real: click " << c.real << " us, bare reference " << b.real << " us, ratio "
        << c.real / b.real << "\n"
        << "median CPU:  click " << c.cpu << " us, bare reference " << b.cpu << " us, ratio "
        << c.cpu / b.cpu << "\n";
  }

 private:
  struct Times {
    double real = 0;
    double cpu = 0;
  };
  std::map<std::string, Times> medians_;
};

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  // Text rendering needs the font database of a GUI application.
  QGuiApplication application(argc, argv);
  // Loads the font database once, so that no repetition pays for it.
  RasterSurface warmUp(kPic1Width, kPicHeight);
  warmUp.print(u"Gnd");
  benchmark::Initialize(&argc, argv);
  MedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.printRatio(std::cout);
  benchmark::Shutdown();
  return 0;
}
