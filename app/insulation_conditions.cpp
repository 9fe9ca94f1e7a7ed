#include "app/insulation_conditions.h"

#include <algorithm>
#include <array>

#include <QComboBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "app/review_tables.h"
#include "review/insulation/insulation.h"

namespace fbc {

namespace {

constexpr std::array<Insulation, 3> kInsulations = {Insulation::Functional, Insulation::Basic,
                                                    Insulation::Reinforced};
constexpr std::array<Construction, 2> kConstructions = {Construction::Margin, Construction::Tiw};

// "自動 (強化絶縁)": the kind an empty choice stands for with or without a mains input.
QString automaticText(bool mains) {
  return qs(kAutomaticJa) + QStringLiteral(" (") +
         qs(insulationNameJa(mains ? Insulation::Reinforced : Insulation::Functional)) +
         QStringLiteral(")");
}

QLineEdit* numberField(const ReviewInputInfo& info, const QString& objectName, QWidget* parent) {
  auto* edit = new QLineEdit(qs(info.startText), parent);
  edit->setObjectName(objectName);
  edit->setAccessibleName(qs(info.caption));
  edit->setMaxLength(12);
  // An empty field says what it stands for, and is wide enough to show it.
  edit->setPlaceholderText(qs(info.emptyMeansJa));
  const QFontMetrics metrics = edit->fontMetrics();
  edit->setFixedWidth(std::max(metrics.horizontalAdvance(QStringLiteral("-000.00")),
                               metrics.horizontalAdvance(edit->placeholderText())) +
                      24);
  return edit;
}

}  // namespace

InsulationConditions::InsulationConditions(QWidget* parent) : QWidget(parent) {
  const ReviewInputInfo& insulation = reviewInputInfo(ReviewInput::Insulation);
  insulation_ = new QComboBox(this);
  insulation_->setObjectName(QStringLiteral("reviewInsulation"));
  insulation_->setAccessibleName(qs(insulation.caption));
  insulation_->setAccessibleDescription(
      QStringLiteral("一次側と二次側の間の絶縁 (IEC 62368-1)。機能絶縁は安全のための絶縁なし、"
                     "強化絶縁は交流入力と人が触れる出力の間の二重の絶縁です。"));
  insulation_->setToolTip(insulation_->accessibleDescription());
  // The widest text 自動 takes sizes the list from the start.
  insulation_->addItem(automaticText(true), QString());
  for (const Insulation kind : kInsulations) {
    insulation_->addItem(qs(insulationNameJa(kind)), qs(insulationCode(kind)));
  }
  insulation_->setCurrentIndex(std::max(0, insulation_->findData(qs(insulation.startText))));
  insulation_->setSizeAdjustPolicy(QComboBox::AdjustToContents);

  const ReviewInputInfo& construction = reviewInputInfo(ReviewInput::Construction);
  construction_ = new QComboBox(this);
  construction_->setObjectName(QStringLiteral("reviewConstruction"));
  construction_->setAccessibleName(qs(construction.caption));
  for (const Construction kind : kConstructions) {
    construction_->addItem(qs(constructionNameJa(kind)), qs(constructionCode(kind)));
  }
  construction_->setCurrentIndex(std::max(0, construction_->findData(qs(construction.startText))));
  construction_->setSizeAdjustPolicy(QComboBox::AdjustToContents);

  const ReviewInputInfo& volts = reviewInputInfo(ReviewInput::WorkingVoltage);
  workingVoltage_ = numberField(volts, QStringLiteral("reviewWorkingVoltage"), this);
  workingVoltage_->setAccessibleDescription(
      QStringLiteral("絶縁にかかる電圧 (実効値または直流)。空欄なら最大交流入力電圧、直流入力では"
                     "最大直流入力電圧。実測値があればそれを入れます。"));
  workingVoltage_->setToolTip(workingVoltage_->accessibleDescription());
  const ReviewInputInfo& pins = reviewInputInfo(ReviewInput::Pins);
  pins_ = numberField(pins, QStringLiteral("reviewPins"), this);
  pins_->setAccessibleDescription(
      QStringLiteral("ボビンの片側ごとのピン数。両側同じなら 6、違えば 5,6 のように一次側,二次側"
                     "の順に。"));
  pins_->setToolTip(pins_->accessibleDescription());

  // Two rows: the choices, then the figures, each a caption and its control as on the other
  // pages.
  auto* rows = new QVBoxLayout(this);
  rows->setContentsMargins(0, 0, 0, 0);
  auto* grid = new QGridLayout;
  rows->addLayout(grid);
  constexpr int kGap = 12;
  const std::array<std::pair<const ReviewInputInfo*, QWidget*>, 4> fields = {{
      {&insulation, insulation_},
      {&construction, construction_},
      {&volts, workingVoltage_},
      {&pins, pins_},
  }};
  for (std::size_t i = 0; i < fields.size(); ++i) {
    auto* label = new QLabel(qs(fields[i].first->caption), this);
    label->setBuddy(fields[i].second);
    const int row = static_cast<int>(i) / 2;
    const int column = 3 * (static_cast<int>(i) % 2);
    grid->addWidget(label, row, column);
    grid->addWidget(fields[i].second, row, column + 1, Qt::AlignLeft);
    grid->setColumnMinimumWidth(column + 2, kGap);
  }
  grid->setColumnStretch(6, 1);

  auto* note = new QLabel(
      QStringLiteral("マージン: 各巻線の両端に沿面距離の半分ずつマージンテープを巻き、"
                     "一次・二次間にテープ3層。三重絶縁線: 二次巻線を三重絶縁線で巻き、"
                     "マージンなし、テープ1層。求めた距離と試験電圧はレビューのタブに出ます。"),
      this);
  note->setObjectName(QStringLiteral("insulationNote"));
  note->setWordWrap(true);
  note->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  rows->addWidget(note);
  rows->addStretch(1);

  connect(insulation_, &QComboBox::currentIndexChanged, this, &InsulationConditions::changed);
  connect(construction_, &QComboBox::currentIndexChanged, this, &InsulationConditions::changed);
  connect(workingVoltage_, &QLineEdit::textChanged, this, &InsulationConditions::changed);
  connect(pins_, &QLineEdit::textChanged, this, &InsulationConditions::changed);
  setMainsGiven(false);
}

void InsulationConditions::readInto(ReviewInputs& inputs) const {
  inputs.text(ReviewInput::Insulation) = insulation_->currentData().toString().toStdU16String();
  inputs.text(ReviewInput::Construction) = construction_->currentData().toString().toStdU16String();
  inputs.text(ReviewInput::WorkingVoltage) = workingVoltage_->text().toStdU16String();
  inputs.text(ReviewInput::Pins) = pins_->text().toStdU16String();
}

QWidget* InsulationConditions::field(ReviewInput input) const {
  switch (input) {
    case ReviewInput::Insulation:
      return insulation_;
    case ReviewInput::Construction:
      return construction_;
    case ReviewInput::WorkingVoltage:
      return workingVoltage_;
    case ReviewInput::Pins:
      return pins_;
    default:
      break;
  }
  return nullptr;
}

std::vector<QWidget*> InsulationConditions::focusChain() const {
  return {insulation_, construction_, workingVoltage_, pins_};
}

void InsulationConditions::setMainsGiven(bool given) {
  insulation_->setItemText(0, automaticText(given));
}

}  // namespace fbc
