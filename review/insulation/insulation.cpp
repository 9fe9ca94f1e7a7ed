#include "review/insulation/insulation.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace fbc {

namespace {

struct Row {
  double volts;
  double millimetres;
};

// IEC 62368-1 Table 17, pollution degree 2, material group IIIa and IIIb (the same column):
// working voltage [V RMS] and basic creepage [mm]. Transcribed from the open MKF library's
// insulation data (OpenMagnetics/MKF, MIT); IEC 60664-1 Table F.5 carries the same values.
constexpr std::array<Row, 21> kCreepagePd2Group3{{
    {10, 0.4},  {12.5, 0.42}, {16, 0.45}, {20, 0.48}, {25, 0.5},  {32, 0.53}, {40, 1.1},
    {50, 1.2},  {63, 1.25},   {80, 1.3},  {100, 1.4}, {125, 1.5}, {160, 1.6}, {200, 2.0},
    {250, 2.5}, {320, 3.2},   {400, 4.0}, {500, 5.0}, {630, 6.3}, {800, 8.0}, {1000, 10.0},
}};

// Overvoltage category II: the highest working voltage [V RMS] of each row and its transient
// [V peak] (IEC 60664-1 Table F.1).
struct TransientRow {
  double volts;
  double transient;
};
constexpr std::array<TransientRow, 4> kTransientsCategory2{{
    {150, 1500},
    {300, 2500},
    {600, 4000},
    {1000, 6000},
}};

// IEC 62368-1 Table 14, pollution degree 2: transient [V peak], basic and reinforced clearance
// [mm], as the MKF transcription gives them.
struct ClearanceRow {
  double transient;
  double basic;
  double reinforced;
};
constexpr std::array<ClearanceRow, 7> kClearancePd2{{
    {800, 0.2, 0.4},
    {1500, 0.5, 1.0},
    {2500, 1.5, 3.0},
    {4000, 3.0, 5.5},
    {6000, 5.5, 8.0},
    {8000, 8.0, 14.0},
    {12000, 14.0, 24.0},
}};

// The transients after 6000 V, for the step reinforced insulation takes.
constexpr std::array<double, 7> kTransientSteps = {800, 1500, 2500, 4000, 6000, 8000, 12000};

// The customary AC test [V RMS] of IEC 60950-1 Table 5B up to 1000 V peak working voltage.
constexpr double kHipotAcBasic = 1500.0;
constexpr double kHipotAcReinforced = 3000.0;

}  // namespace

std::string_view insulationCode(Insulation insulation) {
  switch (insulation) {
    case Insulation::Functional:
      return "functional";
    case Insulation::Basic:
      return "basic";
    case Insulation::Reinforced:
      return "reinforced";
  }
  return {};
}

std::optional<Insulation> insulationByCode(std::string_view code) {
  for (const Insulation i : {Insulation::Functional, Insulation::Basic, Insulation::Reinforced}) {
    if (insulationCode(i) == code) {
      return i;
    }
  }
  return std::nullopt;
}

std::string_view constructionCode(Construction construction) {
  return construction == Construction::Tiw ? "tiw" : "margin";
}

std::optional<Construction> constructionByCode(std::string_view code) {
  for (const Construction c : {Construction::Margin, Construction::Tiw}) {
    if (constructionCode(c) == code) {
      return c;
    }
  }
  return std::nullopt;
}

std::u16string_view insulationNameJa(Insulation insulation) {
  switch (insulation) {
    case Insulation::Functional:
      return u"機能絶縁";
    case Insulation::Basic:
      return u"基礎絶縁";
    case Insulation::Reinforced:
      return u"強化絶縁";
  }
  return {};
}

std::u16string_view constructionNameJa(Construction construction) {
  return construction == Construction::Tiw ? u"三重絶縁線" : u"マージン";
}

std::string insulationCodes(std::string_view separator, std::string_view last) {
  return std::string(insulationCode(Insulation::Functional))
      .append(separator)
      .append(insulationCode(Insulation::Basic))
      .append(last)
      .append(insulationCode(Insulation::Reinforced));
}

std::string constructionCodes(std::string_view /*separator*/, std::string_view last) {
  return std::string(constructionCode(Construction::Margin))
      .append(last)
      .append(constructionCode(Construction::Tiw));
}

double roundedUpToTenthMillimetre(double metres) {
  // A figure the table gives exactly stays as it is, whatever its binary rounding.
  const double tenths = metres * 1e4;
  return std::ceil(tenths * (1.0 - 1e-9)) * 1e-4;
}

double basicCreepage(double volts) {
  const auto& t = kCreepagePd2Group3;
  if (!(volts > t.front().volts)) {
    return t.front().millimetres * 1e-3;
  }
  if (volts >= t.back().volts) {
    return t.back().millimetres * 1e-3;
  }
  const auto above =
      std::find_if(t.begin(), t.end(), [volts](const Row& r) { return r.volts >= volts; });
  const Row& high = *above;
  const Row& low = *(above - 1);
  const double mm = low.millimetres + (volts - low.volts) / (high.volts - low.volts) *
                                          (high.millimetres - low.millimetres);
  return roundedUpToTenthMillimetre(mm * 1e-3);
}

double mainsTransient(double volts) {
  for (const TransientRow& r : kTransientsCategory2) {
    if (volts <= r.volts) {
      return r.transient;
    }
  }
  return kTransientsCategory2.back().transient;
}

double nextTransient(double transient) {
  const auto* next = std::upper_bound(kTransientSteps.begin(), kTransientSteps.end(), transient);
  return next == kTransientSteps.end() ? kTransientSteps.back() : *next;
}

double clearanceFor(Insulation insulation, double transient) {
  if (insulation == Insulation::Functional) {
    return 0.0;
  }
  const auto* row =
      std::find_if(kClearancePd2.begin(), kClearancePd2.end(),
                   [transient](const ClearanceRow& r) { return r.transient >= transient; });
  if (row == kClearancePd2.end()) {
    row = kClearancePd2.end() - 1;
  }
  return (insulation == Insulation::Reinforced ? row->reinforced : row->basic) * 1e-3;
}

Isolation isolationFor(Insulation insulation, Construction construction, double workingVoltage,
                       bool workingVoltageGiven, double bobbinBreadth) {
  Isolation iso;
  iso.insulation = insulation;
  iso.construction = construction;
  iso.workingVoltage = workingVoltage;
  iso.workingVoltageGiven = workingVoltageGiven;
  iso.transient = mainsTransient(workingVoltage);
  iso.bobbinBreadth = bobbinBreadth;
  iso.tapeLayersPS = construction == Construction::Tiw ? kTapeLayersTiw : kTapeLayersMargin;
  if (insulation != Insulation::Functional) {
    const double basic = basicCreepage(workingVoltage);
    const bool reinforced = insulation == Insulation::Reinforced;
    iso.creepage = reinforced ? 2.0 * basic : basic;
    iso.clearance = clearanceFor(insulation, iso.transient);
    iso.hipotPeak = reinforced ? nextTransient(iso.transient) : iso.transient;
    iso.hipotAC = reinforced ? kHipotAcReinforced : kHipotAcBasic;
    if (construction == Construction::Margin) {
      iso.margin = roundedUpToTenthMillimetre(0.5 * *iso.creepage);
    }
  }
  iso.windingBreadth = bobbinBreadth - 2.0 * iso.margin;
  // A bobbin of unknown breadth is not judged.
  iso.fits =
      !(bobbinBreadth > 0.0) || iso.windingBreadth >= kLeastWindingBreadthShare * bobbinBreadth;
  return iso;
}

}  // namespace fbc
