#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "design/design_state.h"
#include "design/input_rules.h"

namespace fbc {

// The input that a stopped calculation blames, so the person can be told what to fix.
enum class DesignInput { None, Vout, Iout, Vin, Effi, Fs, Vf, Duty, Core };

enum class StopReason {
  None,
  NotANumber,             // a box is empty or not a number
  OutOfRange,             // a number too large for its 32-bit variable
  EfficiencyNotPositive,  // efficiency 0 or negative
  DutyOutOfRange,         // duty not strictly between 0 and 1
  NoUsableCore,           // no catalogue core looked up yet, or "", or "END"
  ArithmeticFault,        // any other overflow or invalid operation
};

// How the calculation's first step reads a box: straight to a 32-bit float, or as a 64-bit
// float that is then worked on (the efficiency is divided by 100, the frequency inverted).
enum class InputReading { Single, Double, Text };

// Everything the window, the command line and the batch reader know about one input, in one
// place: the window's box, the option and column name, the start value and how it is read.
struct InputInfo {
  DesignInput input;
  std::string_view box;           // the window's control, "txtVin"
  std::string_view key;           // option without dashes, JSON member and batch column, "vin"
  std::u16string_view caption;    // the window's name for it, units included
  std::string_view description;   // the English name the command line uses
  std::string_view unit;          // SI unit of the typed value ("" for ratios and names)
  std::u16string_view startText;  // the text the box holds when the window opens
  InputReading reading;
  std::optional<LimitedBox> limit;  // the box's limit rule, if it has one
};

// In the order the calculation reads them (the core last).
inline constexpr std::array<InputInfo, 8> kInputTable{{
    {DesignInput::Vout, "txtVout", "vout", u"出力電圧[V]", "Output voltage", "V", u"24",
     InputReading::Single, LimitedBox::Vout},
    {DesignInput::Iout, "txtIout", "iout", u"出力電流[A]", "Output current", "A", u"10",
     InputReading::Single, LimitedBox::Iout},
    {DesignInput::Vin, "txtVin", "vin", u"直流入力電圧[V]", "DC input voltage", "V", u"200",
     InputReading::Single, LimitedBox::Vin},
    {DesignInput::Effi, "txtEffi", "effi", u"予測効率[%]", "Efficiency", "%", u"80",
     InputReading::Double, std::nullopt},
    {DesignInput::Fs, "txtFs", "fs", u"スイッチング周波数[Hz]", "Switching frequency", "Hz",
     u"50000", InputReading::Double, LimitedBox::Fs},
    {DesignInput::Vf, "txtVf", "vf", u"Vf[V]", "Diode forward voltage", "V", u"0.7",
     InputReading::Single, LimitedBox::Vf},
    {DesignInput::Duty, "txtDuty", "duty", u"Duty", "Duty ratio", "", u"0.5", InputReading::Single,
     std::nullopt},
    {DesignInput::Core, "cmbCore", "core", u"コア選択", "Core", "", u"EER25.5", InputReading::Text,
     std::nullopt},
}};

// The order in which the command line lists, reports and documents the inputs.
inline constexpr std::array<DesignInput, 8> kInputPresentationOrder{
    DesignInput::Vin, DesignInput::Vout, DesignInput::Iout, DesignInput::Fs,
    DesignInput::Vf,  DesignInput::Effi, DesignInput::Duty, DesignInput::Core};

// The table row of an input; DesignInput::None has none.
const InputInfo* inputInfo(DesignInput input);
// The table row whose key is `key` ("vin", ...), or nullptr.
const InputInfo* inputInfoByKey(std::string_view key);
// The table row of the window's box named `box` ("txtVin", ...), or nullptr.
const InputInfo* inputInfoByBox(std::string_view box);

// The texts of the seven input boxes and the core box, and the chosen level, as the window
// holds them. Defaults are the window's start values.
struct DesignInputs {
  std::u16string vout{kInputTable[0].startText};
  std::u16string iout{kInputTable[1].startText};
  std::u16string vin{kInputTable[2].startText};
  std::u16string effi{kInputTable[3].startText};
  std::u16string fs{kInputTable[4].startText};
  std::u16string vf{kInputTable[5].startText};
  std::u16string duty{kInputTable[6].startText};
  std::u16string core{kInputTable[7].startText};
  CoreLevel level = CoreLevel::Typ;

  friend bool operator==(const DesignInputs&, const DesignInputs&) = default;
};

// The text of one input (DesignInput::None: nullptr).
std::u16string* inputText(DesignInputs& inputs, DesignInput input);
const std::u16string* inputText(const DesignInputs& inputs, DesignInput input);

// What keeps a box's text from being used by the calculation: not a number, too large for the
// variable it is read into, an efficiency not above 0, a duty not strictly between 0 and 1.
// Nothing when the text is usable. The core is judged by the catalogue and always passes here.
std::optional<StopReason> judgeInput(DesignInput input, std::u16string_view text);

// "hi", "typ", "lo" as the command line and the batch columns spell the levels ("" for None).
std::string_view levelName(CoreLevel level);
// The level a name spells, or nothing.
std::optional<CoreLevel> levelFromName(std::string_view name);
// The caption of the level's option button in the window, such as "普通".
std::u16string_view levelCaption(CoreLevel level);

}  // namespace fbc
