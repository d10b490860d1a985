// A program for the process helper's tests: says what it was given.
//   args WORD...   each argument between brackets, one a line
//   folder         its working folder
//   env NAME       the variable's value, or "(unset)"
//   streams        "out 1", "err 2", "out 3", in that order, to stdout and stderr
//   exit N         exits with N
//   wait           writes "waiting" and waits to be killed
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

#include "support/child_process.h"
#include "support/utf8_path.h"

namespace {

void Say(std::FILE* stream, const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stream);
  std::fflush(stream);
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> arguments = zarntest::ChildProgramStart(argc, argv);
  const std::string role = arguments.empty() ? "" : arguments[0];
  if (role == "args") {
    for (std::size_t n = 1; n < arguments.size(); ++n) Say(stdout, "[" + arguments[n] + "]\n");
  } else if (role == "folder") {
    Say(stdout, zarntest::Utf8Path(std::filesystem::current_path()) + "\n");
  } else if (role == "env" && arguments.size() == 2) {
    Say(stdout, zarntest::EnvironmentVariable(arguments[1]).value_or("(unset)") + "\n");
  } else if (role == "streams") {
    Say(stdout, "out 1\n");
    Say(stderr, "err 2\n");
    Say(stdout, "out 3\n");
  } else if (role == "exit" && arguments.size() == 2) {
    return std::stoi(arguments[1]);
  } else if (role == "wait") {
    Say(stdout, "waiting\n");
    for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
  } else {
    Say(stderr, "usage: child_process_probe args|folder|env|streams|exit|wait ...\n");
    return 2;
  }
  return 0;
}
