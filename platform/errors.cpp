#include "errors.h"

namespace fbc {

std::string_view errorDescription(ErrorNumber number) noexcept {
  switch (number) {
    case ErrorNumber::InvalidCall:
      return "invalid procedure call or argument";
    case ErrorNumber::Overflow:
      return "overflow";
    case ErrorNumber::SubscriptOutOfRange:
      return "subscript out of range";
    case ErrorNumber::DivisionByZero:
      return "division by zero";
    case ErrorNumber::TypeMismatch:
      return "type mismatch";
    case ErrorNumber::BadFileNameOrNumber:
      return "bad file name or number";
    case ErrorNumber::FileNotFound:
      return "file not found";
    case ErrorNumber::FileAlreadyOpen:
      return "file already open";
    case ErrorNumber::DeviceIo:
      return "device I/O error";
    case ErrorNumber::InputPastEndOfFile:
      return "input past end of file";
    case ErrorNumber::PathFileAccess:
      return "path/file access error";
    case ErrorNumber::PathNotFound:
      return "path not found";
    case ErrorNumber::InvalidPropertyValue:
      return "invalid property value";
    case ErrorNumber::ObjectLacksProperty:
      return "object doesn't support this property or method";
  }
  return "unknown error";
}

namespace {
std::string composeMessage(ErrorNumber number, const std::string& detail) {
  std::string message = "run-time error " + std::to_string(static_cast<int>(number)) + ": " +
                        std::string(errorDescription(number));
  if (!detail.empty()) {
    message += " (" + detail + ")";
  }
  return message;
}
}  // namespace

RuntimeError::RuntimeError(ErrorNumber number, std::string detail)
    : std::runtime_error(composeMessage(number, detail)),
      number_(number),
      detail_(std::move(detail)) {}

void raise(ErrorNumber number, std::string detail) { throw RuntimeError(number, std::move(detail)); }

}  // namespace fbc
