#include "cli/report.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "cli/isolation_report.h"
#include "cli/json_writer.h"
#include "cli/options.h"
#include "cli/review_report.h"
#include "design/design_inputs.h"
#include "design/design_state_members.h"
#include "platform/number_text.h"
#include "platform/text.h"
#include "review/review_display.h"
#include "review/review_inputs.h"

namespace fbc {

namespace {

constexpr std::u16string_view kMicrohenrySuffix = u"[uH]";

std::string utf8(std::u16string_view text) { return toUtf8(text); }

// The window's number text for a 32-bit value (at most 7 significant digits).
std::string number(float value) { return utf8(generalText(value)); }

// The primary inductance in µH exactly as lblLp shows it, without its unit suffix.
std::string microhenries(const ResultTexts& texts) {
  std::u16string_view text = texts.lblLp;
  if (text.ends_with(kMicrohenrySuffix)) {
    text.remove_suffix(kMicrohenrySuffix.size());
  }
  return utf8(text);
}

// Terminal columns of a text with no double-width characters: one per code point.
std::size_t columns(std::string_view utf8Text) {
  return static_cast<std::size_t>(std::count_if(utf8Text.begin(), utf8Text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

void writeLine(std::ostream& out, std::string_view caption, const std::string& value,
               std::string_view unit = {}) {
  constexpr std::size_t kCaptionColumns = 30;
  out << "  " << caption;
  for (std::size_t c = columns(caption); c < kCaptionColumns; ++c) {
    out << ' ';
  }
  out << value;
  if (!unit.empty()) {
    out << ' ' << unit;
  }
  out << '\n';
}

void writeState(JsonWriter& json, const DesignState& state) {
  json.beginObject();
  for (std::size_t i = 0; i < kStateMembers.size(); ++i) {
    if (i == kStateMembersBeforeCore) {
      json.key("CoreSel");
      json.value(std::u16string_view(state.CoreSel));
    }
    json.key(kStateMembers[i].name);
    json.value(state.*kStateMembers[i].member);
  }
  json.endObject();
}

void writeLabels(JsonWriter& json, const ResultTexts& texts) {
  const std::array<std::pair<const char*, const std::u16string*>, 6> labels{{
      {"lblCuondo", &texts.lblCuondo},
      {"lblinfo", &texts.lblinfo},
      {"lbltest", &texts.lbltest},
      {"lblIin", &texts.lblIin},
      {"lblNt", &texts.lblNt},
      {"lblLp", &texts.lblLp},
  }};
  json.beginObject();
  for (const auto& [name, text] : labels) {
    json.key(name);
    json.value(std::u16string_view(*text));
  }
  json.endObject();
}

void writeScales(JsonWriter& json, const std::optional<WaveformScales>& scales) {
  if (!scales) {
    json.null();
    return;
  }
  json.beginObject();
  const std::array<std::pair<const char*, float>, 3> peaks{{
      {"VdsPeak", scales->VdsPeak},
      {"Vrev", scales->Vrev},
      {"IdPeak", scales->IdPeak},
  }};
  for (const auto& [name, value] : peaks) {
    json.key(name);
    json.value(value);
  }
  const std::array<std::pair<const char*, double>, 4> fullScales{{
      {"fullScaleVsw", scales->fullScaleVsw},
      {"fullScaleIsw", scales->fullScaleIsw},
      {"fullScaleVd", scales->fullScaleVd},
      {"fullScaleId", scales->fullScaleId},
  }};
  for (const auto& [name, value] : fullScales) {
    json.key(name);
    json.value(value);
  }
  const std::array<std::pair<const char*, const std::u16string*>, 3> captions{{
      {"lblpic1_1", &scales->lblpic1_1},
      {"lbldiv1", &scales->lbldiv1},
      {"lbldiv2", &scales->lbldiv2},
  }};
  for (const auto& [name, text] : captions) {
    json.key(name);
    json.value(std::u16string_view(*text));
  }
  json.endObject();
}

void writeInputs(JsonWriter& json, const DesignInputs& inputs) {
  json.beginObject();
  for (DesignInput input : kInputPresentationOrder) {
    json.key(inputInfo(input)->key);
    json.value(std::u16string_view(*inputText(inputs, input)));
  }
  json.key("level");
  json.value(levelName(inputs.level));
  json.endObject();
}

}  // namespace

void writeTextReport(std::ostream& out, const DesignReport& report) {
  const DesignInputs& in = report.inputs;
  const DesignState& state = report.state;
  const ResultTexts& texts = report.texts;

  out << "Inputs\n";
  for (DesignInput input : kInputPresentationOrder) {
    const InputInfo& info = *inputInfo(input);
    writeLine(out, info.description, utf8(*inputText(in, input)), info.unit);
  }
  writeLine(out, "Core temperature level",
            std::string(levelName(in.level)) + " (" + utf8(levelCaption(in.level)) + ")");

  out << "\nDesign\n";
  writeLine(out, "Secondary turns Ns", number(state.Ns), "turns");
  writeLine(out, "Primary turns Np", number(state.Np), "turns");
  writeLine(out, "Turns ratio Ns/Np", utf8(texts.lblNt) + "  (Nt " + number(state.Nt) + ")");
  writeLine(out, "Primary inductance Lp", microhenries(texts), "µH");
  writeLine(out, "Inductance factor AL", number(state.AL), "H/turn²");
  writeLine(out, "Flux-density swing dB", number(state.dB), "T");
  writeLine(out, "Current density Im", number(state.Im), "A/mm²");
  writeLine(out, "Input current Iin", number(state.Iin), "A");
  writeLine(out, "Copper temperature", utf8(texts.lblCuondo));

  out << "\nLabels\n";
  writeLine(out, "lblCuondo", utf8(texts.lblCuondo));
  writeLine(out, "lblinfo", utf8(texts.lblinfo));
  writeLine(out, "lbltest", utf8(texts.lbltest));
  writeLine(out, "lblIin", utf8(texts.lblIin));
  writeLine(out, "lblNt", utf8(texts.lblNt));
  writeLine(out, "lblLp", utf8(texts.lblLp));
  if (report.scales) {
    writeLine(out, "lblpic1_1", utf8(report.scales->lblpic1_1));
    writeLine(out, "lbldiv1", utf8(report.scales->lbldiv1));
    writeLine(out, "lbldiv2", utf8(report.scales->lbldiv2));
  }
  writeInputText(out, report.supply);
  if (report.review) {
    writeReviewText(out, *report.review);
    writeOutputsText(out, *report.review);
    writeIsolationText(out, *report.review);
    if (report.review->valid) {
      writeLossesText(out, report.review->losses, report.conditions.maxTemperature);
      writeStressText(out, report.review->stress, report.review->mode);
    }
  }
}

void writeReportMembers(JsonWriter& json, const DesignReport& report) {
  json.key("inputs");
  writeInputs(json, report.inputs);
  json.key("state");
  writeState(json, report.state);
  json.key("labels");
  writeLabels(json, report.texts);
  json.key("scales");
  writeScales(json, report.scales);
  const DesignReview* review = report.review ? &*report.review : nullptr;
  json.key("review");
  writeReviewJson(json, review);
  json.key("losses");
  writeLossesJson(json, review);
  json.key("stress");
  writeStressJson(json, review);
  json.key("input");
  writeInputJson(json, report.supply);
  json.key("outputs");
  writeOutputsJson(json, review);
  json.key("bias");
  writeBiasJson(json, review);
  json.key("isolation");
  writeIsolationJson(json, review);
}

void writeJsonReport(std::ostream& out, const DesignReport& report, const Simulation* simulation) {
  JsonWriter json(out);
  json.beginObject();
  writeReportMembers(json, report);
  if (simulation != nullptr) {
    json.key("simulation");
    writeSimulationJson(json, *simulation);
  }
  json.endObject();
  json.finish();
}

namespace {

void writeExplainedStep(std::ostream& out, const ExplainedStep& step) {
  out << std::string(step.step.size() < 2 ? 2 - step.step.size() : 0, ' ') << step.step << "  "
      << step.quantity << " = ";
  if (!step.formula.empty()) {
    out << step.formula << " = ";
  }
  // A value read as typed, or a formula of constants, needs no second form.
  if (step.operands != step.formula && step.operands != step.result) {
    out << step.operands << " = ";
  }
  out << step.result;
  if (!step.unit.empty()) {
    out << ' ' << step.unit;
  }
  if (!step.note.empty()) {
    out << " (" << step.note << ')';
  }
  out << '\n';
}

}  // namespace

void writeExplanation(std::ostream& out, const DesignExplanation& explanation) {
  out << "Calculation: each step in 64 bits, its result stored as a 32-bit float\n";
  for (const ExplainedStep& step : explanation.steps) {
    writeExplainedStep(out, step);
  }
  out << "\nEngineering review: in 64 bits from the stored values, with whole turns\n";
  for (const ExplainedStep& step : explanation.review) {
    writeExplainedStep(out, step);
  }
  out << "  " << explanation.reviewNote << '\n';
  if (!explanation.lossNote.empty()) {
    out << "\nLosses and temperature rise: " << explanation.lossNote << '\n';
    for (const ExplainedStep& step : explanation.losses) {
      writeExplainedStep(out, step);
    }
  }
  if (!explanation.stressNote.empty()) {
    out << "\nSwitch, clamp and output diode: " << explanation.stressNote << '\n';
    for (const ExplainedStep& step : explanation.stress) {
      writeExplainedStep(out, step);
    }
  }
  if (!explanation.isolationNote.empty()) {
    out << "\nInsulation: " << explanation.isolationNote << '\n';
    for (const ExplainedStep& step : explanation.isolation) {
      writeExplainedStep(out, step);
    }
  }
}

namespace {

enum class Align { Left, Right };

struct SweepColumn {
  std::string_view heading;
  Align align;
};

constexpr std::array<SweepColumn, 14> kSweepColumns{{
    {"Core", Align::Left},
    {"Ns", Align::Right},
    {"Np", Align::Right},
    {"Ns/Np", Align::Right},
    {"Lp[µH]", Align::Right},
    {"dB[T]", Align::Right},
    {"Im[A/mm²]", Align::Right},
    // The engineering review: whole turns, the air gap, whether it can be built, the losses
    // with the core's temperature they lead to, and the switch's peak voltage with the clamp's
    // loss.
    {"Np:Ns", Align::Right},
    {"Buildable", Align::Left},
    {"Gap[mm]", Align::Right},
    {"Ptotal[W]", Align::Right},
    {"Tcore[°C]", Align::Right},
    {"VdsMax[V]", Align::Right},
    {"Pclamp[W]", Align::Right},
}};

using SweepCells = std::array<std::string, kSweepColumns.size()>;

// A review number as the review shows it, or "-" where there is none.
std::string reviewCell(std::string_view name, std::optional<double> value) {
  return value ? reviewValueText(*reviewDisplay(name), *value) : "-";
}

// A figure of the losses, "—" where no temperature is known: the windings do not fit the bobbin
// or run away.
std::string laidOutCell(std::string_view name, const TransformerLosses* losses, double value) {
  if (losses != nullptr && !losses->temperatureKnown()) {
    return "—";
  }
  return reviewCell(name, losses != nullptr ? std::optional(value) : std::nullopt);
}

SweepCells sweepCells(const DesignReport& row) {
  const DesignReview* review = row.review && row.review->valid ? &*row.review : nullptr;
  const TransformerLosses* losses =
      review != nullptr && review->losses.valid ? &review->losses : nullptr;
  const SwitchStress* stress =
      review != nullptr && review->stress.valid ? &review->stress : nullptr;
  return {
      utf8(row.inputs.core),
      number(row.state.Ns),
      number(row.state.Np),
      utf8(row.texts.lblNt),
      microhenries(row.texts),
      number(row.state.dB),
      number(row.state.Im),
      review != nullptr ? std::to_string(review->Np) + ":" + std::to_string(review->Ns) : "-",
      review != nullptr ? (review->feasible ? "yes" : "no") : "-",
      reviewCell("gap", review != nullptr ? std::optional(review->gap) : std::nullopt),
      laidOutCell("Ptotal", losses, losses != nullptr ? losses->Ptotal : 0.0),
      laidOutCell("Tcore", losses, losses != nullptr ? losses->Tcore : 0.0),
      reviewCell("VdsMax", stress != nullptr ? std::optional(stress->VdsMax) : std::nullopt),
      stress != nullptr && !stress->leakageKnown
          ? std::string("—")
          : reviewCell("Pclamp", stress != nullptr ? std::optional(stress->Pclamp) : std::nullopt),
  };
}

}  // namespace

void writeSweepTable(std::ostream& out, const std::vector<DesignReport>& rows) {
  std::vector<SweepCells> cells;
  cells.reserve(rows.size());
  std::array<std::size_t, kSweepColumns.size()> widths{};
  for (std::size_t c = 0; c < kSweepColumns.size(); ++c) {
    widths[c] = columns(kSweepColumns[c].heading);
  }
  for (const DesignReport& row : rows) {
    cells.push_back(sweepCells(row));
    for (std::size_t c = 0; c < kSweepColumns.size(); ++c) {
      widths[c] = std::max(widths[c], columns(cells.back()[c]));
    }
  }
  const auto writeCell = [&out, &widths](std::string_view text, std::size_t c) {
    const std::string padding(widths[c] - columns(text), ' ');
    if (kSweepColumns[c].align == Align::Left) {
      out << text << padding << "  ";
    } else {
      out << padding << text << "  ";
    }
  };

  for (std::size_t c = 0; c < kSweepColumns.size(); ++c) {
    writeCell(kSweepColumns[c].heading, c);
  }
  // The verdict goes last and unpadded: its Japanese characters are double-width.
  out << "Verdict\n";
  for (std::size_t r = 0; r < rows.size(); ++r) {
    for (std::size_t c = 0; c < kSweepColumns.size(); ++c) {
      writeCell(cells[r][c], c);
    }
    out << utf8(rows[r].texts.lblCuondo) << '\n';
  }
}

void writeSweepJson(std::ostream& out, const std::vector<DesignReport>& rows) {
  JsonWriter json(out);
  json.beginArray();
  for (const DesignReport& row : rows) {
    json.beginObject();
    json.key("core");
    json.value(std::u16string_view(row.inputs.core));
    const std::array<std::pair<const char*, float>, 6> figures{{
        {"Ns", row.state.Ns},
        {"Np", row.state.Np},
        {"Nt", row.state.Nt},
        {"Lp", row.state.Lp},
        {"dB", row.state.dB},
        {"Im", row.state.Im},
    }};
    for (const auto& [name, value] : figures) {
      json.key(name);
      json.value(value);
    }
    json.key("lblNt");
    json.value(std::u16string_view(row.texts.lblNt));
    json.key("lblLp");
    json.value(std::u16string_view(row.texts.lblLp));
    json.key("lblCuondo");
    json.value(std::u16string_view(row.texts.lblCuondo));
    // The review's whole turns, gap and feasibility (null when it could not be made).
    json.key("review");
    if (row.review && row.review->valid) {
      json.beginObject();
      json.key("Np");
      json.value(row.review->Np);
      json.key("Ns");
      json.value(row.review->Ns);
      json.key("gap");
      json.value(row.review->gap);
      json.key("feasible");
      json.boolean(row.review->feasible);
      // The losses' total and the core's temperature, null where they were not worked out.
      const TransformerLosses& losses = row.review->losses;
      for (const auto& [name, value] :
           {std::pair{"Ptotal", losses.Ptotal}, std::pair{"Tcore", losses.Tcore}}) {
        json.key(name);
        if (losses.valid && losses.temperatureKnown()) {
          json.value(value);
        } else {
          json.null();
        }
      }
      json.endObject();
    } else {
      json.null();
    }
    json.key("stress");
    writeStressJson(json, row.review ? &*row.review : nullptr);
    json.endObject();
  }
  json.endArray();
  json.finish();
}

}  // namespace fbc
