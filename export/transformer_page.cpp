#include "export/transformer_page.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <utility>

#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QStringList>

#include "export/winding_texts.h"
#include "review/core_geometry.h"
#include "review/review_display.h"

namespace fbc {

namespace {

constexpr double kPointsPerMillimetre = 72.0 / 25.4;

// The diagram takes the left of the first section, the window the rest.
constexpr double kDiagramWidth = 216.0;
constexpr double kFiguresGap = 12.0;
constexpr double kCaptionHeight = 13.0;
// The coils' pitch: wide enough for a name beside each, narrow enough for nine on a side.
constexpr double kPitchMax = 44.0;
constexpr double kPitchMin = 28.0;
constexpr double kDiagramRoom = 210.0;
// The window's labels, and the most height the window is drawn at.
constexpr double kLabelColumn = 80.0;
constexpr double kLabelPitch = 10.0;
constexpr double kWindowHeightMax = 150.0;

// 一次, 一次(内側), 一次(外側), 二次2, 補助.
QString placeName(const WoundWinding& w) {
  QString name = windingNameJa(w.winding);
  if (w.half == WindingPlace::Part::InnerHalf) {
    name += QStringLiteral("(内側)");
  } else if (w.half == WindingPlace::Part::OuterHalf) {
    name += QStringLiteral("(外側)");
  }
  return name;
}

bool onPrimarySide(Winding winding) {
  return winding == Winding::Primary || winding == Winding::Bias;
}

// The windings on one side of the barrier, by their first pin: a split primary's halves meet
// at the tap.
std::vector<WoundWinding> side(const std::vector<WoundWinding>& windings, bool primary) {
  std::vector<WoundWinding> out;
  std::copy_if(windings.begin(), windings.end(), std::back_inserter(out),
               [primary](const WoundWinding& w) { return onPrimarySide(w.winding) == primary; });
  std::stable_sort(out.begin(), out.end(), [](const WoundWinding& a, const WoundWinding& b) {
    return a.startPin < b.startPin;
  });
  return out;
}

double pitchFor(std::size_t places) {
  return std::clamp(kDiagramRoom / static_cast<double>(std::max<std::size_t>(places, 1)), kPitchMin,
                    kPitchMax);
}

// "1.23 µH"-style figures as the review shows them.
QString shown(std::string_view name, double value) {
  const ReviewDisplay* display = reviewDisplay(name);
  return SheetCanvas::qs(reviewValueText(*display, value)) + QStringLiteral(" ") +
         SheetCanvas::qs(display->unitJa);
}

QString millimetres(double metres, int decimals) {
  return QString::number(metres * 1e3, 'f', decimals) + QStringLiteral(" mm");
}

// The construction as the page names it: the margin construction by its tape, and TIW.
QString constructionNameJaOnPage(Construction construction) {
  return construction == Construction::Tiw
             ? SheetCanvas::qs(constructionNameJa(construction)) + QStringLiteral(" (TIW)")
             : QStringLiteral("マージンテープ");
}

// A wire as it is bought: its insulation, and a foil's width, the breadth it is laid across.
QString wireToBuyText(const WireToBuy& w, double windingBreadth) {
  const QString text = wireDescriptionJa(w.wire);
  if (w.tripleInsulated) {
    return text + QStringLiteral("、三重絶縁線 (TIW)");
  }
  switch (w.wire.kind) {
    case WireKind::Foil:
      return text + QStringLiteral("、幅 %1、層間フィルム %2 mm")
                        .arg(millimetres(windingBreadth, 1), QString::number(kFoilFilm));
    case WireKind::Litz:
      return text + QStringLiteral("、素線はエナメル線 1種");
    case WireKind::Round:
    case WireKind::Strands:
      break;
  }
  return text + QStringLiteral("、エナメル線 1種");
}

QString windingsText(const std::vector<Winding>& windings) {
  QStringList names;
  for (const Winding w : windings) {
    names << windingNameJa(w);
  }
  return names.join(QStringLiteral("、"));
}

// One coil of a diagram's side, vertical, its humps towards the core.
struct Coil {
  QString label;
  int startPin = 0;
  int finishPin = 0;
  bool dotted = true;   // the winding starts here (not a split primary's outer half)
  bool joined = false;  // continues the coil above through a tap
  // The outputs' shared return: the coils whose starts share one pin are joined on a bus
  // between them and the core, the first of them leading to the pin.
  bool sharedStart = false;
  bool firstOfShared = false;
  bool lastOfShared = false;
};

// Where the parts of one side of the diagram stand.
struct SideGeometry {
  bool left = true;
  double pinX = 0;
  double coilX = 0;
  double labelLeft = 0;
  double labelRight = 0;
  double top = 0;
  double pitch = 0;
};

}  // namespace

TransformerPage::TransformerPage(QPainter& painter, const DesignSheetContent& content)
    : SheetCanvas(painter), content_(content) {
  if (content.review) {
    build_ = transformerBuild(*content.review);
  }
}

QString TransformerPage::title() { return QStringLiteral("トランス仕様書"); }

QString TransformerPage::subtitle() { return QStringLiteral("Transformer for the winding shop"); }

std::vector<std::function<double(double)>> TransformerPage::sections() {
  if (!present()) {
    return {};
  }
  return {[this](double y) { return figures(y); }, [this](double y) { return order(y); },
          [this](double y) { return tests(y); }, [this](double y) { return materials(y); }};
}

double TransformerPage::figures(double y) {
  y = heading(y, QStringLiteral("1"), QStringLiteral("電気図と巻線断面"),
              QStringLiteral("Electrical diagram; the bobbin's window to scale"));
  const QRectF diagramBox(kLeft, y, kDiagramWidth, 0.0);
  const QRectF windowBox(kLeft + kDiagramWidth + kFiguresGap, y,
                         kWidth - kDiagramWidth - kFiguresGap, 0.0);
  const double bottom = std::max(diagram(diagramBox), crossSection(windowBox));
  if (drawing()) {
    const double x = windowBox.left() - kFiguresGap / 2;
    rule(x, y, x, bottom, 0.3, kHairline);
  }
  rule(kLeft, bottom + 2.0, kRight, bottom + 2.0, 0.8, kRule);
  return bottom + 2.0;
}

namespace {

// A coil's start on the bus of a shared return, on the core's side of the coils, where it
// crosses no lead to a pin: a stub from the coil's start, the bus up to the coil above it on the
// bus (`above`), and a junction where a stub meets the bus or the first coil's lead.
void shared(QPainter& painter, const SideGeometry& g, double top, const Coil& c, double above) {
  constexpr double kJunction = 1.1;
  const double inward = g.left ? 1.0 : -1.0;
  const double busX = g.coilX + inward * 11.0;
  painter.drawLine(QPointF(g.coilX, top), QPointF(busX, top));
  if (!c.firstOfShared) {
    painter.drawLine(QPointF(busX, above), QPointF(busX, top));
  }
  painter.save();
  painter.setPen(Qt::NoPen);
  painter.setBrush(Qt::black);
  if (c.firstOfShared) {
    painter.drawEllipse(QPointF(g.coilX, top), kJunction, kJunction);
  } else if (!c.lastOfShared) {
    painter.drawEllipse(QPointF(busX, top), kJunction, kJunction);
  }
  painter.restore();
}

// Draws one side's coils, pins, names and dots.
void drawSide(QPainter& painter, const SideGeometry& g, const std::vector<Coil>& coils,
              const QFont& labelFont, const QFont& pinFont) {
  constexpr int kHumps = 4;
  constexpr double kPinRadius = 2.2;
  const double coilHeight = 0.66 * g.pitch;
  const double r = coilHeight / (2.0 * kHumps);
  const double outward = g.left ? -1.0 : 1.0;
  painter.setBrush(Qt::NoBrush);
  const QPen wire(Qt::black, 0.7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  const auto pin = [&](double y, int number) {
    painter.setPen(wire);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QPointF(g.pinX, y), kPinRadius, kPinRadius);
    painter.setBrush(Qt::NoBrush);
    painter.setFont(pinFont);
    const QRectF box = g.left ? QRectF(g.pinX - 22.0, y - 6.0, 18.0, 12.0)
                              : QRectF(g.pinX + 4.0, y - 6.0, 18.0, 12.0);
    const Qt::Alignment align = (g.left ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
    painter.drawText(box, static_cast<int>(align), QString::number(number));
  };
  double previousShared = 0;
  for (std::size_t i = 0; i < coils.size(); ++i) {
    const Coil& c = coils[i];
    const double top = g.top + static_cast<double>(i) * g.pitch + (g.pitch - coilHeight) / 2;
    const double bottom = top + coilHeight;
    painter.setPen(wire);
    for (int k = 0; k < kHumps; ++k) {
      const QRectF hump(g.coilX - r, top + 2.0 * r * k, 2.0 * r, 2.0 * r);
      painter.drawArc(hump, 90 * 16, static_cast<int>(outward * 180 * 16));
    }
    const bool tapBelow = i + 1 < coils.size() && coils[i + 1].joined;
    if (!tapBelow) {
      painter.drawLine(QPointF(g.coilX, bottom), QPointF(g.pinX, bottom));
      pin(bottom, c.finishPin);
    }
    if (c.sharedStart) {
      shared(painter, g, top, c, previousShared);
      previousShared = top;
    }
    if (c.sharedStart && !c.firstOfShared) {
      // Its start is on the bus, not on a pin of its own.
    } else if (c.joined) {
      // The tap: the coil above runs on into this one, the tap pin between them.
      const double above = top - (g.pitch - coilHeight);
      const double tap = (above + top) / 2;
      painter.drawLine(QPointF(g.coilX, above), QPointF(g.coilX, top));
      painter.drawLine(QPointF(g.coilX, tap), QPointF(g.pinX, tap));
      pin(tap, c.startPin);
    } else {
      painter.drawLine(QPointF(g.coilX, top), QPointF(g.pinX, top));
      pin(top, c.startPin);
    }
    if (c.dotted) {
      painter.setPen(Qt::NoPen);
      painter.setBrush(Qt::black);
      painter.drawEllipse(QPointF(g.coilX + outward * 5.0, top + 4.0), 1.7, 1.7);
      painter.setBrush(Qt::NoBrush);
    }
    painter.setPen(Qt::black);
    painter.setFont(labelFont);
    // Each name ends beside its coil, however long it runs towards the pins.
    const Qt::Alignment align = (g.left ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
    painter.drawText(QRectF(g.labelLeft, top, g.labelRight - g.labelLeft, coilHeight),
                     static_cast<int>(align | Qt::TextDontClip), c.label);
  }
}

std::vector<Coil> coilsOf(const std::vector<WoundWinding>& windings) {
  std::vector<Coil> coils;
  for (const WoundWinding& w : windings) {
    Coil c;
    c.label = placeName(w) + QStringLiteral(" %1T").arg(w.turns);
    c.startPin = w.startPin;
    c.finishPin = w.finishPin;
    c.dotted = w.half != WindingPlace::Part::OuterHalf;
    c.joined = !coils.empty() && coils.back().finishPin == w.startPin;
    coils.push_back(c);
  }
  for (std::size_t i = 0; i < coils.size(); ++i) {
    const auto same = [&](const Coil& other) {
      return &other != &coils[i] && !other.joined && other.startPin == coils[i].startPin;
    };
    if (coils[i].joined || std::none_of(coils.begin(), coils.end(), same)) {
      continue;
    }
    coils[i].sharedStart = true;
    coils[i].firstOfShared =
        std::none_of(coils.begin(), coils.begin() + static_cast<long>(i), same);
    coils[i].lastOfShared =
        std::none_of(coils.begin() + static_cast<long>(i) + 1, coils.end(), same);
  }
  return coils;
}

}  // namespace

double TransformerPage::diagram(const QRectF& box) {
  const std::vector<WoundWinding> primary = side(build_->windings, true);
  const std::vector<WoundWinding> secondary = side(build_->windings, false);
  const std::size_t places = std::max(primary.size(), secondary.size());
  const double pitch = pitchFor(places);
  const double sidesTop = box.top() + kCaptionHeight;
  const double coilsTop = sidesTop + 12.0;
  const bool commonReturn = content_.review->pins.commonReturn;
  const double coilsBottom = coilsTop + static_cast<double>(places) * pitch + 4.0;
  const double bottom = coilsBottom + (commonReturn ? 12.0 : 0.0);
  if (!drawing()) {
    return bottom;
  }
  const QFont captionFont = font(kProportional, 8.0);
  text(QRectF(box.left(), box.top(), box.width(), kCaptionHeight), Qt::AlignLeft | Qt::AlignVCenter,
       captionFont, QStringLiteral("電気図 (● 巻き始め、ピン番号)"));
  const double middle = box.center().x();
  const QFont sideFont = font(kProportional, 7.5);
  text(QRectF(box.left(), sidesTop, middle - box.left() - 6.0, 12.0),
       Qt::AlignLeft | Qt::AlignVCenter, sideFont, QStringLiteral("一次側"), kFaint);
  text(QRectF(middle + 6.0, sidesTop, box.right() - middle - 6.0, 12.0),
       Qt::AlignRight | Qt::AlignVCenter, sideFont, QStringLiteral("二次側"), kFaint);
  if (commonReturn) {
    // The outputs' starts on one pin, said in words under the bus that joins them.
    text(QRectF(middle + 10.0, coilsBottom, box.right() - middle - 10.0, 12.0),
         Qt::AlignLeft | Qt::AlignVCenter, sideFont,
         QStringLiteral("出力の巻き始めは共通のピン %1").arg(secondary.front().startPin), kFaint);
  }
  // The core between the sides and the barrier through it.
  const double coreTop = coilsTop + 2.0;
  const double coreBottom = coilsBottom - 6.0;
  rule(middle - 4.0, coreTop, middle - 4.0, coreBottom, 0.8, kRule);
  rule(middle + 4.0, coreTop, middle + 4.0, coreBottom, 0.8, kRule);
  QPainter& p = painter();
  p.setPen(QPen(kInk, 0.6, Qt::DashLine, Qt::FlatCap));
  p.drawLine(QPointF(middle, sidesTop + 12.0), QPointF(middle, bottom));
  text(QRectF(middle - 40.0, sidesTop, 80.0, 12.0), Qt::AlignCenter, sideFont,
       SheetCanvas::qs(insulationNameJa(build_->tests.isolation.insulation)));

  constexpr double kPinInset = 24.0;
  constexpr double kCoilInset = 24.0;
  const QFont labelFont = font(kProportional, 7.5);
  const QFont pinFont = font(kFixed, 7.5);
  SideGeometry left{true,
                    box.left() + kPinInset,
                    middle - kCoilInset,
                    box.left() + kPinInset + 4.0,
                    middle - kCoilInset - 10.0,
                    coilsTop,
                    pitch};
  SideGeometry right{false,
                     box.right() - kPinInset,
                     middle + kCoilInset,
                     middle + kCoilInset + 10.0,
                     box.right() - kPinInset - 4.0,
                     coilsTop,
                     pitch};
  drawSide(p, left, coilsOf(primary), labelFont, pinFont);
  drawSide(p, right, coilsOf(secondary), labelFont, pinFont);
  return bottom;
}

namespace {

// Diagonal hatching over `box`: the margin tape at a winding's end.
void hatch(QPainter& painter, const QRectF& box) {
  if (box.width() <= 0.0 || box.height() <= 0.0) {
    return;
  }
  constexpr double kStep = 2.0;
  painter.save();
  painter.setClipRect(box, Qt::IntersectClip);
  painter.setPen(QPen(Qt::black, 0.3, Qt::SolidLine, Qt::FlatCap));
  for (double x = box.left() - box.height(); x < box.right(); x += kStep) {
    painter.drawLine(QPointF(x, box.bottom()), QPointF(x + box.height(), box.top()));
  }
  painter.restore();
  painter.setPen(QPen(Qt::black, 0.3));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(box);
}

// Labels at `wanted` (from the bottom up, each at least `pitch` above the one below), kept
// within [top, bottom] where they can be.
std::vector<double> spread(const std::vector<double>& wanted, double top, double bottom,
                           double pitch) {
  std::vector<double> at = wanted;
  for (std::size_t i = 0; i < at.size(); ++i) {
    at[i] = std::min(at[i], i == 0 ? bottom : at[i - 1] - pitch);
  }
  for (std::size_t i = at.size(); i-- > 0;) {
    at[i] = std::max(at[i], i + 1 == at.size() ? top : at[i + 1] + pitch);
  }
  return at;
}

}  // namespace

double TransformerPage::crossSection(const QRectF& box) {
  const TransformerBuild& b = *build_;
  const double highest = std::max(b.bobbinBuild, b.buildTotal);
  const double windowWidth = box.width() - kLabelColumn - 12.0;
  const double scale = std::min(windowWidth / (b.bobbinBreadth * 1e3),
                                kWindowHeightMax / (highest * 1e3));  // points per mm
  const double drawnHeight = highest * 1e3 * scale;
  const auto count = static_cast<double>(b.windings.size());
  const double labelsHeight = count * kLabelPitch;
  const double areaTop = box.top() + kCaptionHeight + 4.0;
  const double area = std::max(drawnHeight, labelsHeight);
  const double base = areaTop + area;  // the bobbin's inner wall, on the centre leg
  const double bottom = base + 4.0 + 2 * 12.0;
  if (!drawing()) {
    return bottom;
  }
  const QFont captionFont = font(kProportional, 8.0);
  legend(QPointF(box.left() + 6.0, base + 4.0 + 12.0), build_->windings.front().margin > 0.0);
  text(QRectF(box.left(), box.top(), box.width(), kCaptionHeight), Qt::AlignLeft | Qt::AlignVCenter,
       captionFont,
       QStringLiteral("巻線断面 (尺度 %1 : 1、下が中脚側%2)")
           .arg(QString::number(scale / kPointsPerMillimetre, 'f', 1),
                b.buildTotal > b.bobbinBuild ? QStringLiteral("、巻線がボビンの高さを超える")
                                             : QString()));
  QPainter& p = painter();
  const double left = box.left() + 6.0;
  const double breadth = b.bobbinBreadth * 1e3 * scale;
  const double wound = b.windingBreadth * 1e3 * scale;
  const double woundLeft = left + (breadth - wound) / 2;
  const auto yAt = [base, scale](double metres) { return base - metres * 1e3 * scale; };

  std::vector<double> centres;
  double h = 0;
  bool shade = false;
  for (const WoundWinding& w : b.windings) {
    const QRectF band(woundLeft, yAt(h + w.build), wound, w.build * 1e3 * scale);
    p.fillRect(band, shade ? QColor(200, 200, 200) : QColor(232, 232, 232));
    shade = !shade;
    // The layers, where they stand apart on the page.
    const double layer = band.height() / std::max(w.layers, 1);
    if (layer >= 1.5) {
      p.setPen(QPen(kHairline, 0.25));
      for (int k = 1; k < w.layers; ++k) {
        p.drawLine(QPointF(band.left(), band.bottom() - k * layer),
                   QPointF(band.right(), band.bottom() - k * layer));
      }
    }
    p.setPen(QPen(kInk, 0.3));
    p.setBrush(Qt::NoBrush);
    p.drawRect(band);
    const double margin = w.margin * 1e3 * scale;
    if (margin > 0.0) {
      hatch(p, QRectF(left, band.top(), margin, band.height()));
      hatch(p, QRectF(left + breadth - margin, band.top(), margin, band.height()));
    }
    centres.push_back(band.center().y());
    h += w.build;
    // The tape over it, a line a layer, across the whole breadth.
    p.setPen(QPen(kInk, std::min(0.35, std::max(0.15, w.tapeLayer * 1e3 * scale))));
    for (int k = 0; k < w.tapeLayers; ++k) {
      const double y = yAt(h + (k + 0.5) * w.tapeLayer);
      p.drawLine(QPointF(left, y), QPointF(left + breadth, y));
    }
    h += w.tapeLayers * w.tapeLayer;
  }
  // The window: the bobbin's flanges and the inner wall on the centre leg.
  const double top = yAt(b.bobbinBuild);
  rule(left, top, left, base, 1.0, kRule);
  rule(left + breadth, top, left + breadth, base, 1.0, kRule);
  rule(left, top, left + breadth, top, 0.4, kRule);
  rule(left - 3.0, base, left + breadth + 3.0, base, 1.6, kRule);

  // Each winding's name at the right, a leader to its band.
  const double labelLeft = box.right() - kLabelColumn + 6.0;
  const std::vector<double> at =
      spread(centres, areaTop + kLabelPitch / 2, base - kLabelPitch / 2, kLabelPitch);
  const QFont labelFont = font(kProportional, 7.5);
  for (std::size_t i = 0; i < at.size(); ++i) {
    const WoundWinding& w = b.windings[i];
    p.setPen(QPen(kInk, 0.3));
    p.drawLine(QPointF(woundLeft + wound - 4.0, centres[i]), QPointF(labelLeft - 3.0, at[i]));
    text(QRectF(labelLeft, at[i] - kLabelPitch / 2, kLabelColumn - 6.0, kLabelPitch),
         Qt::AlignLeft | Qt::AlignVCenter, labelFont,
         placeName(w) + QStringLiteral(" %1T").arg(w.turns));
  }
  const QString dimensions =
      QStringLiteral("bw %1 × hw %2、巻幅 %3")
          .arg(millimetres(b.bobbinBreadth, 2), millimetres(b.bobbinBuild, 2),
               millimetres(b.windingBreadth, 2));
  text(QRectF(left, base + 4.0, box.right() - left, 12.0), Qt::AlignLeft | Qt::AlignVCenter,
       font(kFixed, 7.5), dimensions);
  return bottom;
}

void TransformerPage::legend(const QPointF& at, bool margins) {
  constexpr double kKey = 7.0;
  constexpr double kItem = 62.0;
  const QFont f = font(kProportional, 7.5);
  QPainter& p = painter();
  double x = at.x();
  const auto item = [&](const QString& caption) {
    text(QRectF(x + kKey + 3.0, at.y(), kItem - kKey - 3.0, 12.0), Qt::AlignLeft | Qt::AlignVCenter,
         f, caption);
    x += kItem;
  };
  const QRectF key(x, at.y() + (12.0 - kKey) / 2, kKey, kKey);
  p.fillRect(key, QColor(200, 200, 200));
  p.setPen(QPen(kInk, 0.3));
  p.setBrush(Qt::NoBrush);
  p.drawRect(key);
  item(QStringLiteral("巻線"));
  p.setPen(QPen(kInk, 0.35));
  p.drawLine(QPointF(x, at.y() + 6.0), QPointF(x + kKey, at.y() + 6.0));
  item(QStringLiteral("テープ"));
  if (margins) {
    hatch(p, QRectF(x, at.y() + (12.0 - kKey) / 2, kKey, kKey));
    item(QStringLiteral("マージンテープ"));
  }
}

double TransformerPage::order(double y) {
  y = heading(y, QStringLiteral("2"), QStringLiteral("巻線順序"),
              QStringLiteral("Winding order from the centre leg out"));
  const std::vector<Column> columns{
      {0.04, Qt::AlignRight}, {0.12, Qt::AlignLeft},  {0.09, Qt::AlignCenter},
      {0.07, Qt::AlignRight}, {0.24, Qt::AlignLeft},  {0.13, Qt::AlignRight},
      {0.14, Qt::AlignRight}, {0.17, Qt::AlignRight},
  };
  const std::vector<QString> header{
      QStringLiteral("順"),
      QStringLiteral("巻線"),
      QStringLiteral("端子"),
      QStringLiteral("巻数"),
      QStringLiteral("線材"),
      QStringLiteral("層数 × 1層"),
      QStringLiteral("マージン(両端)"),
      QStringLiteral("上に巻くテープ"),
  };
  std::vector<std::vector<QString>> rows;
  int place = 0;
  for (const WoundWinding& w : build_->windings) {
    QString wire = wireDescriptionJa(w.wire);
    if (w.tripleInsulated) {
      wire += QStringLiteral(" TIW");
    }
    if (!w.wireChosen) {
      wire += QStringLiteral(" (指定)");
    }
    rows.push_back({QString::number(++place), placeName(w), qs(pinsText(w)),
                    QStringLiteral("%1 T").arg(w.turns), wire,
                    QStringLiteral("%1 層 × %2 T").arg(w.layers).arg(w.turnsPerLayer),
                    qs(marginText(w.margin)), qs(tapeText(w.tapeLayers, w.tapeLayer))});
  }
  y = table(y, columns, header, rows);
  const TransformerBuild& b = *build_;
  return note(y,
              QStringLiteral(
                  "各巻線は ● の端子から、すべて同じ向きに巻く。高さ計(テープ込) %1 / ボビン %2。")
                  .arg(millimetres(b.buildTotal, 2), millimetres(b.bobbinBuild, 2)));
}

double TransformerPage::tests(double y) {
  y = heading(y, QStringLiteral("3"), QStringLiteral("電気的仕様"),
              QStringLiteral("Inductance, gap, leakage and the electric strength test"));
  const TransformerTests& t = build_->tests;
  const Isolation& iso = t.isolation;
  const QString primaryPins =
      QStringLiteral("端子 %1–%2 間").arg(t.primaryStart).arg(t.primaryFinish);
  std::vector<Field> fields{
      {QStringLiteral("一次インダクタンス"),
       QStringLiteral("%1  %2 ±%3 % (%4 kHz、他の巻線は開放)")
           .arg(primaryPins, shown("LpRef", t.inductance),
                QString::number(t.inductanceTolerance * 100.0, 'f', 0),
                QString::number(t.frequency * 1e-3, 'g', 4))},
      {QStringLiteral("ギャップ / AL値"), QStringLiteral("中脚に %1 研削、または AL %2 ±%3 %")
                                              .arg(shown("gap", t.gap), shown("AL", t.AL),
                                                   QString::number(t.alTolerance * 100.0, 'f', 0))},
      {QStringLiteral("漏れインダクタンス"),
       t.leakageMax
           ? QStringLiteral("%1  %2 以下 (二次側の巻線をすべて短絡、推定値 %3 の %4 倍)")
                 .arg(primaryPins, shown("Llk", *t.leakageMax), shown("Llk", t.leakageEstimate),
                      QString::number(kLeakageAllowance, 'g', 3))
           : QStringLiteral("— (") + leakageNotEstimatedJa() + QStringLiteral(")")},
  };
  if (iso.hipotPeak && iso.hipotAC) {
    fields.push_back(
        {QStringLiteral("耐電圧試験"),
         QStringLiteral("%1 V ピーク (直流可)、または慣例の %2 VAC %3 秒")
             .arg(QString::number(*iso.hipotPeak, 'f', 0), QString::number(*iso.hipotAC, 'f', 0),
                  QString::number(iso.hipotSeconds, 'f', 0))});
    fields.push_back({QStringLiteral("試験する端子"),
                      QStringLiteral("一次側 %1 (一括) と 二次側 %2 (一括) の間")
                          .arg(qs(pinSpanText(t.primarySide)), qs(pinSpanText(t.secondarySide)))});
  } else {
    fields.push_back(
        {QStringLiteral("耐電圧試験"), QStringLiteral("機能絶縁のため、耐電圧試験は適用しません")});
  }
  const bool mains = content_.supply.kind == InputSupply::Kind::Ac;
  const QString origin = iso.workingVoltageGiven ? QStringLiteral("指定")
                         : mains                 ? QStringLiteral("商用入力の最高実効値")
                                                 : QStringLiteral("最大直流入力");
  fields.push_back({QStringLiteral("絶縁 / 構造"),
                    SheetCanvas::qs(insulationNameJa(iso.insulation)) + QStringLiteral(" / ") +
                        constructionNameJaOnPage(iso.construction) +
                        QStringLiteral("、動作電圧 %1 V (%2)")
                            .arg(QString::number(iso.workingVoltage, 'f', 0), origin)});
  fields.push_back({QStringLiteral("沿面距離 / 空間距離"),
                    iso.creepage && iso.clearance
                        ? millimetres(*iso.creepage, 1) + QStringLiteral(" / ") +
                              millimetres(*iso.clearance, 1) +
                              QStringLiteral(" 以上 (IEC 62368-1、汚損度 2)")
                        : QStringLiteral("— (機能絶縁)")});
  std::vector<std::vector<QString>> rows;
  rows.reserve(fields.size());
  for (Field& f : fields) {
    rows.push_back({std::move(f.caption), std::move(f.value)});
  }
  return table(y, {{0.2, Qt::AlignLeft}, {0.8, Qt::AlignLeft}}, {}, rows, kReviewRowHeight);
}

double TransformerPage::materials(double y) {
  y = heading(y, QStringLiteral("4"), QStringLiteral("材料"), QStringLiteral("Materials"));
  const TransformerBuild& b = *build_;
  const DesignReview& review = *content_.review;
  const std::vector<Column> columns{
      {0.14, Qt::AlignLeft}, {0.52, Qt::AlignLeft}, {0.34, Qt::AlignLeft}};
  const std::vector<QString> header{QStringLiteral("品目"), QStringLiteral("品名・寸法"),
                                    QStringLiteral("使う所")};
  const CoreGeometry* geometry = coreGeometryFor(content_.state);
  const QString core = geometry != nullptr ? qs(geometry->name) : qs(content_.inputs.core);
  std::vector<std::vector<QString>> rows{
      {QStringLiteral("コア"),
       core + QStringLiteral("、材質 ") + qs(std::string_view(review.losses.material)),
       QStringLiteral("1 組 (中脚にギャップ)")},
      {QStringLiteral("ボビン"),
       core + QStringLiteral(" 用、一次側 %1 ピン・二次側 %2 ピン")
                  .arg(review.pins.counts.primarySide)
                  .arg(review.pins.counts.secondarySide),
       QStringLiteral("1 個")},
  };
  for (const WireToBuy& wire : b.wires) {
    rows.push_back({QStringLiteral("電線"), wireToBuyText(wire, b.windingBreadth),
                    windingsText(wire.windings)});
  }
  const Isolation& iso = b.tests.isolation;
  rows.push_back({QStringLiteral("テープ"),
                  QStringLiteral("ポリエステル、幅 %1、厚さ %2")
                      .arg(millimetres(b.bobbinBreadth, 1), millimetres(iso.tapeLayer, 2)),
                  QStringLiteral("巻線の間に %1 層").arg(iso.tapeLayersPS)});
  if (iso.margin > 0.0) {
    rows.push_back({QStringLiteral("マージンテープ"),
                    QStringLiteral("ポリエステル、幅 %1、巻線の高さまで重ねる")
                        .arg(millimetres(iso.margin, 1)),
                    QStringLiteral("各巻線の両端")});
  }
  rows.push_back({QStringLiteral("ワニス"), QStringLiteral("含浸ワニス (浸漬、乾燥)"),
                  QStringLiteral("仕上げ")});
  return table(y, columns, header, rows, kReviewRowHeight);
}

}  // namespace fbc
