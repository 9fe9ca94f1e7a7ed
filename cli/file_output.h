#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace fbc {

// A file that could not be written. The message is one line naming the option, the file and
// the system's reason, without the program name.
class OutputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One file the command line was asked to write, with the option that named it.
struct OutputFile {
  std::string option;  // such as "--plot"
  std::filesystem::path path;
  std::string bytes;
};

// Writes every file by the rules of FileWriter: each regular file goes first into a new
// temporary file beside its (link-resolved) destination, and only when all of them are written
// are they renamed into place; FIFOs, devices and descriptor paths are written directly at that
// point. A failure removes the temporary files and throws OutputError; a regular destination is
// never left half-written. (Only a rename or direct write that fails after others succeeded,
// which the checks before make unlikely, leaves the files finished before it in place.)
void writeOutputFiles(const std::vector<OutputFile>& files);

}  // namespace fbc
