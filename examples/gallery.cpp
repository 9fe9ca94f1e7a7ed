// Draws every grid and trace procedure of the drawing library with typical arguments on raster
// surfaces and writes one PNG sheet per procedure family into the folder given on the command
// line:
//
//   gallery <folder>
//
// Exits with 1 when a procedure raises a run-time error or a sheet cannot be written, with 2
// on a wrong command line.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <iostream>
#include <memory>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

#include <QColor>
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QStringList>

#include "chartlib/macro_library.h"
#include "platform/controls.h"
#include "platform/errors.h"
#include "platform/raster_surface.h"
#include "platform/text.h"

namespace {

using fbc::Value;
namespace macro = fbc::macro;

Value i16(int v) { return Value(static_cast<std::int16_t>(v)); }

constexpr double kPi = std::numbers::pi;

// Palette indices used for the traces.
constexpr int kRed = 12;
constexpr int kBlue = 9;
constexpr int kGreen = 2;
constexpr int kMagenta = 5;

// A sheet of titled pictures, written as one PNG.
class Sheet {
 public:
  Sheet(QString fileName, int columns) : fileName_(std::move(fileName)), columns_(columns) {}

  fbc::RasterSurface& add(const QString& title, int width = 360, int height = 240) {
    tiles_.push_back({title, std::make_unique<fbc::RasterSurface>(width, height)});
    return *tiles_.back().surface;
  }

  bool save(const QDir& folder) const {
    constexpr int kMargin = 12;
    constexpr int kTitleHeight = 22;
    int cellWidth = 0;
    int cellHeight = 0;
    for (const Tile& tile : tiles_) {
      cellWidth = std::max(cellWidth, tile.surface->pixelWidth());
      cellHeight = std::max(cellHeight, tile.surface->pixelHeight());
    }
    const int count = static_cast<int>(tiles_.size());
    const int rows = (count + columns_ - 1) / columns_;
    const int columns = std::min(columns_, count);
    QImage sheet(kMargin + columns * (cellWidth + kMargin),
                 kMargin + rows * (kTitleHeight + cellHeight + kMargin), QImage::Format_RGB32);
    sheet.fill(QColor(236, 236, 236));

    QPainter painter(&sheet);
    QFont titleFont(QStringLiteral("DejaVu Sans"));
    titleFont.setPixelSize(13);
    painter.setFont(titleFont);
    for (int k = 0; k < count; ++k) {
      const Tile& tile = tiles_[static_cast<std::size_t>(k)];
      const int left = kMargin + (k % columns) * (cellWidth + kMargin);
      const int top = kMargin + (k / columns) * (kTitleHeight + cellHeight + kMargin);
      painter.setPen(Qt::black);
      painter.drawText(left, top, cellWidth, kTitleHeight, Qt::AlignLeft | Qt::AlignVCenter,
                       tile.title);
      const QImage& picture = tile.surface->image();
      painter.drawImage(
          QRect(left, top + kTitleHeight, tile.surface->pixelWidth(), tile.surface->pixelHeight()),
          picture);
      painter.setPen(QColor(96, 96, 96));
      painter.drawRect(left - 1, top + kTitleHeight - 1, tile.surface->pixelWidth() + 1,
                       tile.surface->pixelHeight() + 1);
    }
    painter.end();

    const QString path = folder.filePath(fileName_);
    if (!sheet.save(path, "PNG")) {
      std::cerr << "gallery: cannot write " << path.toStdString() << '\n';
      return false;
    }
    std::cout << path.toStdString() << '\n';
    return true;
  }

 private:
  struct Tile {
    QString title;
    std::unique_ptr<fbc::RasterSurface> surface;
  };

  QString fileName_;
  int columns_;
  std::vector<Tile> tiles_;
};

// Calls `sample(t)` for t = 0, step, ... up to `end`, the way a caller's time loop would.
void forEachSample(double end, int steps, const std::function<void(double t)>& sample) {
  for (int k = 0; k <= steps; ++k) {
    sample(end * k / steps);
  }
}

void drawLinearGrids(Sheet& sheet) {
  {
    Value pic(sheet.add(QStringLiteral("Grid05  W=10 H=100")));
    Value w = i16(10);
    Value h = i16(100);
    Value xname(u"ms");
    Value yname(u"V");
    macro::Grid05(pic, w, h, xname, yname);
  }
  {
    Value pic(sheet.add(QStringLiteral("Grid05B  W=0.002 H=100 Xnum=4 Ynum=4")));
    Value w(0.002);
    Value h = i16(100);
    Value xname(u"s");
    Value yname(u"V");
    Value xnum = i16(4);
    Value ynum = i16(4);
    macro::Grid05B(pic, w, h, xname, yname, xnum, ynum);
  }
  {
    Value pic(sheet.add(QStringLiteral("Grid05N  W=10 H=100 Xnum=8 Ynum=10")));
    Value w = i16(10);
    Value h = i16(100);
    Value xnum = i16(8);
    Value ynum = i16(10);
    macro::Grid05N(pic, w, h, xnum, ynum);
  }
  {
    Value pic(sheet.add(QStringLiteral("Grid00  W=10 H=100")));
    Value w = i16(10);
    Value h = i16(100);
    Value xname(u"ms");
    Value yname(u"A");
    macro::Grid00(pic, w, h, xname, yname);
  }
  {
    Value pic(sheet.add(QStringLiteral("Grid00B  W=10 H=100 Xnum=4 Ynum=5")));
    Value w = i16(10);
    Value h = i16(100);
    Value xname(u"ms");
    Value yname(u"A");
    Value xnum = i16(4);
    Value ynum = i16(5);
    macro::Grid00B(pic, w, h, xname, yname, xnum, ynum);
  }
  {
    Value pic(sheet.add(QStringLiteral("Grid00C  W=40us H=100 Xnum=8 Ynum=4")));
    Value w(40e-6);
    Value h = i16(100);
    Value xnum = i16(8);
    Value ynum = i16(4);
    macro::Grid00C(pic, w, h, xnum, ynum);
  }
  {
    Value pic(sheet.add(QStringLiteral("Grid01D  W=10 H=100 Ynum=4")));
    Value w = i16(10);
    Value h = i16(100);
    Value xname(u"ms");
    Value yname(u"V");
    Value xnum = i16(8);
    Value ynum = i16(4);
    macro::Grid01D(pic, w, h, xname, yname, xnum, ynum);
  }
}

void drawLogGrids(Sheet& sheet) {
  {
    fbc::RasterSurface& surface = sheet.add(QStringLiteral("GridlogW  1 .. 1000"));
    surface.setScaleHeight(100.0F);
    Value pic(surface);
    Value xmin = i16(1);
    Value xmax = i16(1000);
    macro::GridlogW(pic, xmin, xmax);
  }
  {
    fbc::RasterSurface& surface = sheet.add(QStringLiteral("GridlogW  20 .. 2000"));
    surface.setScaleHeight(100.0F);
    Value pic(surface);
    Value xmin = i16(20);
    Value xmax = i16(2000);
    macro::GridlogW(pic, xmin, xmax);
  }
  {
    fbc::RasterSurface& surface = sheet.add(QStringLiteral("GridlogH  1 .. 900"));
    surface.setScaleWidth(100.0F);
    Value pic(surface);
    Value ymin = i16(1);
    Value ymax = i16(900);
    macro::GridlogH(pic, ymin, ymax);
  }
  {
    fbc::RasterSurface& surface =
        sheet.add(QStringLiteral("GridlogW 0.1 .. 10 + GridlogH 0.01 .. 1"));
    Value pic(surface);
    Value xmin(0.1);
    Value xmax = i16(10);
    Value ymin(0.01);
    Value ymax = i16(1);
    macro::GridlogW(pic, xmin, xmax);
    macro::GridlogH(pic, ymin, ymax);
  }
}

// A switch-like waveform and a sine on the oscilloscope grid, as dots.
void drawPointPlots(Sheet& sheet) {
  {
    Value pic(sheet.add(QStringLiteral("Grid00C2 + Plot00")));
    Value w(40e-6F);
    Value h = i16(1000);
    Value xnum = i16(8);
    Value ynum = i16(4);
    macro::Grid00C2(pic, w, h, xnum, ynum);
    Value zero = i16(0);
    Value colour = i16(kRed);
    forEachSample(40e-6, 800, [&](double t) {
      Value x(static_cast<float>(t));
      const double phase = std::fmod(t, 20e-6) / 20e-6;
      Value y(static_cast<float>(phase < 0.4 ? 0.0 : 600.0));
      macro::Plot00(pic, x, y, zero, zero, h, colour);
    });
  }
  {
    Value pic(sheet.add(QStringLiteral("Grid05 + Plot05")));
    Value w = i16(10);
    Value h = i16(100);
    Value xname(u"ms");
    Value yname(u"V");
    macro::Grid05(pic, w, h, xname, yname);
    Value zero = i16(0);
    Value colour = i16(kBlue);
    forEachSample(10, 500, [&](double t) {
      Value x(t);
      Value y(40 * std::sin(2 * kPi * t / 5));
      macro::Plot05(pic, x, y, zero, zero, h, colour);
    });
  }
  {
    Value pic(sheet.add(QStringLiteral("Grid00 + Plot00B  Width=3, Yofset=20")));
    Value w = i16(10);
    Value h = i16(100);
    Value xname(u"ms");
    Value yname(u"A");
    macro::Grid00(pic, w, h, xname, yname);
    Value zero = i16(0);
    Value lift = i16(20);
    Value colour = i16(kGreen);
    Value width = i16(3);
    forEachSample(10, 60, [&](double t) {
      Value x(t);
      Value y(60 * std::exp(-t / 3));
      macro::Plot00B(pic, x, y, zero, lift, h, colour, width);
    });
  }
  {
    Value pic(sheet.add(QStringLiteral("Grid05N + Plot05B  Width=2, Xofset=1")));
    Value w = i16(10);
    Value h = i16(100);
    Value xnum = i16(10);
    Value ynum = i16(10);
    macro::Grid05N(pic, w, h, xnum, ynum);
    Value shift = i16(1);
    Value zero = i16(0);
    Value colour = i16(kMagenta);
    Value width = i16(2);
    forEachSample(8, 200, [&](double t) {
      Value x(t);
      Value y(45 * std::sin(2 * kPi * t / 4) * std::exp(-t / 6));
      macro::Plot05B(pic, x, y, shift, zero, h, colour, width);
    });
  }
}

// The main window's two plots, as Grid00C2 prepares them at 50 kHz and 100 kHz.
void drawOscilloscopeGrid(Sheet& sheet) {
  const std::pair<double, int> settings[] = {{50000.0, 1000}, {100000.0, 200}};
  for (const auto& [frequency, fullScale] : settings) {
    const QString title =
        QStringLiteral("Grid00C2  %1 kHz, Scale_H=%2").arg(frequency / 1000.0).arg(fullScale);
    Value pic(sheet.add(title, 393, 185));
    Value w(static_cast<float>(2.0 / frequency));
    Value h = i16(fullScale);
    Value xnum = i16(8);
    Value ynum = i16(4);
    macro::Grid00C2(pic, w, h, xnum, ynum);
  }
}

// Joined traces on linear axes and a first-order low-pass response on decades.
void drawLinePlots(Sheet& sheet) {
  {
    Value pic(sheet.add(QStringLiteral("Grid00 + PlotLine00")));
    Value w = i16(10);
    Value h = i16(100);
    Value xname(u"ms");
    Value yname(u"V");
    macro::Grid00(pic, w, h, xname, yname);
    Value x1 = i16(0);
    Value y1 = i16(0);
    Value zero = i16(0);
    Value colour = i16(kRed);
    Value width = i16(2);
    forEachSample(10, 100, [&](double t) {
      Value x(t);
      Value y(90 * (1 - std::exp(-t / 2)));
      macro::PlotLine00(pic, x1, y1, x, y, zero, zero, h, colour, width);
    });
  }
  {
    Value pic(sheet.add(QStringLiteral("Grid05 + PlotLine05")));
    Value w = i16(10);
    Value h = i16(100);
    Value xname(u"ms");
    Value yname(u"V");
    macro::Grid05(pic, w, h, xname, yname);
    Value x1 = i16(0);
    Value y1 = i16(0);
    Value zero = i16(0);
    Value colour = i16(kBlue);
    Value width = i16(1);
    forEachSample(10, 200, [&](double t) {
      Value x(t);
      Value y(45 * std::sin(2 * kPi * t / 4));
      macro::PlotLine05(pic, x1, y1, x, y, zero, zero, h, colour, width);
    });
  }
  {
    Value pic(sheet.add(QStringLiteral("GridlogW/H + PlotlogLine0  fc = 1 kHz")));
    Value xmin = i16(10);
    Value xmax(100000.0);
    Value ymin(0.001);
    Value ymax(10.0);
    macro::GridlogW(pic, xmin, xmax);
    macro::GridlogH(pic, ymin, ymax);
    Value colour = i16(kRed);
    Value width = i16(2);
    const auto gain = [](double f) { return 1.0 / std::sqrt(1.0 + (f / 1000.0) * (f / 1000.0)); };
    // The caller carries the previous point itself.
    double previous = 10.0;
    for (int k = 1; k <= 80; ++k) {
      const double f = 10.0 * std::pow(10.0, 4.0 * k / 80);
      Value x1(previous);
      Value y1(gain(previous));
      Value x(f);
      Value y(gain(f));
      macro::PlotlogLine0(pic, x1, y1, x, y, xmin, xmax, ymin, ymax, colour, width);
      previous = f;
    }
  }
}

void drawPictureHelpers(Sheet& sheet) {
  {
    Value pic(sheet.add(QStringLiteral("LineH, DrwPic, DrwPic2, DrwPic3, DrwPic4")));
    Value w = i16(10);
    Value h = i16(100);
    Value xname(u"ms");
    Value yname(u"V");
    macro::Grid00(pic, w, h, xname, yname);
    Value markerX(2.5);
    Value red = i16(kRed);
    macro::LineH(pic, markerX, red);
    Value markerX2(7.5);
    Value blue = i16(kBlue);
    macro::LineH(pic, markerX2, blue);

    Value scaleW;
    Value scaleH;
    Value x1(0.27);
    Value y1(0.8);
    Value extents(u"DrwPic: extents returned");
    macro::DrwPic(pic, scaleW, scaleH, x1, y1, extents);
    Value x2(0.27);
    Value y2(0.65);
    Value number(2.5);
    macro::DrwPic2(pic, x2, y2, number);
    Value x3(0.27);
    Value y3(0.5);
    Value name(u"Vout=");
    Value vout(3.14159);
    Value frmat(u"0.00");
    macro::DrwPic3(pic, x3, y3, name, vout, frmat);
    Value x4(0.27);
    Value y4(0.35);
    Value name4(u"Iout=");
    Value iout(1250.0);
    Value frmat4(u"0.00E+00");
    Value unused = i16(0);
    Value size = i16(12);
    macro::DrwPic4(pic, x4, y4, name4, iout, frmat4, unused, size);
  }
  {
    // A drawn surface whose clear button reads "Clear": the toggle erases it and the button
    // now offers "Plot"; the caption is printed on the erased surface.
    fbc::RasterSurface& surface = sheet.add(QStringLiteral("CrickCls  \"Clear\" -> \"Plot\""));
    Value pic(surface);
    Value w = i16(10);
    Value h = i16(100);
    Value xnum = i16(5);
    Value ynum = i16(5);
    macro::Grid05N(pic, w, h, xnum, ynum);
    fbc::CommandButton button(u"Clear");
    Value command1(button);
    Value plot;
    Value clear;
    macro::CrickCls(pic, command1, plot, clear);
    Value x(0.05);
    Value y(0.95);
    Value caption(u"Command1.Caption = " + button.caption());
    macro::DrwPic2(pic, x, y, caption);
  }
  {
    fbc::RasterSurface& surface = sheet.add(QStringLiteral("PrintText  title A, body x"));
    fbc::TextBox box;
    Value textname(box);
    Value title(u"A");
    Value body(u"x");
    macro::PrintText(textname, title, body);
    // The block line by line, as a text box would show it.
    surface.setCurrentX(150.0F);
    surface.setCurrentY(150.0F);
    std::u16string line;
    for (const char16_t c : box.text()) {
      if (c == u'\r') {
        continue;
      }
      if (c == u'\n') {
        surface.setCurrentX(150.0F);
        surface.print(line);
        line.clear();
      } else {
        line += c;
      }
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QGuiApplication application(argc, argv);
  const QStringList arguments = QGuiApplication::arguments();
  if (arguments.size() != 2) {
    std::cerr << "usage: gallery <output folder>\n";
    return 2;
  }
  QDir folder(arguments.at(1));
  if (!folder.mkpath(QStringLiteral("."))) {
    std::cerr << "gallery: cannot create " << arguments.at(1).toStdString() << '\n';
    return 1;
  }
  // The picture-box font is a Windows face; show it with the installed Japanese Gothic.
  QFont::insertSubstitutions(QString::fromStdU16String(fbc::RasterSurface::kDefaultFontFamily),
                             {QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP")});

  struct Family {
    const char* fileName;
    int columns;
    void (*draw)(Sheet&);
  };
  const Family families[] = {
      {"linear_grids.png", 3, drawLinearGrids}, {"log_grids.png", 2, drawLogGrids},
      {"point_plots.png", 2, drawPointPlots},   {"oscilloscope_grid.png", 2, drawOscilloscopeGrid},
      {"line_plots.png", 3, drawLinePlots},     {"picture_helpers.png", 3, drawPictureHelpers},
  };

  bool ok = true;
  for (const Family& family : families) {
    Sheet sheet(QString::fromLatin1(family.fileName), family.columns);
    try {
      family.draw(sheet);
    } catch (const fbc::RuntimeError& e) {
      std::cerr << "gallery: " << family.fileName << ": run-time error " << e.code() << " ("
                << fbc::errorDescription(e.number()) << ") " << e.detail() << '\n';
      ok = false;
      continue;
    }
    ok = sheet.save(folder) && ok;
  }
  return ok ? 0 : 1;
}
