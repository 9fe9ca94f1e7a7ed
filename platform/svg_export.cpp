#include "svg_export.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

#include "pixel_grid.h"
#include "text.h"

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

class SvgReplay {
 public:
  SvgReplay(const RecordingSurface& surface, const SvgOptions& options)
      : width_(surface.pixelWidth()),
        height_(surface.pixelHeight()),
        options_(options),
        state_(surface.startState()) {}

  void apply(const SurfaceOp& op) {
    using Type = SurfaceOp::Type;
    switch (op.type) {
      case Type::ScaleWidth:
        state_.scaleWidth = static_cast<float>(op.x1);
        break;
      case Type::ScaleHeight:
        state_.scaleHeight = static_cast<float>(op.x1);
        break;
      case Type::DrawWidth:
        state_.drawWidth = static_cast<int>(op.x1);
        break;
      case Type::CurrentX:
        state_.currentX = static_cast<float>(op.x1);
        break;
      case Type::CurrentY:
        state_.currentY = static_cast<float>(op.x1);
        break;
      case Type::FontSize:
        state_.fontSize = op.x1;
        break;
      case Type::Line:
        line(op);
        break;
      case Type::PSet:
        point(op);
        break;
      case Type::Print:
        text(op);
        break;
      case Type::Cls:
        body_.clear();
        break;
    }
  }

  std::string document() const {
    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" +
           std::to_string(width_) + "\" height=\"" + std::to_string(height_) + "\" viewBox=\"0 0 " +
           std::to_string(width_) + " " + std::to_string(height_) + "\">\n";
    svg += "<rect x=\"0\" y=\"0\" width=\"" + std::to_string(width_) + "\" height=\"" +
           std::to_string(height_) + "\" fill=\"" + svgColour(options_.background) + "\"/>\n";
    svg += "<g shape-rendering=\"crispEdges\">\n";
    svg += body_;
    svg += "</g>\n</svg>\n";
    return svg;
  }

 private:
  double pixelX(double x) const { return x * width_ / state_.scaleWidth; }
  double pixelY(double y) const { return y * height_ / state_.scaleHeight; }

  void square(double left, double top, int size, Rgb colour) {
    if (left >= width_ || top >= height_ || left + size <= 0 || top + size <= 0) {
      return;
    }
    body_ += "<rect x=\"" + number(left) + "\" y=\"" + number(top) + "\" width=\"" +
             std::to_string(size) + "\" height=\"" + std::to_string(size) + "\" fill=\"" +
             svgColour(colour) + "\"/>\n";
  }

  void point(const SurfaceOp& op) {
    const double x = pixelX(op.x1);
    const double y = pixelY(op.y1);
    if (!std::isfinite(x) || !std::isfinite(y)) {
      return;
    }
    const int size = penSize(op.width, 1.0);
    square(penStart(x, size, 1.0), penStart(y, size, 1.0), size, op.colour);
  }

  void line(const SurfaceOp& op) {
    double ax = pixelX(op.x1);
    double ay = pixelY(op.y1);
    double bx = pixelX(op.x2);
    double by = pixelY(op.y2);
    if (!std::isfinite(ax) || !std::isfinite(ay) || !std::isfinite(bx) || !std::isfinite(by)) {
      return;
    }
    const int size = penSize(op.width, 1.0);
    const double margin = size + 2.0;
    if (!clipSegment(ax, ay, bx, by, -margin, -margin, width_ + margin, height_ + margin)) {
      return;
    }
    const double startX = penCentre(ax, size, 1.0);
    const double startY = penCentre(ay, size, 1.0);
    const double endX = penCentre(bx, size, 1.0);
    const double endY = penCentre(by, size, 1.0);
    if (startX == endX && startY == endY) {
      square(startX - size / 2.0, startY - size / 2.0, size, op.colour);
      return;
    }
    body_ += "<line x1=\"" + number(startX) + "\" y1=\"" + number(startY) + "\" x2=\"" +
             number(endX) + "\" y2=\"" + number(endY) + "\" stroke=\"" + svgColour(op.colour) +
             "\" stroke-width=\"" + std::to_string(size) + "\" stroke-linecap=\"square\"/>\n";
  }

  void text(const SurfaceOp& op) {
    const double left = pixelX(op.x1);
    const double top = pixelY(op.y1);
    if (op.text.empty() || !std::isfinite(left) || !std::isfinite(top)) {
      return;
    }
    const double size = state_.fontSize * kPixelsPerPoint;
    body_ += "<text x=\"" + number(left) + "\" y=\"" + number(top + size * kAscent) +
             "\" font-family=\"" + escapeXml(options_.fontFamily) + "\" font-size=\"" +
             number(size) + "\" fill=\"" + svgColour(options_.foreground) +
             "\" xml:space=\"preserve\">" + escapeXml(toUtf8(op.text)) + "</text>\n";
  }

  int width_;
  int height_;
  const SvgOptions& options_;
  SurfaceState state_;
  std::string body_;
};

}  // namespace

std::string toSvg(const RecordingSurface& surface, const SvgOptions& options) {
  SvgReplay replay(surface, options);
  for (const SurfaceOp& op : surface.operations()) {
    replay.apply(op);
  }
  return replay.document();
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
