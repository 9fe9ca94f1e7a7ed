#include "design/core_catalogue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/text.h"

namespace fbc {
namespace {

struct Core {
  const char16_t* name;
  float ae;  // m², the tabled mm² value times 10^-6
  float aw;
  float fill;
};

const Core kCatalogue[] = {
    {u"EER25.5", 44.8e-6F, 48.4F, 22},   {u"EER28", 82.1e-6F, 71.8F, 20},
    {u"EER28L", 81.4e-6F, 96.3F, 20},    {u"EER35", 107e-6F, 152.7F, 14},
    {u"EER40", 149e-6F, 178.8F, 14},     {u"EER42", 194e-6F, 153.3F, 12},
    {u"EER424220", 240e-6F, 159.7F, 10}, {u"EER49", 231e-6F, 167.8F, 14},
    {u"EC90", 624e-6F, 1046.5F, 25},     {u"PQ2016", 62e-6F, 23.4F, 24},
    {u"PQ2020", 62e-6F, 36.2F, 24},      {u"PQ2620", 119e-6F, 30.7F, 23},
    {u"PQ2625", 118e-6F, 47.7F, 22},     {u"PQ3220", 170e-6F, 42.9F, 22},
    {u"PQ3230", 161e-6F, 95.3F, 21},     {u"PQ35", 196e-6F, 154.2F, 21},
    {u"PQ40", 201e-6F, 240, 21},         {u"PQ50", 328e-6F, 313, 20},
};

TEST(CoreCatalogueTest, HoldsTheEighteenCoresInOrder) {
  const CoreCatalogue catalogue;
  int position = 1;
  for (const Core& core : kCatalogue) {
    SCOPED_TRACE(toUtf8(core.name));
    EXPECT_EQ(catalogue.name(position), core.name);
    EXPECT_EQ(catalogue.ae(position), core.ae);
    EXPECT_EQ(catalogue.aw(position), core.aw);
    EXPECT_EQ(catalogue.fill(position), core.fill);
    EXPECT_TRUE(catalogue.hasFigures(position));
    ++position;
  }
}

TEST(CoreCatalogueTest, EndMarkAndFreePositionsCarryNoFigures) {
  const CoreCatalogue catalogue;
  EXPECT_EQ(catalogue.name(19), u"END");
  for (int position : {0, 19, 20, 500, CoreCatalogue::kCapacity - 1}) {
    SCOPED_TRACE(position);
    EXPECT_EQ(catalogue.ae(position), 0.0F);
    EXPECT_EQ(catalogue.aw(position), 0.0F);
    EXPECT_EQ(catalogue.fill(position), 0.0F);
    EXPECT_FALSE(catalogue.hasFigures(position));
    if (position != 19) {
      EXPECT_EQ(catalogue.name(position), u"");
    }
  }
}

TEST(CoreCatalogueTest, ListStopsBeforeTheEndMark) {
  const CoreCatalogue catalogue;
  std::vector<std::u16string> expected;
  for (const Core& core : kCatalogue) {
    expected.emplace_back(core.name);
  }
  EXPECT_EQ(catalogue.listNames(), expected);
}

TEST(CoreCatalogueTest, LookupIsExactAndCaseSensitive) {
  const CoreCatalogue catalogue;
  const struct {
    const char16_t* text;
    std::optional<int> position;
  } cases[] = {
      {u"EER25.5", 1},
      {u"PQ2016", 10},
      {u"PQ2020", 11},
      {u"PQ50", 18},
      {u"END", 19},
      {u"", 20},  // the first empty name
      {u"pq2016", std::nullopt},
      {u"PQ2016 ", std::nullopt},
      {u" PQ2016", std::nullopt},
      {u"PQ201", std::nullopt},
      {u"EER25.50", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(toUtf8(c.text));
    EXPECT_EQ(catalogue.find(c.text), c.position);
  }
}

TEST(CoreCatalogueTest, SameCrossSectionAndFillDifferentWindow) {
  const CoreCatalogue catalogue;
  const int pq2016 = *catalogue.find(u"PQ2016");
  const int pq2020 = *catalogue.find(u"PQ2020");
  EXPECT_EQ(catalogue.ae(pq2016), catalogue.ae(pq2020));
  EXPECT_EQ(catalogue.fill(pq2016), catalogue.fill(pq2020));
  EXPECT_NE(catalogue.aw(pq2016), catalogue.aw(pq2020));
}

}  // namespace
}  // namespace fbc
