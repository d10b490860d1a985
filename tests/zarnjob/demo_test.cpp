// demo: the whole road, narrated, with every export's host calls in the
// trace right before the step that made them, and the project view at the end.
#include <gtest/gtest.h>

#include <filesystem>

#include "zarnjob/zarnjob_fixture.h"

namespace zarnjobtest {
namespace {

using Lines = std::vector<std::string>;

bool IsStep(const std::string& line) {
  return line.size() > 4 && std::isdigit(static_cast<unsigned char>(line[1])) && line.substr(2, 2) == ". ";
}

struct Step {
  std::string line;
  Lines calls;  // the trace lines written since the step before
};

// The narrated steps of a merged run, each with the trace that led to it.
std::vector<Step> StepsOf(const Lines& lines) {
  std::vector<Step> steps;
  Lines pending;
  for (const std::string& line : lines) {
    if (line.starts_with("trace: ")) {
      pending.push_back(line);
    } else if (IsStep(line)) {
      steps.push_back({line, std::exchange(pending, {})});
    }
  }
  return steps;
}

bool Contains(const Lines& calls, const std::string& text) {
  return std::any_of(calls.begin(), calls.end(),
                     [&](const std::string& c) { return c.find(text) != std::string::npos; });
}

class Demo : public Zarnjob {
 protected:
  std::string Folder() const { return At("demo project"); }
  Outcome RunDemo() {
    RunOptions options;
    options.workingFolder = Project();
    options.mergeStreams = true;
    return RunZarnjob({"--trace", "demo", Folder()}, options);
  }
};

TEST_F(Demo, WalksEveryExportWithItsHostCallsAndEndsWithTheProjectView) {
  const Outcome outcome = RunDemo();
  ASSERT_EQ(outcome.exitCode, 0) << outcome.out;
  const Lines lines = outcome.OutLines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), "Sample project: " + Folder());
  EXPECT_EQ(lines.back(), "trace: references outstanding: 0");

  // Each step: the export it names, and host calls that must lead up to it.
  const struct {
    std::string begins;
    Lines calls;  // empty: the step asks nothing of the host
  } expected[] = {
      {"ID2MessageString(0): no text", {}},
      {"ReadTemplate: Templates/fit.tpl read", {"ISBUrlFactory.CreateUrl(\"Templates/fit.tpl\") -> 0x00000000"}},
      {"CreateZarnServerJob: job 1 ",
       {"CfxCreateImpl({47376B53-F04A-422B-92BF-50B254AD15FA}, null, 21, ISBZarnServerJob, 0) -> 0x00000000",
        "ISBZarnServerJob.Initialize(<project " + Folder() + ">, <template \"Curve fit\">, empty, \"Input\")",
        "ISBZarnServerJob.SetJobText(\"Fit the growth curve\")"}},
      {"ServerDocumentsFolder: job 1 keeps its documents in /jobs/1/Documents",
       {"ISBZarnServerJob.GetDocumentsFolder()"}},
      {"UnescapeRFC1738: \"Growth%20Files\" is \"Growth Files\"", {}},
      {"AddStudyTableToJob: Tables/Growth.std is input Input/Growth.std",
       {"ISBZarnServerJob.AddInputFile(", "ISBJobFiles.CopyFiles(\"" + Folder() + "/Tables/Growth Files/*\""}},
      {"StartLiveUpdates: job 1", {"ISBJob.GetProperty(\"LiveUpdateMask\")", "ISBJob.BeginLiveUpdates("}},
      {"The local server ran job 1: 2 result documents", {}},
      {"DeduceClientUrl and DownloadFile: /jobs/1/Documents/Results/inputs/Input/Growth.std.txt is now "
       "Jobs/1/Results/inputs/Input/Growth.std.txt",
       {"ISBManagedJob.GetClientFolder()",
        "ISBJobTransfer.Download(\"/jobs/1/Documents/Results/inputs/Input/Growth.std.txt\""}},
      {"DeduceClientUrl and DownloadFile: /jobs/1/Documents/Results/summary.txt is now Jobs/1/Results/summary.txt",
       {"ISBJobTransfer.Download(\"/jobs/1/Documents/Results/summary.txt\""}},
      {"ImportAndView: Jobs/1/Results/summary.txt imported",
       {"AppUtils::Container::CreateOperation(", "AppUtils::Document::RegenerateDisplay(", "ISBViewManager.OpenView(",
        "ISBLockable.Lock(\"Corvane Server\")"}},
      {"RefreshResults: every document in Jobs/1/Results/", {"ISBUrlServices.ListUrls(", "ISBDocumentRoot.Show(-1)"}},
      {"SetDocumentLock: the 2 documents in Jobs/1/Results/ locked, then Jobs/1/Results/inputs/Input/Growth.std.txt "
       "unlocked",
       {"AppUtils::Container::GetDocumentManager(", "ISBLockable.Unlock(\"Corvane Server\") -> 0x00000000"}},
      {"GetPathToRealFile: the virtual document Reports/overview.rpt is in the real file .zarn/workspace/overview.rpt",
       {"AppUtils::Container::GetDocumentInfo(", "AppUtils::Container::GetDiskManager(",
        "ISBEnvironment.ExpandVariables(\"%WORKSPACE_FOLDER%/overview.rpt\")"}},
      {"HideFiles: hidden what Scratch/ lists: Scratch/old-1.tmp, Scratch/old-2.tmp",
       {"ISBUrlFactory.SetHidden(\"" + Folder() + "/Scratch/old-1.tmp\", 65535) -> 0x00000000"}},
      {"HideDependentFiles: hidden the dependent files of every document: Models/curve.fit, Models/curve.log, "
       "Tables/Growth Files (and the 3 entries inside)",
       {"Paths::Extension(\"" + Folder() + "/Models/curve.mdl\")", "Paths::ReplaceExtension(",
        "AppUtils::Container::FileExists(", "ISBFileTypes.GetDependentExtensions(\"mdl\")"}},
      {"StopLiveUpdates: job 1", {"ISBJob.EndLiveUpdates(\"1\")"}},
  };
  const std::vector<Step> steps = StepsOf(lines);
  ASSERT_EQ(steps.size(), std::size(expected)) << outcome.out;
  for (std::size_t i = 0; i < steps.size(); ++i) {
    EXPECT_EQ(steps[i].line.substr(4, expected[i].begins.size()), expected[i].begins) << steps[i].line;
    if (expected[i].calls.empty()) {
      EXPECT_EQ(steps[i].calls, Lines{}) << steps[i].line;
    }
    for (const std::string& call : expected[i].calls) {
      EXPECT_TRUE(Contains(steps[i].calls, "trace: " + call)) << steps[i].line << "\nmisses: " << call;
    }
  }
  EXPECT_FALSE(Contains(lines, "Cfx.CreateImpl")) << "the factory's report is the host's own";
  EXPECT_FALSE(Contains(lines, "ISBContainerRoot.CreateOperation")) << "a utility's host calls are its own";

  const auto view = std::find(lines.begin(), lines.end(), "Project view:");
  ASSERT_NE(view, lines.end());
  EXPECT_EQ(Lines(view + 1, lines.end() - 1), (Lines{
                                                  "  Jobs/",
                                                  "  Jobs/1/",
                                                  "  Jobs/1/Results/",
                                                  "  Jobs/1/Results/inputs/",
                                                  "  Jobs/1/Results/inputs/Input/",
                                                  "  Jobs/1/Results/inputs/Input/Growth.std.txt",
                                                  "  Jobs/1/Results/summary.txt [locked by Corvane Server]",
                                                  "  Models/",
                                                  "  Models/curve.fit [hidden]",
                                                  "  Models/curve.log [hidden]",
                                                  "  Models/curve.mdl",
                                                  "  Scratch/",
                                                  "  Scratch/old-1.tmp [hidden]",
                                                  "  Scratch/old-2.tmp [hidden]",
                                                  "  Tables/",
                                                  "  Tables/Growth Files/ [hidden]",
                                                  "  Tables/Growth Files/notes.txt [hidden]",
                                                  "  Tables/Growth Files/raw/ [hidden]",
                                                  "  Tables/Growth Files/raw/day1.csv [hidden]",
                                                  "  Tables/Growth.std",
                                                  "  Templates/",
                                                  "  Templates/fit.tpl",
                                              }));
  EXPECT_EQ(zarntest::Read(Folder() + "/Jobs/1/Results/summary.txt"),
            zarntest::Read(Folder() + "/.zarn/server/jobs/1/Documents/Results/summary.txt"));
}

TEST_F(Demo, MakesANewTemporaryFolderWhenNoneIsNamed) {
  RunOptions options;
  options.workingFolder = Project();
  options.temporaryFolder = Project();
  const Outcome outcome = RunZarnjob({"demo"}, options);
  ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
  EXPECT_EQ(outcome.err, "");
  const std::string first = outcome.OutLines().front();
  const std::string prefix = "Sample project: " + Project() + "/zarnjob-demo-";
  ASSERT_EQ(first.rfind(prefix, 0), 0u) << first;
  EXPECT_TRUE(zarntest::Read(first.substr(16) + "/Templates/fit.tpl"));
  EXPECT_EQ(outcome.OutLines().back(), "  Templates/fit.tpl");
}

TEST_F(Demo, RefusesAFolderThatIsNotEmpty) {
  Put("demo project/mine.txt", "mine");
  const Outcome outcome = Run({"demo", Folder()});
  EXPECT_EQ(outcome.exitCode, 1);
  EXPECT_EQ(outcome.out, "");
  EXPECT_NE(outcome.err.find("not empty: " + Folder()), std::string::npos) << outcome.err;
  EXPECT_EQ(Tree("demo project"), Lines{"mine.txt"});
}

}  // namespace
}  // namespace zarnjobtest
