#include "app/output_conditions.h"

#include <algorithm>

#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/input_messages.h"
#include "app/review_tables.h"
#include "export/winding_texts.h"
#include "platform/number_text.h"
#include "review/circuit/outputs.h"

namespace fbc {

namespace {

using Field = OutputTextProblem::Field;

// The table's columns and the bias's fields, in the order their texts are written.
constexpr std::array<Field, 3> kOutputColumns = {Field::V, Field::I, Field::Vf};
constexpr std::array<Field, 3> kBiasFields = {Field::V, Field::Vf, Field::I};

QString fieldCaption(Field field) {
  switch (field) {
    case Field::V:
      return QStringLiteral("電圧[V]");
    case Field::I:
      return QStringLiteral("電流[A]");
    case Field::Vf:
      return QStringLiteral("Vf[V]");
    case Field::None:
      break;
  }
  return {};
}

QLineEdit* numberField(const QString& objectName, const QString& accessibleName,
                       const QString& placeholder, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(objectName);
  edit->setAccessibleName(accessibleName);
  edit->setPlaceholderText(placeholder);
  edit->setMaxLength(12);
  const QFontMetrics metrics = edit->fontMetrics();
  edit->setFixedWidth(std::max(metrics.horizontalAdvance(QStringLiteral("-000.00")),
                               metrics.horizontalAdvance(placeholder)) +
                      24);
  return edit;
}

// A cell's text as a figure of the condition's text: ';' parts outputs, so a cell never holds
// one (the figures around it stay in their own output and are marked there).
QString figure(const QTableWidgetItem* item) {
  return item == nullptr ? QString()
                         : item->text().trimmed().replace(QLatin1Char(';'), QLatin1Char(','));
}

}  // namespace

OutputConditions::OutputConditions(QWidget* parent) : QWidget(parent) {
  const ReviewInputInfo& outputs = reviewInputInfo(ReviewInput::Outputs);
  table_ = new QTableWidget(0, static_cast<int>(kOutputColumns.size()), this);
  table_->setObjectName(QStringLiteral("reviewOutputs"));
  table_->setAccessibleName(qs(outputs.caption));
  table_->setAccessibleDescription(
      QStringLiteral("主出力のほかの出力。1行に1出力で、電圧、電流、ダイオード順電圧 (空欄は "
                     "0.7 V)。矢印キーでセルを移り、数値を打つと入力します。空の行は出力に"
                     "なりません。"));
  table_->setToolTip(table_->accessibleDescription());
  QStringList headers;
  for (const Field field : kOutputColumns) {
    headers << fieldCaption(field);
  }
  table_->setHorizontalHeaderLabels(headers);
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
  table_->verticalHeader()->setMinimumWidth(
      table_->fontMetrics().horizontalAdvance(QStringLiteral("出力7 (二次8)")) + 12);
  // Tab moves on to the next control; the arrow keys move between cells.
  table_->setTabKeyNavigation(false);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::AllEditTriggers);
  // Three figures, the rows' names and room for the scroll bar beyond four rows.
  table_->setFixedWidth(3 * table_->fontMetrics().horizontalAdvance(QStringLiteral("電流[A]__")) +
                        table_->verticalHeader()->minimumWidth() +
                        table_->style()->pixelMetric(QStyle::PM_ScrollBarExtent) +
                        2 * table_->frameWidth() + 4);

  add_ = new QPushButton(QStringLiteral("出力を追加"), this);
  add_->setObjectName(QStringLiteral("reviewAddOutput"));
  add_->setAccessibleName(add_->text());
  remove_ = new QPushButton(QStringLiteral("出力を削除"), this);
  remove_->setObjectName(QStringLiteral("reviewRemoveOutput"));
  remove_->setAccessibleName(QStringLiteral("選択した出力を削除"));
  // The caption beside the table, above its buttons, leaves the table the page's height.
  auto* tableLabel = new QLabel(qs(outputs.caption), this);
  tableLabel->setBuddy(table_);
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(tableLabel);
  buttons->addWidget(add_);
  buttons->addWidget(remove_);
  buttons->addStretch(1);

  const ReviewInputInfo& turnsInfo = reviewInputInfo(ReviewInput::SecondaryTurns);
  turns_ = numberField(QStringLiteral("reviewSecondaryTurns"), qs(turnsInfo.caption),
                       qs(turnsInfo.emptyMeansJa), this);
  turns_->setText(qs(turnsInfo.startText));
  auto* turnsLabel = new QLabel(qs(turnsInfo.caption), this);
  turnsLabel->setBuddy(turns_);

  const QString bias = QStringLiteral("補助巻線");
  const std::array<QString, 3> biasNames = {QStringLiteral("reviewBiasVoltage"),
                                            QStringLiteral("reviewBiasVf"),
                                            QStringLiteral("reviewBiasCurrent")};
  const std::array<QString, 3> biasPlaceholders = {
      qs(reviewInputInfo(ReviewInput::Bias).emptyMeansJa),
      QString::fromStdU16String(generalText(kDefaultOutputVf)),
      QString::fromStdU16String(generalText(kDefaultBiasCurrent))};
  // The turns, then the bias's figures beneath its name, the fields in one column.
  auto* grid = new QGridLayout;
  grid->addWidget(turnsLabel, 0, 0, 1, 2);
  grid->addWidget(turns_, 0, 2, Qt::AlignLeft);
  grid->addWidget(new QLabel(bias, this), 1, 0);
  for (std::size_t i = 0; i < bias_.size(); ++i) {
    const QString caption = fieldCaption(kBiasFields[i]);
    bias_[i] =
        numberField(biasNames[i], bias + QStringLiteral("の") + caption, biasPlaceholders[i], this);
    auto* label = new QLabel(caption, this);
    label->setBuddy(bias_[i]);
    grid->addWidget(label, 1 + static_cast<int>(i), 1);
    grid->addWidget(bias_[i], 1 + static_cast<int>(i), 2, Qt::AlignLeft);
    connect(bias_[i], &QLineEdit::textChanged, this, &OutputConditions::changed);
  }
  grid->setRowStretch(4, 1);

  auto* columns = new QHBoxLayout(this);
  columns->setContentsMargins(0, 0, 0, 0);
  columns->addWidget(table_);
  columns->addLayout(buttons);
  columns->addSpacing(24);
  columns->addLayout(grid);
  columns->addStretch(1);

  connect(add_, &QPushButton::clicked, this, &OutputConditions::addOutput);
  connect(remove_, &QPushButton::clicked, this, &OutputConditions::removeOutput);
  connect(table_, &QTableWidget::itemChanged, this, [this] {
    relabel();
    emit changed();
  });
  connect(turns_, &QLineEdit::textChanged, this, &OutputConditions::changed);
  enableButtons();
}

std::vector<int> OutputConditions::outputRows() const {
  std::vector<int> rows;
  for (int row = 0; row < table_->rowCount(); ++row) {
    bool any = false;
    for (int column = 0; column < table_->columnCount(); ++column) {
      any = any || !figure(table_->item(row, column)).isEmpty();
    }
    if (any) {
      rows.push_back(row);
    }
  }
  return rows;
}

void OutputConditions::readInto(ReviewInputs& inputs) const {
  QStringList outputs;
  for (const int row : outputRows()) {
    // V,I and, where given, Vf: an empty V or I is read as the figure that is missing.
    QString text = figure(table_->item(row, 0)) + QLatin1Char(',') + figure(table_->item(row, 1));
    if (const QString vf = figure(table_->item(row, 2)); !vf.isEmpty()) {
      text += QLatin1Char(',') + vf;
    }
    outputs << text;
  }
  inputs.text(ReviewInput::Outputs) = outputs.join(QLatin1Char(';')).toStdU16String();

  // V[,Vf[,I]]: a current needs the forward voltage before it, its default where none is given.
  const QString v = bias_[0]->text().trimmed();
  QString vf = bias_[1]->text().trimmed();
  const QString i = bias_[2]->text().trimmed();
  QString bias;
  if (!v.isEmpty() || !vf.isEmpty() || !i.isEmpty()) {
    if (vf.isEmpty() && !i.isEmpty()) {
      vf = QString::fromStdU16String(generalText(kDefaultOutputVf));
    }
    bias = v;
    if (!vf.isEmpty()) {
      bias += QLatin1Char(',') + vf;
    }
    if (!i.isEmpty()) {
      bias += QLatin1Char(',') + i;
    }
  }
  inputs.text(ReviewInput::Bias) = bias.toStdU16String();
  inputs.text(ReviewInput::SecondaryTurns) = turns_->text().toStdU16String();
}

QWidget* OutputConditions::field(ReviewInput input) const {
  switch (input) {
    case ReviewInput::Outputs:
      return table_;
    case ReviewInput::Bias:
      return bias_[0];
    case ReviewInput::SecondaryTurns:
      return turns_;
    default:
      break;
  }
  return nullptr;
}

std::vector<QWidget*> OutputConditions::focusChain() const {
  return {table_, add_, remove_, turns_, bias_[0], bias_[1], bias_[2]};
}

void OutputConditions::relabel() {
  QStringList labels;
  for (int row = 0; row < table_->rowCount(); ++row) {
    labels << QStringLiteral("—");
  }
  const std::vector<int> rows = outputRows();
  for (std::size_t k = 0; k < rows.size(); ++k) {
    const int index = static_cast<int>(k) + 1;
    labels[rows[k]] =
        QStringLiteral("出力%1 (%2)").arg(index).arg(windingNameJa(outputWinding(index + 1)));
  }
  table_->setVerticalHeaderLabels(labels);
}

void OutputConditions::clearMarks() {
  const QSignalBlocker blocker(table_);
  for (int row = 0; row < table_->rowCount(); ++row) {
    for (int column = 0; column < table_->columnCount(); ++column) {
      if (QTableWidgetItem* item = table_->item(row, column)) {
        clearUnusableCell(*item);
      }
    }
  }
  clearUnusableMark(*table_);
  table_->setToolTip(table_->accessibleDescription());
  for (QLineEdit* edit : bias_) {
    clearUnusableMark(*edit);
  }
  clearUnusableMark(*turns_);
}

void OutputConditions::markOutput(const ReviewInputProblem& problem, const QString& why) {
  const std::vector<int> rows = outputRows();
  const int index = problem.output ? problem.output->output : 0;
  if (index < 1 || index > static_cast<int>(rows.size())) {
    markUnusableBox(*table_, why);
    return;
  }
  const int row = rows[static_cast<std::size_t>(index - 1)];
  const Field field = problem.output->field;
  const QSignalBlocker blocker(table_);
  for (std::size_t column = 0; column < kOutputColumns.size(); ++column) {
    if (field == Field::None || kOutputColumns[column] == field) {
      if (QTableWidgetItem* item = table_->item(row, static_cast<int>(column))) {
        markUnusableCell(*item, why);
      }
    }
  }
}

void OutputConditions::showProblem(const std::optional<ReviewInputProblem>& problem) {
  clearMarks();
  if (!problem) {
    return;
  }
  const QString why = qs(reviewInputFaultTextJa(*problem));
  if (problem->input == ReviewInput::Outputs) {
    markOutput(*problem, why);
  } else if (problem->input == ReviewInput::Bias) {
    const Field field = problem->output ? problem->output->field : Field::None;
    const auto* at = std::find(kBiasFields.begin(), kBiasFields.end(), field);
    markUnusableBox(
        *bias_[at == kBiasFields.end() ? 0 : static_cast<std::size_t>(at - kBiasFields.begin())],
        why);
  } else if (problem->input == ReviewInput::SecondaryTurns) {
    markUnusableBox(*turns_, why);
  }
}

void OutputConditions::addOutput() {
  if (table_->rowCount() >= kMostExtraOutputs) {
    return;
  }
  const int row = table_->rowCount();
  {
    const QSignalBlocker blocker(table_);
    table_->insertRow(row);
    for (int column = 0; column < table_->columnCount(); ++column) {
      auto* item = new QTableWidgetItem;
      item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      table_->setItem(row, column, item);
    }
  }
  relabel();
  table_->setCurrentCell(row, 0);
  table_->setFocus();
  enableButtons();
  // An empty row is no output: the conditions stay as they were.
}

void OutputConditions::removeOutput() {
  if (table_->rowCount() == 0) {
    return;
  }
  const int row = table_->currentRow() >= 0 ? table_->currentRow() : table_->rowCount() - 1;
  table_->removeRow(row);
  relabel();
  enableButtons();
  emit changed();
}

void OutputConditions::enableButtons() {
  add_->setEnabled(table_->rowCount() < kMostExtraOutputs);
  remove_->setEnabled(table_->rowCount() > 0);
}

}  // namespace fbc
