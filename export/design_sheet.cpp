#include "export/design_sheet.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPen>

#include "design/calculation.h"
#include "design/click_constants.h"
#include "design/design_state_members.h"
#include "export/sheet_canvas.h"
#include "export/surface_painter.h"
#include "export/transformer_page.h"
#include "export/winding_texts.h"
#include "platform/controls.h"
#include "platform/font_session.h"
#include "platform/number_text.h"
#include "platform/recording_surface.h"
#include "platform/text.h"
#include "review/losses.h"
#include "review/review_display.h"
#include "review/review_inputs.h"
#include "review/windings/winding_table.h"
#include "waveform/plot_geometry.h"
#include "waveform/waveform_stage.h"

namespace fbc {

namespace {

// The plots keep the window's proportions; one window pixel becomes this many points.
constexpr double kPlotScale = 0.85;

class SheetPainter : private SheetCanvas {
 public:
  SheetPainter(QPainter& painter, const DesignSheetContent& content)
      : SheetCanvas(painter), content_(content), transformer_(painter, content) {}

  void paint() {
    painter().save();
    painter().setRenderHint(QPainter::Antialiasing, true);
    painter().setRenderHint(QPainter::TextAntialiasing, true);
    const std::vector<Section> all = sections();
    const std::vector<std::size_t> starts = pageStarts(all);
    const int pages = static_cast<int>(starts.size());
    for (int page = 0; page < pages; ++page) {
      if (page > 0) {
        nextPage();
      }
      const auto first = starts[static_cast<std::size_t>(page)];
      const std::size_t end =
          page + 1 < pages ? starts[static_cast<std::size_t>(page) + 1] : all.size();
      const Document document = all[first].document;
      double y = titleBlock(kTop, document, page, pages);
      for (std::size_t i = first; i < end; ++i) {
        y = all[i].lay(y + kSectionGap);
      }
      // The stamps close each document: the design sheet and the transformer page.
      if (end == all.size() || all[end].document != document) {
        approvals(y + kSectionGap);
      }
      notice();
    }
    painter().restore();
  }

 private:
  // The design sheet's own pages, then the transformer page for the winding shop.
  enum class Document { Design, Transformer };
  struct Section {
    Document document = Document::Design;
    std::function<double(double)> lay;
  };

  // The numbered sections in the order they are read, the transformer page's after them.
  std::vector<Section> sections() {
    std::vector<Section> all;
    for (const auto member : {&SheetPainter::inputs, &SheetPainter::results, &SheetPainter::review,
                              &SheetPainter::losses, &SheetPainter::stress, &SheetPainter::windings,
                              &SheetPainter::plots}) {
      all.push_back({Document::Design, [this, member](double y) { return (this->*member)(y); }});
    }
    for (std::function<double(double)>& lay : transformer_.sections()) {
      all.push_back({Document::Transformer, std::move(lay)});
    }
    return all;
  }

  // The first section of each page: the sections in order, a page holding as many as fit
  // between the title block and the rule over the notice (the approvals take what is left),
  // the transformer page starting a page of its own. Measured by laying each out without
  // drawing; a section never splits, so one too tall for any page starts a page of its own.
  std::vector<std::size_t> pageStarts(const std::vector<Section>& all) {
    setDrawing(false);
    transformer_.setDrawing(false);
    const double top = titleBlock(kTop, Document::Design, 0, 1);
    // A section ends with the box of its last line, whose glyphs stand a point or two above
    // its lower edge: that edge may reach a point past the rule.
    const double bottom = kBottom - kNoticeHeight + 1.0;
    std::vector<std::size_t> starts{0};
    double y = top;
    for (std::size_t i = 0; i < all.size(); ++i) {
      const double height = all[i].lay(kSectionGap);
      const bool newDocument = i > 0 && all[i].document != all[i - 1].document;
      if (i > starts.back() && (newDocument || y + height > bottom)) {
        starts.push_back(i);
        y = top;
      }
      y += height;
    }
    setDrawing(true);
    transformer_.setDrawing(true);
    return starts;
  }

  // A paged device (a PDF writer, a printer) turns its page; any other has the next page under
  // this one.
  void nextPage() {
    if (auto* paged = dynamic_cast<QPagedPaintDevice*>(painter().device())) {
      paged->newPage();
    } else {
      painter().translate(0.0, kSheetHeightPoints);
    }
  }
  // The title on the left; on the right the title block: drawing number, date, program. Every
  // page of a sheet of several carries it, its page among the pages after the core.
  double titleBlock(double y, Document document, int page, int pages) {
    constexpr double kBlockWidth = 210.0;
    constexpr double kBlockRow = 14.0;
    constexpr double kBlockCaption = 42.0;
    const double blockLeft = kRight - kBlockWidth;
    const std::array<Field, 3> rows{{
        {QStringLiteral("図番"), qs(content_.drawingNumber)},
        {QStringLiteral("日付"), qs(content_.date)},
        {QStringLiteral("作成"), qs(content_.program)},
    }};
    const QFont captionFont = font(kProportional, 8.0);
    const QFont valueFont = font(kFixed, 9.0);
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const double top = y + static_cast<double>(i) * kBlockRow;
      text(QRectF(blockLeft, top, kBlockCaption, kBlockRow), Qt::AlignCenter, captionFont,
           rows[i].caption);
      text(QRectF(blockLeft + kBlockCaption + kCellPadding, top,
                  kBlockWidth - kBlockCaption - 2 * kCellPadding, kBlockRow),
           Qt::AlignLeft | Qt::AlignVCenter, valueFont, rows[i].value);
      if (i > 0) {
        rule(blockLeft, top, kRight, top, 0.4, kRule);
      }
    }
    const double blockHeight = kBlockRow * static_cast<double>(rows.size());
    rule(blockLeft + kBlockCaption, y, blockLeft + kBlockCaption, y + blockHeight, 0.4, kRule);
    frame(QRectF(blockLeft, y, kBlockWidth, blockHeight), 0.8);

    const bool transformer = document == Document::Transformer;
    text(QRectF(kLeft, y, blockLeft - kLeft, 26.0), Qt::AlignLeft | Qt::AlignVCenter,
         font(kProportional, 18.0),
         transformer ? TransformerPage::title() : QStringLiteral("フライバックトランス設計書"));
    QString subtitle = (transformer ? TransformerPage::subtitle()
                                    : QStringLiteral("Flyback transformer design sheet")) +
                       QStringLiteral(" — core ") + qs(content_.inputs.core);
    if (pages > 1) {
      subtitle += QStringLiteral(" — page %1 of %2").arg(page + 1).arg(pages);
    }
    text(QRectF(kLeft, y + 27.0, blockLeft - kLeft, 12.0), Qt::AlignLeft | Qt::AlignVCenter,
         font(kProportional, 8.0), subtitle, kFaint);
    const double bottom = y + blockHeight + 6.0;
    rule(kLeft, bottom, kRight, bottom, 1.6, kRule);
    return bottom;
  }

  double inputs(double y) {
    y = heading(y, QStringLiteral("1"), QStringLiteral("設計条件"),
                QStringLiteral("Design conditions"));
    std::vector<Field> fields;
    fields.reserve(kInputPresentationOrder.size() + 1 + kReviewInputTable.size());
    for (const DesignInput input : kInputPresentationOrder) {
      fields.push_back({qs(inputInfo(input)->caption), qs(*inputText(content_.inputs, input))});
    }
    fields.push_back({QStringLiteral("コア温度上昇"),
                      qs(levelCaption(content_.inputs.level)) + QStringLiteral(" (") +
                          qs(levelName(content_.inputs.level)) + QStringLiteral(")")});
    // The conditions the losses were worked out in, captioned as the review window asks for them.
    const ReviewConditions& c = content_.conditions;
    for (const ReviewInputInfo& info : kReviewInputTable) {
      QString value;
      switch (info.input) {
        case ReviewInput::Material:
          value = c.material != nullptr ? qs(c.material->name) : QString();
          break;
        case ReviewInput::Ambient:
          value = qs(generalText(c.ambient));
          break;
        case ReviewInput::MaxTemperature:
          value = qs(generalText(c.maxTemperature));
          break;
        case ReviewInput::VinMax:
          value = vinMaxText(info);
          break;
        case ReviewInput::Leakage:
          value = c.leakage ? qs(generalText(*c.leakage)) : qs(info.emptyMeansJa);
          break;
        case ReviewInput::ClampRatio:
          value = qs(generalText(c.clampRatio));
          break;
        case ReviewInput::VdsRating:
          value = qs(generalText(c.vdsRating));
          break;
        case ReviewInput::CurrentLimit:
          value = c.currentLimit ? qs(generalText(*c.currentLimit)) : qs(info.emptyMeansJa);
          break;
        case ReviewInput::SecondaryTurns:
          value = c.secondaryTurns ? QString::number(*c.secondaryTurns) : qs(info.emptyMeansJa);
          break;
        // The drive mode's own line below, and the mains input's where there is one; the
        // outputs beside the main one and the bias in the review's table of outputs; the wires
        // and the arrangement in the winding table, each marked where it was given.
        case ReviewInput::Mode:
        case ReviewInput::Ripple:
        case ReviewInput::DrainCapacitance:
        case ReviewInput::WirePrimary:
        case ReviewInput::WireSecondary:
        case ReviewInput::Arrangement:
        case ReviewInput::VacMin:
        case ReviewInput::VacMax:
        case ReviewInput::LineFrequency:
        case ReviewInput::BulkCapacitance:
        case ReviewInput::ChargeDuty:
        case ReviewInput::Outputs:
        case ReviewInput::Bias:
        // The insulation and the pins on the transformer page.
        case ReviewInput::Insulation:
        case ReviewInput::Construction:
        case ReviewInput::WorkingVoltage:
        case ReviewInput::Pins:
          continue;
      }
      fields.push_back({qs(info.caption), value});
    }
    y = fieldGrid(y, fields, 3, 0.62);
    if (content_.supply.kind == InputSupply::Kind::Ac) {
      y = fieldGrid(y, {mainsField()}, 1, 0.12);
    }
    return fieldGrid(y, {driveModeField()}, 1, 0.12);
  }

  // The highest DC input: as given, the design's own, or the peak of the highest mains line.
  QString vinMaxText(const ReviewInputInfo& info) const {
    if (content_.supply.kind == InputSupply::Kind::Ac) {
      return QString::number(content_.supply.VDCmax, 'f', 1);
    }
    const std::optional<double> given = content_.conditions.vinMax;
    return given ? qs(generalText(*given)) : qs(info.emptyMeansJa);
  }

  // The mains input on a line of its own: the line's range and frequency, the bulk capacitor
  // (given, or chosen by the rule of thumb), the bridge's charge duty, and the capacitor's
  // valley the design is made at with the peak of the highest line.
  Field mainsField() const {
    const InputSupply& supply = content_.supply;
    const MainsInput& mains = supply.mains;
    const QString value =
        QStringLiteral("%1〜%2 Vrms  %3 Hz   平滑容量 %4 µF%5   Dch %6   VDCmin %7 V / VDCmax %8 V")
            .arg(qs(generalText(mains.vacMin)), qs(generalText(mains.vacMax)),
                 qs(generalText(mains.lineFrequency)), QString::number(supply.Cbulk * 1e6, 'g', 4),
                 supply.CbulkChosen ? QStringLiteral("(自動)") : QStringLiteral("(指定)"),
                 qs(generalText(mains.chargeDuty)), QString::number(supply.VDCmin, 'f', 2),
                 QString::number(supply.VDCmax, 'f', 1));
    return {QStringLiteral("商用入力"), value};
  }

  // The drive mode by its caption, which wants the page's width, with the mode's own input.
  Field driveModeField() const {
    const ReviewConditions& c = content_.conditions;
    QString value = qs(driveModeCaption(c.mode));
    const auto own = [&value](ReviewInput input, double number) {
      value += QStringLiteral("   ") + qs(reviewInputInfo(input).caption) + QStringLiteral(" ") +
               qs(generalText(number));
    };
    if (c.mode == DriveMode::PwmCcm) {
      own(ReviewInput::Ripple, c.ripple);
    } else if (c.mode == DriveMode::Qr) {
      own(ReviewInput::DrainCapacitance, c.drainCapacitance);
    }
    return {qs(reviewInputInfo(ReviewInput::Mode).caption), value};
  }

  // The captions the window shows after the calculation, word for word.
  double results(double y) {
    y = heading(y, QStringLiteral("2"), QStringLiteral("計算結果"),
                QStringLiteral("Results as the designer window shows them"));
    const std::vector<Field> fields{
        {QStringLiteral("一次インダクタンス Lp"), qs(content_.texts.lblLp)},
        {QStringLiteral("巻数比 Np : Ns"), qs(content_.texts.lblNt)},
        {QStringLiteral("入力電流[A]"), qs(content_.texts.lblIin)},
    };
    y = fieldGrid(y, fields, 3, 0.5);
    // lbltest's four numbers, named after the state members they show.
    QString names;
    for (const char* name : {"AL", "Np", "dB", "Im"}) {
      const StateMember* member = stateMember(name);
      if (!names.isEmpty()) {
        names += QStringLiteral(", ");
      }
      names += qs(member->name);
      if (!member->unit.empty()) {
        names += QStringLiteral("[") + qs(member->unit) + QStringLiteral("]");
      }
    }
    const std::vector<Field> test{{names, qs(content_.texts.lbltest)}};
    y = fieldGrid(y, test, 1, 0.45);
    const std::vector<Field> verdict{
        {QStringLiteral("銅線温度判定"), qs(content_.texts.lblCuondo)}};
    return fieldGrid(y, verdict, 1, 0.25);
  }

  // The review's verdict, its numbers in the units an engineer reads and each flag as a
  // sentence; blocking flags are marked ×, advice △.
  double review(double y) {
    y = heading(y, QStringLiteral("3"), QStringLiteral("設計検討"),
                QStringLiteral("Engineering review with whole turns"));
    const QFont sentenceFont = font(kProportional, 8.5);
    if (!content_.review) {
      text(QRectF(kLeft + kCellPadding, y, kWidth, kRowHeight), Qt::AlignLeft | Qt::AlignVCenter,
           sentenceFont,
           QStringLiteral("コア温度上昇のレベルが選ばれていないため、検討していません。"));
      return y + kRowHeight;
    }
    const DesignReview& r = *content_.review;
    text(QRectF(kLeft + kCellPadding, y, kWidth, kRowHeight), Qt::AlignLeft | Qt::AlignVCenter,
         font(kProportional, 9.5), QStringLiteral("判定：") + qs(reviewVerdict(r)));
    y += kRowHeight;
    rule(kLeft, y, kRight, y, 0.3, kHairline);
    std::vector<Field> fields;
    if (r.valid) {
      for (const ReviewQuantity& q : reviewQuantities(r)) {
        const ReviewDisplay* shown = reviewDisplay(q.name);
        // The shop grinds the gap and checks AL: how the gap was worked out stays in the
        // review; the flux at the current limit shares one field with the limit.
        if (shown == nullptr || q.name == "gapNoFringing" || q.name == "fringingFactor" ||
            q.name == "gapWindowHeight" || q.name == "Bsat" || q.name == "BpkAtLimit") {
          continue;
        }
        if (q.name == "Ilim") {
          const ReviewDisplay* flux = reviewDisplay("BpkAtLimit");
          fields.push_back({QStringLiteral("電流制限値 / 磁束密度"),
                            qs(reviewValueText(*shown, r.Ilim)) + QStringLiteral(" A / ") +
                                qs(reviewValueText(*flux, r.BpkAtLimit)) + QStringLiteral(" T")});
          continue;
        }
        const QString value = qs(reviewValueText(*shown, q.value));
        // LpRef's caption names critical conduction, the critical modes'.
        const bool otherMode = q.name == "LpRef" && !criticalConduction(r.mode);
        fields.push_back(
            {otherMode ? QStringLiteral("一次インダクタンス") : qs(shown->caption),
             shown->unitJa.empty() ? value : value + QStringLiteral(" ") + qs(shown->unitJa)});
      }
    }
    if (!fields.empty()) {
      y = fieldGrid(y, fields, 3, 0.57, kReviewRowHeight);
    }
    if (r.outputs.size() > 1 || r.bias) {
      y = outputTable(y, r);
    }
    for (const ReviewFlag flag : r.flags) {
      const QString mark = isBlockingFlag(flag) ? QStringLiteral("×") : QStringLiteral("△");
      y = markedParagraph(
          y + 0.5, mark,
          qs(reviewFlagShortName(flag)) + QStringLiteral("：") + qs(reviewFlagSentence(flag)));
    }
    return y + 2.0;
  }

  // A figure as it was typed: the main output's come from the design's single-precision state,
  // so six significant figures, "3.3" rather than "3.29999995".
  static QString asGiven(double value) { return QString::number(value, 'g', 6); }

  // "+4.0", "-1.1", and "0.0" for what rounds to nothing either way.
  static QString errorText(double percent) {
    return std::abs(percent) < 0.05 ? QStringLiteral("0.0") : QString::asprintf("%+.1f", percent);
  }

  // Every output from the whole turns, the main one first, and the bias winding: what was asked
  // for, the turns, the voltage those turns give and how far it lies from the target, the
  // winding's RMS current and the diode's peak reverse voltage at the highest input.
  double outputTable(double y, const DesignReview& r) {
    constexpr std::array<double, 9> kColumns{0.09, 0.08, 0.08, 0.07, 0.08, 0.16, 0.10, 0.16, 0.18};
    const auto cells = [&](double top, const std::array<QString, 9>& texts, const QFont& f) {
      double x = kLeft;
      for (std::size_t i = 0; i < texts.size(); ++i) {
        const double width = kWidth * kColumns.at(i);
        const int align = i == 0 ? Qt::AlignLeft : Qt::AlignRight;
        text(QRectF(x + kCellPadding, top, width - 2 * kCellPadding, kReviewRowHeight),
             align | Qt::AlignVCenter, f, texts.at(i));
        x += width;
      }
    };
    cells(y,
          {QStringLiteral("出力巻線"), QStringLiteral("電圧[V]"), QStringLiteral("電流[A]"),
           QStringLiteral("Vf[V]"), QStringLiteral("巻数"), QStringLiteral("巻数での電圧[V]"),
           QStringLiteral("誤差[%]"), QStringLiteral("巻線実効電流[A]"),
           QStringLiteral("最大逆電圧[V]")},
          font(kProportional, 8.0));
    y += kReviewRowHeight;
    rule(kLeft, y, kRight, y, 0.5, kRule);
    const QFont cellFont = font(kFixed, 8.5);
    const auto row = [&](Winding winding, const OutputResult& o) {
      cells(y,
            {windingNameJa(winding), asGiven(o.V), asGiven(o.I), asGiven(o.Vf),
             QStringLiteral("%1 T").arg(o.turns), QString::number(o.Vactual, 'f', 2),
             errorText(o.errorPercent), QString::number(o.IsRms, 'f', 3),
             QString::number(o.VdRevMax, 'f', 1)},
            cellFont);
      y += kReviewRowHeight;
      rule(kLeft, y, kRight, y, 0.3, kHairline);
    };
    for (std::size_t i = 0; i < r.outputs.size(); ++i) {
      row(outputWinding(static_cast<int>(i) + 1), r.outputs[i]);
    }
    if (r.bias) {
      row(Winding::Bias, *r.bias);
    }
    rule(kLeft, y, kRight, y, 0.8, kRule);
    return y;
  }

  // A review quantity's caption and its value with the unit, as the review shows them; a dash
  // for a figure not estimated.
  static Field reviewField(std::string_view name, std::optional<double> value) {
    const ReviewDisplay* shown = reviewDisplay(name);
    if (!value) {
      return {qs(shown->caption), QStringLiteral("—")};
    }
    const QString number = qs(reviewValueText(*shown, *value));
    return {qs(shown->caption),
            shown->unitJa.empty() ? number : number + QStringLiteral(" ") + qs(shown->unitJa)};
  }

  // Core and copper loss, what they heat the core by and how hot it runs, read down each
  // column: the parts of the loss and their total, then through the thermal resistance to the
  // rise above the ambient and the core's temperature (the limit is among the conditions).
  // Windings that do not fit the bobbin, or whose losses find no balance below 250 °C (thermal
  // runaway, which the heading names: the flags' sentence says more), leave the copper's, the
  // total's and the temperatures' figures out.
  double losses(double y) {
    const TransformerLosses* l =
        content_.review && content_.review->losses.valid ? &content_.review->losses : nullptr;
    const bool runaway = l != nullptr && l->fits && !l->converged;
    y = heading(y, QStringLiteral("4"), QStringLiteral("損失と温度"),
                runaway ? QStringLiteral("熱暴走: no balance below %1 °C").arg(kHottestBalance)
                : l != nullptr && l->lossesAt == LossPoint::VinMax
                    ? QStringLiteral("Losses at the highest input and the core's temperature")
                    : QStringLiteral("Losses at the core's temperature, temperature rise"));
    if (l == nullptr) {
      text(QRectF(kLeft + kCellPadding, y, kWidth, kRowHeight), Qt::AlignLeft | Qt::AlignVCenter,
           font(kProportional, 8.5),
           content_.review ? QStringLiteral("この設計の損失は計算できません。")
                           : QStringLiteral("設計検討がないため、損失は計算していません。"));
      return y + kRowHeight;
    }
    const std::vector<LossQuantity> quantities = lossQuantities(*l);
    const auto field = [&quantities](std::string_view name) {
      const auto found = std::find_if(quantities.begin(), quantities.end(),
                                      [name](const LossQuantity& q) { return q.name == name; });
      return reviewField(name, found != quantities.end() ? found->value : std::nullopt);
    };
    Field rth = field("Rth");
    rth.caption += l->RthMeasured ? QStringLiteral("(実測値)") : QStringLiteral("(推定値)");
    std::vector<Field> fields{field("Pcore"), field("PcuP"), field("PcuS")};
    // The further outputs' and the bias's copper in the secondary's figures, so that the parts
    // still add up to the total.
    for (const WindingLoss& w : l->windings) {
      if (w.winding == Winding::Primary || w.winding == Winding::Secondary) {
        continue;
      }
      const std::string name = std::string("Pcu").append(windingSuffix(w.winding));
      const auto found = std::find_if(quantities.begin(), quantities.end(),
                                      [&name](const LossQuantity& q) { return q.name == name; });
      Field copper = reviewField("PcuS", found != quantities.end() ? found->value : std::nullopt);
      copper.caption = windingNameJa(w.winding) + QStringLiteral("銅損");
      fields.push_back(copper);
    }
    fields.insert(fields.end(),
                  {field("Ptotal"), rth, field("dT"), field("Tambient"), field("Tcore")});
    y = fieldGrid(y, fields, 4, 0.5, kReviewRowHeight);
    return l->fits ? y : note(y, lossesNotEstimatedJa());
  }

  // What the switch and the output diode see at the highest input and the RCD clamp that holds
  // the leakage's spike, with the clamp's parts to buy: read down the first column from the
  // input through the leakage to the clamp's voltage and loss, down the second to the parts
  // and the peak voltages.
  double stress(double y) {
    y = heading(y, QStringLiteral("5"), QStringLiteral("スイッチとクランプ"),
                QStringLiteral("Switch and diode at the highest input, RCD clamp"));
    const SwitchStress* st =
        content_.review && content_.review->stress.valid ? &content_.review->stress : nullptr;
    if (st == nullptr) {
      text(QRectF(kLeft + kCellPadding, y, kWidth, kRowHeight), Qt::AlignLeft | Qt::AlignVCenter,
           font(kProportional, 8.5),
           content_.review
               ? QStringLiteral("この設計のスイッチの電圧とクランプは計算できません。")
               : QStringLiteral("設計検討がないため、スイッチの電圧は計算していません。"));
      return y + kRowHeight;
    }
    // The estimate is what an empty leakage condition stands for; windings that do not fit give
    // no estimate, and with it no clamp loss or parts.
    const bool known = st->leakageKnown;
    Field leakage = reviewField("Llk", known ? std::optional(st->Llk) : std::nullopt);
    leakage.caption += QStringLiteral("(") +
                       (st->LlkEstimated ? qs(reviewInputInfo(ReviewInput::Leakage).emptyMeansJa)
                                         : QStringLiteral("実測値")) +
                       QStringLiteral(")");
    const QString unneeded = known ? QStringLiteral("不要") : QStringLiteral("—");
    Field resistor{qs(reviewDisplay("RclampE24")->caption) + QStringLiteral("・定格電力"),
                   unneeded};
    Field capacitor{qs(reviewDisplay("CclampE12")->caption), unneeded};
    if (known && st->clampNeeded()) {
      resistor.value = reviewField("RclampE24", st->RclampE24).value + QStringLiteral("・") +
                       reviewField("PratingR", st->PratingR).value;
      capacitor.value = reviewField("CclampE12", st->CclampE12).value;
    }
    Field switchPeak = reviewField("VdsMax", st->VdsMax);
    switchPeak.caption += QStringLiteral("/定格");
    switchPeak.value += QStringLiteral(" / ") + reviewField("VdsRating", st->VdsRating).value;
    const std::vector<Field> fields{
        reviewField("VinMax", st->VinMax),
        leakage,
        reviewField("Vclamp", st->Vclamp),
        reviewField("Pclamp", known ? std::optional(st->Pclamp) : std::nullopt),
        resistor,
        capacitor,
        switchPeak,
        reviewField("VdRevMax", st->VdRevMax),
    };
    y = fieldGrid(y, fields, 2, 0.55, kReviewRowHeight);
    // One line: a measured leakage among the conditions gives the figures back.
    return known ? y
                 : note(y, leakageNotEstimatedJa() +
                               QStringLiteral("実測値を条件に入れると求まります。"));
  }

  // What the winding shop needs per winding: whole turns, the wire to wind them with (marked
  // where the person gave it rather than the review choosing it) and how they lie on the bobbin;
  // under them the arrangement and the order from the centre leg, and the builds with their
  // tapes against the bobbin's.
  double windings(double y) {
    y = heading(y, QStringLiteral("6"), QStringLiteral("巻線仕様"), QStringLiteral("Windings"));
    const std::vector<WindingRow> rows =
        content_.review ? stackedRows(*content_.review) : std::vector<WindingRow>{};
    const QFont headFont = font(kProportional, 8.5);
    const QFont cellFont = font(kFixed, 9.0);
    constexpr std::array<double, 7> kColumns{0.10, 0.11, 0.30, 0.13, 0.12, 0.10, 0.14};
    const auto cells = [&](double top, const std::array<QString, 7>& texts, const QFont& f) {
      double x = kLeft;
      for (std::size_t i = 0; i < texts.size(); ++i) {
        const double width = kWidth * kColumns.at(i);
        const int align = i == 0 || i == 2 ? Qt::AlignLeft : Qt::AlignRight;
        text(QRectF(x + kCellPadding, top, width - 2 * kCellPadding, kRowHeight),
             align | Qt::AlignVCenter, f, texts.at(i));
        x += width;
      }
    };
    cells(y,
          {QStringLiteral("巻線"), QStringLiteral("巻数"), QStringLiteral("線材"),
           QStringLiteral("外径(被覆込)"), QStringLiteral("1層の巻数"), QStringLiteral("層数"),
           QStringLiteral("巻線の高さ")},
          headFont);
    y += kRowHeight;
    rule(kLeft, y, kRight, y, 0.5, kRule);
    if (rows.empty()) {
      text(QRectF(kLeft + kCellPadding, y, kWidth, kRowHeight), Qt::AlignLeft | Qt::AlignVCenter,
           font(kProportional, 8.5), QStringLiteral("設計検討がないため、巻線仕様はありません。"));
      y += kRowHeight;
    }
    const ReviewDisplay* build = reviewDisplay("buildP");
    const auto millimetres = [build](double mm) {
      return qs(reviewValueText(*build, mm * 1e-3)) + QStringLiteral(" mm");
    };
    for (const WindingRow& row : rows) {
      cells(y,
            {windingRowName(row.winding), QStringLiteral("%1 ターン").arg(row.turns),
             wireDescriptionJa(row.wire) + (row.wireChosen ? QString() : QStringLiteral(" (指定)")),
             millimetres(row.outerDiameter), QStringLiteral("%1 ターン").arg(row.turnsPerLayer),
             QStringLiteral("%1 層").arg(row.layers), millimetres(row.build)},
            cellFont);
      y += kRowHeight;
      rule(kLeft, y, kRight, y, 0.3, kHairline);
    }
    if (!rows.empty()) {
      y = arrangement(y);
    }
    rule(kLeft, y, kRight, y, 0.8, kRule);
    return y;
  }

  // The winding table's rows in the order they are wound from the centre leg outward, a split
  // primary where its inner half lies.
  static std::vector<WindingRow> stackedRows(const DesignReview& review) {
    std::vector<WindingRow> table = windingTable(review);
    std::vector<WindingRow> rows;
    rows.reserve(table.size());
    for (const WindingPlace& place : windingOrder(review.losses)) {
      const auto found = std::find_if(table.begin(), table.end(), [&place](const WindingRow& row) {
        return row.winding == place.winding;
      });
      if (found != table.end()) {
        rows.push_back(*found);
        table.erase(found);
      }
    }
    // Anything the order does not name stays in the table's order.
    rows.insert(rows.end(), table.begin(), table.end());
    return rows;
  }

  // 一次 Np, 二次 Ns, 二次2 Ns2, 補助 Nb: the winding's name and its turns' symbol.
  static QString windingRowName(Winding winding) {
    QString symbol = qs(windingSuffix(winding)).toLower();
    return windingNameJa(winding) + QStringLiteral(" N") + symbol;
  }

  // The arrangement, marked where it was given, the windings from the centre leg outward, the
  // height they take with their tapes in the bobbin's and the breadth they are laid across:
  // under the winding table, wrapped where many windings make it longer than the page is wide.
  double arrangement(double y) {
    const TransformerLosses& l = content_.review->losses;
    const ReviewDisplay* build = reviewDisplay("buildP");
    const auto millimetres = [build](double metres) {
      return qs(reviewValueText(*build, metres)) + QStringLiteral(" mm");
    };
    const QString given = content_.conditions.arrangement ? QStringLiteral(" (指定)") : QString();
    // The breadth the windings are laid across, with the bobbin's where margins take from it.
    QString breadth = millimetres(l.windingBreadth);
    if (l.windingBreadth < l.bobbinBreadth * (1.0 - 1e-9)) {
      breadth += QStringLiteral(" (ボビン ") + millimetres(l.bobbinBreadth) + QStringLiteral(")");
    }
    const QString line =
        QStringLiteral("巻線配置 %1%2　中心から %3　高さ計(テープ込) %4 / ボビン %5　巻幅 %6")
            .arg(arrangementNameJa(l.arrangement), given, windingOrderTextJa(l),
                 millimetres(l.buildTotal), millimetres(l.bobbinBuild), breadth);
    const QFont f = font(kProportional, 8.5);
    const QRectF box(kLeft + kCellPadding, y, kWidth - 2 * kCellPadding, kRowHeight);
    painter().setFont(f);
    const QRectF one = painter().boundingRect(box, Qt::AlignLeft | Qt::AlignVCenter, line);
    // A line a little too long is set a little smaller rather than on two lines, so that a page
    // that held it before the breadth was added still holds it.
    constexpr double kLeastShrink = 0.85;
    if (one.width() * kLeastShrink <= box.width()) {
      QFont fitted = f;
      if (one.width() > box.width()) {
        fitted.setPointSizeF(f.pointSizeF() * box.width() / one.width());
      }
      text(box, Qt::AlignLeft | Qt::AlignVCenter, fitted, line);
      return y + kRowHeight;
    }
    return wrapped(QRectF(box.left(), y + 1.5, box.width(), kSheetHeightPoints), f, line).bottom() +
           1.5;
  }

  // Both plots side by side as the waveform stage draws them, their scale captions beneath and
  // the frequency caption at the end of that line, or under it where the line has no room.
  double plots(double y) {
    y = heading(y, QStringLiteral("7"), QStringLiteral("動作波形"),
                QStringLiteral("Switch and output diode waveforms"));
    const Waveforms& drawn = waveforms();
    const RecordingSurface& pic1 = drawn.pic1;
    const RecordingSurface& pic2 = drawn.pic2;
    const double top = y + 4.0;
    const QRectF box1(kLeft, top, kPlotScale * pic1.pixelWidth(), kPlotScale * pic1.pixelHeight());
    const QRectF box2(kRight - kPlotScale * pic2.pixelWidth(), top, kPlotScale * pic2.pixelWidth(),
                      kPlotScale * pic2.pixelHeight());
    plot(box1, pic1);
    plot(box2, pic2);
    const QFont captionFont = font(kFixed, 8.0);
    const double captionTop = std::max(box1.bottom(), box2.bottom()) + 3.0;
    text(QRectF(box1.left(), captionTop, box1.width(), 11.0), Qt::AlignLeft | Qt::AlignVCenter,
         captionFont, drawn.div1);
    text(QRectF(box2.left(), captionTop, box2.width(), 11.0), Qt::AlignLeft | Qt::AlignVCenter,
         captionFont, drawn.div2);
    const QString& frequency = drawn.frequency;
    // Measured as drawn: the fonts are sized for the device, the painter works in points.
    painter().setFont(captionFont);
    const auto width = [this](const QString& caption) {
      return painter().boundingRect(QRectF(0, 0, kWidth, 11.0), Qt::AlignLeft, caption).width();
    };
    const bool besideScale =
        width(drawn.div2) + width(frequency) + 2 * kCellPadding <= box2.width();
    const double frequencyTop = besideScale ? captionTop : captionTop + 12.0;
    text(QRectF(box2.left(), frequencyTop, box2.width(), 11.0), Qt::AlignRight | Qt::AlignVCenter,
         captionFont, frequency);
    return frequencyTop + 11.0;
  }

  // The two plots as the waveform stage drew them, with their captions: drawn once, when the
  // pages are planned.
  struct Waveforms {
    RecordingSurface pic1{pixels(kPic1Placement.width), pixels(kPic1Placement.height)};
    RecordingSurface pic2{pixels(kPic2Placement.width), pixels(kPic2Placement.height)};
    QString div1;
    QString div2;
    QString frequency;
  };

  const Waveforms& waveforms() {
    if (!waveforms_) {
      waveforms_ = std::make_unique<Waveforms>();
      Label lbldiv1;
      Label lbldiv2;
      Label lblpic1_1;
      Value pic1Value(static_cast<Object*>(&waveforms_->pic1));
      Value pic2Value(static_cast<Object*>(&waveforms_->pic2));
      runWaveformStage(content_.state, clickConstants().m, pic1Value, pic2Value, lblpic1_1, lbldiv1,
                       lbldiv2);
      waveforms_->div1 = qs(lbldiv1.caption());
      waveforms_->div2 = qs(lbldiv2.caption());
      waveforms_->frequency = qs(lblpic1_1.caption());
    }
    return *waveforms_;
  }

  void plot(const QRectF& box, const RecordingSurface& surface) {
    if (!drawing()) {
      return;
    }
    painter().save();
    painter().translate(box.topLeft());
    painter().scale(kPlotScale, kPlotScale);
    painter().setClipRect(QRectF(0, 0, surface.pixelWidth(), surface.pixelHeight()));
    // The picture box's white ground, so the plot reads the same on any page colour.
    painter().fillRect(QRectF(0, 0, surface.pixelWidth(), surface.pixelHeight()), Qt::white);
    SurfacePaintOptions options;
    options.fontScale = fontScale();
    paintRecording(painter(), surface, options);
    painter().restore();
    frame(box, 0.5);
  }

  // Room for the shop's remarks and the three stamps of a Japanese drawing (approved, checked,
  // designed), filling what the page has left above the notice.
  void approvals(double y) {
    constexpr double kStampWidth = 52.0;
    constexpr double kStampHeader = 13.0;
    constexpr double kMaxHeight = 80.0;
    const double bottom = kBottom - kNoticeHeight - 8.0;
    const double height = std::min(kMaxHeight, bottom - y);
    if (height < 2 * kStampHeader) {
      return;
    }
    const QRectF box(kLeft, bottom - height, kWidth, height);
    const double stampsLeft = kRight - 3 * kStampWidth;
    const QFont captionFont = font(kProportional, 8.0);
    frame(box, 0.8);
    rule(stampsLeft, box.top(), stampsLeft, box.bottom(), 0.8, kRule);
    rule(kLeft, box.top() + kStampHeader, kRight, box.top() + kStampHeader, 0.4, kRule);
    text(QRectF(kLeft + kCellPadding, box.top(), 80.0, kStampHeader),
         Qt::AlignLeft | Qt::AlignVCenter, captionFont, QStringLiteral("備考"));
    const std::array<QString, 3> stamps{QStringLiteral("承認"), QStringLiteral("検図"),
                                        QStringLiteral("設計")};
    for (std::size_t i = 0; i < stamps.size(); ++i) {
      const double x = stampsLeft + static_cast<double>(i) * kStampWidth;
      if (i > 0) {
        rule(x, box.top(), x, box.bottom(), 0.4, kRule);
      }
      text(QRectF(x, box.top(), kStampWidth, kStampHeader), Qt::AlignCenter, captionFont,
           stamps[i]);
    }
  }

  // Label21's notice, closing the page.
  void notice() {
    const QRectF box(kLeft, kBottom - kNoticeHeight, kWidth, kNoticeHeight);
    rule(kLeft, box.top(), kRight, box.top(), 0.8, kRule);
    text(box, Qt::AlignCenter, font(kProportional, 8.5), qs(std::string_view(kClosingNotice)));
  }

  const DesignSheetContent& content_;
  TransformerPage transformer_;
  std::unique_ptr<Waveforms> waveforms_;
};

// The supply designFor made the design from: the mains input's at the outputs' input power,
// or the fixed DC input with its highest input.
InputSupply sheetSupply(const DesignState& state, const ReviewConditions& conditions) {
  const auto vin = static_cast<double>(state.Vin);
  if (conditions.mains && state.Effi > 0) {
    const double pin = outputPower(state, conditions) / static_cast<double>(state.Effi);
    if (std::optional<InputSupply> supply = mainsSupply(*conditions.mains, pin)) {
      return *supply;
    }
  }
  InputSupply supply;
  supply.VDCmin = vin;
  supply.VDCmax = conditions.vinMax.value_or(vin);
  return supply;
}

}  // namespace

DesignSheetContent designSheetContent(const DesignInputs& inputs, const DesignState& state,
                                      const ReviewConditions& conditions, std::u16string date,
                                      std::u16string program, std::string drawingNumber) {
  DesignSheetContent content;
  content.inputs = inputs;
  content.state = state;
  content.texts = resultTexts(state);
  content.conditions = conditions;
  content.supply = sheetSupply(state, conditions);
  if (const std::optional<double> swing = levelSwing(inputs.level)) {
    content.review = reviewDesign(state, *swing, conditions);
  }
  content.date = std::move(date);
  content.program = std::move(program);
  content.drawingNumber = std::move(drawingNumber);
  return content;
}

void paintDesignSheet(QPainter& painter, const DesignSheetContent& content) {
  SheetPainter(painter, content).paint();
}

std::string designSheetPdf(const DesignSheetContent& content) {
  const FontSession fonts;
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&buffer);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(),
                                     QPageLayout::Point));
    writer.setTitle(QStringLiteral("フライバックトランス設計書"));
    writer.setCreator(SheetCanvas::qs(content.program));
    writer.setResolution(720);
    QPainter painter(&writer);
    painter.scale(writer.resolution() / 72.0, writer.resolution() / 72.0);
    paintDesignSheet(painter, content);
    painter.end();
  }
  return bytes.toStdString();
}

}  // namespace fbc
