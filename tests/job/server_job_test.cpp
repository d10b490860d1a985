#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ZarnServerJobUtils.h"
#include "fake_host/host.h"
#include "fake_host/raised.h"
#include "job/job_scene.h"

namespace {

using AppUtils::Document::CreateZarnServerJob;
using AppUtils::Document::ServerDocumentsFolder;
using fakehost::FakeContainerRoot;
using fakehost::FakeJobHost;
using fakehost::FakeState;
using fakehost::FakeZarnServerJob;
using fakehost::Host;
using fakehost::Object;
using jobtest::JobSetup;
using Lines = std::vector<std::string>;

const std::string kCreate = "CfxCreateImpl({47376B53-F04A-422B-92BF-50B254AD15FA}, null, 21, ISBZarnServerJob, 0)";

using fakehost::RaisedBy;

TEST(CreateZarnServerJob, CreatesInitialisesAndGivesTheJobItsText) {
  struct Row {
    bool useInputFolder;
    const char* argument;  // null: an empty variant
    std::string jobText;
    Lines journal;
  };
  const Row rows[] = {
      {true,
       "run 7",
       // Narrow text is in the application's code page; the journal shows UTF-8.
       CfxWideToCodePage(OLESTR("Lauf \u00FC")),
       {kCreate, "root.QueryInterface(ISBJobHost)",
        "job.ISBZarnServerJob.Initialize(root, state, \"run 7\", \"Input\")",
        "job.ISBZarnServerJob.SetJobText(\"Lauf \\xC3\\xBC\")"}},
      {false,
       nullptr,
       "",
       {kCreate, "root.QueryInterface(ISBJobHost)", "job.ISBZarnServerJob.Initialize(root, state, empty, null)",
        "job.ISBZarnServerJob.SetJobText(null)"}},
  };
  for (const Row& row : rows) {
    JobSetup setup;
    {
      CfxVariant argument;
      if (row.argument) argument.Set(CfxBSTR(row.argument));
      const BSTR held = argument.bstrVal;

      CfxComPtr<ISBZarnServerJob> created =
          CreateZarnServerJob(argument, setup.State(), row.jobText, setup.Root(), row.useInputFolder);

      EXPECT_EQ(created.get(), setup.job.As<ISBZarnServerJob>());
      EXPECT_EQ(setup.job.Refs(), 2) << "exactly one reference goes to the caller";
      EXPECT_EQ(argument.vt, row.argument ? VT_BSTR : VT_EMPTY) << "the caller's argument stays its own";
      EXPECT_EQ(argument.bstrVal, held);
      EXPECT_EQ(setup.host.Journal(), row.journal);
    }
    EXPECT_TRUE(setup.host.Balanced());
  }
}

TEST(CreateZarnServerJob, NoTemplateStateRaisesInvalidArgBeforeAnyHostCall) {
  JobSetup setup;
  const CfxResult raised =
      RaisedBy([&] { static_cast<void>(CreateZarnServerJob(CfxVariant(), nullptr, "text", setup.Root(), true)); });
  EXPECT_EQ(raised.Code(), E_INVALIDARG);
  EXPECT_EQ(raised.Description(), "No job template state provided.");
  EXPECT_EQ(setup.host.CallCount(), 0);
  EXPECT_TRUE(setup.host.Balanced());
}

TEST(CreateZarnServerJob, WithoutAContainerTheJobGetsNoJobHostAndNothingIsQueried) {
  JobSetup setup;
  {
    const auto created = CreateZarnServerJob(CfxVariant(), setup.State(), "t", nullptr, true);
    EXPECT_TRUE(created);
  }
  EXPECT_EQ(setup.host.Journal(), (Lines{kCreate, "job.ISBZarnServerJob.Initialize(null, state, empty, \"Input\")",
                                         "job.ISBZarnServerJob.SetJobText(\"t\")"}));
  EXPECT_TRUE(setup.host.Balanced());
}

TEST(CreateZarnServerJob, ACreationThatMakesNothingStillQueriesTheContainerThenFailsTheNullCheck) {
  for (const HRESULT creation : {S_OK, E_OUTOFMEMORY}) {
    JobSetup setup;
    setup.host.createdJob = nullptr;
    if (creation != S_OK) {
      setup.host.createdJob = &setup.job;
      setup.host.FailOp("CfxCreateImpl", 1, creation);
    }
    const CfxResult raised = RaisedBy(
        [&] { static_cast<void>(CreateZarnServerJob(CfxVariant(), setup.State(), "t", setup.Root(), false)); });
    EXPECT_EQ(raised.Code(), E_POINTER) << creation;
    EXPECT_EQ(setup.host.Journal(), (Lines{kCreate, "root.QueryInterface(ISBJobHost)"})) << creation;
    EXPECT_TRUE(setup.host.Balanced());
  }
}

TEST(CreateZarnServerJob, AFailureAfterCreationReleasesTheNewJob) {
  struct Row {
    const char* failing;
    HRESULT status;
    Lines journal;
  };
  const Row rows[] = {
      {"QueryInterface(ISBJobHost)", E_NOINTERFACE, {kCreate, "root.QueryInterface(ISBJobHost)"}},
      {"Initialize",
       E_FAIL,
       {kCreate, "root.QueryInterface(ISBJobHost)", "job.ISBZarnServerJob.Initialize(root, state, empty, null)"}},
      {"SetJobText",
       E_ACCESSDENIED,
       {kCreate, "root.QueryInterface(ISBJobHost)", "job.ISBZarnServerJob.Initialize(root, state, empty, null)",
        "job.ISBZarnServerJob.SetJobText(\"t\")"}},
  };
  for (const Row& row : rows) {
    JobSetup setup;
    setup.host.FailOp(row.failing, 1, row.status);
    const CfxResult raised = RaisedBy(
        [&] { static_cast<void>(CreateZarnServerJob(CfxVariant(), setup.State(), "t", setup.Root(), false)); });
    EXPECT_EQ(raised.Code(), row.status) << row.failing;
    EXPECT_EQ(setup.host.Journal(), row.journal) << row.failing;
    EXPECT_TRUE(setup.host.Balanced()) << row.failing;
  }
}

TEST(ServerDocumentsFolder, GivesTheJobsFolderTextUnchangedWhateverTheContainer) {
  for (const OLECHAR* folder : {OLESTR("\\\\server\\share\\job 7\\Documents"), OLESTR("")}) {
    JobSetup setup;
    setup.job.Get<FakeZarnServerJob>().documentsFolder = folder;
    for (ISBContainerRoot* root : {setup.Root(), static_cast<ISBContainerRoot*>(nullptr)}) {
      const CfxBSTR text = ServerDocumentsFolder(setup.job.As<ISBZarnServerJob>(), root);
      EXPECT_EQ(text, CfxWStringView(folder));
    }
    EXPECT_EQ(setup.host.Journal(),
              (Lines{"job.ISBZarnServerJob.GetDocumentsFolder()", "job.ISBZarnServerJob.GetDocumentsFolder()"}));
    EXPECT_TRUE(setup.host.Balanced());
  }
}

TEST(ServerDocumentsFolder, ANullJobRaisesInvalidArgAndAFailingJobItsLastError) {
  JobSetup setup;
  const CfxResult noJob = RaisedBy([&] { static_cast<void>(ServerDocumentsFolder(nullptr, setup.Root())); });
  EXPECT_EQ(noJob.Code(), E_INVALIDARG);
  EXPECT_EQ(noJob.Description(), "Need a job to name its server documents folder");
  EXPECT_EQ(setup.host.CallCount(), 0);

  setup.host.FailOp("GetDocumentsFolder", 1, E_ACCESSDENIED);
  const CfxResult failed =
      RaisedBy([&] { static_cast<void>(ServerDocumentsFolder(setup.job.As<ISBZarnServerJob>(), setup.Root())); });
  EXPECT_EQ(failed.Code(), E_ACCESSDENIED);
  EXPECT_TRUE(setup.host.Balanced());
}

}  // namespace
