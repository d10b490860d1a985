// Commands killed at a random point, downloads aimed at the host's own
// state, state files' modes, and what the host refuses or cannot do said
// clearly: refused locks, job ids, the reason behind a null dereference.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#include "support/file_system.h"
#include "support/links.h"
#include "zarnjob/zarnjob_fixture.h"

namespace zarnjobtest {
namespace {

using Lines = std::vector<std::string>;
namespace fs = std::filesystem;

class Robustness : public Zarnjob {
 protected:
  // Every line of a state file is a comment or a whole record.
  void ExpectWhole(const std::string& relative, const std::string& separator) {
    const std::optional<std::string> text = Read(relative);
    if (!text) return;
    EXPECT_TRUE(text->empty() || text->back() == '\n') << relative << " ends mid-line";
    for (const std::string& line : Outcome::Lines(*text)) {
      EXPECT_TRUE(line.starts_with("#") || line.find(separator) != std::string::npos) << relative << ": " << line;
    }
  }
  // Kills a command at `delay` after its start (or lets it end first).
  void KillAfter(const Lines& command, std::chrono::microseconds delay) {
    std::unique_ptr<Started> started = Start(command);
    std::this_thread::sleep_for(delay);
    started->Kill();
    started->Wait();
  }
  std::chrono::microseconds TimeOf(const Lines& command) {
    const auto start = std::chrono::steady_clock::now();
    Succeed(command);
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
  }
};

const std::string kBig(8 << 20, 'b');  // 8 MiB a file

TEST_F(Robustness, AStageKilledAtAnyPointLeavesWholeStateAndTheNextStageCleansUp) {
  Put("T/T.std", "row\n");
  for (int n = 0; n < 4; ++n) Put("T/T Files/part" + std::to_string(n) + ".bin", kBig);
  EXPECT_EQ(Succeed({"create-job", "Fit", "--input-folder"}).out, "1\n");
  const std::chrono::microseconds duration = TimeOf({"stage", "1", "T/T.std", "--input"});
  const Lines staged = Tree(".zarn/server/jobs/1/Documents");

  std::mt19937 random(17);  // seeded: the same kill points every run
  for (int point = 0; point < 5; ++point) {
    const auto delay = std::chrono::microseconds(random() % (duration.count() + 1));
    KillAfter({"stage", "1", "T/T.std", "--input"}, delay);
    ExpectWhole(".zarn/server/jobs/1/job", " = ");
    ExpectWhole(".zarn/server/jobs/1/inputs", "\t");
    Succeed({"stage", "1", "T/T.std", "--input"});
    EXPECT_EQ(Tree(".zarn/server/partial"), Lines{}) << "killed after " << delay.count() << " us";
    EXPECT_EQ(Tree(".zarn/server/jobs/1/Documents"), staged) << "killed after " << delay.count() << " us";
    EXPECT_EQ(zarntest::Read(ServerFile("/jobs/1/Documents/Input/T Files/part3.bin")), kBig);
  }
}

TEST_F(Robustness, ADownloadKilledAtAnyPointLeavesTheOldFileOrTheNewAndTheNextDownloadCleansUp) {
  EXPECT_EQ(Succeed({"create-job", "Fit"}).out, "1\n");
  const std::string big = kBig + kBig;
  zarntest::Put(ServerFile("/jobs/1/Documents/Results/big.bin"), big);
  Put("Jobs/1/Results/big.bin", "old");
  const Lines download = {"download", "1", "/jobs/1/Documents/Results/big.bin", "Jobs/1/Results/big.bin"};
  const std::chrono::microseconds duration = TimeOf(download);

  std::mt19937 random(1717);
  for (int point = 0; point < 5; ++point) {
    Put("Jobs/1/Results/big.bin", "old");
    const auto delay = std::chrono::microseconds(random() % (duration.count() + 1));
    KillAfter(download, delay);
    const std::optional<std::string> now = Read("Jobs/1/Results/big.bin");
    EXPECT_TRUE(now == "old" || now == big) << "a part of a file after a kill at " << delay.count() << " us";
    Succeed(download);
    EXPECT_EQ(Tree(".zarn/partial"), Lines{}) << "killed after " << delay.count() << " us";
    EXPECT_EQ(Tree("Jobs/1"), (Lines{"Results/", "Results/big.bin"}));
    EXPECT_EQ(Read("Jobs/1/Results/big.bin"), big);
  }
}

TEST_F(Robustness, AUsersOwnFileIsNeverHiddenOrRemovedBecauseOfItsName) {
  Put("R/.zarn-partial-1-0~", "mine");
  Put("R/1-0.part", "mine too");
  EXPECT_EQ(Succeed({"create-job", "Fit"}).out, "1\n");
  zarntest::Put(ServerFile("/jobs/1/Documents/Results/r.txt"), "r");
  Succeed({"download", "1", "/jobs/1/Documents/Results/r.txt", "R/r.txt"});
  Succeed({"hide", "R/r.txt"});
  EXPECT_EQ(Succeed({"view"}).OutLines(),
            (Lines{"Jobs/", "Jobs/1/", "R/", "R/.zarn-partial-1-0~", "R/1-0.part", "R/r.txt [hidden]"}));
  EXPECT_EQ(Read("R/.zarn-partial-1-0~"), "mine");
}

TEST_F(Robustness, NoDownloadLandsOnTheHostsOwnState) {
  if (const auto why = zarntest::LinksUnsupported()) GTEST_SKIP() << *why;
  Put("a.txt", "a");
  Put(".zarn/filetypes", "abc Acme.Model def\n");
  Put(".zarn/virtual/v.abc", "virtual");
  Put(".zarn/config", "# settings\n");
  Succeed({"hide", "a.txt"});
  Succeed({"lock", "a.txt"});
  Succeed({"import", "a.txt"});
  EXPECT_EQ(Succeed({"create-job", "Fit"}).out, "1\n");
  Put("T.std", "t");
  Succeed({"stage", "1", "T.std"});
  Succeed({"run", "1"});
  fs::create_directories(zarntest::FsPath(At("Jobs/1")));
  zarntest::MakeFolderLink(At(".zarn"), At("Jobs/1/state"));
  zarntest::MakeFolderLink(At(".zarn/server"), At("Jobs/1/server"));

  const auto snapshot = [&] {
    std::vector<std::pair<std::string, std::optional<std::string>>> files;
    for (const std::string& entry : Tree(".zarn")) {
      if (!entry.ends_with("/")) files.emplace_back(entry, Read(".zarn/" + entry));
    }
    return files;
  };
  const auto before = snapshot();
  const std::string source = "/jobs/1/Documents/Results/summary.txt";
  const std::string state = At(".zarn");
  const std::string server = At(".zarn/server");
  std::vector<std::pair<std::string, std::string>> cases;
  for (const char* file : {"hidden", "locks", "views", "config", "filetypes", "state.lock", "virtual/v.abc",
                           "workspace/w.abc", "partial/x", "new-state-file"}) {
    cases.emplace_back(std::string(".zarn/") + file, "is in the host's own state folder " + state);
    cases.emplace_back(std::string("Jobs/1/state/") + file, "is in the host's own state folder " + state);
  }
  for (const char* file : {"jobs/1/job", "jobs/1/inputs", "state.lock", "jobs/2/job"}) {
    cases.emplace_back(std::string(".zarn/server/") + file, "is in the host's own state folder " + state);
    cases.emplace_back(std::string("Jobs/1/server/") + file, "is in the host's own state folder " + state);
  }
  for (const auto& [destination, rule] : cases) {
    const Outcome outcome = Run({"download", "1", source, destination});
    EXPECT_EQ(outcome.exitCode, 1) << destination;
    EXPECT_NE(outcome.err.find("refused: the download destination " + At(destination)), std::string::npos)
        << outcome.err;
    EXPECT_NE(outcome.err.find(rule), std::string::npos) << destination << "\n" << outcome.err;
  }
  EXPECT_EQ(snapshot(), before) << "every state file as it was";
  EXPECT_EQ(Succeed({"view"}).OutLines().size(), 6u) << "and every command still works";
}

TEST_F(Robustness, ADownloadIntoAServerFolderInTheProjectIsRefused) {
  const std::string server = At("Server");
  EXPECT_EQ(Succeed({"--server", server, "create-job", "Fit"}).out, "1\n");
  zarntest::Put(server + "/jobs/1/Documents/r.txt", "r");
  const Outcome outcome = Run({"--server", server, "download", "1", "/jobs/1/Documents/r.txt", "Server/jobs/1/job"});
  EXPECT_EQ(outcome.exitCode, 1);
  EXPECT_NE(outcome.err.find("is in the server folder " + server), std::string::npos) << outcome.err;
  EXPECT_NE(zarntest::Read(server + "/jobs/1/job"), "r");
}

TEST_F(Robustness, RewritingAStateFileKeepsItsAttributes) {
  Put("a.txt", "a");
  Put("b.txt", "b");
  Succeed({"lock", "a.txt"});
  Succeed({"hide", "a.txt"});
  EXPECT_EQ(Succeed({"create-job", "Fit"}).out, "1\n");
  const std::pair<const char*, int> files[] = {{".zarn/locks", 0}, {".zarn/hidden", 1}, {".zarn/server/jobs/1/job", 0}};
  std::vector<std::string> given;
  for (const auto& [file, variant] : files) given.push_back(zarntest::GiveUnusualAttributes(At(file), variant));
  Succeed({"lock", "b.txt"});
  Succeed({"hide", "b.txt"});
  Succeed({"live", "start", "1"});
  for (std::size_t n = 0; n < given.size(); ++n) {
    EXPECT_EQ(zarntest::AttributesOf(At(files[n].first)), given[n]) << files[n].first;
  }
  EXPECT_NE(Read(".zarn/locks").value_or("").find("b.txt"), std::string::npos) << "and the change is in";
}

TEST_F(Robustness, RewritingAStateFileKeepsItsOwner) {
  if (const auto why = zarntest::OwnersUnsupported()) GTEST_SKIP() << *why;
  EXPECT_EQ(Succeed({"create-job", "Fit"}).out, "1\n");
  const std::string job = ServerFile("/jobs/1/job");
  const std::string owner = zarntest::GiveToAnotherOwner(job);
  Succeed({"live", "start", "1"});
  EXPECT_EQ(zarntest::OwnerOf(job), owner);
  EXPECT_NE(zarntest::Read(job).value_or("").find("live-updates = on"), std::string::npos) << "and the change is in";
}

TEST_F(Robustness, LocksTheHostRefusedArePrintedOnePerDocumentAndFailTheCommand) {
  Put("R/a.txt", "a");
  Put("R/b.txt", "b");
  fs::create_directories(zarntest::FsPath(At(".zarn/locks")));  // the host cannot record any lock
  const std::string why = ": cannot read " + At(".zarn/locks") + ": " + zarntest::FolderReadAsFileReason();
  const Outcome locked = Run({"lock", "R/"});
  EXPECT_EQ(locked.exitCode, 1);
  EXPECT_EQ(locked.ErrLines(), (Lines{"error: 0x80004005: the host refused to lock " + At("R/a.txt") + why,
                                      "error: 0x80004005: the host refused to lock " + At("R/b.txt") + why}));
  const Outcome unlocked = Run({"unlock", "R/a.txt"});
  EXPECT_EQ(unlocked.exitCode, 1);
  EXPECT_EQ(unlocked.ErrLines(), (Lines{"error: 0x80004005: the host refused to unlock " + At("R/a.txt") + why}));
  const Outcome imported = Run({"import", "R/b.txt"});
  EXPECT_EQ(imported.exitCode, 1);
  EXPECT_EQ(imported.out, At("R/b.txt") + "\n") << "the import itself was done";
  EXPECT_EQ(imported.ErrLines(),
            (Lines{"error: 0x80004005: the host refused to unlock and lock " + At("R/b.txt") + why}));
  fs::remove(zarntest::FsPath(At(".zarn/locks")));
  Succeed({"lock", "R/"});
}

TEST_F(Robustness, ImportingWhereThereIsNoDocumentNamesTheLocation) {
  Put("Tables/t.txt", "t");
  Put("Tables/Sub/");
  const struct {
    Lines arguments;
    std::string error;
  } cases[] = {
      {{"import", "Tables"},
       "error: 0x80070057: no document to import at " + At("Tables") + ": it is a folder (only a file is a document)"},
      {{"import", "Tables/none.txt"}, "error: 0x80070002: no such file: " + At("Tables/none.txt")},
  };
  for (const auto& c : cases) {
    const Outcome outcome = Run(c.arguments);
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_EQ(outcome.err, c.error + "\n");
  }
  Succeed({"lock", "Tables/"});  // without the import flags a folder is skipped
  EXPECT_EQ(Succeed({"view"}).OutLines(), (Lines{"Tables/", "Tables/Sub/", "Tables/t.txt [locked by Corvane Server]"}));
}

TEST_F(Robustness, JobIdsNeverOverflowAndAFailedCreationLeavesNothing) {
  zarntest::Put(ServerFile("/jobs/999999998/job"), "id = 999999998\nstate = created\n");
  EXPECT_EQ(Succeed({"create-job", "Fit"}).out, "999999999\n");
  const Lines before = Tree();
  const Outcome outcome = Run({"create-job", "Fit"});
  EXPECT_EQ(outcome.exitCode, 1);
  EXPECT_EQ(outcome.err,
            "error: 0x80004005: cannot make a job: the server " + At(".zarn/server") +
                " has used its last job id (job 999999999 exists, and ids go up to 999999999); remove jobs from " +
                At(".zarn/server/jobs") +
                " to make room (in the host's Cfx.CreateImpl; the library then raised 0x80004003: Null pointer "
                "dereference.)\n");
  EXPECT_EQ(Tree(), before) << "nothing half-made";
  EXPECT_EQ(Succeed({"documents-folder", "999999999"}).out, "/jobs/999999999/Documents\n");
}

TEST_F(Robustness, TheHostsReasonBehindANullDereferenceIsPrinted) {
  Put(".zarn/server/jobs", "not a folder");
  const Outcome outcome = Run({"create-job", "Fit"});
  EXPECT_EQ(outcome.exitCode, 1);
  EXPECT_EQ(outcome.err.rfind("error: 0x80004005: cannot make the server folder " + At(".zarn/server/jobs") + ": ", 0),
            0u)
      << outcome.err;
  EXPECT_NE(outcome.err.find(" (in the host's Cfx.CreateImpl; the library then raised 0x80004003: Null pointer "
                             "dereference.)"),
            std::string::npos)
      << outcome.err;
  EXPECT_EQ(Outcome::Lines(outcome.err).size(), 1u);
}

}  // namespace
}  // namespace zarnjobtest
