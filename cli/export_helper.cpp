#include "cli/export_helper.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "platform/text.h"

extern char** environ;

namespace fbc {

namespace {

std::string reason(int error) { return std::generic_category().message(error); }

// The helper's path may come from FLYBACK_EXPORT_HELPER: quoted as a person's text is.
std::string quoted(const std::filesystem::path& helper) {
  return messageQuote(helper.string(), kLongQuoteLimit);
}

bool isExecutable(const std::filesystem::path& path) {
  return ::access(path.c_str(), X_OK) == 0 && !std::filesystem::is_directory(path);
}

// Both ends of a pipe, closed on leaving unless taken.
class Pipe {
 public:
  Pipe() {
    if (::pipe2(ends_, O_CLOEXEC) != 0) {
      throw std::runtime_error("cannot make a pipe for " + std::string(kExportHelperName) + ": " +
                               reason(errno));
    }
  }
  Pipe(const Pipe&) = delete;
  Pipe& operator=(const Pipe&) = delete;
  ~Pipe() {
    closeRead();
    closeWrite();
  }
  int read() const { return ends_[0]; }
  int write() const { return ends_[1]; }
  void closeRead() { closeEnd(0); }
  void closeWrite() { closeEnd(1); }

 private:
  void closeEnd(int i) {
    if (ends_[i] >= 0) {
      ::close(ends_[i]);
      ends_[i] = -1;
    }
  }
  int ends_[2] = {-1, -1};
};

}  // namespace

std::filesystem::path exportHelperPath() {
  if (const char* chosen = std::getenv("FLYBACK_EXPORT_HELPER"); chosen && *chosen) {
    return chosen;
  }
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) {
    return {};
  }
  const std::filesystem::path folder = self.parent_path();
  for (const std::filesystem::path& candidate :
       {folder / kExportHelperName,
        (folder / FBC_EXPORT_HELPER_RELATIVE / kExportHelperName).lexically_normal()}) {
    if (isExecutable(candidate)) {
      return candidate;
    }
  }
  return {};
}

std::string runExport(const ExportRequest& request) {
  const std::filesystem::path helper = exportHelperPath();
  if (helper.empty()) {
    throw std::runtime_error(std::string(kExportHelperName) +
                             ", which draws the pictures, is not installed beside flyback-calc");
  }
  std::vector<std::string> args = exportArguments(request);
  args.insert(args.begin(), helper.string());
  std::vector<char*> argv;
  argv.reserve(args.size() + 1);
  for (std::string& arg : args) {
    argv.push_back(arg.data());
  }
  argv.push_back(nullptr);

  Pipe output;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, output.write(), STDOUT_FILENO);
  pid_t child = 0;
  const int spawned =
      ::posix_spawn(&child, helper.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    throw std::runtime_error("cannot start " + quoted(helper) + ": " + reason(spawned));
  }
  output.closeWrite();

  std::string bytes;
  char buffer[65536];
  for (;;) {
    const ssize_t got = ::read(output.read(), buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got <= 0) {
      break;
    }
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) {
      throw std::runtime_error("lost " + quoted(helper) + ": " + reason(errno));
    }
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    throw std::runtime_error(quoted(helper) + " failed" +
                             (WIFEXITED(status)
                                  ? " with status " + std::to_string(WEXITSTATUS(status))
                                  : std::string(" on a signal")));
  }
  return bytes;
}

}  // namespace fbc
