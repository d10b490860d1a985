// Symbolic links in every direction: no command writes outside the project
// or the server folder through one, the server serves, copies and runs only
// its own files, and the host's own folders cannot be links out. Reading a
// project file through a link the user placed stays allowed.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/links.h"
#include "zarnjob/zarnjob_fixture.h"

namespace zarnjobtest {
namespace {

using Lines = std::vector<std::string>;
namespace fs = std::filesystem;

class Links : public Zarnjob {
 protected:
  void SetUp() override {
    if (const auto why = zarntest::LinksUnsupported()) GTEST_SKIP() << *why;
    zarntest::Put(outside_ / "secret.txt", "secret");
    zarntest::Put(outside_ / "dir/secret.abc", "secret");
  }
  // Expects the command to fail with a refusal that says `rule`, and that
  // nothing outside changed.
  void ExpectRefused(const Lines& arguments, const std::string& rule) {
    const Outcome outcome = Run(arguments);
    const std::string what = testing::PrintToString(arguments);
    EXPECT_EQ(outcome.exitCode, 1) << what;
    EXPECT_NE(outcome.err.find(rule), std::string::npos) << what << "\n" << outcome.err;
    EXPECT_EQ(zarntest::Tree(outside_.Path()), (Lines{"dir/", "dir/secret.abc", "secret.txt"})) << what;
  }
  void Link(const std::string& target, const std::string& relative) {
    fs::create_directories(zarntest::FsPath(At(relative)).parent_path());
    zarntest::MakeLink(target, At(relative));
  }
  std::string Outside(const std::string& relative = "") const {
    return relative.empty() ? outside_.Path() : outside_ / relative;
  }

  zarntest::TempFolder outside_;
};

TEST_F(Links, ADownloadThroughALinkedFolderOutOfTheProjectIsRefused) {
  EXPECT_EQ(Succeed({"create-job", "Fit"}).out, "1\n");
  zarntest::Put(ServerFile("/jobs/1/Documents/Results/r.txt"), "r");
  Link(Outside(), "Jobs/1/linkdir");
  ExpectRefused({"download", "1", "/jobs/1/Documents/Results/r.txt", "Jobs/1/linkdir/planted.txt"},
                "refused: the download destination " + At("Jobs/1/linkdir/planted.txt") + " (really " +
                    Outside("planted.txt") + ") is outside the project");
  Link(Outside("dir"), "Jobs/2");
  ExpectRefused({"download", "1", "/jobs/1/Documents/Results/r.txt", "Jobs/2/Results/r.txt"}, "is outside the project");
}

TEST_F(Links, TheServerServesOnlyItsOwnFiles) {
  EXPECT_EQ(Succeed({"create-job", "Fit"}).out, "1\n");
  Link(Outside("secret.txt"), ".zarn/server/jobs/1/Documents/Results/leak.txt");
  Link(Outside("dir"), ".zarn/server/jobs/1/Documents/Linked");
  const std::string rule = "(the server uses only files in its own folder)";
  ExpectRefused({"download", "1", "/jobs/1/Documents/Results/leak.txt", "Jobs/1/leak.txt"},
                "refused: the server file " + ServerFile("/jobs/1/Documents/Results/leak.txt") + " is really " +
                    Outside("secret.txt"));
  ExpectRefused({"download", "1", "/jobs/1/Documents/Linked/secret.abc", "Jobs/1/leak.txt"}, rule);
  EXPECT_FALSE(Read("Jobs/1/leak.txt"));
}

TEST_F(Links, RealPathNeverCopiesAFileFromOutsideThroughTheVirtualStore) {
  Link(Outside("dir"), ".zarn/virtual/V");
  ExpectRefused({"real-path", "V/secret.abc"}, "refused: the virtual document store " +
                                                   At(".zarn/virtual/V/secret.abc") + " is really " +
                                                   Outside("dir/secret.abc"));
  EXPECT_FALSE(Read(".zarn/workspace/secret.abc"));
}

TEST_F(Links, RunUsesOnlyInputsInsideTheServer) {
  EXPECT_EQ(Succeed({"create-job", "Fit"}).out, "1\n");
  Put("T.std", "t");
  Succeed({"stage", "1", "T.std"});
  const std::string inputs = ServerFile("/jobs/1/inputs");
  zarntest::Put(inputs, "../../../../../../../../.." + Outside("secret.txt") + "\t" + At("T.std") + "\n");
  ExpectRefused({"run", "1"}, "an input name may not climb");
  Link(Outside("dir"), ".zarn/server/jobs/1/Documents/In");
  zarntest::Put(inputs, "In/secret.abc\t" + At("T.std") + "\n");
  ExpectRefused({"run", "1"}, "refused: the input " + ServerFile("/jobs/1/Documents/In/secret.abc") + " is really " +
                                  Outside("dir/secret.abc"));
  EXPECT_FALSE(fs::exists(zarntest::FsPath(ServerFile("/jobs/1/Documents/Results/secret.abc.txt"))));
}

TEST_F(Links, StagingNeverWritesOutOfTheServerThroughALink) {
  EXPECT_EQ(Succeed({"create-job", "Fit", "--input-folder"}).out, "1\n");
  fs::remove(zarntest::FsPath(ServerFile("/jobs/1/Documents/Input")));
  Link(Outside(), ".zarn/server/jobs/1/Documents/Input");
  Put("T.std", "t");
  Put("T Files/a.txt", "a");
  ExpectRefused({"stage", "1", "T.std", "--input"}, "refused: the job input " +
                                                        ServerFile("/jobs/1/Documents/Input/T.std") +
                                                        " would be written at " + Outside("T.std"));
  fs::remove(zarntest::FsPath(ServerFile("/jobs/1/Documents/Input")));
  fs::create_directory(zarntest::FsPath(ServerFile("/jobs/1/Documents/Input")));
  Link(Outside(), ".zarn/server/jobs/1/Documents/Input/T Files");
  ExpectRefused({"stage", "1", "T.std", "--input"}, "would be written at " + Outside("a.txt"));
}

TEST_F(Links, AClientFolderMustLieInTheProjectOutsideTheStateFolder) {
  EXPECT_EQ(Succeed({"create-job", "Fit"}).out, "1\n");
  zarntest::Put(ServerFile("/jobs/1/Documents/Results/r.txt"), "r");
  const std::string job = ServerFile("/jobs/1/job");
  const std::string settings = zarntest::Read(job).value_or("");
  for (const std::string& folder : {At(".zarn"), At(".zarn/server"), Outside(), Project()}) {
    std::string changed = settings;
    const std::size_t at = changed.find("client-folder = ");
    changed.replace(at, changed.find('\n', at) - at, "client-folder = " + folder);
    zarntest::Put(job, changed);
    ExpectRefused({"client-url", "1", "/jobs/1/Documents/Results/r.txt"},
                  "refused: the client folder '" + folder + "' of job 1");
  }
  zarntest::Put(job, settings);
  fs::remove(zarntest::FsPath(At("Jobs/1")));
  Link(At(".zarn"), "Jobs/1");
  ExpectRefused({"client-url", "1", "/jobs/1/Documents/Results/r.txt"}, "outside its state folder .zarn/");
  // A client folder planted before its job is made stops the making.
  Link(Outside(), "Jobs/2");
  const Lines jobs = Tree(".zarn/server/jobs");
  ExpectRefused({"create-job", "Fit"},
                "refused: the client folder '" + At("Jobs/2") + "' of job 2 (really " + Outside() + ")");
  EXPECT_EQ(Tree(".zarn/server/jobs"), jobs) << "no job made";
}

TEST_F(Links, TheHostsOwnFoldersCannotBeLinksOut) {
  Put("a.txt", "a");
  Link(Outside(), ".zarn");
  ExpectRefused({"hide", "a.txt"}, "refused: the host's own folder " + At(".zarn") + " is really " + Outside());
  fs::remove(zarntest::FsPath(At(".zarn")));
  Link(Outside(), ".zarn/workspace");
  ExpectRefused({"view"}, "refused: the host's own folder " + At(".zarn/workspace"));
  fs::remove(zarntest::FsPath(At(".zarn/workspace")));
  Link(Outside(), ".zarn/server");
  ExpectRefused({"create-job", "Fit"}, "refused: the host's own folder " + At(".zarn/server"));
}

TEST_F(Links, ReadingAProjectFileThroughTheUsersOwnLinkStaysAllowed) {
  Link(Outside("secret.txt"), "R/linked.txt");
  EXPECT_EQ(Succeed({"import", "R/linked.txt"}).out, At("R/linked.txt") + "\n");
  EXPECT_EQ(Succeed({"view"}).OutLines(), (Lines{"R/", "R/linked.txt [locked by Corvane Server]"}));
  Put("T.std", "t");
  Link(Outside("dir"), "T Files/shared");
  EXPECT_EQ(Succeed({"create-job", "Fit"}).out, "1\n");
  Succeed({"stage", "1", "T.std"});
  EXPECT_EQ(zarntest::Read(ServerFile("/jobs/1/Documents/T Files/shared/secret.abc")), "secret");
  EXPECT_FALSE(fs::is_symlink(zarntest::FsPath(ServerFile("/jobs/1/Documents/T Files/shared"))))
      << "copied, not linked";
}

TEST_F(Links, ACompanionFolderThatLinksBackIntoItselfIsRefusedNotWalkedForever) {
  Put("T.std", "t");
  Put("T Files/a.txt", "a");
  Link(At("T Files"), "T Files/loop");
  EXPECT_EQ(Succeed({"create-job", "Fit"}).out, "1\n");
  const Outcome outcome = Run({"stage", "1", "T.std"});
  EXPECT_EQ(outcome.exitCode, 1);
  EXPECT_NE(outcome.err.find("refused: the folder " + At("T Files/loop") + " links back to " + At("T Files")),
            std::string::npos)
      << outcome.err;
}

}  // namespace
}  // namespace zarnjobtest
