#include "app/picture_box.h"

#include <gtest/gtest.h>
#include <QImage>

#include "platform/object.h"
#include "platform/palette.h"

namespace {

TEST(PictureBoxTest, OwnsASurfaceOfItsSizeHandedOutAsAnObjectValue) {
  fbc::PictureBox box(QSize(257, 81));
  EXPECT_EQ(box.size(), QSize(257, 81));
  EXPECT_EQ(box.surface().pixelWidth(), 257);
  EXPECT_EQ(box.surface().pixelHeight(), 81);
  EXPECT_EQ(box.surface().image().size(), QSize(257, 81) * box.devicePixelRatioF());
  EXPECT_EQ(box.surface().background(), fbc::rgb(255, 255, 255));
  EXPECT_EQ(box.focusPolicy(), Qt::StrongFocus);

  const fbc::Value value = box.value();
  EXPECT_EQ(value.kind(), fbc::Kind::Object);
  EXPECT_EQ(&fbc::surfaceOf(value), &box.surface());
}

TEST(PictureBoxTest, ShowsWhatIsDrawnAndKeepsItUntilErased) {
  fbc::PictureBox box(QSize(100, 50));
  fbc::RasterSurface& surface = box.surface();
  surface.setScaleWidth(100);
  surface.setScaleHeight(50);
  surface.setDrawWidth(3);
  surface.line(0, 25, 100, 25, fbc::rgb(255, 0, 0));

  // Painting twice (as after being covered) shows the same drawing.
  for (int paint = 0; paint < 2; ++paint) {
    SCOPED_TRACE(paint);
    const QImage shown = box.grab().toImage();
    EXPECT_EQ(QColor(shown.pixel(50, 25)), QColor(255, 0, 0));
    EXPECT_EQ(QColor(shown.pixel(50, 5)), QColor(255, 255, 255));
  }
  surface.cls();
  EXPECT_EQ(QColor(box.grab().toImage().pixel(50, 25)), QColor(255, 255, 255));
}

TEST(PictureBoxTest, PrintsInTheControlsFont) {
  fbc::PictureBox box(QSize(100, 50));
  QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
  font.setPointSize(9);
  box.setFont(font);
  EXPECT_EQ(box.surface().fontFamily().toStdString(), "ＭＳ Ｐゴシック");
}

}  // namespace
