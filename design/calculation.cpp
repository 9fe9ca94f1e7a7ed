#include "design/calculation.h"

#include <algorithm>
#include <string_view>

#include "design/calculation_steps.h"

#include "platform/checked_math.h"
#include "platform/number_text.h"

namespace fbc {

namespace {

constexpr int kReadStep = 1;
constexpr int kCoreStep = 5;

CalculationResult stopAt(int step, std::string_view quantity, ErrorNumber error, DesignInput cause,
                         StopReason reason) {
  CalculationResult result;
  result.failedStep = step;
  result.quantity = quantity;
  result.error = error;
  result.cause = cause;
  result.reason = reason;
  return result;
}

CalculationResult conversionStop(ParseStatus status, std::string_view quantity, DesignInput box) {
  return status == ParseStatus::OutOfRange
             ? stopAt(kReadStep, quantity, ErrorNumber::Overflow, box, StopReason::OutOfRange)
             : stopAt(kReadStep, quantity, ErrorNumber::TypeMismatch, box, StopReason::NotANumber);
}

// Names the input behind an arithmetic fault where the inputs explain it; the table of failing
// inputs ties efficiency and duty faults to these steps.
CalculationResult arithmeticStop(int step, std::string_view quantity, ErrorNumber error,
                                 const DesignState& s) {
  auto blame = [&](DesignInput cause, StopReason reason) {
    return stopAt(step, quantity, error, cause, reason);
  };
  switch (step) {
    case 2:
      if (s.Effi == 0.0F) {
        return blame(DesignInput::Effi, StopReason::EfficiencyNotPositive);
      }
      if (s.Vin == 0.0F) {
        return blame(DesignInput::Vin, StopReason::ArithmeticFault);
      }
      break;
    case 11:
      if (s.Duty == 1.0F) {
        return blame(DesignInput::Duty, StopReason::DutyOutOfRange);
      }
      break;
    case 14:
      if (s.Effi < 0.0F) {
        return blame(DesignInput::Effi, StopReason::EfficiencyNotPositive);
      }
      if (s.Duty < 0.0F || s.Duty > 1.0F) {
        return blame(DesignInput::Duty, StopReason::DutyOutOfRange);
      }
      break;
    case 15:
      if (s.Duty == 0.0F) {
        return blame(DesignInput::Duty, StopReason::DutyOutOfRange);
      }
      break;
    default:
      break;
  }
  return blame(DesignInput::None, StopReason::ArithmeticFault);
}

// One formula step: the expression runs in 64 bits; only its result is rounded to 32 bits and
// stored. On a fault nothing is stored and `stop` describes it.
template <class Expression>
bool runStep(int step, std::string_view quantity, float& target, const DesignState& s,
             CalculationResult& stop, Expression&& expression) {
  try {
    target = toSingleChecked(expression());
    return true;
  } catch (const RuntimeError& e) {
    stop = arithmeticStop(step, quantity, e.number(), s);
    return false;
  }
}

// Step 1 for the boxes converted straight to a 32-bit float.
bool readDirect(std::u16string_view text, std::string_view quantity, DesignInput box, float& target,
                CalculationResult& stop) {
  const ParsedSingle parsed = parseSingle(text);
  if (parsed.status != ParseStatus::Ok) {
    stop = conversionStop(parsed.status, quantity, box);
    return false;
  }
  target = parsed.value;
  return true;
}

// Step 1 for the boxes converted to a 64-bit float and then worked on (efficiency, period).
template <class Expression>
bool readDerived(std::u16string_view text, std::string_view quantity, DesignInput box,
                 float& target, CalculationResult& stop, Expression&& expression) {
  const ParsedDouble parsed = parseDouble(text);
  if (parsed.status != ParseStatus::Ok) {
    stop = conversionStop(parsed.status, quantity, box);
    return false;
  }
  try {
    target = toSingleChecked(expression(parsed.value));
    return true;
  } catch (const RuntimeError& e) {
    stop = stopAt(
        kReadStep, quantity, e.number(), box,
        e.number() == ErrorNumber::Overflow ? StopReason::OutOfRange : StopReason::ArithmeticFault);
    return false;
  }
}

// Step 1 for one box, in the table's order: the efficiency is a percentage, the frequency
// becomes the period.
bool readInput(const InputInfo& info, const DesignInputs& in, DesignState& s,
               CalculationResult& stop) {
  const InputTarget target = inputTarget(info.input);
  const std::u16string& text = *inputText(in, info.input);
  if (info.reading == InputReading::Single) {
    return readDirect(text, target.quantity, info.input, s.*target.member, stop);
  }
  const DerivedRead& read = *derivedRead(info.input);
  return readDerived(text, read.quantity, info.input, s.*read.target, stop, read.evaluate);
}

}  // namespace

std::optional<double> levelSwing(CoreLevel level) {
  switch (level) {
    case CoreLevel::Hi:
      return 0.34;
    case CoreLevel::Typ:
      return 0.2;
    case CoreLevel::Lo:
      return 0.18;
    case CoreLevel::None:
      break;
  }
  return std::nullopt;
}

std::optional<float> levelFluxDensity(CoreLevel level) {
  // Each swing rounds to the same 32-bit value as its float literal would.
  if (const std::optional<double> swing = levelSwing(level)) {
    return static_cast<float>(*swing);
  }
  return std::nullopt;
}

CalculationResult calculateDesign(const DesignInputs& in, const CoreCatalogue& catalogue,
                                  DesignState& s) {
  CalculationResult stop;
  for (const InputInfo& info : kInputTable) {
    if (info.reading != InputReading::Text && !readInput(info, in, s, stop)) {
      return stop;
    }
  }

  const auto run = [&](const CalculationStep& formula) {
    return runStep(formula.number, formula.quantity, s.*formula.target, s, stop,
                   [&] { return formula.evaluate(s); });
  };

  // Step 2 comes before the core; steps 6 to 18 after it.
  if (!run(kCalculationSteps.front())) {
    return stop;
  }

  s.CoreSel = in.core;

  if (const std::optional<float> level = levelFluxDensity(in.level)) {
    s.dB = *level;
  }

  // The lookup must never hand zero figures to step 8: the end mark and the empty positions are
  // refused, and so is an unknown name while no core has been looked up yet (Ae still zero).
  bool usedPreviousCore = false;
  if (const std::optional<int> position = catalogue.find(s.CoreSel)) {
    if (!catalogue.hasFigures(*position)) {
      return stopAt(kCoreStep, "Ae", ErrorNumber::DivisionByZero, DesignInput::Core,
                    StopReason::NoUsableCore);
    }
    s.CoreSel = catalogue.name(*position);
    s.Ae = catalogue.ae(*position);
    s.Aw = catalogue.aw(*position);
    s.Fill = catalogue.fill(*position);
  } else if (s.Ae == 0.0F) {
    return stopAt(kCoreStep, "Ae", ErrorNumber::DivisionByZero, DesignInput::Core,
                  StopReason::NoUsableCore);
  } else {
    usedPreviousCore = true;
  }

  const bool completed = std::all_of(kCalculationSteps.begin() + 1, kCalculationSteps.end(), run);
  if (!completed) {
    stop.usedPreviousCore = usedPreviousCore;
    return stop;
  }

  CalculationResult result;
  result.completed = true;
  result.usedPreviousCore = usedPreviousCore;
  return result;
}

}  // namespace fbc
