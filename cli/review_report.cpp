#include "cli/review_report.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/number_text.h"
#include "platform/text.h"
#include "review/review_display.h"

namespace fbc {

namespace {

// What stands for a figure a layout that does not fit cannot give.
constexpr std::string_view kNotEstimated = "—";

// Terminal columns of a text with no double-width characters: one per code point.
std::size_t columns(std::string_view utf8Text) {
  return static_cast<std::size_t>(std::count_if(utf8Text.begin(), utf8Text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

// The text padded to `width` columns, and a blank at least, so that a long caption never runs
// into its value.
std::string padded(std::string_view text, std::size_t width) {
  std::string cell(text);
  for (std::size_t c = columns(text); c < width; ++c) {
    cell += ' ';
  }
  if (columns(text) >= width) {
    cell += ' ';
  }
  return cell;
}

std::string shownValue(std::string_view name, double value) {
  const ReviewDisplay* d = reviewDisplay(name);
  return d != nullptr ? reviewValueText(*d, value) : shortestRoundTrip(value);
}

// One line of a section: "  caption  value unit", the caption padded to `captionColumns`.
void writeSectionLine(std::ostream& out, std::string_view caption, std::size_t captionColumns,
                      std::string_view value, std::string_view unit) {
  out << "  " << padded(caption, captionColumns) << value;
  if (!unit.empty()) {
    out << ' ' << unit;
  }
  out << '\n';
}

// A quantity's caption in the text report: "Primary peak current Ipk", or the bare name where
// it has no display.
std::string quantityCaption(std::string_view name) {
  const ReviewDisplay* d = reviewDisplay(name);
  return d != nullptr ? std::string(d->description) + " " + std::string(name) : std::string(name);
}

// A loss quantity's line, captioned and shown as reviewDisplay says; `note` follows the unit.
void writeLossLine(std::ostream& out, const LossQuantity& q, std::string_view note = {}) {
  constexpr std::size_t kCaptionColumns = 44;
  const ReviewDisplay* d = reviewDisplay(q.name);
  const std::string caption = quantityCaption(q.name);
  if (!q.value) {
    writeSectionLine(out, caption, kCaptionColumns, kNotEstimated, {});
    return;
  }
  std::string unit(d != nullptr ? d->unit : q.unit);
  unit += note;
  writeSectionLine(out, caption, kCaptionColumns, shownValue(q.name, *q.value), unit);
}

// A value with its shown unit: "3900 Ω".
std::string shownWithUnit(std::string_view name, double value) {
  std::string text = shownValue(name, value);
  const ReviewDisplay* d = reviewDisplay(name);
  if (d != nullptr && !d->unit.empty()) {
    text += ' ';
    text += d->unit;
  }
  return text;
}

// What a reader should know beside a stress number.
std::string stressNote(const SwitchStress& stress, std::string_view name) {
  if (name == "Llk") {
    return stress.LlkEstimated ? " (estimated from the winding layout)" : " (measured)";
  }
  if (name == "VdsRating") {
    return " (" + shownWithUnit("VdsMax", kSwitchDerating * stress.VdsRating) + " allowed, " +
           shortestRoundTrip(kSwitchDerating * 100.0) + " %)";
  }
  return {};
}

// The clamp's resistor with its power rating and its capacitor, in the values sold.
std::string clampParts(const SwitchStress& stress) {
  if (!stress.leakageKnown) {
    return std::string(kNotEstimated);
  }
  if (!stress.clampNeeded()) {
    return "none needed: no leakage to clamp";
  }
  return shownWithUnit("RclampE24", stress.RclampE24) + " (E24), " +
         shownWithUnit("PratingR", stress.PratingR) + "; " +
         shownWithUnit("CclampE12", stress.CclampE12) + " (E12)";
}

std::string flagCodes(const DesignReview& review) {
  std::string codes;
  for (ReviewFlag flag : review.flags) {
    // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on "literal" + std::string.
    if (!codes.empty()) {
      codes += ' ';
    }
    codes += reviewFlagCode(flag);
  }
  return codes.empty() ? "-" : codes;
}

}  // namespace

void writeReviewMembers(JsonWriter& json, const DesignReview& review) {
  for (const ReviewQuantity& q : reviewQuantities(review)) {
    json.key(q.name);
    if (q.whole) {
      json.value(static_cast<int>(q.value));
    } else {
      json.value(q.value);
    }
  }
  json.key("flags");
  json.beginArray();
  for (ReviewFlag flag : review.flags) {
    json.value(reviewFlagCode(flag));
  }
  json.endArray();
  json.key("feasible");
  json.boolean(review.feasible);
  json.key("mode");
  json.value(driveModeCode(review.mode));
  for (const ModeQuantity& q : modeQuantities(review.operation.figures)) {
    json.key(q.name);
    if (q.value) {
      json.value(*q.value);
    } else {
      json.null();
    }
  }
  json.key("IsPkWinding");
  json.value(review.IsPkWinding);
  json.key("IsRmsWinding");
  json.value(review.IsRmsWinding);
}

void writeReviewJson(JsonWriter& json, const DesignReview* review) {
  if (review == nullptr || !review->valid) {
    json.null();
    return;
  }
  json.beginObject();
  writeReviewMembers(json, *review);
  json.endObject();
}

namespace {

// One winding as wound, in SI units; its AC factor and loss are null where no temperature is
// known: the windings do not fit the bobbin or run away.
void writeWindingMembers(JsonWriter& json, const WindingLoss& w, bool fits) {
  json.key("name");
  json.value(windingName(w.winding));
  json.key("turns");
  json.value(w.turns);
  json.key("wire");
  json.value(wireText(w.wire));
  json.key("kind");
  json.value(wireKindCode(w.wire.kind));
  json.key("conductorDiameter");
  json.value(w.section.conductor);
  json.key("strands");
  json.value(w.wire.strands);
  json.key("outerDiameter");
  json.value(w.layout.outerDiameter);
  json.key("copperArea");
  json.value(w.section.copperArea);
  json.key("turnsPerLayer");
  json.value(w.layout.turnsPerLayer);
  json.key("layers");
  json.value(w.layout.layers);
  json.key("build");
  json.value(w.layout.build);
  json.key("Irms");
  json.value(w.Irms);
  json.key("currentDensity");
  json.value(w.currentDensity);
  json.key("Rdc");
  json.value(w.Rdc);
  json.key("Fr");
  json.value(fits ? std::optional<double>(w.Fr) : std::nullopt);
  json.key("Pcu");
  json.value(fits ? std::optional<double>(w.Pcu) : std::nullopt);
  json.key("wireChosen");
  json.boolean(w.wireChosen);
}

}  // namespace

void writeLossesMembers(JsonWriter& json, const TransformerLosses& losses) {
  json.key("material");
  json.value(losses.material);
  for (const LossQuantity& q : lossQuantities(losses)) {
    json.key(q.name);
    if (!q.value) {
      json.null();
      continue;
    }
    switch (q.kind) {
      case LossQuantity::Kind::Whole:
        json.value(static_cast<int>(*q.value));
        break;
      case LossQuantity::Kind::Boolean:
        json.boolean(*q.value != 0.0);
        break;
      case LossQuantity::Kind::Number:
        json.value(*q.value);
        break;
    }
  }
  json.key("arrangement");
  json.value(windingArrangementCode(losses.arrangement));
  json.key("lossesAt");
  json.value(lossPointCode(losses.lossesAt));
  json.key("windings");
  json.beginArray();
  for (const WindingLoss& w : losses.windings) {
    json.beginObject();
    writeWindingMembers(json, w, losses.temperatureKnown());
    json.endObject();
  }
  json.endArray();
}

void writeLossesJson(JsonWriter& json, const DesignReview* review) {
  if (review == nullptr || !review->valid || !review->losses.valid) {
    json.null();
    return;
  }
  json.beginObject();
  writeLossesMembers(json, review->losses);
  json.endObject();
}

void writeStressMembers(JsonWriter& json, const SwitchStress& stress) {
  for (const StressQuantity& q : stressQuantities(stress)) {
    json.key(q.name);
    if (!q.value) {
      json.null();
    } else if (q.boolean) {
      json.boolean(*q.value != 0.0);
    } else {
      json.value(*q.value);
    }
  }
}

void writeStressJson(JsonWriter& json, const DesignReview* review) {
  if (review == nullptr || !review->valid || !review->stress.valid) {
    json.null();
    return;
  }
  json.beginObject();
  writeStressMembers(json, review->stress);
  json.endObject();
}

namespace {

// The default mode's report stays as it always was; another mode says which it is and gives its
// own figures.
void writeModeText(std::ostream& out, const DesignReview& review, std::size_t captionColumns) {
  if (review.mode == DriveMode::PwmCritical) {
    return;
  }
  writeSectionLine(out, "Drive mode", captionColumns, driveModeCode(review.mode), {});
  for (const ModeQuantity& q : modeQuantities(review.operation.figures)) {
    if (q.value) {
      const ReviewDisplay* d = reviewDisplay(q.name);
      writeSectionLine(out, quantityCaption(q.name), captionColumns, shownValue(q.name, *q.value),
                       d != nullptr ? d->unit : q.unit);
    }
  }
  if (review.mode == DriveMode::PwmCcm && !review.operation.figures.VinCcmLimit) {
    writeSectionLine(out, quantityCaption("VinCcmLimit"), captionColumns,
                     "none: continuous at every input", {});
  }
}

}  // namespace

void writeReviewText(std::ostream& out, const DesignReview& review) {
  constexpr std::size_t kCaptionColumns = 44;
  if (review.mode == DriveMode::PwmCritical) {
    out << "\nEngineering review (whole turns; critical conduction at this duty)\n";
  } else {
    out << "\nEngineering review (whole turns; " << driveModeCode(review.mode) << ": "
        << driveModeDescription(review.mode) << ")\n";
  }
  if (!review.valid) {
    out << "  The design cannot be reviewed: its inputs lie outside what the formulas cover or "
           "its numbers are too large.\n";
    return;
  }
  for (const ReviewQuantity& q : reviewQuantities(review)) {
    const ReviewDisplay* d = reviewDisplay(q.name);
    // LpRef's caption names critical conduction, the critical modes'.
    const std::string caption =
        q.name == "LpRef" && !criticalConduction(review.mode)
            ? "Primary inductance (" + std::string(driveModeCode(review.mode)) + ") LpRef"
            : quantityCaption(q.name);
    out << "  " << padded(caption, kCaptionColumns) << shownValue(q.name, q.value);
    const std::string_view unit = d != nullptr ? d->unit : q.unit;
    if (!unit.empty()) {
      out << ' ' << unit;
    }
    out << '\n';
  }
  writeModeText(out, review, kCaptionColumns);
  out << "  " << padded("Buildable", kCaptionColumns)
      << (review.feasible ? "yes" : "no: see the flags below") << '\n';
  if (review.flags.empty()) {
    out << "  No flags.\n";
    return;
  }
  out << "  Flags\n";
  for (ReviewFlag flag : review.flags) {
    out << "    " << reviewFlagCode(flag) << (isBlockingFlag(flag) ? "" : " (advice)") << ": "
        << reviewFlagSentenceEnglish(flag) << ".\n";
  }
}

namespace {

void writeOutputMembers(JsonWriter& json, const OutputResult& o) {
  const std::array<std::pair<std::string_view, double>, 11> members = {{
      {"V", o.V},
      {"I", o.I},
      {"Vf", o.Vf},
      {"P", o.P},
      {"KL", o.KL},
      {"turns", 0.0},
      {"Vactual", o.Vactual},
      {"errorPercent", o.errorPercent},
      {"IsPk", o.IsPk},
      {"IsRms", o.IsRms},
      {"VdRevMax", o.VdRevMax},
  }};
  for (const auto& [name, value] : members) {
    json.key(name);
    if (name == "turns") {
      json.value(o.turns);
    } else {
      json.value(value);
    }
  }
}

std::string volts(double value) { return shortestRoundTrip(value); }

}  // namespace

void writeInputJson(JsonWriter& json, const InputSupply& supply) {
  const bool ac = supply.kind == InputSupply::Kind::Ac;
  const auto optional = [&json, ac](std::string_view name, double value) {
    json.key(name);
    if (ac) {
      json.value(value);
    } else {
      json.null();
    }
  };
  json.beginObject();
  json.key("kind");
  json.value(inputKindCode(supply.kind));
  optional("VACmin", supply.mains.vacMin);
  optional("VACmax", supply.mains.vacMax);
  optional("fL", supply.mains.lineFrequency);
  optional("Cbulk", supply.Cbulk);
  json.key("CbulkChosen");
  if (ac) {
    json.boolean(supply.CbulkChosen);
  } else {
    json.null();
  }
  optional("Dch", supply.mains.chargeDuty);
  json.key("VDCmin");
  json.value(supply.VDCmin);
  json.key("VDCmax");
  json.value(supply.VDCmax);
  json.endObject();
}

void writeOutputsJson(JsonWriter& json, const DesignReview* review) {
  if (review == nullptr || !review->valid) {
    json.null();
    return;
  }
  json.beginArray();
  for (const OutputResult& o : review->outputs) {
    json.beginObject();
    writeOutputMembers(json, o);
    json.endObject();
  }
  json.endArray();
}

void writeBiasJson(JsonWriter& json, const DesignReview* review) {
  if (review == nullptr || !review->valid || !review->bias) {
    json.null();
    return;
  }
  json.beginObject();
  writeOutputMembers(json, *review->bias);
  json.endObject();
}

void writeInputText(std::ostream& out, const InputSupply& supply) {
  constexpr std::size_t kCaptionColumns = 44;
  if (supply.kind == InputSupply::Kind::Dc) {
    return;
  }
  const MainsInput& m = supply.mains;
  out << "\nMains input (the design is made at the bulk capacitor's valley)\n";
  writeSectionLine(out, "Mains voltage VACmin to VACmax", kCaptionColumns,
                   volts(m.vacMin) + " to " + volts(m.vacMax), "V RMS");
  writeSectionLine(out, "Line frequency fL", kCaptionColumns, volts(m.lineFrequency), "Hz");
  writeSectionLine(
      out, "Bulk capacitor Cbulk", kCaptionColumns,
      toUtf8(generalText(std::round(supply.Cbulk * 1e9) / 1e3)),
      supply.CbulkChosen ? "µF (chosen: 2 µF/W below 180 VAC, else 1 µF/W, E6)" : "µF (given)");
  writeSectionLine(out, "Bridge conduction share Dch", kCaptionColumns, volts(m.chargeDuty), {});
  writeSectionLine(out, "Valley at full load VDCmin", kCaptionColumns,
                   shownValue("VinMax", supply.VDCmin), "V (the design's input voltage)");
  writeSectionLine(out, "Peak at the highest line VDCmax", kCaptionColumns,
                   shownValue("VinMax", supply.VDCmax), "V (the highest input)");
}

void writeOutputsText(std::ostream& out, const DesignReview& review) {
  if (!review.valid || (review.outputs.size() <= 1 && !review.bias)) {
    return;
  }
  out << "\nOutputs (turns from the main output's; currents by each output's share of the power)\n";
  out << "  Output    V target  Turns  V actual  Error %  IsPk [A]  IsRms [A]  Diode Vrev [V]\n";
  const auto line = [&out](const std::string& name, const OutputResult& o) {
    std::array<char, 160> buffer{};
    const int length = std::snprintf(
        buffer.data(), buffer.size(), "  %-8s  %8.2f  %5d  %8.2f  %7.1f  %8.3f  %9.3f  %14.1f\n",
        name.c_str(), o.V, o.turns, o.Vactual, o.errorPercent, o.IsPk, o.IsRms, o.VdRevMax);
    out << std::string_view(
        buffer.data(),
        length > 0 ? std::min(static_cast<std::size_t>(length), buffer.size() - 1) : 0U);
  };
  for (std::size_t k = 0; k < review.outputs.size(); ++k) {
    line(k == 0 ? std::string("main") : std::to_string(k + 1), review.outputs[k]);
  }
  if (review.bias) {
    line("bias", *review.bias);
  }
}

void writeLossesText(std::ostream& out, const TransformerLosses& losses, double maxTemperature) {
  constexpr std::size_t kCaptionColumns = 44;
  out << "\nLosses and temperature rise (core and copper at the core's temperature)\n";
  if (!losses.valid) {
    out << "  Not worked out: the core's magnetic, bobbin or thermal figures are unknown.\n";
    return;
  }
  const std::vector<LossQuantity> quantities = lossQuantities(losses);
  const auto line = [&](std::string_view name, std::string_view note = {}) {
    const auto found = std::find_if(quantities.begin(), quantities.end(),
                                    [name](const LossQuantity& q) { return q.name == name; });
    if (found != quantities.end()) {
      writeLossLine(out, *found, note);
    }
  };
  writeSectionLine(out, "Core material", kCaptionColumns, losses.material, {});
  writeSectionLine(out, "Losses at", kCaptionColumns,
                   losses.lossesAt == LossPoint::VinMax
                       ? "vinMax: the highest input, where the transformer runs hotter"
                       : "design: the design input",
                   {});
  line("Pv");
  line("Pcore");
  writeSectionLine(out, "Winding arrangement", kCaptionColumns,
                   std::string(windingArrangementCode(losses.arrangement)) + ": " +
                       windingOrderText(losses) + ", from the centre leg",
                   {});
  // Winding by winding, so that each one's figures stand together.
  for (const WindingLoss& w : losses.windings) {
    // "Primary", "Secondary", "Output 2", "Bias".
    const std::string_view name = windingName(w.winding);
    std::string caption(1, static_cast<char>(name[0] - 'a' + 'A'));
    if (name.starts_with("output")) {
      caption.append(name.substr(1, 5)).append(" ").append(name.substr(6));
    } else {
      caption.append(name.substr(1));
    }
    writeSectionLine(out, caption + " wire", kCaptionColumns,
                     wireText(w.wire) + (w.wireChosen ? " (chosen)" : " (given)") + ", " +
                         std::to_string(w.layout.turnsPerLayer) +
                         (w.layout.turnsPerLayer == 1 ? " turn a layer, " : " turns a layer, ") +
                         shownValue("JrmsModel", w.currentDensity * 1e-6) + " A/mm²",
                     {});
    for (const std::string_view base : {"Rdc", "Fr", "Pcu", "layers", "build"}) {
      line(std::string(base).append(windingSuffix(w.winding)));
    }
  }
  writeSectionLine(out, "Build of the windings with tape", kCaptionColumns,
                   shownValue("buildP", losses.buildTotal),
                   "mm (bobbin " + shownValue("buildP", losses.bobbinBuild) + " mm)");
  line("Ptotal");
  if (!losses.fits) {
    out << "  The windings do not fit the bobbin, so their AC loss, the total loss and the "
           "temperature are not estimated (—).\n";
  } else if (!losses.converged) {
    out << "  The losses rise with the temperature faster than the core sheds them: no balance "
           "below "
        << shortestRoundTrip(kHottestBalance)
        << " °C, so the AC loss, the total loss and the temperature are not estimated (—); "
           "the core loss and Rdc are those at "
        << shortestRoundTrip(kLossReferenceTemperature) << " °C.\n";
  } else {
    out << "  Core and copper taken at the core's temperature, balanced in "
        << losses.temperatureIterations << " evaluations.\n";
  }
  line("Rth", losses.RthMeasured ? " (measured)" : " (estimated, Maniktala)");
  line("dT");
  line("Tambient");
  line("Tcore");
  writeSectionLine(out, "Highest core temperature allowed", kCaptionColumns,
                   shownValue("Tcore", maxTemperature), reviewDisplay("Tcore")->unit);
}

void writeStressText(std::ostream& out, const SwitchStress& stress, DriveMode mode) {
  constexpr std::size_t kCaptionColumns = 44;
  out << "\nSwitch, RCD clamp and output diode at the highest input\n";
  if (!stress.valid) {
    out << "  Not worked out: without a winding layout the leakage cannot be estimated; give it "
           "measured (--leakage).\n";
    return;
  }
  if (!stress.leakageKnown) {
    out << "  The windings do not fit the bobbin, so the leakage and the clamp's loss and parts "
           "are not estimated (—); give the leakage measured (--leakage).\n";
  }
  for (const StressQuantity& q : stressQuantitiesForReading(stress)) {
    // Whether Llk is estimated is said beside it; pwm-critical keeps fs and Ipk at every input.
    if (q.boolean ||
        (mode == DriveMode::PwmCritical && (q.name == "fsHigh" || q.name == "IpkHigh"))) {
      continue;
    }
    const ReviewDisplay* d = reviewDisplay(q.name);
    const std::string caption = quantityCaption(q.name);
    if (q.unknown) {
      writeSectionLine(out, caption, kCaptionColumns, kNotEstimated, {});
      if (q.name == "PratingR") {
        writeSectionLine(out, "Clamp parts to buy", kCaptionColumns, clampParts(stress), {});
      }
      continue;
    }
    if (!q.value) {
      writeSectionLine(out, caption, kCaptionColumns, "none needed", {});
      continue;
    }
    std::string unit(d != nullptr ? d->unit : q.unit);
    unit += stressNote(stress, q.name);
    writeSectionLine(out, caption, kCaptionColumns, shownValue(q.name, *q.value), unit);
    if (q.name == "PratingR") {
      writeSectionLine(out, "Clamp parts to buy", kCaptionColumns, clampParts(stress), {});
    }
  }
}

namespace {

struct AdviceColumn {
  std::string_view heading;
  bool left;
};

constexpr std::array<AdviceColumn, 12> kAdviceColumns{{
    {"Core", true},
    {"Buildable", true},
    {"Np", false},
    {"Ns", false},
    {"Gap[mm]", false},
    {"Bpk[T]", false},
    {"Fill[%]", false},
    {"Allowed[%]", false},
    {"Ptotal[W]", false},
    {"Tcore[°C]", false},
    {"VdsMax[V]", false},
    {"Pclamp[W]", false},
}};

using AdviceCells = std::array<std::string, kAdviceColumns.size()>;

// One core's cells; a core without a review says why and leaves the numbers blank.
AdviceCells adviceCells(const CoreReview& core) {
  const DesignReview& r = core.review;
  AdviceCells cells{toUtf8(core.core)};
  if (!r.valid) {
    cells[1] = core.completed ? "not reviewed" : "stopped";
    return cells;
  }
  const TransformerLosses& losses = r.losses;
  cells[1] = r.feasible ? "yes" : "no";
  cells[2] = std::to_string(r.Np);
  cells[3] = std::to_string(r.Ns);
  cells[4] = shownValue("gap", r.gap);
  cells[5] = shownValue("Bpk", r.Bpk);
  cells[6] = shownValue("fill", r.fill);
  cells[7] = shownValue("fillAllowed", r.fillAllowed);
  const std::string notEstimated(kNotEstimated);
  cells[8] = !losses.valid               ? "-"
             : losses.temperatureKnown() ? shownValue("Ptotal", losses.Ptotal)
                                         : notEstimated;
  cells[9] = !losses.valid               ? "-"
             : losses.temperatureKnown() ? shownValue("Tcore", losses.Tcore)
                                         : notEstimated;
  const SwitchStress& stress = r.stress;
  cells[10] = stress.valid ? shownValue("VdsMax", stress.VdsMax) : "-";
  cells[11] = !stress.valid         ? "-"
              : stress.leakageKnown ? shownValue("Pclamp", stress.Pclamp)
                                    : notEstimated;
  return cells;
}

}  // namespace

void writeAdviceTable(std::ostream& out, const CoreAdvice& advice) {
  std::vector<AdviceCells> rows;
  std::vector<std::string> flags;
  std::array<std::size_t, kAdviceColumns.size()> widths{};
  for (std::size_t c = 0; c < kAdviceColumns.size(); ++c) {
    widths[c] = columns(kAdviceColumns[c].heading);
  }
  for (const CoreReview& core : advice.cores) {
    rows.push_back(adviceCells(core));
    flags.push_back(core.review.valid ? flagCodes(core.review) : "-");
    for (std::size_t c = 0; c < kAdviceColumns.size(); ++c) {
      widths[c] = std::max(widths[c], columns(rows.back()[c]));
    }
  }
  const auto cell = [&out, &widths](std::string_view text, std::size_t c) {
    const std::string padding(widths[c] - columns(text), ' ');
    if (kAdviceColumns[c].left) {
      out << text << padding << "  ";
    } else {
      out << padding << text << "  ";
    }
  };
  for (std::size_t c = 0; c < kAdviceColumns.size(); ++c) {
    cell(kAdviceColumns[c].heading, c);
  }
  out << "Flags\n";
  for (std::size_t r = 0; r < rows.size(); ++r) {
    for (std::size_t c = 0; c < kAdviceColumns.size(); ++c) {
      cell(rows[r][c], c);
    }
    out << flags[r] << '\n';
  }
  out << "\nRecommended core: "
      << (advice.recommended ? toUtf8(*advice.recommended)
                             : std::string("none of the catalogue's cores can be built"))
      << '\n';
  const bool dashes =
      std::any_of(advice.cores.begin(), advice.cores.end(), [](const CoreReview& c) {
        return c.review.valid && c.review.losses.valid && !c.review.losses.fits;
      });
  if (dashes) {
    out << kNotEstimated
        << ": the windings do not fit the core's bobbin, so its losses, temperature and clamp "
           "loss are not estimated.\n";
  }
  const bool runaway =
      std::any_of(advice.cores.begin(), advice.cores.end(), [](const CoreReview& c) {
        return c.review.valid && c.review.has(ReviewFlag::ThermalRunaway);
      });
  if (runaway) {
    out << kNotEstimated << " beside thermal-runaway: the losses outgrow what the core sheds below "
        << shortestRoundTrip(kHottestBalance) << " °C, so no temperature is estimated.\n";
  }
}

void writeAdviceJson(std::ostream& out, const CoreAdvice& advice) {
  JsonWriter json(out);
  json.beginObject();
  json.key("recommended");
  if (advice.recommended) {
    json.value(std::u16string_view(*advice.recommended));
  } else {
    json.null();
  }
  json.key("cores");
  json.beginArray();
  for (const CoreReview& core : advice.cores) {
    json.beginObject();
    json.key("core");
    json.value(std::u16string_view(core.core));
    json.key("completed");
    json.boolean(core.completed);
    json.key("valid");
    json.boolean(core.review.valid);
    if (core.review.valid) {
      writeReviewMembers(json, core.review);
    } else {
      json.key("feasible");
      json.boolean(false);
    }
    json.key("losses");
    writeLossesJson(json, &core.review);
    json.key("stress");
    writeStressJson(json, &core.review);
    json.endObject();
  }
  json.endArray();
  json.endObject();
  json.finish();
}

}  // namespace fbc
