// The sixteen exports against the local host, in a temporary project whose
// path carries a blank, '%', '#' and a non-ASCII letter. Each test checks
// what the exports leave on disk and in the project view; the fixture
// checks that no host object, host string or task-memory block is left over.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "ZarnServerJobUtils.h"
#include "host/container_utils.h"
#include "localhost_e2e/e2e_fixture.h"

namespace zarne2e {
namespace {

using namespace AppUtils::Document;

bool Mentions(const std::vector<std::string>& calls, const std::string& text) {
  return std::any_of(calls.begin(), calls.end(),
                     [&](const std::string& line) { return line.find(text) != std::string::npos; });
}

TEST_F(EndToEnd, ID2MessageStringAndUnescapingAskNothingOfTheHost) {
  for (const std::int32_t id : {0, 1, -1, 4096}) EXPECT_EQ(ID2MessageString(id), nullptr) << id;
  EXPECT_EQ(UnescapeRFC1738("Input/T%20Files%2541%zz"), "Input/T Files%41%zz");
  EXPECT_TRUE(Calls().empty());
  EXPECT_EQ(TreeOf("."), (std::vector<std::string>{".zarn/", ".zarn/filetypes"}));
}

TEST_F(EndToEnd, ATemplateIsReadLineByLineWithEveryLineEndedByLineFeed) {
  PutFile("Templates/fit plan.tpl", "first\r\nsecond\rthird");
  EXPECT_EQ(ReadTemplate(At("Templates/fit plan.tpl"), Root()), "first\nsecond\nthird\n");
  EXPECT_EQ(Calls().front().rfind("ISBContainerRoot.GetUrlFactory()", 0), 0u) << Calls().front();
  try {
    static_cast<void>(ReadTemplate(At("Templates/missing.tpl"), Root()));
    ADD_FAILURE() << "a missing template did not raise";
  } catch (const CfxResult& result) {
    EXPECT_LT(result.Code(), 0);
  }
}

// A job from creation to imported, refreshed and locked results.
TEST_F(EndToEnd, AJobFromStagingToImportedResults) {
  PutFile("Tables/T.std", "x\ny\n");
  PutFile("Tables/T Files/notes.txt", "notes");
  PutFile("Tables/T Files/deep/more.txt", "more");
  {
    CfxComPtr<ISBState> plan = zarnlocal::MakeJobTemplate("Fit");
    const CfxVariant argument{};
    CfxComPtr<ISBZarnServerJob> job = CreateZarnServerJob(argument, plan.get(), "fit the table", Root(), true);
    ASSERT_TRUE(job);
    EXPECT_EQ(ServerDocumentsFolder(job.get(), Root()).ToString(), "/jobs/1/Documents");

    AddStudyTableToJob(job.get(), Url("Tables/T.std").get(), Root(), nullptr, false, true);
    const zarnlocal::ServerJob handle = *zarnlocal::ServerJob::Of(job.get());
    EXPECT_EQ(handle.Inputs(), (std::vector<zarnlocal::JobInput>{{"Input/T.std", At("Tables/T.std")}}));

    StartLiveUpdates(handle.Job());
    EXPECT_EQ(handle.Setting("live-updates"), "on");

    const std::vector<std::string> results = handle.Run();
    ASSERT_EQ(results.size(), 2u);
    for (const std::string& result : results) {
      CfxComPtr<ISBUrl> destination = DeduceClientUrl(result, handle.ManagedJob(), Root());
      ASSERT_TRUE(destination);
      DownloadFile(CfxBSTR(result), destination.get(), handle.Job());
    }

    CfxComPtr<ISBDocumentRoot> imported =
        ImportAndView(Url("Jobs/1/Results/inputs/Input/T.std.txt").get(), true, Root());
    EXPECT_TRUE(imported);
    EXPECT_EQ(Project().LockOwners("Jobs/1/Results/inputs/Input/T.std.txt"),
              std::vector<std::string>{"Corvane Server"});

    // The listing decides: a folder's documents, those of its subfolders too.
    const std::string refreshed = "file:" + At("Jobs/1/Results/") + "?Recursive=Yes&Folders=No";
    RefreshResults(Url(refreshed).get(), false, Root());
    EXPECT_TRUE(Project().Locks().empty());
    SetDocumentLock(Url(refreshed).get(), true, Root());

    StopLiveUpdates(handle.Job());
    EXPECT_EQ(handle.Setting("live-updates"), "off");
  }

  EXPECT_EQ(
      zarntest::Tree(At(".zarn/server/jobs/1/Documents")),
      (std::vector<std::string>{"Input/", "Input/T Files/", "Input/T Files/deep/", "Input/T Files/deep/more.txt",
                                "Input/T Files/notes.txt", "Input/T.std", "Results/", "Results/inputs/",
                                "Results/inputs/Input/", "Results/inputs/Input/T.std.txt", "Results/summary.txt"}));
  EXPECT_EQ(TreeOf("Jobs/1"), (std::vector<std::string>{"Results/", "Results/inputs/", "Results/inputs/Input/",
                                                        "Results/inputs/Input/T.std.txt", "Results/summary.txt"}));
  EXPECT_EQ(ReadFile("Jobs/1/Results/inputs/Input/T.std.txt"), "Result of Input/T.std\njob: 1\nbytes: 4\nlines: 2\n");
  EXPECT_EQ(Project().LockOwners("Jobs/1/Results/inputs/Input/T.std.txt"), std::vector<std::string>{"Corvane Server"});
  EXPECT_EQ(Project().LockOwners("Jobs/1/Results/summary.txt"), std::vector<std::string>{"Corvane Server"});
  EXPECT_TRUE(Mentions(Calls(), "ISBJobFiles.CopyFiles"));

  // The next process finds the job and the locks as they were left.
  Open();
  const zarnlocal::ServerJob again = Project().OpenJob("1");
  EXPECT_EQ(again.State(), "finished");
  EXPECT_EQ(again.Setting("text"), "fit the table");
  EXPECT_EQ(Project().Locks().size(), 2u);
  { SetDocumentLock(Url("file:" + At("Jobs/1/Results/") + "?Recursive=Yes").get(), false, Root()); }
  EXPECT_TRUE(Project().Locks().empty());
}

TEST_F(EndToEnd, AServerPathOutsideTheDocumentsFolderIsRefusedBeforeAnythingIsWritten) {
  CfxComPtr<ISBState> plan = zarnlocal::MakeJobTemplate("Fit");
  const CfxVariant argument{};
  CfxComPtr<ISBZarnServerJob> job = CreateZarnServerJob(argument, plan.get(), "", Root(), false);
  const zarnlocal::ServerJob handle = *zarnlocal::ServerJob::Of(job.get());
  const std::pair<const char*, const char*> refused[] = {
      {"/jobs/1/Output/a.txt", "File does not reside in server side documents folder."},
      {"/jobs/1/Documents/../../escape.txt", "File path leaves the client folder of the job."},
  };
  for (const auto& [path, description] : refused) {
    try {
      static_cast<void>(DeduceClientUrl(path, handle.ManagedJob(), Root()));
      ADD_FAILURE() << path;
    } catch (const CfxResult& result) {
      EXPECT_EQ(result.Code(), E_INVALIDARG) << path;
      EXPECT_EQ(result.Description(), description);
    }
  }
  EXPECT_FALSE(ReadFile("escape.txt"));
  EXPECT_FALSE(ReadFile("Jobs/escape.txt"));
}

TEST_F(EndToEnd, AFailedDownloadRaisesAndLeavesNoFile) {
  CfxComPtr<ISBState> plan = zarnlocal::MakeJobTemplate("Fit");
  const CfxVariant argument{};
  CfxComPtr<ISBZarnServerJob> job = CreateZarnServerJob(argument, plan.get(), "", Root(), false);
  const zarnlocal::ServerJob handle = *zarnlocal::ServerJob::Of(job.get());
  CfxComPtr<ISBUrl> destination = DeduceClientUrl("/jobs/1/Documents/missing.txt", handle.ManagedJob(), Root());
  try {
    DownloadFile(CfxBSTR("/jobs/1/Documents/missing.txt"), destination.get(), handle.Job());
    ADD_FAILURE() << "no raise";
  } catch (const CfxResult& result) {
    EXPECT_EQ(result.Code(), E_UNEXPECTED);
    EXPECT_EQ(result.Description(), "Failed to download file from server.\n");
    EXPECT_LT(CfxResult::LastErrorCheckNotS_OK().Code(), 0);
  }
  EXPECT_FALSE(ReadFile("Jobs/1/missing.txt"));
  EXPECT_TRUE(TreeOf("Jobs/1").empty());
}

TEST_F(EndToEnd, AVirtualDocumentIsWrittenIntoTheWorkspaceForItsRealPath) {
  Project().MakeVirtualDocument("Models/v.abc", "virtual content");
  PutFile("Models/real.abc", "real content");
  const auto manager = AppUtils::Container::GetDocumentManager(Root());
  const auto realPathOf = [&](const char* relative) {
    CfxComPtr<ISBDocumentRoot> document;
    const CfxVariant empty{};
    EXPECT_EQ(manager->GetDocument(0, Url(relative).get(), empty, empty, empty, document.put()), S_OK);
    return GetPathToRealFile(document.get(), Root()).ToString();
  };
  const std::string virtualPath = realPathOf("Models/v.abc");
  EXPECT_NE(virtualPath.find("v.abc"), std::string::npos) << virtualPath;
  EXPECT_EQ(zarntest::Read(virtualPath), "virtual content");
  EXPECT_EQ(virtualPath.rfind(Project().WorkspaceFolder(), 0), 0u) << virtualPath;
  EXPECT_EQ(realPathOf("Models/real.abc"), At("Models/real.abc"));
}

TEST_F(EndToEnd, ListedAndDependentFilesAreHiddenAndTheMarksOutliveTheProcess) {
  PutFile("Logs/run.log", "log");
  PutFile("Logs/old/run0.log", "log");
  PutFile("Models/m.abc", "model");
  PutFile("Models/m.ghi", "dependent");
  PutFile("Models/T.std", "table");
  PutFile("Models/T_Files/a.txt", "a");
  PutFile("Models/Sub/n.abc", "model");
  PutFile("Models/Sub/n.def", "dependent");

  HideFiles(Url("Logs/").get(), Root());
  HideDependentFiles(Url("Models/").get(), Root(), false);
  EXPECT_EQ(Project().HiddenEntries(), (std::vector<std::string>{"Logs/old", "Logs/run.log", "Models/T_Files",
                                                                 "Models/T_Files/a.txt", "Models/m.ghi"}));

  Open();
  HideDependentFiles(Url("Models/").get(), Root(), true);
  EXPECT_TRUE(Project().IsHidden("Models/Sub/n.def"));
  EXPECT_FALSE(Project().IsHidden("Models/m.abc"));
  EXPECT_TRUE(Project().IsHidden("Logs/run.log"));
}

}  // namespace
}  // namespace zarne2e
