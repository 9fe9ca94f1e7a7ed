#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fbc {

// One output of the converter, or the bias winding that supplies its controller: the voltage
// [V], the current [A] and the rectifier's forward voltage [V].
struct OutputTarget {
  double V = 0;
  double I = 0;
  double Vf = 0.7;
};

// The outputs the review takes beside the main one, at most, and the defaults of an output's
// diode and of the bias winding.
inline constexpr int kMostExtraOutputs = 7;
inline constexpr double kDefaultOutputVf = 0.7;
inline constexpr double kDefaultBiasCurrent = 0.01;
// The limits of an output's figures: V above 0 up to kMostOutputVoltage, I from 0, Vf from 0.
inline constexpr double kMostOutputVoltage = 1000.0;
inline constexpr double kMostOutputCurrent = 100.0;
inline constexpr double kMostOutputVf = 10.0;

// Why an output's or the bias's text cannot be read.
struct OutputTextProblem {
  enum class Field { None, V, I, Vf };
  enum class Reason {
    Shape,       // not V,I[,Vf] (an output) or V[,Vf[,I]] (the bias)
    TooMany,     // more than kMostExtraOutputs outputs
    NotANumber,  // the field is not a number
    OutOfRange,  // the field lies outside its limits
  };
  int output = 0;  // 1-based among the outputs given; 0 for the bias or the list as a whole
  Field field = Field::None;
  Reason reason = Reason::Shape;
};

struct OutputListReading {
  std::vector<OutputTarget> outputs;
  std::optional<OutputTextProblem> problem;
};

// The outputs a text gives: each "V,I[,Vf]" (or with '/' between the figures, as a batch
// column writes them), separated by ';'. An empty text gives none.
OutputListReading readOutputList(std::string_view text);

struct BiasReading {
  std::optional<OutputTarget> bias;
  std::optional<OutputTextProblem> problem;
};

// The bias winding a text gives: "V[,Vf[,I]]" (or with '/'), its current by default
// kDefaultBiasCurrent; an empty text gives none.
BiasReading readBias(std::string_view text);

// What is wrong, in a few words: "output 2: the current must be at least 0", "expected V,I[,Vf]
// for each output, separated by ;", "at most 7 outputs beside the main one".
std::string outputTextFaultText(const OutputTextProblem& problem, bool bias);
std::u16string outputTextFaultTextJa(const OutputTextProblem& problem, bool bias);

// The text an output list or a bias is written in again: "5/2/0.5;12/1.5/1.2", "12/1.2/0.01"
// with `separator` '/', or with ',' as the options take them.
std::string outputListText(const std::vector<OutputTarget>& outputs, char separator);
std::string biasText(const OutputTarget& bias, char separator);

// One output (or the bias) as the review worked it out from the whole turns.
struct OutputResult {
  double V = 0;   // V, the target
  double I = 0;   // A
  double Vf = 0;  // V
  double P = 0;   // W, V·I
  double KL = 0;  // its share of the output power Pout (the bias's share of it as well)
  int turns = 0;
  double Vactual = 0;       // V, what the whole turns give: (Vo1 + VF1)·Ns/Ns1 − VF
  double errorPercent = 0;  // %, (Vactual − V)/V
  double IsPk = 0;          // A, its winding's peak current
  double IsRms = 0;         // A
  double VdRevMax = 0;      // V, its diode's peak reverse voltage at the highest input
};

// The turns of an output or the bias beside a main output of `ns1` turns (AN-4137, eq. 14):
// round((V + Vf)/(V1 + Vf1)·Ns1), at least 1.
int outputTurns(const OutputTarget& output, const OutputTarget& main, int ns1);

}  // namespace fbc
