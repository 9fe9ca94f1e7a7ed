#include "review/windings/winding_table.h"

#include <gtest/gtest.h>

#include "design/calculation.h"
#include "design/core_catalogue.h"
#include "design/design_inputs.h"

namespace fbc {
namespace {

DesignReview reviewOn(std::u16string core, const ReviewConditions& conditions = {}) {
  const CoreCatalogue catalogue;
  DesignState state;
  DesignInputs inputs;
  inputs.core = std::move(core);
  EXPECT_TRUE(calculateDesign(inputs, catalogue, state).completed);
  return reviewDesign(state, levelSwing(inputs.level).value(), conditions);
}

// The sheet's rows are the windings the losses worked out, in millimetres.
TEST(WindingTableTest, RowsAreTheWindingsAsWoundPrimaryFirst) {
  const DesignReview review = reviewOn(u"PQ50");
  const std::vector<WindingRow> rows = windingTable(review);
  ASSERT_EQ(rows.size(), review.losses.windings.size());
  ASSERT_EQ(rows.size(), 2U);
  EXPECT_EQ(rows[0].winding, Winding::Primary);
  EXPECT_EQ(rows[0].turns, review.Np);
  EXPECT_EQ(rows[1].winding, Winding::Secondary);
  EXPECT_EQ(rows[1].turns, review.Ns);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const WindingLoss& w = review.losses.windings[i];
    EXPECT_EQ(rows[i].wire, w.wire);
    EXPECT_TRUE(rows[i].wireChosen);
    EXPECT_EQ(rows[i].strands, w.wire.strands);
    EXPECT_DOUBLE_EQ(rows[i].strandDiameter, w.wire.diameter);
    EXPECT_DOUBLE_EQ(rows[i].outerDiameter, w.layout.outerDiameter * 1e3);
    EXPECT_DOUBLE_EQ(rows[i].build, w.layout.build * 1e3);
    EXPECT_EQ(rows[i].layers, w.layout.layers);
    EXPECT_EQ(rows[i].turnsPerLayer, w.layout.turnsPerLayer);
  }
}

TEST(WindingTableTest, AGivenWireIsMarkedAndASplitPrimaryKeepsItsInnerHalf) {
  ReviewConditions conditions;
  conditions.wirePrimary = Wire{WireKind::Litz, 0.1, 100};
  conditions.arrangement = WindingArrangement::Psp;
  const DesignReview review = reviewOn(u"PQ50", conditions);
  const std::vector<WindingRow> rows = windingTable(review);
  ASSERT_EQ(rows.size(), 2U);
  EXPECT_EQ(rows[0].wire, *conditions.wirePrimary);
  EXPECT_FALSE(rows[0].wireChosen);
  EXPECT_TRUE(rows[1].wireChosen);
  EXPECT_EQ(rows[0].innerTurns, (review.Np + 1) / 2);
  EXPECT_EQ(rows[1].innerTurns, review.Ns);
}

TEST(WindingTableTest, NoRowsWithoutAValidReview) {
  DesignReview review = reviewOn(u"PQ50");
  review.valid = false;
  EXPECT_TRUE(windingTable(review).empty());
}

}  // namespace
}  // namespace fbc
