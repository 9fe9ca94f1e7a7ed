#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace fbc {

// How a JsonWriter lays its text out: indented by two spaces per level (the reports), or all on
// one line without blanks (one batch row per line).
enum class JsonLayout { Indented, Compact };

// Receives the scalar values of a flattened document, each with its dotted path ("state.Lp",
// "labels.lblNt"): the batch's CSV columns. Strings come as their UTF-8 text, numbers and
// Booleans as their JSON tokens, null as empty text. An array of scalars is one value, its
// items joined by blanks ("gap-too-large window-overfull"), so that a row with more items
// than another still fits the same columns; an array of objects gives each object's members
// under its index ("losses.windings.0.wire"); arrays holding arrays, or scalars and objects
// mixed, cannot be flattened.
class JsonScalarSink {
 public:
  enum class Kind { String, Number, Boolean, Null };
  virtual void scalar(std::string_view path, std::string_view text, Kind kind) = 0;

 protected:
  ~JsonScalarSink() = default;
};

// Streams JSON. Numbers are written as tokens of our own choosing, so that a 32-bit float
// appears as its shortest round-trip text rather than as a widened double. The same calls can
// instead hand the scalars with their paths to a JsonScalarSink.
class JsonWriter {
 public:
  explicit JsonWriter(std::ostream& out, JsonLayout layout = JsonLayout::Indented)
      : out_(&out), layout_(layout) {}
  explicit JsonWriter(JsonScalarSink& sink) : sink_(&sink) {}

  void beginObject();
  void endObject();
  void beginArray();
  void endArray();
  // The member name for the next value inside an object.
  void key(std::string_view name);

  void value(std::string_view utf8Text);
  void value(std::u16string_view text);
  void value(const char* utf8Text) { value(std::string_view(utf8Text)); }
  // A non-finite value has no JSON number and is written as null.
  void value(float number);
  void value(double number);
  void value(int number);
  // A figure that may be missing: null where it is.
  void value(const std::optional<double>& number);
  // Named apart from value() so that a pointer can never turn into a Boolean by mistake.
  void boolean(bool flag);
  void null();

  // Ends the document with a newline and writes what is still held. The writer can then
  // write another document.
  void finish();

 private:
  struct Level {
    bool object = false;
    int members = 0;
    std::size_t pathLength = 0;  // of the path to this container
    bool holdsObjects = false;   // a flattened array of objects: each under its index
  };

  void beforeValue();
  void open(char bracket, bool object);
  void close(char bracket);
  void newlineAndIndent();
  void token(std::string_view text, JsonScalarSink::Kind kind);
  void quotedText(std::string_view utf8Text);
  void flush();

  static constexpr std::size_t kFlushSize = 65536;

  std::ostream* out_ = nullptr;
  JsonScalarSink* sink_ = nullptr;
  JsonLayout layout_ = JsonLayout::Indented;
  std::vector<Level> levels_;
  bool keyPending_ = false;
  std::string path_;       // of the value about to be written, for the sink
  std::string arrayCell_;  // the items of the array being flattened so far
  std::string text_;       // written to out_ at finish() and whenever it grows long
  std::string utf8_;       // a UTF-16 text on its way, kept to save allocations
};

}  // namespace fbc
