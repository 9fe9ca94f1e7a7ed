#include "cli/isolation_report.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>

#include "platform/number_text.h"
#include "platform/text.h"

namespace fbc {

namespace {

// "2.5 mm" from metres, to 0.01 mm.
std::string millimetres(double metres) {
  return toUtf8(generalText(std::round(metres * 1e5) / 100.0)) + " mm";
}

std::string optionalMillimetres(const std::optional<double>& metres) {
  return metres ? millimetres(*metres) : std::string("—");
}

std::string pinsText(const WindingPins& p) {
  std::string text = std::to_string(p.start) + " → ";
  if (p.tap) {
    text += std::to_string(*p.tap) + " → ";
  }
  return text + std::to_string(p.finish);
}

// A winding's side of the barrier, its pins and whether its wire is triple-insulated.
void writeWindingPins(JsonWriter& json, const WindingPins& p, const TransformerLosses& losses) {
  json.key("name");
  json.value(windingName(p.winding));
  json.key("side");
  json.value(p.primarySide ? "primary" : "secondary");
  json.key("start");
  json.value(p.start);
  json.key("tap");
  if (p.tap) {
    json.value(*p.tap);
  } else {
    json.null();
  }
  json.key("finish");
  json.value(p.finish);
  const auto wound = std::find_if(losses.windings.begin(), losses.windings.end(),
                                  [&p](const WindingLoss& w) { return w.winding == p.winding; });
  json.key("tripleInsulated");
  json.boolean(wound != losses.windings.end() && wound->tripleInsulated);
}

void line(std::ostream& out, std::string_view caption, std::string_view value) {
  constexpr std::size_t kCaptionColumns = 44;
  // Columns, not bytes: a caption may hold "→".
  const auto columns =
      static_cast<std::size_t>(std::count_if(caption.begin(), caption.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
      }));
  out << "  " << caption
      << std::string(std::max<std::size_t>(1, kCaptionColumns - std::min(columns, kCaptionColumns)),
                     ' ')
      << value << '\n';
}

}  // namespace

void writeIsolationJson(JsonWriter& json, const DesignReview* review) {
  if (review == nullptr || !review->valid) {
    json.null();
    return;
  }
  const Isolation& iso = review->isolation;
  json.beginObject();
  json.key("insulation");
  json.value(insulationCode(iso.insulation));
  json.key("construction");
  json.value(constructionCode(iso.construction));
  json.key("workingVoltage");
  json.value(iso.workingVoltage);
  json.key("workingVoltageGiven");
  json.boolean(iso.workingVoltageGiven);
  json.key("transient");
  json.value(iso.transient);
  json.key("creepage");
  json.value(iso.creepage);
  json.key("clearance");
  json.value(iso.clearance);
  json.key("margin");
  json.value(iso.margin);
  json.key("tapeLayersPS");
  json.value(iso.tapeLayersPS);
  json.key("tapeLayer");
  json.value(iso.tapeLayer);
  json.key("hipotPeak");
  json.value(iso.hipotPeak);
  json.key("hipotAC");
  json.value(iso.hipotAC);
  json.key("hipotSeconds");
  json.value(iso.hipotSeconds);
  json.key("bobbinBreadth");
  json.value(iso.bobbinBreadth);
  json.key("windingBreadth");
  json.value(iso.windingBreadth);
  json.key("fits");
  json.boolean(iso.fits);
  const PinAssignment& pins = review->pins;
  json.key("pins");
  json.beginObject();
  json.key("primarySide");
  json.value(pins.counts.primarySide);
  json.key("secondarySide");
  json.value(pins.counts.secondarySide);
  json.key("enough");
  json.boolean(pins.enough);
  json.key("commonReturn");
  json.boolean(pins.commonReturn);
  json.endObject();
  json.key("windings");
  json.beginArray();
  for (const WindingPins& p : pins.windings) {
    json.beginObject();
    writeWindingPins(json, p, review->losses);
    json.endObject();
  }
  json.endArray();
  json.endObject();
}

void writeIsolationText(std::ostream& out, const DesignReview& review) {
  if (!review.valid) {
    return;
  }
  const Isolation& iso = review.isolation;
  out << "\nInsulation (IEC 62368-1: pollution degree 2, material group IIIa/IIIb, up to 2000 m)\n";
  line(out, "Insulation, construction",
       std::string(insulationCode(iso.insulation)) + ", " +
           std::string(constructionCode(iso.construction)));
  line(out, "Working voltage",
       toUtf8(generalText(iso.workingVoltage)) +
           (iso.workingVoltageGiven ? " V (given)" : " V (the highest input)"));
  if (iso.insulation == Insulation::Functional) {
    line(out, "Creepage, clearance", "— (functional: no safety barrier is designed)");
  } else {
    line(out, "Creepage (Table 17)", optionalMillimetres(iso.creepage));
    line(out, "Clearance (Table 14)",
         optionalMillimetres(iso.clearance) + " at a transient of " +
             toUtf8(generalText(iso.transient)) + " V peak");
    line(out, "Electric strength test",
         toUtf8(generalText(iso.hipotPeak.value_or(0.0))) + " V peak, or " +
             toUtf8(generalText(iso.hipotAC.value_or(0.0))) + " V RMS for " +
             toUtf8(generalText(iso.hipotSeconds)) + " s");
  }
  line(out, "Margin tape at each end", iso.margin > 0.0 ? millimetres(iso.margin) : "none");
  line(out, "Tape between primary and secondary",
       std::to_string(iso.tapeLayersPS) + " × " + millimetres(iso.tapeLayer));
  line(out, "Winding breadth (of the bobbin's)",
       millimetres(iso.windingBreadth) + " (" + millimetres(iso.bobbinBreadth) + ")");
  const PinAssignment& pins = review.pins;
  if (!pins.windings.empty()) {
    std::string text;
    for (const WindingPins& p : pins.windings) {
      text += (text.empty() ? "" : ", ") + std::string(windingName(p.winding)) + " " + pinsText(p);
    }
    line(out, "Pins (start → finish)", text);
  }
}

}  // namespace fbc
