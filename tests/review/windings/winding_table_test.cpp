#include "review/windings/winding_table.h"

#include <gtest/gtest.h>

#include <cmath>

#include "design/calculation.h"
#include "design/core_catalogue.h"
#include "review/review_limits.h"

namespace fbc {
namespace {

// A valid review with the given wires and a skin depth of 0.3 mm (about 50 kHz).
DesignReview reviewWith(double dP, double dS) {
  DesignReview review;
  review.valid = true;
  review.Np = 40;
  review.Ns = 7;
  review.dP = dP;
  review.dS = dS;
  review.skinDepth = 0.3;
  return review;
}

struct StrandCase {
  const char* name;
  double wire;  // mm
  int strands;
};

// With δ = 0.3 mm strands may be 0.6 mm thick at most.
constexpr StrandCase kStrandCases[] = {
    {"thin wire stays single", 0.25, 1},
    {"exactly two skin depths stays single", 0.6, 1},
    {"just above needs two", 0.61, 2},
    {"twice the limit needs four", 1.2, 4},
    {"three times the limit needs nine", 1.8, 9},
    {"a little over twice needs five", 1.25, 5},
};

TEST(WindingTableTest, ThickWiresSplitIntoTheFewestStrandsOfTheSameCopperWithinTheLimit) {
  const double limit = kReviewLimits.maxWireToSkinDepth * 0.3;
  for (const StrandCase& c : kStrandCases) {
    SCOPED_TRACE(c.name);
    const std::vector<WindingRow> rows = windingTable(reviewWith(c.wire, 0.1));
    ASSERT_EQ(rows.size(), 2U);
    const WindingRow& primary = rows[0];
    EXPECT_EQ(primary.strands, c.strands);
    EXPECT_DOUBLE_EQ(primary.wireDiameter, c.wire);
    EXPECT_LE(primary.strandDiameter, limit + 1e-12);
    // Same copper area as the single wire.
    EXPECT_NEAR(primary.strands * primary.strandDiameter * primary.strandDiameter, c.wire * c.wire,
                1e-12);
    // One strand fewer would have to be thicker than the limit.
    if (primary.strands > 1) {
      EXPECT_GT(c.wire / std::sqrt(primary.strands - 1), limit);
    }
  }
}

TEST(WindingTableTest, RowsArePrimaryThenSecondaryWithTheReviewsWholeTurns) {
  const std::vector<WindingRow> rows = windingTable(reviewWith(0.5, 1.5));
  ASSERT_EQ(rows.size(), 2U);
  EXPECT_EQ(rows[0].winding, Winding::Primary);
  EXPECT_EQ(rows[0].turns, 40);
  EXPECT_EQ(rows[0].strands, 1);
  EXPECT_DOUBLE_EQ(rows[0].strandDiameter, 0.5);
  EXPECT_EQ(rows[1].winding, Winding::Secondary);
  EXPECT_EQ(rows[1].turns, 7);
  EXPECT_EQ(rows[1].strands, 7);  // (1.5 / 0.6)² = 6.25
}

// A wire a million times the skin depth would need 2.5·10¹¹ strands, more than an int holds
// the count stops at the cap and keeps the copper.
TEST(WindingTableTest, AnAbsurdlyThickWireStopsAtTheStrandCap) {
  const std::vector<WindingRow> rows = windingTable(reviewWith(3e5, 1e100));
  ASSERT_EQ(rows.size(), 2U);
  for (const WindingRow& row : rows) {
    EXPECT_EQ(row.strands, kReviewLimits.maxStrands);
    EXPECT_NEAR(row.strands * row.strandDiameter * row.strandDiameter /
                    (row.wireDiameter * row.wireDiameter),
                1.0, 1e-12);
  }
}

TEST(WindingTableTest, InvalidReviewHasNoRows) {
  DesignReview review = reviewWith(0.5, 0.5);
  review.valid = false;
  EXPECT_TRUE(windingTable(review).empty());
}

// The window's start values (EER25.5, typ): the secondary carries the larger current and is the
// wire beyond two skin depths that the review flags.
TEST(WindingTableTest, StartValuesStrandTheSecondaryAsTheReviewFlags) {
  const CoreCatalogue catalogue;
  DesignState state;
  const DesignInputs inputs;
  ASSERT_TRUE(calculateDesign(inputs, catalogue, state).completed);
  const DesignReview review = reviewDesign(state, levelSwing(inputs.level).value());
  const std::vector<WindingRow> rows = windingTable(review);
  ASSERT_EQ(rows.size(), 2U);
  EXPECT_EQ(rows[0].turns, review.Np);
  EXPECT_EQ(rows[1].turns, review.Ns);
  const bool anyStranded = rows[0].strands > 1 || rows[1].strands > 1;
  EXPECT_EQ(anyStranded, review.has(ReviewFlag::WireBeyondSkinDepth));
}

}  // namespace
}  // namespace fbc
