#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/errors.h"

namespace fbc::fuzz {

// Hands out the fuzzer's bytes as the small pieces a target needs; once they run out every
// read gives zeros, so any input, even an empty one, makes a complete call.
class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  std::size_t remaining() const noexcept { return size_ - position_; }

  std::uint8_t byte() noexcept { return position_ < size_ ? data_[position_++] : 0; }

  template <typename T>
  T raw() noexcept {
    T value{};
    unsigned char bytes[sizeof(T)] = {};
    for (unsigned char& b : bytes) {
      b = byte();
    }
    std::memcpy(&value, bytes, sizeof(T));
    return value;
  }

  // The next `count` bytes (fewer at the end).
  std::string_view bytes(std::size_t count) noexcept {
    const std::size_t taken = count < remaining() ? count : remaining();
    const std::string_view out(reinterpret_cast<const char*>(data_ + position_), taken);
    position_ += taken;
    return out;
  }

  std::string_view rest() noexcept { return bytes(remaining()); }

  // Bytes up to the next `separator` (consumed) or the end.
  std::string_view until(char separator) noexcept {
    const std::string_view tail(reinterpret_cast<const char*>(data_ + position_), remaining());
    const std::size_t end = tail.find(separator);
    if (end == std::string_view::npos) {
      position_ = size_;
      return tail;
    }
    position_ += end + 1;
    return tail.substr(0, end);
  }

  // The remaining bytes as UTF-16 code units, two bytes each, low byte first.
  std::u16string restAsUtf16() {
    std::u16string text;
    while (remaining() >= 2) {
      text.push_back(raw<char16_t>());
    }
    return text;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t position_ = 0;
};

// A broken property: print what failed and abort, so that libFuzzer keeps the input.
[[noreturn]] inline void fail(const char* what) {
  std::fprintf(stderr, "property failed: %s\n", what);
  std::abort();
}

inline void check(bool condition, const char* what) {
  if (!condition) {
    fail(what);
  }
}

// Whether the number is one of the platform's run-time error numbers.
inline bool isPlatformError(ErrorNumber error) {
  for (const ErrorNumber number :
       {ErrorNumber::InvalidCall, ErrorNumber::Overflow, ErrorNumber::SubscriptOutOfRange,
        ErrorNumber::DivisionByZero, ErrorNumber::TypeMismatch, ErrorNumber::BadFileNameOrNumber,
        ErrorNumber::FileNotFound, ErrorNumber::FileAlreadyOpen, ErrorNumber::DeviceIo,
        ErrorNumber::InputPastEndOfFile, ErrorNumber::PathFileAccess, ErrorNumber::PathNotFound,
        ErrorNumber::InvalidPropertyValue, ErrorNumber::ObjectLacksProperty}) {
    if (error == number) {
      return true;
    }
  }
  return false;
}

inline void checkPlatformError(const RuntimeError& error) {
  if (!isPlatformError(error.number())) {
    std::fprintf(stderr, "error number %d is not a platform error\n", error.code());
    std::abort();
  }
}

}  // namespace fbc::fuzz
