#include "app/input_messages.h"

#include <QBrush>
#include <QPalette>
#include <QTableWidgetItem>
#include <QWidget>

#include "design/design_inputs.h"
#include "design/result_texts.h"

namespace fbc {

namespace {

QString contactSentence() {
  return QStringLiteral("解決しない場合は %1 までお問い合わせください。")
      .arg(QString::fromStdU16String(std::u16string(kMakerContactAddress)));
}

QString notANumber(DesignInput input) {
  return QStringLiteral("「%1」の入力が数値ではありません。数値を入力してください。")
      .arg(inputName(input));
}

QString tooLarge(DesignInput input) {
  return QStringLiteral("「%1」の値が大きすぎます。正しい値を入力してください。")
      .arg(inputName(input));
}

QString efficiencyNotPositive() {
  return QStringLiteral("「%1」は0より大きい値を入力してください。")
      .arg(inputName(DesignInput::Effi));
}

QString dutyOutOfRange() {
  return QStringLiteral("「%1」は0より大きく1より小さい値を入力してください。")
      .arg(inputName(DesignInput::Duty));
}

QString noUsableCore(const QString& core) {
  if (core.isEmpty()) {
    return QStringLiteral("コアが選択されていません。「%1」の一覧からコアを選んでください。")
        .arg(inputName(DesignInput::Core));
  }
  return QStringLiteral("「%1」はコアの一覧にありません。「%2」の一覧からコアを選んでください。")
      .arg(core, inputName(DesignInput::Core));
}

QString typedText(const DesignInputs& inputs, DesignInput input) {
  const std::u16string* text = fbc::inputText(inputs, input);
  return text != nullptr ? QString::fromStdU16String(*text) : QString();
}

}  // namespace

QString inputName(DesignInput input) {
  const InputInfo* info = inputInfo(input);
  return info != nullptr ? QString::fromStdU16String(std::u16string(info->caption))
                         : QStringLiteral("入力");
}

QString inputProblem(DesignInput input, const QString& text) {
  const std::optional<StopReason> reason = judgeInput(input, text.toStdU16String());
  if (!reason) {
    return {};
  }
  switch (*reason) {
    case StopReason::NotANumber:
      return notANumber(input);
    case StopReason::OutOfRange:
      return tooLarge(input);
    case StopReason::EfficiencyNotPositive:
      return efficiencyNotPositive();
    case StopReason::DutyOutOfRange:
      return dutyOutOfRange();
    case StopReason::NoUsableCore:
    case StopReason::ArithmeticFault:
    case StopReason::None:
      break;
  }
  return unusableValue(input);
}

QString unusableValue(DesignInput input) {
  return QStringLiteral("「%1」の値では計算できません。入力値を見直してください。")
      .arg(inputName(input));
}

QString stopReasonText(const CalculationResult& result, const DesignInputs& inputs) {
  QString why;
  switch (result.reason) {
    case StopReason::NotANumber:
      why = notANumber(result.cause);
      break;
    case StopReason::OutOfRange:
      why = tooLarge(result.cause);
      break;
    case StopReason::EfficiencyNotPositive:
      why = efficiencyNotPositive();
      break;
    case StopReason::DutyOutOfRange:
      why = dutyOutOfRange();
      break;
    case StopReason::NoUsableCore:
      why = noUsableCore(typedText(inputs, DesignInput::Core));
      break;
    case StopReason::ArithmeticFault:
    case StopReason::None:
      why = (result.quantity.empty()
                 ? QStringLiteral("計算の途中で数値が扱える範囲を超えました。")
                 : QStringLiteral("計算の途中（%1）で数値が扱える範囲を超えました。")
                       .arg(QString::fromStdString(result.quantity))) +
            QStringLiteral("入力値を見直してください。") + contactSentence();
      break;
  }
  return why;
}

QString stopMessage(const CalculationResult& result, const DesignInputs& inputs) {
  return QStringLiteral("計算を中止しました。結果の表示は変わりません。\n") +
         stopReasonText(result, inputs);
}

QString runtimeErrorMessage(const RuntimeError& error) {
  return QStringLiteral("処理を中止しました（エラー番号 %1）。入力値を見直してください。")
             .arg(error.code()) +
         contactSentence();
}

QString unexpectedErrorMessage() {
  return QStringLiteral("処理中に予期しないエラーが発生しました。処理を中止しました。") +
         contactSentence();
}

QColor unusableInputColour() { return QColor(255, 204, 204); }

void markUnusableBox(QWidget& box, const QString& why) {
  QPalette palette = box.palette();
  palette.setColor(QPalette::Base, unusableInputColour());
  box.setPalette(palette);
  box.setToolTip(why);
}

void clearUnusableMark(QWidget& box) {
  box.setPalette(QPalette());
  box.setToolTip(QString());
}

void markUnusableCell(QTableWidgetItem& cell, const QString& why) {
  cell.setBackground(unusableInputColour());
  cell.setToolTip(why);
}

void clearUnusableCell(QTableWidgetItem& cell) {
  cell.setBackground(QBrush());
  cell.setToolTip(QString());
}

QString previousCoreNotice(const QString& typedCore, const QString& usedCore) {
  return QStringLiteral("「%1」はコアの一覧にありません。計算はコア %2 で行いました。")
      .arg(typedCore, usedCore);
}

QString previousCoreToolTip(const QString& usedCore) {
  return QStringLiteral("計算はコア %1 で行いました").arg(usedCore);
}

}  // namespace fbc
