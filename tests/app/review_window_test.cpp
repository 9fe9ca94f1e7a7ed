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
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include "app/loss_chart.h"
#include "app/main_window.h"
#include "app/picture_box.h"
#include "app/review_texts.h"
#include "design/core_catalogue.h"
#include "design/result_texts.h"
#include "platform/palette.h"
#include "platform/text.h"
#include "review/core_advice.h"
#include "review/review.h"
#include "review/review_display.h"
#include "review/review_inputs.h"

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

  // The shown value and unit of the number `name` ("Np", "gap", ...) in the table `table`.
  std::pair<std::string, std::string> shownIn(const char* table, const char* name) {
    auto* numbers = part<QTableWidget>(table);
    for (int row = 0; row < numbers->rowCount(); ++row) {
      if (numbers->item(row, 0)->toolTip() == QLatin1String(name)) {
        return {str(numbers->item(row, 1)->text()), str(numbers->item(row, 2)->text())};
      }
    }
    return {};
  }
  std::pair<std::string, std::string> number(const char* name) {
    return shownIn("reviewNumbers", name);
  }
  std::pair<std::string, std::string> loss(const char* name) {
    return shownIn("reviewLosses", name);
  }
  // The label of the losses' row `name`.
  std::string lossLabel(const char* name) {
    auto* table = part<QTableWidget>("reviewLosses");
    for (int row = 0; row < table->rowCount(); ++row) {
      if (table->item(row, 0)->toolTip() == QLatin1String(name)) {
        return str(table->item(row, 0)->text());
      }
    }
    return {};
  }

  // The review the engine makes of the shown design at the typ level in `conditions`.
  fbc::DesignReview engineReview(const fbc::ReviewConditions& conditions = {}) {
    return fbc::reviewDesign(window_->designState(), fbc::levelSwing(fbc::CoreLevel::Typ).value(),
                             conditions);
  }

  QLineEdit* condition(fbc::ReviewInput input) {
    return part<QLineEdit>(input == fbc::ReviewInput::Ambient ? "reviewAmbient"
                                                              : "reviewMaxTemperature");
  }

  // Whether the chart shows anything in the core loss's colour.
  bool chartShowsBars() {
    const fbc::RasterSurface& surface = part<fbc::PictureBox>("lossChart")->surface();
    const fbc::Rgb navy = fbc::paletteColour(fbc::kCoreLossColour);
    for (int y = 0; y < surface.pixelHeight(); ++y) {
      for (int x = 0; x < surface.pixelWidth(); ++x) {
        if (surface.pixelAt(x, y) == navy) {
          return true;
        }
      }
    }
    return false;
  }

  // The header texts of the table `name`.
  std::vector<std::string> headers(const char* name) {
    auto* table = part<QTableWidget>(name);
    std::vector<std::string> texts;
    texts.reserve(static_cast<std::size_t>(table->columnCount()));
    for (int column = 0; column < table->columnCount(); ++column) {
      texts.push_back(str(table->horizontalHeaderItem(column)->text()));
    }
    return texts;
  }

  std::vector<std::string> flagTexts() {
    std::vector<std::string> texts;
    auto* list = part<QListWidget>("reviewFlags");
    texts.reserve(static_cast<std::size_t>(list->count()));
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

  // One sentence per flag, in the review's order, each marked as a list item; the advice
  // table names the same flags for the same core. The windings' layers and the core's
  // temperature (far above 100 °C with 29 primary layers) are flagged too.
  const std::vector<fbc::ReviewFlag> expected = {
      fbc::ReviewFlag::GapTooLarge, fbc::ReviewFlag::WindowOverfull,
      fbc::ReviewFlag::LayersExceedBobbin, fbc::ReviewFlag::TooHot,
      fbc::ReviewFlag::WireBeyondSkinDepth};
  std::vector<std::string> sentences;
  std::string notes;
  for (const fbc::ReviewFlag flag : expected) {
    sentences.push_back("・" + fbc::toUtf8(fbc::reviewFlagSentence(flag)));
    notes += (notes.empty() ? "" : "、") + fbc::toUtf8(fbc::reviewFlagShortName(flag));
  }
  EXPECT_EQ(flagTexts(), sentences);
  EXPECT_NE(flagTexts()[0].find("エアギャップ"), std::string::npos);

  // PQ50 ran at 111 °C, above the 100 °C allowed: the smallest core that stays cool is EC90.
  EXPECT_EQ(str(part<QLabel>("adviceSummary")->text()), "推奨コア: EC90");
  auto* advice = part<QTableWidget>("coreAdvice");
  ASSERT_EQ(advice->rowCount(), 18);
  EXPECT_EQ(str(advice->item(0, 0)->text()), "EC90");
  EXPECT_EQ(str(advice->item(0, 1)->text()), "推奨");
  EXPECT_EQ(str(advice->item(adviceRow("PQ50"), 1)->text()), "不可");
  EXPECT_EQ(str(advice->item(adviceRow("EER25.5"), 1)->text()), "不可");
  EXPECT_EQ(str(advice->item(adviceRow("EER25.5"), 2)->text()), "227/28");
  EXPECT_EQ(str(advice->item(adviceRow("EER25.5"), 3)->text()), "8.70");
  EXPECT_EQ(str(advice->item(adviceRow("EER25.5"), 9)->text()), notes);
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
  EXPECT_EQ(str(core->currentText()), "EC90");
  // The next calculation follows the chosen core.
  calculate();
  EXPECT_EQ(str(review_->windowTitle()), "設計レビュー — EC90");
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

// Tab runs through the conditions, the tab bar, the shown tab's controls and the close button;
// the other tabs' controls are reached by switching tabs.
TEST_F(ReviewWindowTest, ControlsAreReachableWithTabAndNamed) {
  calculate();
  openReview();
  review_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(review_));
  auto* tabs = part<QTabWidget>("reviewTabs");
  const std::vector<std::vector<const char*>> pages = {
      {"reviewNumbers", "reviewFlags"},
      {"reviewLosses", "lossChart"},
      {"coreAdvice"},
  };
  for (int page = 0; page < static_cast<int>(pages.size()); ++page) {
    SCOPED_TRACE(page);
    tabs->setCurrentIndex(page);
    std::vector<QWidget*> order = {part<QWidget>("reviewMaterial"), part<QWidget>("reviewAmbient"),
                                   part<QWidget>("reviewMaxTemperature"), tabs->tabBar()};
    for (const char* name : pages[static_cast<std::size_t>(page)]) {
      order.push_back(part<QWidget>(name));
    }
    order.push_back(part<QWidget>("reviewClose"));
    order[0]->setFocus();
    for (std::size_t i = 0; i < order.size(); ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(QApplication::focusWidget(), order[i]);
      EXPECT_FALSE(order[i]->accessibleName().isEmpty());
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
  }
  QTest::mouseClick(part<QPushButton>("reviewClose"), Qt::LeftButton);
  EXPECT_FALSE(review_->isVisible());
}

// The conditions start at the values every front end shares; the losses of the start values
// are the engine's, shown as the review shows its numbers.
TEST_F(ReviewWindowTest, LossesOfTheStartValuesInTheStartConditions) {
  calculate();
  openReview();
  EXPECT_EQ(part<QComboBox>("reviewMaterial")->currentText().toStdU16String(),
            fbc::reviewInputInfo(fbc::ReviewInput::Material).startText);
  EXPECT_EQ(part<QComboBox>("reviewMaterial")->count(),
            static_cast<int>(fbc::ferriteMaterials().size()));
  for (const fbc::ReviewInput input :
       {fbc::ReviewInput::Ambient, fbc::ReviewInput::MaxTemperature}) {
    EXPECT_EQ(condition(input)->text().toStdU16String(), fbc::reviewInputInfo(input).startText);
  }

  const fbc::TransformerLosses losses = engineReview().losses;
  ASSERT_TRUE(losses.valid);
  EXPECT_EQ(losses.material, "N97");
  // Every quantity but RthMeasured has its row, with the review's caption, value and unit.
  const std::vector<fbc::LossQuantity> quantities = fbc::lossQuantities(losses);
  EXPECT_EQ(part<QTableWidget>("reviewLosses")->rowCount(),
            static_cast<int>(quantities.size()) - 1);
  for (const fbc::LossQuantity& q : quantities) {
    SCOPED_TRACE(q.name);
    const fbc::ReviewDisplay* display = fbc::reviewDisplay(q.name);
    if (display == nullptr) {
      EXPECT_EQ(q.name, "RthMeasured");
      EXPECT_EQ(loss(q.name.c_str()), (std::pair<std::string, std::string>{}));
      continue;
    }
    EXPECT_EQ(loss(q.name.c_str()),
              (std::pair{fbc::reviewValueText(*display, q.value), fbc::toUtf8(display->unitJa)}));
  }
  EXPECT_EQ(loss("Tcore").second, "℃");
  // EER25.5's thermal resistance is published; the label says so.
  EXPECT_EQ(lossLabel("Rth"), fbc::toUtf8(fbc::reviewDisplay("Rth")->caption) + " (実測値)");
  const std::string summary = str(part<QLabel>("lossSummary")->text());
  EXPECT_NE(summary.find("N97"), std::string::npos) << summary;
  EXPECT_NE(summary.find(loss("Tcore").first + " ℃"), std::string::npos) << summary;
}

// A changed condition reviews the last calculation again, without calculating anew.
TEST_F(ReviewWindowTest, ChangingAConditionReviewsTheLastCalculationAgain) {
  calculate();
  openReview();
  const std::string pcoreN97 = loss("Pcore").first;
  part<QComboBox>("reviewMaterial")->setCurrentText(QStringLiteral("N87"));
  fbc::ReviewConditions n87;
  n87.material = fbc::ferriteMaterial("N87");
  const fbc::TransformerLosses losses = engineReview(n87).losses;
  EXPECT_EQ(loss("Pcore").first, fbc::reviewValueText(*fbc::reviewDisplay("Pcore"), losses.Pcore));
  EXPECT_NE(loss("Pcore").first, pcoreN97);
  EXPECT_NE(str(part<QLabel>("lossSummary")->text()).find("N87"), std::string::npos);

  // The advice is made in the window's conditions too: allowing 120 °C lets PQ50 (111 °C)
  // through, and it is smaller than EC90.
  part<QComboBox>("reviewMaterial")->setCurrentText(QStringLiteral("N97"));
  EXPECT_EQ(str(part<QLabel>("adviceSummary")->text()), "推奨コア: EC90");
  condition(fbc::ReviewInput::MaxTemperature)->setText(QStringLiteral("120"));
  EXPECT_EQ(str(part<QLabel>("adviceSummary")->text()), "推奨コア: PQ50");
  EXPECT_TRUE(messages_.empty());
}

// A condition that cannot be used is marked like a main-window box, with the reason as its
// tooltip, and nothing worked out in other conditions stays on show.
TEST_F(ReviewWindowTest, AnUnusableConditionIsMarkedAndTheLossesCleared) {
  struct Case {
    fbc::ReviewInput input;
    const char* text;
    fbc::ReviewInputFault fault;
  };
  const Case cases[] = {
      {fbc::ReviewInput::Ambient, "abc", fbc::ReviewInputFault::NotANumber},
      {fbc::ReviewInput::Ambient, "300", fbc::ReviewInputFault::OutOfRange},
      {fbc::ReviewInput::Ambient, "", fbc::ReviewInputFault::NotANumber},
      {fbc::ReviewInput::MaxTemperature, "30", fbc::ReviewInputFault::NotAboveAmbient},
      {fbc::ReviewInput::MaxTemperature, "251", fbc::ReviewInputFault::OutOfRange},
  };
  calculate();
  openReview();
  const std::string tcore = loss("Tcore").first;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    QLineEdit* field = condition(c.input);
    const QString start = field->text();
    field->setText(QString::fromUtf8(c.text));

    EXPECT_EQ(field->palette().color(QPalette::Base), MainWindow::faultColour());
    EXPECT_EQ(field->toolTip().toStdU16String(),
              fbc::reviewInputFaultTextJa(fbc::ReviewInputProblem{c.input, c.fault}));
    const std::string summary = str(part<QLabel>("reviewSummary")->text());
    EXPECT_NE(summary.find(fbc::toUtf8(fbc::reviewInputInfo(c.input).caption)), std::string::npos)
        << summary;
    EXPECT_EQ(summary.find("製作できません"), std::string::npos) << summary;
    EXPECT_EQ(part<QTableWidget>("reviewLosses")->rowCount(), 0);
    EXPECT_EQ(part<QListWidget>("reviewFlags")->count(), 0);
    EXPECT_EQ(part<QTableWidget>("coreAdvice")->rowCount(), 0);
    EXPECT_FALSE(chartShowsBars());
    // The design's own numbers do not depend on the conditions.
    EXPECT_EQ(number("Np").first, "227");

    field->setText(start);
    EXPECT_NE(field->palette().color(QPalette::Base), MainWindow::faultColour());
    EXPECT_TRUE(field->toolTip().isEmpty());
    EXPECT_EQ(loss("Tcore").first, tcore);
    EXPECT_TRUE(chartShowsBars());
  }
  // The main window's boxes are not the review's business.
  EXPECT_FALSE(window_->isMarked(main<QWidget>("txtVin")));
}

TEST_F(ReviewWindowTest, TheAdviceShowsEachCoresTotalLossAndTemperature) {
  calculate();
  openReview();
  const std::vector<std::string> columns = headers("coreAdvice");
  ASSERT_EQ(columns.size(), 10U);
  EXPECT_EQ(columns[7], "全損失[W]");
  EXPECT_EQ(columns[8], "コア温度[℃]");

  const fbc::CoreAdvice advice = fbc::adviseCores(fbc::DesignInputs{}, fbc::CoreCatalogue{},
                                                  fbc::levelSwing(fbc::CoreLevel::Typ).value());
  auto* table = part<QTableWidget>("coreAdvice");
  for (const fbc::CoreReview& c : advice.cores) {
    SCOPED_TRACE(fbc::toUtf8(c.core));
    const int row = adviceRow(fbc::toUtf8(c.core).c_str());
    ASSERT_GE(row, 0);
    ASSERT_TRUE(c.review.losses.valid);
    EXPECT_EQ(str(table->item(row, 7)->text()),
              fbc::reviewValueText(*fbc::reviewDisplay("Ptotal"), c.review.losses.Ptotal));
    EXPECT_EQ(str(table->item(row, 8)->text()),
              fbc::reviewValueText(*fbc::reviewDisplay("Tcore"), c.review.losses.Tcore));
  }
}

// The chart shows the feasible cores and goes blank with the results.
TEST_F(ReviewWindowTest, TheChartShowsTheFeasibleCoresAndClearsWithTheResults) {
  EXPECT_FALSE(chartShowsBars());
  calculate();
  openReview();
  EXPECT_TRUE(chartShowsBars());
  auto* chart = part<fbc::PictureBox>("lossChart");
  EXPECT_NE(str(chart->accessibleDescription()).find("EC90"), std::string::npos);
  QTest::mouseClick(main<QAbstractButton>("Command1"), Qt::LeftButton);
  EXPECT_FALSE(chartShowsBars());
  EXPECT_TRUE(chart->accessibleDescription().isEmpty());
}

// The window opens within a 1024×768 screen, and can be made smaller still on every tab.
TEST_F(ReviewWindowTest, TheWindowFitsA1024By768Screen) {
  calculate();
  openReview();
  EXPECT_LE(review_->width(), 1000);
  EXPECT_LE(review_->height(), 700);
  auto* tabs = part<QTabWidget>("reviewTabs");
  for (int page = 0; page < tabs->count(); ++page) {
    SCOPED_TRACE(page);
    tabs->setCurrentIndex(page);
    EXPECT_LE(review_->minimumSizeHint().width(), 1000);
    EXPECT_LE(review_->minimumSizeHint().height(), 700);
  }
  EXPECT_EQ(tabs->count(), 3);
  EXPECT_EQ(str(tabs->tabText(0)), "レビュー");
  EXPECT_EQ(str(tabs->tabText(1)), "損失と温度");
  EXPECT_EQ(str(tabs->tabText(2)), "コアの選択");
}

}  // namespace
