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
  // Built by appending: GCC 12 reports a false -Wrestrict on "literal" + std::string chains.
  std::string message("run-time error ");
  message.append(std::to_string(static_cast<int>(number)));
  message.append(": ");
  message.append(errorDescription(number));
  if (!detail.empty()) {
    message.append(" (").append(detail).append(")");
  }
  return message;
}
}  // namespace

RuntimeError::RuntimeError(ErrorNumber number, std::string detail)
    : std::runtime_error(composeMessage(number, detail)),
      number_(number),
      detail_(std::move(detail)) {}

void raise(ErrorNumber number, std::string detail) {
  throw RuntimeError(number, std::move(detail));
}

}  // namespace fbc
