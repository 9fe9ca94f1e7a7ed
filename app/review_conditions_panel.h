#pragma once

#include <array>
#include <optional>
#include <vector>

#include <QWidget>

#include "review/circuit/mains_input.h"
#include "review/losses.h"
#include "review/review_inputs.h"

class QComboBox;
class QLineEdit;
class QTabWidget;

namespace fbc {

class InsulationConditions;
class MainsInputRow;
class OutputConditions;
class WindingConditionsRow;

// The review window's conditions, every row of kReviewInputTable, on four pages of a tab bar so
// that the window stays within a 1024×768 screen:
// 「損失・スイッチ・駆動方式・巻線」 lays the losses' conditions in one row, the switch's in a
// second, each a caption, its field and a gap so that the captions line up in columns, the drive
// mode's long captions in a third and the windings' (`WindingConditionsRow`) in a fourth;
// 「交流入力」 holds the mains input (`MainsInputRow`); 「出力と補助巻線」 the further outputs, the
// bias winding and the main output's turns (`OutputConditions`); 「絶縁」 the insulation between
// the sides, its construction, working voltage and the bobbin's pins (`InsulationConditions`).
// It reads the fields into the conditions' texts, marks the field a problem names as the main
// window marks a box, and keeps the drive modes' own inputs open only in their mode.
class ReviewConditionsPanel : public QWidget {
  Q_OBJECT

 public:
  explicit ReviewConditionsPanel(QWidget* parent = nullptr);

  // The conditions as typed.
  ReviewInputs inputs() const;
  // The control that holds `input`'s text.
  QWidget* field(ReviewInput input) const;
  // The page tabs, then every page's controls, in the order Tab reaches them: a hidden page's are
  // passed over.
  std::vector<QWidget*> focusChain() const;

  // Marks the field `problem` names with its reason and unmarks the others. The ripple is open
  // only in continuous conduction and the drain capacitance only in the quasi-resonant mode, or
  // while they cannot be used; their texts stay.
  void showProblem(const std::optional<ReviewInputProblem>& problem);

  // The mains input's row, which shows what the mains gives.
  MainsInputRow& mains() const { return *mains_; }

  // The wires of the review on show, which choosing a wire's kind starts from; none cleared.
  void setReviewedWires(const TransformerLosses& losses);
  void clearReviewedWires();

 signals:
  // A condition changed.
  void changed();
  // The mains row's button: `vin` is the valley as the main window's input voltage is typed.
  void valleyChosen(const QString& vin);

 private:
  QWidget* createSwitchingPage();
  QWidget* createEdit(const ReviewInputInfo& info, QWidget* parent);
  void enableModeInputs(const std::optional<ReviewInputProblem>& problem);
  // An empty highest input stands for the mains' peak while a mains input is given, and the
  // insulation's 自動 for reinforced.
  void followMains();

  QTabWidget* pages_ = nullptr;
  QComboBox* material_ = nullptr;
  // The drive modes by their captions; each item's data is the mode's code.
  QComboBox* mode_ = nullptr;
  // The number fields of the first page, by ReviewInput; the others' are empty.
  std::array<QLineEdit*, kReviewInputTable.size()> edits_{};
  WindingConditionsRow* windings_ = nullptr;
  MainsInputRow* mains_ = nullptr;
  OutputConditions* outputs_ = nullptr;
  InsulationConditions* insulation_ = nullptr;
};

}  // namespace fbc
