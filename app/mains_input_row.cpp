#include "app/mains_input_row.h"

#include <algorithm>
#include <cmath>

#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/review_tables.h"

namespace fbc {

namespace {

QString fieldObjectName(ReviewInput input) {
  switch (input) {
    case ReviewInput::VacMin:
      return QStringLiteral("reviewVacMin");
    case ReviewInput::VacMax:
      return QStringLiteral("reviewVacMax");
    case ReviewInput::LineFrequency:
      return QStringLiteral("reviewLineFrequency");
    case ReviewInput::BulkCapacitance:
      return QStringLiteral("reviewBulkCapacitance");
    case ReviewInput::ChargeDuty:
      return QStringLiteral("reviewChargeDuty");
    default:
      break;
  }
  return {};
}

// "680 µF", "1000 µF": the capacitor as it is bought.
QString capacitanceText(double farads) {
  return QString::number(farads * 1e6, 'g', 6) + QStringLiteral(" µF");
}

// The main window's input voltage is typed to the hundredth of a volt, as the valley is.
bool sameVoltage(double designVin, double valley) {
  return std::abs(designVin - std::round(valley * 100.0) / 100.0) < 0.005;
}

}  // namespace

MainsInputRow::MainsInputRow(QWidget* parent) : QWidget(parent) {
  auto* rows = new QVBoxLayout(this);
  rows->setContentsMargins(0, 0, 0, 0);
  auto* grid = new QGridLayout;
  rows->addLayout(grid);
  constexpr int kGap = 12;
  constexpr int kPerRow = 3;
  for (std::size_t i = 0; i < kInputs.size(); ++i) {
    const ReviewInputInfo& info = reviewInputInfo(kInputs[i]);
    auto* edit = new QLineEdit(qs(info.startText), this);
    edit->setObjectName(fieldObjectName(info.input));
    edit->setAccessibleName(qs(info.caption));
    edit->setMaxLength(12);
    // An empty field says what it stands for, and is wide enough to show it.
    edit->setPlaceholderText(qs(info.emptyMeansJa));
    const QFontMetrics metrics = edit->fontMetrics();
    edit->setFixedWidth(std::max(metrics.horizontalAdvance(QStringLiteral("-000.00")),
                                 metrics.horizontalAdvance(edit->placeholderText())) +
                        24);
    auto* label = new QLabel(qs(info.caption), this);
    label->setBuddy(edit);
    const int row = static_cast<int>(i) / kPerRow;
    const int column = 3 * (static_cast<int>(i) % kPerRow);
    grid->addWidget(label, row, column);
    grid->addWidget(edit, row, column + 1, Qt::AlignLeft);
    grid->setColumnMinimumWidth(column + 2, kGap);
    edits_[i] = edit;
    connect(edit, &QLineEdit::textChanged, this, &MainsInputRow::changed);
  }
  grid->setColumnStretch(3 * kPerRow, 1);

  supply_ = new QLabel(this);
  supply_->setObjectName(QStringLiteral("mainsSupply"));
  supply_->setWordWrap(true);
  supply_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  supply_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  // A tab's page does not grow with a wrapped label's lines: room for three from the start.
  supply_->setMinimumHeight(3 * supply_->fontMetrics().lineSpacing());
  useValley_ = new QPushButton(QStringLiteral("谷電圧を入力電圧へ"), this);
  useValley_->setObjectName(QStringLiteral("useValley"));
  useValley_->setAccessibleName(useValley_->text());
  useValley_->setAccessibleDescription(QStringLiteral(
      "平滑コンデンサの谷電圧 VDCmin を主画面の直流入力電圧に入れます。計算は主画面のボタンで"
      "行います。"));
  useValley_->setToolTip(useValley_->accessibleDescription());
  auto* supplyRow = new QHBoxLayout;
  supplyRow->addWidget(supply_, 1);
  supplyRow->addWidget(useValley_, 0, Qt::AlignTop);
  rows->addLayout(supplyRow);
  rows->addStretch(1);
  connect(useValley_, &QPushButton::clicked, this, [this] { emit valleyChosen(valley_); });
  showNoSupply(NoSupply::NotGiven);
}

void MainsInputRow::readInto(ReviewInputs& inputs) const {
  for (std::size_t i = 0; i < kInputs.size(); ++i) {
    inputs.text(kInputs[i]) = edits_[i]->text().toStdU16String();
  }
}

QLineEdit* MainsInputRow::field(ReviewInput input) const {
  const auto* at = std::find(kInputs.begin(), kInputs.end(), input);
  return at == kInputs.end() ? nullptr : edits_[static_cast<std::size_t>(at - kInputs.begin())];
}

std::vector<QWidget*> MainsInputRow::focusChain() const {
  std::vector<QWidget*> chain(edits_.begin(), edits_.end());
  chain.push_back(useValley_);
  return chain;
}

bool MainsInputRow::given() const { return !edits_[0]->text().trimmed().isEmpty(); }

void MainsInputRow::showSupply(const InputSupply& supply, double designVin) {
  valley_ = qs(valleyInputText(supply.VDCmin));
  QString text =
      QStringLiteral("谷電圧 VDCmin %1 V、最大直流入力電圧 VDCmax %2 V、平滑容量 %3")
          .arg(valley_, QString::number(supply.VDCmax, 'f', 1), capacitanceText(supply.Cbulk));
  if (supply.CbulkChosen) {
    text += QStringLiteral(" (入力電力から目安で選択)");
  }
  const bool atValley = sameVoltage(designVin, supply.VDCmin);
  if (!atValley) {
    text += QStringLiteral(
                "\n表示中の設計は入力電圧 %1 V です。谷電圧で設計するには、ボタンで"
                "入力電圧へ入れて計算し直してください。")
                .arg(designVin, 0, 'g', 6);
  }
  supply_->setText(text);
  QPalette palette;
  if (!atValley) {
    palette.setColor(QPalette::WindowText, QColor(176, 0, 0));
  }
  supply_->setPalette(palette);
  useValley_->setEnabled(true);
}

void MainsInputRow::showNoSupply(NoSupply why) {
  valley_.clear();
  switch (why) {
    case NoSupply::NotGiven:
      supply_->setText(
          QStringLiteral("最小交流入力電圧を入れると、平滑コンデンサの谷電圧と交流のピークを"
                         "求め、ピークを最大直流入力電圧としてレビューします。"));
      break;
    case NoSupply::NoDesign:
      supply_->setText(QStringLiteral("計算すると、その出力電力での谷電圧を表示します。"));
      break;
    case NoSupply::Unusable:
      supply_->setText(QStringLiteral("条件に使えない入力があるため、谷電圧は求めていません。"));
      break;
  }
  supply_->setPalette(QPalette());
  useValley_->setEnabled(false);
}

}  // namespace fbc
