#include "export/plot_export.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <stdexcept>

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>

#include "platform/controls.h"
#include "platform/font_session.h"
#include "platform/number_text.h"
#include "platform/palette.h"
#include "platform/raster_surface.h"
#include "platform/recording_surface.h"
#include "platform/svg_export.h"
#include "platform/text.h"
#include "waveform/plot_geometry.h"
#include "waveform/waveform_stage.h"

namespace fbc {

namespace {

constexpr Placement kPic1 = kPic1Placement;
constexpr Placement kPic2 = kPic2Placement;
constexpr Placement kLbldiv1 = kLbldiv1Placement;
constexpr Placement kLbldiv2 = kLbldiv2Placement;
// A line beneath the scale captions (which fit on one line here), in line with lbldiv1, where
// the window hides it beneath Pic1.
constexpr Placement kLblpic1_1{kLbldiv1.left, kLbldiv1.top + kLbldiv1.height + 60,
                               kLblpic1_1Placement.width, kLblpic1_1Placement.height};

constexpr int kMarginPixels = 8;
constexpr int kOriginX = pixels(kPic1.left) - kMarginPixels;
constexpr int kOriginY = pixels(kPic1.top) - kMarginPixels;

constexpr int reportX(const Placement& p) { return pixels(p.left) - kOriginX; }
constexpr int reportY(const Placement& p) { return pixels(p.top) - kOriginY; }

static_assert(kPlotReportWidth == std::max(reportX(kPic2) + pixels(kPic2.width),
                                           reportX(kLbldiv2) + pixels(kLbldiv2.width)) +
                                      kMarginPixels);
static_assert(kPlotReportHeight == reportY(kLblpic1_1) + pixels(kLblpic1_1.height) + kMarginPixels);

// The window's label font.
constexpr char16_t kCaptionFontFamily[] = u"ＭＳ ゴシック";
constexpr double kCaptionPoints = 9.0;
constexpr double kPixelsPerPoint = 96.0 / 72.0;
// The faces that stand in for the label font in an SVG viewer.
constexpr const char* kSvgCaptionFonts =
    "'ＭＳ ゴシック', 'IPAGothic', 'Noto Sans Mono CJK JP', monospace";
// Ascent of the Japanese gothic faces as a share of the font size, as the plots' own text
// uses: the top of the text, not its baseline, lies at the label's top edge.
constexpr double kSvgAscent = 0.88;

constexpr Rgb kWhite = rgb(255, 255, 255);
// A one-pixel frame just outside each plot marks its edges on the white page, as the picture
// boxes stand out from the window.
constexpr Rgb kFrameGrey = rgb(128, 128, 128);

// The three labels the stage writes, in the order they are drawn.
struct StageLabels {
  Label lbldiv1;
  Label lbldiv2;
  Label lblpic1_1;
};

struct Caption {
  const Label* label;
  Placement placement;
};

std::array<Caption, 3> captions(const StageLabels& labels) {
  return {
      {{&labels.lbldiv1, kLbldiv1}, {&labels.lbldiv2, kLbldiv2}, {&labels.lblpic1_1, kLblpic1_1}}};
}

void runStage(const DesignState& state, const Value& m, Surface& pic1, Surface& pic2,
              StageLabels& labels) {
  Value pic1Value(static_cast<Object*>(&pic1));
  Value pic2Value(static_cast<Object*>(&pic2));
  runWaveformStage(state, m, pic1Value, pic2Value, labels.lblpic1_1, labels.lbldiv1,
                   labels.lbldiv2);
}

// A label's ForeColor as an RGB colour; the system colours stand for the default label text,
// which is black.
Rgb textColour(const Label& label) {
  const auto bits = static_cast<std::uint32_t>(label.foreColor());
  if ((bits & 0x80000000U) != 0) {
    return rgb(0, 0, 0);
  }
  return rgb(static_cast<int>(bits & 0xFFU), static_cast<int>((bits >> 8) & 0xFFU),
             static_cast<int>((bits >> 16) & 0xFFU));
}

std::string number(int value) { return std::to_string(value); }

// The outline a plot is clipped to, in the plot's own coordinates, as the picture box clips.
// Kept in <defs> so that renderers without clipping (SVG Tiny, such as Qt's) do not draw it.
std::string clipOutline(const char* id, const Placement& placement) {
  return "<clipPath id=\"" + std::string(id) + "-clip\"><rect x=\"0\" y=\"0\" width=\"" +
         number(pixels(placement.width)) + "\" height=\"" + number(pixels(placement.height)) +
         "\"/></clipPath>\n";
}

// One plot's document as a group of the report, moved to its place. A group rather than a
// nested <svg>, which SVG Tiny renderers do not draw.
std::string plotGroup(const std::string& document, const char* id, const Placement& placement) {
  const std::size_t root = document.find("<svg ");
  const std::size_t contentStart = document.find('>', root);
  const std::size_t contentEnd = document.rfind("</svg>");
  if (root == std::string::npos || contentStart == std::string::npos ||
      contentEnd == std::string::npos || contentEnd < contentStart) {
    throw std::logic_error("plot SVG without its root element");
  }
  return "<g id=\"" + std::string(id) + "\" transform=\"translate(" + number(reportX(placement)) +
         " " + number(reportY(placement)) + ")\" clip-path=\"url(#" + id + "-clip)\">" +
         document.substr(contentStart + 1, contentEnd - contentStart - 1) + "</g>\n";
}

// The stroke runs along the pixels just outside the plot.
std::string svgFrame(const Placement& plot) {
  return "<rect x=\"" + shortestRoundTrip(reportX(plot) - 0.5) + "\" y=\"" +
         shortestRoundTrip(reportY(plot) - 0.5) + "\" width=\"" + number(pixels(plot.width) + 1) +
         "\" height=\"" + number(pixels(plot.height) + 1) + "\" fill=\"none\" stroke=\"" +
         svgColour(kFrameGrey) + "\" stroke-width=\"1\"/>\n";
}

void paintFrame(QPainter& painter, const Placement& plot) {
  const QRectF inside(reportX(plot), reportY(plot), pixels(plot.width), pixels(plot.height));
  const QColor grey = QColor::fromRgb(static_cast<QRgb>(kFrameGrey));
  const QRectF outside = inside.adjusted(-1, -1, 1, 1);
  painter.fillRect(QRectF(outside.left(), outside.top(), outside.width(), 1), grey);
  painter.fillRect(QRectF(outside.left(), inside.bottom(), outside.width(), 1), grey);
  painter.fillRect(QRectF(outside.left(), inside.top(), 1, inside.height()), grey);
  painter.fillRect(QRectF(inside.right(), inside.top(), 1, inside.height()), grey);
}

std::string svgCaption(const Caption& caption) {
  const std::u16string& text = caption.label->caption();
  if (text.empty()) {
    return {};
  }
  const double size = kCaptionPoints * kPixelsPerPoint;
  return "<text x=\"" + number(reportX(caption.placement)) + "\" y=\"" +
         shortestRoundTrip(reportY(caption.placement) + size * kSvgAscent) + "\" font-family=\"" +
         escapeXml(kSvgCaptionFonts) + "\" font-size=\"" + shortestRoundTrip(size) + "\" fill=\"" +
         svgColour(textColour(*caption.label)) + "\" xml:space=\"preserve\">" +
         escapeXml(toUtf8(text)) + "</text>\n";
}

}  // namespace

QImage plotImage(const DesignState& state, const Value& m) {
  RasterSurface pic1(pixels(kPic1.width), pixels(kPic1.height), kPlotReportScale);
  RasterSurface pic2(pixels(kPic2.width), pixels(kPic2.height), kPlotReportScale);
  StageLabels labels;
  runStage(state, m, pic1, pic2, labels);

  QImage image(kPlotReportWidth * kPlotReportScale, kPlotReportHeight * kPlotReportScale,
               QImage::Format_RGB32);
  image.setDevicePixelRatio(kPlotReportScale);
  // 96 dpi, so that the captions' point size gives the window's pixel size, as on the plots.
  image.setDotsPerMeterX(pic1.image().dotsPerMeterX());
  image.setDotsPerMeterY(pic1.image().dotsPerMeterY());
  image.fill(QColor::fromRgb(static_cast<QRgb>(kWhite)));

  QPainter painter(&image);
  painter.drawImage(QPointF(reportX(kPic1), reportY(kPic1)), pic1.image());
  painter.drawImage(QPointF(reportX(kPic2), reportY(kPic2)), pic2.image());
  paintFrame(painter, kPic1);
  paintFrame(painter, kPic2);
  QFont font(QString::fromUtf16(kCaptionFontFamily));
  font.setPointSizeF(kCaptionPoints);
  painter.setFont(font);
  const QFontMetricsF metrics(font, &image);
  for (const Caption& caption : captions(labels)) {
    painter.setPen(QColor::fromRgb(static_cast<QRgb>(textColour(*caption.label))));
    painter.drawText(
        QPointF(reportX(caption.placement), reportY(caption.placement) + metrics.ascent()),
        QString::fromStdU16String(caption.label->caption()));
  }
  painter.end();
  return image;
}

std::string plotSvg(const DesignState& state, const Value& m) {
  RecordingSurface pic1(pixels(kPic1.width), pixels(kPic1.height));
  RecordingSurface pic2(pixels(kPic2.width), pixels(kPic2.height));
  StageLabels labels;
  runStage(state, m, pic1, pic2, labels);

  const std::string width = number(kPlotReportWidth);
  const std::string height = number(kPlotReportHeight);
  std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" +
         number(kPlotReportWidth * kPlotReportScale) + "\" height=\"" +
         number(kPlotReportHeight * kPlotReportScale) + "\" viewBox=\"0 0 " + width + " " + height +
         "\">\n";
  svg += "<rect x=\"0\" y=\"0\" width=\"" + width + "\" height=\"" + height + "\" fill=\"" +
         svgColour(kWhite) + "\"/>\n";
  svg += "<defs>\n" + clipOutline("Pic1", kPic1) + clipOutline("Pic2", kPic2) + "</defs>\n";
  svg += plotGroup(toSvg(pic1), "Pic1", kPic1);
  svg += plotGroup(toSvg(pic2), "Pic2", kPic2);
  svg += svgFrame(kPic1);
  svg += svgFrame(kPic2);
  for (const Caption& caption : captions(labels)) {
    svg += svgCaption(caption);
  }
  svg += "</svg>\n";
  return svg;
}

std::string plotFileBytes(const DesignState& state, const Value& m, PlotFormat format) {
  if (format == PlotFormat::Svg) {
    return plotSvg(state, m);
  }
  const FontSession fonts;
  QImage image = plotImage(state, m);
  // Viewers that honour the resolution show the picture at the window's size.
  image.setDotsPerMeterX(image.dotsPerMeterX() * kPlotReportScale);
  image.setDotsPerMeterY(image.dotsPerMeterY() * kPlotReportScale);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) {
    throw std::runtime_error("the PNG encoder failed");
  }
  return bytes.toStdString();
}

}  // namespace fbc
