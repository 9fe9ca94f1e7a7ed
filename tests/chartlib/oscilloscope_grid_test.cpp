#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "chartlib/macro_library.h"
#include "platform/errors.h"
#include "platform/palette.h"
#include "platform/recording_surface.h"

namespace fbc {
namespace {

std::vector<SurfaceOp> opsOfType(const RecordingSurface& pic, SurfaceOp::Type type) {
  std::vector<SurfaceOp> found;
  for (const SurfaceOp& op : pic.operations()) {
    if (op.type == type) {
      found.push_back(op);
    }
  }
  return found;
}

struct GridCase {
  const char* name;
  float scaleW;  // 2 x the switching period
  std::int16_t scaleH;
  std::vector<double> horizontalY;
  std::u16string timeLabel;
};

class OscilloscopeGridTest : public testing::TestWithParam<GridCase> {};

TEST_P(OscilloscopeGridTest, DrawsDivisionsGroundAndLabels) {
  const GridCase& c = GetParam();
  RecordingSurface pic(257, 81);
  Value picName(pic);
  Value scaleW(c.scaleW);
  Value scaleH(c.scaleH);
  Value xnum(std::int16_t{8});
  Value ynum(std::int16_t{4});

  macro::Grid00C2(picName, scaleW, scaleH, xnum, ynum);

  EXPECT_FLOAT_EQ(pic.scaleWidth(), c.scaleW);
  EXPECT_FLOAT_EQ(pic.scaleHeight(), 1.1F * c.scaleH);
  EXPECT_EQ(pic.drawWidth(), 1);

  const std::vector<SurfaceOp> lines = opsOfType(pic, SurfaceOp::Type::Line);
  ASSERT_EQ(lines.size(), 5U + 1U + 9U);
  const Rgb grey = rgb(192, 192, 192);
  for (std::size_t k = 0; k < 5; ++k) {
    SCOPED_TRACE("horizontal line " + std::to_string(k));
    EXPECT_DOUBLE_EQ(lines[k].x1, 0.0);
    EXPECT_FLOAT_EQ(static_cast<float>(lines[k].x2), c.scaleW);
    EXPECT_DOUBLE_EQ(lines[k].y1, c.horizontalY[k]);
    EXPECT_DOUBLE_EQ(lines[k].y2, c.horizontalY[k]);
    EXPECT_EQ(lines[k].colour, grey);
    EXPECT_EQ(lines[k].width, 1);
  }

  const SurfaceOp& ground = lines[5];
  EXPECT_DOUBLE_EQ(ground.y1, c.scaleH);
  EXPECT_DOUBLE_EQ(ground.y2, c.scaleH);
  EXPECT_EQ(ground.colour, rgb(0, 0, 128));
  EXPECT_EQ(ground.width, 2);

  for (int k = 0; k <= 8; ++k) {
    SCOPED_TRACE("vertical line " + std::to_string(k));
    const SurfaceOp& v = lines[static_cast<std::size_t>(6 + k)];
    const float x = static_cast<float>(k * static_cast<double>(c.scaleW) / 8.0);
    EXPECT_FLOAT_EQ(static_cast<float>(v.x1), x);
    EXPECT_FLOAT_EQ(static_cast<float>(v.x2), x);
    EXPECT_DOUBLE_EQ(v.y1, 0.0);
    EXPECT_FLOAT_EQ(static_cast<float>(v.y2), 1.1F * c.scaleH);
    EXPECT_EQ(v.colour, grey);
    EXPECT_EQ(v.width, 1);
  }

  const std::vector<SurfaceOp> prints = opsOfType(pic, SurfaceOp::Type::Print);
  ASSERT_EQ(prints.size(), 2U);
  EXPECT_EQ(prints[0].text, c.timeLabel);
  EXPECT_FLOAT_EQ(static_cast<float>(prints[0].x1), 0.5F * c.scaleW);
  EXPECT_FLOAT_EQ(static_cast<float>(prints[0].y1), 0.11F * c.scaleH);
  EXPECT_EQ(prints[1].text, u"Gnd");
  EXPECT_FLOAT_EQ(static_cast<float>(prints[1].x1), 0.02F * c.scaleW);
  EXPECT_FLOAT_EQ(static_cast<float>(prints[1].y1), 0.855F * c.scaleH);

  // Nothing is erased: the grid goes over what is there.
  EXPECT_TRUE(opsOfType(pic, SurfaceOp::Type::Cls).empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, OscilloscopeGridTest,
                         testing::Values(GridCase{"Pic1At50kHz",
                                                  2.0F * (1.0F / 50000.0F),
                                                  1000,
                                                  {1000, 750, 500, 250, 0},
                                                  u"[5.000\u03BCsec/div]"},
                                         GridCase{"Pic2At50kHz",
                                                  2.0F * (1.0F / 50000.0F),
                                                  200,
                                                  {200, 150, 100, 50, 0},
                                                  u"[5.000\u03BCsec/div]"},
                                         GridCase{"Pic1At100kHz",
                                                  2.0F * (1.0F / 100000.0F),
                                                  1000,
                                                  {1000, 750, 500, 250, 0},
                                                  u"[2.500\u03BCsec/div]"},
                                         GridCase{"Pic2At40kHz",
                                                  2.0F * (1.0F / 40000.0F),
                                                  200,
                                                  {200, 150, 100, 50, 0},
                                                  u"[6.250\u03BCsec/div]"}),
                         [](const testing::TestParamInfo<GridCase>& testInfo) {
                           return std::string(testInfo.param.name);
                         });

TEST(OscilloscopeGrid, DrawsOverEarlierDrawingWithoutTouchingTheArguments) {
  RecordingSurface pic(249, 81);
  Value picName(pic);
  Value scaleW(4e-5F);
  Value scaleH(std::int16_t{200});
  Value xnum(std::int16_t{8});
  Value ynum(std::int16_t{4});

  macro::Grid00C2(picName, scaleW, scaleH, xnum, ynum);
  const std::size_t once = pic.operations().size();
  macro::Grid00C2(picName, scaleW, scaleH, xnum, ynum);

  EXPECT_EQ(pic.operations().size(), 2 * once);
  EXPECT_EQ(scaleW.kind(), Kind::Single);
  EXPECT_EQ(scaleW.single(), 4e-5F);
  EXPECT_EQ(scaleH.kind(), Kind::Int16);
  EXPECT_EQ(scaleH.int16(), 200);
  EXPECT_EQ(xnum.int16(), 8);
  EXPECT_EQ(ynum.int16(), 4);
}

TEST(OscilloscopeGrid, FaultsReachTheCallerWithTheirNumbers) {
  struct Fault {
    const char* name;
    std::int16_t xnum;
    std::int16_t ynum;
    ErrorNumber expected;
    std::size_t linesBefore;  // lines drawn before the fault
  };
  const Fault faults[] = {
      {"zero Xnum", 0, 4, ErrorNumber::DivisionByZero, 6},
      {"zero Ynum", 8, 0, ErrorNumber::DivisionByZero, 0},
  };
  for (const Fault& f : faults) {
    SCOPED_TRACE(f.name);
    RecordingSurface pic(257, 81);
    Value picName(pic);
    Value scaleW(4e-5F);
    Value scaleH(std::int16_t{1000});
    Value xnum(f.xnum);
    Value ynum(f.ynum);
    try {
      macro::Grid00C2(picName, scaleW, scaleH, xnum, ynum);
      ADD_FAILURE() << "no error raised";
    } catch (const RuntimeError& e) {
      EXPECT_EQ(e.number(), f.expected);
    }
    EXPECT_EQ(opsOfType(pic, SurfaceOp::Type::Line).size(), f.linesBefore);
  }

  Value notASurface(std::int16_t{1});
  Value scaleW(4e-5F);
  Value scaleH(std::int16_t{1000});
  Value xnum(std::int16_t{8});
  Value ynum(std::int16_t{4});
  try {
    macro::Grid00C2(notASurface, scaleW, scaleH, xnum, ynum);
    ADD_FAILURE() << "no error raised";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.number(), ErrorNumber::ObjectLacksProperty);
  }
}

}  // namespace
}  // namespace fbc
