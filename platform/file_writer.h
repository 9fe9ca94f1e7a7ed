#pragma once

#include <filesystem>
#include <string>
#include <string_view>

struct stat;

namespace fbc {

// Writes a file so that the data ends up where the person sent it:
// - a regular file (or a new one) is written whole or not at all: a temporary file beside the
//   target, flushed to disk, then renamed over it, keeping the target's permissions;
// - a symbolic link is followed (to any depth) and the file it leads to is written; the link
//   itself stays;
// - a FIFO, a character or block device, or a descriptor path such as /dev/stdout or
//   /dev/fd/3 is written directly and stays what it is.
// Every failure (full device, no permission, missing folder, a folder in the way) throws
// RuntimeError with the error number closest to the system's reason and the system's own
// words for it as the detail; no temporary file is left behind.
//
// The write happens in two steps so several files can be written all or nothing: the
// constructor writes a regular file's temporary copy, commit() renames it into place (or, for
// a direct target, writes the data). A FileWriter destroyed without commit() removes its
// temporary copy.
class FileWriter {
 public:
  FileWriter(std::filesystem::path path, std::string_view bytes);
  FileWriter(const FileWriter&) = delete;
  FileWriter& operator=(const FileWriter&) = delete;
  ~FileWriter();

  void commit();

  // The file the data goes to once the links are followed.
  const std::filesystem::path& target() const { return target_; }
  // True when the target is written in place (FIFO, device, descriptor path).
  bool direct() const { return direct_; }

 private:
  // Follows the target's links; whether it exists, with its status. A descriptor path such as
  // /dev/stdout makes the write direct.
  bool resolveTarget(struct stat& status);
  // Writes the bytes into a new temporary file beside the target, with the permissions of
  // the file it replaces (none: a new file).
  void writeTemporary(const struct stat* replaced);

  std::filesystem::path path_;
  std::filesystem::path target_;
  std::filesystem::path temporary_;
  std::string_view bytes_;
  bool direct_ = false;
  int descriptor_ = -1;  // a descriptor path's number, or -1
  bool committed_ = false;
};

// Both steps at once for a single file.
void writeFileSoundly(const std::filesystem::path& path, std::string_view bytes);

// The system's words for the reason of the last failed write: the detail of the RuntimeError.
std::string fileWriteReason(int systemError);

}  // namespace fbc
