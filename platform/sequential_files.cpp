#include "sequential_files.h"

#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <system_error>

#include "errors.h"
#include "text.h"

namespace fbc {
namespace {

struct OpenFile {
  FileMode mode = FileMode::Input;
  // Input: the decoded content and the reading position.
  std::u16string data;
  std::size_t position = 0;
  // The last field ended with a comma, so one more field follows even at the end of the data.
  bool fieldPending = false;
  // Append: the descriptor, the file's encoding, and whether its last line lacks a line end.
  int descriptor = -1;
  bool codePage932 = false;
  bool needsLineEnd = false;
};

std::map<int, OpenFile>& fileTable() {
  static std::map<int, OpenFile> files;
  return files;
}

bool isBlank(char16_t c) noexcept { return c == u' ' || c == u'\t'; }
bool isLineEnd(char16_t c) noexcept { return c == u'\r' || c == u'\n'; }

void checkNumber(int number) {
  if (number < kFirstFileNumber || number > kLastFileNumber) {
    raise(ErrorNumber::BadFileNameOrNumber, "file number " + std::to_string(number));
  }
}

OpenFile& openedAs(int number, FileMode mode) {
  checkNumber(number);
  const auto found = fileTable().find(number);
  if (found == fileTable().end() || found->second.mode != mode) {
    raise(ErrorNumber::BadFileNameOrNumber,
          "file number " + std::to_string(number) +
              (mode == FileMode::Input ? " is not open for input" : " is not open for append"));
  }
  return found->second;
}

bool folderExists(const std::string& path) {
  std::filesystem::path folder = std::filesystem::path(path).parent_path();
  if (folder.empty()) {
    folder = ".";
  }
  std::error_code error;
  return std::filesystem::is_directory(folder, error);
}

[[noreturn]] void raiseOpenError(int error, const std::string& path, FileMode mode) {
  switch (error) {
    case ENOENT:
      if (!folderExists(path)) {
        raise(ErrorNumber::PathNotFound, path);
      }
      // With O_CREAT a missing file is created, so ENOENT there means a missing folder.
      raise(mode == FileMode::Input ? ErrorNumber::FileNotFound : ErrorNumber::PathNotFound, path);
    case ENOTDIR:
      raise(ErrorNumber::PathNotFound, path);
    case ENAMETOOLONG:
      raise(ErrorNumber::BadFileNameOrNumber, path);
    default:
      raise(ErrorNumber::PathFileAccess, path + ": " + std::generic_category().message(error));
  }
}

// The whole content of an open descriptor; false when a read fails.
bool readAll(int descriptor, std::string& bytes) {
  char buffer[65536];
  for (;;) {
    const ssize_t count = ::read(descriptor, buffer, sizeof buffer);
    if (count < 0) {
      if (errno == EINTR) {
        continue;
      }
      return false;
    }
    if (count == 0) {
      return true;
    }
    bytes.append(buffer, static_cast<std::size_t>(count));
  }
}

class Converter {
 public:
  Converter(const char* to, const char* from) : handle_(::iconv_open(to, from)) {
    // iconv_open reports failure as (iconv_t)-1; compared as an integer, not made a pointer.
    if (reinterpret_cast<std::intptr_t>(handle_) == -1) {
      raise(ErrorNumber::InvalidCall, std::string("no conversion from ") + from + " to " + to);
    }
  }
  ~Converter() { ::iconv_close(handle_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  iconv_t handle() const noexcept { return handle_; }

 private:
  iconv_t handle_;
};

// Code page 932 to UTF-16; a byte sequence with no character becomes U+FFFD.
std::u16string decodeCodePage932(std::string_view bytes) {
  const Converter converter("UTF-16LE", "CP932");
  std::u16string text;
  std::string input(bytes);
  char* in = input.data();
  std::size_t inLeft = input.size();
  char buffer[4096];
  while (inLeft > 0) {
    char* out = buffer;
    std::size_t outLeft = sizeof buffer;
    const std::size_t result = ::iconv(converter.handle(), &in, &inLeft, &out, &outLeft);
    const int error = result == static_cast<std::size_t>(-1) ? errno : 0;
    for (const char* p = buffer; p + 1 < out; p += 2) {
      text.push_back(static_cast<char16_t>(static_cast<unsigned char>(p[0]) |
                                           (static_cast<unsigned char>(p[1]) << 8)));
    }
    if (error == EILSEQ || error == EINVAL) {
      text.push_back(u'\uFFFD');
      ++in;
      --inLeft;
    } else if (error != 0 && error != E2BIG) {
      break;
    }
  }
  return text;
}

// UTF-16 to code page 932; error 5 for a character the code page cannot hold.
std::string encodeCodePage932(std::u16string_view text) {
  const Converter converter("CP932", "UTF-16LE");
  std::string input;
  input.reserve(text.size() * 2);
  for (const char16_t unit : text) {
    input.push_back(static_cast<char>(unit & 0xFF));
    input.push_back(static_cast<char>(unit >> 8));
  }
  std::string bytes;
  char* in = input.data();
  std::size_t inLeft = input.size();
  char buffer[4096];
  while (inLeft > 0) {
    char* out = buffer;
    std::size_t outLeft = sizeof buffer;
    const std::size_t result = ::iconv(converter.handle(), &in, &inLeft, &out, &outLeft);
    const int error = result == static_cast<std::size_t>(-1) ? errno : 0;
    bytes.append(buffer, static_cast<std::size_t>(out - buffer));
    if (error != 0 && error != E2BIG) {
      raise(ErrorNumber::InvalidCall, "a character that a Shift-JIS file cannot hold");
    }
  }
  return bytes;
}

std::u16string decode(std::string_view bytes) {
  if (!isValidUtf8(bytes)) {
    return decodeCodePage932(bytes);
  }
  if (bytes.starts_with("\xEF\xBB\xBF")) {
    bytes.remove_prefix(3);
  }
  return fromUtf8(bytes);
}

// What an unquoted field's characters spell: no number, a whole number, or a number with a
// point or an exponent.
enum class FieldShape { Text, Integer, Real };

// The count of digits from s[i] on; i moves past them.
std::size_t skipDigits(std::string_view s, std::size_t& i) {
  const std::size_t start = i;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
    ++i;
  }
  return i - start;
}

// An optional sign, digits with an optional point (at least one digit), an optional exponent
// with an optional sign and at least one digit, and nothing else. s is not empty.
FieldShape shapeOf(std::string_view s) {
  std::size_t i = 0;
  if (s[i] == '+' || s[i] == '-') {
    ++i;
  }
  std::size_t mantissaDigits = skipDigits(s, i);
  FieldShape shape = FieldShape::Integer;
  if (i < s.size() && s[i] == '.') {
    ++i;
    mantissaDigits += skipDigits(s, i);
    shape = FieldShape::Real;
  }
  if (mantissaDigits == 0) {
    return FieldShape::Text;
  }
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
      ++i;
    }
    if (skipDigits(s, i) == 0) {
      return FieldShape::Text;
    }
    shape = FieldShape::Real;
  }
  return i == s.size() ? shape : FieldShape::Text;
}

// A whole number as the smallest integer kind that holds it; nothing beyond 32 bits.
std::optional<Value> integerValue(const char* first, const char* last) {
  long long whole = 0;
  if (std::from_chars(first, last, whole).ec != std::errc()) {
    return std::nullopt;
  }
  if (whole >= std::numeric_limits<std::int16_t>::min() &&
      whole <= std::numeric_limits<std::int16_t>::max()) {
    return Value(static_cast<std::int16_t>(whole));
  }
  if (whole >= std::numeric_limits<std::int32_t>::min() &&
      whole <= std::numeric_limits<std::int32_t>::max()) {
    return Value(static_cast<std::int32_t>(whole));
  }
  return std::nullopt;
}

// The number an unquoted field spells, or a text when it spells none.
Value fieldValue(std::u16string_view field) {
  if (field.empty()) {
    return {};
  }
  std::string ascii;
  for (const char16_t c : field) {
    if (c > 0x7F) {
      return Value(field);
    }
    ascii.push_back(static_cast<char>(c));
  }
  const FieldShape shape = shapeOf(ascii);
  if (shape == FieldShape::Text) {
    return Value(field);
  }
  // from_chars takes no leading plus.
  const char* first = ascii.data() + (ascii[0] == '+' ? 1 : 0);
  const char* last = ascii.data() + ascii.size();
  if (shape == FieldShape::Integer) {
    if (std::optional<Value> whole = integerValue(first, last)) {
      return std::move(*whole);
    }
  }
  double number = 0;
  if (std::from_chars(first, last, number).ec != std::errc()) {
    // Beyond the range of a 64-bit float: keep the digits rather than lose them.
    return Value(field);
  }
  return Value(number);
}

void consumeDelimiter(OpenFile& file) {
  const std::u16string& data = file.data;
  std::size_t& p = file.position;
  if (p >= data.size()) {
    return;
  }
  if (data[p] == u',') {
    ++p;
    file.fieldPending = true;
  } else if (data[p] == u'\r') {
    ++p;
    if (p < data.size() && data[p] == u'\n') {
      ++p;
    }
  } else if (data[p] == u'\n') {
    ++p;
  }
}

[[noreturn]] void pastEnd(int number) {
  raise(ErrorNumber::InputPastEndOfFile, "file number " + std::to_string(number));
}

// Moves past the rest of the field, up to its delimiter.
void skipToDelimiter(OpenFile& file) {
  const std::u16string& data = file.data;
  std::size_t& p = file.position;
  while (p < data.size() && data[p] != u',' && !isLineEnd(data[p])) {
    ++p;
  }
}

// A quoted field from its opening quote on: a doubled quote stands for one, and whatever follows
// the closing quote up to the delimiter is dropped. Error 62 when the data ends inside it.
Value quotedField(OpenFile& file, int number) {
  const std::u16string& data = file.data;
  std::size_t& p = file.position;
  std::u16string text;
  for (++p;; ++p) {
    if (p == data.size()) {
      pastEnd(number);
    }
    if (data[p] == u'"') {
      if (p + 1 < data.size() && data[p + 1] == u'"') {
        text.push_back(u'"');
        ++p;
        continue;
      }
      ++p;
      break;
    }
    text.push_back(data[p]);
  }
  skipToDelimiter(file);
  consumeDelimiter(file);
  return Value(std::move(text));
}

// An unquoted field up to its delimiter, without trailing blanks, read as a number if it spells
// one.
Value unquotedField(OpenFile& file) {
  const std::size_t start = file.position;
  skipToDelimiter(file);
  std::size_t end = file.position;
  while (end > start && isBlank(file.data[end - 1])) {
    --end;
  }
  // The view stays valid: consumeDelimiter only moves the position.
  const std::u16string_view field = std::u16string_view(file.data).substr(start, end - start);
  consumeDelimiter(file);
  return fieldValue(field);
}

bool writeAll(int descriptor, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t count = ::write(descriptor, bytes.data(), bytes.size());
    if (count < 0) {
      if (errno == EINTR) {
        continue;
      }
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(count));
  }
  return true;
}

void openForInput(OpenFile& file, const std::string& path) {
  const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) {
    raiseOpenError(errno, path, FileMode::Input);
  }
  struct stat status {};
  std::string bytes;
  const bool isFolder = ::fstat(descriptor, &status) == 0 && S_ISDIR(status.st_mode);
  const bool read = !isFolder && readAll(descriptor, bytes);
  ::close(descriptor);
  if (isFolder) {
    raise(ErrorNumber::PathFileAccess, path + " is a folder");
  }
  if (!read) {
    raise(ErrorNumber::DeviceIo, path);
  }
  file.data = decode(bytes);
}

void openForAppend(OpenFile& file, const std::string& path) {
  const int descriptor = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  if (descriptor < 0) {
    raiseOpenError(errno, path, FileMode::Append);
  }
  file.descriptor = descriptor;
  // What is already there decides the encoding of the new lines and whether the last line
  // still needs its line end; a file that cannot be read back is taken as UTF-8.
  const int reader = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  std::string bytes;
  if (reader >= 0) {
    if (!readAll(reader, bytes)) {
      bytes.clear();
    }
    ::close(reader);
  }
  file.codePage932 = !isValidUtf8(bytes);
  file.needsLineEnd = !bytes.empty() && bytes.back() != '\n' && bytes.back() != '\r';
}

}  // namespace

void openFile(int number, std::u16string_view path, FileMode mode) {
  checkNumber(number);
  if (path.empty() || path.find(u'\0') != std::u16string_view::npos) {
    raise(ErrorNumber::BadFileNameOrNumber, "bad file name");
  }
  if (isFileOpen(number)) {
    raise(ErrorNumber::FileAlreadyOpen, "file number " + std::to_string(number));
  }
  OpenFile file;
  file.mode = mode;
  const std::string name = toUtf8(path);
  if (mode == FileMode::Input) {
    openForInput(file, name);
  } else {
    openForAppend(file, name);
  }
  fileTable().emplace(number, std::move(file));
}

bool isFileOpen(int number) noexcept { return fileTable().contains(number); }

Value inputField(int number) {
  OpenFile& file = openedAs(number, FileMode::Input);
  const std::u16string& data = file.data;
  std::size_t& p = file.position;
  const bool afterComma = file.fieldPending;
  file.fieldPending = false;
  while (p < data.size() && (isBlank(data[p]) || (!afterComma && isLineEnd(data[p])))) {
    ++p;
  }
  if (p == data.size()) {
    if (afterComma) {
      return {};
    }
    pastEnd(number);
  }
  return data[p] == u'"' ? quotedField(file, number) : unquotedField(file);
}

bool endOfFile(int number) {
  const OpenFile& file = openedAs(number, FileMode::Input);
  if (file.fieldPending) {
    return false;
  }
  for (std::size_t p = file.position; p < file.data.size(); ++p) {
    if (!isBlank(file.data[p]) && !isLineEnd(file.data[p])) {
      return false;
    }
  }
  return true;
}

void printLine(int number, std::u16string_view line) {
  OpenFile& file = openedAs(number, FileMode::Append);
  std::string bytes = file.needsLineEnd ? "\r\n" : "";
  bytes += file.codePage932 ? encodeCodePage932(line) : toUtf8(line);
  bytes += "\r\n";
  struct stat status {};
  if (::fstat(file.descriptor, &status) != 0) {
    raise(ErrorNumber::DeviceIo, "file number " + std::to_string(number));
  }
  // Reading skips a byte-order mark at the start of a file, so a first line that begins with
  // U+FEFF gets a mark of its own in front; the reader then takes only that one.
  if (status.st_size == 0 && !file.codePage932 && line.starts_with(u'\uFEFF')) {
    bytes.insert(0, "\xEF\xBB\xBF");
  }
  if (!writeAll(file.descriptor, bytes)) {
    const int error = errno;
    // Leave no partial line behind. Failing to cut it back would leave nothing better to do.
    [[maybe_unused]] const int cut = ::ftruncate(file.descriptor, status.st_size);
    raise(ErrorNumber::DeviceIo,
          "file number " + std::to_string(number) + ": " + std::generic_category().message(error));
  }
  file.needsLineEnd = false;
}

void closeFile(int number) noexcept {
  const auto found = fileTable().find(number);
  if (found == fileTable().end()) {
    return;
  }
  if (found->second.descriptor >= 0) {
    ::close(found->second.descriptor);
  }
  fileTable().erase(found);
}

void closeAllFiles() noexcept {
  for (auto& [number, file] : fileTable()) {
    if (file.descriptor >= 0) {
      ::close(file.descriptor);
    }
  }
  fileTable().clear();
}

}  // namespace fbc
