#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace fbc {

// Streams indented JSON. Numbers are written as tokens of our own choosing, so that a 32-bit
// float appears as its shortest round-trip text rather than as a widened double.
class JsonWriter {
 public:
  explicit JsonWriter(std::ostream& out) : out_(out) {}

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
  // Named apart from value() so that a pointer can never turn into a Boolean by mistake.
  void boolean(bool flag);
  void null();

  // Ends the document with a newline.
  void finish();

 private:
  struct Level {
    bool object = false;
    int members = 0;
  };

  void beforeValue();
  void open(char bracket, bool object);
  void close(char bracket);
  void newlineAndIndent();
  void token(std::string_view text);

  std::ostream& out_;
  std::vector<Level> levels_;
  bool keyPending_ = false;
};

}  // namespace fbc
