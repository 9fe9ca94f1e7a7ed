#pragma once

#include <vector>

#include <QWidget>

#include "review/review_inputs.h"

class QComboBox;
class QLineEdit;

namespace fbc {

// The insulation between the primary and secondary sides: its kind (自動, 機能絶縁, 基礎絶縁 or
// 強化絶縁) and how the barrier is built (マージン or 三重絶縁線), each chosen from a list whose
// items carry the codes the review reads, and the working voltage and the bobbin's pins, each a
// field that says what empty stands for. 自動 names the kind it stands for (reinforced with a
// mains input, functional with a DC one); a note beneath says what each construction winds.
class InsulationConditions : public QWidget {
  Q_OBJECT

 public:
  explicit InsulationConditions(QWidget* parent = nullptr);

  // The texts of Insulation, Construction, WorkingVoltage and Pins, as chosen or typed.
  void readInto(ReviewInputs& inputs) const;
  // The control that holds `input`'s text, or nullptr for an input outside the insulation.
  QWidget* field(ReviewInput input) const;
  // The controls in the order Tab reaches them.
  std::vector<QWidget*> focusChain() const;
  // Whether a mains input is given, which decides the kind 自動 stands for.
  void setMainsGiven(bool given);

 signals:
  // A choice or a field changed.
  void changed();

 private:
  QComboBox* insulation_ = nullptr;    // data: "" for 自動, else the code
  QComboBox* construction_ = nullptr;  // data: the code
  QLineEdit* workingVoltage_ = nullptr;
  QLineEdit* pins_ = nullptr;
};

}  // namespace fbc
