#pragma once

#include <array>
#include <optional>
#include <vector>

#include <QWidget>

#include "review/review_inputs.h"

class QLineEdit;
class QPushButton;
class QTableWidget;

namespace fbc {

// The outputs beside the main one, the bias winding and the main output's turns. The further
// outputs are a table, a row each, with the voltage, the current and the diode's forward
// voltage (empty: the default); rows are added and removed with buttons, at most
// kMostExtraOutputs, and an empty row is no output. The bias winding is a voltage, a forward
// voltage and a current, each a field of its own. They are written as the Outputs and Bias
// conditions' texts, as every front end writes them, and a cell or field that cannot be used is
// marked as the main window marks a box.
class OutputConditions : public QWidget {
  Q_OBJECT

 public:
  explicit OutputConditions(QWidget* parent = nullptr);

  // The texts of Outputs, Bias and SecondaryTurns.
  void readInto(ReviewInputs& inputs) const;
  // The control that holds `input`'s text: the outputs' table, the bias's voltage or the turns'
  // field; nullptr for the other inputs.
  QWidget* field(ReviewInput input) const;
  // The controls in the order Tab reaches them.
  std::vector<QWidget*> focusChain() const;
  // Marks the cell or field `problem` names where it is one of these inputs; unmarks the rest.
  void showProblem(const std::optional<ReviewInputProblem>& problem);

  // The further outputs' table: a new empty row at the end, or the current row (else the last)
  // removed.
  void addOutput();
  void removeOutput();

 signals:
  // A cell, a field or the rows changed.
  void changed();

 private:
  // The table's rows that give an output, in the order they are written.
  std::vector<int> outputRows() const;
  // Each row's header: the output's number as the faults name it and its winding's name, as the
  // review's tables name it ("出力1 (二次2)"); an empty row's a dash.
  void relabel();
  void clearMarks();
  void markOutput(const ReviewInputProblem& problem, const QString& why);
  void enableButtons();

  QTableWidget* table_ = nullptr;
  QPushButton* add_ = nullptr;
  QPushButton* remove_ = nullptr;
  // The bias's voltage, forward voltage and current.
  std::array<QLineEdit*, 3> bias_{};
  QLineEdit* turns_ = nullptr;
};

}  // namespace fbc
