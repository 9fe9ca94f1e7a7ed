#include "app/window_capture.h"

#include <memory>

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/main_window.h"
#include "app/picture_box.h"
#include "platform/palette.h"

namespace {

using fbc::MainWindow;

QRgb paletteRgb(int index) {
  const fbc::Rgb c = fbc::paletteColour(index);
  return qRgb(fbc::redOf(c), fbc::greenOf(c), fbc::blueOf(c));
}

class WindowCaptureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QGuiApplication::clipboard()->clear();
    window_ = std::make_unique<MainWindow>();
    window_->setMessageHandler([](MainWindow::MessageKind, const QString&) {});
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
  }

  template <typename T>
  T* get(const char* name) {
    T* widget = window_->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }

  void calculate() { QTest::mouseClick(get<QPushButton>("cmdcal"), Qt::LeftButton); }

  QSize expectedSize() const { return window_->size() * window_->devicePixelRatioF(); }

  // Pixels of `colour` inside the named picture box's rectangle of a picture of the window.
  int countInPicture(const QImage& image, const char* name, QRgb colour) {
    const qreal ratio = image.devicePixelRatio();
    const QRect box = get<QWidget>(name)->geometry();
    const QRect area(QPoint(qRound(box.left() * ratio), qRound(box.top() * ratio)),
                     box.size() * ratio);
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
      for (int x = area.left(); x <= area.right(); ++x) {
        if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF)) {
          ++count;
        }
      }
    }
    return count;
  }

  std::unique_ptr<MainWindow> window_;
};

TEST_F(WindowCaptureTest, PictureHasTheWindowSizeAtItsPixelRatio) {
  const QImage image = fbc::captureWindow(*window_);
  EXPECT_EQ(image.size(), expectedSize());
  EXPECT_DOUBLE_EQ(image.devicePixelRatio(), window_->devicePixelRatioF());
}

TEST_F(WindowCaptureTest, CtrlCCopiesThePlotsDrawnByTheCalculation) {
  const QRgb switchVoltage = paletteRgb(1);
  const QRgb switchCurrent = paletteRgb(4);
  const QRgb diodeVoltage = paletteRgb(3);
  const QRgb diodeCurrent = paletteRgb(5);

  fbc::copyWindowToClipboard(*window_);
  const QImage before = QGuiApplication::clipboard()->image();
  ASSERT_FALSE(before.isNull());
  EXPECT_EQ(countInPicture(before, "Pic1", switchVoltage), 0);
  EXPECT_EQ(countInPicture(before, "Pic1", switchCurrent), 0);

  calculate();
  QGuiApplication::clipboard()->clear();
  // The button just clicked has the focus: Ctrl+C is the window's.
  ASSERT_EQ(QApplication::focusWidget(), get<QWidget>("cmdcal"));
  QTest::keyClick(get<QWidget>("cmdcal"), Qt::Key_C, Qt::ControlModifier);

  const QImage after = QGuiApplication::clipboard()->image();
  ASSERT_FALSE(after.isNull());
  EXPECT_EQ(after.size(), expectedSize());
  // Two periods of each trace leave far more than a few dots.
  EXPECT_GT(countInPicture(after, "Pic1", switchVoltage), 50);
  EXPECT_GT(countInPicture(after, "Pic1", switchCurrent), 50);
  EXPECT_GT(countInPicture(after, "Pic2", diodeVoltage), 50);
  EXPECT_GT(countInPicture(after, "Pic2", diodeCurrent), 50);
}

TEST_F(WindowCaptureTest, CtrlCInATextBoxCopiesTextNotThePicture) {
  QLineEdit* vin = get<QLineEdit>("txtVin");
  QLineEdit* core = get<QComboBox>("cmbCore")->lineEdit();
  ASSERT_NE(core, nullptr);
  struct Case {
    const char* what;
    QLineEdit* box;
    bool select;
    QString clipboardText;
  };
  const Case cases[] = {
      {"txtVin with its text selected", vin, true, QStringLiteral("200")},
      {"txtVin with nothing selected", vin, false, QStringLiteral("earlier text")},
      {"cmbCore with its text selected", core, true, QStringLiteral("EER25.5")},
      {"cmbCore with nothing selected", core, false, QStringLiteral("earlier text")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    QGuiApplication::clipboard()->setText(QStringLiteral("earlier text"));
    c.box->setFocus();
    ASSERT_TRUE(c.box->hasFocus());
    if (c.select) {
      c.box->selectAll();
    } else {
      c.box->deselect();
    }
    QTest::keyClick(c.box, Qt::Key_C, Qt::ControlModifier);

    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_FALSE(data->hasImage());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), c.clipboardText);
  }
}

TEST_F(WindowCaptureTest, SavedPngLoadsBackWithThePlots) {
  calculate();
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path =
      dir.filePath(fbc::suggestedImageFileName(QStringLiteral("EER25.5"), QDate(2026, 12, 10)));

  ASSERT_TRUE(fbc::saveWindowImage(*window_, path));

  QImageReader reader(path);
  EXPECT_EQ(reader.format(), QByteArray("png"));
  const QImage loaded = reader.read();
  ASSERT_FALSE(loaded.isNull()) << reader.errorString().toStdString();
  EXPECT_EQ(loaded.size(), expectedSize());
  QImage scaled = loaded;
  scaled.setDevicePixelRatio(window_->devicePixelRatioF());
  EXPECT_GT(countInPicture(scaled, "Pic1", paletteRgb(1)), 50);
}

TEST_F(WindowCaptureTest, SaveIntoAMissingFolderFails) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath(QStringLiteral("missing/picture.png"));
  EXPECT_FALSE(fbc::saveWindowImage(*window_, path));
  EXPECT_FALSE(QFileInfo::exists(path));
}

// The window saves by the command line's write rules: a link is followed and stays a link, a
// full device is a failure rather than a silent success.
TEST_F(WindowCaptureTest, SaveFollowsALinkAndReportsAFullDevice) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString target = dir.filePath(QStringLiteral("real.png"));
  const QString link = dir.filePath(QStringLiteral("link.png"));
  ASSERT_TRUE(QFile::link(target, link));

  ASSERT_TRUE(fbc::saveWindowImage(*window_, link));
  EXPECT_TRUE(QFileInfo(link).isSymLink());
  EXPECT_EQ(QImageReader(target).read().size(), expectedSize());

  EXPECT_FALSE(fbc::saveWindowImage(*window_, QStringLiteral("/dev/full")));
}

TEST_F(WindowCaptureTest, BackgroundMenuOffersCopyAndSaveWithTheirShortcuts) {
  EXPECT_EQ(window_->contextMenuPolicy(), Qt::ActionsContextMenu);
  const QList<QAction*> actions = window_->actions();
  // The design review's entry follows the two picture commands.
  ASSERT_EQ(actions.size(), 3);
  EXPECT_EQ(actions[0]->text(), QStringLiteral("画面をコピー"));
  EXPECT_EQ(actions[0]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_C));
  EXPECT_EQ(actions[1]->text(), QStringLiteral("画像として保存..."));
  EXPECT_EQ(actions[1]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
  EXPECT_EQ(actions[2]->text(), QStringLiteral("設計レビュー..."));
  EXPECT_EQ(actions[2]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_R));
}

TEST_F(WindowCaptureTest, RightClickOnTheBackgroundOpensTheCopyMenu) {
  const QStringList ours = {QStringLiteral("画面をコピー"), QStringLiteral("画像として保存..."),
                            QStringLiteral("設計レビュー...")};
  struct Case {
    const char* control;
    bool ownMenu;
  };
  // Labels, plots and buttons have no menu of their own; the text box keeps its editing menu.
  const Case cases[] = {
      {"Pic1", false}, {"lblinfo", false}, {"Image1", false}, {"cmdcal", false}, {"txtVin", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.control);
    QWidget* target = get<QWidget>(c.control);
    QStringList shown;
    QObject guard;
    // Runs inside the menu's own event loop, or just after a menu that does not block.
    QTimer::singleShot(0, &guard, [&shown] {
      if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
        for (const QAction* action : menu->actions()) {
          if (!action->isSeparator()) {
            shown << action->text();
          }
        }
        menu->close();
      }
    });
    const QPoint at(5, 5);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, target->mapToGlobal(at));
    QApplication::sendEvent(target, &event);
    QCoreApplication::processEvents();

    if (c.ownMenu) {
      EXPECT_FALSE(shown.isEmpty());
      EXPECT_FALSE(shown.contains(ours[0]));
    } else {
      EXPECT_EQ(shown, ours);
    }
  }
}

TEST(SuggestedImageFileName, NamesTheCoreAndTheDate) {
  struct Case {
    QString core;
    QString expected;
  };
  const Case cases[] = {
      {QStringLiteral("EER25.5"), QStringLiteral("flyback-EER25.5-2026-12-10.png")},
      {QStringLiteral("  PQ50 "), QStringLiteral("flyback-PQ50-2026-12-10.png")},
      {QString(), QStringLiteral("flyback-2026-12-10.png")},
      {QStringLiteral("   "), QStringLiteral("flyback-2026-12-10.png")},
      {QStringLiteral("a/b\\c:d*e?f\"g<h>i|j"),
       QStringLiteral("flyback-a_b_c_d_e_f_g_h_i_j-2026-12-10.png")},
      {QStringLiteral("コア\t1"), QStringLiteral("flyback-コア_1-2026-12-10.png")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.core.toStdString());
    EXPECT_EQ(fbc::suggestedImageFileName(c.core, QDate(2026, 12, 10)), c.expected);
  }
}

}  // namespace
