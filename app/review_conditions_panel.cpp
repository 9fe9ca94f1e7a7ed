#include "app/review_conditions_panel.h"

#include <algorithm>

#include <QComboBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/input_messages.h"
#include "app/insulation_conditions.h"
#include "app/mains_input_row.h"
#include "app/output_conditions.h"
#include "app/review_tables.h"
#include "app/winding_conditions_row.h"
#include "review/drive_mode.h"
#include "review/ferrite_material.h"

namespace fbc {

namespace {

// The object name tests and accessibility tools find a condition's field by.
QString conditionObjectName(ReviewInput input) {
  switch (input) {
    case ReviewInput::Material:
      return QStringLiteral("reviewMaterial");
    case ReviewInput::Ambient:
      return QStringLiteral("reviewAmbient");
    case ReviewInput::MaxTemperature:
      return QStringLiteral("reviewMaxTemperature");
    case ReviewInput::VinMax:
      return QStringLiteral("reviewVinMax");
    case ReviewInput::Leakage:
      return QStringLiteral("reviewLeakage");
    case ReviewInput::ClampRatio:
      return QStringLiteral("reviewClampRatio");
    case ReviewInput::VdsRating:
      return QStringLiteral("reviewVdsRating");
    case ReviewInput::Mode:
      return QStringLiteral("reviewMode");
    case ReviewInput::Ripple:
      return QStringLiteral("reviewRipple");
    case ReviewInput::DrainCapacitance:
      return QStringLiteral("reviewDrainCapacitance");
    case ReviewInput::CurrentLimit:
      return QStringLiteral("reviewCurrentLimit");
    case ReviewInput::WirePrimary:
    case ReviewInput::WireSecondary:
    case ReviewInput::Arrangement:
    case ReviewInput::VacMin:
    case ReviewInput::VacMax:
    case ReviewInput::LineFrequency:
    case ReviewInput::BulkCapacitance:
    case ReviewInput::ChargeDuty:
    case ReviewInput::Outputs:
    case ReviewInput::Bias:
    case ReviewInput::SecondaryTurns:
    case ReviewInput::Insulation:
    case ReviewInput::Construction:
    case ReviewInput::WorkingVoltage:
    case ReviewInput::Pins:
      break;  // the page's own row names its own
  }
  return {};
}

// The inputs the first page holds.
bool onSwitchingPage(const ReviewInputInfo& info) {
  return info.purpose == kLossPurpose || info.purpose == kStressPurpose ||
         info.purpose == kSaturationPurpose || info.purpose == kModePurpose;
}

}  // namespace

ReviewConditionsPanel::ReviewConditionsPanel(QWidget* parent) : QWidget(parent) {
  pages_ = new QTabWidget(this);
  pages_->setObjectName(QStringLiteral("reviewConditionPages"));
  pages_->tabBar()->setAccessibleName(QStringLiteral("条件の種類"));
  pages_->addTab(createSwitchingPage(), QStringLiteral("損失・スイッチ・駆動方式・巻線の条件"));
  mains_ = new MainsInputRow(pages_);
  pages_->addTab(mains_, QStringLiteral("交流入力"));
  outputs_ = new OutputConditions(pages_);
  pages_->addTab(outputs_, QStringLiteral("出力と補助巻線"));
  insulation_ = new InsulationConditions(pages_);
  pages_->addTab(insulation_, QStringLiteral("絶縁"));
  // Narrow margins inside the tab's frame: the window must stay within a 1024×768 screen.
  for (int i = 0; i < pages_->count(); ++i) {
    pages_->widget(i)->layout()->setContentsMargins(6, 6, 6, 4);
    pages_->widget(i)->layout()->setSpacing(4);
  }
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(pages_);

  connect(material_, &QComboBox::currentIndexChanged, this, &ReviewConditionsPanel::changed);
  connect(mode_, &QComboBox::currentIndexChanged, this, &ReviewConditionsPanel::changed);
  for (QLineEdit* edit : edits_) {
    if (edit != nullptr) {
      connect(edit, &QLineEdit::textChanged, this, &ReviewConditionsPanel::changed);
    }
  }
  connect(windings_, &WindingConditionsRow::changed, this, &ReviewConditionsPanel::changed);
  connect(mains_, &MainsInputRow::changed, this, [this] {
    followMains();
    emit changed();
  });
  connect(mains_, &MainsInputRow::valleyChosen, this, &ReviewConditionsPanel::valleyChosen);
  connect(outputs_, &OutputConditions::changed, this, &ReviewConditionsPanel::changed);
  connect(insulation_, &InsulationConditions::changed, this, &ReviewConditionsPanel::changed);
  showProblem(std::nullopt);
}

QWidget* ReviewConditionsPanel::createEdit(const ReviewInputInfo& info, QWidget* parent) {
  if (info.input == ReviewInput::Material) {
    material_ = new QComboBox(parent);
    material_->setObjectName(conditionObjectName(info.input));
    for (const FerriteMaterial& m : ferriteMaterials()) {
      material_->addItem(qs(m.name));
    }
    material_->setCurrentText(qs(info.startText));
    return material_;
  }
  if (info.input == ReviewInput::Mode) {
    mode_ = new QComboBox(parent);
    mode_->setObjectName(conditionObjectName(info.input));
    for (const DriveMode mode : kDriveModes) {
      mode_->addItem(qs(driveModeCaption(mode)), qs(driveModeCode(mode)));
    }
    mode_->setCurrentIndex(mode_->findData(qs(info.startText)));
    mode_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return mode_;
  }
  auto* edit = new QLineEdit(qs(info.startText), parent);
  edit->setObjectName(conditionObjectName(info.input));
  edit->setMaxLength(12);
  // An empty field says what it stands for, and is wide enough to show it.
  edit->setPlaceholderText(qs(info.emptyMeansJa));
  const QFontMetrics metrics = edit->fontMetrics();
  edit->setFixedWidth(std::max(metrics.horizontalAdvance(QStringLiteral("-000.00")),
                               metrics.horizontalAdvance(edit->placeholderText())) +
                      24);
  edits_[static_cast<std::size_t>(info.input)] = edit;
  return edit;
}

// Four rows: the losses' conditions, the switch's, the drive mode's, then the windings'. The
// first two are a grid; the mode's long captions get a row of their own beneath, and the
// windings' row has a kind and a text per wire.
QWidget* ReviewConditionsPanel::createSwitchingPage() {
  auto* page = new QWidget(this);
  auto* rows = new QVBoxLayout(page);
  auto* grid = new QGridLayout;
  auto* modeRow = new QHBoxLayout;
  rows->addLayout(grid);
  rows->addLayout(modeRow);
  constexpr int kGap = 12;
  std::array<int, 2> placed{};
  int columns = 0;
  for (const ReviewInputInfo& info : kReviewInputTable) {
    if (!onSwitchingPage(info)) {
      continue;  // the winding row below, the mains' and the outputs' pages
    }
    QWidget* field = createEdit(info, page);
    auto* label = new QLabel(qs(info.caption), page);
    label->setBuddy(field);
    field->setAccessibleName(qs(info.caption));
    if (info.purpose == kModePurpose) {
      modeRow->addWidget(label);
      modeRow->addWidget(field);
      modeRow->addSpacing(kGap);
      continue;
    }
    const int row = info.purpose == kStressPurpose ? 1 : 0;
    const int column = 3 * placed[static_cast<std::size_t>(row)]++;
    grid->addWidget(label, row, column);
    grid->addWidget(field, row, column + 1, Qt::AlignLeft);
    grid->setColumnMinimumWidth(column + 2, kGap);
    columns = std::max(columns, column + 3);
  }
  grid->setColumnStretch(columns, 1);
  modeRow->addStretch(1);
  windings_ = new WindingConditionsRow(page);
  rows->addWidget(windings_);
  return page;
}

ReviewInputs ReviewConditionsPanel::inputs() const {
  ReviewInputs inputs;
  inputs.text(ReviewInput::Material) = material_->currentText().toStdU16String();
  inputs.text(ReviewInput::Mode) = mode_->currentData().toString().toStdU16String();
  for (const ReviewInputInfo& info : kReviewInputTable) {
    if (const QLineEdit* edit = edits_[static_cast<std::size_t>(info.input)]) {
      inputs.text(info.input) = edit->text().toStdU16String();
    }
  }
  windings_->readInto(inputs);
  mains_->readInto(inputs);
  outputs_->readInto(inputs);
  insulation_->readInto(inputs);
  return inputs;
}

QWidget* ReviewConditionsPanel::field(ReviewInput input) const {
  if (input == ReviewInput::Material) {
    return material_;
  }
  if (input == ReviewInput::Mode) {
    return mode_;
  }
  if (QWidget* field = windings_->field(input)) {
    return field;
  }
  if (QWidget* field = mains_->field(input)) {
    return field;
  }
  if (QWidget* field = outputs_->field(input)) {
    return field;
  }
  if (QWidget* field = insulation_->field(input)) {
    return field;
  }
  return edits_[static_cast<std::size_t>(input)];
}

std::vector<QWidget*> ReviewConditionsPanel::focusChain() const {
  std::vector<QWidget*> chain{pages_->tabBar()};
  for (const ReviewInputInfo& info : kReviewInputTable) {
    if (onSwitchingPage(info)) {
      chain.push_back(field(info.input));
    }
  }
  // Each wire's kind comes before its text.
  for (const std::vector<QWidget*>& part : {windings_->focusChain(), mains_->focusChain(),
                                            outputs_->focusChain(), insulation_->focusChain()}) {
    chain.insert(chain.end(), part.begin(), part.end());
  }
  return chain;
}

void ReviewConditionsPanel::showProblem(const std::optional<ReviewInputProblem>& problem) {
  for (const ReviewInputInfo& info : kReviewInputTable) {
    if (info.input == ReviewInput::Outputs || info.input == ReviewInput::Bias ||
        info.input == ReviewInput::SecondaryTurns) {
      continue;  // marked cell by cell below
    }
    QWidget* box = field(info.input);
    if (problem && problem->input == info.input) {
      markUnusableBox(*box, qs(reviewInputFaultTextJa(*problem)));
    } else {
      clearUnusableMark(*box);
    }
  }
  outputs_->showProblem(problem);
  enableModeInputs(problem);
}

void ReviewConditionsPanel::enableModeInputs(const std::optional<ReviewInputProblem>& problem) {
  const std::optional<DriveMode> mode =
      driveModeByCode(mode_->currentData().toString().toStdString());
  // A field that cannot be used stays open to correction even outside its mode.
  for (const auto& [input, own] : {std::pair{ReviewInput::Ripple, DriveMode::PwmCcm},
                                   std::pair{ReviewInput::DrainCapacitance, DriveMode::Qr}}) {
    edits_[static_cast<std::size_t>(input)]->setEnabled(mode == own ||
                                                        (problem && problem->input == input));
  }
}

void ReviewConditionsPanel::followMains() {
  const ReviewInputInfo& info = reviewInputInfo(ReviewInput::VinMax);
  edits_[static_cast<std::size_t>(info.input)]->setPlaceholderText(
      mains_->given() ? QStringLiteral("交流のピーク") : qs(info.emptyMeansJa));
  insulation_->setMainsGiven(mains_->given());
}

void ReviewConditionsPanel::setReviewedWires(const TransformerLosses& losses) {
  windings_->setReviewedWires(losses);
}

void ReviewConditionsPanel::clearReviewedWires() { windings_->clearReviewedWires(); }

}  // namespace fbc
