#include "cli/file_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <system_error>

namespace fbc {

namespace {

std::string reason(int error) { return std::generic_category().message(error); }

// The temporary copy of one file until it is renamed into place; removed if it never is.
class PendingFile {
 public:
  explicit PendingFile(const OutputFile& file) : file_(file) {}
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;
  ~PendingFile() {
    if (!temporary_.empty()) {
      std::error_code ignored;
      std::filesystem::remove(temporary_, ignored);
    }
  }

  void write() {
    // A folder in the way would only show at the rename, after other files had been renamed.
    struct stat existing {};
    if (::stat(file_.path.c_str(), &existing) == 0 && S_ISDIR(existing.st_mode)) {
      fail(EISDIR);
    }
    const int fd = create();
    std::string_view rest = file_.bytes;
    while (!rest.empty()) {
      const ssize_t written = ::write(fd, rest.data(), rest.size());
      if (written < 0) {
        if (errno == EINTR) {
          continue;
        }
        const int error = errno;
        ::close(fd);
        fail(error);
      }
      rest.remove_prefix(static_cast<std::size_t>(written));
    }
    // A full disk may only show when the data is flushed at close.
    if (::close(fd) != 0) {
      fail(errno);
    }
  }

  void commit() {
    if (std::rename(temporary_.c_str(), file_.path.c_str()) != 0) {
      fail(errno);
    }
    temporary_.clear();
  }

 private:
  // A new file beside the destination, so that the rename stays on one file system; created
  // with the usual permissions, which the umask narrows as for any new file.
  int create() {
    static std::atomic<unsigned> counter{0};
    const std::filesystem::path folder =
        file_.path.has_parent_path() ? file_.path.parent_path() : std::filesystem::path(".");
    // Built by appending: GCC 12 warns falsely about concatenating onto a literal here.
    std::string stem = ".";
    stem.append(file_.path.filename().string())
        .append(".")
        .append(std::to_string(::getpid()))
        .append(".");
    for (;;) {
      std::filesystem::path candidate = folder / (stem + std::to_string(counter++) + ".tmp");
      const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (fd >= 0) {
        temporary_ = std::move(candidate);
        return fd;
      }
      if (errno != EEXIST && errno != EINTR) {
        fail(errno);
      }
    }
  }

  [[noreturn]] void fail(int error) const {
    throw OutputError(file_.option + " " + file_.path.string() + ": " + reason(error));
  }

  const OutputFile& file_;
  std::filesystem::path temporary_;
};

}  // namespace

void writeOutputFiles(const std::vector<OutputFile>& files) {
  std::vector<std::unique_ptr<PendingFile>> pending;
  for (const OutputFile& file : files) {
    pending.push_back(std::make_unique<PendingFile>(file));
    pending.back()->write();
  }
  for (const auto& file : pending) {
    file->commit();
  }
}

}  // namespace fbc
