#include "export/design_sheet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <QTemporaryDir>

#include "design/calculation.h"
#include "design/core_catalogue.h"
#include "export/export_renderer.h"
#include "export/transformer_build.h"
#include "export/winding_texts.h"
#include "pdf_tools.h"
#include "platform/number_text.h"
#include "platform/text.h"
#include "review/design_report.h"
#include "review/export_request.h"
#include "review/ferrite_material.h"
#include "review/losses.h"
#include "review/review_display.h"
#include "review/windings/winding_table.h"
#include "tests/support/an4137_example.h"

namespace fbc {
namespace {

using test::pdfFonts;
using test::pdfImages;
using test::pdfInfo;
using test::pdfText;
using test::pdfWords;

std::string withoutBlanks(std::string text) {
  std::erase_if(text, [](char c) { return c == ' ' || c == '\n' || c == '\t' || c == '\f'; });
  return text;
}

class DesignSheetTest : public testing::Test {
 protected:
  // The sheet of `inputs`, written into the scratch folder as `name`.
  // `state` is the design state before the calculation, as the window keeps it.
  std::string render(const DesignInputs& inputs, const std::string& name,
                     const std::string& drawingNumber = "FT-1024", DesignState state = {},
                     const ReviewConditions& conditions = {}) {
    const CoreCatalogue catalogue;
    EXPECT_TRUE(calculateDesign(inputs, catalogue, state).completed);
    content_ = designSheetContent(inputs, state, conditions, u"2026-12-10", u"flyback-calc 1.0.0",
                                  drawingNumber);
    return write(designSheetPdf(content_), name);
  }

  std::string write(const std::string& bytes, const std::string& name) {
    std::string path = dir_.filePath(QString::fromStdString(name)).toStdString();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  QTemporaryDir dir_;
  DesignSheetContent content_;
};

// Nothing on a page reaches its closing notice: every other word ends above the rule drawn
// over the notice, which stands 6 pt above its centred text, and no word leaves the page.
void expectAllAboveTheNotice(const std::string& path) {
  const std::vector<test::PdfWord> words = pdfWords(path);
  ASSERT_FALSE(words.empty());
  const int pages = words.back().page + 1;
  for (int page = 0; page < pages; ++page) {
    SCOPED_TRACE(page + 1);
    const auto notice = std::find_if(words.begin(), words.end(), [page](const test::PdfWord& w) {
      return w.page == page && w.text.starts_with("本設計ソフトは概算にて行っております。");
    });
    ASSERT_NE(notice, words.end());
    for (const test::PdfWord& w : words) {
      if (w.page == page && &w != &*notice) {
        EXPECT_LE(w.yMax, notice->yMin - 6.0) << w.text;
      }
    }
  }
  for (const test::PdfWord& w : words) {
    EXPECT_GE(w.xMin, 0.0) << w.text;
    EXPECT_LE(w.xMax, kSheetWidthPoints) << w.text;
    EXPECT_GE(w.yMin, 0.0) << w.text;
  }
}

// The page the first word starting with `start` stands on (0 the first), or -1.
int pageOf(const std::vector<test::PdfWord>& words, std::string_view start) {
  const auto found = std::find_if(words.begin(), words.end(), [start](const test::PdfWord& w) {
    return w.text.starts_with(start);
  });
  return found != words.end() ? found->page : -1;
}

// The design sheet on its one page and the transformer page after it, on a page of its own.
void expectTheDesignPageThenTheTransformerPage(const std::string& path) {
  EXPECT_NE(pdfInfo(path).find("Pages:           2\n"), std::string::npos);
  const std::vector<test::PdfWord> words = pdfWords(path);
  EXPECT_EQ(pageOf(words, "フライバックトランス設計書"), 0);
  EXPECT_EQ(pageOf(words, "トランス仕様書"), 1);
  EXPECT_EQ(pageOf(words, "動作波形"), 0);  // the design sheet's last section
}

// The designer window's worked example: every box at its start value, EER25.5 at the typ level
// (the captions as tests/design/result_texts_test.cpp checks them), on one A4 page with the
// transformer page after it.
TEST_F(DesignSheetTest, WorkedExampleIsAnA4PageOfSearchableTextInEmbeddedFontsWithoutImages) {
  const std::string path = render(DesignInputs{}, "worked.pdf");

  const std::string info = pdfInfo(path);
  expectTheDesignPageThenTheTransformerPage(path);
  EXPECT_TRUE(std::regex_search(info, std::regex(R"(Page size:\s+595(\.\d+)? x 842(\.\d+)? pts)")))
      << info;

  const std::string text = withoutBlanks(pdfText(path));
  const std::string expected[] = {
      "フライバックトランス設計書",
      "FT-1024",
      "2026-12-10",
      "flyback-calc1.0.0",
      "333.333[uH]",
      "1:0.136",
      "8.125668E-09,202.5396,0.2204155,36.32921",
      "銅線温度上昇が大きく危険です。コアを大きくするか容量をへらしましょう。",
      "本設計ソフトは概算にて行っております。温度を補償するものではありません。実験にてご評価くださ"
      "い。",
      "EER25.5",
      "普通(typ)",
      "50000",
      "fs=50kHz",
  };
  for (const std::string& value : expected) {
    EXPECT_NE(text.find(withoutBlanks(value)), std::string::npos) << value;
  }
  // lblIin stands beside its caption; "1.5" alone would be found inside other numbers.
  EXPECT_TRUE(std::regex_search(pdfText(path, true), std::regex(R"(入力電流\[A\]\s+1\.5\s)")));
  // The conditions of the losses stand among the design's, each beside its caption.
  const std::string rows = withoutBlanks(pdfText(path, true));
  for (const char* condition : {"コア材質N97", "周囲温度[℃]40", "上限温度[℃]100"}) {
    EXPECT_NE(rows.find(condition), std::string::npos) << condition;
  }

  const std::vector<test::PdfFont> fonts = pdfFonts(path);
  ASSERT_FALSE(fonts.empty());
  for (const test::PdfFont& font : fonts) {
    EXPECT_TRUE(font.embedded) << font.name;
  }
  EXPECT_TRUE(pdfImages(path).empty());
}

TEST_F(DesignSheetTest, ReviewVerdictFlagsAndWindingsAreText) {
  const std::string path = render(DesignInputs{}, "review.pdf");
  ASSERT_TRUE(content_.review.has_value());
  const DesignReview& review = *content_.review;
  ASSERT_TRUE(review.valid);
  ASSERT_FALSE(review.flags.empty());

  const std::string text = withoutBlanks(pdfText(path));
  EXPECT_NE(text.find(withoutBlanks(toUtf8(reviewVerdict(review)))), std::string::npos);
  for (const ReviewFlag flag : review.flags) {
    EXPECT_NE(text.find(withoutBlanks(toUtf8(reviewFlagShortName(flag)))), std::string::npos)
        << reviewFlagCode(flag);
  }
  // Each number beside its label, as the grid's rows stand on the page.
  const std::string rowsText = withoutBlanks(pdfText(path, true));
  // The gap's working stays in the review: the shop grinds the gap and checks AL. The flux at
  // the current limit stands beside the limit.
  const std::vector<std::string_view> notOnTheSheet = {
      "gapNoFringing", "fringingFactor", "gapWindowHeight", "Bsat", "Ilim", "BpkAtLimit"};
  for (const ReviewQuantity& q : reviewQuantities(review)) {
    const ReviewDisplay* shown = reviewDisplay(q.name);
    ASSERT_NE(shown, nullptr) << q.name;
    const std::string row = toUtf8(shown->caption) + reviewValueText(*shown, q.value);
    const bool shownOnSheet =
        std::find(notOnTheSheet.begin(), notOnTheSheet.end(), q.name) == notOnTheSheet.end();
    EXPECT_EQ(rowsText.find(withoutBlanks(row)) != std::string::npos, shownOnSheet) << q.name;
  }
  const std::string limit = "電流制限値/磁束密度" +
                            reviewValueText(*reviewDisplay("Ilim"), review.Ilim) + "A/" +
                            reviewValueText(*reviewDisplay("BpkAtLimit"), review.BpkAtLimit) + "T";
  EXPECT_NE(rowsText.find(limit), std::string::npos);
  const std::string layout = pdfText(path, true);
  for (const WindingRow& row : windingTable(review)) {
    const std::string turns = std::to_string(row.turns) + " ターン";
    EXPECT_NE(layout.find(turns), std::string::npos) << turns;
  }
}

// The losses beside their captions in the review's units, and each winding's layers and build
// in the winding table, for the conditions the sheet was asked for.
TEST_F(DesignSheetTest, LossesTemperatureAndWindingLayersAreText) {
  struct Case {
    const char* name;
    const char* material;
    double ambient;
    double maxTemperature;
  };
  const Case cases[] = {
      {"start.pdf", "N97", 40.0, 100.0},
      {"n87.pdf", "N87", 25.0, 120.0},
      {"3c95.pdf", "3C95", -10.0, 85.5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ReviewConditions conditions;
    conditions.material = ferriteMaterial(c.material);
    conditions.ambient = c.ambient;
    conditions.maxTemperature = c.maxTemperature;
    DesignInputs inputs;
    inputs.core = u"PQ40";
    const std::string path = render(inputs, c.name, "FT-1024", {}, conditions);
    ASSERT_TRUE(content_.review.has_value());
    const TransformerLosses& losses = content_.review->losses;
    ASSERT_TRUE(losses.valid);
    EXPECT_EQ(losses.material, c.material);

    const std::string rows = withoutBlanks(pdfText(path, true));
    const auto shown = [](std::string_view name, double value) {
      const ReviewDisplay* display = reviewDisplay(name);
      return toUtf8(display->caption) + reviewValueText(*display, value) + toUtf8(display->unitJa);
    };
    for (const std::string& expected :
         {shown("Pcore", losses.Pcore), shown("PcuP", losses.find(Winding::Primary)->Pcu),
          shown("PcuS", losses.find(Winding::Secondary)->Pcu), shown("Ptotal", losses.Ptotal),
          shown("dT", losses.dT), shown("Tambient", c.ambient), shown("Tcore", losses.Tcore),
          std::string("コア材質") + c.material,
          "上限温度[℃]" + toUtf8(generalText(c.maxTemperature))}) {
      EXPECT_NE(rows.find(withoutBlanks(expected)), std::string::npos) << expected;
    }
    // PQ40 has no published thermal resistance: the sheet says it is estimated.
    EXPECT_NE(rows.find("熱抵抗(推定値)" + reviewValueText(*reviewDisplay("Rth"), losses.Rth)),
              std::string::npos);

    // Each winding's row ends in its layers and build.
    const std::string layout = pdfText(path, true);
    for (const WindingLoss& w : losses.windings) {
      const std::string name = w.winding == Winding::Primary ? "一次 Np" : "二次 Ns";
      const std::string tail = std::to_string(w.layout.layers) + " 層" +
                               reviewValueText(*reviewDisplay("buildP"), w.layout.build) + " mm";
      bool found = false;
      std::istringstream lines(layout);
      for (std::string line; std::getline(lines, line);) {
        if (line.find(name) != std::string::npos) {
          found = withoutBlanks(line).ends_with(withoutBlanks(tail));
        }
      }
      EXPECT_TRUE(found) << name << ": " << tail;
    }
    expectTheDesignPageThenTheTransformerPage(path);
  }
}

// flyback-export draws the sheet in the conditions of the request, as the report was made: the
// material and the temperature limit among the conditions, a given wire and arrangement in the
// winding table.
TEST_F(DesignSheetTest, TheExportRequestsConditionsReachTheSheet) {
  ExportRequest request;
  request.kind = ExportKind::SheetPdf;
  request.inputs.core = u"PQ50";
  request.reviewInputs.text(ReviewInput::Material) = u"3C90";
  request.reviewInputs.text(ReviewInput::MaxTemperature) = u"150";
  request.reviewInputs.text(ReviewInput::WireSecondary) = u"litz:0.1x200";
  request.reviewInputs.text(ReviewInput::Arrangement) = u"ps";
  const DesignReport report =
      designFor(request.inputs, CoreCatalogue{}, "--", request.reviewInputs);
  ASSERT_TRUE(report.review && report.review->losses.valid && report.review->losses.fits);
  const std::string path = write(renderExport(request, report), "request.pdf");
  const std::string rows = withoutBlanks(pdfText(path, true));
  EXPECT_NE(rows.find("コア材質3C90"), std::string::npos);
  EXPECT_NE(rows.find("上限温度[℃]150"), std::string::npos);
  EXPECT_NE(
      rows.find("コア温度" + reviewValueText(*reviewDisplay("Tcore"), report.review->losses.Tcore)),
      std::string::npos);
  EXPECT_NE(rows.find("二次Ns4ターンリッツ線φ0.10×200(指定)"), std::string::npos) << rows;
  EXPECT_NE(rows.find("巻線配置ps(一次・二次)(指定)中心から一次33T、二次4T"), std::string::npos)
      << rows;
}

// The drive mode stands on a line of its own under the conditions, by the window's caption with
// the mode's own input; LpRef loses its "(critical)" outside the critical modes; every mode's
// sheet still ends above the closing notice.
TEST_F(DesignSheetTest, TheDriveModeStandsInTheConditions) {
  const struct {
    const char* mode;
    const char* ownInput;
    std::string line;
    bool critical;
  } cases[] = {
      {"pwm-critical", "", "駆動方式PWM(電流臨海モード：Fs指定,Lp可変)", true},
      {"pfm-critical", "", "駆動方式PFM(臨海モード：希望Fs指定,Lp可変)", true},
      {"pwm-ccm", "0.4", "駆動方式PWM(電流連続モード：Fs指定,リプル指定,Lp可変)リプル率KRF0.4",
       false},
      {"qr", "2.2e-10", "駆動方式SPFM(擬似共振臨海モード：希望Fs指定,Lp可変)ドレイン容量[F]2.2E-10",
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode);
    ExportRequest request;
    request.kind = ExportKind::SheetPdf;
    request.inputs.core = u"PQ50";
    request.reviewInputs.text(ReviewInput::Mode) = fromUtf8(c.mode);
    request.reviewInputs.text(ReviewInput::Ripple) = u"0.4";
    request.reviewInputs.text(ReviewInput::DrainCapacitance) = u"2.2e-10";
    const DesignReport report =
        designFor(request.inputs, CoreCatalogue{}, "--", request.reviewInputs);
    ASSERT_TRUE(report.review && report.review->valid);
    const std::string path = write(renderExport(request, report), std::string(c.mode) + ".pdf");
    const std::string rows = withoutBlanks(pdfText(path, true));
    EXPECT_NE(rows.find(c.line), std::string::npos) << rows;
    // Another mode's input is not shown.
    EXPECT_EQ(rows.find("リプル率") != std::string::npos, std::string(c.mode) == "pwm-ccm");
    EXPECT_EQ(rows.find("一次インダクタンス(臨界)") != std::string::npos, c.critical);
    expectTheDesignPageThenTheTransformerPage(path);
    expectAllAboveTheNotice(path);
  }
}

TEST_F(DesignSheetTest, WithoutALevelTheSheetSaysThereIsNoReview) {
  // With no level button chosen the window keeps the flux swing of the calculation before.
  DesignState before;
  ASSERT_TRUE(calculateDesign(DesignInputs{}, CoreCatalogue{}, before).completed);
  DesignInputs inputs;
  inputs.level = CoreLevel::None;
  const std::string path = render(inputs, "none.pdf", "", before);
  EXPECT_FALSE(content_.review.has_value());
  const std::string text = withoutBlanks(pdfText(path));
  EXPECT_NE(text.find("検討していません"), std::string::npos);
  EXPECT_NE(text.find("損失は計算していません"), std::string::npos);
  EXPECT_EQ(text.find("判定："), std::string::npos);
  EXPECT_NE(pdfInfo(path).find("Pages:           1\n"), std::string::npos);
}

// The longest review (the most flags, the advice that a DC design's functional insulation
// leaves the creepage unchecked among them) goes on over further pages rather than into the
// closing notice: each page ends in its notice with nothing reaching it, no flag's sentence and
// no section is left out, and the transformer page comes last on a page of its own.
TEST_F(DesignSheetTest, TheMostFlaggedCatalogueDesignFlowsOverPagesWithinTheFrame) {
  const CoreCatalogue catalogue;
  DesignInputs worst;
  std::size_t most = 0;
  for (const std::u16string& core : catalogue.listNames()) {
    for (const CoreLevel level : {CoreLevel::Hi, CoreLevel::Typ, CoreLevel::Lo}) {
      DesignInputs inputs;
      inputs.core = core;
      inputs.level = level;
      inputs.fs = u"200000";  // thinner skin depth: more windings need strands
      DesignState state;
      if (!calculateDesign(inputs, catalogue, state).completed) {
        continue;
      }
      const DesignReview review = reviewDesign(state, levelSwing(level).value());
      if (review.flags.size() > most) {
        most = review.flags.size();
        worst = inputs;
      }
    }
  }
  ASSERT_GT(most, 0U);
  const std::string path = render(worst, "worst.pdf");
  ASSERT_TRUE(content_.review.has_value());
  EXPECT_TRUE(content_.review->has(ReviewFlag::CreepageUnchecked));
  expectAllAboveTheNotice(path);
  // The notice is the last line of every page: nothing ran into or past it.
  const std::string layout = pdfText(path, true);
  std::istringstream pages(layout);
  int pageCount = 0;
  for (std::string page; std::getline(pages, page, '\f');) {
    std::string last;
    std::istringstream lines(page);
    for (std::string line; std::getline(lines, line);) {
      if (line.find_first_not_of(' ') != std::string::npos) {
        last = line;
      }
    }
    if (last.empty()) {
      continue;  // what follows the last page's form feed
    }
    ++pageCount;
    EXPECT_NE(last.find("本設計ソフトは概算にて行っております。"), std::string::npos) << page;
  }
  EXPECT_GE(pageCount, 3);
  const std::string text = withoutBlanks(pdfText(path));
  for (const ReviewFlag flag : content_.review->flags) {
    EXPECT_NE(text.find(withoutBlanks(toUtf8(reviewFlagSentence(flag)))), std::string::npos)
        << reviewFlagCode(flag);
  }
  std::size_t previous = 0;
  for (const char* section : {"1設計条件", "2計算結果", "3設計検討", "4損失と温度",
                              "5スイッチとクランプ", "6巻線仕様", "7動作波形"}) {
    const std::size_t at = text.find(section);
    EXPECT_NE(at, std::string::npos) << section;
    EXPECT_GE(at, previous) << section;
    previous = at;
  }
  const std::vector<test::PdfWord> words = pdfWords(path);
  EXPECT_EQ(pageOf(words, "トランス仕様書"), pageCount - 1);
  EXPECT_LT(pageOf(words, "動作波形"), pageCount - 1);
}

// The switch's section stands between the losses and the windings, each figure beside its
// caption: the worked example on PQ50 at 370 V, wound as the review chooses (foil, interleaved),
// is pinned to the engine's figures, the measured leakages too, and a measured leakage of zero
// needs no clamp at all.
TEST_F(DesignSheetTest, TheSwitchAndClampSectionShowsTheLeakageThePartsAndThePeakVoltages) {
  struct Case {
    const char* name;
    std::optional<double> vinMax;
    std::optional<double> leakage;
    std::vector<std::string> rows;
  };
  const Case cases[] = {
      {"estimated.pdf",
       370.0,
       std::nullopt,
       {"最大直流入力電圧[V] 370", "漏れインダクタンス[H] 巻線から推定", "最大入力電圧 370.0 V",
        "漏れインダクタンス(巻線から推定) 1.26 µH", "クランプ電圧(購入抵抗) 304.5 V",
        "クランプ損失(購入抵抗) 3.43 W", "クランプ抵抗(E24)・定格電力 27000 Ω・6.87 W",
        "クランプ容量(E12) 8.20 nF", "スイッチ最大電圧/定格 689.7 V / 650 V",
        "ダイオード最大逆電圧 68.8 V"}},
      {"start.pdf",
       std::nullopt,
       std::nullopt,
       {"最大直流入力電圧[V] 入力電圧と同じ", "最大入力電圧 200.0 V",
        "漏れインダクタンス(巻線から推定) 1.26 µH", "スイッチ最大電圧/定格 519.7 V / 650 V",
        "ダイオード最大逆電圧 48.2 V"}},
      {"measured.pdf",
       370.0,
       4.5e-6,
       {"漏れインダクタンス[H] " + toUtf8(generalText(4.5e-6)),
        "漏れインダクタンス(実測値) 4.50 µH"}},
      {"zero.pdf",
       370.0,
       0.0,
       {"漏れインダクタンス(実測値) 0.00 µH", "クランプ損失(購入抵抗) 0.00 W",
        "クランプ抵抗(E24)・定格電力 不要", "クランプ容量(E12) 不要",
        "クランプ電圧(購入抵抗) 305.7 V"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DesignInputs inputs;
    inputs.core = u"PQ50";
    ReviewConditions conditions;
    conditions.vinMax = c.vinMax;
    conditions.leakage = c.leakage;
    const std::string path = render(inputs, c.name, "FT-1024", {}, conditions);
    ASSERT_TRUE(content_.review.has_value());
    const SwitchStress& stress = content_.review->stress;
    ASSERT_TRUE(stress.valid);

    const std::string rows = withoutBlanks(pdfText(path, true));
    for (const std::string& row : c.rows) {
      EXPECT_NE(rows.find(withoutBlanks(row)), std::string::npos) << row;
    }
    if (c.leakage && *c.leakage > 0.0) {
      // The parts follow the measured leakage as the engine sized them.
      const auto shown = [](std::string_view name, double value) {
        const ReviewDisplay* d = reviewDisplay(name);
        return reviewValueText(*d, value) + toUtf8(d->unitJa);
      };
      EXPECT_NE(rows.find("クランプ抵抗(E24)・定格電力" + shown("RclampE24", stress.RclampE24) +
                          "・" + shown("PratingR", stress.PratingR)),
                std::string::npos);
      EXPECT_NE(rows.find("クランプ容量(E12)" + shown("CclampE12", stress.CclampE12)),
                std::string::npos);
    }

    const std::string text = withoutBlanks(pdfText(path));
    const std::size_t losses = text.find("4損失と温度");
    const std::size_t section = text.find("5スイッチとクランプ");
    const std::size_t windings = text.find("6巻線仕様");
    const std::size_t plots = text.find("7動作波形");
    ASSERT_NE(section, std::string::npos);
    EXPECT_LT(losses, section);
    EXPECT_LT(section, windings);
    EXPECT_LT(windings, plots);
    EXPECT_NE(plots, std::string::npos);
    expectTheDesignPageThenTheTransformerPage(path);
    expectAllAboveTheNotice(path);
  }
}

// The winding table gives the shop each winding's turns and wire (kind, strand diameter and
// count, marked where it was given rather than chosen), outer diameter, turns per layer, layers
// and build as the review wound it; beneath it the arrangement, the order from the centre leg,
// the height the windings take against the bobbin's and the breadth they are laid across.
TEST_F(DesignSheetTest, TheWindingTableGivesEachWireItsLayoutAndTheOrderFromTheCentreLeg) {
  struct Case {
    const char* name;
    const char16_t* core;
    std::optional<Wire> primary;
    std::optional<Wire> secondary;
    std::optional<WindingArrangement> arrangement;
    std::string line;
  };
  const Case cases[] = {
      {"chosen.pdf", u"PQ50", std::nullopt, std::nullopt, std::nullopt,
       "巻線配置 psp (挟み巻き) 中心から 一次(内側) 17T、二次 4T、一次(外側) 16T"},
      {"given.pdf", u"PQ50", Wire{WireKind::Litz, 0.1, 60}, Wire{WireKind::Strands, 0.5, 8},
       WindingArrangement::Ps, "巻線配置 ps (一次・二次) (指定) 中心から 一次 33T、二次 4T"},
      {"unfit.pdf", u"EER25.5", std::nullopt, std::nullopt, std::nullopt,
       "巻線配置 ps (一次・二次) 中心から 一次 227T、二次 28T"},
  };
  const auto millimetres = [](double mm) {
    return reviewValueText(*reviewDisplay("buildP"), mm * 1e-3) + " mm";
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DesignInputs inputs;
    inputs.core = c.core;
    ReviewConditions conditions;
    conditions.wirePrimary = c.primary;
    conditions.wireSecondary = c.secondary;
    conditions.arrangement = c.arrangement;
    const std::string path = render(inputs, c.name, "FT-1024", {}, conditions);
    ASSERT_TRUE(content_.review.has_value());
    const std::vector<WindingRow> table = windingTable(*content_.review);
    ASSERT_EQ(table.size(), 2U);
    const std::string rows = withoutBlanks(pdfText(path, true));
    for (const WindingRow& row : table) {
      EXPECT_EQ(row.wireChosen,
                !(row.winding == Winding::Primary ? c.primary : c.secondary).has_value());
      const std::string expected =
          std::string(row.winding == Winding::Primary ? "一次 Np " : "二次 Ns ") +
          std::to_string(row.turns) + " ターン " + wireDescriptionJa(row.wire).toStdString() +
          (row.wireChosen ? "" : " (指定)") + millimetres(row.outerDiameter) +
          std::to_string(row.turnsPerLayer) + " ターン" + std::to_string(row.layers) + " 層" +
          millimetres(row.build);
      EXPECT_NE(rows.find(withoutBlanks(expected)), std::string::npos) << expected;
    }
    const TransformerLosses& losses = content_.review->losses;
    // A DC design's functional insulation has no margins: the windings take the whole breadth.
    EXPECT_EQ(losses.windingBreadth, losses.bobbinBreadth);
    const std::string line = c.line + " 高さ計(テープ込) " + millimetres(losses.buildTotal * 1e3) +
                             " / ボビン " + millimetres(losses.bobbinBuild * 1e3) + " 巻幅 " +
                             millimetres(losses.windingBreadth * 1e3);
    EXPECT_NE(rows.find(withoutBlanks(line)), std::string::npos) << line << "\n" << rows;
    expectTheDesignPageThenTheTransformerPage(path);
    expectAllAboveTheNotice(path);
  }
}

// PQ35 at the start values runs away: no temperature balances its losses below 250 °C. The
// losses' heading names it, the copper's, total's and temperatures' fields read "—", and the
// blocking flag's sentence stands among the flags.
TEST_F(DesignSheetTest, ARunawayShowsNoTemperatureAndSaysWhy) {
  DesignInputs inputs;
  inputs.core = u"PQ35";
  const std::string path = render(inputs, "runaway.pdf");
  ASSERT_TRUE(content_.review.has_value());
  ASSERT_TRUE(content_.review->has(ReviewFlag::ThermalRunaway));
  const std::string rows = withoutBlanks(pdfText(path, true));
  const std::string text = withoutBlanks(pdfText(path));
  EXPECT_NE(rows.find(withoutBlanks("熱暴走: no balance below 250 °C")), std::string::npos);
  for (const std::string dash : {"一次銅損—", "二次銅損—", "全損失—", "温度上昇—", "コア温度—"}) {
    EXPECT_NE(rows.find(dash), std::string::npos) << dash;
  }
  EXPECT_NE(text.find(withoutBlanks(toUtf8(reviewFlagSentence(ReviewFlag::ThermalRunaway)))),
            std::string::npos);
  expectAllAboveTheNotice(path);
}

// Windings that do not fit the bobbin (the start values on EER25.5) give no AC loss, copper
// loss, total, temperature, leakage or clamp: each of their fields reads "—" and a note under
// each section says why. A measured leakage brings the switch's figures back; the losses stay
// unknown.
TEST_F(DesignSheetTest, FiguresOfWindingsThatDoNotFitAreDashesWithTheReason) {
  const std::string lossesWhy = withoutBlanks("※" + lossesNotEstimatedJa().toStdString());
  const std::string leakageWhy = withoutBlanks("※" + leakageNotEstimatedJa().toStdString());
  const std::vector<std::string> lossDashes = {"一次銅損—", "二次銅損—", "全損失—", "温度上昇—",
                                               "コア温度—"};
  const std::vector<std::string> leakageDashes = {
      "漏れインダクタンス(巻線から推定)—", "クランプ損失(購入抵抗)—",
      "クランプ抵抗(E24)・定格電力—", "クランプ容量(E12)—"};
  for (const std::optional<double> leakage : {std::optional<double>(), std::optional(10e-6)}) {
    SCOPED_TRACE(leakage.value_or(0.0));
    ReviewConditions conditions;
    conditions.leakage = leakage;
    const std::string path = render(DesignInputs{}, "unfit.pdf", "FT-1024", {}, conditions);
    ASSERT_TRUE(content_.review.has_value());
    ASSERT_FALSE(content_.review->losses.fits);
    const std::string rows = withoutBlanks(pdfText(path, true));
    const std::string text = withoutBlanks(pdfText(path));
    for (const std::string& dash : lossDashes) {
      EXPECT_NE(rows.find(dash), std::string::npos) << dash;
    }
    // What the windings' copper does not decide is still there.
    EXPECT_NE(rows.find("コア損失0.04W"), std::string::npos);
    EXPECT_NE(rows.find("周囲温度40.0℃"), std::string::npos);
    // The clamp as worked out where no resistor could be sized; as bought with a measured leakage.
    EXPECT_EQ(rows.find("スイッチ最大電圧/定格515.4V/650V") != std::string::npos, !leakage);
    EXPECT_NE(rows.find("スイッチ最大電圧/定格"), std::string::npos);
    EXPECT_NE(text.find(lossesWhy), std::string::npos);
    for (const std::string& dash : leakageDashes) {
      EXPECT_EQ(rows.find(dash) != std::string::npos, !leakage) << dash;
    }
    EXPECT_EQ(text.find(leakageWhy) != std::string::npos, !leakage);
    if (leakage) {
      EXPECT_NE(rows.find("漏れインダクタンス(実測値)10.00µH"), std::string::npos);
      EXPECT_EQ(rows.find("クランプ損失(購入抵抗)—"), std::string::npos);
    }
    expectTheDesignPageThenTheTransformerPage(path);
    expectAllAboveTheNotice(path);
  }
}

// Fairchild AN-4137's worked example (appendix): 85–265 VAC at 60 Hz onto 150 µF, η 0.7, D 0.48,
// 66 kHz in continuous conduction at KRF 0.33, the 3.3 V 2 A main output on 2 turns beside
// 5 V 2 A, 12 V 1.5 A, 18 V 0.5 A and 33 V 0.1 A and a 12 V bias, its leakage 4.5 µH; PQ3230
// stands in for its EER3530. The conditions show the mains input (the capacitor given, or
// chosen by the rule of thumb, which also gives 150 µF for its 67 W), the review every output
// from the whole turns (eq. 14's 2, 3, 7, 10 and 18 turns and 7 for the bias), the winding
// table every winding in the order from the centre leg; the sheet goes on to a second page
// with nothing outside either, and ends in the transformer page.
TEST_F(DesignSheetTest, AMainsDesignWithFiveOutputsAndABiasShowsTheInputEveryOutputAndWinding) {
  const struct {
    const char* name;
    const char16_t* bulk;
    const char* shown;
  } cases[] = {
      {"an4137.pdf", u"150e-6", "平滑容量150µF(指定)"},
      {"an4137-chosen.pdf", u"", "平滑容量150µF(自動)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ExportRequest request;
    request.kind = ExportKind::SheetPdf;
    const An4137Example example = an4137Example(u"PQ3230", kAn4137Outputs, c.bulk);
    request.inputs = example.inputs;
    request.reviewInputs = example.reviewInputs;
    const DesignReport report =
        designFor(request.inputs, CoreCatalogue{}, "--", request.reviewInputs);
    ASSERT_EQ(report.supply.kind, InputSupply::Kind::Ac);
    ASSERT_TRUE(report.review && report.review->valid && report.review->losses.valid);
    const DesignReview& review = *report.review;
    ASSERT_EQ(review.outputs.size(), 5U);
    ASSERT_TRUE(review.bias);
    const std::string path = write(renderExport(request, report), c.name);
    const std::string rows = withoutBlanks(pdfText(path, true));

    const InputSupply& supply = report.supply;
    const std::string input = std::string("商用入力85〜265Vrms60Hz") + c.shown + "Dch0.2VDCmin" +
                              QString::number(supply.VDCmin, 'f', 2).toStdString() + "V/VDCmax" +
                              QString::number(supply.VDCmax, 'f', 1).toStdString() + "V";
    EXPECT_NE(rows.find(input), std::string::npos) << input << "\n" << rows;
    EXPECT_NE(rows.find("主出力の巻数2"), std::string::npos);
    // Reinforced insulation's margins, 2.7 mm at each end, leave 13.40 mm of PQ3230's 18.80 mm.
    EXPECT_NE(rows.find("巻幅13.40mm(ボビン18.80mm)"), std::string::npos) << rows;

    const auto outputRow = [](Winding winding, const OutputResult& o) {
      const QString error = std::abs(o.errorPercent) < 0.05
                                ? QStringLiteral("0.0")
                                : QString::asprintf("%+.1f", o.errorPercent);
      return withoutBlanks((windingNameJa(winding) + QString::number(o.V, 'g', 6) +
                            QString::number(o.I, 'g', 6) + QString::number(o.Vf, 'g', 6) +
                            QStringLiteral("%1T").arg(o.turns) +
                            QString::number(o.Vactual, 'f', 2) + error +
                            QString::number(o.IsRms, 'f', 3) + QString::number(o.VdRevMax, 'f', 1))
                               .toStdString());
    };
    const int wholeTurns[] = {2, 3, 7, 10, 18};
    for (std::size_t i = 0; i < review.outputs.size(); ++i) {
      EXPECT_EQ(review.outputs[i].turns, wholeTurns[i]);
      const std::string row = outputRow(outputWinding(static_cast<int>(i) + 1), review.outputs[i]);
      EXPECT_NE(rows.find(row), std::string::npos) << row;
    }
    EXPECT_EQ(review.bias->turns, 7);
    EXPECT_NE(rows.find(outputRow(Winding::Bias, *review.bias)), std::string::npos);

    // One row a winding, in the order they are wound from the centre leg outward.
    const auto millimetres = [](double mm) {
      return reviewValueText(*reviewDisplay("buildP"), mm * 1e-3) + " mm";
    };
    std::vector<std::size_t> places;
    const std::vector<WindingRow> table = windingTable(review);
    ASSERT_EQ(table.size(), 7U);
    for (const WindingPlace& place : windingOrder(review.losses)) {
      const auto row = std::find_if(table.begin(), table.end(), [&place](const WindingRow& r) {
        return r.winding == place.winding;
      });
      ASSERT_NE(row, table.end());
      if (place.part == WindingPlace::Part::OuterHalf) {
        continue;
      }
      std::string symbol(windingSuffix(row->winding));
      std::transform(symbol.begin(), symbol.end(), symbol.begin(),
                     [](char ch) { return static_cast<char>(std::tolower(ch)); });
      const std::string expected = withoutBlanks(
          windingNameJa(row->winding).toStdString() + "N" + symbol + std::to_string(row->turns) +
          "ターン" + wireDescriptionJa(row->wire).toStdString() + millimetres(row->outerDiameter) +
          std::to_string(row->turnsPerLayer) + "ターン" + std::to_string(row->layers) + "層" +
          millimetres(row->build));
      places.push_back(rows.find(expected));
      EXPECT_NE(places.back(), std::string::npos) << expected;
    }
    EXPECT_EQ(places.size(), table.size());
    EXPECT_TRUE(std::is_sorted(places.begin(), places.end()));
    // Every secondary's copper beside the primary's, so that the parts add up to the total.
    for (const WindingLoss& w : review.losses.windings) {
      EXPECT_NE(rows.find(windingNameJa(w.winding).toStdString() + "銅損"), std::string::npos)
          << windingName(w.winding);
    }

    EXPECT_NE(pdfInfo(path).find("Pages:           3\n"), std::string::npos);
    EXPECT_NE(rows.find("page2of3"), std::string::npos);
    EXPECT_NE(rows.find("page3of3"), std::string::npos);
    expectAllAboveTheNotice(path);
  }
}

// The text of page `page` (0 the first) as it stands on the page.
std::string pageText(const std::string& path, int page) {
  std::istringstream pages(pdfText(path, true));
  std::string text;
  for (int i = 0; i <= page && std::getline(pages, text, '\f'); ++i) {
  }
  return text;
}

// 一次(内側), 二次3, 補助: a winding's place as the transformer page names it.
std::string placeName(const WoundWinding& w) {
  std::string name = windingNameJa(w.winding).toStdString();
  if (w.half == WindingPlace::Part::InnerHalf) {
    name += "(内側)";
  } else if (w.half == WindingPlace::Part::OuterHalf) {
    name += "(外側)";
  }
  return name;
}

// The transformer page of AN-4137's example (PQ3230 for its EER3530, 85–265 VAC): reinforced
// insulation by default, built with margin tape or with triple-insulated outputs. Its own page,
// the last, in searchable text and embedded fonts without a raster image: the pins of every
// winding in the diagram and the winding order from the centre leg (pins, turns, wire, layers,
// margins at both ends, the tape over it), the electric strength test between the sides
// (4000 V peak, the customary 3000 VAC for 60 s, every primary-side pin to every secondary-side
// one), the creepage and clearance, and the materials with the margin tape where there is one.
TEST_F(DesignSheetTest, TheTransformerPageGivesTheShopPinsOrderTestsAndMaterials) {
  for (const char16_t* construction : {u"margin", u"tiw"}) {
    const bool tiw = std::u16string_view(construction) == u"tiw";
    SCOPED_TRACE(tiw ? "tiw" : "margin");
    ExportRequest request;
    request.kind = ExportKind::SheetPdf;
    const An4137Example example = an4137Example(u"PQ3230");
    request.inputs = example.inputs;
    request.reviewInputs = example.reviewInputs;
    request.reviewInputs.text(ReviewInput::Construction) = construction;
    const DesignReport report =
        designFor(request.inputs, CoreCatalogue{}, "--", request.reviewInputs);
    ASSERT_TRUE(report.review && report.review->valid);
    const std::optional<TransformerBuild> build = transformerBuild(*report.review);
    ASSERT_TRUE(build.has_value());
    EXPECT_EQ(build->tests.leakageMax.has_value(), !tiw);
    const std::string path = write(renderExport(request, report), tiw ? "tiw.pdf" : "margin.pdf");

    const std::vector<test::PdfWord> words = pdfWords(path);
    const int last = words.back().page;
    EXPECT_EQ(pageOf(words, "トランス仕様書"), last);
    EXPECT_LT(pageOf(words, "動作波形"), last);
    const std::string page = pageText(path, last);
    const std::string rows = withoutBlanks(page);

    // Every pin a winding starts, taps or finishes on stands in the diagram.
    for (const WindingPins& pins : report.review->pins.windings) {
      for (const int pin : {pins.start, pins.finish, pins.tap.value_or(pins.start)}) {
        const auto found = std::find_if(words.begin(), words.end(), [&](const test::PdfWord& w) {
          return w.page == last && w.text == std::to_string(pin);
        });
        EXPECT_NE(found, words.end()) << pin;
      }
    }
    // The winding order, one row a winding from the centre leg out.
    std::size_t previous = 0;
    int place = 0;
    for (const WoundWinding& w : build->windings) {
      std::string wire = wireDescriptionJa(w.wire).toStdString();
      if (w.tripleInsulated) {
        wire += " TIW";
      }
      const std::string row = withoutBlanks(
          std::to_string(++place) + placeName(w) + pinsText(w) + std::to_string(w.turns) + "T" +
          wire + std::to_string(w.layers) + "層×" + std::to_string(w.turnsPerLayer) + "T" +
          marginText(w.margin) + tapeText(w.tapeLayers, w.tapeLayer));
      const std::size_t at = rows.find(row);
      EXPECT_NE(at, std::string::npos) << row << "\n" << page;
      EXPECT_GE(at, previous) << row;
      previous = at;
      EXPECT_EQ(w.tripleInsulated,
                tiw && w.winding != Winding::Primary && w.winding != Winding::Bias);
    }
    for (const std::string& expected :
         {std::string(tiw ? "—" : "2.7 mm"), std::string(tiw ? "1 × 0.05 mm" : "3 × 0.05 mm"),
          std::string("4000 V ピーク"), std::string("3000 VAC 60 秒"),
          std::string("一次側 1–6 (一括) と 二次側 7–12 (一括) の間"),
          std::string("出力の巻き始めは共通のピン 7"), std::string("5.4 mm / 3.0 mm 以上"),
          std::string("強化絶縁"), std::string("動作電圧 265 V (商用入力の最高実効値)"),
          "端子 1–2 間 " + reviewValueText(*reviewDisplay("LpRef"), report.review->LpRef) +
              " µH ±10 % (66 kHz",
          "AL " + reviewValueText(*reviewDisplay("AL"), report.review->AL) + " nH/N² ±5 %",
          // The layout's estimate where the windings fit (with margins they do; the thicker
          // triple-insulated wires do not), and why there is none where they do not.
          build->tests.leakageMax
              ? reviewValueText(*reviewDisplay("Llk"), *build->tests.leakageMax) + " µH 以下"
              : "— (" + leakageNotEstimatedJa().toStdString() + ")",
          std::string("ポリエステル、幅 18.8 mm、厚さ 0.05 mm"), std::string("含浸ワニス")}) {
      EXPECT_NE(rows.find(withoutBlanks(expected)), std::string::npos) << expected << "\n" << page;
    }
    EXPECT_EQ(rows.find("TIW") != std::string::npos, tiw);
    EXPECT_EQ(rows.find("マージンテープ") != std::string::npos, !tiw);
    EXPECT_EQ(rows.find(withoutBlanks("ポリエステル、幅 2.7 mm")) != std::string::npos, !tiw);

    for (const test::PdfFont& font : pdfFonts(path)) {
      EXPECT_TRUE(font.embedded) << font.name;
    }
    EXPECT_TRUE(pdfImages(path).empty());
    expectAllAboveTheNotice(path);
  }
}

// A DC input's functional insulation (the start values on PQ50, wound psp): the page says
// plainly that no electric strength test applies and gives no creepage; a split primary shows
// its tap, the inner half wound first and the outer half last.
TEST_F(DesignSheetTest, AFunctionalDesignsTransformerPageSaysNoElectricStrengthTestApplies) {
  DesignInputs inputs;
  inputs.core = u"PQ50";
  const std::string path = render(inputs, "functional.pdf");
  expectTheDesignPageThenTheTransformerPage(path);
  const std::string page = pageText(path, 1);
  const std::string rows = withoutBlanks(page);
  EXPECT_NE(rows.find("耐電圧試験機能絶縁のため、耐電圧試験は適用しません"), std::string::npos)
      << page;
  EXPECT_NE(rows.find("沿面距離/空間距離—(機能絶縁)"), std::string::npos) << page;
  EXPECT_EQ(rows.find("VAC"), std::string::npos);
  EXPECT_EQ(rows.find("ピーク"), std::string::npos);
  const std::size_t inner = rows.find("1一次(内側)1→2");
  const std::size_t outer = rows.find("3一次(外側)2→3");
  EXPECT_NE(inner, std::string::npos) << page;
  EXPECT_NE(outer, std::string::npos) << page;
  EXPECT_LT(inner, outer);
  expectAllAboveTheNotice(path);
}

}  // namespace
}  // namespace fbc
