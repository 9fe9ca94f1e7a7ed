#include "app/winding_conditions_row.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

#include <QComboBox>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

#include "export/winding_texts.h"
#include "platform/text.h"
#include "review/windings/winding_layout.h"

namespace fbc {

namespace {

constexpr std::array<WireKind, 4> kKinds{WireKind::Round, WireKind::Strands, WireKind::Litz,
                                         WireKind::Foil};
constexpr std::array<WindingArrangement, 2> kArrangements{WindingArrangement::Ps,
                                                          WindingArrangement::Psp};

QString qs(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

QString qs(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A wire of each kind to start editing from where the review chose none of that kind.
Wire exampleWire(WireKind kind) {
  switch (kind) {
    case WireKind::Round:
      return {WireKind::Round, 0.5, 1};
    case WireKind::Strands:
      return {WireKind::Strands, 0.4, 3};
    case WireKind::Litz:
      return {WireKind::Litz, 0.1, 60};
    case WireKind::Foil:
      return {WireKind::Foil, 0.2, 1};
  }
  return {};
}

bool automatic(const QString& text) {
  const QString trimmed = text.trimmed();
  return trimmed.isEmpty() || trimmed == qs(kAutomaticJa) || trimmed == qs(kAutomatic);
}

// The kind a text names, even one not yet readable ("litz:" while it is typed), or nothing.
std::optional<WireKind> namedKind(const QString& text) {
  if (const WireReading reading = readWire(text.toStdString()); reading.wire) {
    return reading.wire->kind;
  }
  const QString code = text.section(QLatin1Char(':'), 0, 0).trimmed();
  for (const WireKind kind : kKinds) {
    if (code.compare(qs(wireKindCode(kind)), Qt::CaseInsensitive) == 0) {
      return kind;
    }
  }
  return std::nullopt;
}

}  // namespace

WindingConditionsRow::WindingConditionsRow(QWidget* parent) : QWidget(parent) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  addWire(0, ReviewInput::WirePrimary);
  addWire(1, ReviewInput::WireSecondary);

  const ReviewInputInfo& info = reviewInputInfo(ReviewInput::Arrangement);
  arrangement_ = new QComboBox(this);
  arrangement_->setObjectName(QStringLiteral("reviewArrangement"));
  arrangement_->setAccessibleName(qs(info.caption));
  arrangement_->addItem(qs(kAutomaticJa), qs(kAutomatic));
  for (const WindingArrangement arrangement : kArrangements) {
    arrangement_->addItem(arrangementNameJa(arrangement), qs(windingArrangementCode(arrangement)));
  }
  arrangement_->setCurrentIndex(std::max(0, arrangement_->findData(qs(info.startText))));
  arrangement_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  auto* label = new QLabel(qs(info.caption), this);
  label->setBuddy(arrangement_);
  layout->addWidget(label);
  layout->addWidget(arrangement_);
  layout->addStretch(1);
  connect(arrangement_, &QComboBox::currentIndexChanged, this, &WindingConditionsRow::changed);
}

void WindingConditionsRow::addWire(std::size_t index, ReviewInput input) {
  constexpr int kGap = 12;
  const ReviewInputInfo& info = reviewInputInfo(input);
  const QString name = input == ReviewInput::WirePrimary ? QStringLiteral("reviewWirePrimary")
                                                         : QStringLiteral("reviewWireSecondary");
  WireFields& wire = wires_.at(index);
  wire.input = input;

  wire.kind = new QComboBox(this);
  wire.kind->setObjectName(name + QStringLiteral("Kind"));
  wire.kind->setAccessibleName(qs(info.caption) + QStringLiteral("の種類"));
  wire.kind->addItem(qs(kAutomaticJa));
  for (const WireKind kind : kKinds) {
    wire.kind->addItem(wireKindNameJa(kind));
  }
  wire.kind->setSizeAdjustPolicy(QComboBox::AdjustToContents);

  wire.text = new QLineEdit(qs(info.startText), this);
  wire.text->setObjectName(name);
  wire.text->setAccessibleName(qs(info.caption));
  wire.text->setAccessibleDescription(
      QStringLiteral("round:0.5、strands:0.4x3、litz:0.1x60、foil:0.2 の形で、径と厚さは mm。"
                     "空か「自動」ならレビューが選びます。"));
  wire.text->setPlaceholderText(qs(info.emptyMeansJa));
  wire.text->setMaxLength(24);
  const QFontMetrics metrics = wire.text->fontMetrics();
  wire.text->setFixedWidth(metrics.horizontalAdvance(QStringLiteral("strands:0.000x100")) + 16);

  auto* label = new QLabel(qs(info.caption), this);
  label->setBuddy(wire.kind);
  auto* layout = static_cast<QHBoxLayout*>(this->layout());
  layout->addWidget(label);
  layout->addWidget(wire.kind);
  layout->addWidget(wire.text);
  layout->addSpacing(kGap);

  followText(wire);
  connect(wire.text, &QLineEdit::textChanged, this, [this, index] {
    followText(wires_.at(index));
    emit changed();
  });
  connect(wire.kind, &QComboBox::currentIndexChanged, this,
          [this, index] { kindChosen(wires_.at(index)); });
}

void WindingConditionsRow::followText(WireFields& wire) {
  const QSignalBlocker blocker(wire.kind);
  const QString text = wire.text->text();
  if (automatic(text)) {
    wire.kind->setCurrentIndex(0);
  } else if (const std::optional<WireKind> kind = namedKind(text)) {
    const auto at = std::find(kKinds.begin(), kKinds.end(), *kind);
    wire.kind->setCurrentIndex(static_cast<int>(at - kKinds.begin()) + 1);
  }
  // A text naming no kind leaves the kind as it was until it does.
}

void WindingConditionsRow::kindChosen(WireFields& wire) {
  // 自動 first, then the kinds in kKinds' order.
  const int chosen = wire.kind->currentIndex();
  if (chosen <= 0) {
    wire.text->setText(qs(reviewInputInfo(wire.input).startText));
    return;
  }
  const WireKind kind = kKinds.at(static_cast<std::size_t>(chosen - 1));
  const WireReading typed = readWire(wire.text->text().toStdString());
  if (typed.wire && typed.wire->kind == kind) {
    return;
  }
  const Wire start =
      wire.reviewed && wire.reviewed->kind == kind ? *wire.reviewed : exampleWire(kind);
  wire.text->setText(qs(wireText(start)));
}

void WindingConditionsRow::readInto(ReviewInputs& inputs) const {
  for (const WireFields& wire : wires_) {
    inputs.text(wire.input) = wire.text->text().toStdU16String();
  }
  inputs.text(ReviewInput::Arrangement) = arrangement_->currentData().toString().toStdU16String();
}

QWidget* WindingConditionsRow::field(ReviewInput input) const {
  if (input == ReviewInput::Arrangement) {
    return arrangement_;
  }
  for (const WireFields& wire : wires_) {
    if (wire.input == input) {
      return wire.text;
    }
  }
  return nullptr;
}

std::vector<QWidget*> WindingConditionsRow::focusChain() const {
  return {wires_[0].kind, wires_[0].text, wires_[1].kind, wires_[1].text, arrangement_};
}

void WindingConditionsRow::setReviewedWires(const TransformerLosses& losses) {
  for (WireFields& wire : wires_) {
    const WindingLoss* w =
        losses.find(wire.input == ReviewInput::WirePrimary ? Winding::Primary : Winding::Secondary);
    wire.reviewed = w != nullptr ? std::optional<Wire>(w->wire) : std::nullopt;
  }
}

void WindingConditionsRow::clearReviewedWires() {
  for (WireFields& wire : wires_) {
    wire.reviewed.reset();
  }
}

}  // namespace fbc
