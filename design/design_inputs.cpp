#include "design/design_inputs.h"

#include "platform/number_text.h"

namespace fbc {

namespace {

template <class Inputs>
auto* textOf(Inputs& inputs, DesignInput input) {
  switch (input) {
    case DesignInput::Vout:
      return &inputs.vout;
    case DesignInput::Iout:
      return &inputs.iout;
    case DesignInput::Vin:
      return &inputs.vin;
    case DesignInput::Effi:
      return &inputs.effi;
    case DesignInput::Fs:
      return &inputs.fs;
    case DesignInput::Vf:
      return &inputs.vf;
    case DesignInput::Duty:
      return &inputs.duty;
    case DesignInput::Core:
      return &inputs.core;
    case DesignInput::None:
      break;
  }
  return static_cast<decltype(&inputs.vout)>(nullptr);
}

}  // namespace

const InputInfo* inputInfo(DesignInput input) {
  for (const InputInfo& info : kInputTable) {
    if (info.input == input) {
      return &info;
    }
  }
  return nullptr;
}

const InputInfo* inputInfoByKey(std::string_view key) {
  for (const InputInfo& info : kInputTable) {
    if (info.key == key) {
      return &info;
    }
  }
  return nullptr;
}

const InputInfo* inputInfoByBox(std::string_view box) {
  for (const InputInfo& info : kInputTable) {
    if (info.box == box) {
      return &info;
    }
  }
  return nullptr;
}

std::u16string* inputText(DesignInputs& inputs, DesignInput input) { return textOf(inputs, input); }

const std::u16string* inputText(const DesignInputs& inputs, DesignInput input) {
  return textOf(inputs, input);
}

std::optional<StopReason> judgeInput(DesignInput input, std::u16string_view text) {
  const InputInfo* info = inputInfo(input);
  if (info == nullptr || info->reading == InputReading::Text) {
    return std::nullopt;
  }
  ParseStatus status = ParseStatus::Ok;
  double value = 0.0;
  if (info->reading == InputReading::Single) {
    const ParsedSingle parsed = parseSingle(text);
    status = parsed.status;
    value = parsed.value;
  } else {
    const ParsedDouble parsed = parseDouble(text);
    status = parsed.status;
    value = parsed.value;
  }
  if (status == ParseStatus::NotANumber) {
    return StopReason::NotANumber;
  }
  if (status == ParseStatus::OutOfRange) {
    return StopReason::OutOfRange;
  }
  if (input == DesignInput::Effi && !(value > 0.0)) {
    return StopReason::EfficiencyNotPositive;
  }
  if (input == DesignInput::Duty && !(value > 0.0 && value < 1.0)) {
    return StopReason::DutyOutOfRange;
  }
  return std::nullopt;
}

std::string_view levelName(CoreLevel level) {
  switch (level) {
    case CoreLevel::Hi:
      return "hi";
    case CoreLevel::Typ:
      return "typ";
    case CoreLevel::Lo:
      return "lo";
    case CoreLevel::None:
      break;
  }
  return "";
}

std::optional<CoreLevel> levelFromName(std::string_view name) {
  for (CoreLevel level : {CoreLevel::Hi, CoreLevel::Typ, CoreLevel::Lo}) {
    if (name == levelName(level)) {
      return level;
    }
  }
  return std::nullopt;
}

std::u16string_view levelCaption(CoreLevel level) {
  switch (level) {
    case CoreLevel::Hi:
      return u"高温(高め)";
    case CoreLevel::Typ:
      return u"普通";
    case CoreLevel::Lo:
      return u"低温(低め)";
    case CoreLevel::None:
      break;
  }
  return u"";
}

}  // namespace fbc
