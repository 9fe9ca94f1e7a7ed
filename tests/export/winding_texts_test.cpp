#include "export/winding_texts.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace fbc {
namespace {

std::string str(const QString& text) { return text.toStdString(); }

TEST(WindingTexts, WiresAreWrittenAsAWindingShopOrdersThem) {
  const struct {
    Wire wire;
    const char* text;
  } cases[] = {
      {{WireKind::Round, 0.5, 1}, "単線 φ0.50"},
      {{WireKind::Round, 0.071, 1}, "単線 φ0.071"},  // a third decimal where the table has one
      {{WireKind::Round, 2.0, 1}, "単線 φ2.00"},
      {{WireKind::Strands, 0.4, 3}, "並列線 φ0.40×3"},
      {{WireKind::Litz, 0.1, 60}, "リッツ線 φ0.10×60"},
      {{WireKind::Litz, 0.05, 2000}, "リッツ線 φ0.05×2000"},
      {{WireKind::Foil, 0.2, 1}, "銅箔 t0.20"},  // a foil by its thickness
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(wireText(c.wire));
    EXPECT_EQ(str(wireDescriptionJa(c.wire)), c.text);
  }
  std::set<std::string> names;
  for (const WireKind kind : {WireKind::Round, WireKind::Strands, WireKind::Litz, WireKind::Foil}) {
    EXPECT_TRUE(names.insert(str(wireKindNameJa(kind))).second);
  }
}

TEST(WindingTexts, TheOrderRunsFromTheCentreLegWithASplitPrimaryEitherSide) {
  TransformerLosses losses;
  losses.windings = {WindingLoss{}, WindingLoss{}};
  losses.windings[0].winding = Winding::Primary;
  losses.windings[0].turns = 33;
  losses.windings[0].innerTurns = 33;
  losses.windings[1].winding = Winding::Secondary;
  losses.windings[1].turns = 4;
  losses.windings[1].innerTurns = 4;
  EXPECT_EQ(str(windingOrderTextJa(losses)), "一次 33T、二次 4T");
  losses.arrangement = WindingArrangement::Psp;
  losses.windings[0].innerTurns = 17;
  EXPECT_EQ(str(windingOrderTextJa(losses)), "一次(内側) 17T、二次 4T、一次(外側) 16T");
  EXPECT_TRUE(windingOrderTextJa(TransformerLosses{}).isEmpty());
}

TEST(WindingTexts, ArrangementsStartWithTheCodeTheConditionsTake) {
  for (const WindingArrangement arrangement : {WindingArrangement::Ps, WindingArrangement::Psp}) {
    const std::string code(windingArrangementCode(arrangement));
    EXPECT_TRUE(str(arrangementNameJa(arrangement)).starts_with(code + " ")) << code;
  }
  EXPECT_NE(str(lossesNotEstimatedJa()).find("ボビンに収まらない"), std::string::npos);
  EXPECT_NE(str(runawayNotEstimatedJa()).find("熱暴走"), std::string::npos);
  EXPECT_NE(str(leakageNotEstimatedJa()).find("漏れインダクタンス"), std::string::npos);
}

}  // namespace
}  // namespace fbc
