#pragma once

#include <algorithm>
#include <cctype>
#include <cmath>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

#include "platform/checked_math.h"

namespace fbc {

// Evaluates a formula text as written, left to right with the usual precedence (^ above * and
// /, above + and -; a leading minus on an operand), through the checked arithmetic the
// calculation uses. Names come from `lookup`; sqrt, ln, ceil, floor, max and min are the functions;
// numbers may have an exponent (1e-6). Proves the texts say what the code computes.
class FormulaText {
 public:
  FormulaText(std::string_view text, std::function<double(std::string_view)> lookup)
      : text_(text), lookup_(std::move(lookup)) {}

  double value() {
    const double result = sum();
    skipBlanks();
    if (at_ != text_.size()) {
      throw std::invalid_argument("unread text in " + std::string(text_));
    }
    return result;
  }

 private:
  void skipBlanks() {
    while (at_ < text_.size() && text_[at_] == ' ') {
      ++at_;
    }
  }
  bool take(char c) {
    skipBlanks();
    if (at_ < text_.size() && text_[at_] == c) {
      ++at_;
      return true;
    }
    return false;
  }
  double sum() {
    double v = product();
    for (;;) {
      if (take('+')) {
        v = checkedAdd(v, product());
      } else if (take('-')) {
        v = checkedSubtract(v, product());
      } else {
        return v;
      }
    }
  }
  double product() {
    double v = power();
    for (;;) {
      if (take('*')) {
        v = checkedMultiply(v, power());
      } else if (take('/')) {
        v = checkedDivide(v, power());
      } else {
        return v;
      }
    }
  }
  double power() {
    const double base = atom();
    return take('^') ? checkedPower(base, atom()) : base;
  }
  bool isDigit(std::size_t at) const {
    return at < text_.size() && std::isdigit(static_cast<unsigned char>(text_[at]));
  }
  double number() {
    const std::size_t start = at_;
    while (isDigit(at_) || (at_ < text_.size() && text_[at_] == '.')) {
      ++at_;
    }
    if (at_ < text_.size() && (text_[at_] == 'e' || text_[at_] == 'E')) {
      ++at_;
      if (at_ < text_.size() && (text_[at_] == '-' || text_[at_] == '+')) {
        ++at_;
      }
      while (isDigit(at_)) {
        ++at_;
      }
    }
    return std::stod(std::string(text_.substr(start, at_ - start)));
  }
  double function(std::string_view name) {
    expect('(');
    const double a = sum();
    if (name == "sqrt" || name == "ln" || name == "ceil" || name == "floor") {
      expect(')');
      if (name == "ln") {
        return std::log(a);
      }
      return name == "sqrt" ? checkedSqrt(a) : name == "ceil" ? std::ceil(a) : std::floor(a);
    }
    expect(',');
    const double b = sum();
    expect(')');
    return name == "max" ? std::max(a, b) : std::min(a, b);
  }
  double atom() {
    skipBlanks();
    if (take('(')) {
      const double v = sum();
      expect(')');
      return v;
    }
    if (take('-')) {
      return -atom();
    }
    if (isDigit(at_)) {
      return number();
    }
    const std::size_t start = at_;
    while (at_ < text_.size() && std::isalnum(static_cast<unsigned char>(text_[at_]))) {
      ++at_;
    }
    const std::string_view name = text_.substr(start, at_ - start);
    if (name == "sqrt" || name == "ln" || name == "ceil" || name == "floor" || name == "max" ||
        name == "min") {
      return function(name);
    }
    if (name.empty()) {
      throw std::invalid_argument("no operand in " + std::string(text_));
    }
    return lookup_(name);
  }
  void expect(char c) {
    if (!take(c)) {
      throw std::invalid_argument(std::string("expected ") + c + " in " + std::string(text_));
    }
  }

  std::string_view text_;
  std::function<double(std::string_view)> lookup_;
  std::size_t at_ = 0;
};

}  // namespace fbc
