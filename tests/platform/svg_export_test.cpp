#include "platform/svg_export.h"

#include <functional>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/palette.h"
#include "platform/recording_surface.h"

namespace fbc {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

int countOf(const std::string& text, const std::string& piece) {
  int count = 0;
  for (auto at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) {
    ++count;
  }
  return count;
}

// 200 x 100 pixels measuring 2e-5 x 1100: one pixel is 1e-7 wide and 11 high.
class SvgExportTest : public ::testing::Test {
 protected:
  SvgExportTest() {
    surface.setScaleWidth(2e-5F);
    surface.setScaleHeight(1100.0F);
  }

  RecordingSurface surface{200, 100};
};

TEST_F(SvgExportTest, EmptyPictureIsAWhiteDocumentOfThePixelSize) {
  const std::string svg = toSvg(surface);
  EXPECT_EQ(svg.rfind("<?xml", 0), 0U);
  EXPECT_THAT(svg, HasSubstr("<svg xmlns=\"http://www.w3.org/2000/svg\""));
  EXPECT_THAT(svg, HasSubstr("width=\"200\" height=\"100\" viewBox=\"0 0 200 100\""));
  EXPECT_THAT(svg, HasSubstr("fill=\"#ffffff\"/>"));
  EXPECT_THAT(svg, HasSubstr("</svg>"));
  EXPECT_EQ(countOf(svg, "<line"), 0);
  EXPECT_EQ(countOf(svg, "<text"), 0);
}

TEST_F(SvgExportTest, DrawingOperationsBecomeElementsOnThePixelGrid) {
  struct Case {
    const char* name;
    std::function<void(Surface&)> draw;
    std::string element;
  };
  const std::vector<Case> cases = {
      {"grey line through pixel centres",
       [](Surface& s) { s.line(0.0F, 550.0F, 2e-5F, 550.0F, paletteColour(7)); },
       "<line x1=\"0.5\" y1=\"50.5\" x2=\"200.5\" y2=\"50.5\" stroke=\"#c0c0c0\" "
       "stroke-width=\"1\""},
      {"two-pixel ground line",
       [](Surface& s) {
         s.setDrawWidth(2);
         s.line(0.0F, 1000.0F, 2e-5F, 1000.0F, paletteColour(1));
       },
       "y1=\"91\" x2=\"200\" y2=\"91\" stroke=\"#000080\" stroke-width=\"2\""},
      {"point", [](Surface& s) { s.pset(1e-5F, 550.0F, paletteColour(12)); },
       "<rect x=\"100\" y=\"50\" width=\"1\" height=\"1\" fill=\"#ff0000\"/>"},
      {"wide point centred on its pixel",
       [](Surface& s) {
         s.setDrawWidth(3);
         s.pset(1e-5F, 550.0F, paletteColour(10));
       },
       "<rect x=\"99\" y=\"49\" width=\"3\" height=\"3\" fill=\"#00ff00\"/>"},
      {"zero-length line is a dot",
       [](Surface& s) { s.line(1e-5F, 550.0F, 1e-5F, 550.0F, paletteColour(4)); },
       "<rect x=\"100\" y=\"50\" width=\"1\" height=\"1\" fill=\"#800000\"/>"},
      {"text with its top-left corner at the print position",
       [](Surface& s) {
         s.setCurrentX(1e-5F);
         s.setCurrentY(121.0F);
         s.print(u"[5.000μsec/div]");
       },
       "<text x=\"100\" y=\"21.56\""},
      {"text in UTF-8, markup escaped", [](Surface& s) { s.print(u"a<b & c>\"d\" μ"); },
       ">a&lt;b &amp; c&gt;&quot;d&quot; \xce\xbc</text>"},
      {"text size follows FontSize",
       [](Surface& s) {
         s.setFontSize(18.0);
         s.print(u"Gnd");
       },
       "font-size=\"24\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingSurface fresh(200, 100);
    fresh.setScaleWidth(2e-5F);
    fresh.setScaleHeight(1100.0F);
    c.draw(fresh);
    EXPECT_THAT(toSvg(fresh), HasSubstr(c.element));
  }
}

TEST_F(SvgExportTest, TextNamesTheJapaneseFontWithFallbacks) {
  surface.print(u"Gnd");
  const std::string svg = toSvg(surface);
  EXPECT_THAT(svg, HasSubstr("IPAPGothic"));
  EXPECT_THAT(svg, HasSubstr("sans-serif"));
  EXPECT_THAT(svg, HasSubstr("xml:space=\"preserve\">Gnd</text>"));
}

TEST_F(SvgExportTest, ClsDropsWhatWasDrawnBefore) {
  surface.line(0.0F, 0.0F, 2e-5F, 1100.0F, paletteColour(1));
  surface.print(u"old");
  surface.cls();
  surface.pset(1e-5F, 550.0F, paletteColour(12));
  const std::string svg = toSvg(surface);
  EXPECT_EQ(countOf(svg, "<line"), 0);
  EXPECT_THAT(svg, Not(HasSubstr("old")));
  EXPECT_THAT(svg, HasSubstr("fill=\"#ff0000\""));
}

TEST_F(SvgExportTest, EachOperationUsesTheScaleInForceWhenItWasMade) {
  surface.pset(1e-5F, 550.0F, paletteColour(12));
  surface.setScaleWidth(100.0F);
  surface.setScaleHeight(100.0F);
  surface.pset(25.0F, 25.0F, paletteColour(9));
  const std::string svg = toSvg(surface);
  EXPECT_THAT(svg, HasSubstr("<rect x=\"100\" y=\"50\" width=\"1\" height=\"1\" fill=\"#ff0000\""));
  EXPECT_THAT(svg, HasSubstr("<rect x=\"50\" y=\"25\" width=\"1\" height=\"1\" fill=\"#0000ff\""));
}

TEST_F(SvgExportTest, ReplayStartsFromTheStateLeftBeforeClearing) {
  surface.setDrawWidth(3);
  surface.clearOperations();
  surface.pset(1e-5F, 550.0F, paletteColour(0));
  EXPECT_THAT(toSvg(surface), HasSubstr("<rect x=\"99\" y=\"49\" width=\"3\" height=\"3\""));
}

TEST_F(SvgExportTest, WhatLiesWhollyOutsideIsLeftOut) {
  surface.pset(-1e-6F, 550.0F, paletteColour(12));
  surface.pset(2e-5F, 550.0F, paletteColour(12));
  surface.pset(1e-5F, 1e30F, paletteColour(12));
  surface.line(-1.0F, -50.0F, 1.0F, -50.0F, paletteColour(12));
  surface.line(0.0F, 550.0F, 2e-5F, 550.0F, paletteColour(9));
  surface.line(-1e30F, 0.0F, 1e30F, 1100.0F, paletteColour(9));
  const std::string svg = toSvg(surface);
  EXPECT_THAT(svg, Not(HasSubstr("#ff0000")));
  EXPECT_EQ(countOf(svg, "<line"), 2);
  EXPECT_THAT(svg, Not(HasSubstr("e+")));
}

}  // namespace
}  // namespace fbc
