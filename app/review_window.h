#pragma once

#include <QWidget>

#include "design/calculation.h"
#include "design/core_catalogue.h"
#include "design/design_state.h"
#include "review/core_advice.h"
#include "review/review.h"

class QLabel;
class QListWidget;
class QPushButton;
class QTableWidget;

namespace fbc {

class MainWindow;

// 「設計レビュー」: the engineering review of the main window's last completed calculation and
// the review of every catalogue core for the same inputs. It follows the main window (updated
// after each completed calculation, cleared with the results) and leaves it untouched, apart
// from a double-click on a core row, which puts that core's name into cmbCore.
class ReviewWindow : public QWidget {
  Q_OBJECT

 public:
  explicit ReviewWindow(MainWindow& main);

  // Shows the review of `state`, completed from `inputs`, and the core advice for them.
  void showReview(const DesignInputs& inputs, const DesignState& state);
  // Back to the opening state: nothing calculated yet.
  void clearReview();

 private:
  void showNumbersAndFlags(const DesignReview& review);
  void showAdvice(const CoreAdvice& advice);
  void useCore(int row);

  MainWindow& main_;
  CoreCatalogue catalogue_;
  QLabel* summary_ = nullptr;
  QTableWidget* numbers_ = nullptr;
  QListWidget* flags_ = nullptr;
  QLabel* adviceSummary_ = nullptr;
  QTableWidget* advice_ = nullptr;
  QPushButton* close_ = nullptr;
};

// Creates the (hidden) review window for `window` and adds 「設計レビュー...」 (Ctrl+R) to the
// window's context menu, which shows it.
ReviewWindow& addDesignReviewAction(MainWindow& window);

}  // namespace fbc
