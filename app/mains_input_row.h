#pragma once

#include <array>
#include <vector>

#include <QWidget>

#include "review/circuit/mains_input.h"
#include "review/review_inputs.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace fbc {

// The review's mains input: the lowest and highest mains voltage, the line frequency, the bulk
// capacitor and the bridge's charge duty, each a caption and a field as the table names them;
// beneath, what they give for the design on show (the bulk capacitor's valley VDCmin, the
// line's peak VDCmax and the capacitor the rule of thumb chose) and a button that offers the
// valley as the main window's input voltage. An empty lowest voltage leaves a fixed DC input.
class MainsInputRow : public QWidget {
  Q_OBJECT

 public:
  explicit MainsInputRow(QWidget* parent = nullptr);

  // The texts of VacMin, VacMax, LineFrequency, BulkCapacitance and ChargeDuty, as typed.
  void readInto(ReviewInputs& inputs) const;
  // The field of `input`, or nullptr for an input outside the mains.
  QLineEdit* field(ReviewInput input) const;
  // The fields and the button in the order Tab reaches them.
  std::vector<QWidget*> focusChain() const;
  // Whether a lowest mains voltage is typed: the review then takes its input from the mains.
  bool given() const;

  // What the mains gives at the input power of the design on show, made at `designVin` [V].
  void showSupply(const InputSupply& supply, double designVin);
  // Why there is no valley to show.
  enum class NoSupply { NotGiven, NoDesign, Unusable };
  void showNoSupply(NoSupply why);

 signals:
  // A field changed.
  void changed();
  // The button was pressed: `vin` is the valley as the design's input voltage is typed.
  void valleyChosen(const QString& vin);

 private:
  static constexpr std::array<ReviewInput, 5> kInputs = {
      ReviewInput::VacMin, ReviewInput::VacMax, ReviewInput::LineFrequency,
      ReviewInput::BulkCapacitance, ReviewInput::ChargeDuty};

  std::array<QLineEdit*, kInputs.size()> edits_{};
  QLabel* supply_ = nullptr;
  QPushButton* useValley_ = nullptr;
  QString valley_;  // the text the button puts into the input box
};

}  // namespace fbc
