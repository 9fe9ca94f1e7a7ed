#include "svg_export.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

#include "text.h"
#include "vector_replay.h"

namespace fbc {

namespace {

constexpr double kPixelsPerPoint = 96.0 / 72.0;
// Ascent of the Japanese gothic faces, as a share of the font size: puts the top of the text,
// not its baseline, at the print position.
constexpr double kAscent = 0.88;

std::string number(double value) {
  std::array<char, 64> buffer{};
  const double rounded = std::round(value * 1000.0) / 1000.0;
  auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(),
                                    rounded == 0.0 ? 0.0 : rounded, std::chars_format::fixed, 3);
  std::string text(buffer.data(), error == std::errc() ? end : buffer.data());
  if (text.find('.') != std::string::npos) {
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') {
      text.pop_back();
    }
  }
  return text;
}

// Writes each shape of the replay as an SVG element.
class SvgShapes : public VectorSink {
 public:
  explicit SvgShapes(const SvgOptions& options) : options_(options) {}

  void square(double left, double top, int size, Rgb colour) override {
    body_ += "<rect x=\"" + number(left) + "\" y=\"" + number(top) + "\" width=\"" +
             std::to_string(size) + "\" height=\"" + std::to_string(size) + "\" fill=\"" +
             svgColour(colour) + "\"/>\n";
  }

  void line(double x1, double y1, double x2, double y2, int width, Rgb colour) override {
    body_ += "<line x1=\"" + number(x1) + "\" y1=\"" + number(y1) + "\" x2=\"" + number(x2) +
             "\" y2=\"" + number(y2) + "\" stroke=\"" + svgColour(colour) + "\" stroke-width=\"" +
             std::to_string(width) + "\" stroke-linecap=\"square\"/>\n";
  }

  void text(double left, double top, double fontPoints, std::u16string_view text) override {
    const double size = fontPoints * kPixelsPerPoint;
    body_ += "<text x=\"" + number(left) + "\" y=\"" + number(top + size * kAscent) +
             "\" font-family=\"" + escapeXml(options_.fontFamily) + "\" font-size=\"" +
             number(size) + "\" fill=\"" + svgColour(options_.foreground) +
             "\" xml:space=\"preserve\">" + escapeXml(toUtf8(text)) + "</text>\n";
  }

  const std::string& body() const { return body_; }

 private:
  const SvgOptions& options_;
  std::string body_;
};

}  // namespace

std::string toSvg(const RecordingSurface& surface, const SvgOptions& options) {
  SvgShapes shapes(options);
  replayRecording(surface, shapes);
  const std::string width = std::to_string(surface.pixelWidth());
  const std::string height = std::to_string(surface.pixelHeight());
  std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" + width +
         "\" height=\"" + height + "\" viewBox=\"0 0 " + width + " " + height + "\">\n";
  svg += "<rect x=\"0\" y=\"0\" width=\"" + width + "\" height=\"" + height + "\" fill=\"" +
         svgColour(options.background) + "\"/>\n";
  svg += "<g shape-rendering=\"crispEdges\">\n";
  svg += shapes.body();
  svg += "</g>\n</svg>\n";
  return svg;
}

std::string svgColour(Rgb colour) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text = "#";
  for (int shift = 20; shift >= 0; shift -= 4) {
    text += kDigits[(colour >> shift) & 0xFU];
  }
  return text;
}

std::string escapeXml(std::string_view utf8) {
  std::string out;
  for (const char c : utf8) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        // Control characters are not allowed in XML text.
        out += (static_cast<unsigned char>(c) < 0x20 && c != '\t') ? ' ' : c;
    }
  }
  return out;
}

}  // namespace fbc
