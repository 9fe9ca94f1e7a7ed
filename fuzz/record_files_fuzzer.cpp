// The record-file readers and the table reader on arbitrary file bytes (valid UTF-8 or not, so
// the Shift-JIS path is read too): never a crash, never an element outside the records read,
// and file number 1 closed afterwards so that the next open of it succeeds.

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "chartlib/macro_library.h"
#include "fuzz/fuzz_input.h"
#include "platform/errors.h"
#include "platform/number_text.h"
#include "platform/sequential_files.h"
#include "platform/text.h"
#include "platform/value.h"

namespace {

using fbc::ColumnArray;
using fbc::Value;
using fbc::fuzz::check;

constexpr const char* kRecordFile = "records.txt";
constexpr const char* kTableFile = "IPM_VI2.txt";
constexpr int kFileNumber = 1;

std::filesystem::path& workFolder() {
  static std::filesystem::path folder;
  return folder;
}

void removeWorkFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(workFolder(), ignored);
}

void writeFile(const char* name, std::string_view bytes) {
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// File number 1 is free again: closed by the procedure, and a new open of it succeeds.
void checkFileNumberFree(const char* name) {
  check(!fbc::isFileOpen(kFileNumber), "file number 1 is closed after the call");
  fbc::openFile(kFileNumber, fbc::fromUtf8(name), fbc::FileMode::Input);
  fbc::closeFile(kFileNumber);
}

// A value no field of a file can produce, to see which elements a load wrote.
Value sentinel() { return Value(ColumnArray::make(0, 0)); }

bool isSentinel(const Value& value, const Value& mark) { return sameKindAndValue(value, mark); }

void load(fbc::fuzz::FuzzInput& input, std::size_t fieldCount) {
  const int lower = input.byte() % 3;
  const int upper = lower + input.byte() % 24;
  const std::uint8_t broken = input.byte();
  const Value mark = sentinel();

  std::vector<Value> columns;
  for (std::size_t k = 0; k < fieldCount; ++k) {
    // Now and then one argument is not an array at all.
    if (broken % 32 == k + 1) {
      columns.emplace_back(std::int16_t{7});
      continue;
    }
    auto array = ColumnArray::make(lower, upper);
    for (int i = lower; i <= upper; ++i) {
      array->at(i) = mark;
    }
    columns.emplace_back(std::move(array));
  }
  writeFile(kRecordFile, input.rest());

  Value filename(u"records.txt");
  Value datanum = mark;
  bool loaded = false;
  try {
    auto& c = columns;
    switch (fieldCount) {
      case 3:
        fbc::macro::fileoutput3(filename, c[0], c[1], c[2], datanum);
        break;
      case 7:
        fbc::macro::fileoutput7(filename, c[0], c[1], c[2], c[3], c[4], c[5], c[6], datanum);
        break;
      case 8:
        fbc::macro::fileoutput8(filename, c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7], datanum);
        break;
      default:
        fbc::macro::fileoutput12(filename, c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7], c[8],
                                 c[9], c[10], c[11], datanum);
        break;
    }
    loaded = true;
  } catch (const fbc::RuntimeError& error) {
    fbc::fuzz::checkPlatformError(error);
    check(error.number() == fbc::ErrorNumber::SubscriptOutOfRange ||
              error.number() == fbc::ErrorNumber::InputPastEndOfFile,
          "a load fails with error 9 or 62");
    check(isSentinel(datanum, mark), "a failed load leaves datanum alone");
  }
  checkFileNumberFree(kRecordFile);

  long long records = upper;  // elements a failed load may have written
  if (loaded) {
    check(datanum.kind() == fbc::Kind::Int16 || datanum.kind() == fbc::Kind::Int32,
          "datanum is an integer");
    records = datanum.toInt32();
    check(records >= 0 && records <= upper && (records == 0 || lower <= 1),
          "every record read fits the arrays");
  }
  for (const Value& column : columns) {
    if (column.kind() != fbc::Kind::Array) {
      continue;
    }
    const ColumnArray& array = column.array();
    for (int i = array.lower(); i <= array.upper(); ++i) {
      const bool written = i >= 1 && i <= records;
      if (!written) {
        check(isSentinel(array.at(i), mark), "elements outside the records stay as they were");
      } else if (loaded) {
        check(!isSentinel(array.at(i), mark), "every record read is stored");
      }
    }
  }
}

Value queryValue(fbc::fuzz::FuzzInput& input) {
  switch (input.byte() % 3) {
    case 0:
      return {};
    case 1:
      return Value(input.raw<std::int16_t>());
    default:
      return Value(static_cast<double>(input.raw<std::int32_t>()) / 16);
  }
}

void table(fbc::fuzz::FuzzInput& input, bool lookup) {
  Value q1 = queryValue(input);
  Value q2 = queryValue(input);
  writeFile(kTableFile, input.rest());
  Value file;
  Value filenum;
  Value y1(u"untouched");
  Value y2(u"untouched");
  try {
    if (lookup) {
      fbc::macro::SeledataLookup(file, filenum, q1, q2, y1, y2);
      for (const Value* y : {&y1, &y2}) {
        check(y->isEmpty() || fbc::detail::isPlainNumber(y->kind()),
              "a looked-up ordinate is a number or empty");
      }
    } else {
      fbc::macro::Seledata(file, filenum);
    }
  } catch (const fbc::RuntimeError& error) {
    fbc::fuzz::checkPlatformError(error);
  }
  checkFileNumberFree(kTableFile);
}

// Eight texts appended with filewright8 come back with fileoutput8: as the same text, or as
// the number they spell.
void roundTrip(fbc::fuzz::FuzzInput& input) {
  std::error_code ignored;
  std::filesystem::remove(kRecordFile, ignored);
  std::vector<Value> fields;
  for (int k = 0; k < 8; ++k) {
    fields.emplace_back(fbc::fromUtf8(input.until('|')));
  }
  Value filename(u"records.txt");
  auto& f = fields;
  fbc::macro::filewright8(filename, f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7]);
  check(!fbc::isFileOpen(kFileNumber), "file number 1 is closed after an append");

  std::vector<Value> columns;
  for (int k = 0; k < 8; ++k) {
    columns.emplace_back(ColumnArray::make(1, 2));
  }
  Value datanum;
  auto& c = columns;
  fbc::macro::fileoutput8(filename, c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7], datanum);
  check(datanum.toInt32() == 1, "one line appended reads as one record");
  for (int k = 0; k < 8; ++k) {
    const std::u16string& written = fields[k].text();
    const Value& read = columns[k].array().at(1);
    if (read.isNumber()) {
      const fbc::ParsedDouble number = fbc::parseDouble(written);
      check(number.status == fbc::ParseStatus::Ok && number.value == read.toDouble(),
            "a field read as a number spells that number");
    } else {
      check(read.toText() == written, "a text field reads back unchanged");
    }
  }
}

// With file number 1 held by someone else every procedure refuses with error 55 and leaves
// that file open.
void fileNumberTaken(fbc::fuzz::FuzzInput& input) {
  writeFile(kRecordFile, input.bytes(input.byte()));
  writeFile(kTableFile, "1,2\r\n");
  fbc::openFile(kFileNumber, u"records.txt", fbc::FileMode::Input);
  Value filename(u"records.txt");
  Value unused;
  auto c = std::make_shared<ColumnArray>(1, 4);
  Value column(c);
  const int procedure = input.byte() % 4;
  try {
    switch (procedure) {
      case 0:
        fbc::macro::fileoutput3(filename, column, column, column, unused);
        break;
      case 1:
        fbc::macro::Seledata(unused, unused);
        break;
      case 2: {
        Value field(u"x");
        fbc::macro::filewright8(filename, field, field, field, field, field, field, field, field);
        break;
      }
      default:
        fbc::macro::SeledataLookup(unused, unused, unused, unused, unused, unused);
        break;
    }
    fbc::fuzz::fail("a procedure ran with file number 1 taken");
  } catch (const fbc::RuntimeError& error) {
    check(error.number() == fbc::ErrorNumber::FileAlreadyOpen, "error 55 for a taken number");
  }
  check(fbc::isFileOpen(kFileNumber), "the holder's file stays open");
  fbc::closeFile(kFileNumber);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* base = std::getenv("TMPDIR");
  std::string folder =
      std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/fbc-record-fuzz-XXXXXX";
  if (::mkdtemp(folder.data()) == nullptr || ::chdir(folder.c_str()) != 0) {
    fbc::fuzz::fail("no work folder");
  }
  workFolder() = folder;
  std::atexit(removeWorkFolder);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fbc::fuzz::FuzzInput input(data, size);
  switch (input.byte() % 8) {
    case 0:
      load(input, 3);
      break;
    case 1:
      load(input, 7);
      break;
    case 2:
      load(input, 8);
      break;
    case 3:
      load(input, 12);
      break;
    case 4:
      table(input, false);
      break;
    case 5:
      table(input, true);
      break;
    case 6:
      roundTrip(input);
      break;
    default:
      fileNumberTaken(input);
      break;
  }
  return 0;
}
