#include "platform/file_writer.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <optional>
#include <system_error>

#include "platform/errors.h"

namespace fbc {

namespace {

// Following more links than this is a loop, as the kernel judges it.
constexpr int kMaxLinks = 40;

ErrorNumber errorNumberFor(int systemError) {
  switch (systemError) {
    case ENOENT:
    case ENOTDIR:
      return ErrorNumber::PathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
      return ErrorNumber::PathFileAccess;
    case ENAMETOOLONG:
    case ELOOP:
      return ErrorNumber::BadFileNameOrNumber;
    default:
      return ErrorNumber::DeviceIo;
  }
}

[[noreturn]] void fail(int systemError) {
  throw RuntimeError(errorNumberFor(systemError), fileWriteReason(systemError));
}

// The descriptor a path such as /dev/stdout, /dev/fd/3 or /proc/self/fd/1 stands for. Opening
// such a path anew would start a second file description at offset 0 (or, followed to the
// file, replace the file the shell redirected to); writing to the descriptor itself appends
// where the program's own output goes.
std::optional<int> descriptorOf(const std::filesystem::path& path) {
  const std::string text = path.lexically_normal().string();
  if (text == "/dev/stdout") {
    return STDOUT_FILENO;
  }
  if (text == "/dev/stderr") {
    return STDERR_FILENO;
  }
  for (std::string_view prefix : {"/dev/fd/", "/proc/self/fd/"}) {
    if (text.starts_with(prefix)) {
      const std::string_view digits = std::string_view(text).substr(prefix.size());
      int fd = -1;
      const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), fd);
      if (error == std::errc{} && end == digits.data() + digits.size() && !digits.empty()) {
        return fd;
      }
    }
  }
  return std::nullopt;
}

void writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) {
        continue;
      }
      fail(errno);
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
}

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd_ >= 0) {
      ::close(fd_);
    }
  }
  int get() const { return fd_; }
  // Closing reports what a network or full file system may only report then.
  void close() {
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 && errno != EINTR) {
      fail(errno);
    }
  }

 private:
  int fd_;
};

}  // namespace

std::string fileWriteReason(int systemError) {
  return std::generic_category().message(systemError);
}

FileWriter::FileWriter(std::filesystem::path path, std::string_view bytes)
    : path_(std::move(path)), target_(path_), bytes_(bytes) {
  if (path_.empty()) {
    fail(ENOENT);
  }
  struct stat status {};
  const bool exists = resolveTarget(status);
  if (direct_) {
    return;
  }
  if (exists && S_ISDIR(status.st_mode)) {
    fail(EISDIR);
  }
  if (exists && !S_ISREG(status.st_mode)) {
    direct_ = true;
    return;
  }
  writeTemporary(exists ? &status : nullptr);
}

bool FileWriter::resolveTarget(struct stat& status) {
  // Follow the links of the last component; the folders on the way the system follows itself.
  for (int links = 0;; ++links) {
    if (const std::optional<int> fd = descriptorOf(target_)) {
      direct_ = true;
      descriptor_ = *fd;
      return true;
    }
    if (::lstat(target_.c_str(), &status) != 0) {
      if (errno != ENOENT) {
        fail(errno);
      }
      return false;  // a new file, or a link to one still to be made
    }
    if (!S_ISLNK(status.st_mode)) {
      return true;
    }
    if (links == kMaxLinks) {
      fail(ELOOP);
    }
    char buffer[PATH_MAX];
    const ssize_t length = ::readlink(target_.c_str(), buffer, sizeof buffer);
    if (length < 0) {
      fail(errno);
    }
    const std::filesystem::path link(std::string(buffer, static_cast<std::size_t>(length)));
    target_ = link.is_absolute() ? link : target_.parent_path() / link;
  }
}

void FileWriter::writeTemporary(const struct stat* replaced) {
  // A new file beside the target, so that the rename stays on one file system.
  static std::atomic<unsigned> counter{0};
  const std::filesystem::path folder =
      target_.has_parent_path() ? target_.parent_path() : std::filesystem::path(".");
  // Built by appending: GCC 12 warns falsely about concatenating onto a literal here.
  std::string stem = ".";
  stem.append(target_.filename().string())
      .append(".")
      .append(std::to_string(::getpid()))
      .append(".");
  int fd = -1;
  for (;;) {
    std::filesystem::path candidate = folder / (stem + std::to_string(counter++) + ".tmp");
    fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      temporary_ = std::move(candidate);
      break;
    }
    if (errno != EEXIST && errno != EINTR) {
      fail(errno);
    }
  }
  Descriptor file(fd);
  // Keep the permissions of the file being replaced; a new one gets the umask's.
  if (replaced != nullptr && ::fchmod(file.get(), replaced->st_mode & 07777) != 0) {
    const int error = errno;
    std::filesystem::remove(temporary_);
    temporary_.clear();
    fail(error);
  }
  try {
    writeAll(file.get(), bytes_);
    // A full disk may only show when the data reaches it.
    if (::fsync(file.get()) != 0) {
      fail(errno);
    }
    file.close();
  } catch (...) {
    std::error_code ignored;
    std::filesystem::remove(temporary_, ignored);
    temporary_.clear();
    throw;
  }
}

FileWriter::~FileWriter() {
  if (!temporary_.empty()) {
    std::error_code ignored;
    std::filesystem::remove(temporary_, ignored);
  }
}

void FileWriter::commit() {
  if (committed_) {
    return;
  }
  committed_ = true;
  if (descriptor_ >= 0) {
    writeAll(descriptor_, bytes_);
    return;
  }
  if (direct_) {
    // No O_TRUNC: a FIFO or a device has nothing to cut, and the data goes where it points.
    const int fd = ::open(target_.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
      fail(errno);
    }
    Descriptor file(fd);
    writeAll(file.get(), bytes_);
    file.close();
    return;
  }
  if (std::rename(temporary_.c_str(), target_.c_str()) != 0) {
    fail(errno);
  }
  temporary_.clear();
}

void writeFileSoundly(const std::filesystem::path& path, std::string_view bytes) {
  FileWriter writer(path, bytes);
  writer.commit();
}

}  // namespace fbc
