#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace fbc {

// The kinds of conductor a winding is wound with. A wire is written as one text everywhere
// (options, batch cells, the window, reports): "round:0.5" or a bare "0.5", "strands:0.4x3"
// (round wires in hand), "litz:0.1x200", "foil:0.2"; diameters and thicknesses in mm.
enum class WireKind { Round, Strands, Litz, Foil };

// "round", "strands", "litz", "foil".
std::string_view wireKindCode(WireKind kind);

struct Wire {
  WireKind kind = WireKind::Round;
  double diameter = 0;  // mm: bare copper of one wire or strand; a foil's thickness
  int strands = 1;      // wires in hand or litz strands; 1 for round wire and foil

  friend bool operator==(const Wire&, const Wire&) = default;
};

// The wire's text: "round:0.5", "strands:0.4x3", "litz:0.1x200", "foil:0.2" (the shortest
// decimal that reads back as the diameter in mm).
std::string wireText(const Wire& wire);

// What a person may give: any diameter or thickness from 0.02 to 5 mm, 2 to 100 wires in hand
// and 2 to 10000 litz strands.
inline constexpr double kWireDiameterMin = 0.02;  // mm
inline constexpr double kWireDiameterMax = 5.0;   // mm
inline constexpr int kStrandsInHandMax = 100;
inline constexpr int kLitzStrandsMax = 10000;

// Why a wire's text cannot be read; `part` is the piece of text that is wrong.
enum class WireTextFault {
  Empty,
  UnknownKind,         // the text before ':' is no kind
  DiameterNotANumber,  // the diameter or thickness
  DiameterOutOfRange,
  CountMissing,  // strands and litz need "DxN"
  CountNotANumber,
  CountOutOfRange,
  CountNotAllowed,  // round wire and foil have no count
};

struct WireTextProblem {
  WireTextFault fault;
  std::string part;
  WireKind kind = WireKind::Round;
};

struct WireReading {
  std::optional<Wire> wire;
  std::optional<WireTextProblem> problem;
};

// Reads a wire's text; blanks around it and around its parts are ignored, the kind is
// case-insensitive.
WireReading readWire(std::string_view text);

// What is wrong, in one English clause ("strand count '0' must lie between 2 and 10000")
// and in one Japanese sentence for the window.
std::string wireTextFaultText(const WireTextProblem& problem);
std::u16string wireTextFaultTextJa(const WireTextProblem& problem);

// Foil: the film between turns [mm].
inline constexpr double kFoilFilm = 0.025;

// The largest overall diameter [mm] of an enamelled round copper wire of bare diameter `bare`
// [mm] in grade 1 (IEC 60317-0-1, JIS C 3202). Between the standard's nominal diameters the
// enamel's thickness is interpolated linearly; below the smallest it shrinks with the wire,
// above the largest it stays.
double roundWireOuterDiameter(double bare);

// IEC 60317-11's packing factor of a litz bundle of `strands` strands: the bundle's diameter
// is factor · √strands · the strand's overall diameter.
double litzPackingFactor(int strands);

// The DC resistance of litz wire over that of its strands in parallel: each bunching step's lay
// lengthens every strand, by 2 %, 4 % and 6 % for one, two and three or more steps (Elektrisola
// after DIN EN 60317-11). A bundle is taken as built from a first bunch of up to 60 strands,
// then up to five bundles a step: one step up to 60 strands, two up to 300, three beyond.
double litzResistanceFactor(int strands);

// How one turn of the wire lies: its size across the breadth and in build [m], its copper [m²]
// and how it counts for the eddy currents. A foil is as wide as the breadth `breadth` and lies
// one turn per layer.
struct WireSection {
  double width = 0;             // across the breadth, insulation included
  double height = 0;            // in build, insulation (foil: the film) included
  double copperArea = 0;        // per turn, all strands
  double resistanceFactor = 1;  // DC resistance over ρ·length/copperArea
  double conductor = 0;         // a strand's bare diameter, a foil's thickness
  double conductorsAcross = 1;  // Dowell: conductors a turn stands high (√strands, 1)
  bool foil = false;            // one turn per layer across the whole breadth
};

// `tripleInsulated`: the wire (each wire in hand) is triple-insulated, three extruded layers
// kTripleInsulation thick on the diameter in all over the bare copper (Furukawa TEX-E and TEX-F,
// Furukawa Review No. 21: 0.2 to 1.0 mm copper under about 100 µm of insulation).
WireSection wireSection(const Wire& wire, double breadth, bool tripleInsulated = false);

// Triple-insulated wire: the insulation on the diameter [mm] and the copper it is made in [mm].
inline constexpr double kTripleInsulation = 0.2;
inline constexpr double kTripleInsulatedMin = 0.2;
inline constexpr double kTripleInsulatedMax = 1.0;

// Whether the wire is made triple-insulated: round wire alone or in hand, 0.2 to 1.0 mm.
bool canBeTripleInsulated(const Wire& wire);

// The wires the review chooses from: the standard round diameters from 0.05 to 2.0 mm alone and
// 2 to 32 in hand (every count to 10, then 12, 14, 16, 20, 24, 28 and 32), litz of 0.05 to 0.2 mm
// strands in 2 to 2000 strands, and the foils of 0.03 to 1.0 mm. The sources are in
// docs/engineering-review.md.
std::span<const Wire> wireTable();

// The standard nominal round diameters [mm], ascending.
std::span<const double> roundWireDiameters();

}  // namespace fbc
