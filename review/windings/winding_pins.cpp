#include "review/windings/winding_pins.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "platform/text.h"

namespace fbc {

namespace {

std::optional<int> readCount(std::string_view text) {
  text = withoutBlanks(text);
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
      value < kPinsPerSideMin || value > kPinsPerSideMax) {
    return std::nullopt;
  }
  return value;
}

}  // namespace

std::optional<PinCounts> readPinCounts(std::string_view text) {
  text = withoutBlanks(text);
  if (text.empty()) {
    return PinCounts{};
  }
  const std::size_t split = text.find_first_of(",/");
  const std::optional<int> first = readCount(text.substr(0, split));
  if (!first) {
    return std::nullopt;
  }
  if (split == std::string_view::npos) {
    return PinCounts{*first, *first};
  }
  const std::optional<int> second = readCount(text.substr(split + 1));
  if (!second) {
    return std::nullopt;
  }
  return PinCounts{*first, *second};
}

std::string pinCountsText(const PinCounts& pins) {
  return std::to_string(pins.primarySide) + "," + std::to_string(pins.secondarySide);
}

PinAssignment assignPins(std::span<const Winding> stack, WindingArrangement arrangement,
                         const PinCounts& counts) {
  PinAssignment out;
  out.counts = counts;
  int nextPrimary = 1;
  int nextSecondary = counts.primarySide + 1;
  WindingPins primary{Winding::Primary, nextPrimary, nextPrimary + 1, std::nullopt, true};
  nextPrimary += 2;
  if (arrangement == WindingArrangement::Psp) {
    primary.tap = primary.finish;
    primary.finish = nextPrimary++;
  }
  out.windings.push_back(primary);
  const auto outputs = static_cast<int>(
      std::count_if(stack.begin(), stack.end(), [](Winding w) { return w != Winding::Bias; }));
  // Where the outputs cannot each have two pins, they share their return: every output's start
  // on the first pin of the side, as several outputs with a common ground are wound.
  const bool commonReturn = outputs > 1 && 2 * outputs > counts.secondarySide;
  const int sharedStart = nextSecondary;
  if (commonReturn) {
    ++nextSecondary;
  }
  for (const Winding w : stack) {
    const bool primarySide = w == Winding::Bias;
    if (!primarySide && commonReturn) {
      out.windings.push_back({w, sharedStart, nextSecondary++, std::nullopt, false});
      continue;
    }
    int& next = primarySide ? nextPrimary : nextSecondary;
    out.windings.push_back({w, next, next + 1, std::nullopt, primarySide});
    next += 2;
  }
  out.commonReturn = commonReturn;
  out.primaryNeeded = nextPrimary - 1;
  out.secondaryNeeded = nextSecondary - 1 - counts.primarySide;
  out.enough =
      out.primaryNeeded <= counts.primarySide && out.secondaryNeeded <= counts.secondarySide;
  return out;
}

}  // namespace fbc
