#include "export/plot_export.h"

#include <gtest/gtest.h>
#include <QColor>
#include <QImage>
#include <QString>
#include <QXmlStreamReader>

#include "design/calculation.h"
#include "design/click_constants.h"
#include "design/core_catalogue.h"
#include "platform/controls.h"
#include "platform/palette.h"
#include "platform/raster_surface.h"
#include "platform/recording_surface.h"
#include "platform/svg_export.h"
#include "waveform/waveform_stage.h"

namespace fbc {
namespace {

// Where the window puts the plots and captions, in the report's pixels (8 pixels of margin
// around the window's arrangement).
constexpr QRect kPic1(8, 8, 257, 81);
constexpr QRect kPic2(272, 8, 249, 81);
constexpr QRect kCaptions(8, 96, 521, 38);

Value constantM() { return clickConstants().m; }

DesignState workedExample() {
  DesignState state;
  EXPECT_TRUE(calculateDesign(DesignInputs{}, CoreCatalogue{}, state).completed);
  return state;
}

// The stage run on its own, as the window runs it.
template <typename SurfaceType>
void runStageOn(SurfaceType& pic1, SurfaceType& pic2) {
  Value pic1Value(static_cast<Object*>(&pic1));
  Value pic2Value(static_cast<Object*>(&pic2));
  Label lblpic1_1;
  Label lbldiv1;
  Label lbldiv2;
  runWaveformStage(workedExample(), constantM(), pic1Value, pic2Value, lblpic1_1, lbldiv1, lbldiv2);
}

// Whether some pixel of the logical area `area` has exactly `colour`.
bool hasColour(const QImage& image, const QRect& area, Rgb colour) {
  const QRect device(area.topLeft() * kPlotReportScale, area.size() * kPlotReportScale);
  for (int y = device.top(); y <= device.bottom(); ++y) {
    for (int x = device.left(); x <= device.right(); ++x) {
      if ((image.pixel(x, y) & 0xFFFFFFU) == colour) {
        return true;
      }
    }
  }
  return false;
}

TEST(PlotImage, IsTheReportSizeAtThreeDevicePixelsToThePixel) {
  const QImage image = plotImage(workedExample(), constantM());
  EXPECT_EQ(image.size(), QSize(1611, 426));
  EXPECT_EQ(image.devicePixelRatio(), 3.0);
  EXPECT_EQ(QSize(kPlotReportWidth, kPlotReportHeight) * kPlotReportScale, image.size());
}

TEST(PlotImage, PlotsAreTheStagesOwnDrawingInTheirPlaces) {
  const QImage image = plotImage(workedExample(), constantM());
  RasterSurface pic1(257, 81, kPlotReportScale);
  RasterSurface pic2(249, 81, kPlotReportScale);
  runStageOn(pic1, pic2);
  const struct {
    const char* name;
    QRect area;
    const RasterSurface* surface;
  } plots[] = {{"Pic1", kPic1, &pic1}, {"Pic2", kPic2, &pic2}};
  for (const auto& p : plots) {
    SCOPED_TRACE(p.name);
    const QImage part =
        image.copy(QRect(p.area.topLeft() * kPlotReportScale, p.area.size() * kPlotReportScale));
    EXPECT_TRUE(part.convertToFormat(QImage::Format_RGB32) ==
                p.surface->image().convertToFormat(QImage::Format_RGB32));
    // A grey frame just outside marks the picture box's edge.
    const QPoint outside = (p.area.topLeft() - QPoint(1, 1)) * kPlotReportScale;
    EXPECT_EQ(image.pixel(outside) & 0xFFFFFFU, rgb(128, 128, 128));
  }
}

TEST(PlotImage, TracesAndCaptionsHaveTheirColours) {
  const QImage image = plotImage(workedExample(), constantM());
  const struct {
    const char* what;
    QRect area;
    Rgb colour;
  } cases[] = {
      {"switch voltage", kPic1, paletteColour(1)},
      {"switch current", kPic1, paletteColour(4)},
      {"diode voltage", kPic2, paletteColour(3)},
      {"diode current", kPic2, paletteColour(5)},
      {"blue scale captions after the first calculation", kCaptions, rgb(0, 0, 255)},
      {"black frequency caption", kCaptions, rgb(0, 0, 0)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_TRUE(hasColour(image, c.area, c.colour));
  }
  // Traces stay in their own plot.
  EXPECT_FALSE(hasColour(image, kPic1, paletteColour(5)));
  EXPECT_FALSE(hasColour(image, kPic2, paletteColour(4)));
}

TEST(PlotImage, WithoutInductanceOnlyTheFrames) {
  DesignState state = workedExample();
  state.Lp = 0;
  const QImage image = plotImage(state, constantM());
  EXPECT_FALSE(hasColour(image, kPic1, paletteColour(7)));
  EXPECT_FALSE(hasColour(image, kCaptions, rgb(0, 0, 0)));
  EXPECT_FALSE(hasColour(image, kCaptions, rgb(0, 0, 255)));
}

// The plot's drawing without its document around it.
std::string svgBody(const std::string& document) {
  const std::size_t start = document.find('>', document.find("<svg ")) + 1;
  return document.substr(start, document.rfind("</svg>") - start);
}

TEST(PlotSvg, IsWellFormedWithTheReportSizeTheStagesPlotsAndTheCaptions) {
  const std::string svg = plotSvg(workedExample(), constantM());
  QXmlStreamReader reader(QString::fromStdString(svg));
  ASSERT_TRUE(reader.readNextStartElement());
  EXPECT_EQ(reader.name(), QStringLiteral("svg"));
  EXPECT_EQ(reader.attributes().value("width"), QStringLiteral("1611"));
  EXPECT_EQ(reader.attributes().value("height"), QStringLiteral("426"));
  EXPECT_EQ(reader.attributes().value("viewBox"), QStringLiteral("0 0 537 142"));
  QStringList texts;
  QStringList groups;
  while (!reader.atEnd()) {
    if (reader.readNext() != QXmlStreamReader::StartElement) {
      continue;
    }
    if (reader.name() == QStringLiteral("text")) {
      texts.append(reader.readElementText());
    } else if (reader.name() == QStringLiteral("g") && reader.attributes().hasAttribute("id")) {
      groups.append(reader.attributes().value("id").toString() + " " +
                    reader.attributes().value("transform").toString());
    }
  }
  EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
  EXPECT_EQ(groups, (QStringList{"Pic1 translate(8 8)", "Pic2 translate(272 8)"}));
  for (const char16_t* caption : {u"fs=50kHz", u"スイッチ電圧電流[125V/div][2.5A/div]",
                                  u"ダイオード電圧電流[20V/div][20A/div]", u"Gnd"}) {
    EXPECT_TRUE(texts.contains(QString::fromUtf16(caption)))
        << QString::fromUtf16(caption).toStdString();
  }

  RecordingSurface pic1(257, 81);
  RecordingSurface pic2(249, 81);
  runStageOn(pic1, pic2);
  EXPECT_NE(svg.find(svgBody(toSvg(pic1))), std::string::npos);
  EXPECT_NE(svg.find(svgBody(toSvg(pic2))), std::string::npos);
}

TEST(PlotFileBytes, PngLoadsBackAndSvgIsTheDocument) {
  const DesignState state = workedExample();
  const std::string png = plotFileBytes(state, constantM(), PlotFormat::Png);
  QImage loaded;
  ASSERT_TRUE(loaded.loadFromData(reinterpret_cast<const uchar*>(png.data()),
                                  static_cast<int>(png.size()), "PNG"));
  EXPECT_EQ(loaded.size(), QSize(1611, 426));
  // Marked at three times 96 dpi, so that viewers show it at the window's size.
  EXPECT_NEAR(loaded.dotsPerMeterX(), 3 * 3780, 1);
  EXPECT_TRUE(hasColour(loaded, kPic1, paletteColour(4)));

  EXPECT_EQ(plotFileBytes(state, constantM(), PlotFormat::Svg), plotSvg(state, constantM()));
}

}  // namespace
}  // namespace fbc
