#include "platform/raster_surface.h"

#include <QColor>
#include <QPainter>
#include <QPen>
#include <QRect>
#include <functional>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "allocation_counter.h"
#include "platform/errors.h"
#include "platform/palette.h"
#include "platform/pixel_grid.h"

namespace fbc {
namespace {

constexpr Rgb kWhite = rgb(255, 255, 255);
const Rgb kRed = paletteColour(12);
const Rgb kBlue = paletteColour(9);

Rgb devicePixel(const QImage& image, int x, int y) {
  return static_cast<Rgb>(image.pixel(x, y)) & 0xFFFFFFU;
}

// Device pixels that differ from the background.
std::vector<QPoint> inkPixels(const QImage& image, Rgb background = kWhite) {
  std::vector<QPoint> ink;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (devicePixel(image, x, y) != background) {
        ink.emplace_back(x, y);
      }
    }
  }
  return ink;
}

QRect boundsOf(const std::vector<QPoint>& points) {
  QRect bounds;
  for (const QPoint& p : points) {
    bounds |= QRect(p, QSize(1, 1));
  }
  return bounds;
}

// 200 x 100 pixels measuring 2e-5 x 1100, as a plot of two switching periods: one pixel is
// 1e-7 wide and 11 high.
class RasterSurfaceTest : public ::testing::Test {
 protected:
  explicit RasterSurfaceTest(qreal ratio = 1.0) : surface(200, 100, ratio) {
    surface.setScaleWidth(2e-5F);
    surface.setScaleHeight(1100.0F);
  }

  RasterSurface surface;
};

TEST_F(RasterSurfaceTest, FreshImageIsWhiteRgb32OfThePixelSize) {
  EXPECT_EQ(surface.image().format(), QImage::Format_RGB32);
  EXPECT_EQ(surface.image().size(), QSize(200, 100));
  EXPECT_TRUE(inkPixels(surface.image()).empty());
}

TEST_F(RasterSurfaceTest, PointLandsInThePixelHoldingIt) {
  struct Case {
    const char* name;
    float x;
    float y;
    QPoint pixel;
  };
  const std::vector<Case> cases = {
      {"middle", 1e-5F, 550.0F, {100, 50}},
      {"origin", 0.0F, 0.0F, {0, 0}},
      {"inside the last pixel", 1.999e-5F, 1099.0F, {199, 99}},
      {"fraction of a pixel", 1.07e-6F, 20.0F, {10, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    surface.cls();
    surface.pset(c.x, c.y, kRed);
    const auto ink = inkPixels(surface.image());
    ASSERT_EQ(ink.size(), 1U);
    EXPECT_EQ(ink.front(), c.pixel);
    EXPECT_EQ(devicePixel(surface.image(), c.pixel.x(), c.pixel.y()), kRed);
  }
}

TEST_F(RasterSurfaceTest, WidePointsAreSquaresCentredOnTheirPixel) {
  struct Case {
    int width;
    QRect covered;
  };
  const std::vector<Case> cases = {
      {1, QRect(100, 50, 1, 1)},
      {2, QRect(99, 49, 2, 2)},
      {3, QRect(99, 49, 3, 3)},
      {5, QRect(98, 48, 5, 5)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.width);
    surface.cls();
    surface.setDrawWidth(c.width);
    surface.pset(1e-5F, 550.0F, kBlue);
    const auto ink = inkPixels(surface.image());
    EXPECT_EQ(ink.size(), static_cast<std::size_t>(c.width * c.width));
    EXPECT_EQ(boundsOf(ink), c.covered);
  }
}

TEST_F(RasterSurfaceTest, PointsOutsideAreClipped) {
  struct Case {
    const char* name;
    float x;
    float y;
    int width;
    std::size_t visible;
  };
  const std::vector<Case> cases = {
      {"left of the edge", -1e-8F, 550.0F, 1, 0},
      {"on the right extent", 2e-5F, 550.0F, 1, 0},
      {"above", 1e-5F, -0.5F, 1, 0},
      {"on the bottom extent", 1e-5F, 1100.0F, 1, 0},
      {"far away", 1e30F, -1e30F, 1, 0},
      {"wide point on the corner", 0.0F, 0.0F, 3, 4},
      {"wide point just outside", -1e-7F, 550.0F, 3, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    surface.cls();
    surface.setDrawWidth(c.width);
    EXPECT_NO_THROW(surface.pset(c.x, c.y, kRed));
    EXPECT_EQ(inkPixels(surface.image()).size(), c.visible);
  }
}

TEST_F(RasterSurfaceTest, LinesCoverTheirPixelsAtTheirWidth) {
  struct Case {
    const char* name;
    int width;
    float x1, y1, x2, y2;
    QRect covered;
  };
  const std::vector<Case> cases = {
      {"horizontal across", 1, 0.0F, 550.0F, 1.999e-5F, 550.0F, QRect(0, 50, 200, 1)},
      {"vertical down", 1, 1e-5F, 0.0F, 1e-5F, 1099.0F, QRect(100, 0, 1, 100)},
      {"two pixels thick", 2, 0.0F, 1000.0F, 1.999e-5F, 1000.0F, QRect(0, 90, 200, 2)},
      {"three pixels thick", 3, 2e-6F, 550.0F, 4e-6F, 550.0F, QRect(19, 49, 23, 3)},
      {"beyond both edges", 1, -1e30F, 550.0F, 1e30F, 550.0F, QRect(0, 50, 200, 1)},
      {"zero length", 1, 1e-5F, 550.0F, 1e-5F, 550.0F, QRect(100, 50, 1, 1)},
      {"zero length, thick", 3, 1e-5F, 550.0F, 1e-5F, 550.0F, QRect(99, 49, 3, 3)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    surface.cls();
    surface.setDrawWidth(c.width);
    surface.line(c.x1, c.y1, c.x2, c.y2, kBlue);
    const auto ink = inkPixels(surface.image());
    EXPECT_EQ(boundsOf(ink), c.covered);
    EXPECT_EQ(ink.size(), static_cast<std::size_t>(c.covered.width() * c.covered.height()));
    for (const QPoint& p : ink) {
      ASSERT_EQ(devicePixel(surface.image(), p.x(), p.y()), kBlue) << p.x() << "," << p.y();
    }
  }
}

TEST_F(RasterSurfaceTest, DiagonalLineRunsBetweenItsEndPixels) {
  surface.line(1e-6F, 110.0F, 6e-6F, 440.0F, kRed);
  const auto ink = inkPixels(surface.image());
  EXPECT_EQ(devicePixel(surface.image(), 10, 10), kRed);
  EXPECT_EQ(devicePixel(surface.image(), 60, 40), kRed);
  EXPECT_EQ(boundsOf(ink), QRect(QPoint(10, 10), QPoint(60, 40)));
  // One pixel per column: no smearing across the picture.
  EXPECT_EQ(ink.size(), 51U);
}

TEST_F(RasterSurfaceTest, LinesWhollyOutsideLeaveThePictureUntouched) {
  surface.line(0.0F, -100.0F, 2e-5F, -100.0F, kRed);
  surface.line(-1e30F, 1e30F, 1e30F, 1e30F, kRed);
  surface.line(3e-5F, 0.0F, 3e-5F, 1100.0F, kRed);
  EXPECT_TRUE(inkPixels(surface.image()).empty());
}

TEST_F(RasterSurfaceTest, ColourChangesBetweenDotsAreKept) {
  for (int i = 0; i < 16; ++i) {
    surface.pset(static_cast<float>(i) * 1e-6F, 550.0F, paletteColour(i));
  }
  for (int i = 0; i < 16; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(devicePixel(surface.image(), i * 10, 50), paletteColour(i));
  }
}

TEST_F(RasterSurfaceTest, ChangingTheScaleKeepsTheDrawing) {
  surface.setDrawWidth(2);
  surface.line(0.0F, 1000.0F, 2e-5F, 1000.0F, kBlue);
  surface.setDrawWidth(1);
  surface.pset(1e-5F, 550.0F, kRed);
  const QImage before = surface.image().copy();
  surface.setScaleWidth(100.0F);
  surface.setScaleHeight(-50.0F);
  EXPECT_EQ(surface.image(), before);
  surface.pset(25.0F, -10.0F, kRed);
  EXPECT_EQ(devicePixel(surface.image(), 50, 20), kRed);
  EXPECT_EQ(devicePixel(surface.image(), 100, 50), kRed);
}

TEST(RasterSurfaceClsTest, ErasesToTheBackgroundAndResetsThePosition) {
  const Rgb background = rgb(0, 0, 128);
  RasterSurface surface(50, 40, 1.0, background, kWhite);
  surface.setDrawWidth(4);
  surface.line(0.0F, 0.0F, 750.0F, 600.0F, kRed);
  surface.setCurrentX(30.0F);
  surface.setCurrentY(45.0F);
  surface.print(u"Gnd");
  ASSERT_FALSE(inkPixels(surface.image(), background).empty());
  surface.cls();
  EXPECT_TRUE(inkPixels(surface.image(), background).empty());
  EXPECT_EQ(surface.currentX(), 0.0F);
  EXPECT_EQ(surface.currentY(), 0.0F);
  EXPECT_EQ(surface.drawWidth(), 4);
}

TEST(RasterSurfacePrintTest, DrawsBelowAndRightOfThePositionThenMovesDownOneLine) {
  RasterSurface red(200, 100, 1.0, kWhite, kRed);
  red.setScaleWidth(2e-5F);
  red.setScaleHeight(1100.0F);
  red.setCurrentX(1e-5F);
  red.setCurrentY(330.0F);
  red.print(u"Gnd 5.000");
  const auto ink = inkPixels(red.image());
  ASSERT_FALSE(ink.empty());
  const QRect bounds = boundsOf(ink);
  EXPECT_GE(bounds.left(), 100);
  EXPECT_GE(bounds.top(), 30);
  EXPECT_LT(bounds.top(), 30 + 8);
  for (const QPoint& p : ink) {
    const Rgb c = devicePixel(red.image(), p.x(), p.y());
    ASSERT_GE(redOf(c), greenOf(c));
    ASSERT_EQ(greenOf(c), blueOf(c));
  }
  EXPECT_EQ(red.currentX(), 0.0F);
  const float oneLine = red.currentY() - 330.0F;
  // A 9-point line is some 12 to 16 pixels of 11 units each.
  EXPECT_GT(oneLine, 10.0F * 11.0F);
  EXPECT_LT(oneLine, 20.0F * 11.0F);

  red.setFontSize(18.0);
  const float before = red.currentY();
  red.print(u"x");
  EXPECT_NEAR(red.currentY() - before, 2.0F * oneLine, 0.2F * oneLine);
}

TEST_F(RasterSurfaceTest, PrintOutsideThePictureIsHarmless) {
  surface.setCurrentX(-1e30F);
  surface.setCurrentY(1e30F);
  EXPECT_NO_THROW(surface.print(u"far"));
  EXPECT_TRUE(inkPixels(surface.image()).empty());
  EXPECT_EQ(surface.currentX(), 0.0F);
}

class RasterSurfaceHighDpiTest : public RasterSurfaceTest {
 protected:
  RasterSurfaceHighDpiTest() : RasterSurfaceTest(2.0) {}
};

TEST_F(RasterSurfaceHighDpiTest, ImageIsTwiceAsLargeAndPensScale) {
  EXPECT_EQ(surface.image().size(), QSize(400, 200));
  EXPECT_EQ(surface.devicePixelRatio(), 2.0);
  struct Case {
    const char* name;
    std::function<void(Surface&)> draw;
    QRect covered;
  };
  const std::vector<Case> cases = {
      {"point", [](Surface& s) { s.pset(1e-5F, 550.0F, kRed); }, QRect(200, 100, 2, 2)},
      {"thick point",
       [](Surface& s) {
         s.setDrawWidth(3);
         s.pset(1e-5F, 550.0F, kRed);
       },
       QRect(198, 98, 6, 6)},
      {"line", [](Surface& s) { s.line(0.0F, 550.0F, 1.999e-5F, 550.0F, kRed); },
       QRect(0, 100, 400, 2)},
      {"two-pixel line",
       [](Surface& s) {
         s.setDrawWidth(2);
         s.line(1e-5F, 0.0F, 1e-5F, 1099.0F, kRed);
       },
       QRect(199, 0, 4, 200)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    surface.cls();
    surface.setDrawWidth(1);
    c.draw(surface);
    const auto ink = inkPixels(surface.image());
    EXPECT_EQ(boundsOf(ink), c.covered);
    // Sharp: every touched device pixel carries the full colour, no blended edge.
    EXPECT_EQ(ink.size(), static_cast<std::size_t>(c.covered.width() * c.covered.height()));
    for (const QPoint& p : ink) {
      ASSERT_EQ(devicePixel(surface.image(), p.x(), p.y()), kRed);
    }
  }
}

TEST_F(RasterSurfaceHighDpiTest, PixelAtReadsLogicalPixels) {
  surface.pset(1e-5F, 550.0F, kRed);
  EXPECT_EQ(surface.pixelAt(100, 50), kRed);
  EXPECT_EQ(surface.pixelAt(101, 50), kWhite);
  EXPECT_EQ(surface.pixelAt(200, 0), 0U);
}

TEST_F(RasterSurfaceTest, ChangingTheRatioRerendersThePicture) {
  surface.pset(1e-5F, 550.0F, kRed);
  surface.setDevicePixelRatio(2.0);
  EXPECT_EQ(surface.image().size(), QSize(400, 200));
  EXPECT_EQ(surface.devicePixelRatio(), 2.0);
  EXPECT_EQ(boundsOf(inkPixels(surface.image())), QRect(200, 100, 2, 2));
  surface.pset(1.5e-5F, 550.0F, kBlue);
  EXPECT_EQ(boundsOf(inkPixels(surface.image())), QRect(200, 100, 102, 2));
  EXPECT_EQ(devicePixel(surface.image(), 301, 101), kBlue);

  surface.setDevicePixelRatio(1.0);
  EXPECT_EQ(surface.image().size(), QSize(200, 100));
  EXPECT_EQ(surface.pixelAt(100, 50), kRed);
  EXPECT_EQ(surface.pixelAt(150, 50), kBlue);
}

// A surface measured in its own pixels, so that coordinates are logical pixel positions.
RasterSurface pixelScaled(int width, int height, qreal ratio) {
  RasterSurface surface(width, height, ratio);
  surface.setScaleWidth(static_cast<float>(width));
  surface.setScaleHeight(static_cast<float>(height));
  return surface;
}

QImage blankLike(const QImage& image) {
  QImage blank(image.size(), QImage::Format_RGB32);
  blank.fill(QColor::fromRgb(kWhite));
  return blank;
}

// Device pixels where two pictures differ, the first few named.
std::string differences(const QImage& a, const QImage& b) {
  if (a.size() != b.size()) {
    return "sizes differ";
  }
  std::string text;
  int count = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      if (devicePixel(a, x, y) != devicePixel(b, x, y) && ++count <= 4) {
        text += " (" + std::to_string(x) + "," + std::to_string(y) + ")";
      }
    }
  }
  return count == 0 ? std::string() : std::to_string(count) + " pixels differ:" + text;
}

// The line as the painter draws it, the way the surface draws any line that is not
// axis-parallel: ends cut to the picture plus a margin, centred on their pen's pixels, then a
// cosmetic square-capped aliased pen. Ends on the same pixel leave the pen's square.
void paintLine(QImage& image, qreal ratio, int width, double ax, double ay, double bx, double by,
               Rgb colour) {
  const double margin = width + 2.0;
  const double right = image.width() / ratio;
  const double bottom = image.height() / ratio;
  if (!clipSegment(ax, ay, bx, by, -margin, -margin, right + margin, bottom + margin)) {
    return;
  }
  const int size = penSize(width, ratio);
  if (penStart(ax, size, ratio) == penStart(bx, size, ratio) &&
      penStart(ay, size, ratio) == penStart(by, size, ratio)) {
    const QRect square(static_cast<int>(penStart(ax, size, ratio)),
                       static_cast<int>(penStart(ay, size, ratio)), size, size);
    for (int y = square.top(); y <= square.bottom(); ++y) {
      for (int x = square.left(); x <= square.right(); ++x) {
        if (image.valid(x, y)) {
          image.setPixel(x, y, 0xFF000000U | colour);
        }
      }
    }
    return;
  }
  image.setDevicePixelRatio(ratio);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing, false);
  QPen pen(QColor::fromRgb(static_cast<QRgb>(colour)));
  pen.setCosmetic(true);
  pen.setWidth(size);
  pen.setCapStyle(Qt::SquareCap);
  painter.setPen(pen);
  painter.drawLine(QPointF(penCentre(ax, size, ratio) / ratio, penCentre(ay, size, ratio) / ratio),
                   QPointF(penCentre(bx, size, ratio) / ratio, penCentre(by, size, ratio) / ratio));
}

TEST(RasterSurfaceLineTest, AxisParallelLinesLeaveThePaintersPixels) {
  struct Line {
    const char* name;
    float x1, y1, x2, y2;
  };
  // A 40 x 30 picture.
  const std::vector<Line> lines = {
      {"across", 0.0F, 15.0F, 39.999F, 15.0F},
      {"leftwards", 30.5F, 7.25F, 2.75F, 7.25F},
      {"top row", 0.0F, 0.0F, 40.0F, 0.0F},
      {"bottom row", 3.0F, 29.9F, 20.0F, 29.9F},
      {"just above", 3.0F, -0.2F, 20.0F, -0.2F},
      {"beyond both sides", -1e30F, 12.5F, 1e30F, 12.5F},
      {"half out on the left", -5.0F, 20.0F, 5.5F, 20.0F},
      {"half out on the right", 35.0F, 3.0F, 47.0F, 3.0F},
      {"one pixel long", 10.2F, 10.0F, 11.2F, 10.0F},
      {"down", 20.0F, 0.0F, 20.0F, 29.999F},
      {"up", 0.4F, 25.0F, 0.4F, 2.0F},
      {"right column", 39.5F, 0.0F, 39.5F, 30.0F},
      {"just right of the picture", 40.1F, 0.0F, 40.1F, 30.0F},
      {"beyond top and bottom", 7.7F, -1e30F, 7.7F, 1e30F},
      {"half out at the bottom", 33.0F, 26.0F, 33.0F, 35.0F},
  };
  for (const qreal ratio : {1.0, 1.25, 1.5, 2.0, 3.0, 0.5}) {
    for (const int width : {1, 2, 3, 5}) {
      for (const Line& line : lines) {
        SCOPED_TRACE(testing::Message() << line.name << ", ratio " << ratio << ", width " << width);
        RasterSurface surface = pixelScaled(40, 30, ratio);
        surface.setDrawWidth(width);
        surface.line(line.x1, line.y1, line.x2, line.y2, kBlue);
        QImage expected = blankLike(surface.image());
        paintLine(expected, ratio, width, line.x1, line.y1, line.x2, line.y2, kBlue);
        EXPECT_EQ(differences(surface.image(), expected), "");
      }
    }
  }
}

TEST(RasterSurfacePointTest, OnePixelPensLandWhereThePenRuleSays) {
  struct Point {
    const char* name;
    float x, y;
  };
  const float inf = std::numeric_limits<float>::infinity();
  const std::vector<Point> points = {
      {"inside", 12.3F, 4.5F},
      {"origin", 0.0F, 0.0F},
      {"a hair left of the picture", -1e-9F, 5.0F},
      {"a hair above the picture", 5.0F, -1e-9F},
      {"half a pixel out", -0.5F, 5.0F},
      {"last pixel", 39.99F, 29.99F},
      {"on the right extent", 40.0F, 5.0F},
      {"on the bottom extent", 5.0F, 30.0F},
      {"far away", 1e30F, -1e30F},
      {"infinite", inf, 5.0F},
      {"not a number", 5.0F, std::numeric_limits<float>::quiet_NaN()},
  };
  // Ratios below 1.5 give one-pixel pens.
  for (const qreal ratio : {1.0, 1.25, 0.75}) {
    for (const Point& point : points) {
      SCOPED_TRACE(testing::Message() << point.name << ", ratio " << ratio);
      RasterSurface surface = pixelScaled(40, 30, ratio);
      ASSERT_EQ(penSize(surface.drawWidth(), ratio), 1);
      surface.pset(point.x, point.y, kRed);
      QImage expected = blankLike(surface.image());
      const double left = penStart(point.x, 1, ratio);
      const double top = penStart(point.y, 1, ratio);
      if (left >= 0 && left < expected.width() && top >= 0 && top < expected.height()) {
        expected.setPixel(static_cast<int>(left), static_cast<int>(top), 0xFF000000U | kRed);
      }
      EXPECT_EQ(differences(surface.image(), expected), "");
    }
  }
}

TEST_F(RasterSurfaceTest, CopiesOfThePictureKeepWhatTheyShowed) {
  surface.pset(1e-5F, 550.0F, kRed);
  const QImage copy = surface.image();
  surface.pset(1.5e-5F, 550.0F, kBlue);
  EXPECT_EQ(devicePixel(copy, 150, 50), kWhite);
  EXPECT_EQ(devicePixel(surface.image(), 150, 50), kBlue);

  // Also through a reference kept from before the last drawing.
  const QImage& kept = surface.image();
  surface.pset(0.0F, 0.0F, kRed);
  const QImage later = kept;
  surface.line(0.0F, 1000.0F, 2e-5F, 1000.0F, kBlue);
  EXPECT_EQ(devicePixel(later, 0, 0), kRed);
  EXPECT_EQ(devicePixel(later, 10, 90), kWhite);
  EXPECT_EQ(devicePixel(surface.image(), 10, 90), kBlue);

  // The cache key moves on with the drawing, so caches of the picture see the change.
  const qint64 key = surface.image().cacheKey();
  surface.pset(1e-6F, 550.0F, kRed);
  EXPECT_NE(surface.image().cacheKey(), key);
}

TEST_F(RasterSurfaceTest, DotsAfterPaintedTextLinesAndErasingLandInThePicture) {
  const std::vector<std::pair<const char*, std::function<void()>>> steps = {
      {"text", [this] { surface.print(u"Gnd"); }},
      {"diagonal line", [this] { surface.line(0.0F, 0.0F, 2e-5F, 1100.0F, kBlue); }},
      {"erasing", [this] { surface.cls(); }},
      {"new ratio", [this] { surface.setDevicePixelRatio(1.0); }},
  };
  for (const auto& [name, step] : steps) {
    SCOPED_TRACE(name);
    surface.pset(1e-5F, 550.0F, kBlue);
    step();
    surface.pset(1.5e-5F, 550.0F, kRed);
    surface.line(1.8e-5F, 0.0F, 1.8e-5F, 1100.0F, kRed);
    EXPECT_EQ(devicePixel(surface.image(), 150, 50), kRed);
    EXPECT_EQ(devicePixel(surface.image(), 180, 70), kRed);
  }
}

TEST_F(RasterSurfaceTest, DotsAndAxisParallelLinesAllocateNothing) {
  surface.pset(0.0F, 0.0F, kRed);
  const long before = testing_support::allocationCount();
  for (int i = 0; i < 100; ++i) {
    surface.pset(static_cast<float>(i) * 2e-7F, 550.0F, kRed);
  }
  surface.setDrawWidth(3);
  surface.pset(1e-5F, 110.0F, kBlue);
  surface.line(0.0F, 1000.0F, 2e-5F, 1000.0F, kBlue);
  surface.line(1e-5F, 0.0F, 1e-5F, 1100.0F, kBlue);
  EXPECT_EQ(testing_support::allocationCount(), before);
  EXPECT_EQ(devicePixel(surface.image(), 99, 50), kBlue);
  EXPECT_EQ(devicePixel(surface.image(), 98, 50), kRed);
}

TEST(RasterSurfaceRatioTest, RefusesRatiosThatAreNotPositive) {
  for (const qreal ratio : {0.0, -1.0, std::numeric_limits<qreal>::infinity()}) {
    SCOPED_TRACE(ratio);
    EXPECT_THROW(RasterSurface(10, 10, ratio), RuntimeError);
    RasterSurface surface(10, 10);
    EXPECT_THROW(surface.setDevicePixelRatio(ratio), RuntimeError);
    EXPECT_EQ(surface.devicePixelRatio(), 1.0);
  }
}

}  // namespace
}  // namespace fbc
