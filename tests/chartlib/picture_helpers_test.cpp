#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "chartlib/macro_library.h"
#include "platform/controls.h"
#include "platform/errors.h"
#include "platform/recording_surface.h"
#include "recorded_ops.h"

namespace fbc {
namespace {

using testing_ops::opsOfType;
using testing_ops::Printed;
using testing_ops::printed;

Value i16(int v) { return Value(static_cast<std::int16_t>(v)); }

// A 200 x 100 scale, so fractional positions are easy to read.
class PictureHelperTest : public testing::Test {
 protected:
  PictureHelperTest() {
    surface_.setScaleWidth(200.0F);
    surface_.setScaleHeight(100.0F);
    surface_.setDrawWidth(2);
    surface_.clearOperations();
  }

  RecordingSurface surface_{300, 150};
  Value pic_{surface_};
};

TEST_F(PictureHelperTest, LineHRunsOverTheWholeHeightWithTheCurrentPen) {
  Value x(35.5);
  Value colour = i16(4);
  macro::LineH(pic_, x, colour);
  const std::vector<SurfaceOp> lines = opsOfType(surface_, SurfaceOp::Type::Line);
  ASSERT_EQ(lines.size(), 1U);
  EXPECT_EQ(lines[0], (SurfaceOp{.type = SurfaceOp::Type::Line,
                                 .x1 = 35.5,
                                 .y1 = 0.0,
                                 .x2 = 35.5,
                                 .y2 = 100.0,
                                 .colour = rgb(128, 0, 0),
                                 .width = 2,
                                 .text = {}}));
  EXPECT_EQ(surface_.operations().size(), 1U);
}

TEST_F(PictureHelperTest, LineHRefusesColoursOutsideThePalette) {
  const std::vector<std::pair<Value, int>> cases = {
      {i16(16), 5}, {i16(-1), 5}, {Value(std::int32_t{40000}), 6}, {Value(u"red"), 13}};
  for (const auto& [colour, error] : cases) {
    SCOPED_TRACE(error);
    Value x(1.0);
    Value c = colour;
    try {
      macro::LineH(pic_, x, c);
      ADD_FAILURE() << "no error raised";
    } catch (const RuntimeError& e) {
      EXPECT_EQ(e.code(), error);
    }
  }
  EXPECT_TRUE(surface_.operations().empty());
}

// One call of a DrwPic member: what it printed where, and what the caller's Drwdata holds
// afterwards.
struct DrwPicCase {
  std::string name;
  std::function<void(Value& pic, Value& drwdata)> call;
  Value drwdata;
  Printed expected;
  Value drwdataAfter;
};

void PrintTo(const DrwPicCase& c, std::ostream* out) { *out << c.name; }

std::function<void(Value&, Value&)> drwPic2(double xPar, double yPar) {
  return [=](Value& pic, Value& drwdata) {
    Value x(xPar);
    Value y(yPar);
    macro::DrwPic2(pic, x, y, drwdata);
  };
}

std::function<void(Value&, Value&)> drwPic(double xPar, double yPar) {
  return [=](Value& pic, Value& drwdata) {
    Value w = i16(1);
    Value h(u"anything");
    Value x(xPar);
    Value y(yPar);
    macro::DrwPic(pic, w, h, x, y, drwdata);
  };
}

std::function<void(Value&, Value&)> drwPic3(double xPar, double yPar, std::u16string pattern) {
  return [=](Value& pic, Value& drwdata) {
    Value x(xPar);
    Value y(yPar);
    Value name(u"Vout=");
    Value frmat(pattern);
    macro::DrwPic3(pic, x, y, name, drwdata, frmat);
  };
}

class DrwPicTest : public PictureHelperTest, public testing::WithParamInterface<DrwPicCase> {};

TEST_P(DrwPicTest, PrintsAtTheFractionalPosition) {
  const DrwPicCase& c = GetParam();
  Value drwdata = c.drwdata;
  c.call(pic_, drwdata);
  const std::vector<Printed> prints = printed(surface_);
  ASSERT_EQ(prints.size(), 1U);
  EXPECT_EQ(prints[0].text, c.expected.text);
  EXPECT_FLOAT_EQ(static_cast<float>(prints[0].x), static_cast<float>(c.expected.x));
  EXPECT_FLOAT_EQ(static_cast<float>(prints[0].y), static_cast<float>(c.expected.y));
  EXPECT_TRUE(sameKindAndValue(drwdata, c.drwdataAfter)) << drwdata;
}

std::vector<DrwPicCase> drwPicCases() {
  std::vector<DrwPicCase> cases;
  const auto add = [&](std::string name, std::function<void(Value&, Value&)> call, Value data,
                       double x, double y, std::string text, Value after) {
    cases.push_back({std::move(name), std::move(call), std::move(data),
                     Printed{x, y, std::move(text)}, std::move(after)});
  };
  add("DrwPic2_middle_of_top_edge", drwPic2(0.5, 1), Value(u"mid"), 100, 0, "mid", Value(u"mid"));
  add("DrwPic2_bare_number_below_the_picture", drwPic2(0, 0), Value(2.5), 0, 100, "2.5",
      Value(2.5));
  add("DrwPic2_single", drwPic2(0.25, 0.75), Value(0.1F), 50, 25, "0.1", Value(0.1F));
  add("DrwPic_integer", drwPic(0.25, 0.5), i16(7), 50, 50, "7", i16(7));
  add("DrwPic3_number", drwPic3(0.1, 0.9, u"0.00"), Value(3.14159), 20, 10, "Vout=3.14",
      Value(u"3.14"));
  add("DrwPic3_numeric_text", drwPic3(0.1, 0.9, u"0.0"), Value(u"3.14"), 20, 10, "Vout=3.1",
      Value(u"3.1"));
  add("DrwPic3_halves_away_from_zero", drwPic3(0, 1, u"0"), Value(-2.5), 0, 0, "Vout=-3",
      Value(u"-3"));
  add("DrwPic3_single_to_7_digits", drwPic3(0, 1, u"0.000000000"), Value(0.1F), 0, 0,
      "Vout=0.100000000", Value(u"0.100000000"));
  add("DrwPic3_exponent", drwPic3(0, 1, u"0.00E+00"), Value(1250.0), 0, 0, "Vout=1.25E+03",
      Value(u"1.25E+03"));
  add("DrwPic3_other_text_stays", drwPic3(0, 1, u"0.00"), Value(u"n/a"), 0, 0, "Vout=n/a",
      Value(u"n/a"));
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Members, DrwPicTest, testing::ValuesIn(drwPicCases()),
                         [](const testing::TestParamInfo<DrwPicCase>& testInfo) {
                           return testInfo.param.name;
                         });

TEST_F(PictureHelperTest, DrwPicHandsBackTheExtentsForTheNextGrid) {
  Value scaleW(1.0);
  Value scaleH(1.0);
  Value x(0.5);
  Value y(0.5);
  Value data(u"x");
  macro::DrwPic(pic_, scaleW, scaleH, x, y, data);
  EXPECT_TRUE(sameKindAndValue(scaleW, Value(200.0F)));
  EXPECT_TRUE(sameKindAndValue(scaleH, Value(100.0F)));

  Value xname(u"t");
  Value yname(u"V");
  macro::Grid00(pic_, scaleW, scaleH, xname, yname);
  EXPECT_EQ(surface_.scaleWidth(), 200.0F);
  EXPECT_EQ(surface_.scaleHeight(), 100.0F);
}

TEST_F(PictureHelperTest, DrwPic3FormatsTheSameVariableAgain) {
  Value x(0.0);
  Value y(1.0);
  Value name(u"Vout=");
  Value data(3.14159);
  Value twoPlaces(u"0.00");
  Value onePlace(u"0.0");
  macro::DrwPic3(pic_, x, y, name, data, twoPlaces);
  macro::DrwPic3(pic_, x, y, name, data, onePlace);
  EXPECT_TRUE(sameKindAndValue(data, Value(u"3.1")));
  const std::vector<Printed> prints = printed(surface_);
  ASSERT_EQ(prints.size(), 2U);
  EXPECT_EQ(prints[0].text, "Vout=3.14");
  EXPECT_EQ(prints[1].text, "Vout=3.1");
}

TEST_F(PictureHelperTest, DrwPic4SetsTheFontSizeFirstAndKeepsIt) {
  Value x(0.5);
  Value y(0.5);
  Value name(u"I=");
  Value data(0.25);
  Value frmat(u"0.000");
  Value colour = i16(99);  // not used, so not checked either
  Value size = i16(14);
  macro::DrwPic4(pic_, x, y, name, data, frmat, colour, size);

  using T = SurfaceOp::Type;
  EXPECT_EQ(testing_ops::typesOf(surface_.operations()),
            (std::vector<T>{T::FontSize, T::CurrentX, T::CurrentY, T::Print}));
  EXPECT_EQ(surface_.fontSize(), 14.0);
  EXPECT_EQ(printed(surface_).at(0).text, "I=0.250");
  EXPECT_TRUE(sameKindAndValue(data, Value(u"0.250")));
}

struct CaptionToggle {
  std::u16string before;
  std::u16string after;
  bool erases;
};

TEST_F(PictureHelperTest, CrickClsTogglesTheCaptionAndErasesOnClear) {
  const std::vector<CaptionToggle> cases = {
      {u"Clear", u"Plot", true}, {u"clear", u"Clear", false},  {u"Plot", u"Clear", false},
      {u"", u"Clear", false},    {u"Clear ", u"Clear", false},
  };
  for (const CaptionToggle& c : cases) {
    SCOPED_TRACE(toUtf8(c.before));
    surface_.clearOperations();
    CommandButton button(c.before);
    Value command1(button);
    Value plot;
    Value clear;
    macro::CrickCls(pic_, command1, plot, clear);
    EXPECT_EQ(button.caption(), c.after);
    EXPECT_EQ(opsOfType(surface_, SurfaceOp::Type::Cls).size(), c.erases ? 1U : 0U);
  }
}

TEST_F(PictureHelperTest, CrickClsAlternatesOverRepeatedCalls) {
  CommandButton button(u"Plot");
  Value command1(button);
  Value plot;
  Value clear;
  std::vector<std::u16string> captions;
  for (int k = 0; k < 4; ++k) {
    macro::CrickCls(pic_, command1, plot, clear);
    captions.push_back(button.caption());
  }
  EXPECT_EQ(captions, (std::vector<std::u16string>{u"Clear", u"Plot", u"Clear", u"Plot"}));
  EXPECT_EQ(opsOfType(surface_, SurfaceOp::Type::Cls).size(), 2U);
}

TEST(PrintTextTest, BuildsTheTitledBlock) {
  const std::vector<std::pair<std::pair<Value, Value>, std::u16string>> cases = {
      {{Value(u"A"), Value(u"x")}, u"------A------\r\nxEND\r\n"},
      {{Value(u""), Value(u"")}, u"------------\r\nEND\r\n"},
      {{Value(2.5), i16(3)}, u"------2.5------\r\n3END\r\n"},
      {{Value(u"結果"), Value(u"a\r\nb\r\n")}, u"------結果------\r\na\r\nb\r\nEND\r\n"},
  };
  for (const auto& [args, expected] : cases) {
    SCOPED_TRACE(toUtf8(expected));
    TextBox box(u"old");
    Value textname(box);
    Value title = args.first;
    Value body = args.second;
    macro::PrintText(textname, title, body);
    EXPECT_EQ(box.text(), expected);
  }
}

TEST_F(PictureHelperTest, CaptionAndTextNeedTheRightObjects) {
  TextBox box(u"Clear");
  CommandButton button(u"Clear");
  Value plot;
  Value clear;
  Value title(u"A");
  Value body(u"x");
  const std::vector<std::pair<std::string, std::function<void()>>> calls = {
      {"CrickCls on a text box",
       [&] {
         Value command1(box);
         macro::CrickCls(pic_, command1, plot, clear);
       }},
      {"CrickCls on a number",
       [&] {
         Value command1 = i16(1);
         macro::CrickCls(pic_, command1, plot, clear);
       }},
      {"PrintText on a button",
       [&] {
         Value textname(button);
         macro::PrintText(textname, title, body);
       }},
      {"PrintText on a picture", [&] { macro::PrintText(pic_, title, body); }},
  };
  for (const auto& [name, call] : calls) {
    SCOPED_TRACE(name);
    try {
      call();
      ADD_FAILURE() << "no error raised";
    } catch (const RuntimeError& e) {
      EXPECT_EQ(e.code(), 438);
    }
  }
  EXPECT_EQ(box.text(), u"Clear");
  EXPECT_EQ(button.caption(), u"Clear");
  EXPECT_TRUE(surface_.operations().empty());
}

}  // namespace
}  // namespace fbc
