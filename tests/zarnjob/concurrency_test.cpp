// Commands at once: every read-modify-write of the project's and the
// server's state runs under the state lock, so processes that run together
// keep every update (8 processes, a few updates each), and a command that
// cannot get the lock in time fails clearly and changes nothing.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>

#include "support/file_system.h"
#include "zarnjob/zarnjob_fixture.h"

namespace zarnjobtest {
namespace {

using Lines = std::vector<std::string>;
constexpr int kProcesses = 8;

class Concurrency : public Zarnjob {
 protected:
  // Runs one command per argument list, all at once, and expects each to succeed.
  void AllAtOnce(const std::vector<Lines>& commands) {
    std::vector<std::unique_ptr<Started>> running;
    for (const Lines& command : commands) running.push_back(Start(command));
    for (std::size_t i = 0; i < running.size(); ++i) {
      const Outcome outcome = running[i]->Wait();
      EXPECT_EQ(outcome.exitCode, 0) << testing::PrintToString(commands[i]) << "\n" << outcome.err;
    }
  }
  // The records of a state file that hold `containing` and stand: a line
  // "-<TAB>record" takes back one above it.
  std::size_t LinesOf(const std::string& relative, const std::string& containing) {
    std::size_t added = 0;
    std::size_t removed = 0;
    for (const std::string& line : Outcome::Lines(Read(relative).value_or(""))) {
      if (line.starts_with("#") || line.find(containing) == std::string::npos) continue;
      ++(line.starts_with("-\t") ? removed : added);
    }
    EXPECT_LE(removed, added) << relative;
    return added - removed;
  }
  std::string Setting(const std::string& id, const std::string& key) const {
    for (const std::string& line : Outcome::Lines(zarntest::Read(ServerFile("/jobs/" + id + "/job")).value_or(""))) {
      if (line.rfind(key + " = ", 0) == 0) return line.substr(key.size() + 3);
    }
    return "(none)";
  }
};

TEST_F(Concurrency, HidingFromEightProcessesKeepsEveryMark) {
  std::vector<Lines> commands;
  for (int n = 0; n < kProcesses; ++n) {
    for (int f = 0; f < 3; ++f) Put("C/d" + std::to_string(n) + "/f" + std::to_string(f) + ".txt", "x");
    commands.push_back({"hide", "C/d" + std::to_string(n) + "/"});
  }
  AllAtOnce(commands);
  EXPECT_EQ(LinesOf(".zarn/hidden", "C/d"), 3u * kProcesses);
}

TEST_F(Concurrency, LocksAndUnlocksFromEightProcessesAreAllKept) {
  std::vector<Lines> locks;
  for (int n = 0; n < kProcesses; ++n) {
    for (int f = 0; f < 2; ++f) Put("L/d" + std::to_string(n) + "/f" + std::to_string(f) + ".txt", "x");
    locks.push_back({"lock", "L/d" + std::to_string(n) + "/"});
  }
  AllAtOnce(locks);
  EXPECT_EQ(LinesOf(".zarn/locks", "Corvane Server"), 2u * kProcesses);

  // Half of them unlocked while new documents are locked: no unlocked one comes back.
  std::vector<Lines> mixed;
  for (int n = 0; n < kProcesses; ++n) {
    if (n % 2 == 0) {
      mixed.push_back({"unlock", "L/d" + std::to_string(n) + "/"});
    } else {
      Put("M/d" + std::to_string(n) + "/g.txt", "x");
      mixed.push_back({"lock", "M/d" + std::to_string(n) + "/"});
    }
  }
  AllAtOnce(mixed);
  for (int n = 0; n < kProcesses; ++n) {
    EXPECT_EQ(LinesOf(".zarn/locks", "L/d" + std::to_string(n) + "/"), n % 2 == 0 ? 0u : 2u) << n;
  }
  EXPECT_EQ(LinesOf(".zarn/locks", "M/d"), kProcesses / 2u);
}

TEST_F(Concurrency, StagingIntoOneJobFromEightProcessesKeepsEveryInputAndRunSeesThemAll) {
  EXPECT_EQ(Succeed({"create-job", "Fit"}).out, "1\n");
  std::vector<Lines> commands;
  for (int n = 0; n < kProcesses; ++n) {
    Put("T/t" + std::to_string(n) + ".std", "row\n");
    commands.push_back({"stage", "1", "T/t" + std::to_string(n) + ".std"});
  }
  AllAtOnce(commands);
  EXPECT_EQ(LinesOf(".zarn/server/jobs/1/inputs", ".std\t"), static_cast<std::size_t>(kProcesses));
  EXPECT_EQ(Succeed({"run", "1"}).OutLines().size(), kProcesses + 1u) << "a result per input and the summary";
}

TEST_F(Concurrency, ImportsAndLiveUpdatesRacingARunLoseNothing) {
  std::vector<Lines> imports;
  for (int n = 0; n < 6; ++n) {
    Put("I/r" + std::to_string(n) + ".txt", "x");
    imports.push_back({"import", "I/r" + std::to_string(n) + ".txt"});
  }
  AllAtOnce(imports);
  EXPECT_EQ(LinesOf(".zarn/views", "shown\tI/r"), 6u);
  EXPECT_EQ(LinesOf(".zarn/locks", "I/r"), 6u);

  EXPECT_EQ(Succeed({"create-job", "Fit"}).out, "1\n");
  AllAtOnce({{"run", "1"}, {"live", "start", "1"}, {"live", "stop", "1"}, {"live", "start", "1"}});
  EXPECT_EQ(Setting("1", "state"), "finished") << "the run's change is kept";
  EXPECT_NE(Setting("1", "live-update-end"), "(none)") << "so is the stop's";
}

TEST_F(Concurrency, JobsMadeAtOnceGetDistinctIds) {
  std::vector<std::unique_ptr<Started>> running;
  for (int n = 0; n < kProcesses; ++n) running.push_back(Start({"create-job", "Fit"}));
  std::vector<std::string> ids;
  for (auto& started : running) {
    const Outcome outcome = started->Wait();
    EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
    ids.push_back(outcome.out);
  }
  std::sort(ids.begin(), ids.end());
  EXPECT_EQ(std::unique(ids.begin(), ids.end()), ids.end());
  EXPECT_EQ(Tree(".zarn/server/jobs").size(), kProcesses * 3u) << "each job: its folder, job and Documents/";
}

TEST_F(Concurrency, ACommandThatCannotGetTheLockInTimeFailsClearlyAndChangesNothing) {
  Put("a.txt", "x");
  Succeed({"hide", "a.txt"});
  const std::string before = Read(".zarn/hidden").value_or("");
  Put("b.txt", "x");
  std::optional<zarntest::LockFileHolder> held(std::in_place, At(".zarn/state.lock"));
  const auto start = std::chrono::steady_clock::now();
  const Outcome outcome = Start({"hide", "b.txt"}, {{"ZARN_STATE_LOCK_TIMEOUT_MS", "300"}})->Wait();
  const auto waited = std::chrono::steady_clock::now() - start;
  held.reset();
  EXPECT_EQ(outcome.exitCode, 1);
  EXPECT_EQ(outcome.err, "error: 0x80004005: the state lock " + At(".zarn/state.lock") +
                             " is held by another command; gave up after 300 ms (nothing was changed)\n");
  EXPECT_GE(waited, std::chrono::milliseconds(300));
  EXPECT_EQ(Read(".zarn/hidden"), before);
  Succeed({"hide", "b.txt"});
}

}  // namespace
}  // namespace zarnjobtest
