// The state-lock seam: a lock the kernel drops when its holder dies, that
// nests in one thread and makes others wait; temporaries a later process
// can tell from live ones; state files that keep their mode (their
// read-only and hidden attributes on Windows). The other processes are
// state_lock_child, started through the process helper.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

#include "host/cfx_result.h"
#include "localhost/local_host.h"
#include "localhost/state_lock.h"
#include "localhost/temp_folder.h"
#include "localhost/text_file.h"
#include "support/child_process.h"
#include "support/file_system.h"
#include "support/links.h"

namespace zarnlocal {
namespace {

using namespace std::chrono_literals;
using zarntest::Read;
using zarntest::TempFolder;
using zarntest::Tree;

// A process of state_lock_child in a role, its output captured.
class Child {
 public:
  explicit Child(const std::vector<std::string>& arguments)
      : process_(zarntest::ProgramPath(STATE_LOCK_CHILD), arguments, Options()) {}
  // Waits until the child says it holds what it took; false when it never does.
  bool Holds() const {
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (Read(capture_ / "out") != "held\n") {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(5ms);
    }
    return true;
  }
  void Kill() {
    process_.Kill();
    process_.Wait();
  }
  // Its exit code, with what it said on stderr.
  std::pair<int, std::string> Ended() {
    const int code = process_.Wait();
    return {code, Read(capture_ / "err").value_or("")};
  }

 private:
  zarntest::ChildOptions Options() const {
    zarntest::ChildOptions options;
    options.outFile = capture_ / "out";
    options.errFile = capture_ / "err";
    return options;
  }

  TempFolder capture_;
  zarntest::ChildProcess process_;
};

TEST(StateLockTest, TheKernelDropsTheLockOfAHolderThatDies) {
  TempFolder folder;
  const std::string file = folder / "state/state.lock";
  Child child({"hold", file});
  ASSERT_TRUE(child.Holds());
  try {
    StateLock::Take(file, 100ms);
    ADD_FAILURE() << "took a lock another process holds";
  } catch (const CfxResult& failure) {
    EXPECT_EQ(failure.Code(), E_FAIL);
    EXPECT_EQ(failure.Description(),
              "the state lock " + file + " is held by another command; gave up after 100 ms (nothing was changed)");
  }
  child.Kill();
  const auto start = std::chrono::steady_clock::now();
  { const StateLock held = StateLock::Take(file, 1000ms); }
  EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms) << "no stale lock after a crash";
}

TEST(StateLockTest, ALockNestsInItsThreadAndMakesOtherThreadsWait) {
  TempFolder folder;
  const std::string file = folder / "state.lock";
  std::optional<StateLock> outer(StateLock::Take(file));
  { const StateLock inner = StateLock::Take(file, 0ms); }
  bool refused = false;
  std::thread([&] {
    try {
      StateLock::Take(file, 50ms);
    } catch (const CfxResult&) {
      refused = true;
    }
  }).join();
  EXPECT_TRUE(refused) << "the inner release kept the outer lock";
  outer.reset();
  std::thread([&] { EXPECT_NO_THROW(StateLock::Take(file, 1000ms)); }).join();
}

TEST(StateLockTest, TemporariesOfDeadWritersAreSweptAndLiveOnesKept) {
  TempFolder folder;
  const std::string scratch = folder / "partial";
  Child child({"temporary", scratch});
  ASSERT_TRUE(child.Holds());
  TemporaryFile mine(scratch, "");
  EXPECT_EQ(Tree(scratch).size(), 2u);
  EXPECT_EQ(SweepTemporaries(scratch), 0u) << "both writers are alive";
  child.Kill();
  EXPECT_EQ(SweepTemporaries(scratch), 1u);
  EXPECT_EQ(Tree(scratch), std::vector<std::string>{mine.Path().substr(scratch.size() + 1)});
  EXPECT_EQ(SweepTemporaries(folder / "none"), 0u);
}

TEST(StateLockTest, AnAtomicWriteSweepsItsScratchFolderAndKeepsTheMode) {
  TempFolder folder;
  const std::string scratch = folder / "partial";
  {
    Child child({"temporary", scratch});
    ASSERT_TRUE(child.Holds());
    child.Kill();
  }
  zarntest::Put(folder / "locks", "old");
  const std::string attributes = zarntest::GiveUnusualAttributes(folder / "locks", 0);
  WriteFileAtomically(folder / "locks", "new", scratch);
  EXPECT_EQ(zarntest::AttributesOf(folder / "locks"), attributes);
  EXPECT_EQ(Read(folder / "locks"), "new");
  EXPECT_EQ(Tree(folder.Path()), (std::vector<std::string>{"locks", "partial/"})) << "the dead writer's file is gone";
}

// 8 processes, each making 10 changes of each kind of state in a row.
TEST(StateLockTest, EightProcessesChangingTheSameStateKeepEveryChange) {
  TempFolder folder;
  constexpr int kProcesses = 8;
  constexpr int kChanges = 10;
  for (int n = 0; n < kProcesses * kChanges; ++n) zarntest::Put(folder / ("f" + std::to_string(n) + ".txt"), "x");
  const std::string id = Project::Open(folder.Path()).CreateJob().Id();
  std::vector<std::unique_ptr<Child>> children;
  for (int p = 0; p < kProcesses; ++p) {
    children.push_back(std::make_unique<Child>(
        std::vector<std::string>{"change", folder.Path(), id, std::to_string(p), std::to_string(kChanges)}));
  }
  for (const auto& child : children) {
    const auto [code, said] = child->Ended();
    EXPECT_EQ(code, 0) << said;
  }
  const Project project = Project::Open(folder.Path());
  const std::size_t all = kProcesses * kChanges;
  EXPECT_EQ(project.HiddenEntries().size(), all);
  EXPECT_EQ(project.Locks().size(), all);
  EXPECT_EQ(project.Views().size(), all);
  EXPECT_EQ(project.OpenJob(id).Inputs().size(), all);
  std::size_t properties = 0;
  for (const std::string& line : SplitLines(Read(project.OpenJob(id).Folder() + "/job").value_or(""))) {
    if (line.rfind("property.p", 0) == 0) ++properties;
  }
  EXPECT_EQ(properties, all);
}

TEST(StateLockTest, RealDestinationsResolveTheFolderNotTheFile) {
  if (const auto why = zarntest::LinksUnsupported()) GTEST_SKIP() << *why;
  TempFolder folder;
  zarntest::Put(folder / "real/");
  zarntest::MakeFolderLink(folder / "real", folder / "link");
  zarntest::MakeLink(folder / "real/x", folder / "real/file-link");
  EXPECT_EQ(RealDestination(folder / "link/new/a.txt"), folder / "real/new/a.txt");
  EXPECT_EQ(RealDestination(folder / "link/file-link"), folder / "real/file-link");
  EXPECT_EQ(RealLocation(folder / "link/file-link"), folder / "real/x") << "a dangling link is followed too";
  zarntest::MakeFolderLink(folder / "elsewhere/later", folder / "real/dangling");
  EXPECT_EQ(RealDestination(folder / "link/dangling/a.txt"), folder / "elsewhere/later/a.txt");
}

}  // namespace
}  // namespace zarnlocal
