// The process helper: arguments arrive as given whatever they hold, the
// child works where it is told with the environment it is given, its
// streams land in files (merged in the order written), and a killed child
// is seen killed.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "localhost/temp_folder.h"
#include "support/child_process.h"

namespace zarntest {
namespace {

class ChildProcessTest : public ::testing::Test {
 protected:
  // Runs the probe with `arguments` to its end; gives its exit code.
  int Run(const std::vector<std::string>& arguments, ChildOptions options = {}) {
    if (options.outFile.empty()) options.outFile = Out();
    if (options.errFile.empty()) options.errFile = Err();
    return ChildProcess(Probe(), arguments, options).Wait();
  }
  static std::string Probe() { return ProgramPath(CHILD_PROCESS_PROBE); }
  std::string Out() const { return capture_ / "out"; }
  std::string Err() const { return capture_ / "err"; }
  std::string OutText() const { return Read(Out()).value_or("(none)"); }

  TempFolder capture_;
};

TEST_F(ChildProcessTest, ArgumentsArriveAsGiven) {
  const std::vector<std::string> words = {
      "plain",       "two words", "",     "tab\there", "\"quoted\"",           "a\\b\\",
      "trailing \\", "a\\\"b",    "\\\\", "\\\\\"x",   "caf\xC3\xA9 \xC3\xBC", "%41 #",
      "-dash",       "*?",
  };
  std::vector<std::string> arguments = {"args"};
  arguments.insert(arguments.end(), words.begin(), words.end());
  ASSERT_EQ(Run(arguments), 0) << Read(Err()).value_or("");
  std::string expected;
  for (const std::string& word : words) expected += "[" + word + "]\n";
  EXPECT_EQ(OutText(), expected);
}

TEST_F(ChildProcessTest, TheChildWorksInTheGivenFolderWithTheGivenEnvironment) {
  TempFolder folder;  // its name has a blank and a non-ASCII letter
  Put(folder / "sub folder \xC3\xBC/");
  ChildOptions options;
  options.workingFolder = folder / "sub folder \xC3\xBC";
  ASSERT_EQ(Run({"folder"}, options), 0);
  EXPECT_EQ(OutText(), Utf8Path(std::filesystem::canonical(FsPath(folder / "sub folder \xC3\xBC"))) + "\n");

  options = {};
  options.environment = {{"ZARN_PROBE_VALUE", "v \xC3\xBC=1"}};
  ASSERT_EQ(Run({"env", "ZARN_PROBE_VALUE"}, options), 0);
  EXPECT_EQ(OutText(), "v \xC3\xBC=1\n");
  for (const std::string& name : TemporaryFolderVariables()) {
    options.environment = {{name, folder.Path()}};
    ASSERT_EQ(Run({"env", name}, options), 0);
    EXPECT_EQ(OutText(), folder.Path() + "\n") << name << " overridden, not added beside";
  }
  ASSERT_EQ(Run({"env", "ZARN_PROBE_VALUE"}), 0);
  EXPECT_EQ(OutText(), "(unset)\n") << "an override is the child's alone";
}

TEST_F(ChildProcessTest, StreamsGoToTheirFilesOrMergedInTheOrderWritten) {
  ASSERT_EQ(Run({"streams"}), 0);
  EXPECT_EQ(OutText(), "out 1\nout 3\n");
  EXPECT_EQ(Read(Err()), "err 2\n");
  ChildOptions merged;
  merged.mergeStreams = true;
  ASSERT_EQ(Run({"streams"}, merged), 0);
  EXPECT_EQ(OutText(), "out 1\nerr 2\nout 3\n");
}

TEST_F(ChildProcessTest, ExitCodesAndKillsAreTold) {
  for (const int code : {0, 1, 3, 42}) {
    ChildProcess child(Probe(), {"exit", std::to_string(code)});
    EXPECT_EQ(child.Wait(), code);
    EXPECT_FALSE(child.Killed());
  }
  ChildOptions options;
  options.outFile = Out();
  ChildProcess waiting(Probe(), {"wait"}, options);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (OutText() != "waiting\n" && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ASSERT_EQ(OutText(), "waiting\n");
  std::thread killer([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    waiting.Kill();
  });
  EXPECT_EQ(waiting.Wait(), -1);
  killer.join();
  EXPECT_TRUE(waiting.Killed());
  waiting.Kill();  // after the end: nothing happens
  EXPECT_THROW(ChildProcess(capture_ / "no such program", {}), std::runtime_error);
}

}  // namespace
}  // namespace zarntest
