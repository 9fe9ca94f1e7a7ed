#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace fbc {

// The platform's run-time error numbers. Library procedures and the runtime report every
// fault as one of these; only the window and the command line turn them into words.
enum class ErrorNumber : int {
  InvalidCall = 5,             // invalid procedure call or argument
  Overflow = 6,                // overflow (also an invalid floating-point operation)
  SubscriptOutOfRange = 9,     // subscript out of range, or not a one-dimensional array
  DivisionByZero = 11,         // division by zero
  TypeMismatch = 13,           // type mismatch (text that is not a number, wrong kind)
  BadFileNameOrNumber = 52,    // bad file name or number
  FileNotFound = 53,           // file not found
  FileAlreadyOpen = 55,        // file already open
  DeviceIo = 57,               // device I/O error (a write that failed)
  InputPastEndOfFile = 62,     // input past end of file
  PathFileAccess = 75,         // path/file access error
  PathNotFound = 76,           // path not found
  InvalidPropertyValue = 380,  // a property refused the value
  ObjectLacksProperty = 438,   // object doesn't support this property or method
};

// A short English description of the error number, for logs and the command line.
std::string_view errorDescription(ErrorNumber number) noexcept;

// The one exception type of the runtime. `detail` may name what failed (a quantity, a file).
class RuntimeError : public std::runtime_error {
 public:
  explicit RuntimeError(ErrorNumber number, std::string detail = {});

  ErrorNumber number() const noexcept { return number_; }
  int code() const noexcept { return static_cast<int>(number_); }
  const std::string& detail() const noexcept { return detail_; }

 private:
  ErrorNumber number_;
  std::string detail_;
};

[[noreturn]] void raise(ErrorNumber number, std::string detail = {});

}  // namespace fbc
