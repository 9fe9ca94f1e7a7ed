#include "export/design_sheet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include <QTemporaryDir>

#include "design/calculation.h"
#include "design/core_catalogue.h"
#include "pdf_tools.h"
#include "platform/text.h"
#include "review/review_display.h"
#include "review/winding_table.h"

namespace fbc {
namespace {

using test::pdfFonts;
using test::pdfImages;
using test::pdfInfo;
using test::pdfText;

std::string withoutBlanks(std::string text) {
  std::erase_if(text, [](char c) { return c == ' ' || c == '\n' || c == '\t' || c == '\f'; });
  return text;
}

class DesignSheetTest : public testing::Test {
 protected:
  // The sheet of `inputs`, written into the scratch folder as `name`.
  // `state` is the design state before the calculation, as the window keeps it.
  std::string render(const DesignInputs& inputs, const std::string& name,
                     const std::string& drawingNumber = "FT-1024", DesignState state = {}) {
    const CoreCatalogue catalogue;
    EXPECT_TRUE(calculateDesign(inputs, catalogue, state).completed);
    content_ =
        designSheetContent(inputs, state, u"2026-12-10", u"flyback-calc 1.0.0", drawingNumber);
    const std::string bytes = designSheetPdf(content_);
    const std::string path = dir_.filePath(QString::fromStdString(name)).toStdString();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  QTemporaryDir dir_;
  DesignSheetContent content_;
};

// The designer window's worked example: every box at its start value, EER25.5 at the typ level
// (the captions as tests/design/result_texts_test.cpp checks them).
TEST_F(DesignSheetTest, WorkedExampleIsOneA4PageOfSearchableTextInEmbeddedFontsWithoutImages) {
  const std::string path = render(DesignInputs{}, "worked.pdf");

  const std::string info = pdfInfo(path);
  EXPECT_NE(info.find("Pages:           1\n"), std::string::npos) << info;
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
  for (const ReviewQuantity& q : reviewQuantities(review)) {
    const ReviewDisplay* shown = reviewDisplay(q.name);
    ASSERT_NE(shown, nullptr) << q.name;
    const std::string row = toUtf8(shown->caption) + reviewValueText(*shown, q.value);
    EXPECT_NE(rowsText.find(withoutBlanks(row)), std::string::npos) << q.name;
  }
  const std::string layout = pdfText(path, true);
  for (const WindingRow& row : windingTable(review)) {
    const std::string turns = std::to_string(row.turns) + " ターン";
    EXPECT_NE(layout.find(turns), std::string::npos) << turns;
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
  EXPECT_EQ(text.find("判定："), std::string::npos);
  EXPECT_NE(pdfInfo(path).find("Pages:           1\n"), std::string::npos);
}

// The longest review (the most flags) still ends above the closing notice on the one page.
TEST_F(DesignSheetTest, TheMostFlaggedCatalogueDesignStillFitsThePage) {
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
  const std::string layout = pdfText(path, true);
  // The notice is the last line on the page: nothing ran into or past it.
  std::string last;
  std::istringstream lines(layout);
  for (std::string line; std::getline(lines, line);) {
    if (line.find_first_not_of(" \f") != std::string::npos) {
      last = line;
    }
  }
  EXPECT_NE(last.find("本設計ソフトは概算にて行っております。"), std::string::npos) << layout;
  EXPECT_NE(pdfInfo(path).find("Pages:           1\n"), std::string::npos);
}

}  // namespace
}  // namespace fbc
