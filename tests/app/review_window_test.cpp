#include "app/review_window.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStandardPaths>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include "app/current_chart.h"
#include "app/loss_chart.h"
#include "app/main_window.h"
#include "app/picture_box.h"
#include "app/review_texts.h"
#include "app/simulation_chart.h"
#include "app/simulation_panel.h"
#include "design/core_catalogue.h"
#include "design/input_rules.h"
#include "design/result_texts.h"
#include "export/winding_texts.h"
#include "platform/palette.h"
#include "platform/text.h"
#include "review/core_advice.h"
#include "review/review.h"
#include "review/review_display.h"
#include "review/review_inputs.h"
#include "review/switch_stress.h"

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
  std::pair<std::string, std::string> stress(const char* name) {
    return shownIn("reviewStress", name);
  }
  // The label of the row `name` in the table `table`.
  std::string labelIn(const char* table, const char* name) {
    auto* numbers = part<QTableWidget>(table);
    for (int row = 0; row < numbers->rowCount(); ++row) {
      if (numbers->item(row, 0)->toolTip() == QLatin1String(name)) {
        return str(numbers->item(row, 0)->text());
      }
    }
    return {};
  }
  std::string lossLabel(const char* name) { return labelIn("reviewLosses", name); }
  // The clamp's part to buy, resistor (0) or capacitor (1): its name and what to buy.
  std::pair<std::string, std::string> clampPart(int row) {
    auto* parts = part<QTableWidget>("clampParts");
    if (row >= parts->rowCount()) {
      return {};
    }
    return {str(parts->item(row, 0)->text()), str(parts->item(row, 1)->text())};
  }

  // The review the engine makes of the shown design at the typ level in `conditions`.
  fbc::DesignReview engineReview(const fbc::ReviewConditions& conditions = {}) {
    return fbc::reviewDesign(window_->designState(), fbc::levelSwing(fbc::CoreLevel::Typ).value(),
                             conditions);
  }

  // The number field of a condition (every one but the material).
  QLineEdit* condition(fbc::ReviewInput input) {
    for (QLineEdit* edit : review_->findChildren<QLineEdit*>()) {
      if (edit->accessibleName().toStdU16String() == fbc::reviewInputInfo(input).caption) {
        return edit;
      }
    }
    ADD_FAILURE() << fbc::toUtf8(fbc::reviewInputInfo(input).caption);
    return nullptr;
  }
  // The worked example of the switch's stress: the start values on PQ50.
  void calculateOnPq50() {
    main<QComboBox>("cmbCore")->setEditText(QStringLiteral("PQ50"));
    calculate();
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

  QTabWidget* conditionPages() { return part<QTabWidget>("reviewConditionPages"); }
  // Shows the conditions' page `index`: 0 the losses', switch's, mode's and windings', 1 the
  // mains input's, 2 the outputs', 3 the insulation's.
  void showConditionPage(int index) {
    conditionPages()->setCurrentIndex(index);
    QApplication::processEvents();
  }
  // Focuses the first control and presses Tab, expecting each of `order` in turn, each named.
  void expectTabOrder(const std::vector<QWidget*>& order) {
    order[0]->setFocus();
    for (std::size_t i = 0; i < order.size(); ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(QApplication::focusWidget(), order[i]);
      EXPECT_FALSE(order[i]->accessibleName().isEmpty());
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
  }
  QTableWidget* outputsTable() { return part<QTableWidget>("reviewOutputs"); }
  // Adds a row to the further outputs' table for each of `rows` and types V, I and Vf into it
  // ("" leaves a cell empty).
  void typeOutputs(const std::vector<std::array<const char*, 3>>& rows) {
    showConditionPage(2);
    for (const auto& row : rows) {
      QTest::mouseClick(part<QPushButton>("reviewAddOutput"), Qt::LeftButton);
      const int at = outputsTable()->rowCount() - 1;
      for (int column = 0; column < 3; ++column) {
        outputsTable()
            ->item(at, column)
            ->setText(QString::fromUtf8(row[static_cast<std::size_t>(column)]));
      }
    }
  }
  // The shown rows of the outputs' results: each a winding's name and its figures.
  std::vector<std::vector<std::string>> outputResults() {
    auto* table = part<QTableWidget>("outputResults");
    std::vector<std::vector<std::string>> rows;
    for (int row = 0; row < table->rowCount(); ++row) {
      std::vector<std::string> cells;
      for (int column = 0; column < table->columnCount(); ++column) {
        cells.push_back(str(table->item(row, column)->text()));
      }
      rows.push_back(cells);
    }
    return rows;
  }
  // The label and the value of the insulation's figure `name` ("creepage", ...), two figures to a
  // row of the table.
  std::pair<std::string, std::string> isolation(const char* name) {
    auto* table = part<QTableWidget>("isolationResults");
    for (int row = 0; row < table->rowCount(); ++row) {
      for (int column = 0; column + 1 < table->columnCount(); column += 2) {
        const QTableWidgetItem* label = table->item(row, column);
        if (label != nullptr && label->toolTip() == QLatin1String(name)) {
          return {str(label->text()), str(table->item(row, column + 1)->text())};
        }
      }
    }
    return {};
  }
  // Chooses the item of the list `name` whose code is `code`.
  void choose(const char* name, const char* code) {
    auto* list = part<QComboBox>(name);
    const int at = list->findData(QString::fromLatin1(code));
    ASSERT_GE(at, 0) << name << " " << code;
    list->setCurrentIndex(at);
  }
  // The texts (or codes) of a list's items.
  std::vector<std::string> items(const char* name, int role = Qt::DisplayRole) {
    auto* list = part<QComboBox>(name);
    std::vector<std::string> texts;
    for (int i = 0; i < list->count(); ++i) {
      texts.push_back(str(list->itemData(i, role).toString()));
    }
    return texts;
  }
  // The conditions the engine reads from the window's texts with `changes` made.
  fbc::ReviewConditions engineConditions(
      const std::vector<std::pair<fbc::ReviewInput, std::u16string>>& changes) {
    fbc::ReviewInputs inputs;
    for (const auto& [input, text] : changes) {
      inputs.text(input) = text;
    }
    const fbc::ReviewInputReading reading = fbc::readReviewInputs(inputs);
    EXPECT_FALSE(reading.problem.has_value());
    return reading.conditions;
  }

  std::unique_ptr<MainWindow> window_;
  ReviewWindow* review_ = nullptr;
  std::vector<QString> messages_;
};

// The main window's click does not review while the review window is hidden: the review (with
// the windings chosen for every core of the advice) waits until the window is shown, and then
// shows the last calculation.
TEST_F(ReviewWindowTest, AHiddenReviewWindowWaitsUntilShown) {
  const std::string opening = str(part<QLabel>("reviewSummary")->text());
  calculate();
  EXPECT_FALSE(review_->isVisible());
  EXPECT_EQ(str(part<QLabel>("reviewSummary")->text()), opening);
  EXPECT_EQ(part<QTableWidget>("reviewNumbers")->rowCount(), 0);
  openReview();
  EXPECT_NE(str(part<QLabel>("reviewSummary")->text()).find("EER25.5"), std::string::npos);
  EXPECT_EQ(number("Np").first, "227");
  // Shown, it follows each calculation at once.
  main<QComboBox>("cmbCore")->setCurrentText(QStringLiteral("PQ50"));
  calculate();
  EXPECT_EQ(number("Np").first, "33");
}

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
  EXPECT_EQ(number("gap"), (std::pair<std::string, std::string>{"14.74", "mm"}));
  EXPECT_EQ(number("gapNoFringing"), (std::pair<std::string, std::string>{"8.70", "mm"}));
  EXPECT_EQ(number("Ipk").second, "A");
  EXPECT_EQ(number("Bpk").second, "T");
  EXPECT_EQ(number("dP").second, "mm");
  // Every number of the review, and beside the output side's secondary currents the winding's
  // from the primary's ampere-turns (n·Ipk = 8.107 · 6 A).
  EXPECT_EQ(part<QTableWidget>("reviewNumbers")->rowCount(),
            static_cast<int>(fbc::kReviewQuantityCount) + 2);
  EXPECT_EQ(number("IsPkWinding"), (std::pair<std::string, std::string>{"48.643", "A"}));
  EXPECT_EQ(labelIn("reviewNumbers", "IsPkWinding"), "二次巻線ピーク電流(一次から)");

  // One sentence per flag, in the review's order, each marked as a list item; the advice
  // table names the same flags for the same core. No wire lets 227 and 28 turns fit the
  // bobbin: the layers are flagged, and neither a temperature nor the clamp's loss is judged
  // from a layout that cannot be wound. A DC input is insulated functionally by default: no
  // safety barrier is designed, which is said as advice.
  const std::vector<fbc::ReviewFlag> expected = {
      fbc::ReviewFlag::GapTooLarge, fbc::ReviewFlag::WindowOverfull,
      fbc::ReviewFlag::LayersExceedBobbin, fbc::ReviewFlag::CreepageUnchecked};
  std::vector<std::string> sentences;
  std::string notes;
  for (const fbc::ReviewFlag flag : expected) {
    sentences.push_back("・" + fbc::toUtf8(fbc::reviewFlagSentence(flag)));
    notes += (notes.empty() ? "" : "、") + fbc::toUtf8(fbc::reviewFlagShortName(flag));
  }
  EXPECT_EQ(flagTexts(), sentences);
  EXPECT_NE(flagTexts()[0].find("エアギャップ"), std::string::npos);

  // Wound in foil and interleaved, PQ50 runs at 69.4 °C: the smallest core that can be built.
  EXPECT_EQ(str(part<QLabel>("adviceSummary")->text()), "推奨コア: PQ50");
  auto* advice = part<QTableWidget>("coreAdvice");
  ASSERT_EQ(advice->rowCount(), 18);
  EXPECT_EQ(str(advice->item(0, 0)->text()), "PQ50");
  EXPECT_EQ(str(advice->item(0, 1)->text()), "推奨");
  EXPECT_EQ(str(advice->item(0, 8)->text()), "69.4");
  EXPECT_EQ(str(advice->item(adviceRow("EER25.5"), 1)->text()), "不可");
  EXPECT_EQ(str(advice->item(adviceRow("EER25.5"), 2)->text()), "227/28");
  EXPECT_EQ(str(advice->item(adviceRow("EER25.5"), 3)->text()), "14.74");
  // Windings that do not fit have no total loss or temperature.
  EXPECT_EQ(str(advice->item(adviceRow("EER25.5"), 7)->text()), "—");
  EXPECT_EQ(str(advice->item(adviceRow("EER25.5"), 8)->text()), "—");
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
  EXPECT_EQ(part<QTableWidget>("reviewStress")->rowCount(), 0);
  EXPECT_EQ(part<QTableWidget>("clampParts")->rowCount(), 0);
  EXPECT_TRUE(part<QLabel>("stressSummary")->text().isEmpty());
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

// Tab runs through the conditions' page tabs, the shown page's conditions in the table's order,
// each wire's kind before its text, the tab bar, the shown tab's controls and the close button;
// the other tabs' controls are reached by switching tabs. Each condition is named by its caption,
// a wire's kind after its wire.
TEST_F(ReviewWindowTest, ControlsAreReachableWithTabAndNamed) {
  calculate();
  openReview();
  review_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(review_));
  auto* tabs = part<QTabWidget>("reviewTabs");
  const std::vector<std::vector<const char*>> pages = {
      {"reviewNumbers", "outputResults", "isolationResults", "reviewFlags"},
      {"reviewLosses", "lossChart"},
      {"reviewStress", "clampParts"},
      {"primaryCurrentPlot", "secondaryCurrentPlot"},
      {"simulationStart", "simulatedSwitchPlot", "simulatedDiodePlot", "simulationFigures"},
      {"coreAdvice"},
  };
  std::vector<QWidget*> conditions;
  for (const char* name :
       {"reviewMaterial", "reviewAmbient", "reviewMaxTemperature", "reviewCurrentLimit",
        "reviewVinMax", "reviewLeakage", "reviewClampRatio", "reviewVdsRating", "reviewMode",
        "reviewRipple", "reviewDrainCapacitance", "reviewWirePrimary", "reviewWireSecondary",
        "reviewArrangement"}) {
    conditions.push_back(part<QWidget>(name));
  }
  // The first page's: every condition before the mains'.
  const std::size_t firstPage = conditions.size();
  ASSERT_EQ(fbc::kReviewInputTable[firstPage].input, fbc::ReviewInput::VacMin);
  for (std::size_t i = 0; i < conditions.size(); ++i) {
    EXPECT_EQ(conditions[i]->accessibleName().toStdU16String(), fbc::kReviewInputTable[i].caption);
  }
  for (const auto& [kind, wire] : {std::pair{"reviewWirePrimaryKind", "reviewWirePrimary"},
                                   std::pair{"reviewWireSecondaryKind", "reviewWireSecondary"}}) {
    QWidget* text = part<QWidget>(wire);
    EXPECT_EQ(part<QWidget>(kind)->accessibleName(),
              text->accessibleName() + QStringLiteral("の種類"));
    conditions.insert(std::find(conditions.begin(), conditions.end(), text), part<QWidget>(kind));
  }
  for (int page = 0; page < static_cast<int>(pages.size()); ++page) {
    SCOPED_TRACE(page);
    tabs->setCurrentIndex(page);
    // The ripple and the drain capacitance are closed outside their modes, so Tab passes them.
    std::vector<QWidget*> order;
    std::copy_if(conditions.begin(), conditions.end(), std::back_inserter(order),
                 [](const QWidget* w) { return w->isEnabled(); });
    EXPECT_EQ(order.size(), firstPage + 2 - 2);
    order.insert(order.begin(), conditionPages()->tabBar());
    order.push_back(tabs->tabBar());
    // The simulation's start is closed for the start values, which cannot be simulated.
    for (const char* name : pages[static_cast<std::size_t>(page)]) {
      if (part<QWidget>(name)->isEnabled()) {
        order.push_back(part<QWidget>(name));
      }
    }
    order.push_back(part<QWidget>("reviewClose"));
    expectTabOrder(order);
  }
  QTest::mouseClick(part<QPushButton>("reviewClose"), Qt::LeftButton);
  EXPECT_FALSE(review_->isVisible());
}

// The conditions start at the values every front end shares; the losses of the start values
// are the engine's, shown as the review shows its numbers: the wires it chose for each winding
// first, then every loss quantity, a dash for each one that windings which do not fit the bobbin
// cannot give, with the sentence saying so.
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

  for (const fbc::ReviewInput input :
       {fbc::ReviewInput::WirePrimary, fbc::ReviewInput::WireSecondary}) {
    EXPECT_EQ(condition(input)->text().toStdU16String(), fbc::reviewInputInfo(input).startText);
  }
  EXPECT_EQ(str(part<QComboBox>("reviewArrangement")->currentText()), "自動");

  const fbc::TransformerLosses losses = engineReview().losses;
  ASSERT_TRUE(losses.valid);
  ASSERT_FALSE(losses.fits);
  EXPECT_EQ(losses.material, "N97");
  // Each winding's wire and current density, then every quantity but RthMeasured and converged,
  // with the review's caption, value and unit.
  const std::vector<fbc::LossQuantity> quantities = fbc::lossQuantities(losses);
  EXPECT_EQ(part<QTableWidget>("reviewLosses")->rowCount(),
            static_cast<int>(2 * losses.windings.size() + quantities.size()) - 2);
  for (const fbc::WindingLoss& w : losses.windings) {
    const bool primary = w.winding == fbc::Winding::Primary;
    const char* wire = primary ? "wireP" : "wireS";
    SCOPED_TRACE(wire);
    EXPECT_EQ(loss(wire), (std::pair{fbc::wireText(w.wire), std::string()}));
    EXPECT_EQ(lossLabel(wire), primary ? "一次巻線の線材 (自動)" : "二次巻線の線材 (自動)");
    EXPECT_EQ(
        loss(primary ? "JP" : "JS"),
        (std::pair{fbc::reviewValueText(*fbc::reviewDisplay("JrmsModel"), w.currentDensity * 1e-6),
                   std::string("A/mm²")}));
  }
  int dashes = 0;
  for (const fbc::LossQuantity& q : quantities) {
    SCOPED_TRACE(q.name);
    const fbc::ReviewDisplay* display = fbc::reviewDisplay(q.name);
    if (display == nullptr) {
      EXPECT_TRUE(q.name == "RthMeasured" || q.name == "converged");
      EXPECT_EQ(loss(q.name.c_str()), (std::pair<std::string, std::string>{}));
      continue;
    }
    if (!q.value) {
      EXPECT_EQ(loss(q.name.c_str()), (std::pair<std::string, std::string>{"—", ""}));
      EXPECT_EQ(lossLabel(q.name.c_str()), fbc::toUtf8(display->caption));
      ++dashes;
      continue;
    }
    EXPECT_EQ(loss(q.name.c_str()),
              (std::pair{fbc::reviewValueText(*display, *q.value), fbc::toUtf8(display->unitJa)}));
  }
  // FrP, FrS, PcuP, PcuS, Ptotal, dT, Tcore and the temperature's iterations.
  EXPECT_EQ(dashes, 8);
  EXPECT_EQ(loss("Tcore").first, "—");
  EXPECT_EQ(loss("Tambient"), (std::pair<std::string, std::string>{"40.0", "℃"}));
  // EER25.5's thermal resistance is published; the label says so.
  EXPECT_EQ(lossLabel("Rth"), fbc::toUtf8(fbc::reviewDisplay("Rth")->caption) + " (実測値)");
  const std::string summary = str(part<QLabel>("lossSummary")->text());
  EXPECT_NE(summary.find("N97"), std::string::npos) << summary;
  EXPECT_NE(summary.find("コア温度 —"), std::string::npos) << summary;
  EXPECT_NE(summary.find("巻線配置 ps (一次・二次)"), std::string::npos) << summary;
  EXPECT_NE(summary.find("中心から 一次 227T、二次 28T"), std::string::npos) << summary;
  EXPECT_NE(summary.find(str(fbc::lossesNotEstimatedJa())), std::string::npos) << summary;
}

// PQ35 at the start values runs away: its windings fit, but no temperature up to 250 °C
// balances their losses. The summary shows no core temperature and says why in red; the copper's
// AC figures, the total and the temperatures are dashes as for windings that do not fit.
TEST_F(ReviewWindowTest, ARunawayShowsNoTemperatureAndSaysWhy) {
  main<QComboBox>("cmbCore")->setEditText(QStringLiteral("PQ35"));
  calculate();
  openReview();
  const fbc::TransformerLosses losses = engineReview().losses;
  ASSERT_TRUE(losses.valid && losses.fits && !losses.converged);
  const std::string summary = str(part<QLabel>("lossSummary")->text());
  EXPECT_NE(summary.find("コア温度 —"), std::string::npos) << summary;
  EXPECT_NE(summary.find(str(fbc::runawayNotEstimatedJa())), std::string::npos) << summary;
  EXPECT_EQ(summary.find(str(fbc::lossesNotEstimatedJa())), std::string::npos) << summary;
  EXPECT_EQ(part<QLabel>("lossSummary")->palette().color(QPalette::WindowText), QColor(176, 0, 0));
  for (const char* name : {"FrP", "PcuS", "Ptotal", "dT", "Tcore"}) {
    EXPECT_EQ(loss(name).first, "—") << name;
  }
  EXPECT_EQ(loss("Pcore").first, fbc::reviewValueText(*fbc::reviewDisplay("Pcore"), losses.Pcore));
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

  // The advice is made in the window's conditions too: allowing only 60 °C keeps PQ50 (69.4 °C)
  // out, and the larger EC90 (55.9 °C, on an 800 V switch) is the smallest left.
  part<QComboBox>("reviewMaterial")->setCurrentText(QStringLiteral("N97"));
  EXPECT_EQ(str(part<QLabel>("adviceSummary")->text()), "推奨コア: PQ50");
  condition(fbc::ReviewInput::VdsRating)->setText(QStringLiteral("800"));
  condition(fbc::ReviewInput::MaxTemperature)->setText(QStringLiteral("60"));
  EXPECT_EQ(str(part<QLabel>("adviceSummary")->text()), "推奨コア: EC90");
  EXPECT_TRUE(messages_.empty());
}

// A condition that cannot be used is marked like a main-window box, with the reason as its
// tooltip, and nothing worked out in other conditions stays on show: neither the losses nor the
// switch's stress.
TEST_F(ReviewWindowTest, AnUnusableConditionIsMarkedAndTheLossesAndStressCleared) {
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
      // The start values' input is 200 V.
      {fbc::ReviewInput::VinMax, "150", fbc::ReviewInputFault::BelowVin},
      {fbc::ReviewInput::VinMax, "1001", fbc::ReviewInputFault::OutOfRange},
      {fbc::ReviewInput::Leakage, "-1e-6", fbc::ReviewInputFault::OutOfRange},
      {fbc::ReviewInput::Leakage, "8.5u", fbc::ReviewInputFault::NotANumber},
      {fbc::ReviewInput::ClampRatio, "1", fbc::ReviewInputFault::OutOfRange},
      {fbc::ReviewInput::ClampRatio, "", fbc::ReviewInputFault::NotANumber},
      {fbc::ReviewInput::VdsRating, "0", fbc::ReviewInputFault::OutOfRange},
      // A mode's own input is checked in every mode, and stays open to correction.
      {fbc::ReviewInput::Ripple, "0", fbc::ReviewInputFault::OutOfRange},
      {fbc::ReviewInput::Ripple, "1.5", fbc::ReviewInputFault::OutOfRange},
      {fbc::ReviewInput::Ripple, "abc", fbc::ReviewInputFault::NotANumber},
      {fbc::ReviewInput::DrainCapacitance, "-1e-12", fbc::ReviewInputFault::OutOfRange},
      // A wire's text is marked with what is wrong with it.
      {fbc::ReviewInput::WirePrimary, "litz:0.1", fbc::ReviewInputFault::BadWire},
      {fbc::ReviewInput::WirePrimary, "round:9", fbc::ReviewInputFault::BadWire},
      {fbc::ReviewInput::WireSecondary, "copper:1", fbc::ReviewInputFault::BadWire},
      {fbc::ReviewInput::WireSecondary, "foil:0.2x3", fbc::ReviewInputFault::BadWire},
  };
  calculate();
  openReview();
  const std::string tcore = loss("Tcore").first;
  const std::string vdsMax = stress("VdsMax").first;
  ASSERT_FALSE(vdsMax.empty());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    QLineEdit* field = condition(c.input);
    const QString start = field->text();
    field->setText(QString::fromUtf8(c.text));

    EXPECT_EQ(field->palette().color(QPalette::Base), MainWindow::faultColour());
    EXPECT_TRUE(field->isEnabled());
    fbc::ReviewInputProblem problem{c.input, c.fault, 200.0, std::nullopt};
    if (c.fault == fbc::ReviewInputFault::BadWire) {
      problem.wire = fbc::readWire(c.text).problem;
      ASSERT_TRUE(problem.wire.has_value());
    }
    EXPECT_EQ(field->toolTip().toStdU16String(), fbc::reviewInputFaultTextJa(problem));
    const std::string summary = str(part<QLabel>("reviewSummary")->text());
    EXPECT_NE(summary.find(fbc::toUtf8(fbc::reviewInputInfo(c.input).caption)), std::string::npos)
        << summary;
    EXPECT_EQ(summary.find("製作できません"), std::string::npos) << summary;
    EXPECT_EQ(part<QTableWidget>("reviewLosses")->rowCount(), 0);
    EXPECT_EQ(part<QListWidget>("reviewFlags")->count(), 0);
    EXPECT_EQ(part<QTableWidget>("coreAdvice")->rowCount(), 0);
    EXPECT_FALSE(chartShowsBars());
    EXPECT_EQ(part<QTableWidget>("reviewStress")->rowCount(), 0);
    EXPECT_EQ(part<QTableWidget>("clampParts")->rowCount(), 0);
    EXPECT_NE(str(part<QLabel>("stressSummary")->text()).find("使えない入力"), std::string::npos);
    // The design's own numbers do not depend on the conditions.
    EXPECT_EQ(number("Np").first, "227");

    field->setText(start);
    EXPECT_NE(field->palette().color(QPalette::Base), MainWindow::faultColour());
    EXPECT_TRUE(field->toolTip().isEmpty());
    EXPECT_EQ(loss("Tcore").first, tcore);
    EXPECT_EQ(stress("VdsMax").first, vdsMax);
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
    // Windings that do not fit the bobbin or run away give neither.
    const bool fits = c.review.losses.temperatureKnown();
    EXPECT_EQ(
        str(table->item(row, 7)->text()),
        fits ? fbc::reviewValueText(*fbc::reviewDisplay("Ptotal"), c.review.losses.Ptotal) : "—");
    EXPECT_EQ(
        str(table->item(row, 8)->text()),
        fits ? fbc::reviewValueText(*fbc::reviewDisplay("Tcore"), c.review.losses.Tcore) : "—");
  }
}

// The chart shows the feasible cores and goes blank with the results.
TEST_F(ReviewWindowTest, TheChartShowsTheFeasibleCoresAndClearsWithTheResults) {
  EXPECT_FALSE(chartShowsBars());
  calculate();
  openReview();
  EXPECT_TRUE(chartShowsBars());
  auto* chart = part<fbc::PictureBox>("lossChart");
  EXPECT_NE(str(chart->accessibleDescription()).find("PQ50"), std::string::npos);
  QTest::mouseClick(main<QAbstractButton>("Command1"), Qt::LeftButton);
  EXPECT_FALSE(chartShowsBars());
  EXPECT_TRUE(chart->accessibleDescription().isEmpty());
}

// The losses' conditions stand in one row, the switch's in a second beneath, the drive mode's in
// a third and the windings' in a fourth, so the window stays narrow; a field that may stay empty
// says what empty stands for. The mains' and the outputs' conditions have pages of their own.
TEST_F(ReviewWindowTest, TheSwitchConditionsSitInTheirOwnRowAndSayWhatEmptyMeans) {
  openReview();
  const auto middle = [this](const QWidget* w) {
    return w->mapTo(review_, QPoint(0, w->height() / 2)).y();
  };
  for (const fbc::ReviewInputInfo& info : fbc::kReviewInputTable) {
    if (info.input == fbc::ReviewInput::Material || info.input == fbc::ReviewInput::Mode ||
        info.input == fbc::ReviewInput::Arrangement || info.purpose == fbc::kMainsPurpose ||
        info.purpose == fbc::kOutputsPurpose || info.purpose == fbc::kIsolationPurpose) {
      continue;
    }
    SCOPED_TRACE(fbc::toUtf8(info.caption));
    QLineEdit* field = condition(info.input);
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->text().toStdU16String(), info.startText);
    EXPECT_EQ(field->placeholderText().toStdU16String(), info.emptyMeansJa);
    const QWidget* row = info.purpose == fbc::kStressPurpose ? condition(fbc::ReviewInput::VinMax)
                         : info.purpose == fbc::kModePurpose ? part<QWidget>("reviewMode")
                         : info.purpose == fbc::kWindingPurpose ? part<QWidget>("reviewArrangement")
                                                                : part<QWidget>("reviewMaterial");
    EXPECT_EQ(middle(field), middle(row));
  }
  EXPECT_GT(middle(part<QWidget>("reviewArrangement")), middle(part<QWidget>("reviewMode")));
  EXPECT_EQ(middle(part<QWidget>("reviewWirePrimaryKind")),
            middle(part<QWidget>("reviewArrangement")));
  EXPECT_EQ(str(condition(fbc::ReviewInput::VinMax)->placeholderText()), "入力電圧と同じ");
  EXPECT_EQ(str(condition(fbc::ReviewInput::Leakage)->placeholderText()), "巻線から推定");
  EXPECT_GT(condition(fbc::ReviewInput::VinMax)->mapTo(review_, QPoint()).y(),
            part<QWidget>("reviewMaterial")->mapTo(review_, QPoint()).y());
  EXPECT_GT(part<QWidget>("reviewMode")->mapTo(review_, QPoint()).y(),
            condition(fbc::ReviewInput::VinMax)->mapTo(review_, QPoint()).y());
  // The mode's longest caption shows whole, and the window still fits a 1024×768 screen.
  auto* mode = part<QComboBox>("reviewMode");
  for (int i = 0; i < mode->count(); ++i) {
    EXPECT_LE(mode->fontMetrics().horizontalAdvance(mode->itemText(i)), mode->width() - 24)
        << str(mode->itemText(i));
  }
  EXPECT_LE(review_->frameGeometry().width(), 1024);
  // The placeholder is not clipped: it fits the text's room as the line edit works it out, the
  // style's contents less the edit's own margin of 2 pixels a side.
  // So is a long wire's text.
  const std::pair<fbc::ReviewInput, QString> texts[] = {
      {fbc::ReviewInput::VinMax, condition(fbc::ReviewInput::VinMax)->placeholderText()},
      {fbc::ReviewInput::Leakage, condition(fbc::ReviewInput::Leakage)->placeholderText()},
      {fbc::ReviewInput::WirePrimary, QStringLiteral("strands:0.063x100")},
      {fbc::ReviewInput::WireSecondary, QStringLiteral("litz:0.071x2000")},
  };
  for (const auto& [input, text] : texts) {
    QLineEdit* field = condition(input);
    QStyleOptionFrame frame;
    frame.initFrom(field);
    frame.rect = field->rect();
    frame.lineWidth = field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, field);
    const QRect contents =
        field->style()->subElementRect(QStyle::SE_LineEditContents, &frame, field);
    EXPECT_LE(field->fontMetrics().horizontalAdvance(text),
              contents.width() - 4 - field->textMargins().left() - field->textMargins().right())
        << str(text);
  }
}

// The worked example: the start values on PQ50 with a highest input of 370 V, wound as the review
// chooses (foil, interleaved). The switch's tab shows every quantity of the stress with its
// caption and unit, the engine's figures and the clamp's parts to buy; the switch is flagged.
TEST_F(ReviewWindowTest, TypingTheHighestInputShowsTheWorkedExamplesSwitchAndClamp) {
  calculateOnPq50();
  openReview();
  EXPECT_EQ(stress("VinMax").first, "200.0");
  QLineEdit* vinMax = condition(fbc::ReviewInput::VinMax);
  vinMax->setFocus();
  QTest::keyClicks(vinMax, QStringLiteral("370"));

  using Shown = std::pair<std::string, std::string>;
  const std::vector<std::pair<const char*, Shown>> expected = {
      {"VinMax", {"370.0", "V"}}, {"DHigh", {"0.270", ""}},      {"VRO", {"203.8", "V"}},
      {"Llk", {"1.26", "µH"}},    {"k", {"0.9981", ""}},         {"Vclamp", {"304.5", "V"}},
      {"Pclamp", {"3.43", "W"}},  {"Rclamp", {"27413", "Ω"}},    {"RclampE24", {"27000", "Ω"}},
      {"Cclamp", {"7.30", "nF"}}, {"CclampE12", {"8.20", "nF"}}, {"PratingR", {"6.87", "W"}},
      {"VdsMax", {"689.7", "V"}}, {"VdsRating", {"650", "V"}},   {"VdRevMax", {"68.8", "V"}},
  };
  for (const auto& [name, shown] : expected) {
    EXPECT_EQ(stress(name), shown) << name;
  }
  // One row per quantity, captioned as the review captions it; LlkEstimated is said in the
  // leakage's label instead.
  fbc::ReviewConditions at370;
  at370.vinMax = 370.0;
  const fbc::DesignReview engine = engineReview(at370);
  ASSERT_TRUE(engine.stress.valid);
  const std::vector<fbc::StressQuantity> quantities = fbc::stressQuantities(engine.stress);
  // In pwm-critical the frequency and peak current at the highest input are the design's own:
  // no rows of their own.
  EXPECT_EQ(part<QTableWidget>("reviewStress")->rowCount(),
            static_cast<int>(quantities.size()) - 3);
  for (const fbc::StressQuantity& q : quantities) {
    if (q.boolean || q.name == "fsHigh" || q.name == "IpkHigh") {
      continue;
    }
    const std::string label = labelIn("reviewStress", std::string(q.name).c_str());
    EXPECT_TRUE(label.starts_with(fbc::toUtf8(fbc::reviewDisplay(q.name)->caption))) << q.name;
  }
  EXPECT_EQ(labelIn("reviewStress", "Llk"), "漏れインダクタンス (巻線から推定)");

  EXPECT_EQ(clampPart(0), (Shown{"クランプ抵抗", "27000 Ω (E24)、定格電力 6.87 W 以上"}));
  EXPECT_EQ(clampPart(1), (Shown{"クランプ容量", "8.20 nF (E12)"}));
  EXPECT_NE(str(part<QLabel>("clampNote")->text()).find("推定"), std::string::npos);

  // Above 80 % of the 650 V rating: the summary is red, and the flag names the switch with its
  // sentence in the blocking red. The DC input's functional insulation is advice, in black.
  auto* summary = part<QLabel>("stressSummary");
  EXPECT_NE(str(summary->text()).find("689.7 V"), std::string::npos) << str(summary->text());
  EXPECT_EQ(summary->palette().color(QPalette::WindowText), QColor(176, 0, 0));
  auto* flags = part<QListWidget>("reviewFlags");
  std::vector<std::string> codes;
  codes.reserve(static_cast<std::size_t>(flags->count()));
  for (int i = 0; i < flags->count(); ++i) {
    codes.push_back(str(flags->item(i)->toolTip()));
  }
  EXPECT_EQ(codes, (std::vector<std::string>{"switch-overvoltage", "creepage-unchecked"}));
  for (const fbc::ReviewFlag flag :
       {fbc::ReviewFlag::SwitchOvervoltage, fbc::ReviewFlag::CreepageUnchecked}) {
    const auto at = std::find(codes.begin(), codes.end(), fbc::reviewFlagCode(flag));
    ASSERT_NE(at, codes.end());
    const QListWidgetItem* item = flags->item(static_cast<int>(at - codes.begin()));
    EXPECT_EQ(str(item->text()), "・" + fbc::toUtf8(fbc::reviewFlagSentence(flag)));
    EXPECT_EQ(item->foreground().color() == QColor(176, 0, 0), fbc::isBlockingFlag(flag));
  }
  // A rating the peak stays well under lifts the flag and the red.
  condition(fbc::ReviewInput::VdsRating)->setText(QStringLiteral("900"));
  EXPECT_EQ(stress("VdsRating").first, "900");
  EXPECT_NE(summary->palette().color(QPalette::WindowText), QColor(176, 0, 0));
  EXPECT_TRUE(flags
                  ->findItems(QString::fromStdU16String(
                                  fbc::reviewFlagSentence(fbc::ReviewFlag::SwitchOvervoltage)),
                              Qt::MatchContains)
                  .isEmpty());
  EXPECT_TRUE(messages_.empty());
}

// A measured leakage replaces the estimate and says so; a measured leakage of zero leaves the
// clamp nothing to absorb, and its parts are not needed.
// The drive mode's choice lists the window's captions; each mode reviews the design in it, shows
// its own figures after the review's and its frequency and peak current at the highest input,
// and opens only its own input. Back in pwm-critical everything is as it was.
TEST_F(ReviewWindowTest, ChoosingADriveModeReviewsTheDesignInIt) {
  calculateOnPq50();
  openReview();
  auto* mode = part<QComboBox>("reviewMode");
  ASSERT_EQ(mode->count(), static_cast<int>(fbc::kDriveModes.size()));
  for (int i = 0; i < mode->count(); ++i) {
    EXPECT_EQ(mode->itemText(i).toStdU16String(),
              fbc::driveModeCaption(fbc::kDriveModes[static_cast<std::size_t>(i)]));
  }
  EXPECT_EQ(str(mode->currentText()), "PWM(電流臨海モード：Fs指定,Lp可変)");
  const auto rowCount = [this](const char* table) { return part<QTableWidget>(table)->rowCount(); };
  const int criticalNumbers = rowCount("reviewNumbers");
  const int criticalStress = rowCount("reviewStress");
  EXPECT_EQ(number("LpRef").first, "333.33");
  condition(fbc::ReviewInput::VinMax)->setText(QStringLiteral("370"));

  const struct {
    fbc::DriveMode mode;
    const char* lpRef;
    const char* fsHigh;
    std::vector<const char*> figures;
    bool rippleOpen, capacitanceOpen;
  } cases[] = {
      {fbc::DriveMode::PfmCritical, "333.33", "86.3", {}, false, false},
      {fbc::DriveMode::PwmCcm, "679.19", "50.0", {"KRF", "IEDC", "dI", "VinCcmLimit"}, true, false},
      {fbc::DriveMode::Qr, "320.76", "81.7", {"Cd", "ton", "toff", "tv"}, false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(fbc::driveModeCode(c.mode)));
    mode->setCurrentIndex(mode->findData(QString::fromUtf8(fbc::driveModeCode(c.mode).data())));
    EXPECT_EQ(number("LpRef").first, c.lpRef);
    EXPECT_EQ(labelIn("reviewNumbers", "LpRef"),
              fbc::criticalConduction(c.mode) ? "一次インダクタンス(臨界)" : "一次インダクタンス");
    EXPECT_EQ(number("mode").first, fbc::driveModeCode(c.mode));
    for (const char* figure : c.figures) {
      EXPECT_FALSE(number(figure).first.empty()) << figure;
    }
    EXPECT_EQ(rowCount("reviewNumbers"), criticalNumbers + 1 + static_cast<int>(c.figures.size()));
    EXPECT_EQ(stress("fsHigh"), (std::pair<std::string, std::string>{c.fsHigh, "kHz"}));
    EXPECT_EQ(rowCount("reviewStress"), criticalStress + 2);
    EXPECT_EQ(condition(fbc::ReviewInput::Ripple)->isEnabled(), c.rippleOpen);
    EXPECT_EQ(condition(fbc::ReviewInput::DrainCapacitance)->isEnabled(), c.capacitanceOpen);
  }
  // While another condition cannot be used, the design's numbers stay in the chosen mode; while
  // the mode's own input cannot be used there are none.
  mode->setCurrentIndex(mode->findData(QStringLiteral("qr")));
  condition(fbc::ReviewInput::Ambient)->setText(QStringLiteral("abc"));
  EXPECT_EQ(number("LpRef").first, "320.76");
  condition(fbc::ReviewInput::Ambient)->setText(QStringLiteral("40"));
  condition(fbc::ReviewInput::DrainCapacitance)->setText(QStringLiteral("-1"));
  EXPECT_EQ(rowCount("reviewNumbers"), 0);
  condition(fbc::ReviewInput::DrainCapacitance)->setText(QStringLiteral("100e-12"));
  EXPECT_EQ(number("LpRef").first, "320.76");

  // A ripple typed in continuous conduction counts at once.
  QLineEdit* ripple = condition(fbc::ReviewInput::Ripple);
  mode->setCurrentIndex(mode->findData(QStringLiteral("pwm-ccm")));
  ripple->setText(QStringLiteral("1"));
  // The boundary, at the duty the whole turns give: critical conduction's inductance for
  // VRO / (Vin + VRO) rather than the duty typed.
  EXPECT_EQ(number("LpRef").first, "339.60");
  ripple->setText(QStringLiteral("0.5"));

  mode->setCurrentIndex(mode->findData(QStringLiteral("pwm-critical")));
  EXPECT_EQ(number("LpRef").first, "333.33");
  EXPECT_EQ(labelIn("reviewNumbers", "LpRef"), "一次インダクタンス(臨界)");
  EXPECT_EQ(rowCount("reviewNumbers"), criticalNumbers);
  EXPECT_EQ(rowCount("reviewStress"), criticalStress);
  EXPECT_FALSE(ripple->isEnabled());
  EXPECT_FALSE(condition(fbc::ReviewInput::DrainCapacitance)->isEnabled());
  EXPECT_EQ(fbc::readReviewInputs(review_->reviewInputs()).conditions.mode,
            fbc::DriveMode::PwmCritical);
}

// The currents' tab plots the windings' currents of the drive mode on show, says their peaks
// and RMS values to a screen reader, and goes blank with the results or an unusable condition.
TEST_F(ReviewWindowTest, TheCurrentPlotsFollowTheModeAndClearWithTheResults) {
  auto* primary = part<fbc::PictureBox>("primaryCurrentPlot");
  auto* secondary = part<fbc::PictureBox>("secondaryCurrentPlot");
  // Whether the plot shows anything in a trace's colour.
  const auto drawn = [](fbc::PictureBox* plot) {
    const fbc::RasterSurface& surface = plot->surface();
    for (int y = 0; y < surface.pixelHeight(); ++y) {
      for (int x = 0; x < surface.pixelWidth(); ++x) {
        const fbc::Rgb c = surface.pixelAt(x, y);
        if (c == fbc::paletteColour(fbc::kPrimaryCurrentColour) ||
            c == fbc::paletteColour(fbc::kSecondaryCurrentColour)) {
          return true;
        }
      }
    }
    return false;
  };
  EXPECT_FALSE(drawn(primary));
  calculateOnPq50();
  openReview();
  EXPECT_TRUE(drawn(primary));
  EXPECT_TRUE(drawn(secondary));
  EXPECT_EQ(str(primary->accessibleDescription()), "一次電流 Ip: ピーク 6.000 A、実効値 2.449 A");
  EXPECT_EQ(str(secondary->accessibleDescription()),
            "二次電流 Is: ピーク 40.000 A、実効値 16.330 A");
  auto* mode = part<QComboBox>("reviewMode");
  mode->setCurrentIndex(mode->findData(QStringLiteral("pwm-ccm")));
  EXPECT_EQ(str(primary->accessibleDescription()), "一次電流 Ip: ピーク 4.458 A、実効値 2.198 A");
  condition(fbc::ReviewInput::Ripple)->setText(QStringLiteral("0"));
  EXPECT_FALSE(drawn(primary));
  EXPECT_TRUE(primary->accessibleDescription().isEmpty());
  condition(fbc::ReviewInput::Ripple)->setText(QStringLiteral("0.5"));
  EXPECT_TRUE(drawn(primary));
  QTest::mouseClick(main<QAbstractButton>("Command1"), Qt::LeftButton);
  EXPECT_FALSE(drawn(primary));
  EXPECT_FALSE(drawn(secondary));
}

// The simulation runs in the background on request, fills the side-by-side table and the plots,
// and can be cancelled; a design that cannot be simulated closes its start button.
TEST_F(ReviewWindowTest, TheSimulationRunsInTheBackgroundAndCanBeCancelled) {
  if (QStandardPaths::findExecutable(QStringLiteral("ngspice")).isEmpty()) {
    GTEST_SKIP() << "ngspice is not installed (./test installs it)";
  }
  calculate();
  openReview();
  auto* start = part<QPushButton>("simulationStart");
  auto* cancel = part<QPushButton>("simulationCancel");
  auto* figures = part<QTableWidget>("simulationFigures");
  auto* status = part<QLabel>("simulationStatus");
  auto* panel = review_->findChild<fbc::SimulationPanel*>();
  ASSERT_NE(panel, nullptr);
  // 227 turns on EER25.5 do not fit the bobbin: no leakage to simulate with.
  EXPECT_FALSE(start->isEnabled());
  EXPECT_NE(str(status->text()).find("漏れインダクタンスが推定できません"), std::string::npos);

  calculateOnPq50();
  part<QTabWidget>("reviewTabs")->setCurrentIndex(4);
  ASSERT_TRUE(start->isEnabled());
  EXPECT_FALSE(cancel->isEnabled());
  QTest::mouseClick(start, Qt::LeftButton);
  EXPECT_TRUE(panel->running());
  EXPECT_TRUE(cancel->isEnabled());
  EXPECT_FALSE(start->isEnabled());
  EXPECT_TRUE(part<QWidget>("simulationBusy")->isVisible());
  QTRY_VERIFY_WITH_TIMEOUT(!panel->running(), 15000);
  QTRY_COMPARE_WITH_TIMEOUT(figures->rowCount(), 7, 5000);
  EXPECT_EQ(figures->item(0, 0)->toolTip(), QStringLiteral("ippk"));
  EXPECT_EQ(figures->item(0, 1)->text(), QStringLiteral("6.000"));
  EXPECT_FALSE(part<QWidget>("simulationBusy")->isVisible());
  EXPECT_NE(str(status->text()).find("終わりました"), std::string::npos);
  const fbc::RasterSurface& plot = part<fbc::PictureBox>("simulatedSwitchPlot")->surface();
  bool red = false;
  for (int y = 0; y < plot.pixelHeight() && !red; ++y) {
    for (int x = 0; x < plot.pixelWidth() && !red; ++x) {
      red = plot.pixelAt(x, y) == fbc::paletteColour(fbc::kSimulatedCurrentColour);
    }
  }
  EXPECT_TRUE(red);

  // Cancelled at once: no results, and the start is open again.
  QTest::mouseClick(start, Qt::LeftButton);
  ASSERT_TRUE(panel->running());
  EXPECT_EQ(figures->rowCount(), 0);
  QTest::mouseClick(cancel, Qt::LeftButton);
  EXPECT_FALSE(panel->running());
  EXPECT_NE(str(status->text()).find("中止"), std::string::npos);
  EXPECT_TRUE(start->isEnabled());
  EXPECT_EQ(figures->rowCount(), 0);

  // A new calculation stops a run and clears what it showed.
  QTest::mouseClick(start, Qt::LeftButton);
  calculateOnPq50();
  EXPECT_FALSE(panel->running());
  EXPECT_EQ(figures->rowCount(), 0);
}

// A further output and the bias are simulated too: each one's average voltage and its winding's
// RMS current stand beside the model's, named after its winding as the review's tables name it.
TEST_F(ReviewWindowTest, TheSimulationListsEveryOutputByItsWinding) {
  if (QStandardPaths::findExecutable(QStringLiteral("ngspice")).isEmpty()) {
    GTEST_SKIP() << "ngspice is not installed (./test installs it)";
  }
  calculateOnPq50();
  openReview();
  typeOutputs({{"12", "1", ""}});
  part<QLineEdit>("reviewBiasVoltage")->setText(QStringLiteral("12"));
  part<QTabWidget>("reviewTabs")->setCurrentIndex(4);
  auto* start = part<QPushButton>("simulationStart");
  ASSERT_TRUE(start->isEnabled());
  QTest::mouseClick(start, Qt::LeftButton);
  auto* panel = review_->findChild<fbc::SimulationPanel*>();
  ASSERT_NE(panel, nullptr);
  QTRY_VERIFY_WITH_TIMEOUT(!panel->running(), 20000);
  auto* figures = part<QTableWidget>("simulationFigures");
  QTRY_COMPARE_WITH_TIMEOUT(figures->rowCount(), 11, 5000);
  std::map<std::string, std::string> captions;
  for (int row = 0; row < figures->rowCount(); ++row) {
    captions[str(figures->item(row, 0)->toolTip())] = str(figures->item(row, 0)->text());
  }
  EXPECT_EQ(captions["vout2avg"], "二次2の出力電圧(平均) [V]");
  EXPECT_EQ(captions["is2rms"], "二次2巻線実効電流 [A]");
  EXPECT_EQ(captions["vbiasavg"], "補助の出力電圧(平均) [V]");
  EXPECT_EQ(captions["ibiasrms"], "補助巻線実効電流 [A]");
  EXPECT_EQ(captions["voutavg"], "出力電圧(平均) [V]");
}

// Without ngspice the panel says how to get it.
TEST_F(ReviewWindowTest, WithoutNgspiceTheSimulationSaysSo) {
  const QByteArray path = qgetenv("PATH");
  const QString empty = QDir::tempPath() + QStringLiteral("/flyback-no-ngspice");
  QDir().mkpath(empty);
  qputenv("PATH", empty.toUtf8());
  calculateOnPq50();
  openReview();
  auto* panel = review_->findChild<fbc::SimulationPanel*>();
  QTest::mouseClick(part<QPushButton>("simulationStart"), Qt::LeftButton);
  QTRY_VERIFY_WITH_TIMEOUT(!panel->running(), 5000);
  QTRY_VERIFY_WITH_TIMEOUT(
      str(part<QLabel>("simulationStatus")->text()).find("ngspiceが見つかりません") !=
          std::string::npos,
      5000);
  qputenv("PATH", path);
  EXPECT_TRUE(part<QPushButton>("simulationStart")->isEnabled());
}

TEST_F(ReviewWindowTest, AMeasuredLeakageIsSaidAndZeroNeedsNoClamp) {
  struct Case {
    const char* text;
    const char* label;
    const char* value;
    const char* resistor;
    const char* capacitor;
  };
  const Case cases[] = {
      {"", "漏れインダクタンス (巻線から推定)", "1.26", "27000 Ω (E24)、定格電力 6.87 W 以上",
       "8.20 nF (E12)"},
      {"4.5e-6", "漏れインダクタンス (実測値)", "4.50", nullptr, nullptr},
      {"0", "漏れインダクタンス (実測値)", "0.00", "不要", "不要"},
  };
  calculateOnPq50();
  openReview();
  condition(fbc::ReviewInput::VinMax)->setText(QStringLiteral("370"));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    condition(fbc::ReviewInput::Leakage)->setText(QString::fromUtf8(c.text));
    EXPECT_EQ(labelIn("reviewStress", "Llk"), c.label);
    EXPECT_EQ(stress("Llk").first, c.value);
    if (c.resistor != nullptr) {
      EXPECT_EQ(clampPart(0).second, c.resistor);
      EXPECT_EQ(clampPart(1).second, c.capacitor);
    }
  }
  // Nothing to absorb: the four part rows say so, without a unit, and the clamp's loss is none.
  for (const char* name : {"Rclamp", "RclampE24", "Cclamp", "CclampE12"}) {
    EXPECT_EQ(stress(name), (std::pair<std::string, std::string>{"不要", ""})) << name;
  }
  EXPECT_EQ(stress("Pclamp").first, "0.00");
  EXPECT_NE(str(part<QLabel>("clampNote")->text()).find("不要"), std::string::npos);
  EXPECT_TRUE(part<QListWidget>("reviewFlags")
                  ->findItems(QString::fromStdU16String(
                                  fbc::reviewFlagSentence(fbc::ReviewFlag::ClampLossHigh)),
                              Qt::MatchContains)
                  .isEmpty());
}

// The highest input is judged against the design on show: with the display cleared there is no
// input voltage to stay above, and the mark goes.
TEST_F(ReviewWindowTest, TheHighestInputsMarkFollowsTheDesignOnShow) {
  calculate();
  openReview();
  QLineEdit* vinMax = condition(fbc::ReviewInput::VinMax);
  vinMax->setText(QStringLiteral("150"));
  EXPECT_EQ(vinMax->palette().color(QPalette::Base), MainWindow::faultColour());
  EXPECT_EQ(str(vinMax->toolTip()), "入力電圧(200 V)以上の値を入力してください。");
  QTest::mouseClick(main<QAbstractButton>("Command1"), Qt::LeftButton);
  EXPECT_NE(vinMax->palette().color(QPalette::Base), MainWindow::faultColour());
  EXPECT_TRUE(vinMax->toolTip().isEmpty());
  // A design from 120 V makes 150 V a range again.
  main<QLineEdit>("txtVin")->setText(QStringLiteral("120"));
  calculate();
  EXPECT_TRUE(vinMax->toolTip().isEmpty());
  EXPECT_EQ(stress("VinMax").first, "150.0");
}

// The current limit is judged against the peak current of the design on show: below half of it
// the field is marked with its reason and nothing is worked out in it; a limit the core cannot
// hold raises its flag with its sentence.
TEST_F(ReviewWindowTest, TheCurrentLimitIsJudgedAgainstThePeakCurrent) {
  calculateOnPq50();
  openReview();
  EXPECT_EQ(number("Ilim"), (std::pair<std::string, std::string>{"7.200", "A"}));
  QLineEdit* limit = condition(fbc::ReviewInput::CurrentLimit);
  EXPECT_EQ(str(limit->placeholderText()), "Ipkの1.2倍");
  limit->setText(QStringLiteral("2.9"));
  EXPECT_EQ(limit->palette().color(QPalette::Base), MainWindow::faultColour());
  EXPECT_EQ(str(limit->toolTip()), "一次ピーク電流(6 A)の半分以上の値を入力してください。");
  EXPECT_NE(str(part<QLabel>("reviewSummary")->text()).find("電流制限値"), std::string::npos);
  EXPECT_NE(str(part<QLabel>("lossSummary")->text()).find("条件に使えない入力"), std::string::npos);
  // 20 A: the flux at the limit, 0.185 T · 20/6, passes N97's 0.414 T.
  limit->setText(QStringLiteral("20"));
  EXPECT_NE(limit->palette().color(QPalette::Base), MainWindow::faultColour());
  EXPECT_EQ(number("Ilim").first, "20.000");
  EXPECT_FALSE(part<QListWidget>("reviewFlags")
                   ->findItems(QString::fromStdU16String(fbc::reviewFlagSentence(
                                   fbc::ReviewFlag::SaturatesAtCurrentLimit)),
                               Qt::MatchContains)
                   .isEmpty());
  EXPECT_TRUE(messages_.empty());
}

// A wire typed into a winding's field is the wire the review winds it with: the kind beside it
// follows the text, the losses' row shows the wire as it was read and says it was given, and the
// losses are the engine's for it. 自動, "auto" or an empty field leave the choice to the review.
TEST_F(ReviewWindowTest, AWireTypedIntoTheWindingRowIsWoundAndItsKindFollows) {
  calculateOnPq50();
  openReview();
  const struct {
    fbc::ReviewInput input;
    const char* text;
    const char* kind;  // what the kind beside it shows
    const char* read;  // the wire as the review read it, or nothing: the review's choice
  } cases[] = {
      {fbc::ReviewInput::WirePrimary, "litz:0.1x60", "リッツ線", "litz:0.1x60"},
      {fbc::ReviewInput::WirePrimary, " LITZ : 0.1 x 60 ", "リッツ線", "litz:0.1x60"},
      {fbc::ReviewInput::WirePrimary, "0.5", "単線", "round:0.5"},
      {fbc::ReviewInput::WirePrimary, "strands:0.4x3", "並列線", "strands:0.4x3"},
      {fbc::ReviewInput::WirePrimary, "自動", "自動", nullptr},
      {fbc::ReviewInput::WireSecondary, "foil:0.3", "銅箔", "foil:0.3"},
      {fbc::ReviewInput::WireSecondary, "round:1.5", "単線", "round:1.5"},
      {fbc::ReviewInput::WireSecondary, "", "自動", nullptr},
      {fbc::ReviewInput::WireSecondary, "auto", "自動", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const bool primary = c.input == fbc::ReviewInput::WirePrimary;
    QLineEdit* field = condition(c.input);
    field->setText(QString::fromUtf8(c.text));
    EXPECT_NE(field->palette().color(QPalette::Base), MainWindow::faultColour());
    EXPECT_TRUE(field->toolTip().isEmpty());
    EXPECT_EQ(str(part<QComboBox>(primary ? "reviewWirePrimaryKind" : "reviewWireSecondaryKind")
                      ->currentText()),
              c.kind);

    const fbc::ReviewInputReading reading = fbc::readReviewInputs(review_->reviewInputs(), 200.0);
    ASSERT_FALSE(reading.problem);
    const fbc::TransformerLosses engine = engineReview(reading.conditions).losses;
    const fbc::WindingLoss* wound =
        engine.find(primary ? fbc::Winding::Primary : fbc::Winding::Secondary);
    ASSERT_NE(wound, nullptr);
    const char* row = primary ? "wireP" : "wireS";
    EXPECT_EQ(loss(row).first, c.read != nullptr ? c.read : fbc::wireText(wound->wire));
    EXPECT_TRUE(lossLabel(row).ends_with(c.read != nullptr ? "(指定)" : "(自動)"))
        << lossLabel(row);
    const char* pcu = primary ? "PcuP" : "PcuS";
    EXPECT_EQ(loss(pcu).first, fbc::reviewValueText(*fbc::reviewDisplay(pcu), wound->Pcu));
    EXPECT_EQ(loss("Tcore").first,
              fbc::reviewValueText(*fbc::reviewDisplay("Tcore"), engine.Tcore));
  }
  // A thin wire given for the primary carries far more than 3.5 A/mm²: advice, in black.
  condition(fbc::ReviewInput::WirePrimary)->setText(QStringLiteral("round:0.3"));
  const auto found = part<QListWidget>("reviewFlags")
                         ->findItems(QString::fromStdU16String(fbc::reviewFlagSentence(
                                         fbc::ReviewFlag::CurrentDensityHigh)),
                                     Qt::MatchContains);
  ASSERT_EQ(found.size(), 1);
  EXPECT_EQ(str(found[0]->toolTip()), "current-density-high");
  EXPECT_NE(found[0]->foreground().color(), QColor(176, 0, 0));
  EXPECT_GT(std::stod(loss("JP").first), 3.5);
  EXPECT_TRUE(messages_.empty());
}

// Choosing a wire's kind puts a wire of that kind into its text: the review's own where it chose
// that kind, an example to edit otherwise; 自動 gives the choice back. A text on its way to a
// wire names its kind while it is marked.
TEST_F(ReviewWindowTest, ChoosingAWireKindStartsFromTheReviewsWireOrAnExample) {
  calculateOnPq50();
  openReview();
  const fbc::DesignReview engine = engineReview();
  const fbc::WindingLoss* chosen = engine.losses.find(fbc::Winding::Primary);
  ASSERT_NE(chosen, nullptr);
  ASSERT_EQ(chosen->wire.kind, fbc::WireKind::Foil);
  auto* kind = part<QComboBox>("reviewWirePrimaryKind");
  QLineEdit* text = condition(fbc::ReviewInput::WirePrimary);
  ASSERT_EQ(kind->count(), 5);
  const struct {
    const char* kind;
    std::string text;
  } cases[] = {
      {"銅箔", fbc::wireText(chosen->wire)},  // the review's foil
      {"リッツ線", "litz:0.1x60"},
      {"並列線", "strands:0.4x3"},
      {"単線", "round:0.5"},
      {"銅箔", "foil:0.2"},  // the review's foil is a given wire now: an example
      {"自動", "auto"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.kind);
    kind->setCurrentIndex(kind->findText(QString::fromUtf8(c.kind)));
    EXPECT_EQ(str(text->text()), c.text);
    EXPECT_EQ(str(kind->currentText()), c.kind);
    EXPECT_NE(text->palette().color(QPalette::Base), MainWindow::faultColour());
  }
  EXPECT_EQ(lossLabel("wireP"), "一次巻線の線材 (自動)");
  EXPECT_EQ(loss("wireP").first, fbc::wireText(chosen->wire));

  // Typed on its way to a litz wire: the kind says so while the text is marked.
  text->setText(QStringLiteral("litz:"));
  EXPECT_EQ(str(kind->currentText()), "リッツ線");
  EXPECT_EQ(text->palette().color(QPalette::Base), MainWindow::faultColour());
  // A text naming no kind leaves the kind as it was.
  text->setText(QStringLiteral("abc"));
  EXPECT_EQ(str(kind->currentText()), "リッツ線");
  EXPECT_EQ(text->palette().color(QPalette::Base), MainWindow::faultColour());
  // Choosing a kind then replaces what cannot be read.
  kind->setCurrentIndex(kind->findText(QStringLiteral("単線")));
  EXPECT_EQ(str(text->text()), "round:0.5");
  EXPECT_NE(text->palette().color(QPalette::Base), MainWindow::faultColour());
}

// The arrangement is the review's choice until one is chosen: interleaving the primary either
// side of the secondary cuts the leakage to about a quarter and with it the clamp's loss; the
// losses' summary names the arrangement and the order from the centre leg, and every figure is
// the engine's for the arrangement chosen.
TEST_F(ReviewWindowTest, TheArrangementChoiceChangesTheLossesAndTheLeakage) {
  calculateOnPq50();
  openReview();
  condition(fbc::ReviewInput::WirePrimary)->setText(QStringLiteral("litz:0.1x60"));
  auto* arrangement = part<QComboBox>("reviewArrangement");
  ASSERT_EQ(arrangement->count(), 3);
  EXPECT_EQ(str(arrangement->itemText(0)), "自動");
  auto* summary = part<QLabel>("lossSummary");
  const struct {
    int index;
    std::optional<fbc::WindingArrangement> given;
    const char* name;
    const char* order;
    bool clampLossHigh;
  } cases[] = {
      {0, std::nullopt, "巻線配置 psp (挟み巻き)",
       "中心から 一次(内側) 17T、二次 4T、一次(外側) 16T", false},
      {1, fbc::WindingArrangement::Ps, "巻線配置 ps (一次・二次)", "中心から 一次 33T、二次 4T",
       true},
      {2, fbc::WindingArrangement::Psp, "巻線配置 psp (挟み巻き)",
       "中心から 一次(内側) 17T、二次 4T、一次(外側) 16T", false},
  };
  std::set<std::string> leakages;
  std::set<std::string> primaryLosses;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    arrangement->setCurrentIndex(c.index);
    const fbc::ReviewConditions conditions =
        fbc::readReviewInputs(review_->reviewInputs(), 200.0).conditions;
    EXPECT_EQ(conditions.arrangement, c.given);
    const fbc::DesignReview engine = engineReview(conditions);
    EXPECT_NE(str(summary->text()).find(c.name), std::string::npos) << str(summary->text());
    EXPECT_NE(str(summary->text()).find(c.order), std::string::npos) << str(summary->text());
    const fbc::WindingLoss* primary = engine.losses.find(fbc::Winding::Primary);
    EXPECT_EQ(loss("PcuP").first, fbc::reviewValueText(*fbc::reviewDisplay("PcuP"), primary->Pcu));
    EXPECT_EQ(loss("FrP").first, fbc::reviewValueText(*fbc::reviewDisplay("FrP"), primary->Fr));
    EXPECT_EQ(stress("Llk").first,
              fbc::reviewValueText(*fbc::reviewDisplay("Llk"), engine.stress.Llk));
    EXPECT_EQ(loss("Tcore").first,
              fbc::reviewValueText(*fbc::reviewDisplay("Tcore"), engine.losses.Tcore));
    leakages.insert(stress("Llk").first);
    primaryLosses.insert(loss("PcuP").first);
    // The clamp's loss is advice, not a reason the transformer cannot be built: not in red.
    const auto clamp =
        part<QListWidget>("reviewFlags")
            ->findItems(
                QString::fromStdU16String(fbc::reviewFlagSentence(fbc::ReviewFlag::ClampLossHigh)),
                Qt::MatchContains);
    ASSERT_EQ(clamp.size(), c.clampLossHigh ? 1 : 0);
    if (c.clampLossHigh) {
      EXPECT_NE(clamp[0]->foreground().color(), QColor(176, 0, 0));
    }
  }
  EXPECT_EQ(leakages.size(), 2U);
  EXPECT_EQ(primaryLosses.size(), 2U);
}

// On a core whose windings do not fit the bobbin (the start values on EER25.5) the leakage cannot
// be estimated: its figures and the clamp's read "—", a sentence says why, and the simulation
// says so rather than running. A measured leakage brings the clamp and the simulation back.
TEST_F(ReviewWindowTest, WindingsThatDoNotFitLeaveTheLeakageAndTheClampUnestimated) {
  calculate();
  openReview();
  const fbc::SwitchStress engine = engineReview().stress;
  ASSERT_TRUE(engine.valid);
  ASSERT_FALSE(engine.leakageKnown);
  int unknown = 0;
  for (const fbc::StressQuantity& q : fbc::stressQuantities(engine)) {
    if (q.unknown) {
      EXPECT_EQ(stress(std::string(q.name).c_str()), (std::pair<std::string, std::string>{"—", ""}))
          << q.name;
      ++unknown;
    }
  }
  EXPECT_EQ(unknown, 9);
  EXPECT_EQ(stress("VdsMax").first, "515.4");
  EXPECT_EQ(clampPart(0), (std::pair<std::string, std::string>{"クランプ抵抗", "—"}));
  EXPECT_EQ(clampPart(1), (std::pair<std::string, std::string>{"クランプ容量", "—"}));
  const std::string why = str(fbc::leakageNotEstimatedJa());
  EXPECT_NE(str(part<QLabel>("stressSummary")->text()).find(why), std::string::npos);
  EXPECT_NE(str(part<QLabel>("clampNote")->text()).find("「漏れインダクタンス[H]」"),
            std::string::npos);
  auto* status = part<QLabel>("simulationStatus");
  EXPECT_EQ(str(status->text()), why + "実測値を「漏れインダクタンス[H]」に入力してください。");
  EXPECT_FALSE(part<QPushButton>("simulationStart")->isEnabled());

  condition(fbc::ReviewInput::Leakage)->setText(QStringLiteral("10e-6"));
  EXPECT_EQ(stress("Llk").first, "10.00");
  EXPECT_EQ(labelIn("reviewStress", "Llk"), "漏れインダクタンス (実測値)");
  EXPECT_NE(stress("Pclamp").first, "—");
  EXPECT_TRUE(clampPart(0).second.ends_with("以上")) << clampPart(0).second;
  EXPECT_EQ(str(part<QLabel>("stressSummary")->text()).find(why), std::string::npos);
  EXPECT_EQ(str(status->text()).find(why), std::string::npos);
  EXPECT_TRUE(part<QPushButton>("simulationStart")->isEnabled());
  // The losses still cannot be worked out from windings that do not fit.
  EXPECT_EQ(loss("Tcore").first, "—");
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
  // The loss chart shows whole at the opening size, under the four rows of conditions.
  tabs->setCurrentIndex(1);
  // The shown page lays itself out on the events that follow.
  QApplication::processEvents();
  auto* chart = part<fbc::PictureBox>("lossChart");
  QScrollArea* scroll = nullptr;
  for (QWidget* w = chart->parentWidget(); w != nullptr && scroll == nullptr;
       w = w->parentWidget()) {
    scroll = qobject_cast<QScrollArea*>(w);
  }
  ASSERT_NE(scroll, nullptr);
  EXPECT_GE(scroll->viewport()->height(), chart->height());
  EXPECT_EQ(scroll->verticalScrollBar()->maximum(), 0);
  EXPECT_EQ(tabs->count(), 6);
  EXPECT_EQ(str(tabs->tabText(0)), "レビュー");
  EXPECT_EQ(str(tabs->tabText(1)), "損失と温度");
  EXPECT_EQ(str(tabs->tabText(2)), "スイッチとクランプ");
  EXPECT_EQ(str(tabs->tabText(3)), "電流波形");
  EXPECT_EQ(str(tabs->tabText(4)), "回路シミュレーション");
  EXPECT_EQ(str(tabs->tabText(5)), "コアの選択");
}

// The mains' and the outputs' pages: Tab runs from the page tabs through the shown page's
// conditions in the table's order to the result tabs; each condition is named by its caption,
// the bias's figures after the bias, and the valley's button and the table's buttons by what
// they do.
TEST_F(ReviewWindowTest, TheMainsAndOutputsConditionsAreReachableWithTabAndNamed) {
  calculateOnPq50();
  openReview();
  review_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(review_));
  std::vector<QWidget*> mains{conditionPages()->tabBar()};
  for (const char* name : {"reviewVacMin", "reviewVacMax", "reviewLineFrequency",
                           "reviewBulkCapacitance", "reviewChargeDuty"}) {
    mains.push_back(part<QWidget>(name));
  }
  for (std::size_t i = 1; i < mains.size(); ++i) {
    EXPECT_EQ(
        mains[i]->accessibleName().toStdU16String(),
        fbc::kReviewInputTable[static_cast<std::size_t>(fbc::ReviewInput::VacMin) + i - 1].caption);
  }
  showConditionPage(1);
  // The button is closed until a mains input gives a valley, and Tab passes it.
  EXPECT_FALSE(part<QPushButton>("useValley")->isEnabled());
  part<QLineEdit>("reviewVacMin")->setText(QStringLiteral("85"));
  ASSERT_TRUE(part<QPushButton>("useValley")->isEnabled());
  mains.push_back(part<QWidget>("useValley"));
  mains.push_back(part<QTabWidget>("reviewTabs")->tabBar());
  expectTabOrder(mains);

  showConditionPage(2);
  // The remove button is closed while there is no row to remove.
  EXPECT_FALSE(part<QPushButton>("reviewRemoveOutput")->isEnabled());
  typeOutputs({{"5", "2", ""}});
  std::vector<QWidget*> outputs{conditionPages()->tabBar()};
  for (const char* name :
       {"reviewOutputs", "reviewAddOutput", "reviewRemoveOutput", "reviewSecondaryTurns",
        "reviewBiasVoltage", "reviewBiasVf", "reviewBiasCurrent"}) {
    outputs.push_back(part<QWidget>(name));
  }
  EXPECT_EQ(outputs[1]->accessibleName().toStdU16String(),
            fbc::reviewInputInfo(fbc::ReviewInput::Outputs).caption);
  EXPECT_EQ(outputs[4]->accessibleName().toStdU16String(),
            fbc::reviewInputInfo(fbc::ReviewInput::SecondaryTurns).caption);
  for (std::size_t i = 5; i < outputs.size(); ++i) {
    EXPECT_TRUE(outputs[i]->accessibleName().startsWith(QStringLiteral("補助巻線の")))
        << str(outputs[i]->accessibleName());
  }
  outputs.push_back(part<QTabWidget>("reviewTabs")->tabBar());
  expectTabOrder(outputs);
}

// The mains' fields start empty and say what empty stands for, three captions to a row so the
// window stays narrow; the outputs' page holds the table, the bias and the main output's turns.
// Every page of conditions fits the 1024×768 screen with every tab of results.
TEST_F(ReviewWindowTest, TheMainsAndOutputsPagesSayWhatEmptyMeansAndFitTheScreen) {
  openReview();
  const auto middle = [this](const QWidget* w) {
    return w->mapTo(review_, QPoint(0, w->height() / 2)).y();
  };
  showConditionPage(1);
  for (const fbc::ReviewInput input :
       {fbc::ReviewInput::VacMin, fbc::ReviewInput::VacMax, fbc::ReviewInput::LineFrequency,
        fbc::ReviewInput::BulkCapacitance, fbc::ReviewInput::ChargeDuty,
        fbc::ReviewInput::SecondaryTurns}) {
    const fbc::ReviewInputInfo& info = fbc::reviewInputInfo(input);
    SCOPED_TRACE(fbc::toUtf8(info.caption));
    QLineEdit* field = condition(input);
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->text().toStdU16String(), info.startText);
    EXPECT_EQ(field->placeholderText().toStdU16String(), info.emptyMeansJa);
    // The placeholder shows whole (the edit's own margin is 2 pixels a side).
    EXPECT_LE(field->fontMetrics().horizontalAdvance(field->placeholderText()), field->width() - 8);
  }
  EXPECT_EQ(middle(condition(fbc::ReviewInput::VacMax)),
            middle(condition(fbc::ReviewInput::VacMin)));
  EXPECT_EQ(middle(condition(fbc::ReviewInput::ChargeDuty)),
            middle(condition(fbc::ReviewInput::BulkCapacitance)));
  EXPECT_GT(middle(condition(fbc::ReviewInput::BulkCapacitance)),
            middle(condition(fbc::ReviewInput::VacMin)));
  EXPECT_EQ(str(part<QLineEdit>("reviewBiasVoltage")->placeholderText()), "なし");
  EXPECT_EQ(str(part<QLineEdit>("reviewBiasVf")->placeholderText()), "0.7");
  EXPECT_EQ(str(part<QLineEdit>("reviewBiasCurrent")->placeholderText()), "0.01");
  // An empty highest input stands for the mains' peak once a mains input is given.
  QLineEdit* vinMax = condition(fbc::ReviewInput::VinMax);
  condition(fbc::ReviewInput::VacMin)->setText(QStringLiteral("85"));
  EXPECT_EQ(str(vinMax->placeholderText()), "交流のピーク");
  condition(fbc::ReviewInput::VacMin)->clear();
  EXPECT_EQ(str(vinMax->placeholderText()), "入力電圧と同じ");

  auto* tabs = part<QTabWidget>("reviewTabs");
  for (int page = 0; page < conditionPages()->count(); ++page) {
    showConditionPage(page);
    for (int tab = 0; tab < tabs->count(); ++tab) {
      SCOPED_TRACE(page * 10 + tab);
      tabs->setCurrentIndex(tab);
      EXPECT_LE(review_->minimumSizeHint().width(), 1000);
      EXPECT_LE(review_->minimumSizeHint().height(), 700);
    }
  }
  EXPECT_LE(review_->width(), 1000);
  EXPECT_EQ(conditionPages()->count(), 4);
}

// A mains input designs at the bulk capacitor's valley (Fairchild AN-4137 Rev. 1.2.0, eqs. 3
// and 4). The start values on PQ50 draw 240 W at 80 %: Pin = 300 W, and 85 VAC takes the rule of
// thumb's 2 µF/W, 600 µF, bought as 680 µF (E6). The valley is
// √(2·85² − 300·(1 − 0.2)/(680 µF·50 Hz)) = 85.97 V and the peak of 265 VAC √2·265 = 374.8 V. The
// button puts the valley into the main window's input box, and the person calculates as ever;
// the review's highest input is then the peak.
TEST_F(ReviewWindowTest, TheValleyButtonPutsTheValleyIntoTheInputBox) {
  calculateOnPq50();
  openReview();
  showConditionPage(1);
  auto* supply = part<QLabel>("mainsSupply");
  condition(fbc::ReviewInput::VacMin)->setText(QStringLiteral("85"));
  condition(fbc::ReviewInput::VacMax)->setText(QStringLiteral("265"));
  const double valley = std::sqrt(2.0 * 85.0 * 85.0 - 300.0 * 0.8 / (680e-6 * 50.0));
  ASSERT_NEAR(valley, 85.97, 0.005);
  EXPECT_NE(str(supply->text()).find("VDCmin 85.97 V"), std::string::npos) << str(supply->text());
  EXPECT_NE(str(supply->text()).find("VDCmax 374.8 V"), std::string::npos);
  EXPECT_NE(str(supply->text()).find("680 µF (入力電力から目安で選択)"), std::string::npos);
  // The design on show is still the one made at 200 V: the row says so.
  EXPECT_NE(str(supply->text()).find("入力電圧 200 V"), std::string::npos);
  EXPECT_EQ(supply->palette().color(QPalette::WindowText), QColor(176, 0, 0));
  // Until the person calculates, the review works at the mains' peak.
  EXPECT_EQ(stress("VinMax").first, "374.8");

  const std::string results = str(main<QLabel>("lblNt")->text());
  QTest::mouseClick(part<QPushButton>("useValley"), Qt::LeftButton);
  EXPECT_EQ(main<QLineEdit>("txtVin")->text().toStdU16String(), fbc::valleyInputText(valley));
  EXPECT_EQ(str(main<QLineEdit>("txtVin")->text()), "85.97");
  // The main window's results stay until its own button is pressed.
  EXPECT_EQ(str(main<QLabel>("lblNt")->text()), results);
  calculate();
  EXPECT_NEAR(static_cast<double>(window_->designState().Vin), 85.97, 1e-4);
  EXPECT_EQ(supply->text().indexOf(QStringLiteral("入力電圧 200 V")), -1);
  EXPECT_NE(supply->palette().color(QPalette::WindowText), QColor(176, 0, 0));
  EXPECT_EQ(stress("VinMax").first, "374.8");
  fbc::ReviewConditions mains =
      engineConditions({{fbc::ReviewInput::VacMin, u"85"}, {fbc::ReviewInput::VacMax, u"265"}});
  mains.vinMax = std::sqrt(2.0) * 265.0;
  EXPECT_EQ(stress("VdsMax").first,
            fbc::reviewValueText(*fbc::reviewDisplay("VdsMax"), engineReview(mains).stress.VdsMax));
  // The sheet is drawn in the same conditions.
  ASSERT_TRUE(review_->conditions().has_value());
  EXPECT_NEAR(review_->conditions()->vinMax.value_or(0.0), std::sqrt(2.0) * 265.0, 1e-9);
  EXPECT_TRUE(messages_.empty());
}

// The mains' faults are marked on their fields with the engine's words, and the review then
// gives no verdict: a highest DC input typed beside a mains input, a figure of the mains without
// its lowest voltage, a highest line below the lowest, and a bulk capacitor too small to hold
// the input up, which names the least that would.
TEST_F(ReviewWindowTest, TheMainsFaultsAreMarkedOnTheirFields) {
  calculateOnPq50();
  openReview();
  showConditionPage(1);
  const fbc::LimitRule vin = fbc::limitRule(fbc::LimitedBox::Vin);
  fbc::ReviewConditions small = engineConditions(
      {{fbc::ReviewInput::VacMin, u"85"}, {fbc::ReviewInput::BulkCapacitance, u"20e-6"}});
  const std::optional<fbc::ReviewInputProblem> tooSmall =
      fbc::readSupply(small, 300.0, vin.lower).problem;
  ASSERT_TRUE(tooSmall.has_value());
  struct Case {
    std::vector<std::pair<fbc::ReviewInput, const char*>> texts;
    fbc::ReviewInputProblem problem;
  };
  const Case cases[] = {
      {{{fbc::ReviewInput::VacMin, "85"}, {fbc::ReviewInput::VinMax, "370"}},
       {fbc::ReviewInput::VinMax, fbc::ReviewInputFault::NotWithMains}},
      {{{fbc::ReviewInput::LineFrequency, "60"}},
       {fbc::ReviewInput::LineFrequency, fbc::ReviewInputFault::NeedsMains}},
      {{{fbc::ReviewInput::VacMin, "200"}, {fbc::ReviewInput::VacMax, "100"}},
       {fbc::ReviewInput::VacMax, fbc::ReviewInputFault::BelowVacMin}},
      {{{fbc::ReviewInput::VacMin, "85"}, {fbc::ReviewInput::BulkCapacitance, "20e-6"}}, *tooSmall},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(fbc::toUtf8(fbc::reviewInputInfo(c.problem.input).caption));
    for (const auto& [input, text] : c.texts) {
      condition(input)->setText(QString::fromUtf8(text));
    }
    QLineEdit* field = condition(c.problem.input);
    EXPECT_EQ(field->palette().color(QPalette::Base), MainWindow::faultColour());
    EXPECT_EQ(field->toolTip().toStdU16String(), fbc::reviewInputFaultTextJa(c.problem));
    const std::string summary = str(part<QLabel>("reviewSummary")->text());
    EXPECT_NE(summary.find("判定していません"), std::string::npos) << summary;
    EXPECT_EQ(part<QListWidget>("reviewFlags")->count(), 0);
    EXPECT_EQ(part<QTableWidget>("reviewStress")->rowCount(), 0);
    EXPECT_FALSE(part<QPushButton>("useValley")->isEnabled());
    for (const auto& [input, text] : c.texts) {
      condition(input)->clear();
    }
    EXPECT_NE(field->palette().color(QPalette::Base), MainWindow::faultColour());
    EXPECT_GT(part<QTableWidget>("reviewStress")->rowCount(), 0);
  }
  // The capacitor's mark names the least capacitance that would do.
  EXPECT_EQ(fbc::toUtf8(fbc::reviewInputFaultTextJa(*tooSmall)).rfind("容量不足です。", 0), 0U);
}

// The further outputs' table: rows are added and removed with the buttons, at most seven; an
// empty row is no output; each change reviews again. A cell that cannot be used is marked as a
// box is, with the engine's words, and the review gives no verdict until it is put right.
TEST_F(ReviewWindowTest, OutputRowsAreAddedRemovedAndABadCellIsMarked) {
  calculateOnPq50();
  openReview();
  auto* add = part<QPushButton>("reviewAddOutput");
  auto* remove = part<QPushButton>("reviewRemoveOutput");
  typeOutputs({{"5", "2", ""}, {"", "", ""}, {"12", "1", "1.2"}});
  EXPECT_EQ(outputsTable()->rowCount(), 3);
  EXPECT_EQ(review_->reviewInputs().text(fbc::ReviewInput::Outputs), u"5,2;12,1,1.2");
  EXPECT_EQ(outputResults().size(), 3U);
  EXPECT_EQ(outputResults()[2][0], "二次3");
  // Each row says which output it is, as the marks name it, and which winding, as the results do.
  EXPECT_EQ(str(outputsTable()->verticalHeaderItem(0)->text()), "出力1 (二次2)");
  EXPECT_EQ(str(outputsTable()->verticalHeaderItem(1)->text()), "—");
  EXPECT_EQ(str(outputsTable()->verticalHeaderItem(2)->text()), "出力2 (二次3)");

  // The second output's current cannot be read: its cell is marked, nothing else.
  outputsTable()->item(2, 1)->setText(QStringLiteral("abc"));
  fbc::ReviewInputProblem problem{fbc::ReviewInput::Outputs, fbc::ReviewInputFault::BadOutput};
  problem.output = fbc::OutputTextProblem{2, fbc::OutputTextProblem::Field::I,
                                          fbc::OutputTextProblem::Reason::NotANumber};
  QTableWidgetItem* bad = outputsTable()->item(2, 1);
  EXPECT_EQ(bad->background().color(), MainWindow::faultColour());
  EXPECT_EQ(bad->toolTip().toStdU16String(), fbc::reviewInputFaultTextJa(problem));
  EXPECT_NE(outputsTable()->item(2, 0)->background().color(), MainWindow::faultColour());
  EXPECT_NE(outputsTable()->item(0, 1)->background().color(), MainWindow::faultColour());
  const std::string summary = str(part<QLabel>("reviewSummary")->text());
  EXPECT_NE(summary.find("追加出力"), std::string::npos) << summary;
  EXPECT_EQ(summary.find("製作でき"), std::string::npos) << summary;
  EXPECT_EQ(part<QListWidget>("reviewFlags")->count(), 0);
  EXPECT_EQ(part<QTableWidget>("outputResults")->rowCount(), 0);
  EXPECT_EQ(part<QTableWidget>("reviewLosses")->rowCount(), 0);
  outputsTable()->item(2, 1)->setText(QStringLiteral("1"));
  EXPECT_NE(bad->background().color(), MainWindow::faultColour());
  EXPECT_TRUE(bad->toolTip().isEmpty());
  EXPECT_NE(str(part<QLabel>("reviewSummary")->text()).find("製作でき"), std::string::npos);

  // Removing the current row, then the last, reviews again.
  outputsTable()->setCurrentCell(0, 0);
  QTest::mouseClick(remove, Qt::LeftButton);
  EXPECT_EQ(review_->reviewInputs().text(fbc::ReviewInput::Outputs), u"12,1,1.2");
  EXPECT_EQ(outputResults().size(), 2U);
  EXPECT_EQ(outputResults()[1][2], "12");
  outputsTable()->setCurrentCell(-1, -1);
  QTest::mouseClick(remove, Qt::LeftButton);
  QTest::mouseClick(remove, Qt::LeftButton);
  EXPECT_EQ(outputsTable()->rowCount(), 0);
  EXPECT_FALSE(remove->isEnabled());
  EXPECT_TRUE(review_->reviewInputs().text(fbc::ReviewInput::Outputs).empty());
  EXPECT_EQ(outputResults().size(), 1U);

  // Seven at most.
  for (int i = 0; i < fbc::kMostExtraOutputs; ++i) {
    EXPECT_TRUE(add->isEnabled());
    QTest::mouseClick(add, Qt::LeftButton);
  }
  EXPECT_EQ(outputsTable()->rowCount(), fbc::kMostExtraOutputs);
  EXPECT_FALSE(add->isEnabled());
  EXPECT_TRUE(messages_.empty());
}

// The bias's fields and the main output's turns are marked alike: the field the engine names.
TEST_F(ReviewWindowTest, TheBiasAndTheTurnsAreMarkedOnTheirFields) {
  calculateOnPq50();
  openReview();
  showConditionPage(2);
  using Field = fbc::OutputTextProblem::Field;
  using Reason = fbc::OutputTextProblem::Reason;
  struct Case {
    const char* field;
    const char* text;
    fbc::ReviewInputProblem problem;
  };
  const auto bias = [](Field field, Reason reason) {
    fbc::ReviewInputProblem p{fbc::ReviewInput::Bias, fbc::ReviewInputFault::BadOutput};
    p.output = fbc::OutputTextProblem{0, field, reason};
    return p;
  };
  const Case cases[] = {
      {"reviewBiasVoltage", "-12", bias(Field::V, Reason::OutOfRange)},
      {"reviewBiasVf", "x", bias(Field::V, Reason::NotANumber)},  // no voltage yet
      {"reviewSecondaryTurns",
       "2.5",
       {fbc::ReviewInput::SecondaryTurns, fbc::ReviewInputFault::NotWhole}},
      {"reviewSecondaryTurns",
       "0",
       {fbc::ReviewInput::SecondaryTurns, fbc::ReviewInputFault::OutOfRange}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    part<QLineEdit>(c.field)->setText(QString::fromUtf8(c.text));
    const char* marked = c.problem.input == fbc::ReviewInput::SecondaryTurns
                             ? "reviewSecondaryTurns"
                             : "reviewBiasVoltage";
    EXPECT_EQ(part<QLineEdit>(marked)->palette().color(QPalette::Base), MainWindow::faultColour());
    EXPECT_EQ(part<QLineEdit>(marked)->toolTip().toStdU16String(),
              fbc::reviewInputFaultTextJa(c.problem));
    EXPECT_EQ(part<QListWidget>("reviewFlags")->count(), 0);
    part<QLineEdit>(c.field)->clear();
    EXPECT_NE(part<QLineEdit>(marked)->palette().color(QPalette::Base), MainWindow::faultColour());
  }
  // A bias current with the voltage: its own field is marked.
  part<QLineEdit>("reviewBiasVoltage")->setText(QStringLiteral("12"));
  part<QLineEdit>("reviewBiasCurrent")->setText(QStringLiteral("-1"));
  EXPECT_EQ(review_->reviewInputs().text(fbc::ReviewInput::Bias), u"12,0.7,-1");
  EXPECT_EQ(part<QLineEdit>("reviewBiasCurrent")->palette().color(QPalette::Base),
            MainWindow::faultColour());
  EXPECT_EQ(part<QLineEdit>("reviewBiasCurrent")->toolTip().toStdU16String(),
            fbc::reviewInputFaultTextJa(bias(Field::I, Reason::OutOfRange)));
  EXPECT_NE(part<QLineEdit>("reviewBiasVoltage")->palette().color(QPalette::Base),
            MainWindow::faultColour());
}

// Five outputs and a bias winding on PQ50: the start values' 24 V, 10 A and four more, each
// with its turns from the main output's (Fairchild AN-4137 Rev. 1.2.0, eq. 14:
// Ns = round((Vo + VF)/(Vo1 + VF1)·Ns1)) and the voltage those whole turns give. The review tab
// shows each output and the bias as the engine works them out, an output far off its target is
// flagged, and the losses list every winding's wire and copper.
TEST_F(ReviewWindowTest, AFiveOutputDesignWithABiasShowsEveryOutputAndWinding) {
  calculateOnPq50();
  openReview();
  typeOutputs({{"5", "2", "0.5"}, {"12", "1", ""}, {"15", "0.5", ""}, {"3.3", "1", "0.4"}});
  showConditionPage(2);
  part<QLineEdit>("reviewBiasVoltage")->setText(QStringLiteral("12"));
  part<QLineEdit>("reviewBiasVf")->setText(QStringLiteral("1.2"));
  EXPECT_EQ(review_->reviewInputs().text(fbc::ReviewInput::Outputs),
            u"5,2,0.5;12,1;15,0.5;3.3,1,0.4");
  EXPECT_EQ(review_->reviewInputs().text(fbc::ReviewInput::Bias), u"12,1.2");
  const fbc::ReviewConditions conditions =
      engineConditions({{fbc::ReviewInput::Outputs, u"5,2,0.5;12,1;15,0.5;3.3,1,0.4"},
                        {fbc::ReviewInput::Bias, u"12,1.2"}});
  const fbc::DesignReview review = engineReview(conditions);
  ASSERT_TRUE(review.valid);
  ASSERT_EQ(review.outputs.size(), 5U);
  ASSERT_TRUE(review.bias.has_value());

  const std::vector<std::vector<std::string>> rows = outputResults();
  ASSERT_EQ(rows.size(), 6U);
  const std::vector<std::string> names = {"二次", "二次2", "二次3", "二次4", "二次5", "補助"};
  const fbc::OutputResult& main = review.outputs[0];
  for (std::size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(i);
    const fbc::OutputResult& o = i < 5 ? review.outputs[i] : *review.bias;
    EXPECT_EQ(rows[i][0], names[i]);
    const double turns = std::max(1.0, std::round((o.V + o.Vf) / (main.V + main.Vf) * main.turns));
    EXPECT_EQ(rows[i][1], std::to_string(i == 0 ? review.Ns : static_cast<int>(turns)));
    EXPECT_EQ(rows[i][2], str(QString::number(o.V, 'g', 6)));
    EXPECT_NEAR(std::stod(rows[i][3]), (main.V + main.Vf) * o.turns / main.turns - o.Vf, 0.006);
    EXPECT_EQ(rows[i][3], str(QString::number(o.Vactual, 'f', 2)));
    EXPECT_EQ(rows[i][5], str(QString::number(o.IsPk, 'f', 3)));
    EXPECT_EQ(rows[i][6], str(QString::number(o.IsRms, 'f', 3)));
    EXPECT_EQ(rows[i][7], str(QString::number(o.VdRevMax, 'f', 1)));
  }
  EXPECT_EQ(rows[0][1], std::to_string(review.Ns));

  // Every flag of the engine's review, the outputs' among them where one is off.
  std::vector<std::string> sentences;
  for (const fbc::ReviewFlag flag : review.flags) {
    sentences.push_back("・" + fbc::toUtf8(fbc::reviewFlagSentence(flag)));
  }
  if (review.flags.empty()) {
    sentences.push_back("指摘事項はありません。");
  }
  EXPECT_EQ(flagTexts(), sentences);
  EXPECT_EQ(
      review.has(fbc::ReviewFlag::OutputVoltageOff),
      std::any_of(review.outputs.begin(), review.outputs.end(),
                  [](const fbc::OutputResult& o) { return std::abs(o.errorPercent) > 5.0; }) ||
          std::abs(review.bias->errorPercent) > 5.0);

  // The losses: a wire and a current density for every winding, and every winding's figures
  // named after it.
  ASSERT_TRUE(review.losses.valid);
  ASSERT_EQ(review.losses.windings.size(), 7U);
  for (const char* suffix : {"P", "S", "S2", "S3", "S4", "S5", "B"}) {
    SCOPED_TRACE(suffix);
    EXPECT_FALSE(loss((std::string("wire") + suffix).c_str()).first.empty());
    EXPECT_FALSE(loss((std::string("Rdc") + suffix).c_str()).first.empty());
  }
  EXPECT_EQ(lossLabel("RdcS3"), "二次3直流抵抗");
  EXPECT_EQ(loss("RdcS3").second, "mΩ");
  EXPECT_EQ(lossLabel("PcuB"), "補助銅損");
  EXPECT_EQ(lossLabel("wireS2").rfind("二次2巻線の線材", 0), 0U) << lossLabel("wireS2");
  EXPECT_EQ(lossLabel("wireB").rfind("補助巻線の線材", 0), 0U) << lossLabel("wireB");
  const fbc::WindingLoss* s4 = review.losses.find(fbc::Winding::Output4);
  ASSERT_NE(s4, nullptr);
  EXPECT_EQ(loss("RdcS4").first, fbc::reviewValueText(*fbc::reviewDisplay("RdcS"), s4->Rdc));

  // The window still fits the screen with the outputs on show, seven of them beside the main
  // one and the bias as well; the outputs show whole at the opening size.
  EXPECT_LE(review_->minimumSizeHint().height(), 700);
  auto* results = part<QTableWidget>("outputResults");
  QApplication::processEvents();
  EXPECT_GE(results->viewport()->height(), 6 * results->verticalHeader()->defaultSectionSize());
  typeOutputs({{"24", "0.1", ""}, {"24", "0.1", ""}, {"24", "0.1", ""}});
  ASSERT_EQ(outputResults().size(), 9U);
  EXPECT_LE(review_->minimumSizeHint().height(), 700);
  EXPECT_LE(review_->height(), 700);
  EXPECT_TRUE(messages_.empty());
}

// The main output's turns, given, stand: the further outputs' follow them.
TEST_F(ReviewWindowTest, TheMainOutputsTurnsGivenStand) {
  calculateOnPq50();
  openReview();
  typeOutputs({{"5", "2", "0.5"}});
  const std::string automatic = outputResults()[0][1];
  part<QLineEdit>("reviewSecondaryTurns")->setText(QStringLiteral("12"));
  ASSERT_EQ(outputResults().size(), 2U);
  EXPECT_EQ(outputResults()[0][1], "12");
  EXPECT_NE(automatic, "12");
  EXPECT_EQ(number("Ns").first, "12");
  // round(5.5/24.7·12) = 3 turns.
  EXPECT_EQ(outputResults()[1][1], "3");
}

// The insulation's page: its kind and its construction are chosen from lists whose items carry
// the codes the review reads, 自動 naming the kind it stands for (functional with a DC input,
// reinforced once a mains input is given); the working voltage and the pins say what empty
// stands for. Tab runs from the page tabs through the four controls, each named by its caption,
// to the result tabs.
TEST_F(ReviewWindowTest, TheInsulationPageSaysWhatEmptyMeansAndIsReachableWithTab) {
  calculateOnPq50();
  openReview();
  review_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(review_));
  showConditionPage(3);
  EXPECT_EQ(str(conditionPages()->tabText(3)), "絶縁");
  EXPECT_EQ(items("reviewInsulation"),
            (std::vector<std::string>{"自動 (機能絶縁)", "機能絶縁", "基礎絶縁", "強化絶縁"}));
  EXPECT_EQ(items("reviewInsulation", Qt::UserRole),
            (std::vector<std::string>{"", "functional", "basic", "reinforced"}));
  EXPECT_EQ(items("reviewConstruction"), (std::vector<std::string>{"マージン", "三重絶縁線"}));
  EXPECT_EQ(items("reviewConstruction", Qt::UserRole), (std::vector<std::string>{"margin", "tiw"}));
  auto* kind = part<QComboBox>("reviewInsulation");
  EXPECT_EQ(kind->currentIndex(), 0);
  EXPECT_EQ(str(part<QComboBox>("reviewConstruction")->currentText()), "マージン");
  condition(fbc::ReviewInput::VacMin)->setText(QStringLiteral("85"));
  EXPECT_EQ(str(kind->currentText()), "自動 (強化絶縁)");
  condition(fbc::ReviewInput::VacMin)->clear();
  EXPECT_EQ(str(kind->currentText()), "自動 (機能絶縁)");
  // The choice's widest text shows whole.
  EXPECT_LE(kind->fontMetrics().horizontalAdvance(QStringLiteral("自動 (強化絶縁)")),
            kind->width() - 24);

  for (const fbc::ReviewInput input : {fbc::ReviewInput::WorkingVoltage, fbc::ReviewInput::Pins}) {
    const fbc::ReviewInputInfo& info = fbc::reviewInputInfo(input);
    SCOPED_TRACE(fbc::toUtf8(info.caption));
    QLineEdit* field = condition(input);
    ASSERT_NE(field, nullptr);
    EXPECT_TRUE(field->text().isEmpty());
    EXPECT_EQ(field->placeholderText().toStdU16String(), info.emptyMeansJa);
    // The placeholder shows whole (the edit's own margin is 2 pixels a side).
    EXPECT_LE(field->fontMetrics().horizontalAdvance(field->placeholderText()), field->width() - 8);
  }
  EXPECT_EQ(str(condition(fbc::ReviewInput::WorkingVoltage)->placeholderText()), "入力から");
  EXPECT_EQ(str(condition(fbc::ReviewInput::Pins)->placeholderText()), "各6");
  // As read: the input's default kind, the margin construction and the empty figures.
  const fbc::ReviewInputs typed = review_->reviewInputs();
  EXPECT_EQ(typed.text(fbc::ReviewInput::Insulation), u"");
  EXPECT_EQ(typed.text(fbc::ReviewInput::Construction), u"margin");
  EXPECT_EQ(typed.text(fbc::ReviewInput::WorkingVoltage), u"");
  EXPECT_EQ(typed.text(fbc::ReviewInput::Pins), u"");

  std::vector<QWidget*> order{conditionPages()->tabBar()};
  for (const char* name :
       {"reviewInsulation", "reviewConstruction", "reviewWorkingVoltage", "reviewPins"}) {
    order.push_back(part<QWidget>(name));
  }
  for (std::size_t i = 1; i < order.size(); ++i) {
    EXPECT_EQ(order[i]->accessibleName().toStdU16String(),
              fbc::kReviewInputTable[static_cast<std::size_t>(fbc::ReviewInput::Insulation) + i - 1]
                  .caption);
  }
  order.push_back(part<QTabWidget>("reviewTabs")->tabBar());
  expectTabOrder(order);
}

// The insulation as the review builds it, on the review's tab, for the start values on PQ50 fed
// from 85 to 265 VAC. The working voltage is the highest mains voltage, 265 V: IEC 62368-1
// Table 17 (pollution degree 2, material group III) gives 2.5 mm at 250 V and 3.2 mm at 320 V, so
// 2.65 mm, rounded up to 2.7 mm basic and twice that, 5.4 mm, reinforced; at 300 V 3.0 mm basic.
// A 300 V mains' category II transient is 2500 V peak (IEC 60664-1 Table F.1), whose clearance is
// 1.5 mm basic and 3.0 mm reinforced (IEC 62368-1 Table 14); reinforced insulation is tested at
// the next transient, 4000 V, and customarily at 3000 VAC, basic at 2500 V and 1500 VAC, for 60 s.
// The margin, half the creepage at each end rounded up to 0.1 mm, narrows PQ50's 33.9 mm bobbin
// by twice itself; triple-insulated secondaries need none and one layer of tape. Functional
// insulation has no distances and no test, which the flags say.
TEST_F(ReviewWindowTest, TheInsulationChosenChangesTheBreadthAndTheFiguresShown) {
  calculateOnPq50();
  openReview();
  showConditionPage(1);
  condition(fbc::ReviewInput::VacMin)->setText(QStringLiteral("85"));
  condition(fbc::ReviewInput::VacMax)->setText(QStringLiteral("265"));
  showConditionPage(3);
  using Shown = std::vector<std::pair<const char*, std::string>>;
  struct Case {
    const char* insulation;
    const char* construction;
    const char* workingVoltage;
    Shown shown;
    double margin;  // mm at each end
  };
  const Case cases[] = {
      {"",
       "margin",
       "",
       {{"insulation", "強化絶縁・マージン"},
        {"workingVoltage", "265 V"},
        {"creepage", "5.4 mm"},
        {"clearance", "3.0 mm"},
        {"margin", "2.7 mm"},
        {"tapeLayersPS", "3層 (0.15 mm)"},
        {"windingBreadth", "28.5 / 33.9 mm"},
        {"hipot", "4000 V / 3000 V"}},
       2.7},
      {"basic",
       "margin",
       "",
       {{"insulation", "基礎絶縁・マージン"},
        {"creepage", "2.7 mm"},
        {"clearance", "1.5 mm"},
        {"margin", "1.4 mm"},
        {"windingBreadth", "31.1 / 33.9 mm"},
        {"hipot", "2500 V / 1500 V"}},
       1.4},
      {"reinforced",
       "tiw",
       "",
       {{"insulation", "強化絶縁・三重絶縁線"},
        {"creepage", "5.4 mm"},
        {"margin", "なし"},
        {"tapeLayersPS", "1層 (0.05 mm)"},
        {"windingBreadth", "33.9 / 33.9 mm"},
        {"hipot", "4000 V / 3000 V"}},
       0.0},
      {"reinforced",
       "margin",
       "300",
       {{"workingVoltage", "300 V"},
        {"creepage", "6.0 mm"},
        {"margin", "3.0 mm"},
        {"windingBreadth", "27.9 / 33.9 mm"}},
       3.0},
      {"functional",
       "margin",
       "",
       {{"insulation", "機能絶縁・マージン"},
        {"creepage", "—"},
        {"clearance", "—"},
        {"margin", "—"},
        {"tapeLayersPS", "3層 (0.15 mm)"},
        {"windingBreadth", "33.9 / 33.9 mm"},
        {"hipot", "—"}},
       0.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.insulation) + " " + c.construction + " " + c.workingVoltage);
    choose("reviewInsulation", c.insulation);
    choose("reviewConstruction", c.construction);
    condition(fbc::ReviewInput::WorkingVoltage)->setText(QString::fromLatin1(c.workingVoltage));
    // The review reads the codes.
    const fbc::ReviewInputs typed = review_->reviewInputs();
    EXPECT_EQ(fbc::toUtf8(typed.text(fbc::ReviewInput::Insulation)), c.insulation);
    EXPECT_EQ(fbc::toUtf8(typed.text(fbc::ReviewInput::Construction)), c.construction);
    for (const auto& [name, value] : c.shown) {
      EXPECT_EQ(isolation(name).second, value) << name;
    }
    // The windings are laid across the bobbin less a margin at each end.
    const std::string breadths = isolation("windingBreadth").second;
    EXPECT_NEAR(std::stod(breadths), 33.9 - 2.0 * c.margin, 1e-9) << breadths;
    const bool functional = std::string(c.insulation) == "functional";
    const std::vector<std::string> flags = flagTexts();
    EXPECT_EQ(std::find(flags.begin(), flags.end(),
                        "・" + fbc::toUtf8(fbc::reviewFlagSentence(
                                   fbc::ReviewFlag::CreepageUnchecked))) != flags.end(),
              functional);
  }
  // Where the working voltage comes from: the mains, a figure given, or the DC input.
  EXPECT_EQ(isolation("workingVoltage").first, "動作電圧 (交流実効値)");
  condition(fbc::ReviewInput::WorkingVoltage)->setText(QStringLiteral("300"));
  EXPECT_EQ(isolation("workingVoltage").first, "動作電圧 (指定)");
  condition(fbc::ReviewInput::WorkingVoltage)->clear();
  condition(fbc::ReviewInput::VacMin)->clear();
  condition(fbc::ReviewInput::VacMax)->clear();
  EXPECT_EQ(isolation("workingVoltage"),
            (std::pair<std::string, std::string>{"動作電圧 (直流入力)", "200 V"}));
  EXPECT_TRUE(messages_.empty());
}

// Margins that leave the windings less than a third of the bobbin are flagged as blocking, and
// the breadth is shown in the flag's red: EER25.5's bobbin is 10.1 mm broad, and reinforced
// insulation at 400 V takes 4.0 mm at each end (8.0 mm creepage, IEC 62368-1 Table 17 twice
// 4.0 mm), leaving 2.1 mm; at 600 V the 6.0 mm margins leave nothing, shown as no breadth rather
// than a negative one.
TEST_F(ReviewWindowTest, MarginsThatLeaveTooLittleBreadthAreShownInRed) {
  calculate();
  openReview();
  showConditionPage(3);
  choose("reviewInsulation", "reinforced");
  auto* table = part<QTableWidget>("isolationResults");
  const auto breadthColour = [&] {
    for (int row = 0; row < table->rowCount(); ++row) {
      for (int column = 0; column + 1 < table->columnCount(); column += 2) {
        if (table->item(row, column)->toolTip() == QLatin1String("windingBreadth")) {
          return table->item(row, column + 1)->foreground().color();
        }
      }
    }
    return QColor();
  };
  const std::string sentence =
      "・" + fbc::toUtf8(fbc::reviewFlagSentence(fbc::ReviewFlag::InsulationDoesNotFit));
  const auto flagged = [&] {
    const std::vector<std::string> flags = flagTexts();
    return std::find(flags.begin(), flags.end(), sentence) != flags.end();
  };
  EXPECT_NE(breadthColour(), QColor(176, 0, 0));
  EXPECT_FALSE(flagged());
  for (const auto& [volts, breadths] :
       {std::pair{"400", "2.1 / 10.1 mm"}, std::pair{"600", "0.0 / 10.1 mm"}}) {
    SCOPED_TRACE(volts);
    condition(fbc::ReviewInput::WorkingVoltage)->setText(QString::fromLatin1(volts));
    EXPECT_EQ(isolation("windingBreadth").second, breadths);
    EXPECT_EQ(breadthColour(), QColor(176, 0, 0));
    EXPECT_TRUE(flagged());
  }
}

// A working voltage outside 0 to 1000 V or pins that are not N or NP,NS from 2 to 20 are marked
// on their fields with the engine's Japanese words, as is a secondary wire that cannot be made
// triple-insulated once the secondaries are; the review then gives no verdict and no
// insulation, and shows them again once the text is put right.
TEST_F(ReviewWindowTest, AnUnusableInsulationConditionIsMarkedOnItsField) {
  calculateOnPq50();
  openReview();
  showConditionPage(3);
  ASSERT_GT(part<QTableWidget>("isolationResults")->rowCount(), 0);
  struct Case {
    fbc::ReviewInput input;
    const char* text;
    const char* construction;
    const char* why;
  };
  const Case cases[] = {
      {fbc::ReviewInput::WorkingVoltage, "-1", "margin",
       "0より大きく1000以下の値を入力してください。"},
      {fbc::ReviewInput::WorkingVoltage, "1001", "margin",
       "0より大きく1000以下の値を入力してください。"},
      {fbc::ReviewInput::WorkingVoltage, "0", "margin",
       "0より大きく1000以下の値を入力してください。"},
      {fbc::ReviewInput::WorkingVoltage, "abc", "margin", "数値を入力してください。"},
      {fbc::ReviewInput::Pins, "1", "margin",
       "ピン数は2から20の整数で、一次側,二次側の順に入力してください。"},
      {fbc::ReviewInput::Pins, "a", "margin",
       "ピン数は2から20の整数で、一次側,二次側の順に入力してください。"},
      {fbc::ReviewInput::Pins, "6,21", "margin",
       "ピン数は2から20の整数で、一次側,二次側の順に入力してください。"},
      {fbc::ReviewInput::WireSecondary, "foil:0.2", "tiw",
       "三重絶縁線は0.2から1 mmの丸線(並列可)です。"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " " + c.construction);
    choose("reviewConstruction", c.construction);
    QLineEdit* field = condition(c.input);
    ASSERT_NE(field, nullptr);
    const QString before = field->text();
    field->setText(QString::fromUtf8(c.text));
    EXPECT_EQ(field->palette().color(QPalette::Base), MainWindow::faultColour());
    EXPECT_EQ(str(field->toolTip()), c.why);
    const std::string summary = str(part<QLabel>("reviewSummary")->text());
    EXPECT_NE(summary.find("判定していません"), std::string::npos) << summary;
    EXPECT_EQ(part<QTableWidget>("isolationResults")->rowCount(), 0);
    EXPECT_EQ(part<QListWidget>("reviewFlags")->count(), 0);
    field->setText(before);
    EXPECT_NE(field->palette().color(QPalette::Base), MainWindow::faultColour());
    EXPECT_GT(part<QTableWidget>("isolationResults")->rowCount(), 0);
  }
  // Pins given for each side are read as such.
  condition(fbc::ReviewInput::Pins)->setText(QStringLiteral("5,6"));
  EXPECT_NE(condition(fbc::ReviewInput::Pins)->palette().color(QPalette::Base),
            MainWindow::faultColour());
  EXPECT_EQ(review_->conditions().value().pins, (fbc::PinCounts{5, 6}));
}

}  // namespace
