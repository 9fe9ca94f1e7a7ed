#include "review/windings/wire_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <set>
#include <string>
#include <utility>

#include "platform/text.h"

namespace fbc {
namespace {

constexpr double kPi = std::numbers::pi;

TEST(ReadWireTest, GoodTextsReadAndWriteBackInTheirShortForm) {
  struct Case {
    const char* text;
    Wire wire;
    const char* written;
  };
  const Case cases[] = {
      {"round:0.5", {WireKind::Round, 0.5, 1}, "round:0.5"},
      {"0.5", {WireKind::Round, 0.5, 1}, "round:0.5"},
      {"  ROUND : 0.50 ", {WireKind::Round, 0.5, 1}, "round:0.5"},
      {"strands:0.4x3", {WireKind::Strands, 0.4, 3}, "strands:0.4x3"},
      {"Strands: 0.4 X 3", {WireKind::Strands, 0.4, 3}, "strands:0.4x3"},
      {"strands:0.4x100", {WireKind::Strands, 0.4, 100}, "strands:0.4x100"},
      {"litz:0.1x200", {WireKind::Litz, 0.1, 200}, "litz:0.1x200"},
      {"LITZ:0.02x2", {WireKind::Litz, 0.02, 2}, "litz:0.02x2"},
      {"litz:0.071x10000", {WireKind::Litz, 0.071, 10000}, "litz:0.071x10000"},
      {"foil:0.2", {WireKind::Foil, 0.2, 1}, "foil:0.2"},
      {"\tfoil:5", {WireKind::Foil, 5.0, 1}, "foil:5"},
      // A Japanese input method's full-width digits and point read as the diameter.
      {"round:\xEF\xBC\x90\xEF\xBC\x8E\xEF\xBC\x95", {WireKind::Round, 0.5, 1}, "round:0.5"},
      // The count reads as the diameter does.
      {"strands:0.4x\xEF\xBC\x93", {WireKind::Strands, 0.4, 3}, "strands:0.4x3"},
      {"litz:0.1x1,000", {WireKind::Litz, 0.1, 1000}, "litz:0.1x1000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const WireReading reading = readWire(c.text);
    ASSERT_TRUE(reading.wire.has_value());
    EXPECT_FALSE(reading.problem.has_value());
    EXPECT_EQ(*reading.wire, c.wire);
    EXPECT_EQ(wireText(*reading.wire), c.written);
    EXPECT_EQ(readWire(wireText(*reading.wire)).wire, reading.wire);
  }
}

// Each fault names the piece of text a person has to change, in both languages.
TEST(ReadWireTest, BadTextsSayWhatIsWrongAndNameThePart) {
  struct Case {
    const char* text;
    WireTextFault fault;
    const char* part;
    WireKind kind;
  };
  using F = WireTextFault;
  const Case cases[] = {
      {"", F::Empty, "", WireKind::Round},
      {"  \t ", F::Empty, "", WireKind::Round},
      {"wire:0.5", F::UnknownKind, "wire", WireKind::Round},
      {"Copper : 0.5", F::UnknownKind, "copper", WireKind::Round},
      {"round:abc", F::DiameterNotANumber, "abc", WireKind::Round},
      {"foil:0,2", F::DiameterNotANumber, "0,2", WireKind::Foil},
      {"round:9", F::DiameterOutOfRange, "9", WireKind::Round},
      {"0.01", F::DiameterOutOfRange, "0.01", WireKind::Round},
      {"foil:-1", F::DiameterOutOfRange, "-1", WireKind::Foil},
      {"round:1e400", F::DiameterOutOfRange, "1e400", WireKind::Round},
      {"litz:0.1", F::CountMissing, "0.1", WireKind::Litz},
      {"strands:0.4", F::CountMissing, "0.4", WireKind::Strands},
      {"round:0.5x3", F::CountNotAllowed, "3", WireKind::Round},
      {"foil:0.2 x 3", F::CountNotAllowed, "3", WireKind::Foil},
      {"litz:0.1xabc", F::CountNotANumber, "abc", WireKind::Litz},
      {"litz:0.1x", F::CountNotANumber, "", WireKind::Litz},
      {"strands:0.4x2.5", F::CountNotANumber, "2.5", WireKind::Strands},
      {"litz:0.1x25e-1", F::CountNotANumber, "25e-1", WireKind::Litz},
      {"litz:0.1x1e400", F::CountOutOfRange, "1e400", WireKind::Litz},
      {"litz:0.1x0", F::CountOutOfRange, "0", WireKind::Litz},
      {"litz:0.1x-5", F::CountOutOfRange, "-5", WireKind::Litz},
      {"strands:0.4x1", F::CountOutOfRange, "1", WireKind::Strands},
      {"strands:0.4x101", F::CountOutOfRange, "101", WireKind::Strands},
      {"litz:0.1x10001", F::CountOutOfRange, "10001", WireKind::Litz},
      {"litz:0.1x99999999999", F::CountOutOfRange, "99999999999", WireKind::Litz},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const WireReading reading = readWire(c.text);
    EXPECT_FALSE(reading.wire.has_value());
    ASSERT_TRUE(reading.problem.has_value());
    EXPECT_EQ(reading.problem->fault, c.fault);
    EXPECT_EQ(reading.problem->part, c.part);
    EXPECT_EQ(reading.problem->kind, c.kind);
    const std::string english = wireTextFaultText(*reading.problem);
    const std::u16string japanese = wireTextFaultTextJa(*reading.problem);
    EXPECT_FALSE(english.empty());
    EXPECT_FALSE(japanese.empty());
    if (c.fault == F::Empty) {
      continue;
    }
    // A count missing or not allowed is the kind's matter: the sentence names the kind.
    const bool aboutTheKind = c.fault == F::CountMissing || c.fault == F::CountNotAllowed;
    std::string quoted = "'";
    quoted += c.part;
    quoted += '\'';
    std::u16string bracketed = u"「";
    bracketed += fromUtf8(c.part);
    bracketed += u'」';
    const std::string kind(wireKindCode(c.kind));
    EXPECT_NE(english.find(aboutTheKind ? kind : quoted), std::string::npos) << english;
    EXPECT_NE(japanese.find(aboutTheKind ? fromUtf8(kind) : bracketed), std::u16string::npos);
  }
}

TEST(ReadWireTest, FaultSentences) {
  const std::pair<const char*, const char*> english[] = {
      {"litz:0.1x0", "strand count '0' must lie between 2 and 10000"},
      {"strands:0.4x1", "strand count '1' must lie between 2 and 100"},
      {"strands:0.4x2.5", "strand count '2.5' is not a whole number"},
      {"foil:-1", "foil thickness '-1' must lie between 0.02 and 5 mm"},
      {"round:abc", "diameter 'abc' is not a number"},
      {"round:9", "diameter '9' must lie between 0.02 and 5 mm"},
      {"litz:0.1", "litz needs a strand count: litz:DIAMETERxCOUNT"},
      {"round:0.5x3", "round takes no strand count ('3')"},
      {"wire:0.5", "wire kind 'wire' is not round, strands, litz or foil"},
      {"", "no wire given"},
  };
  for (const auto& [text, sentence] : english) {
    EXPECT_EQ(wireTextFaultText(*readWire(text).problem), sentence) << text;
  }
  EXPECT_EQ(wireTextFaultTextJa(*readWire("litz:0.1x0").problem),
            u"本数「0」は2から10000の範囲で入力してください。");
  EXPECT_EQ(wireTextFaultTextJa(*readWire("round:9").problem),
            u"径「9」は0.02から5 mmの範囲で入力してください。");
  EXPECT_EQ(wireTextFaultTextJa(*readWire("litz:0.1").problem),
            u"litzには本数が要ります(例 litz:0.1x50)。");
}

// Grade 1 largest overall diameters of IEC 60317-0-1 enamelled round copper wire, as the open
// MAS wire data gives them (OpenMagnetics/MAS, data/wires.ndjson at commit 1408499d, Apache-2.0:
// Elektrisola's maxima up to 0.5 mm, the standard's grade maxima above). The standard's own
// range for 0.5 mm is 0.524 to 0.544 mm and for 0.1 mm 0.108 to 0.117 mm.
TEST(RoundWireOuterDiameterTest, Grade1AtTheStandardsNominalSizes) {
  const std::pair<double, double> sizes[] = {
      {0.05, 0.060}, {0.063, 0.076}, {0.071, 0.084}, {0.1, 0.117}, {0.112, 0.130}, {0.15, 0.171},
      {0.2, 0.226},  {0.25, 0.281},  {0.315, 0.349}, {0.4, 0.439}, {0.475, 0.519}, {0.5, 0.544},
      {0.56, 0.606}, {0.63, 0.679},  {0.71, 0.762},  {0.8, 0.855}, {0.9, 0.959},   {1.0, 1.062},
      {1.12, 1.184}, {1.25, 1.316},  {1.4, 1.468},   {1.6, 1.670}, {1.8, 1.872},   {2.0, 2.074},
  };
  for (const auto& [bare, grade1] : sizes) {
    EXPECT_NEAR(roundWireOuterDiameter(bare), grade1, 1e-12) << bare;
  }
}

TEST(RoundWireOuterDiameterTest, TheEnamelIsInterpolatedBetweenSizesAndContinuedBeyond) {
  struct Case {
    double bare;
    double outer;
    const char* why;
  };
  const Case cases[] = {
      // 0.5 mm has 0.044 mm of enamel, 0.56 mm 0.046 mm.
      {0.53, 0.53 + 0.045, "halfway between 0.5 and 0.56"},
      {0.515, 0.515 + 0.0445, "a quarter of the way"},
      // 1.0 mm has 0.062, 1.12 mm 0.064.
      {1.06, 1.06 + 0.063, "halfway between 1.0 and 1.12"},
      // Below the smallest size the enamel shrinks with the wire: 0.05 mm has 0.010.
      {0.032, 0.032 * 1.2, "AWG 48, below the table"},
      {0.02, 0.024, "the thinnest a person may give"},
      // Above the largest it keeps 2.0 mm's 0.074.
      {3.0, 3.074, "above the table"},
      {5.0, 5.074, "the thickest a person may give"},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(roundWireOuterDiameter(c.bare), c.outer, 1e-12) << c.why;
  }
  // A thicker wire is never thinner over its enamel.
  double last = 0.0;
  for (double bare = 0.02; bare <= 5.0; bare += 0.001) {
    const double outer = roundWireOuterDiameter(bare);
    EXPECT_GT(outer, last) << bare;
    EXPECT_GT(outer, bare) << bare;
    last = outer;
  }
}

// IEC 60317-11's packing factors of an unserved litz bundle, OD = factor·√n·strand OD, as
// OpenMagnetics' MKF transcribes them (src/constructive_models/Wire.cpp at commit d424c32e).
// Elektrisola's catalogue maxima (the MAS data) put each step one count later (1.25 up to 12
// strands, 1.26 to 16, 1.27 at 20) and 1.25 at 2: at most 0.8 % thinner, 12 % at 2 strands,
// where √2 is the twisted pair's own width of two strands.
TEST(LitzTest, PackingFactorSteps) {
  const std::pair<int, double> steps[] = {
      {2, std::numbers::sqrt2},
      {3, 1.25},
      {11, 1.25},
      {12, 1.26},
      {15, 1.26},
      {16, 1.27},
      {19, 1.27},
      {20, 1.28},
      {2000, 1.28},
      {10000, 1.28},
  };
  for (const auto& [strands, factor] : steps) {
    EXPECT_DOUBLE_EQ(litzPackingFactor(strands), factor) << strands;
  }
}

// How each kind of wire lies: its width and height with the insulation, its copper, and the
// strands Dowell counts.
TEST(WireSectionTest, EachKindOfWire) {
  const double breadth = 20e-3;
  struct Case {
    Wire wire;
    double widthMm;
    double heightMm;
    double copperMm2;
    double resistanceFactor;
    double conductorsAcross;
    bool foil;
  };
  const double od05 = 0.544;  // grade 1, 0.5 mm
  const double od01 = 0.117;  // grade 1, 0.1 mm
  const Case cases[] = {
      {{WireKind::Round, 0.5, 1}, od05, od05, kPi / 4 * 0.25, 1.0, 1.0, false},
      // Wires in hand pack into a round bundle at 70 % of its area.
      {{WireKind::Strands, 0.5, 3},
       od05 * std::sqrt(3 / 0.7),
       od05 * std::sqrt(3 / 0.7),
       3 * kPi / 4 * 0.25,
       1.0,
       std::sqrt(3.0),
       false},
      // Litz: factor·√n·OD; two bunching steps up to 300 strands lengthen each strand by 4 %
      // (Elektrisola, "Technical basics and calculation", after DIN EN 60317-11).
      {{WireKind::Litz, 0.1, 200},
       1.28 * std::sqrt(200.0) * od01,
       1.28 * std::sqrt(200.0) * od01,
       200 * kPi / 4 * 0.01,
       1.04,
       std::sqrt(200.0),
       false},
      {{WireKind::Litz, 0.1, 60},
       1.28 * std::sqrt(60.0) * od01,
       1.28 * std::sqrt(60.0) * od01,
       60 * kPi / 4 * 0.01,
       1.02,
       std::sqrt(60.0),
       false},
      {{WireKind::Litz, 0.1, 400},
       1.28 * 20 * od01,
       1.28 * 20 * od01,
       400 * kPi / 4 * 0.01,
       1.06,
       20.0,
       false},
      // A foil spans the breadth; the film between turns adds to its height.
      {{WireKind::Foil, 0.2, 1}, 20.0, 0.2 + 0.025, 0.2 * 20.0, 1.0, 1.0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(wireText(c.wire));
    const WireSection s = wireSection(c.wire, breadth);
    EXPECT_NEAR(s.width * 1e3, c.widthMm, 1e-9);
    EXPECT_NEAR(s.height * 1e3, c.heightMm, 1e-9);
    EXPECT_NEAR(s.copperArea * 1e6, c.copperMm2, 1e-9);
    EXPECT_DOUBLE_EQ(s.resistanceFactor, c.resistanceFactor);
    EXPECT_DOUBLE_EQ(s.conductorsAcross, c.conductorsAcross);
    EXPECT_DOUBLE_EQ(s.conductor, c.wire.diameter * 1e-3);
    EXPECT_EQ(s.foil, c.foil);
  }
}

// What the review chooses from: 33 R20 round sizes from 0.05 to 2.0 mm alone and 2 to 32 in
// hand, the 13 of them from 0.05 to 0.2 mm as litz in 34 counts from 2 to 2000, and 11 foils.
TEST(WireTableTest, ExtentAndEveryEntryReadsBackFromItsText) {
  int round = 0;
  int strands = 0;
  int litz = 0;
  int foil = 0;
  std::set<std::string> texts;
  for (const Wire& wire : wireTable()) {
    const std::string text = wireText(wire);
    SCOPED_TRACE(text);
    EXPECT_TRUE(texts.insert(text).second) << "twice";
    const WireReading reading = readWire(text);
    ASSERT_TRUE(reading.wire.has_value());
    EXPECT_EQ(*reading.wire, wire);
    switch (wire.kind) {
      case WireKind::Round:
        ++round;
        EXPECT_EQ(wire.strands, 1);
        break;
      case WireKind::Strands:
        ++strands;
        EXPECT_GE(wire.strands, 2);
        EXPECT_LE(wire.strands, 32);
        break;
      case WireKind::Litz:
        ++litz;
        EXPECT_GE(wire.diameter, 0.05);
        EXPECT_LE(wire.diameter, 0.2);
        EXPECT_GE(wire.strands, 2);
        EXPECT_LE(wire.strands, 2000);
        break;
      case WireKind::Foil:
        ++foil;
        EXPECT_GE(wire.diameter, 0.03);
        EXPECT_LE(wire.diameter, 1.0);
        break;
    }
  }
  EXPECT_EQ(round, 33);
  // Every count in hand to 10, then 12, 14, 16, 20, 24, 28 and 32.
  EXPECT_EQ(strands, 33 * 16);
  EXPECT_EQ(litz, 13 * 34);
  EXPECT_EQ(foil, 11);
  const std::span<const double> sizes = roundWireDiameters();
  ASSERT_EQ(sizes.size(), 33U);
  EXPECT_DOUBLE_EQ(sizes.front(), 0.05);
  EXPECT_DOUBLE_EQ(sizes.back(), 2.0);
  // R20 steps by 10^(1/20) = 1.122, rounded as the standard rounds them.
  for (std::size_t i = 1; i < sizes.size(); ++i) {
    EXPECT_NEAR(sizes[i] / sizes[i - 1], std::pow(10.0, 1.0 / 20.0), 0.025) << sizes[i];
  }
}

}  // namespace
}  // namespace fbc
