// Starting a program from a test and seeing how it ends: one interface,
// child_process_posix.cpp (fork and exec) and child_process_windows.cpp
// (CreateProcessW) behind it. Text crosses as UTF-8: arguments, paths,
// environment.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zarntest {

struct ChildOptions {
  std::string workingFolder;                                     // empty: this process's
  std::vector<std::pair<std::string, std::string>> environment;  // set for the child, over this process's
  std::string outFile;                                           // stdout, made or emptied; empty: discarded
  std::string errFile;                                           // stderr likewise
  bool mergeStreams = false;                                     // stderr into outFile, in the order written
  std::uint64_t addressSpace = 0;                                // the child's virtual memory in bytes; 0: no limit
};

// A started program, killed and waited for at the end unless Wait ran.
// The child reads nothing: its stdin is the null device.
class ChildProcess {
 public:
  // Starts `program` (its path) with `arguments`; throws std::runtime_error
  // when it cannot be started.
  ChildProcess(const std::string& program, const std::vector<std::string>& arguments, const ChildOptions& options = {});
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  ~ChildProcess();

  // Ends it at once (SIGKILL, TerminateProcess). Safe from another thread
  // while Wait waits; does nothing once it has ended and been waited for.
  void Kill();
  // Waits for the end; gives the exit code, or -1 when it did not exit by
  // itself (killed, or ended by a signal).
  int Wait();
  // After Wait: whether it was killed (by Kill, or by SIGKILL from elsewhere).
  bool Killed() const { return killed_; }

 private:
  std::intptr_t process_ = -1;  // the pid, or the process handle
  std::mutex reaping_;          // Kill never signals a pid Wait has given back
  bool waited_ = false;
  std::atomic<bool> terminated_ = false;  // Kill was called (Windows: then the kill's exit code tells it)
  bool killed_ = false;
};

// Why a child's address space cannot be limited here, or nothing when it can.
std::optional<std::string> AddressSpaceLimitUnsupported();

// The environment variables that name a program's temporary folder.
std::vector<std::string> TemporaryFolderVariables();

// `path` itself, or, when it names no folder, the program of that name
// beside this one (where a Windows build puts every program).
std::string ProgramPath(const std::string& path);

// For a child program of the tests, first thing in main: its arguments
// after the program's name, as UTF-8; stdout and stderr write bytes as given.
std::vector<std::string> ChildProgramStart(int argc, char** argv);

// A variable of this process's environment, as UTF-8.
std::optional<std::string> EnvironmentVariable(const std::string& name);

}  // namespace zarntest
