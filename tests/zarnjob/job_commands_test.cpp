// Job preparation and server file access: create-job, documents-folder,
// stage, live, run, client-url, download.
#include <gtest/gtest.h>

#include "zarnjob/zarnjob_fixture.h"

namespace zarnjobtest {
namespace {

class JobCommands : public Zarnjob {
 protected:
  // The value of a setting in a job's state file on the server ("key = value").
  std::string Setting(const std::string& id, const std::string& key) const {
    const std::string prefix = key + " = ";
    for (const std::string& line : Outcome::Lines(zarntest::Read(ServerFile("/jobs/" + id + "/job")).value_or(""))) {
      if (line.rfind(prefix, 0) == 0) return line.substr(prefix.size());
    }
    return "(none)";
  }
  // A project with a study table and its companion folder, and job 1 made from it.
  void StageATable() {
    Put("Tables/T.std", "x\ny\n");
    Put("Tables/T Files/notes.txt", "notes");
    EXPECT_EQ(Succeed({"create-job", "Fit", "--input-folder"}).out, "1\n");
    Succeed({"stage", "1", "Tables/T.std", "--input"});
  }
};

TEST_F(JobCommands, CreateJobPrintsTheNewIdAloneAndTheJobHoldsWhatWasAsked) {
  EXPECT_EQ(Succeed({"create-job", "Fit", "--text", "fit \"it\"", "--input-folder"}).out, "1\n");
  EXPECT_EQ(Succeed({"create-job", "Other"}).out, "2\n");
  EXPECT_EQ(Setting("1", "state"), "initialized");
  EXPECT_EQ(Setting("1", "template"), "Fit");
  EXPECT_EQ(Setting("1", "input-folder"), "Input");
  EXPECT_EQ(Setting("2", "input-folder"), "");
  EXPECT_NE(Setting("1", "text").find("fit"), std::string::npos);
  EXPECT_EQ(Succeed({"documents-folder", "2"}).out, "/jobs/2/Documents\n");
}

TEST_F(JobCommands, TheServerOptionPutsJobsInAnotherFolder) {
  const zarntest::TempFolder server;
  EXPECT_EQ(Succeed({"--server", server.Path(), "create-job", "Fit"}).out, "1\n");
  EXPECT_TRUE(zarntest::Read(server / "jobs/1/job"));
  EXPECT_FALSE(zarntest::Read(ServerFile("/jobs/1/job")));
  const Outcome elsewhere = Run({"documents-folder", "1"});
  EXPECT_EQ(elsewhere.exitCode, 1) << "job 1 is not on the project's own server";
}

TEST_F(JobCommands, StageCopiesTheTableAndItsCompanionFolder) {
  StageATable();
  EXPECT_EQ(zarntest::Read(ServerFile("/jobs/1/Documents/Input/T.std")), "x\ny\n");
  EXPECT_EQ(zarntest::Read(ServerFile("/jobs/1/Documents/Input/T Files/notes.txt")), "notes");
}

TEST_F(JobCommands, LiveUpdatesStartAndStop) {
  EXPECT_EQ(Succeed({"create-job", "Fit"}).out, "1\n");
  EXPECT_EQ(Succeed({"live", "start", "1"}).out, "");
  EXPECT_EQ(Setting("1", "live-updates"), "on");
  EXPECT_EQ(Succeed({"live", "stop", "1"}).out, "");
  EXPECT_EQ(Setting("1", "live-updates"), "off");
}

TEST_F(JobCommands, RunMapAndDownloadTheResults) {
  StageATable();
  const Outcome ran = Succeed({"run", "1"});
  EXPECT_EQ(ran.OutLines(), (std::vector<std::string>{"/jobs/1/Documents/Results/inputs/Input/T.std.txt",
                                                      "/jobs/1/Documents/Results/summary.txt"}));
  EXPECT_EQ(Succeed({"client-url", "1", "/jobs/1/Documents/Results/inputs/Input/T.std.txt"}).out,
            At("Jobs/1/Results/inputs/Input/T.std.txt") + "\n");

  EXPECT_EQ(Succeed({"download", "1", "/jobs/1/Documents/Results/inputs/Input/T.std.txt",
                     "Jobs/1/Results/inputs/Input/T.std.txt"})
                .out,
            "");
  EXPECT_EQ(Read("Jobs/1/Results/inputs/Input/T.std.txt"),
            zarntest::Read(ServerFile("/jobs/1/Documents/Results/inputs/Input/T.std.txt")));
}

TEST_F(JobCommands, BadArgumentsAreClearErrorsAndWriteNothing) {
  StageATable();
  const std::vector<std::string> before = Tree();
  const struct {
    std::vector<std::string> arguments;
    std::string error;
  } cases[] = {
      {{"documents-folder", "9"}, "error: 0x80070002: no such job: 9 "},
      {{"live", "start", "x1"}, "error: 0x80070002: no such job: x1 "},
      {{"stage", "1", "Tables/Missing.std"}, "error: 0x80070002: "},
      {{"stage", "1", "/etc/hosts"}, "error: 0x80070057: not in the project " + Project() + ": /etc/hosts"},
      {{"client-url", "1", "/jobs/1/Elsewhere/a.txt"},
       "error: 0x80070057: File does not reside in server side documents folder."},
      {{"download", "1", "/jobs/1/Documents/Results/none.txt", "Jobs/1/none.txt"},
       "error: 0x8000FFFF: Failed to download file from server. (0x80070002: no such file on the server: "
       "/jobs/1/Documents/Results/none.txt)"},
      {{"download", "1", "/jobs/1/Documents/Input/T.std", "../outside.std"},
       "error: 0x80070057: not in the project " + Project() + ": ../outside.std"},
  };
  for (const auto& c : cases) {
    const Outcome outcome = Run(c.arguments);
    const std::string what = testing::PrintToString(c.arguments);
    EXPECT_EQ(outcome.exitCode, 1) << what;
    EXPECT_EQ(outcome.out, "") << what;
    EXPECT_EQ(outcome.err.rfind(c.error, 0), 0u) << what << "\n" << outcome.err;
    EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 1) << what << ": one line";
  }
  EXPECT_EQ(Tree(), before) << "failed commands leave the project as it was";
  EXPECT_FALSE(zarntest::Read(Project() + "/../outside.std"));
}

}  // namespace
}  // namespace zarnjobtest
