#include "app/input_messages.h"

#include "design/result_texts.h"
#include "platform/number_text.h"

namespace fbc {

namespace {

QString contactSentence() {
  return QStringLiteral("解決しない場合は %1 までお問い合わせください。")
      .arg(QString::fromStdU16String(std::u16string(kMakerContactAddress)));
}

// The boxes the calculation converts straight to 32 bits; the others are read as 64-bit.
bool readAsSingle(DesignInput input) {
  return input == DesignInput::Vout || input == DesignInput::Iout || input == DesignInput::Vin ||
         input == DesignInput::Vf || input == DesignInput::Duty;
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

QString inputText(const DesignInputs& inputs, DesignInput input) {
  const std::u16string* text = nullptr;
  switch (input) {
    case DesignInput::Vout:
      text = &inputs.vout;
      break;
    case DesignInput::Iout:
      text = &inputs.iout;
      break;
    case DesignInput::Vin:
      text = &inputs.vin;
      break;
    case DesignInput::Effi:
      text = &inputs.effi;
      break;
    case DesignInput::Fs:
      text = &inputs.fs;
      break;
    case DesignInput::Vf:
      text = &inputs.vf;
      break;
    case DesignInput::Duty:
      text = &inputs.duty;
      break;
    case DesignInput::Core:
      text = &inputs.core;
      break;
    case DesignInput::None:
      return {};
  }
  return QString::fromStdU16String(*text);
}

}  // namespace

QString inputName(DesignInput input) {
  switch (input) {
    case DesignInput::Vin:
      return QStringLiteral("直流入力電圧[V]");
    case DesignInput::Vout:
      return QStringLiteral("出力電圧[V]");
    case DesignInput::Iout:
      return QStringLiteral("出力電流[A]");
    case DesignInput::Fs:
      return QStringLiteral("スイッチング周波数[Hz]");
    case DesignInput::Vf:
      return QStringLiteral("Vf[V]");
    case DesignInput::Effi:
      return QStringLiteral("予測効率[%]");
    case DesignInput::Duty:
      return QStringLiteral("Duty");
    case DesignInput::Core:
      return QStringLiteral("コア選択");
    case DesignInput::None:
      break;
  }
  return QStringLiteral("入力");
}

QString inputProblem(DesignInput input, const QString& text) {
  if (input == DesignInput::Core || input == DesignInput::None) {
    return {};
  }
  const std::u16string raw = text.toStdU16String();
  ParseStatus status = ParseStatus::Ok;
  double value = 0.0;
  if (readAsSingle(input)) {
    const ParsedSingle parsed = parseSingle(raw);
    status = parsed.status;
    value = parsed.value;
  } else {
    const ParsedDouble parsed = parseDouble(raw);
    status = parsed.status;
    value = parsed.value;
  }
  if (status == ParseStatus::NotANumber) {
    return notANumber(input);
  }
  if (status == ParseStatus::OutOfRange) {
    return tooLarge(input);
  }
  if (input == DesignInput::Effi && !(value > 0.0)) {
    return efficiencyNotPositive();
  }
  if (input == DesignInput::Duty && !(value > 0.0 && value < 1.0)) {
    return dutyOutOfRange();
  }
  return {};
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
      why = noUsableCore(inputText(inputs, DesignInput::Core));
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

QString previousCoreNotice(const QString& typedCore, const QString& usedCore) {
  return QStringLiteral("「%1」はコアの一覧にありません。計算はコア %2 で行いました。")
      .arg(typedCore, usedCore);
}

QString previousCoreToolTip(const QString& usedCore) {
  return QStringLiteral("計算はコア %1 で行いました").arg(usedCore);
}

}  // namespace fbc
