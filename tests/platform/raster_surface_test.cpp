#include "platform/raster_surface.h"

#include <QColor>
#include <QRect>
#include <functional>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "platform/errors.h"
#include "platform/palette.h"

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
