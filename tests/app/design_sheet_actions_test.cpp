#include "app/design_sheet_actions.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/main_window.h"
#include "app/review_window.h"
#include "pdf_tools.h"
#include "review/ferrite_material.h"
#include "review/review_inputs.h"

namespace {

using fbc::MainWindow;

std::string withoutBlanks(std::string text) {
  std::erase_if(text, [](char c) { return c == ' ' || c == '\n' || c == '\f'; });
  return text;
}

// Answers each modal dialog as it opens, from inside its own event loop, until the test ends.
class DialogAnswerer {
 public:
  using Answer = std::function<void(QWidget& dialog)>;
  explicit DialogAnswerer(Answer answer) : answer_(std::move(answer)) {
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] {
      QWidget* modal = QApplication::activeModalWidget();
      if (modal != nullptr && modal != last_) {
        last_ = modal;
        answer_(*modal);
      }
    });
    timer_.start(20);
  }

 private:
  Answer answer_;
  QTimer timer_;
  QWidget* last_ = nullptr;
};

class DesignSheetActionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    window_ = std::make_unique<MainWindow>();
    window_->setMessageHandler([](MainWindow::MessageKind, const QString&) {});
    window_->show();
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    save_ = window_->findChild<QAction*>(QStringLiteral("saveDesignSheet"));
    print_ = window_->findChild<QAction*>(QStringLiteral("printDesignSheet"));
    ASSERT_NE(save_, nullptr);
    ASSERT_NE(print_, nullptr);
  }

  void click(const char* button) {
    QTest::mouseClick(window_->findChild<QAbstractButton*>(QString::fromLatin1(button)),
                      Qt::LeftButton);
  }

  QTemporaryDir dir_;
  std::unique_ptr<MainWindow> window_;
  QAction* save_ = nullptr;
  QAction* print_ = nullptr;
};

TEST_F(DesignSheetActionsTest, AvailableOnlyWhileACompletedCalculationIsShown) {
  EXPECT_FALSE(save_->isEnabled());
  EXPECT_FALSE(print_->isEnabled());
  click("cmdcal");
  EXPECT_TRUE(save_->isEnabled());
  EXPECT_TRUE(print_->isEnabled());
  click("Command1");  // the clear button
  EXPECT_FALSE(save_->isEnabled());
  EXPECT_FALSE(print_->isEnabled());
}

// The worked example (start values, EER25.5, typ) saved through both dialogs; the drawing
// number box refuses a full-width character typed into it.
TEST_F(DesignSheetActionsTest, SaveAsksForTheDrawingNumberAndWritesTheSheet) {
  click("cmdcal");
  const QString path = dir_.filePath(QStringLiteral("sheet.pdf"));
  QString typed;
  QString suggested;
  DialogAnswerer answerer([&](QWidget& dialog) {
    if (auto* files = qobject_cast<QFileDialog*>(&dialog)) {
      suggested = files->selectedFiles().value(0);
      files->selectFile(path);
      static_cast<QDialog*>(files)->accept();
      return;
    }
    auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("drawingNumber"));
    ASSERT_NE(edit, nullptr);
    QTest::keyClicks(edit, QStringLiteral("FT-10"));
    QKeyEvent fullWidth(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QStringLiteral("図"));
    QApplication::sendEvent(edit, &fullWidth);
    QTest::keyClicks(edit, QStringLiteral("24"));
    typed = edit->text();
    qobject_cast<QDialog*>(&dialog)->accept();
  });
  QTest::keyClick(window_.get(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);

  EXPECT_EQ(typed, QStringLiteral("FT-1024"));
  EXPECT_EQ(QFileInfo(suggested).fileName(),
            fbc::suggestedSheetFileName(QStringLiteral("EER25.5"), QDate::currentDate()));
  // The dialog may put its suggested name back once it has read the folder, so the one PDF in
  // the scratch folder is the sheet, whichever of the two names it got.
  const QStringList written = QDir(dir_.path()).entryList({QStringLiteral("*.pdf")}, QDir::Files);
  ASSERT_EQ(written.size(), 1) << written.join(QLatin1Char(',')).toStdString();
  const std::string text =
      withoutBlanks(fbc::test::pdfText(dir_.filePath(written.front()).toStdString()));
  for (const char* expected : {"フライバックトランス設計書", "FT-1024", "333.333[uH]", "1:0.136",
                               "flyback-designer", "トランス仕様書"}) {
    EXPECT_NE(text.find(expected), std::string::npos) << expected;
  }
}

TEST_F(DesignSheetActionsTest, CancellingTheDrawingNumberWritesNothing) {
  click("cmdcal");
  bool fileDialogShown = false;
  DialogAnswerer answerer([&](QWidget& dialog) {
    fileDialogShown = fileDialogShown || qobject_cast<QFileDialog*>(&dialog) != nullptr;
    qobject_cast<QDialog*>(&dialog)->reject();
  });
  save_->trigger();
  EXPECT_FALSE(fileDialogShown);
  EXPECT_TRUE(QDir(dir_.path()).isEmpty());
}

TEST_F(DesignSheetActionsTest, PrintShowsThePrintDialogAfterTheDrawingNumber) {
  click("cmdcal");
  bool printDialogShown = false;
  DialogAnswerer answerer([&](QWidget& dialog) {
    if (qobject_cast<QPrintDialog*>(&dialog) != nullptr) {
      printDialogShown = true;
      qobject_cast<QDialog*>(&dialog)->reject();
      return;
    }
    qobject_cast<QDialog*>(&dialog)->accept();
  });
  QTest::keyClick(window_.get(), Qt::Key_P, Qt::ControlModifier);
  EXPECT_TRUE(printDialogShown);
}

// The printer gets the same A4 pages as the PDF: here a printer that prints into a PDF file.
TEST_F(DesignSheetActionsTest, PrintedPageIsTheSheet) {
  click("cmdcal");
  const fbc::DesignSheetActions* actions = window_->findChild<fbc::DesignSheetActions*>();
  ASSERT_NE(actions, nullptr);
  const std::optional<fbc::DesignSheetContent> content = actions->content(QStringLiteral("P-7"));
  ASSERT_TRUE(content.has_value());
  const QString path = dir_.filePath(QStringLiteral("printed.pdf"));
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(path);
  printer.setPageSize(QPageSize(QPageSize::A4));
  ASSERT_TRUE(fbc::printDesignSheet(printer, *content));

  const std::string info = fbc::test::pdfInfo(path.toStdString());
  // The design's page and the transformer page, as the saved sheet.
  EXPECT_NE(info.find("Pages:           2\n"), std::string::npos) << info;
  EXPECT_NE(info.find("(A4)"), std::string::npos) << info;
  const std::string text = withoutBlanks(fbc::test::pdfText(path.toStdString()));
  for (const char* expected :
       {"フライバックトランス設計書", "P-7", "8.125668E-09", "トランス仕様書"}) {
    EXPECT_NE(text.find(expected), std::string::npos) << expected;
  }
}

// A core name the catalogue does not know keeps the previous core's figures in the window; the
// sheet names that core rather than the typed text.
TEST_F(DesignSheetActionsTest, SheetNamesTheCoreWhoseFiguresWereUsed) {
  const fbc::DesignSheetActions* actions = window_->findChild<fbc::DesignSheetActions*>();
  ASSERT_NE(actions, nullptr);
  auto* core = window_->findChild<QComboBox*>(QStringLiteral("cmbCore"));
  ASSERT_NE(core, nullptr);
  core->setEditText(QStringLiteral("PQ3230"));
  click("cmdcal");
  ASSERT_EQ(actions->content(QString())->inputs.core, u"PQ3230");
  core->setEditText(QStringLiteral("XYZ99"));
  window_->findChild<QLineEdit*>(QStringLiteral("txtVin"))->setText(QStringLiteral("150"));
  click("cmdcal");
  const std::optional<fbc::DesignSheetContent> content = actions->content(QString());
  ASSERT_TRUE(content.has_value());
  EXPECT_EQ(content->inputs.vin, u"150");  // the second calculation's
  EXPECT_EQ(content->inputs.core, u"PQ3230");
  EXPECT_EQ(content->state.Vin, 150.0F);
}

// The sheet's losses are worked out in the conditions typed into the review window; while one of
// them cannot be used, in the start conditions, which the sheet then names.
TEST_F(DesignSheetActionsTest, SheetFollowsTheReviewWindowsConditions) {
  const fbc::DesignSheetActions* actions = window_->findChild<fbc::DesignSheetActions*>();
  ASSERT_NE(actions, nullptr);
  auto* review = window_->findChild<fbc::ReviewWindow*>();
  ASSERT_NE(review, nullptr);
  click("cmdcal");
  review->findChild<QComboBox*>(QStringLiteral("reviewMaterial"))
      ->setCurrentText(QStringLiteral("3C95"));
  auto* ambient = review->findChild<QLineEdit*>(QStringLiteral("reviewAmbient"));
  ambient->setText(QStringLiteral("25"));
  review->findChild<QLineEdit*>(QStringLiteral("reviewWireSecondary"))
      ->setText(QStringLiteral("litz:0.1x200"));
  review->findChild<QComboBox*>(QStringLiteral("reviewArrangement"))->setCurrentIndex(1);

  std::optional<fbc::DesignSheetContent> content = actions->content(QString());
  ASSERT_TRUE(content.has_value() && content->review.has_value());
  EXPECT_EQ(content->conditions.material, fbc::ferriteMaterial("3C95"));
  EXPECT_EQ(content->conditions.ambient, 25.0);
  EXPECT_EQ(content->review->losses.material, "3C95");
  EXPECT_EQ(content->review->losses.Tambient, 25.0);
  // The windings as given there: the secondary's wire and the arrangement.
  EXPECT_EQ(content->conditions.wireSecondary, (fbc::Wire{fbc::WireKind::Litz, 0.1, 200}));
  EXPECT_EQ(content->conditions.arrangement, fbc::WindingArrangement::Ps);
  const fbc::WindingLoss* secondary = content->review->losses.find(fbc::Winding::Secondary);
  ASSERT_NE(secondary, nullptr);
  EXPECT_FALSE(secondary->wireChosen);
  EXPECT_EQ(content->review->losses.arrangement, fbc::WindingArrangement::Ps);
  // The insulation and the pins, which the transformer page shows.
  auto* insulation = review->findChild<QComboBox*>(QStringLiteral("reviewInsulation"));
  ASSERT_NE(insulation, nullptr);
  insulation->setCurrentIndex(insulation->findData(QStringLiteral("reinforced")));
  review->findChild<QLineEdit*>(QStringLiteral("reviewWorkingVoltage"))
      ->setText(QStringLiteral("300"));
  review->findChild<QLineEdit*>(QStringLiteral("reviewPins"))->setText(QStringLiteral("5,6"));
  content = actions->content(QString());
  ASSERT_TRUE(content.has_value() && content->review.has_value());
  EXPECT_EQ(content->review->isolation.insulation, fbc::Insulation::Reinforced);
  EXPECT_EQ(content->review->isolation.workingVoltage, 300.0);
  EXPECT_EQ(content->review->pins.counts, (fbc::PinCounts{5, 6}));

  ambient->setText(QStringLiteral("abc"));
  content = actions->content(QString());
  ASSERT_TRUE(content.has_value() && content->review.has_value());
  EXPECT_EQ(content->conditions.material, fbc::ferriteMaterial(fbc::kDefaultMaterial));
  EXPECT_EQ(content->review->losses.Tambient, fbc::ReviewConditions{}.ambient);
}

TEST(SuggestedSheetFileName, LikeThePicturesWithThePdfExtension) {
  const QDate date(2026, 12, 10);
  EXPECT_EQ(fbc::suggestedSheetFileName(QStringLiteral("EER25.5"), date),
            QStringLiteral("flyback-EER25.5-2026-12-10.pdf"));
  EXPECT_EQ(fbc::suggestedSheetFileName(QStringLiteral("a/b"), date),
            QStringLiteral("flyback-a_b-2026-12-10.pdf"));
  EXPECT_EQ(fbc::suggestedSheetFileName(QString(), date), QStringLiteral("flyback-2026-12-10.pdf"));
}

}  // namespace
