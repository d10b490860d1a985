// The process helper on POSIX: fork and exec, a pipe that closes on exec to
// report a failed start, waitpid.
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "support/child_process.h"

extern char** environ;

namespace zarntest {
namespace {

// This process's environment with `overrides` set.
std::vector<std::string> EnvironmentWith(const std::vector<std::pair<std::string, std::string>>& overrides) {
  std::vector<std::string> entries;
  for (char** entry = environ; *entry; ++entry) {
    const std::string text = *entry;
    const std::string name = text.substr(0, text.find('='));
    bool overridden = false;
    for (const auto& [other, value] : overrides) overridden = overridden || other == name;
    if (!overridden) entries.push_back(text);
  }
  for (const auto& [name, value] : overrides) entries.push_back(name + "=" + value);
  return entries;
}

std::vector<char*> Pointers(std::vector<std::string>& words) {
  std::vector<char*> pointers;
  for (std::string& word : words) pointers.push_back(word.data());
  pointers.push_back(nullptr);
  return pointers;
}

// In the child: what a failed step reports to the parent before it exits.
[[noreturn]] void Fail(int report, const char* step) {
  const int error = errno;
  const std::string text = std::string(step) + ": " + std::strerror(error);
  static_cast<void>(::write(report, text.data(), text.size()));
  ::_exit(127);
}

}  // namespace

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                           const ChildOptions& options) {
  // Everything the child needs is made before the fork: after it, only
  // calls that are safe in a copy of a threaded process.
  std::vector<std::string> words = {program};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv = Pointers(words);
  std::vector<std::string> environment = EnvironmentWith(options.environment);
  std::vector<char*> envp = Pointers(environment);
  const std::string outFile = options.outFile.empty() ? "/dev/null" : options.outFile;
  const std::string errFile = options.errFile.empty() ? "/dev/null" : options.errFile;
  const rlimit limit{options.addressSpace, options.addressSpace};

  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) throw std::runtime_error("cannot make a pipe");
  const pid_t child = ::fork();
  if (child < 0) throw std::runtime_error("cannot fork");
  if (child == 0) {
    ::close(report[0]);
    const int in = ::open("/dev/null", O_RDONLY);
    const int out = ::open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = options.mergeStreams ? out : ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || out < 0 || err < 0) Fail(report[1], "cannot open the standard streams");
    if (::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0) Fail(report[1], "cannot redirect");
    if (!options.workingFolder.empty() && ::chdir(options.workingFolder.c_str()) != 0) {
      Fail(report[1], "cannot enter the working folder");
    }
    if (options.addressSpace != 0 && ::setrlimit(RLIMIT_AS, &limit) != 0) Fail(report[1], "cannot limit memory");
    ::execve(argv[0], argv.data(), envp.data());
    Fail(report[1], "cannot execute");
  }
  ::close(report[1]);
  char text[256];
  const ssize_t size = ::read(report[0], text, sizeof text);
  ::close(report[0]);
  process_ = child;
  if (size > 0) {
    Wait();
    throw std::runtime_error("cannot start " + program + ": " + std::string(text, static_cast<std::size_t>(size)));
  }
}

ChildProcess::~ChildProcess() {
  if (!waited_) {
    Kill();
    Wait();
  }
}

void ChildProcess::Kill() {
  const std::lock_guard<std::mutex> lock(reaping_);
  if (!waited_) ::kill(static_cast<pid_t>(process_), SIGKILL);
}

int ChildProcess::Wait() {
  const auto pid = static_cast<pid_t>(process_);
  // Waits for the end but leaves the child a zombie, so that its pid stays
  // its own until it is reaped under the lock Kill takes.
  siginfo_t ended{};
  while (::waitid(P_PID, static_cast<id_t>(pid), &ended, WEXITED | WNOWAIT) != 0) {
    if (errno != EINTR) throw std::runtime_error("cannot wait for a child process");
  }
  int status = 0;
  {
    const std::lock_guard<std::mutex> lock(reaping_);
    if (::waitpid(pid, &status, 0) != pid) throw std::runtime_error("cannot reap a child process");
    waited_ = true;
  }
  killed_ = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::optional<std::string> AddressSpaceLimitUnsupported() { return std::nullopt; }

std::vector<std::string> TemporaryFolderVariables() { return {"TMPDIR"}; }

std::string ProgramPath(const std::string& path) {
  if (path.find('/') != std::string::npos) return path;
  return std::filesystem::read_symlink("/proc/self/exe").parent_path() / path;
}

std::vector<std::string> ChildProgramStart(int argc, char** argv) { return {argv + 1, argv + argc}; }

std::optional<std::string> EnvironmentVariable(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  if (!value) return std::nullopt;
  return value;
}

}  // namespace zarntest
