#include "app/design_sheet_actions.h"

#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QKeySequence>
#include <QLineEdit>
#include <QMessageBox>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QStandardPaths>

#include "app/main_window.h"
#include "app/review_window.h"
#include "app/window_capture.h"
#include "design/core_catalogue.h"
#include "design/drawing_number.h"
#include "platform/errors.h"
#include "platform/file_writer.h"

namespace fbc {

namespace {

const QString kSaveTitle = QStringLiteral("設計書をPDFで保存");

QString documentFolder() {
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

// A core name the catalogue does not know leaves the previous core's figures in the state; the
// sheet then names the core those figures belong to, so the shop winds what was calculated.
std::u16string coreOfFigures(const DesignInputs& inputs, const DesignState& state) {
  const CoreCatalogue catalogue;
  if (const std::optional<int> typed = catalogue.find(inputs.core)) {
    if (catalogue.hasFigures(*typed)) {
      return inputs.core;
    }
  }
  for (const std::u16string& name : catalogue.listNames()) {
    const int position = *catalogue.find(name);
    if (catalogue.ae(position) == state.Ae && catalogue.aw(position) == state.Aw &&
        catalogue.fill(position) == state.Fill) {
      return name;
    }
  }
  return inputs.core;
}

// The conditions typed into the review window, so the sheet shows the losses the person sees
// there; the start conditions while one of them cannot be used (the sheet names the conditions
// it was made in).
ReviewConditions sheetConditions(const MainWindow& window) {
  const auto* review = window.findChild<const ReviewWindow*>();
  return review != nullptr ? review->conditions().value_or(ReviewConditions{}) : ReviewConditions{};
}

QString programText() {
  return QStringLiteral("flyback-designer ") + QStringLiteral(FBC_PROJECT_VERSION);
}

}  // namespace

DesignSheetActions::DesignSheetActions(MainWindow& window) : QObject(&window), window_(window) {
  save_ = new QAction(QStringLiteral("設計書をPDFで保存..."), &window);
  save_->setObjectName(QStringLiteral("saveDesignSheet"));
  save_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
  print_ = new QAction(QStringLiteral("印刷..."), &window);
  print_->setObjectName(QStringLiteral("printDesignSheet"));
  print_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
  forget();
  connect(save_, &QAction::triggered, this, &DesignSheetActions::saveAsPdf);
  connect(print_, &QAction::triggered, this, &DesignSheetActions::print);
  connect(&window, &MainWindow::calculationCompleted, this, &DesignSheetActions::remember);
  connect(&window, &MainWindow::displayCleared, this, &DesignSheetActions::forget);
  window.addAction(save_);
  window.addAction(print_);
}

std::optional<DesignSheetContent> DesignSheetActions::content(const QString& drawingNumber) const {
  if (!inputs_) {
    return std::nullopt;
  }
  return designSheetContent(*inputs_, state_, sheetConditions(window_),
                            QDate::currentDate().toString(Qt::ISODate).toStdU16String(),
                            programText().toStdU16String(), drawingNumber.toStdString());
}

void DesignSheetActions::remember(const DesignInputs& inputs) {
  state_ = window_.designState();
  inputs_ = inputs;
  inputs_->core = coreOfFigures(inputs, state_);
  save_->setEnabled(true);
  print_->setEnabled(true);
}

void DesignSheetActions::forget() {
  inputs_.reset();
  save_->setEnabled(false);
  print_->setEnabled(false);
}

std::optional<DesignSheetContent> DesignSheetActions::askForSheet() {
  const std::optional<QString> number = askDrawingNumber(&window_);
  if (!number) {
    return std::nullopt;
  }
  return content(*number);
}

void DesignSheetActions::saveAsPdf() {
  const std::optional<DesignSheetContent> sheet = askForSheet();
  if (!sheet) {
    return;
  }
  const QString suggested =
      QDir(documentFolder())
          .filePath(suggestedSheetFileName(QString::fromStdU16String(inputs_->core),
                                           QDate::currentDate()));
  QString path = QFileDialog::getSaveFileName(&window_, kSaveTitle, suggested,
                                              QStringLiteral("PDF 文書 (*.pdf)"));
  if (path.isEmpty()) {
    return;
  }
  if (QFileInfo(path).suffix().isEmpty()) {
    path += QStringLiteral(".pdf");
  }
  const std::string bytes = designSheetPdf(*sheet);
  // Written by the command line's rules: whole or not at all, through links, in place for
  // FIFOs and devices.
  try {
    writeFileSoundly(QFile::encodeName(path).toStdString(), bytes);
  } catch (const RuntimeError&) {
    QMessageBox::warning(
        &window_, window_.windowTitle(),
        QStringLiteral("設計書を保存できませんでした：") + QDir::toNativeSeparators(path));
  }
}

void DesignSheetActions::print() {
  const std::optional<DesignSheetContent> sheet = askForSheet();
  if (!sheet) {
    return;
  }
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setPageOrientation(QPageLayout::Portrait);
  printer.setDocName(QStringLiteral("フライバックトランス設計書"));
  QPrintDialog dialog(&printer, &window_);
  if (dialog.exec() != QDialog::Accepted) {
    return;
  }
  if (!printDesignSheet(printer, *sheet)) {
    QMessageBox::warning(&window_, window_.windowTitle(),
                         QStringLiteral("設計書を印刷できませんでした。"));
  }
}

DesignSheetActions& addDesignSheetActions(MainWindow& window) {
  return *new DesignSheetActions(window);
}

std::optional<QString> askDrawingNumber(QWidget* parent) {
  QDialog dialog(parent);
  dialog.setObjectName(QStringLiteral("drawingNumberDialog"));
  dialog.setWindowTitle(QStringLiteral("図番"));
  auto* edit = new QLineEdit(&dialog);
  edit->setObjectName(QStringLiteral("drawingNumber"));
  edit->setMaxLength(static_cast<int>(kDrawingNumberMaxLength));
  // The validator refuses anything but half-width characters as they are typed or pasted.
  edit->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[\\x20-\\x7E]*")), edit));
  edit->setPlaceholderText(QStringLiteral("半角英数字 (空欄可)"));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  auto* form = new QFormLayout(&dialog);
  form->addRow(QStringLiteral("図番:"), edit);
  form->addRow(buttons);
  if (dialog.exec() != QDialog::Accepted) {
    return std::nullopt;
  }
  const QString text = edit->text().trimmed();
  // The validator already keeps other characters out; checked again by the sheet's own rule.
  if (!isValidDrawingNumber(text.toStdString())) {
    return std::nullopt;
  }
  return text;
}

QString suggestedSheetFileName(const QString& core, const QDate& date) {
  QString name = suggestedImageFileName(core, date);
  name.chop(QFileInfo(name).suffix().size());
  return name + QStringLiteral("pdf");
}

bool printDesignSheet(QPrinter& printer, const DesignSheetContent& content) {
  printer.setFullPage(true);
  QPainter painter;
  if (!painter.begin(&printer)) {
    return false;
  }
  // The sheet is laid out in points from the paper's corner.
  const double dotsPerPoint = printer.resolution() / 72.0;
  painter.scale(dotsPerPoint, dotsPerPoint);
  paintDesignSheet(painter, content);
  return painter.end();
}

}  // namespace fbc
