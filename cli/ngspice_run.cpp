#include "cli/ngspice_run.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <sstream>
#include <system_error>

extern char** environ;

namespace fbc {

namespace {

constexpr std::chrono::seconds kSimulationTimeout{20};

// A pipe whose ends close with it.
class Pipe {
 public:
  Pipe() {
    if (pipe2(ends_.data(), O_CLOEXEC) != 0) {
      throw SimulationError(std::string("cannot start a program: ") + std::strerror(errno));
    }
  }
  ~Pipe() {
    closeEnd(0);
    closeEnd(1);
  }
  Pipe(const Pipe&) = delete;
  Pipe& operator=(const Pipe&) = delete;

  int read() const { return ends_[0]; }
  int write() const { return ends_[1]; }
  void closeEnd(std::size_t end) {
    if (ends_[end] >= 0) {
      close(ends_[end]);
      ends_[end] = -1;
    }
  }

 private:
  std::array<int, 2> ends_{-1, -1};
};

// Reads everything the child writes until it closes its end or the time is up.
bool readUntilClosed(int fd, std::string& output, std::chrono::steady_clock::time_point deadline) {
  std::array<char, 4096> buffer{};
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      return false;
    }
    pollfd waiting{fd, POLLIN, 0};
    const int ready = poll(&waiting, 1, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) {
      continue;
    }
    if (ready <= 0) {
      return false;
    }
    const ssize_t got = ::read(fd, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got <= 0) {
      return true;
    }
    output.append(buffer.data(), static_cast<std::size_t>(got));
  }
}

// The last line of `text` that mentions an error, or its last line.
std::string reasonIn(const std::string& text) {
  std::istringstream lines(text);
  std::string last;
  std::string error;
  for (std::string line; std::getline(lines, line);) {
    if (line.find_first_not_of(" \t\r") == std::string::npos) {
      continue;
    }
    last = line;
    if (line.find("rror") != std::string::npos || line.find("too small") != std::string::npos) {
      error = line;
    }
  }
  const std::string& reason = error.empty() ? last : error;
  return reason.substr(0, 200);
}

}  // namespace

ProcessOutput runProgram(const std::string& program, const std::vector<std::string>& args,
                         std::chrono::milliseconds timeout) {
  Pipe pipe;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, pipe.write(), STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, pipe.write(), STDERR_FILENO);
  std::vector<std::string> words{program};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  argv.reserve(words.size() + 1);
  for (std::string& word : words) {
    argv.push_back(word.data());
  }
  argv.push_back(nullptr);
  pid_t child = 0;
  const int spawned =
      posix_spawnp(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    if (spawned == ENOENT) {
      throw SimulationError(
          program + " was not found on PATH; install it (Debian: apt-get install " + program + ")");
    }
    throw SimulationError("cannot start " + program + ": " + std::strerror(spawned));
  }
  pipe.closeEnd(1);
  ProcessOutput result;
  const bool finished =
      readUntilClosed(pipe.read(), result.output, std::chrono::steady_clock::now() + timeout);
  if (!finished) {
    kill(child, SIGKILL);
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (!finished) {
    throw SimulationError(program + " did not finish within " +
                          std::to_string(timeout.count() / 1000) + " s");
  }
  result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return result;
}

std::string ngspiceVersion() {
  const ProcessOutput run = runProgram("ngspice", {"-v"}, std::chrono::seconds(5));
  const std::size_t at = run.output.find("ngspice-");
  if (at == std::string::npos) {
    return "ngspice";
  }
  const std::size_t end = run.output.find_first_of(" \t\r\n:", at);
  return run.output.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

std::string runNgspice(const std::string& path) {
  const ProcessOutput run = runProgram("ngspice", {"-b", path}, kSimulationTimeout);
  if (run.exitStatus != 0 || run.output.find("Error") != std::string::npos) {
    throw SimulationError("ngspice could not simulate the design: " + reasonIn(run.output));
  }
  return run.output;
}

}  // namespace fbc
