#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "chartlib/macro_library.h"
#include "platform/counting_loop.h"
#include "platform/errors.h"
#include "platform/object.h"
#include "platform/sequential_files.h"

namespace fbc::macro {
namespace {

constexpr std::array<std::int16_t, 12> kE12 = {10, 12, 15, 18, 22, 27, 33, 39, 47, 56, 68, 82};
// The twelve E24 values that are not E12 values.
constexpr std::array<std::int16_t, 12> kE24Between = {11, 13, 16, 20, 24, 30,
                                                      36, 43, 51, 62, 75, 91};

// Positions of the resistor scroll bar; 12 positions make one decade.
constexpr std::int16_t kTopPosition = 60;
// Bands 0 to 4 cover 10 Ω to 820 kΩ; the top position stands for 1 MΩ.
constexpr std::array<std::int32_t, 5> kBandMultiplier = {1, 10, 100, 1000, 10000};
constexpr std::int32_t kTopValue = 1000000;

constexpr int kTableFile = 1;
constexpr std::u16string_view kTableName = u"IPM_VI2.txt";

Value integerValue(std::int32_t number) {
  if (number >= INT16_MIN && number <= INT16_MAX) {
    return Value(static_cast<std::int16_t>(number));
  }
  return Value(number);
}

Value clamped(const Value& value, const Value& maxValue, const Value& minValue) {
  if (compare(value, minValue) < 0) {
    return minValue;
  }
  if (compare(maxValue, value) < 0) {
    return maxValue;
  }
  return value;
}

void setRange(Object& bar, const Value& max, const Value& min, const Value& smallChange) {
  bar.setProperty("Max", max);
  bar.setProperty("Min", min);
  bar.setProperty("SmallChange", smallChange);
}

Value numberField() {
  Value field = inputField(kTableFile);
  if (!field.isNumber()) {
    raise(ErrorNumber::TypeMismatch, "a field of IPM_VI2.txt is not a number");
  }
  return field;
}

// Reads the table to its end. For each query abscissa q, the consecutive pair (x0, y0),
// (x1, y1) of the file with x0 < q <= x1 gives the ordinate by straight-line interpolation; a
// later bracketing pair wins. Results stay empty when no pair brackets their query. Only file
// number 1 is closed, on every path.
void readTable(std::span<const Value> queries, std::span<Value> results) {
  openFile(kTableFile, kTableName, FileMode::Input);
  struct CloseTable {
    ~CloseTable() { closeFile(kTableFile); }
  } close;
  Value x0;
  Value y0;
  Value x1;
  Value y1;
  bool havePair = false;
  while (!endOfFile(kTableFile)) {
    x0 = x1;
    y0 = y1;
    const bool havePrevious = havePair;
    x1 = numberField();
    y1 = numberField();
    havePair = true;
    if (!havePrevious) {
      continue;
    }
    for (std::size_t k = 0; k < queries.size(); ++k) {
      const Value& q = queries[k];
      if (compare(x0, q) < 0 && compare(q, x1) <= 0) {
        results[k] = add(y0, divide(multiply(subtract(y1, y0), subtract(q, x0)), subtract(x1, x0)));
      }
    }
  }
}

}  // namespace

void viewlbl7(Value& lblview, Value& dataviewnum, Value& Zuban, Value& Time, Value& Tantou,
              Value& Custamer, Value& Kou1, Value& Kou2, Value& bikou, Value& datanum) {
  const Value one(std::int16_t{1});
  const Value start = compare(datanum, dataviewnum) > 0 ? subtract(datanum, dataviewnum) : one;
  const struct {
    const Value& column;
    std::u16string_view separator;
  } fields[] = {
      {Zuban, u"    ,"}, {Time, u","},        {Tantou, u"  ,"}, {Custamer, u"  ,"},
      {Kou1, u"   ,"},   {Kou2, u"       ,"}, {bikou, u"\r\n"},
  };
  countingLoop(start, datanum, one, [&](const Value& r) {
    const std::int32_t record = r.toInt32();
    for (const auto& field : fields) {
      if (!field.column.array().contains(record)) {
        raise(ErrorNumber::SubscriptOutOfRange, "record " + std::to_string(record));
      }
    }
    std::u16string line;
    for (const auto& field : fields) {
      line += field.column.array().at(record).toText();
      line += field.separator;
    }
    lblview = Value(lblview.toText() + line);
  });
}

void Sel_Reg(Value& Series, Value& vsb_name, Value& Output) {
  Object& bar = vsb_name.object();
  setRange(bar, Value(std::int16_t{0}), Value(kTopPosition), Value(std::int16_t{1}));
  const std::int16_t position = bar.property("Value").toInt16();
  const auto& table =
      compareWithConstant(Series, Value(std::int16_t{24})) == 0 ? kE24Between : kE12;
  if (position < 0 || position >= kTopPosition) {
    Output = Value(kTopValue);
    return;
  }
  const std::size_t band = static_cast<std::size_t>(position) / table.size();
  const std::size_t index = static_cast<std::size_t>(position) % table.size();
  Output = integerValue(kBandMultiplier.at(band) * table.at(index));
}

void txtvsb0(Value& txt_name, Value& vsb_name, Value& Maxvalue, Value& Minvlaue, Value& Output) {
  setRange(vsb_name.object(), Minvlaue, Maxvalue, Value(std::int16_t{1}));
  txt_name = clamped(txt_name, Maxvalue, Minvlaue);
  Output = txt_name;
}

void txtvsb1(Value& vsb_name, Value& Maxvalue, Value& Minvlaue, Value& Change, Value& Output) {
  setRange(vsb_name.object(), Minvlaue, Maxvalue, Change);
  Output = clamped(Output, Maxvalue, Minvlaue);
}

void Seledata([[maybe_unused]] Value& file, [[maybe_unused]] Value& filenum) { readTable({}, {}); }

void SeledataLookup([[maybe_unused]] Value& file, [[maybe_unused]] Value& filenum, Value& q1,
                    Value& q2, Value& y1, Value& y2) {
  const Value queries[] = {q1.toNumber(), q2.toNumber()};
  Value results[2];
  readTable(queries, results);
  y1 = results[0];
  y2 = results[1];
}

}  // namespace fbc::macro
