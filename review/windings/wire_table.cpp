#include "review/windings/wire_table.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <numbers>
#include <vector>

#include "platform/number_text.h"
#include "platform/text.h"

namespace fbc {

namespace {

struct RoundWireRow {
  double nominal;  // mm, bare copper
  double grade1;   // mm, largest overall diameter in grade 1
  bool r20;        // a size of the standard's main (R20) series, which the review chooses from
};

// IEC 60317-0-1 nominal diameters from 0.05 to 2.0 mm with their grade 1 largest overall
// diameters, from the open MAS wire data (OpenMagnetics/MAS, data/wires.ndjson, Apache-2.0;
// see docs/engineering-review.md and NOTICE). The intermediate sizes only refine the enamel's
// interpolation.
constexpr std::array<RoundWireRow, 57> kRoundWires{{
    {0.05, 0.06, true},    {0.053, 0.064, false}, {0.056, 0.067, true},  {0.06, 0.072, false},
    {0.063, 0.076, true},  {0.067, 0.08, false},  {0.07, 0.083, false},  {0.071, 0.084, true},
    {0.075, 0.089, false}, {0.08, 0.094, true},   {0.085, 0.1, false},   {0.09, 0.105, true},
    {0.095, 0.111, false}, {0.1, 0.117, true},    {0.106, 0.123, false}, {0.11, 0.128, false},
    {0.112, 0.13, true},   {0.118, 0.136, false}, {0.12, 0.138, false},  {0.125, 0.144, true},
    {0.13, 0.15, false},   {0.132, 0.152, false}, {0.14, 0.16, true},    {0.15, 0.171, false},
    {0.16, 0.182, true},   {0.17, 0.194, false},  {0.18, 0.204, true},   {0.19, 0.216, false},
    {0.2, 0.226, true},    {0.212, 0.24, false},  {0.224, 0.252, true},  {0.236, 0.267, false},
    {0.25, 0.281, true},   {0.265, 0.297, false}, {0.28, 0.312, true},   {0.3, 0.334, false},
    {0.315, 0.349, true},  {0.335, 0.372, false}, {0.355, 0.392, true},  {0.375, 0.414, false},
    {0.4, 0.439, true},    {0.425, 0.466, false}, {0.45, 0.491, true},   {0.475, 0.519, false},
    {0.5, 0.544, true},    {0.56, 0.606, true},   {0.63, 0.679, true},   {0.71, 0.762, true},
    {0.8, 0.855, true},    {0.9, 0.959, true},    {1.0, 1.062, true},    {1.12, 1.184, true},
    {1.25, 1.316, true},   {1.4, 1.468, true},    {1.6, 1.67, true},     {1.8, 1.872, true},
    {2.0, 2.074, true},
}};

constexpr std::array<double, 11> kFoilThicknesses = {0.03, 0.05, 0.08, 0.1, 0.15, 0.2,
                                                     0.3,  0.4,  0.5,  0.7, 1.0};

// Litz strands and counts the table offers: the standard diameters from 0.05 to 0.2 mm, and
// counts in steps a maker's catalogue would list.
constexpr double kLitzStrandMin = 0.05;
constexpr double kLitzStrandMax = 0.2;
constexpr std::array<int, 34> kLitzCounts = {
    2,  3,  4,   5,   6,   7,   8,   10,  12,  14,  16,  20,  25,  30,   40,   50,   60,
    75, 90, 105, 120, 150, 180, 200, 250, 300, 400, 500, 600, 800, 1000, 1250, 1600, 2000};
// Wires in hand: every count to 10, then the steps a winding shop would take up to 32.
constexpr std::array<int, 16> kStrandsInHandCounts = {2,  3,  4,  5,  6,  7,  8,  9,
                                                      10, 12, 14, 16, 20, 24, 28, 32};
constexpr double kRoundTableMax = 2.0;

std::vector<Wire> buildTable() {
  std::vector<Wire> table;
  for (const double d : roundWireDiameters()) {
    table.push_back({WireKind::Round, d, 1});
  }
  for (const double d : roundWireDiameters()) {
    for (const int s : kStrandsInHandCounts) {
      table.push_back({WireKind::Strands, d, s});
    }
  }
  for (const double d : roundWireDiameters()) {
    if (d >= kLitzStrandMin && d <= kLitzStrandMax) {
      for (const int n : kLitzCounts) {
        table.push_back({WireKind::Litz, d, n});
      }
    }
  }
  for (const double t : kFoilThicknesses) {
    table.push_back({WireKind::Foil, t, 1});
  }
  return table;
}

std::string trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) {
    text.remove_prefix(1);
  }
  while (!text.empty() && blank(text.back())) {
    text.remove_suffix(1);
  }
  return std::string(text);
}

std::string lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

std::optional<WireKind> kindByCode(std::string_view code) {
  for (const WireKind kind : {WireKind::Round, WireKind::Strands, WireKind::Litz, WireKind::Foil}) {
    if (wireKindCode(kind) == code) {
      return kind;
    }
  }
  return std::nullopt;
}

int countLimit(WireKind kind) {
  return kind == WireKind::Litz ? kLitzStrandsMax : kStrandsInHandMax;
}

std::string mm(double value) { return shortestRoundTrip(value); }

}  // namespace

std::string_view wireKindCode(WireKind kind) {
  switch (kind) {
    case WireKind::Round:
      return "round";
    case WireKind::Strands:
      return "strands";
    case WireKind::Litz:
      return "litz";
    case WireKind::Foil:
      return "foil";
  }
  return "";
}

std::string wireText(const Wire& wire) {
  std::string text(wireKindCode(wire.kind));
  text += ':';
  text += mm(wire.diameter);
  if (wire.kind == WireKind::Strands || wire.kind == WireKind::Litz) {
    text += 'x';
    text += std::to_string(wire.strands);
  }
  return text;
}

WireReading readWire(std::string_view text) {
  WireReading reading;
  const std::string whole = trimmed(text);
  if (whole.empty()) {
    reading.problem = WireTextProblem{WireTextFault::Empty, whole};
    return reading;
  }
  WireKind kind = WireKind::Round;
  std::string rest = whole;
  if (const std::size_t colon = whole.find(':'); colon != std::string::npos) {
    const std::string code = lower(trimmed(std::string_view(whole).substr(0, colon)));
    const std::optional<WireKind> found = kindByCode(code);
    if (!found) {
      reading.problem = WireTextProblem{WireTextFault::UnknownKind, code};
      return reading;
    }
    kind = *found;
    rest = trimmed(std::string_view(whole).substr(colon + 1));
  }
  const bool counted = kind == WireKind::Strands || kind == WireKind::Litz;
  std::string diameterText = rest;
  std::string countText;
  if (const std::size_t times = lower(rest).find('x'); times != std::string::npos) {
    diameterText = trimmed(std::string_view(rest).substr(0, times));
    countText = trimmed(std::string_view(rest).substr(times + 1));
    if (!counted) {
      reading.problem = WireTextProblem{WireTextFault::CountNotAllowed, countText, kind};
      return reading;
    }
  } else if (counted) {
    reading.problem = WireTextProblem{WireTextFault::CountMissing, rest, kind};
    return reading;
  }
  const ParsedDouble diameter = parseDouble(fromUtf8(diameterText));
  if (diameter.status == ParseStatus::NotANumber) {
    reading.problem = WireTextProblem{WireTextFault::DiameterNotANumber, diameterText, kind};
    return reading;
  }
  if (diameter.status == ParseStatus::OutOfRange || !(diameter.value >= kWireDiameterMin) ||
      !(diameter.value <= kWireDiameterMax)) {
    reading.problem = WireTextProblem{WireTextFault::DiameterOutOfRange, diameterText, kind};
    return reading;
  }
  int count = 1;
  if (counted) {
    // Read as the diameter is (full-width digits, a sign, "1e3"): a fraction is no count at all,
    // a whole number outside the range is one out of range.
    const ParsedDouble asNumber = parseDouble(fromUtf8(countText));
    const bool wholeCount = asNumber.status == ParseStatus::Ok && std::isfinite(asNumber.value) &&
                            std::floor(asNumber.value) == asNumber.value;
    if (!wholeCount && asNumber.status != ParseStatus::OutOfRange) {
      reading.problem = WireTextProblem{WireTextFault::CountNotANumber, countText, kind};
      return reading;
    }
    if (!wholeCount || asNumber.value < 2.0 || asNumber.value > countLimit(kind)) {
      reading.problem = WireTextProblem{WireTextFault::CountOutOfRange, countText, kind};
      return reading;
    }
    count = static_cast<int>(asNumber.value);
  }
  reading.wire = Wire{kind, diameter.value, count};
  return reading;
}

std::string wireTextFaultText(const WireTextProblem& p) {
  const std::string quoted = "'" + p.part + "'";
  const std::string what = p.kind == WireKind::Foil ? "foil thickness " : "diameter ";
  const std::string range =
      " must lie between " + mm(kWireDiameterMin) + " and " + mm(kWireDiameterMax) + " mm";
  switch (p.fault) {
    case WireTextFault::Empty:
      return "no wire given";
    case WireTextFault::UnknownKind:
      return "wire kind " + quoted + " is not round, strands, litz or foil";
    case WireTextFault::DiameterNotANumber:
      return what + quoted + " is not a number";
    case WireTextFault::DiameterOutOfRange:
      return what + quoted + range;
    case WireTextFault::CountMissing:
      return std::string(wireKindCode(p.kind)) +
             " needs a strand count: " + std::string(wireKindCode(p.kind)) + ":DIAMETERxCOUNT";
    case WireTextFault::CountNotANumber:
      return "strand count " + quoted + " is not a whole number";
    case WireTextFault::CountOutOfRange:
      return "strand count " + quoted + " must lie between 2 and " +
             std::to_string(countLimit(p.kind));
    case WireTextFault::CountNotAllowed:
      return std::string(wireKindCode(p.kind)) + " takes no strand count (" + quoted + ")";
  }
  return {};
}

std::u16string wireTextFaultTextJa(const WireTextProblem& p) {
  // Appended rather than summed: GCC 12 at -O3 takes "「" + text for overlapping copies
  // (-Wrestrict), which fails the build with warnings as errors.
  std::u16string part = u"「";
  part += fromUtf8(p.part);
  part += u"」";
  switch (p.fault) {
    case WireTextFault::Empty:
      return u"線材を入力してください。";
    case WireTextFault::UnknownKind:
      return u"線種" + part + u"は round、strands、litz、foil のいずれでもありません。";
    case WireTextFault::DiameterNotANumber:
      return u"径" + part + u"が数値ではありません。";
    case WireTextFault::DiameterOutOfRange:
      return u"径" + part + u"は" + fromUtf8(mm(kWireDiameterMin)) + u"から" +
             fromUtf8(mm(kWireDiameterMax)) + u" mmの範囲で入力してください。";
    case WireTextFault::CountMissing:
      return fromUtf8(std::string(wireKindCode(p.kind))) + u"には本数が要ります(例 " +
             fromUtf8(std::string(wireKindCode(p.kind))) + u":0.1x50)。";
    case WireTextFault::CountNotANumber:
      return u"本数" + part + u"が整数ではありません。";
    case WireTextFault::CountOutOfRange:
      return u"本数" + part + u"は2から" + fromUtf8(std::to_string(countLimit(p.kind))) +
             u"の範囲で入力してください。";
    case WireTextFault::CountNotAllowed:
      return fromUtf8(std::string(wireKindCode(p.kind))) + u"に本数は指定できません。";
  }
  return {};
}

double roundWireOuterDiameter(double bare) {
  const RoundWireRow& first = kRoundWires.front();
  const RoundWireRow& last = kRoundWires.back();
  if (bare <= first.nominal) {
    return bare + (first.grade1 - first.nominal) * bare / first.nominal;
  }
  if (bare >= last.nominal) {
    return bare + (last.grade1 - last.nominal);
  }
  const auto above =
      std::lower_bound(kRoundWires.begin(), kRoundWires.end(), bare,
                       [](const RoundWireRow& row, double value) { return row.nominal < value; });
  const RoundWireRow& hi = *above;
  if (hi.nominal == bare) {
    return hi.grade1;
  }
  const RoundWireRow& lo = *(above - 1);
  const double share = (bare - lo.nominal) / (hi.nominal - lo.nominal);
  const double enamel =
      (lo.grade1 - lo.nominal) + share * ((hi.grade1 - hi.nominal) - (lo.grade1 - lo.nominal));
  return bare + enamel;
}

double litzPackingFactor(int strands) {
  if (strands <= 2) {
    return std::numbers::sqrt2;
  }
  if (strands < 12) {
    return 1.25;
  }
  if (strands < 16) {
    return 1.26;
  }
  if (strands < 20) {
    return 1.27;
  }
  return 1.28;
}

double litzResistanceFactor(int strands) {
  if (strands <= 60) {
    return 1.02;
  }
  return strands <= 300 ? 1.04 : 1.06;
}

bool canBeTripleInsulated(const Wire& wire) {
  return (wire.kind == WireKind::Round || wire.kind == WireKind::Strands) &&
         wire.diameter >= kTripleInsulatedMin && wire.diameter <= kTripleInsulatedMax;
}

WireSection wireSection(const Wire& wire, double breadth, bool tripleInsulated) {
  WireSection s;
  const double d = wire.diameter * 1e-3;
  const double strands = wire.strands;
  const double outer = tripleInsulated ? (wire.diameter + kTripleInsulation) * 1e-3
                                       : roundWireOuterDiameter(wire.diameter) * 1e-3;
  s.conductor = d;
  switch (wire.kind) {
    case WireKind::Round:
      s.width = outer;
      s.copperArea = std::numbers::pi / 4.0 * d * d;
      break;
    case WireKind::Strands:
      // Wires in hand pack into a round bundle at 70 % of its area.
      s.width = outer * std::sqrt(strands / 0.7);
      s.copperArea = strands * std::numbers::pi / 4.0 * d * d;
      s.conductorsAcross = std::sqrt(strands);
      break;
    case WireKind::Litz:
      s.width = litzPackingFactor(wire.strands) * std::sqrt(strands) *
                roundWireOuterDiameter(wire.diameter) * 1e-3;
      s.copperArea = strands * std::numbers::pi / 4.0 * d * d;
      s.resistanceFactor = litzResistanceFactor(wire.strands);
      s.conductorsAcross = std::sqrt(strands);
      break;
    case WireKind::Foil:
      s.width = breadth;
      s.height = d + kFoilFilm * 1e-3;
      s.copperArea = d * breadth;
      s.foil = true;
      return s;
  }
  s.height = s.width;
  return s;
}

std::span<const Wire> wireTable() {
  static const std::vector<Wire> table = buildTable();
  return table;
}

std::span<const double> roundWireDiameters() {
  static const std::vector<double> diameters = [] {
    std::vector<double> list;
    for (const RoundWireRow& row : kRoundWires) {
      if (row.r20 && row.nominal <= kRoundTableMax) {
        list.push_back(row.nominal);
      }
    }
    return list;
  }();
  return diameters;
}

}  // namespace fbc
