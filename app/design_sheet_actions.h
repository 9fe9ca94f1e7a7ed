#pragma once

#include <optional>

#include <QDate>
#include <QObject>
#include <QString>

#include "design/design_inputs.h"
#include "design/design_state.h"
#include "export/design_sheet.h"

class QAction;
class QPrinter;
class QWidget;

namespace fbc {

class MainWindow;

// The design sheet from the window: 「設計書をPDFで保存...」 (Ctrl+Shift+S) and 「印刷...」
// (Ctrl+P) in the background's context menu, both for the last completed calculation. Until
// there is one, and again after the clear button, both are disabled. Each asks for the drawing
// number (図番) first. Nothing in the window's layout changes.
class DesignSheetActions : public QObject {
  Q_OBJECT

 public:
  explicit DesignSheetActions(MainWindow& window);

  QAction* saveAction() const noexcept { return save_; }
  QAction* printAction() const noexcept { return print_; }

  // The sheet of the last completed calculation, dated today; nothing when there is none.
  std::optional<DesignSheetContent> content(const QString& drawingNumber) const;
  // Asks for the drawing number, then gives the content (nothing when cancelled or none).
  std::optional<DesignSheetContent> askForSheet();

 private:
  void remember(const DesignInputs& inputs);
  void forget();
  void saveAsPdf();
  void print();

  MainWindow& window_;
  QAction* save_ = nullptr;
  QAction* print_ = nullptr;
  std::optional<DesignInputs> inputs_;
  DesignState state_;
};

// Adds the two commands to the window (after its other background commands).
DesignSheetActions& addDesignSheetActions(MainWindow& window);

// Asks for the drawing number in a small dialog that takes half-width characters only (see
// isValidDrawingNumber); nothing when cancelled.
std::optional<QString> askDrawingNumber(QWidget* parent);

// The file name the save dialog suggests, like the picture's: "flyback-EER25.5-2026-12-10.pdf".
QString suggestedSheetFileName(const QString& core, const QDate& date);

// Paints the sheet onto the printer's A4 page, the same page as the PDF; false when the printer
// cannot be started.
bool printDesignSheet(QPrinter& printer, const DesignSheetContent& content);

}  // namespace fbc
