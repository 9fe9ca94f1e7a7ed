#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QWidget>

#include "design/design_state.h"
#include "review/review.h"
#include "review/review_inputs.h"

class QLabel;
class QProcess;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QTemporaryFile;
class QTimer;

namespace fbc {

class PictureBox;

// 「回路シミュレーション」: runs ngspice on the netlist of the design on show, in the background,
// with a busy bar and a cancel button, then plots the simulated switch voltage and current and
// the diode current over two periods against the model's peaks, and lists each figure beside the
// model's. A new design, changed conditions or the clearing stop a run and empty the results.
class SimulationPanel : public QWidget {
  Q_OBJECT

 public:
  explicit SimulationPanel(QWidget* parent = nullptr);
  ~SimulationPanel() override;

  // The design the next run simulates; nothing when it cannot be simulated, which the status line
  // says: no circuit to simulate, or a leakage that cannot be estimated because the windings do
  // not fit the bobbin. Stops a running simulation and clears its results.
  void setDesign(const DesignState& state, const DesignReview& review,
                 const ReviewConditions& conditions);
  void clearDesign();

  // Whether a simulation runs now.
  bool running() const;

  // The panel's controls in the order Tab reaches them.
  std::vector<QWidget*> focusChain() const;

 signals:
  // A run ended: with results, a failure said in the status line, or a cancel.
  void simulationFinished();

 private:
  void start();
  void cancel(const QString& why);
  void finished();
  void failedToStart();
  void showIdle(const QString& status);
  void clearResults();

  struct Design {
    DesignState state;
    DesignReview review;
    ReviewConditions conditions;
  };
  std::optional<Design> design_;

  QPushButton* start_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QProgressBar* busy_ = nullptr;
  QLabel* status_ = nullptr;
  PictureBox* switchPlot_ = nullptr;
  PictureBox* diodePlot_ = nullptr;
  QTableWidget* figures_ = nullptr;
  QProcess* process_ = nullptr;
  QTimer* timeout_ = nullptr;
  std::unique_ptr<QTemporaryFile> netlist_;
};

}  // namespace fbc
