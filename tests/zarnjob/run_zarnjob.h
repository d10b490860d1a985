// Runs the real zarnjob executable, as a user would, and captures what it
// says and how it exits.
#pragma once

#include <cstdint>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "localhost/temp_folder.h"
#include "support/child_process.h"

namespace zarnjobtest {

struct Outcome {
  int exitCode = -1;  // -1: it did not exit by itself
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
  std::string temporaryFolder;                                   // the tool's temporary folder, when not empty
  std::vector<std::pair<std::string, std::string>> environment;  // set for the tool
  std::uint64_t addressSpace = 0;                                // the tool's virtual memory in bytes; 0: no limit
};

// A zarnjob process started and not yet waited for: several can run at
// once. One not waited for is killed at the end.
class Started {
 public:
  Started(const std::vector<std::string>& arguments, const RunOptions& options)
      : process_(zarntest::ProgramPath(ZARNJOB_PATH), arguments, OptionsOf(options)) {}

  // Ends it at once; safe while another thread waits.
  void Kill() { process_.Kill(); }
  // Waits for the process and gives what it said and how it ended.
  Outcome Wait() {
    Outcome outcome;
    outcome.exitCode = process_.Wait();
    outcome.out = zarntest::Read(capture_ / "stdout").value_or("");
    outcome.err = zarntest::Read(capture_ / "stderr").value_or("");
    return outcome;
  }
  // After Wait: whether it was killed.
  bool Killed() const { return process_.Killed(); }

 private:
  zarntest::ChildOptions OptionsOf(const RunOptions& options) const {
    zarntest::ChildOptions child;
    child.workingFolder = options.workingFolder;
    child.environment = options.environment;
    if (!options.temporaryFolder.empty()) {
      for (const std::string& name : zarntest::TemporaryFolderVariables()) {
        child.environment.emplace_back(name, options.temporaryFolder);
      }
    }
    child.outFile = capture_ / "stdout";
    child.errFile = capture_ / "stderr";
    child.mergeStreams = options.mergeStreams;
    child.addressSpace = options.addressSpace;
    return child;
  }

  zarntest::TempFolder capture_;  // made before the process starts, removed after it ended
  zarntest::ChildProcess process_;
};

inline Outcome RunZarnjob(const std::vector<std::string>& arguments, const RunOptions& options) {
  return Started(arguments, options).Wait();
}

}  // namespace zarnjobtest
