#pragma once

#include <array>
#include <optional>

#include <QWidget>

#include "design/calculation.h"
#include "design/core_catalogue.h"
#include "design/design_state.h"
#include "review/core_advice.h"
#include "review/review.h"
#include "review/review_inputs.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;
class QTableWidget;

namespace fbc {

class MainWindow;
class PictureBox;
class SimulationPanel;
class WindingConditionsRow;

// 「設計レビュー」: the engineering review of the main window's last completed calculation and
// the review of every catalogue core for the same inputs, in the conditions typed into this
// window: the losses' (core material, ambient, highest core temperature), the switch's
// (highest input, leakage, clamp voltage, switch rating), the drive mode's (the mode, the
// ripple of continuous conduction and the drain capacitance of quasi-resonant switching) and the
// windings' (each winding's wire and the arrangement, or the review's choice). It
// follows the main window (updated after each completed calculation, cleared with the results) and
// leaves it untouched, apart from a double-click on a core row, which puts that core's name into
// cmbCore. Changing a condition reviews the last calculation again; a condition that cannot be used
// is marked as the main window marks its boxes, and the review then shows no verdict, flags,
// losses, stress or advice rather than ones worked out in other conditions.
//
// Six tabs keep it within a 1024×768 screen: 「レビュー」 (numbers and flags), 「損失と温度」
// (this design's windings as wound and its losses, a dash for each figure windings that do not
// fit the bobbin cannot give, and a chart of every buildable core's), 「スイッチとクランプ」 (what
// the switch and the diode see, and the clamp's parts to buy), 「電流波形」 (the windings' currents
// in the drive mode), 「回路シミュレーション」 (the design in ngspice, run on request) and
// 「コアの選択」 (the advice).
class ReviewWindow : public QWidget {
  Q_OBJECT

 public:
  explicit ReviewWindow(MainWindow& main);

  // Shows the review of `state`, completed from `inputs`, and the core advice for them. While
  // the window is hidden the review waits until it is shown, so that the main window's click
  // costs what it always did.
  void showReview(const DesignInputs& inputs, const DesignState& state);
  // Back to the opening state: nothing calculated yet. The conditions stay as typed.
  void clearReview();

  // The conditions as typed.
  ReviewInputs reviewInputs() const;
  // The conditions the fields give, or nothing while one of them cannot be used.
  std::optional<ReviewConditions> conditions() const;
  // The input voltage of the design on show, which the highest input may not lie below.
  std::optional<double> designVin() const;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QWidget* createConditions();
  QWidget* createReviewTab();
  QWidget* createLossesTab();
  QWidget* createStressTab();
  QWidget* createAdviceTab();
  QWidget* createCurrentsTab();

  // Reviews the last calculation again in the conditions now typed.
  void refresh();
  // Enables the ripple only in continuous conduction and the drain capacitance only in the
  // quasi-resonant mode, or while they cannot be used; their texts stay.
  void enableModeInputs();
  // Marks the field that cannot be used (and unmarks the others); the reading of the fields.
  ReviewInputReading markConditions();
  QWidget* conditionField(ReviewInput input) const;
  // The summary line: core, level, and the verdict or why there is none.
  QString summaryText(const QString& core, const DesignReview& review, bool levelChosen,
                      const ReviewInputReading& reading) const;
  void showFlags(const DesignReview& review);
  void showLosses(const DesignReview& review, const ReviewConditions& conditions);
  void showStress(const DesignReview& review);
  void showAdvice(const CoreAdvice& advice, const ReviewConditions& conditions);
  void showCurrents(const DesignReview& review);
  // Empties what depends on the conditions: flags, losses, stress, advice and chart.
  void clearConditionResults();
  void useCore(int row);

  MainWindow& main_;
  CoreCatalogue catalogue_;
  // The last completed calculation, reviewed again when a condition changes.
  std::optional<DesignInputs> inputs_;
  bool stale_ = false;  // a design came while hidden and is not reviewed yet
  DesignState state_;

  QLabel* summary_ = nullptr;
  QComboBox* material_ = nullptr;
  // The drive modes by their captions; each item's data is the mode's code.
  QComboBox* mode_ = nullptr;
  // The number fields of the conditions, by ReviewInput; the material's, the mode's and the
  // windings' are empty.
  std::array<QLineEdit*, kReviewInputTable.size()> edits_{};
  // The wires and the arrangement.
  WindingConditionsRow* windings_ = nullptr;
  QTabWidget* tabs_ = nullptr;
  QTableWidget* numbers_ = nullptr;
  QListWidget* flags_ = nullptr;
  QLabel* lossSummary_ = nullptr;
  QTableWidget* losses_ = nullptr;
  PictureBox* chart_ = nullptr;
  QLabel* stressSummary_ = nullptr;
  QTableWidget* stress_ = nullptr;
  QTableWidget* clampParts_ = nullptr;
  QLabel* clampNote_ = nullptr;
  QLabel* adviceSummary_ = nullptr;
  QTableWidget* advice_ = nullptr;
  // The primary's and the secondary's current in the drive mode.
  std::array<PictureBox*, 2> currentPlots_{};
  SimulationPanel* simulation_ = nullptr;
  QPushButton* close_ = nullptr;
};

// Creates the (hidden) review window for `window` and adds 「設計レビュー...」 (Ctrl+R) to the
// window's context menu, which shows it.
ReviewWindow& addDesignReviewAction(MainWindow& window);

}  // namespace fbc
