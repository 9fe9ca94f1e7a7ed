#include <cstdint>
#include <initializer_list>
#include <limits>
#include <string>
#include <vector>

#include "chartlib/macro_library.h"
#include "platform/errors.h"
#include "platform/sequential_files.h"

namespace fbc::macro {
namespace {

// Every record procedure works through this one file number.
constexpr int kRecordFile = 1;

// Closes file number 1 when a procedure leaves early with an error, so that the next call
// does not find it still open.
class CloseOnFailure {
 public:
  CloseOnFailure() = default;
  ~CloseOnFailure() {
    if (armed_) {
      closeFile(kRecordFile);
    }
  }
  CloseOnFailure(const CloseOnFailure&) = delete;
  CloseOnFailure& operator=(const CloseOnFailure&) = delete;

  void release() noexcept { armed_ = false; }

 private:
  bool armed_ = true;
};

Value countValue(long long count) {
  if (count <= std::numeric_limits<std::int16_t>::max()) {
    return Value(static_cast<std::int16_t>(count));
  }
  return Value(static_cast<std::int32_t>(count));
}

void load(const Value& filename, std::initializer_list<Value*> columns, Value& datanum) {
  const std::u16string path = filename.toText();
  openFile(kRecordFile, path, FileMode::Input);
  CloseOnFailure guard;
  long long record = 0;
  std::vector<Value> fields(columns.size());
  while (!endOfFile(kRecordFile)) {
    ++record;
    for (const Value* column : columns) {
      if (!column->array().contains(record)) {
        raise(ErrorNumber::SubscriptOutOfRange, "record " + std::to_string(record));
      }
    }
    // A record cut short by the end of the file is not stored at all.
    for (Value& field : fields) {
      field = inputField(kRecordFile);
    }
    auto field = fields.begin();
    for (Value* column : columns) {
      column->array().at(record) = std::move(*field++);
    }
  }
  datanum = countValue(record);
  guard.release();
  closeAllFiles();
}

// A text that the delimited-field input would not read back as written goes in double quotes,
// with its quotes doubled; everything else is written as its plain text, so files of ordinary
// values look as they always did.
std::u16string fieldText(const Value& value) {
  std::u16string text = value.toText();
  if (!value.isText() || text.empty()) {
    return text;
  }
  const auto isBlank = [](char16_t c) { return c == u' ' || c == u'\t'; };
  const bool needsQuotes = text.find_first_of(u",\"\r\n") != std::u16string::npos ||
                           isBlank(text.front()) || isBlank(text.back());
  if (!needsQuotes) {
    return text;
  }
  std::u16string quoted = u"\"";
  for (const char16_t c : text) {
    quoted.push_back(c);
    if (c == u'"') {
      quoted.push_back(u'"');
    }
  }
  quoted.push_back(u'"');
  return quoted;
}

void append(const Value& filename, std::initializer_list<const Value*> fields) {
  std::u16string line;
  bool first = true;
  for (const Value* field : fields) {
    if (!first) {
      line.push_back(u',');
    }
    first = false;
    line += fieldText(*field);
  }
  const std::u16string path = filename.toText();
  openFile(kRecordFile, path, FileMode::Append);
  CloseOnFailure guard;
  printLine(kRecordFile, line);
  guard.release();
  closeFile(kRecordFile);
}

}  // namespace

void Textdata(Value& Textdata, Value& Na1, Value& An1, Value& Div1, Value& Na2, Value& An2,
              Value& Div2) {
  std::u16string block = Na1.toText() + u"=" + An1.toText() + Div1.toText() + u"\r\n";
  block += Na2.toText() + u"=" + An2.toText() + Div2.toText() + u"\r\n";
  Textdata = Value(std::move(block));
}

void fileoutput3(Value& filename, Value& data1, Value& data2, Value& data3, Value& datanum) {
  load(filename, {&data1, &data2, &data3}, datanum);
}

void fileoutput7(Value& filename, Value& data1, Value& data2, Value& data3, Value& data4,
                 Value& data5, Value& data6, Value& data7, Value& datanum) {
  load(filename, {&data1, &data2, &data3, &data4, &data5, &data6, &data7}, datanum);
}

void fileoutput8(Value& filename, Value& data1, Value& data2, Value& data3, Value& data4,
                 Value& data5, Value& data6, Value& data7, Value& data8, Value& datanum) {
  load(filename, {&data1, &data2, &data3, &data4, &data5, &data6, &data7, &data8}, datanum);
}

void fileoutput12(Value& filename, Value& data1, Value& data2, Value& data3, Value& data4,
                  Value& data5, Value& data6, Value& data7, Value& data8, Value& data9,
                  Value& data10, Value& data11, Value& data12, Value& datanum) {
  load(filename,
       {&data1, &data2, &data3, &data4, &data5, &data6, &data7, &data8, &data9, &data10, &data11,
        &data12},
       datanum);
}

void filewright8(Value& filename, Value& data1, Value& data2, Value& data3, Value& data4,
                 Value& data5, Value& data6, Value& data7, Value& data8) {
  append(filename, {&data1, &data2, &data3, &data4, &data5, &data6, &data7, &data8});
}

void filewright12(Value& filename, Value& data1, Value& data2, Value& data3, Value& data4,
                  Value& data5, Value& data6, Value& data7, Value& data8, Value& data9,
                  Value& data10, Value& data11, Value& data12) {
  append(filename, {&data1, &data2, &data3, &data4, &data5, &data6, &data7, &data8, &data9, &data10,
                    &data11, &data12});
}

}  // namespace fbc::macro
