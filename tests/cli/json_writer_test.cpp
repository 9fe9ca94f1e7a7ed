#include "cli/json_writer.h"

#include "platform/number_text.h"

#include <charconv>
#include <cstdint>
#include <cstring>
#include <limits>
#include <sstream>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace fbc {
namespace {

float readFloat(const std::string& text) {
  float value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  EXPECT_EQ(error, std::errc()) << text;
  EXPECT_EQ(end, text.data() + text.size()) << text;
  return value;
}

TEST(ShortestFloatText, IsTheShortestTextOfTheFloatNotOfAWiderDouble) {
  const struct {
    float value;
    const char* text;
  } cases[] = {
      {1.5F, "1.5"},
      {8.125668e-09F, "8.125668e-09"},
      {27.56696F, "27.56696"},
      {50000.0F, "50000"},
      {2e-05F, "2e-05"},
      {0.1F, "0.1"},
      {0.2204155F, "0.2204155"},
      {0.0F, "0"},
      {-3.5F, "-3.5"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(shortestRoundTrip(c.value), c.text);
  }
}

TEST(ShortestFloatText, ReadsBackAsTheSameFloat) {
  // A spread of bit patterns over every exponent, subnormals and the extremes included.
  for (std::uint32_t bits = 1; bits < 0x7F800000U; bits += 0x00A3D70BU) {
    float value = 0;
    std::memcpy(&value, &bits, sizeof value);
    SCOPED_TRACE(bits);
    const std::string text = shortestRoundTrip(value);
    EXPECT_EQ(readFloat(text), value) << text;
    EXPECT_EQ(readFloat(shortestRoundTrip(-value)), -value);
  }
  for (float value : {std::numeric_limits<float>::max(), std::numeric_limits<float>::min(),
                      std::numeric_limits<float>::denorm_min()}) {
    EXPECT_EQ(readFloat(shortestRoundTrip(value)), value);
  }
}

TEST(JsonWriter, WritesNestedValuesThatParseBack) {
  std::ostringstream out;
  JsonWriter json(out);
  json.beginObject();
  json.key("text");
  json.value("say \"hi\"\\\n\t\x01");
  json.key("japanese");
  json.value(u"普通");
  json.key("number");
  json.value(8.125668e-09F);
  json.key("wide");
  json.value(0.1);
  json.key("flag");
  json.boolean(true);
  json.key("nothing");
  json.null();
  json.key("list");
  json.beginArray();
  json.value(1.5F);
  json.beginObject();
  json.endObject();
  json.beginArray();
  json.endArray();
  json.endArray();
  json.endObject();
  json.finish();

  const std::string text = out.str();
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(text.back(), '\n');
  const nlohmann::json parsed = nlohmann::json::parse(text);
  EXPECT_EQ(parsed.at("text"), "say \"hi\"\\\n\t\x01");
  EXPECT_EQ(parsed.at("japanese"), "普通");
  EXPECT_EQ(static_cast<float>(parsed.at("number").get<double>()), 8.125668e-09F);
  EXPECT_EQ(parsed.at("wide").get<double>(), 0.1);
  EXPECT_EQ(parsed.at("flag"), true);
  EXPECT_TRUE(parsed.at("nothing").is_null());
  EXPECT_EQ(parsed.at("list"), nlohmann::json::parse(R"([1.5, {}, []])"));
  // The float is written as its own shortest text, not widened to 17 digits.
  EXPECT_NE(text.find("\"number\": 8.125668e-09"), std::string::npos) << text;
  // Members keep the order they were written in.
  EXPECT_LT(text.find("\"text\""), text.find("\"list\""));
}

// The same document in each of the three forms: indented, on one line, and flattened.
void writeSample(JsonWriter& json) {
  json.beginObject();
  json.key("row");
  json.value(3);
  json.key("a \"quoted\" name");
  json.value(u"普通, \"x\"");
  json.key("state");
  json.beginObject();
  json.key("Lp");
  json.value(0.000333333F);
  json.key("none");
  json.null();
  json.key("empty");
  json.beginObject();
  json.endObject();
  json.endObject();
  json.key("list");
  json.beginArray();
  json.boolean(false);
  json.value(1.5);
  json.endArray();
  json.endObject();
  json.finish();
}

// Strings are escaped exactly as the JSON library escapes them, well-formed UTF-8 or not.
TEST(JsonWriter, EscapesStringsAsTheJsonLibraryDoes) {
  const std::string texts[] = {
      "",
      "plain ASCII text longer than eight bytes",
      "say \"hi\" \\ back",
      std::string("\x00\x01\x1f\x7f\b\f\n\r\t", 9),
      "普通 銅線温度上昇は調度よいです。",
      "\xEF\xBB\xBF mark",
      "bad \xFF byte",
      "cut \xE6\x99",
      "overlong \xC0\xAF",
      "surrogate \xED\xA0\x80",
      "12345678\"12345678\\1234567\n",
  };
  for (const std::string& text : texts) {
    SCOPED_TRACE(text);
    std::ostringstream out;
    JsonWriter json(out, JsonLayout::Compact);
    json.value(std::string_view(text));
    json.finish();
    EXPECT_EQ(
        out.str(),
        nlohmann::json(text).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n");
  }
}

TEST(JsonWriter, CompactLayoutIsOneLineOfTheSameDocument) {
  std::ostringstream indented;
  std::ostringstream compact;
  JsonWriter indentedJson(indented);
  JsonWriter compactJson(compact, JsonLayout::Compact);
  writeSample(indentedJson);
  writeSample(compactJson);
  EXPECT_EQ(
      compact.str(),
      "{\"row\":3,\"a \\\"quoted\\\" name\":\"普通, \\\"x\\\"\",\"state\":{\"Lp\":0.000333333,"
      "\"none\":null,\"empty\":{}},\"list\":[false,1.5]}\n");
  EXPECT_EQ(nlohmann::ordered_json::parse(compact.str()),
            nlohmann::ordered_json::parse(indented.str()));
}

TEST(JsonWriter, FlattensScalarsWithTheirDottedPaths) {
  struct Collected : JsonScalarSink {
    void scalar(std::string_view path, std::string_view text, Kind kind) override {
      items.push_back(std::string(path) + "=" + std::string(text) + "/" +
                      std::to_string(static_cast<int>(kind)));
    }
    std::vector<std::string> items;
  } sink;
  JsonWriter json(sink);
  writeSample(json);
  EXPECT_EQ(sink.items, (std::vector<std::string>{
                            "row=3/1",
                            "a \"quoted\" name=普通, \"x\"/0",  // strings unquoted
                            "state.Lp=0.000333333/1", "state.none=/3",
                            "list=false 1.5/0",  // an array is one cell
                        }));
}

TEST(JsonWriter, NonFiniteNumbersBecomeNull) {
  std::ostringstream out;
  JsonWriter json(out);
  json.beginArray();
  json.value(std::numeric_limits<float>::infinity());
  json.value(std::numeric_limits<double>::quiet_NaN());
  json.endArray();
  json.finish();
  EXPECT_EQ(nlohmann::json::parse(out.str()), nlohmann::json::parse("[null, null]"));
}

TEST(JsonWriter, RefusesMisnestedDocuments) {
  const struct {
    const char* name;
    void (*misuse)(JsonWriter&);
  } cases[] = {
      {"value without key",
       [](JsonWriter& j) {
         j.beginObject();
         j.boolean(true);
       }},
      {"key in array",
       [](JsonWriter& j) {
         j.beginArray();
         j.key("a");
       }},
      {"two keys",
       [](JsonWriter& j) {
         j.beginObject();
         j.key("a");
         j.key("b");
       }},
      {"wrong bracket",
       [](JsonWriter& j) {
         j.beginObject();
         j.endArray();
       }},
      {"close unopened", [](JsonWriter& j) { j.endObject(); }},
      {"left open",
       [](JsonWriter& j) {
         j.beginArray();
         j.finish();
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::ostringstream out;
    JsonWriter json(out);
    EXPECT_THROW(c.misuse(json), std::logic_error);
  }
}

}  // namespace
}  // namespace fbc

namespace fbc {
namespace {

// Collects what a flattened document hands over, path by path.
class CollectingSink : public JsonScalarSink {
 public:
  void scalar(std::string_view path, std::string_view text, Kind kind) override {
    cells.emplace_back(std::string(path), std::string(text), kind);
  }
  std::vector<std::tuple<std::string, std::string, Kind>> cells;
};

TEST(JsonWriterSink, FlattensMembersByPathAndArraysIntoOneCell) {
  CollectingSink sink;
  JsonWriter json(sink);
  json.beginObject();
  json.key("state");
  json.beginObject();
  json.key("Lp");
  json.value(3.333333e-4F);
  json.endObject();
  json.key("review");
  json.beginObject();
  json.key("flags");
  json.beginArray();
  json.value("gap-too-large");
  json.value("window-overfull");
  json.endArray();
  json.key("none");
  json.beginArray();
  json.endArray();
  json.key("feasible");
  json.boolean(false);
  json.key("scales");
  json.null();
  json.endObject();
  json.endObject();
  using Kind = JsonScalarSink::Kind;
  const std::vector<std::tuple<std::string, std::string, Kind>> expected{
      {"state.Lp", "0.0003333333", Kind::Number},
      {"review.flags", "gap-too-large window-overfull", Kind::String},
      {"review.none", "", Kind::String},
      {"review.feasible", "false", Kind::Boolean},
      {"review.scales", "", Kind::Null},
  };
  EXPECT_EQ(sink.cells, expected);
}

// The windings of a report: each object of an array under its index.
TEST(JsonWriterSink, AnArrayOfObjectsGivesEachObjectsMembersUnderItsIndex) {
  CollectingSink sink;
  JsonWriter json(sink);
  json.beginObject();
  json.key("rows");
  json.beginArray();
  for (const char* name : {"primary", "secondary"}) {
    json.beginObject();
    json.key("name");
    json.value(name);
    json.key("flags");
    json.beginArray();
    json.value("a");
    json.value("b");
    json.endArray();
    json.endObject();
  }
  json.endArray();
  json.key("after");
  json.value(1);
  json.endObject();
  json.finish();
  using Kind = JsonScalarSink::Kind;
  const std::vector<std::tuple<std::string, std::string, Kind>> expected{
      {"rows.0.name", "primary", Kind::String},
      {"rows.0.flags", "a b", Kind::String},
      {"rows.1.name", "secondary", Kind::String},
      {"rows.1.flags", "a b", Kind::String},
      {"after", "1", Kind::Number},
  };
  EXPECT_EQ(sink.cells, expected);
}

TEST(JsonWriterSink, RefusesArraysOfArraysAndMixedArrays) {
  {
    CollectingSink sink;
    JsonWriter json(sink);
    json.beginObject();
    json.key("rows");
    json.beginArray();
    EXPECT_THROW(json.beginArray(), std::logic_error);
  }
  {
    CollectingSink sink;
    JsonWriter json(sink);
    json.beginObject();
    json.key("rows");
    json.beginArray();
    json.value(1);
    EXPECT_THROW(json.beginObject(), std::logic_error);
  }
  {
    CollectingSink sink;
    JsonWriter json(sink);
    json.beginObject();
    json.key("rows");
    json.beginArray();
    json.beginObject();
    json.endObject();
    EXPECT_THROW(json.value(1), std::logic_error);
  }
}

}  // namespace
}  // namespace fbc
