#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace fbc {

// The insulation between the primary side (the primary and the bias) and the secondary side
// (the outputs), as IEC 62368-1 grades it:
//   functional  the windings only work apart; no safety barrier;
//   basic       one level of protection;
//   reinforced  two levels, the barrier between the mains and an output a person touches.
enum class Insulation { Functional, Basic, Reinforced };

// How the barrier is built:
//   margin  enamelled wire on both sides, margin tape at each end of every winding and tape
//           between the sides;
//   tiw     the secondaries wound with triple-insulated wire, whose three extruded layers are
//           the barrier: no margins.
enum class Construction { Margin, Tiw };

// "functional", "basic", "reinforced"; "margin", "tiw".
std::string_view insulationCode(Insulation insulation);
std::optional<Insulation> insulationByCode(std::string_view code);
std::string_view constructionCode(Construction construction);
std::optional<Construction> constructionByCode(std::string_view code);
// The Japanese names the window and the sheet give them: 「強化絶縁」, 「三重絶縁線」.
std::u16string_view insulationNameJa(Insulation insulation);
std::u16string_view constructionNameJa(Construction construction);
// "functional, basic or reinforced"; "margin or tiw".
std::string insulationCodes(std::string_view separator, std::string_view last);
std::string constructionCodes(std::string_view separator, std::string_view last);

// The working voltages the tables below are read for [V RMS or DC].
inline constexpr double kWorkingVoltageMax = 1000.0;

// The tape a winding shop wraps between windings: one layer's thickness [m] and the layers wound
// between two neighbouring windings in the margin construction (0.15 mm, three layers: enough for
// reinforced insulation as thin sheet material, each two layers passing the electric strength
// test) and in the tiw construction, where the wire is the barrier.
inline constexpr int kTapeLayerMicrometres = 50;
inline constexpr double kTapeLayer = kTapeLayerMicrometres / 1e6;
inline constexpr int kTapeLayersMargin = 3;
inline constexpr int kTapeLayersTiw = 1;

// The basic creepage distance [m] at working voltage `volts` [V RMS], pollution degree 2 and
// material group IIIa/IIIb (IEC 62368-1 Table 17; IEC 60664-1 Table F.5 holds the same values):
// linear between the table's rows, rounded up to 0.1 mm; the first row's below it.
double basicCreepage(double volts);

// The mains transient voltage [V peak] of overvoltage category II for a working voltage
// `volts` [V RMS] (IEC 60664-1 Table F.1, IEC 62368-1 Table 12): 1500 V up to 150 V, 2500 V up to
// 300 V, 4000 V up to 600 V and 6000 V up to 1000 V.
double mainsTransient(double volts);

// The next transient in that series (4000 V after 2500 V): reinforced insulation is made for the
// next step up (IEC 60664-1, 5.1.6).
double nextTransient(double transient);

// The clearance [m] for transient `transient` [V peak], pollution degree 2, up to 2000 m
// (IEC 62368-1 Table 14): 1.5 mm basic and 3.0 mm reinforced at 2500 V.
double clearanceFor(Insulation insulation, double transient);

// What the insulation asks of the transformer. Lengths in m, voltages in V.
struct Isolation {
  Insulation insulation = Insulation::Functional;
  Construction construction = Construction::Margin;
  double workingVoltage = 0;             // V RMS (mains) or V DC
  bool workingVoltageGiven = false;      // the person's, measured, not the input's
  double transient = 0;                  // V peak, the mains transient the clearance is made for
  std::optional<double> creepage;        // along surfaces; none for functional insulation
  std::optional<double> clearance;       // through air; none for functional insulation
  double margin = 0;                     // margin tape at each end of each winding
  int tapeLayersPS = kTapeLayersMargin;  // tape layers between the primary and secondary sides
  double tapeLayer = kTapeLayer;         // one layer's thickness
  std::optional<double> hipotPeak;       // electric strength test, V peak or DC
  std::optional<double> hipotAC;         // the customary test, V RMS for hipotSeconds
  double hipotSeconds = 60;
  double bobbinBreadth = 0;   // bw
  double windingBreadth = 0;  // bw − 2·margin, what every winding is laid across
  bool fits = true;           // the margins leave at least a third of the breadth

  // The tape between two neighbouring windings [m]; three layers are 0.15 mm to the last bit.
  double tape() const { return tapeLayersPS * kTapeLayerMicrometres / 1e6; }
};

// The least share of the bobbin's breadth the margins may leave to the windings.
inline constexpr double kLeastWindingBreadthShare = 1.0 / 3.0;

// The insulation's distances, margins, tape and tests on a bobbin `bobbinBreadth` [m] broad at
// working voltage `workingVoltage` [V].
//   margin: half the creepage at each end (on both sides of the barrier the path round the
//           tape's edge is then the creepage), rounded up to 0.1 mm; none in tiw or functional;
//   hipot:  the transient for basic insulation, the next step for reinforced (2500 V and 4000 V
//           peak at 300 V), and the customary 1500 VAC or 3000 VAC for 60 s (IEC 60950-1 Table
//           5B); none for functional insulation.
Isolation isolationFor(Insulation insulation, Construction construction, double workingVoltage,
                       bool workingVoltageGiven, double bobbinBreadth);

// A length rounded up to 0.1 mm [m].
double roundedUpToTenthMillimetre(double metres);

}  // namespace fbc
