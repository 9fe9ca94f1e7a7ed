#include "review/export_request.h"

#include <utility>

#include "platform/text.h"

namespace fbc {

namespace {

constexpr std::string_view kLevelKey = "level";
constexpr char kParameterMark = '+';

}  // namespace

std::optional<std::string> ExportRequest::parameter(std::string_view name) const {
  for (const auto& [key, value] : parameters) {
    if (key == name) {
      return value;
    }
  }
  return std::nullopt;
}

std::vector<std::string> exportArguments(const ExportRequest& request) {
  std::vector<std::string> args;
  for (const ExportKindInfo& info : kExportKinds) {
    if (info.kind == request.kind) {
      args.emplace_back(info.name);
    }
  }
  for (const InputInfo& info : kInputTable) {
    args.push_back(std::string(info.key) + "=" + toUtf8(*inputText(request.inputs, info.input)));
  }
  args.push_back(std::string(kLevelKey) + "=" + std::string(levelName(request.inputs.level)));
  for (const ReviewInputInfo& info : kReviewInputTable) {
    args.push_back(std::string(info.key) + "=" + toUtf8(request.reviewInputs.text(info.input)));
  }
  for (const auto& [name, value] : request.parameters) {
    std::string arg(1, kParameterMark);
    arg.append(name).append("=").append(value);
    args.push_back(std::move(arg));
  }
  return args;
}

std::optional<ExportRequest> parseExportArguments(const std::vector<std::string>& args) {
  if (args.empty()) {
    return std::nullopt;
  }
  ExportRequest request;
  bool known = false;
  for (const ExportKindInfo& info : kExportKinds) {
    if (info.name == args.front()) {
      request.kind = info.kind;
      known = true;
    }
  }
  if (!known) {
    return std::nullopt;
  }
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const std::size_t equals = arg.find('=');
    if (equals == std::string::npos) {
      return std::nullopt;
    }
    const std::string_view key = std::string_view(arg).substr(0, equals);
    const std::string value = arg.substr(equals + 1);
    if (key.starts_with(kParameterMark)) {
      request.parameters.emplace_back(std::string(key.substr(1)), value);
    } else if (key == kLevelKey) {
      // "" names no level button, as the window can have none selected.
      if (value.empty()) {
        request.inputs.level = CoreLevel::None;
      } else if (const std::optional<CoreLevel> level = levelFromName(value)) {
        request.inputs.level = *level;
      } else {
        return std::nullopt;
      }
    } else if (const InputInfo* info = inputInfoByKey(key)) {
      *inputText(request.inputs, info->input) = fromUtf8(value);
    } else if (const ReviewInputInfo* reviewInfo = reviewInputInfoByKey(key)) {
      request.reviewInputs.text(reviewInfo->input) = fromUtf8(value);
    } else {
      return std::nullopt;
    }
  }
  return request;
}

}  // namespace fbc
