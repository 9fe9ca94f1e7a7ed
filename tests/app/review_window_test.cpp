#include "app/review_window.h"

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "app/main_window.h"
#include "app/review_texts.h"
#include "design/result_texts.h"
#include "platform/text.h"
#include "review/review.h"

namespace {

using fbc::MainWindow;
using fbc::ReviewWindow;

std::string str(const QString& text) { return text.toStdString(); }

class ReviewWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = std::make_unique<MainWindow>();
    window_->setMessageHandler(
        [this](MainWindow::MessageKind, const QString& text) { messages_.push_back(text); });
    window_->show();
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    review_ = window_->findChild<ReviewWindow*>();
    ASSERT_NE(review_, nullptr);
  }

  template <typename T>
  T* main(const char* name) {
    T* widget = window_->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  template <typename T>
  T* part(const char* name) {
    T* widget = review_->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }

  void calculate() { QTest::mouseClick(main<QAbstractButton>("cmdcal"), Qt::LeftButton); }
  void openReview() {
    QTest::keyClick(main<QWidget>("cmdcal"), Qt::Key_R, Qt::ControlModifier);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(review_));
  }

  // The shown value and unit of the review number `name` ("Np", "gap", ...).
  std::pair<std::string, std::string> number(const char* name) {
    auto* table = part<QTableWidget>("reviewNumbers");
    for (int row = 0; row < table->rowCount(); ++row) {
      if (table->item(row, 0)->toolTip() == QLatin1String(name)) {
        return {str(table->item(row, 1)->text()), str(table->item(row, 2)->text())};
      }
    }
    return {};
  }

  std::vector<std::string> flagTexts() {
    std::vector<std::string> texts;
    auto* list = part<QListWidget>("reviewFlags");
    for (int i = 0; i < list->count(); ++i) {
      texts.push_back(str(list->item(i)->text()));
    }
    return texts;
  }

  int adviceRow(const char* core) {
    auto* table = part<QTableWidget>("coreAdvice");
    for (int row = 0; row < table->rowCount(); ++row) {
      if (table->item(row, 0)->text() == QLatin1String(core)) {
        return row;
      }
    }
    return -1;
  }

  std::unique_ptr<MainWindow> window_;
  ReviewWindow* review_ = nullptr;
  std::vector<QString> messages_;
};

TEST_F(ReviewWindowTest, CtrlROpensTheReviewOfTheStartValues) {
  EXPECT_FALSE(review_->isVisible());
  calculate();
  openReview();
  EXPECT_TRUE(review_->isVisible());
  EXPECT_EQ(str(review_->windowTitle()), "設計レビュー — EER25.5");
  EXPECT_NE(str(part<QLabel>("reviewSummary")->text()).find("このままでは製作できません"),
            std::string::npos);

  EXPECT_EQ(number("Np"), (std::pair<std::string, std::string>{"227", "ターン"}));
  EXPECT_EQ(number("Ns"), (std::pair<std::string, std::string>{"28", "ターン"}));
  EXPECT_EQ(number("gap"), (std::pair<std::string, std::string>{"8.70", "mm"}));
  EXPECT_EQ(number("Ipk").second, "A");
  EXPECT_EQ(number("Bpk").second, "T");
  EXPECT_EQ(number("dP").second, "mm");
  EXPECT_EQ(part<QTableWidget>("reviewNumbers")->rowCount(),
            static_cast<int>(fbc::kReviewQuantityCount));

  // One sentence per flag, in the review's order, each marked as a list item.
  EXPECT_EQ(
      flagTexts(),
      (std::vector<std::string>{
          "・" + fbc::toUtf8(fbc::reviewFlagSentence(fbc::ReviewFlag::GapTooLarge)),
          "・" + fbc::toUtf8(fbc::reviewFlagSentence(fbc::ReviewFlag::WindowOverfull)),
          "・" + fbc::toUtf8(fbc::reviewFlagSentence(fbc::ReviewFlag::WireBeyondSkinDepth))}));
  EXPECT_NE(flagTexts()[0].find("エアギャップ"), std::string::npos);

  EXPECT_EQ(str(part<QLabel>("adviceSummary")->text()), "推奨コア: PQ50");
  auto* advice = part<QTableWidget>("coreAdvice");
  ASSERT_EQ(advice->rowCount(), 18);
  EXPECT_EQ(str(advice->item(0, 0)->text()), "PQ50");
  EXPECT_EQ(str(advice->item(0, 1)->text()), "推奨");
  EXPECT_EQ(str(advice->item(adviceRow("EER25.5"), 1)->text()), "不可");
  EXPECT_EQ(str(advice->item(adviceRow("EER25.5"), 2)->text()), "227/28");
  EXPECT_EQ(str(advice->item(adviceRow("EER25.5"), 3)->text()), "8.70");
  EXPECT_EQ(str(advice->item(adviceRow("EER25.5"), 7)->text()),
            "ギャップ過大、巻線窓不足、表皮効果");
  // The main window's results are the model's, untouched by the review.
  EXPECT_EQ(main<QLabel>("lblNt")->text(),
            QString::fromStdU16String(fbc::resultTexts(window_->designState()).lblNt));
  EXPECT_TRUE(messages_.empty());
}

TEST_F(ReviewWindowTest, ContextMenuEntryOpensTheSameWindow) {
  QAction* open = nullptr;
  for (QAction* action : window_->actions()) {
    if (action->text() == QStringLiteral("設計レビュー...")) {
      open = action;
    }
  }
  ASSERT_NE(open, nullptr);
  open->trigger();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(review_));
  // Nothing calculated yet: an empty review that says so.
  EXPECT_EQ(str(review_->windowTitle()), "設計レビュー");
  EXPECT_EQ(part<QTableWidget>("reviewNumbers")->rowCount(), 0);
  EXPECT_EQ(part<QTableWidget>("coreAdvice")->rowCount(), 0);
  calculate();
  EXPECT_EQ(number("Np").first, "227");
}

TEST_F(ReviewWindowTest, DoubleClickOrEnterOnACorePutsItIntoTheCoreBox) {
  calculate();
  openReview();
  auto* advice = part<QTableWidget>("coreAdvice");
  auto* core = main<QComboBox>("cmbCore");
  const int row = adviceRow("PQ40");
  ASSERT_GE(row, 0);
  advice->scrollToItem(advice->item(row, 0));
  const QRect rect = advice->visualItemRect(advice->item(row, 0));
  // A double-click arrives as press, release, then the double-click press.
  QTest::mouseClick(advice->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
  QTest::mouseDClick(advice->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
  EXPECT_EQ(str(core->currentText()), "PQ40");

  advice->setFocus();
  advice->setCurrentCell(0, 0);
  QTest::keyClick(advice, Qt::Key_Return);
  EXPECT_EQ(str(core->currentText()), "PQ50");
  // The next calculation follows the chosen core.
  calculate();
  EXPECT_EQ(str(review_->windowTitle()), "設計レビュー — PQ50");
  EXPECT_EQ(str(part<QLabel>("reviewSummary")->text()).find("このトランスは製作できます") !=
                std::string::npos,
            true);
  EXPECT_TRUE(flagTexts().size() >= 1U);
}

TEST_F(ReviewWindowTest, ClearButtonClearsAndAStoppedCalculationKeepsTheLastReview) {
  calculate();
  openReview();
  main<QLineEdit>("txtDuty")->setText(QStringLiteral("abc"));
  calculate();
  ASSERT_FALSE(messages_.empty());
  EXPECT_EQ(number("Np").first, "227");

  QTest::mouseClick(main<QAbstractButton>("Command1"), Qt::LeftButton);
  EXPECT_EQ(str(review_->windowTitle()), "設計レビュー");
  EXPECT_EQ(part<QTableWidget>("reviewNumbers")->rowCount(), 0);
  EXPECT_EQ(part<QListWidget>("reviewFlags")->count(), 0);
  EXPECT_EQ(part<QTableWidget>("coreAdvice")->rowCount(), 0);
  EXPECT_TRUE(part<QLabel>("adviceSummary")->text().isEmpty());
}

TEST_F(ReviewWindowTest, AnUnknownCoreNameSaysThePreviousCoresFiguresWereUsed) {
  calculate();
  main<QComboBox>("cmbCore")->setEditText(QStringLiteral("XYZ"));
  calculate();
  openReview();
  // The calculation went on with EER25.5's figures, and so does the review.
  EXPECT_EQ(number("Np").first, "227");
  EXPECT_NE(str(part<QLabel>("reviewSummary")->text()).find("前回のコアの数値"), std::string::npos);
}

TEST_F(ReviewWindowTest, ControlsAreReachableWithTabAndNamed) {
  calculate();
  openReview();
  review_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(review_));
  QWidget* order[] = {part<QWidget>("reviewNumbers"), part<QWidget>("reviewFlags"),
                      part<QWidget>("coreAdvice"), part<QWidget>("reviewClose")};
  order[0]->setFocus();
  for (std::size_t i = 0; i < std::size(order); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(QApplication::focusWidget(), order[i]);
    EXPECT_FALSE(order[i]->accessibleName().isEmpty());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  }
  QTest::mouseClick(part<QPushButton>("reviewClose"), Qt::LeftButton);
  EXPECT_FALSE(review_->isVisible());
}

}  // namespace
