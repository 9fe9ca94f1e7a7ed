#include "review/circuit/outputs.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <span>

#include "platform/number_text.h"
#include "platform/text.h"

namespace fbc {

namespace {

using Field = OutputTextProblem::Field;
using Reason = OutputTextProblem::Reason;

// The text split at every one of `separators`.
std::vector<std::string_view> split(std::string_view text, std::string_view separators) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t at = text.find_first_of(separators, start);
    parts.push_back(withoutBlanks(text.substr(start, at - start)));
    if (at == std::string_view::npos) {
      return parts;
    }
    start = at + 1;
  }
}

struct FieldRule {
  Field field;
  double lower;
  bool lowerExcluded;
  double upper;
};

constexpr FieldRule kVoltage{Field::V, 0.0, true, kMostOutputVoltage};
constexpr FieldRule kCurrent{Field::I, 0.0, false, kMostOutputCurrent};
constexpr FieldRule kForward{Field::Vf, 0.0, false, kMostOutputVf};

std::optional<Reason> readField(std::string_view text, const FieldRule& rule, double& value) {
  const ParsedDouble parsed = parseDouble(fromUtf8(std::string(text)));
  if (parsed.status == ParseStatus::NotANumber) {
    return Reason::NotANumber;
  }
  const bool above = rule.lowerExcluded ? parsed.value > rule.lower : parsed.value >= rule.lower;
  if (parsed.status != ParseStatus::Ok || !above || !(parsed.value <= rule.upper)) {
    return Reason::OutOfRange;
  }
  value = parsed.value;
  return std::nullopt;
}

// One output's or the bias's figures in the order `rules` gives; those left out keep their
// defaults.
std::optional<OutputTextProblem> readFigures(std::string_view text,
                                             std::span<const FieldRule> rules, std::size_t required,
                                             int index, OutputTarget& target) {
  const std::vector<std::string_view> parts = split(text, ",/");
  if (parts.size() < required || parts.size() > rules.size()) {
    return OutputTextProblem{index, Field::None, Reason::Shape};
  }
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const FieldRule& rule = rules[i];
    double& value = rule.field == Field::V   ? target.V
                    : rule.field == Field::I ? target.I
                                             : target.Vf;
    if (const std::optional<Reason> reason = readField(parts[i], rule, value)) {
      return OutputTextProblem{index, rule.field, *reason};
    }
  }
  return std::nullopt;
}

std::string fieldName(Field field) {
  switch (field) {
    case Field::V:
      return "voltage";
    case Field::I:
      return "current";
    case Field::Vf:
      return "diode's forward voltage";
    case Field::None:
      break;
  }
  return "";
}

std::u16string fieldNameJa(Field field) {
  switch (field) {
    case Field::V:
      return u"電圧";
    case Field::I:
      return u"電流";
    case Field::Vf:
      return u"ダイオード順電圧";
    case Field::None:
      break;
  }
  return u"";
}

FieldRule ruleOf(Field field) {
  return field == Field::V ? kVoltage : field == Field::I ? kCurrent : kForward;
}

std::string number(double value) { return toUtf8(generalText(value)); }

}  // namespace

OutputListReading readOutputList(std::string_view text) {
  OutputListReading reading;
  if (withoutBlanks(text).empty()) {
    return reading;
  }
  const std::vector<std::string_view> outputs = split(text, ";");
  if (outputs.size() > static_cast<std::size_t>(kMostExtraOutputs)) {
    reading.problem = OutputTextProblem{0, Field::None, Reason::TooMany};
    return reading;
  }
  constexpr std::array<FieldRule, 3> kRules{kVoltage, kCurrent, kForward};
  for (std::size_t i = 0; i < outputs.size(); ++i) {
    OutputTarget target;
    target.Vf = kDefaultOutputVf;
    const int index = static_cast<int>(i) + 1;
    if (auto problem = readFigures(outputs[i], kRules, 2, index, target)) {
      reading.problem = problem;
      reading.outputs.clear();
      return reading;
    }
    reading.outputs.push_back(target);
  }
  return reading;
}

BiasReading readBias(std::string_view text) {
  BiasReading reading;
  if (withoutBlanks(text).empty()) {
    return reading;
  }
  constexpr std::array<FieldRule, 3> kRules{kVoltage, kForward, kCurrent};
  OutputTarget target;
  target.Vf = kDefaultOutputVf;
  target.I = kDefaultBiasCurrent;
  if (auto problem = readFigures(text, kRules, 1, 0, target)) {
    reading.problem = problem;
    return reading;
  }
  reading.bias = target;
  return reading;
}

std::string outputTextFaultText(const OutputTextProblem& problem, bool bias) {
  if (problem.reason == Reason::TooMany) {
    return "at most " + std::to_string(kMostExtraOutputs) + " outputs beside the main one";
  }
  if (problem.reason == Reason::Shape) {
    return bias ? "expected V[,Vf[,I]]" : "expected V,I[,Vf] for each output, separated by ;";
  }
  std::string text = bias ? std::string() : "output " + std::to_string(problem.output) + ": ";
  text += "the " + fieldName(problem.field);
  if (problem.reason == Reason::NotANumber) {
    return text + " is not a number";
  }
  const FieldRule rule = ruleOf(problem.field);
  if (rule.lowerExcluded) {
    return text + " must lie above " + number(rule.lower) + " and at most " + number(rule.upper);
  }
  return text + " must lie between " + number(rule.lower) + " and " + number(rule.upper);
}

std::u16string outputTextFaultTextJa(const OutputTextProblem& problem, bool bias) {
  if (problem.reason == Reason::TooMany) {
    return u"追加出力は" + generalText(static_cast<std::int32_t>(kMostExtraOutputs)) +
           u"個までです。";
  }
  if (problem.reason == Reason::Shape) {
    return bias ? u"電圧[,順電圧[,電流]]の形で入力してください。"
                : u"出力ごとに電圧,電流[,順電圧]の形で入力してください。";
  }
  std::u16string text =
      bias ? std::u16string()
           : u"出力" + generalText(static_cast<std::int32_t>(problem.output)) + u"の";
  text += fieldNameJa(problem.field);
  if (problem.reason == Reason::NotANumber) {
    return text + u"に数値を入力してください。";
  }
  const FieldRule rule = ruleOf(problem.field);
  if (rule.lowerExcluded) {
    return text + u"は" + generalText(rule.lower) + u"より大きく" + generalText(rule.upper) +
           u"以下にしてください。";
  }
  return text + u"は" + generalText(rule.lower) + u"から" + generalText(rule.upper) +
         u"の範囲にしてください。";
}

std::string outputListText(const std::vector<OutputTarget>& outputs, char separator) {
  std::string text;
  for (const OutputTarget& o : outputs) {
    if (!text.empty()) {
      text += ';';
    }
    text += number(o.V) + separator + number(o.I) + separator + number(o.Vf);
  }
  return text;
}

std::string biasText(const OutputTarget& bias, char separator) {
  return number(bias.V) + separator + number(bias.Vf) + separator + number(bias.I);
}

int outputTurns(const OutputTarget& output, const OutputTarget& main, int ns1) {
  const double turns = std::round((output.V + output.Vf) / (main.V + main.Vf) * ns1);
  return static_cast<int>(std::clamp(turns, 1.0, 1e6));
}

}  // namespace fbc
