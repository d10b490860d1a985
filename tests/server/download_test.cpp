// DownloadFile against the fake host: the destination's path, the job's
// transfer, and how a failed download is reported.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ZarnServerJobUtils.h"
#include "fake_host/host.h"
#include "fake_host/raised.h"
#include "server/download_host.h"

namespace {

using fakehost::RaisedBy;
using servertest::DownloadHost;
using Lines = std::vector<std::string>;

const Lines kCalls{"dest.QueryInterface(ISBFileUrl)", "dest.ISBFileUrl.GetFilePath()",
                   "job.QueryInterface(ISBJobTransfer)",
                   R"(job.ISBJobTransfer.Download("/jobs/17/Documents/out.txt", "/c/Job17/out.txt", 1, 0))"};

TEST(DownloadFile, HandsTheSourceAndTheDestinationPathToTheJobsTransfer) {
  DownloadHost t;
  t.Download();
  EXPECT_EQ(t.host.Journal(), kCalls);
  EXPECT_TRUE(t.host.Balanced());
}

TEST(DownloadFile, ANullJobIsAMissingArgumentEvenWithANullDestination) {
  DownloadHost t;
  for (ISBUrl* destination : {t.destination.As<ISBUrl>(), static_cast<ISBUrl*>(nullptr)}) {
    const CfxResult result = RaisedBy([&] {
      const CfxBSTR source("a");
      AppUtils::Document::DownloadFile(source, destination, nullptr);
    });
    EXPECT_EQ(result.Code(), E_INVALIDARG);
    EXPECT_EQ(result.Description(), "Need a job to download a file");
    EXPECT_EQ(result.LastDescriptionAction(), 0);
  }
  EXPECT_TRUE(t.host.Journal().empty());
  EXPECT_TRUE(t.host.Balanced());
}

TEST(DownloadFile, ANullDestinationRaisesTheNullCheckAndTheJobIsNotAsked) {
  DownloadHost t;
  const CfxResult result = RaisedBy([&] {
    const CfxBSTR source("a");
    AppUtils::Document::DownloadFile(source, nullptr, t.job.As<ISBJob>());
  });
  EXPECT_EQ(result.Code(), E_POINTER);
  EXPECT_TRUE(t.host.Journal().empty());
  EXPECT_TRUE(t.host.Balanced());
}

TEST(DownloadFile, AFailedDownloadRaisesUnexpectedAndLeavesItsStatusAsTheLastError) {
  DownloadHost t;
  t.host.FailOp("Download", 1, E_ACCESSDENIED);
  const CfxResult result = RaisedBy([&] { t.Download(); });
  EXPECT_EQ(result.Code(), E_UNEXPECTED);
  EXPECT_EQ(result.Description(), "Failed to download file from server.\n");
  EXPECT_EQ(result.LastDescriptionAction(), 1);
  EXPECT_EQ(CfxResult::LastErrorCheckNotS_OK().Code(), E_ACCESSDENIED);
  EXPECT_EQ(t.host.Journal(), kCalls);
  EXPECT_TRUE(t.host.Balanced());
}

TEST(DownloadFile, APositiveStatusIsStoredAndNotRaised) {
  DownloadHost t;
  CfxResult::SetLastError(E_FAIL);
  t.host.FailOp("Download", 1, S_FALSE);
  t.Download();
  EXPECT_EQ(CfxResult::LastErrorCheckNotS_OK().Code(), S_FALSE);
  EXPECT_TRUE(t.host.Balanced());
}

TEST(DownloadFile, TheJobIsAskedOnlyAfterTheDestinationPathWasHad) {
  {
    DownloadHost t;
    t.host.FailOp("GetFilePath", 1, E_ACCESSDENIED);
    EXPECT_EQ(RaisedBy([&] { t.Download(); }).Code(), E_ACCESSDENIED);
    EXPECT_EQ(t.host.Journal(), (Lines{kCalls[0], kCalls[1]}));
    EXPECT_TRUE(t.host.Balanced());
  }
  {
    DownloadHost t;
    auto& folder = t.host.Make("folder");
    folder.Add<fakehost::FakeUrl>();
    const CfxResult result = RaisedBy([&] {
      const CfxBSTR source("a");
      AppUtils::Document::DownloadFile(source, folder.As<ISBUrl>(), t.job.As<ISBJob>());
    });
    EXPECT_EQ(result.Description(), QueryInterfaceFailure(E_NOINTERFACE, InterfaceIdOf<ISBFileUrl>).Description());
    EXPECT_EQ(t.host.Journal(), Lines{"folder.QueryInterface(ISBFileUrl)"});
    EXPECT_TRUE(t.host.Balanced());
  }
}

TEST(DownloadFile, AJobWithoutTransferRaisesTheQueryFailure) {
  DownloadHost t;
  auto& plainJob = t.host.Make("plain");
  plainJob.Add<fakehost::FakeJob>();
  const CfxResult result = RaisedBy([&] {
    const CfxBSTR source("a");
    AppUtils::Document::DownloadFile(source, t.destination.As<ISBUrl>(), plainJob.As<ISBJob>());
  });
  EXPECT_EQ(result.Code(), E_NOINTERFACE);
  EXPECT_EQ(result.Description(), QueryInterfaceFailure(E_NOINTERFACE, InterfaceIdOf<ISBJobTransfer>).Description());
  EXPECT_EQ(t.host.Journal(), (Lines{kCalls[0], kCalls[1], "plain.QueryInterface(ISBJobTransfer)"}));
  EXPECT_TRUE(t.host.Balanced());
}

}  // namespace
