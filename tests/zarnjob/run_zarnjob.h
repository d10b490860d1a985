// Runs the real zarnjob executable, as a user would, and captures what it
// says and how it exits.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "localhost/temp_folder.h"

namespace zarnjobtest {

struct Outcome {
  int exitCode = -1;  // -1: it did not exit normally
  std::string out;    // stdout; with stderr too when the streams are merged
  std::string err;

  std::vector<std::string> OutLines() const { return Lines(out); }
  std::vector<std::string> ErrLines() const { return Lines(err); }
  static std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
};

struct RunOptions {
  std::string workingFolder = ".";
  bool mergeStreams = false;                                     // stderr into stdout, in the order written
  std::string temporaryFolder;                                   // TMPDIR of the tool, when not empty
  std::vector<std::pair<std::string, std::string>> environment;  // set for the tool
  rlim_t addressSpace = RLIM_INFINITY;                           // the tool's limit of virtual memory, in bytes
};

// A zarnjob process started and not yet waited for: several can run at once.
class Started {
 public:
  Started(const std::vector<std::string>& arguments, const RunOptions& options);
  Started(const Started&) = delete;
  Started& operator=(const Started&) = delete;
  ~Started() {
    if (child_ > 0) {
      ::kill(child_, SIGKILL);
      ::waitpid(child_, nullptr, 0);
    }
  }
  pid_t Pid() const { return child_; }
  // Waits for the process and gives what it said and how it ended.
  Outcome Wait() {
    int status = 0;
    if (::waitpid(child_, &status, 0) != child_) throw std::runtime_error("cannot wait for zarnjob");
    child_ = -1;
    Outcome outcome;
    outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    signal_ = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    outcome.out = zarntest::Read(capture_ / "stdout").value_or("");
    outcome.err = zarntest::Read(capture_ / "stderr").value_or("");
    return outcome;
  }
  // The signal that ended it (after Wait), or 0.
  int Signal() const { return signal_; }

 private:
  zarntest::TempFolder capture_;
  pid_t child_ = -1;
  int signal_ = 0;
};

inline Started::Started(const std::vector<std::string>& arguments, const RunOptions& options) {
  const std::string outPath = capture_ / "stdout";
  const std::string errPath = capture_ / "stderr";

  std::vector<std::string> words = {ZARNJOB_PATH};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  const pid_t child = ::fork();
  if (child < 0) throw std::runtime_error("cannot fork");
  if (child == 0) {
    for (const auto& [name, value] : options.environment) ::setenv(name.c_str(), value.c_str(), 1);
    const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = options.mergeStreams ? out : ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (out < 0 || err < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0) ::_exit(126);
    if (::chdir(options.workingFolder.c_str()) != 0) ::_exit(126);
    if (!options.temporaryFolder.empty()) ::setenv("TMPDIR", options.temporaryFolder.c_str(), 1);
    const rlimit limit{options.addressSpace, options.addressSpace};
    if (options.addressSpace != RLIM_INFINITY && ::setrlimit(RLIMIT_AS, &limit) != 0) ::_exit(126);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  child_ = child;
}

inline Outcome RunZarnjob(const std::vector<std::string>& arguments, const RunOptions& options) {
  return Started(arguments, options).Wait();
}

}  // namespace zarnjobtest
