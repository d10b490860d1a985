// The state-lock seam: a lock the kernel drops when its holder dies, that
// nests in one thread and makes others wait; temporaries a later process
// can tell from live ones; state files that keep their mode.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "host/cfx_result.h"
#include "localhost/local_host.h"
#include "localhost/state_lock.h"
#include "localhost/temp_folder.h"
#include "localhost/text_file.h"

namespace zarnlocal {
namespace {

using namespace std::chrono_literals;
using zarntest::Read;
using zarntest::TempFolder;
using zarntest::Tree;

// A child process that runs `hold`, says so through a pipe and then waits to be killed.
template <class Hold>
pid_t Holder(Hold hold) {
  int ready[2];
  if (::pipe(ready) != 0) return -1;
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(ready[0]);
    hold();
    const char byte = 1;
    static_cast<void>(::write(ready[1], &byte, 1));
    for (;;) ::pause();
  }
  ::close(ready[1]);
  char byte = 0;
  static_cast<void>(::read(ready[0], &byte, 1));
  ::close(ready[0]);
  return child;
}

void Kill(pid_t child) {
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
}

TEST(StateLockTest, TheKernelDropsTheLockOfAHolderThatDies) {
  TempFolder folder;
  const std::string file = folder / "state/state.lock";
  const pid_t child = Holder([&] { new StateLock(StateLock::Take(file)); });  // held until killed
  ASSERT_GT(child, 0);
  try {
    StateLock::Take(file, 100ms);
    ADD_FAILURE() << "took a lock another process holds";
  } catch (const CfxResult& failure) {
    EXPECT_EQ(failure.Code(), E_FAIL);
    EXPECT_EQ(failure.Description(),
              "the state lock " + file + " is held by another command; gave up after 100 ms (nothing was changed)");
  }
  Kill(child);
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
  const pid_t child = Holder([&] {
    auto* temporary = new TemporaryFile(scratch, "");
    temporary->Write("part", 4, "x");
  });
  ASSERT_GT(child, 0);
  TemporaryFile mine(scratch, "");
  EXPECT_EQ(Tree(scratch).size(), 2u);
  EXPECT_EQ(SweepTemporaries(scratch), 0u) << "both writers are alive";
  Kill(child);
  EXPECT_EQ(SweepTemporaries(scratch), 1u);
  EXPECT_EQ(Tree(scratch), std::vector<std::string>{mine.Path().substr(scratch.size() + 1)});
  EXPECT_EQ(SweepTemporaries(folder / "none"), 0u);
}

TEST(StateLockTest, AnAtomicWriteSweepsItsScratchFolderAndKeepsTheMode) {
  TempFolder folder;
  const std::string scratch = folder / "partial";
  const pid_t child = Holder([&] { new TemporaryFile(scratch, ""); });
  Kill(child);
  zarntest::Put(folder / "locks", "old");
  ASSERT_EQ(::chmod((folder / "locks").c_str(), 0600), 0);
  WriteFileAtomically(folder / "locks", "new", scratch);
  struct stat status {};
  ASSERT_EQ(::stat((folder / "locks").c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0600u);
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
  std::vector<pid_t> children;
  for (int p = 0; p < kProcesses; ++p) {
    const pid_t child = ::fork();
    if (child == 0) {
      int failed = 0;
      try {
        const Project project = Project::Open(folder.Path());
        const ServerJob job = project.OpenJob(id);
        JobRecord record(Server(project.ServerFolder()), id, project.Folder());
        ProjectView view(project.StateFolder());
        for (int c = 0; c < kChanges; ++c) {
          const std::string name = "f" + std::to_string(p * kChanges + c) + ".txt";
          view.SetHidden(name, true);
          view.Lock(name, "owner " + std::to_string(p));
          view.RecordView("view", name);
          job.SetProperty("p" + std::to_string(p) + "c" + std::to_string(c), "v");
          record.AddInput("In/" + name, folder / name);
        }
      } catch (...) {
        failed = 1;
      }
      ::_exit(failed);
    }
    children.push_back(child);
  }
  for (const pid_t child : children) {
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
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
  TempFolder folder;
  zarntest::Put(folder / "real/");
  std::filesystem::create_directory_symlink(folder / "real", folder / "link");
  std::filesystem::create_symlink(folder / "real/x", folder / "real/file-link");
  EXPECT_EQ(RealDestination(folder / "link/new/a.txt"), folder / "real/new/a.txt");
  EXPECT_EQ(RealDestination(folder / "link/file-link"), folder / "real/file-link");
  EXPECT_EQ(RealLocation(folder / "link/file-link"), folder / "real/x") << "a dangling link is followed too";
  std::filesystem::create_directory_symlink(folder / "elsewhere/later", folder / "real/dangling");
  EXPECT_EQ(RealDestination(folder / "link/dangling/a.txt"), folder / "elsewhere/later/a.txt");
}

}  // namespace
}  // namespace zarnlocal
