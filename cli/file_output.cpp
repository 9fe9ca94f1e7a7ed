#include "cli/file_output.h"

#include <memory>

#include "platform/errors.h"
#include "platform/file_writer.h"
#include "platform/text.h"

namespace fbc {

namespace {

[[noreturn]] void fail(const OutputFile& file, const RuntimeError& error) {
  throw OutputError(file.option + " " + messageQuote(file.path.string(), kLongQuoteLimit) + ": " +
                    error.detail());
}

}  // namespace

void writeOutputFiles(const std::vector<OutputFile>& files) {
  std::vector<std::unique_ptr<FileWriter>> pending;
  for (const OutputFile& file : files) {
    try {
      pending.push_back(std::make_unique<FileWriter>(file.path, file.bytes));
    } catch (const RuntimeError& error) {
      fail(file, error);
    }
  }
  for (std::size_t i = 0; i < files.size(); ++i) {
    try {
      pending[i]->commit();
    } catch (const RuntimeError& error) {
      fail(files[i], error);
    }
  }
}

}  // namespace fbc
