#pragma once

#include <array>
#include <optional>

#include <QWidget>

#include "design/calculation.h"
#include "design/core_catalogue.h"
#include "design/design_state.h"
#include "review/circuit/mains_input.h"
#include "review/core_advice.h"
#include "review/review.h"
#include "review/review_inputs.h"

class QLabel;
class QListWidget;
class QPushButton;
class QTabWidget;
class QTableWidget;

namespace fbc {

class MainWindow;
class PictureBox;
class ReviewConditionsPanel;
class SimulationPanel;

// 「設計レビュー」: the engineering review of the main window's last completed calculation and
// the review of every catalogue core for the same inputs, in the conditions typed into this
// window (`ReviewConditionsPanel`): the losses' (core material, ambient, highest core
// temperature), the switch's (highest input, leakage, clamp voltage, switch rating), the drive
// mode's (the mode, the ripple of continuous conduction and the drain capacitance of
// quasi-resonant switching), the windings' (each winding's wire and the arrangement, or the
// review's choice), a mains input with its bulk capacitor, whose peak is then the highest input,
// the further outputs with a bias winding, and the insulation between the primary and secondary
// sides with the bobbin's pins. It follows the main window (updated after each
// completed calculation, cleared with the results) and leaves it untouched, apart from a
// double-click on a core row, which puts that core's name into cmbCore, and the mains' button,
// which puts the bulk capacitor's valley into txtVin; the person calculates anew as ever.
// Changing a condition reviews the last calculation again; a condition that cannot be used is
// marked as the main window marks its boxes, and the review then shows no verdict, flags, outputs,
// insulation, losses, stress or advice rather than ones worked out in other conditions.
//
// Six tabs keep it within a 1024×768 screen: 「レビュー」 (numbers, each output, the insulation
// and flags),
// 「損失と温度」 (this design's windings as wound and its losses, a dash for each figure windings
// that do not fit the bobbin cannot give, and a chart of every buildable core's),
// 「スイッチとクランプ」 (what the switch and the diode see, and the clamp's parts to buy),
// 「電流波形」 (the windings' currents in the drive mode), 「回路シミュレーション」 (the design in
// ngspice, run on request) and 「コアの選択」 (the advice).
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
  // The conditions the review works in, or nothing while one of them cannot be used: with a
  // mains input, the highest input is the peak of its highest line, and the bulk capacitor must
  // hold the design's input power up.
  std::optional<ReviewConditions> conditions() const;
  // The input voltage of the design on show, which the highest input may not lie below.
  std::optional<double> designVin() const;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  // The conditions as read, with a mains input's supply worked out for the design on show: its
  // peak is the highest input, and a bulk capacitor too small for the design's input power is
  // the problem.
  struct ConditionReading {
    ReviewInputReading reading;
    std::optional<InputSupply> supply;
  };
  ConditionReading readConditions() const;

  QWidget* createReviewTab();
  QWidget* createLossesTab();
  QWidget* createStressTab();
  QWidget* createAdviceTab();
  QWidget* createCurrentsTab();
  void setTabOrders();

  // Reviews the last calculation again in the conditions now typed.
  void refresh();
  // Marks the field that cannot be used (and unmarks the others) and shows what the mains give;
  // the reading of the fields.
  ConditionReading markConditions();
  // The summary line: core, level, and the verdict or why there is none.
  QString summaryText(const QString& core, const DesignReview& review, bool levelChosen,
                      const ReviewInputReading& reading) const;
  void showFlags(const DesignReview& review);
  void showOutputs(const DesignReview& review);
  void showIsolation(const DesignReview& review, const ReviewConditions& conditions);
  void showLosses(const DesignReview& review, const ReviewConditions& conditions);
  void showStress(const DesignReview& review);
  void showAdvice(const CoreAdvice& advice, const ReviewConditions& conditions);
  void showCurrents(const DesignReview& review);
  // Empties what depends on the conditions: flags, outputs, losses, stress, advice and chart.
  void clearConditionResults();
  void useCore(int row);
  void useValley(const QString& vin);

  MainWindow& main_;
  CoreCatalogue catalogue_;
  // The last completed calculation, reviewed again when a condition changes.
  std::optional<DesignInputs> inputs_;
  bool stale_ = false;  // a design came while hidden and is not reviewed yet
  DesignState state_;

  QLabel* summary_ = nullptr;
  ReviewConditionsPanel* conditionsPanel_ = nullptr;
  QTabWidget* tabs_ = nullptr;
  QTableWidget* numbers_ = nullptr;
  // Every output and the bias from the whole turns.
  QTableWidget* outputs_ = nullptr;
  // The insulation between the primary and secondary sides, two figures to a row.
  QTableWidget* isolation_ = nullptr;
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
