#include "platform/surface.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/errors.h"
#include "platform/palette.h"
#include "platform/recording_surface.h"

namespace fbc {
namespace {

template <typename F>
int errorOf(F&& action) {
  try {
    action();
  } catch (const RuntimeError& error) {
    return error.code();
  }
  return 0;
}

TEST(PaletteTest, AllSixteenIndices) {
  const Rgb expected[16] = {
      rgb(0, 0, 0),       rgb(0, 0, 128),   rgb(0, 128, 0),   rgb(0, 128, 128),
      rgb(128, 0, 0),     rgb(128, 0, 128), rgb(128, 128, 0), rgb(192, 192, 192),
      rgb(128, 128, 128), rgb(0, 0, 255),   rgb(0, 255, 0),   rgb(0, 255, 255),
      rgb(255, 0, 0),     rgb(255, 0, 255), rgb(255, 255, 0), rgb(255, 255, 255),
  };
  for (int index = 0; index < 16; ++index) {
    SCOPED_TRACE(index);
    EXPECT_EQ(paletteColour(index), expected[index]);
    EXPECT_EQ(paletteColour(Value(static_cast<std::int16_t>(index))), expected[index]);
  }
}

TEST(PaletteTest, IndexGivenAsValueIsConvertedToInt16First) {
  struct Case {
    const char* name;
    Value index;
    Rgb expected;
  };
  const std::vector<Case> cases = {
      {"Int32", Value(std::int32_t{12}), rgb(255, 0, 0)},
      {"Double rounds half to even", Value(2.5), rgb(0, 128, 0)},
      {"Single", Value(7.0F), rgb(192, 192, 192)},
      {"numeric text", Value(u"9"), rgb(0, 0, 255)},
      {"empty counts as 0", Value(), rgb(0, 0, 0)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(paletteColour(c.index), c.expected);
  }
}

TEST(PaletteTest, RefusedIndices) {
  struct Case {
    const char* name;
    Value index;
    ErrorNumber expected;
  };
  const std::vector<Case> cases = {
      {"16", Value(std::int16_t{16}), ErrorNumber::InvalidCall},
      {"-1", Value(std::int16_t{-1}), ErrorNumber::InvalidCall},
      {"Int16 minimum", Value(std::int16_t{-32768}), ErrorNumber::InvalidCall},
      {"15.6 rounds to 16", Value(15.6), ErrorNumber::InvalidCall},
      {"32768 does not fit 16 bits", Value(std::int32_t{32768}), ErrorNumber::Overflow},
      {"1e10", Value(1e10), ErrorNumber::Overflow},
      {"text that is no number", Value(u"blue"), ErrorNumber::TypeMismatch},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(errorOf([&] { paletteColour(c.index); }), static_cast<int>(c.expected));
  }
  EXPECT_EQ(errorOf([] { paletteColour(-1); }), 5);
  EXPECT_EQ(errorOf([] { paletteColour(16); }), 5);
}

SurfaceOp stateOp(SurfaceOp::Type type, double value) {
  SurfaceOp op{};
  op.type = type;
  op.x1 = value;
  return op;
}

SurfaceOp lineOp(double x1, double y1, double x2, double y2, Rgb colour, int width) {
  SurfaceOp op{};
  op.type = SurfaceOp::Type::Line;
  op.x1 = x1;
  op.y1 = y1;
  op.x2 = x2;
  op.y2 = y2;
  op.colour = colour;
  op.width = width;
  return op;
}

SurfaceOp psetOp(double x, double y, Rgb colour, int width) {
  SurfaceOp op{};
  op.type = SurfaceOp::Type::PSet;
  op.x1 = x;
  op.y1 = y;
  op.colour = colour;
  op.width = width;
  return op;
}

SurfaceOp printOp(double x, double y, std::u16string text) {
  SurfaceOp op{};
  op.type = SurfaceOp::Type::Print;
  op.x1 = x;
  op.y1 = y;
  op.text = std::move(text);
  return op;
}

SurfaceOp clsOp() {
  SurfaceOp op{};
  op.type = SurfaceOp::Type::Cls;
  return op;
}

struct RecordingCase {
  const char* name;
  std::function<void(Surface&)> calls;
  std::vector<SurfaceOp> expected;
};

using Type = SurfaceOp::Type;

TEST(RecordingSurfaceTest, KeepsEveryOperationInOrder) {
  const Rgb blue = paletteColour(1);
  const Rgb grey = paletteColour(7);
  const std::vector<RecordingCase> cases = {
      {"scale",
       [](Surface& s) {
         s.setScaleWidth(4e-5F);
         s.setScaleHeight(1100.0F);
       },
       {stateOp(Type::ScaleWidth, 4e-5F), stateOp(Type::ScaleHeight, 1100.0)}},
      {"line carries the pen in force",
       [&](Surface& s) {
         s.line(0.0F, 1000.0F, 4e-5F, 1000.0F, grey);
         s.setDrawWidth(2);
         s.line(0.0F, 1000.0F, 4e-5F, 1000.0F, blue);
       },
       {lineOp(0.0, 1000.0, 4e-5F, 1000.0, grey, 1), stateOp(Type::DrawWidth, 2),
        lineOp(0.0, 1000.0, 4e-5F, 1000.0, blue, 2)}},
      {"points",
       [&](Surface& s) {
         s.pset(1.5F, -2.0F, blue);
         s.setDrawWidth(3);
         s.pset(1e9F, 7.0F, grey);
       },
       {psetOp(1.5, -2.0, blue, 1), stateOp(Type::DrawWidth, 3), psetOp(1e9F, 7.0, grey, 3)}},
      {"print at the current position; its own move is not an operation",
       [](Surface& s) {
         s.setCurrentX(20.0F);
         s.setCurrentY(121.0F);
         s.print(u"[5.000μsec/div]");
         s.print(u"Gnd");
       },
       {stateOp(Type::CurrentX, 20.0), stateOp(Type::CurrentY, 121.0),
        printOp(20.0, 121.0, u"[5.000μsec/div]"), printOp(0.0, 121.0 + 12.0 * 15.0, u"Gnd")}},
      {"font size and erase",
       [](Surface& s) {
         s.setFontSize(14.0);
         s.cls();
         s.setCurrentX(3.0F);
       },
       {stateOp(Type::FontSize, 14.0), clsOp(), stateOp(Type::CurrentX, 3.0)}},
      {"refused values leave no trace",
       [](Surface& s) {
         EXPECT_THROW(s.setScaleWidth(0.0F), RuntimeError);
         EXPECT_THROW(s.setDrawWidth(0), RuntimeError);
         s.setDrawWidth(1);
       },
       {stateOp(Type::DrawWidth, 1)}},
  };
  for (const RecordingCase& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingSurface surface(200, 100);
    c.calls(surface);
    EXPECT_EQ(surface.operations(), c.expected);
  }
}

TEST(RecordingSurfaceTest, ClearingOperationsMakesTheCurrentStateTheStart) {
  RecordingSurface surface(200, 100);
  EXPECT_EQ(surface.startState().scaleWidth, 3000.0F);
  surface.setScaleWidth(10.0F);
  surface.setDrawWidth(2);
  surface.clearOperations();
  EXPECT_TRUE(surface.operations().empty());
  EXPECT_EQ(surface.startState(), surface.state());
  EXPECT_EQ(surface.startState().drawWidth, 2);
}

TEST(SurfaceStateTest, FreshSurfaceMeasuresInTwips) {
  RecordingSurface surface(257, 81);
  const SurfaceState state = surface.state();
  EXPECT_EQ(state.scaleWidth, 257.0F * 15.0F);
  EXPECT_EQ(state.scaleHeight, 81.0F * 15.0F);
  EXPECT_EQ(state.drawWidth, 1);
  EXPECT_EQ(state.currentX, 0.0F);
  EXPECT_EQ(state.currentY, 0.0F);
  EXPECT_EQ(state.fontSize, 9.0);
}

TEST(SurfaceStateTest, PrintMovesOneTextLineDownInUserUnits) {
  struct Case {
    const char* name;
    float scaleHeight;
    double fontSize;
    float startY;
    float expectedY;
  };
  // 12 pixels a line at 9 pt on a 100-pixel-high surface.
  const std::vector<Case> cases = {
      {"1100 units high", 1100.0F, 9.0, 100.0F, 100.0F + 132.0F},
      {"font twice as large", 1100.0F, 18.0, 100.0F, 100.0F + 264.0F},
      {"fractional scale", 1.0F, 9.0, 0.5F, 0.62F},
      {"upward axis", -220.0F, 9.0, 0.0F, -26.4F},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingSurface surface(200, 100, 12.0);
    surface.setScaleHeight(c.scaleHeight);
    surface.setFontSize(c.fontSize);
    surface.setCurrentX(50.0F);
    surface.setCurrentY(c.startY);
    surface.print(u"x");
    EXPECT_EQ(surface.currentX(), 0.0F);
    EXPECT_FLOAT_EQ(surface.currentY(), c.expectedY);
  }
}

TEST(SurfaceStateTest, PrintValueUsesGeneralNumberText) {
  RecordingSurface surface(200, 100);
  surface.printValue(Value(2.5));
  surface.printValue(Value(std::int16_t{50}));
  surface.printValue(Value(u"Gnd"));
  surface.printValue(Value());
  const auto& ops = surface.operations();
  ASSERT_EQ(ops.size(), 4U);
  EXPECT_EQ(ops[0].text, u"2.5");
  EXPECT_EQ(ops[1].text, u"50");
  EXPECT_EQ(ops[2].text, u"Gnd");
  EXPECT_EQ(ops[3].text, u"");
  EXPECT_THROW(surface.printValue(Value(static_cast<Object*>(&surface))), RuntimeError);
}

TEST(SurfaceStateTest, ClsResetsThePrintPositionButNotTheRest) {
  RecordingSurface surface(200, 100);
  surface.setScaleWidth(4e-5F);
  surface.setDrawWidth(3);
  surface.setFontSize(12.0);
  surface.setCurrentX(1e-5F);
  surface.setCurrentY(300.0F);
  surface.cls();
  EXPECT_EQ(surface.currentX(), 0.0F);
  EXPECT_EQ(surface.currentY(), 0.0F);
  EXPECT_EQ(surface.scaleWidth(), 4e-5F);
  EXPECT_EQ(surface.drawWidth(), 3);
  EXPECT_EQ(surface.fontSize(), 12.0);
}

TEST(SurfacePropertyTest, ReadAndWrittenByName) {
  struct Case {
    const char* name;
    Value written;
    Value expected;
  };
  const std::vector<Case> cases = {
      {"ScaleWidth", Value(4e-5), Value(4e-5F)},
      {"ScaleHeight", Value(std::int16_t{1100}), Value(1100.0F)},
      {"DrawWidth", Value(2.0F), Value(std::int16_t{2})},
      {"CurrentX", Value(u"12.5"), Value(12.5F)},
      {"CurrentY", Value(-3.0), Value(-3.0F)},
      {"FontSize", Value(std::int16_t{14}), Value(14.0F)},
      {"drawwidth", Value(std::int32_t{5}), Value(std::int16_t{5})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingSurface surface(200, 100);
    surface.setProperty(c.name, c.written);
    EXPECT_TRUE(sameKindAndValue(surface.property(c.name), c.expected)) << surface.property(c.name);
  }
}

TEST(SurfacePropertyTest, RefusedValuesAndNames) {
  struct Case {
    const char* name;
    const char* property;
    Value written;
    ErrorNumber expected;
  };
  const std::vector<Case> cases = {
      {"zero width", "ScaleWidth", Value(0.0), ErrorNumber::InvalidPropertyValue},
      {"zero height", "ScaleHeight", Value(std::int16_t{0}), ErrorNumber::InvalidPropertyValue},
      {"height beyond a single", "ScaleHeight", Value(1e300), ErrorNumber::Overflow},
      {"pen below 1", "DrawWidth", Value(std::int16_t{0}), ErrorNumber::InvalidPropertyValue},
      {"negative pen", "DrawWidth", Value(-2.0), ErrorNumber::InvalidPropertyValue},
      {"pen beyond 16 bits", "DrawWidth", Value(std::int32_t{40000}), ErrorNumber::Overflow},
      {"zero font", "FontSize", Value(0.0), ErrorNumber::InvalidPropertyValue},
      {"huge font", "FontSize", Value(5000.0), ErrorNumber::InvalidPropertyValue},
      {"text position", "CurrentX", Value(u"left"), ErrorNumber::TypeMismatch},
      {"unknown name", "ForeColor", Value(std::int16_t{1}), ErrorNumber::ObjectLacksProperty},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingSurface surface(200, 100);
    const SurfaceState before = surface.state();
    EXPECT_EQ(errorOf([&] { surface.setProperty(c.property, c.written); }),
              static_cast<int>(c.expected));
    EXPECT_EQ(surface.state(), before);
    EXPECT_TRUE(surface.operations().empty());
  }
  RecordingSurface surface(200, 100);
  EXPECT_EQ(errorOf([&] { surface.property("Caption"); }), 438);
}

TEST(SurfacePropertyTest, NegativeExtentIsAcceptedAndFlipsTheAxis) {
  RecordingSurface surface(200, 100);
  surface.setScaleHeight(-100.0F);
  EXPECT_EQ(surface.scaleHeight(), -100.0F);
  EXPECT_DOUBLE_EQ(surface.toPixelY(-25.0), 25.0);
}

}  // namespace
}  // namespace fbc
