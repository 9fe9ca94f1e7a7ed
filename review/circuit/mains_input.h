#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace fbc {

// A mains input through a bridge rectifier onto a bulk capacitor (Fairchild AN-4137, step 2).
// Voltages are RMS [V], the line frequency in Hz, the capacitance in F.
struct MainsInput {
  double vacMin = 0;
  double vacMax = 0;
  double lineFrequency = 50.0;
  double chargeDuty = 0.2;  // Dch: the share of a half line period the bridge conducts
  std::optional<double> bulkCapacitance;  // none: chosen by the rule of thumb
};

// The input the design is made from: a fixed DC input, or the mains with the bulk capacitor's
// valley at full load as the lowest DC input and the peak of the highest line as the highest.
struct InputSupply {
  enum class Kind { Dc, Ac };
  Kind kind = Kind::Dc;
  MainsInput mains;          // Ac only
  double Cbulk = 0;          // F, Ac only: the capacitor given or chosen
  bool CbulkChosen = false;  // the rule of thumb chose it
  double VDCmin = 0;         // V, the lowest DC input the design is made at
  double VDCmax = 0;         // V, the highest DC input
};

// "dc", "ac": the JSON's word.
std::string_view inputKindCode(InputSupply::Kind kind);

// The valley of the bulk capacitor's voltage at input power `pin` [W] (AN-4137, eq. 3):
//   VDCmin = √(2·VACmin² − Pin·(1 − Dch) / (Cbulk·fL)),
// the capacitor charged to the line's peak, then discharged by the input power for the part of
// the half line period the bridge does not conduct. Nothing where the capacitor cannot hold the
// input above zero.
std::optional<double> bulkValley(const MainsInput& mains, double capacitance, double pin);

// The highest DC input, the peak of the highest line: √2·VACmax (AN-4137, eq. 4).
double bulkPeak(const MainsInput& mains);

// AN-4137's rule of thumb for the bulk capacitor at input power `pin` [W]: 2 µF per watt where
// the lowest line lies below 180 VAC (a universal or 100 V input), 1 µF per watt otherwise,
// rounded up to the E6 series the capacitors are sold in.
double ruleOfThumbBulkCapacitance(const MainsInput& mains, double pin);

// The least capacitance [F] whose valley at `pin` [W] reaches `valley` [V] (below the line's
// peak): Pin·(1 − Dch) / ((2·VACmin² − valley²)·fL).
double leastBulkCapacitance(const MainsInput& mains, double pin, double valley);

// The supply a mains input gives at input power `pin` [W]: the capacitor given or chosen, the
// valley and the peak. Nothing where the capacitor cannot hold the input above zero.
std::optional<InputSupply> mainsSupply(const MainsInput& mains, double pin);

// The valley as the design's input voltage is typed: to the hundredth of a volt, "92.21". The
// command line designs at it, and the review window puts it into the main window's input box.
std::u16string valleyInputText(double vdcMin);

}  // namespace fbc
