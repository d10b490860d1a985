// DeduceClientUrl against the fake host: the tail after "Documents", the
// client folder in front, and server paths that must not be followed.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "ZarnServerJobUtils.h"
#include "fake_host/code_page.h"
#include "fake_host/host.h"
#include "fake_host/raised.h"
#include "server/client_url_host.h"

namespace {

using fakehost::RaisedBy;
using servertest::ClientUrlHost;
using Lines = std::vector<std::string>;

constexpr const char* kOutside = "File does not reside in server side documents folder.";

TEST(DeduceClientUrl, PutsTheClientFolderBeforeTheTailAndHandsOverTheLocation) {
  ClientUrlHost t;
  t.Expect(OLESTR("file:C:/Projects/P1/Job17/Results/out.txt"));
  {
    const CfxComPtr<ISBUrl> url = t.Deduce("/jobs/17/Documents/Results/out.txt");
    EXPECT_EQ(url.get(), t.made.As<ISBUrl>());
    EXPECT_EQ(t.made.Refs(), 2) << "the caller owns one reference";
  }
  EXPECT_EQ(t.host.Journal(),
            (Lines{"root.ISBContainerRoot.GetUrlFactory()", "job.ISBManagedJob.GetClientFolder()",
                   R"(factory.ISBUrlFactory.CreateUrl("file:C:/Projects/P1/Job17/Results/out.txt"))"}));
  EXPECT_TRUE(t.host.Balanced());
}

TEST(DeduceClientUrl, TailsAreTakenAsTheyAre) {
  struct Case {
    std::string serverPath;
    CfxWString clientFolder;
    CfxWString url;
  };
  const std::vector<Case> cases{
      {"/x/MyDocumentsOld/a.txt", OLESTR("C:/J"), OLESTR("file:C:/JOld/a.txt")},
      {"/x/Documents/Documents/a.txt", OLESTR("C:/J"), OLESTR("file:C:/J/Documents/a.txt")},
      {"/x/Documents", OLESTR("C:/J"), OLESTR("file:C:/J")},
      {"\\\\srv\\Documents\\sub\\a.txt", OLESTR("C:/J"), OLESTR("file:C:/J\\sub\\a.txt")},
      {"/x/Documents/a.txt", OLESTR("C:/J/"), OLESTR("file:C:/J//a.txt")},
      {"/x/Documents/a..b/..c/d..", OLESTR("C:/J"), OLESTR("file:C:/J/a..b/..c/d..")},
      {"/x/Documents/./a", OLESTR("C:/J"), OLESTR("file:C:/J/./a")},
      // Climbing back down into the client folder stays in it.
      {"/jobs/1/Documents/a/../b.txt", OLESTR("C:/J"), OLESTR("file:C:/J/a/../b.txt")},
      {"/x/Documents/a/..", OLESTR("C:/J"), OLESTR("file:C:/J/a/..")},
      {"/x/Documents/sub\\..\\c/./d/../e", OLESTR("C:/J"), OLESTR("file:C:/J/sub\\..\\c/./d/../e")},
      // A tail glued to the folder's name only lengthens that name.
      {"/x/Documents..", OLESTR("C:/J"), OLESTR("file:C:/J..")},
      {"/x/Documents../x.txt", OLESTR("C:/J"), OLESTR("file:C:/J../x.txt")},
      // Escapes are passed on as they are; decoded, these stay inside.
      {"/x/Documents/%2E/a%2Fb/%2e%2E", OLESTR("C:/J"), OLESTR("file:C:/J/%2E/a%2Fb/%2e%2E")},
  };
  for (const Case& c : cases) {
    ClientUrlHost t;
    t.job.Get<fakehost::FakeManagedJob>().clientFolder = c.clientFolder;
    t.Expect(c.url);
    {
      const CfxComPtr<ISBUrl> url = t.Deduce(c.serverPath);
      EXPECT_EQ(url.get(), t.made.As<ISBUrl>()) << c.serverPath;
    }
    EXPECT_TRUE(t.host.Balanced()) << c.serverPath;
  }
}

TEST(DeduceClientUrl, TheClientFolderAndTheTailTravelInTheApplicationsCodePage) {
  // The server path is narrow text of the application: "\xE9" is one byte in
  // Windows-1252, and the client folder must be narrowed the same way.
  fakehost::CodePage windows1252(kCfxCodePageWindows1252);
  ClientUrlHost t;
  t.job.Get<fakehost::FakeManagedJob>().clientFolder = OLESTR("C:/Projets/\u00D6l");
  t.Expect(OLESTR("file:C:/Projets/\u00D6l/R\u00E9sultats/out.txt"));
  {
    const CfxComPtr<ISBUrl> url = t.Deduce("/jobs/17/Documents/R\xE9sultats/out.txt");
    EXPECT_EQ(url.get(), t.made.As<ISBUrl>());
  }
  EXPECT_TRUE(t.host.Balanced());
}

TEST(DeduceClientUrl, PathsOutsideTheDocumentsFolderRaiseAfterTheFactoryBeforeTheJob) {
  const std::string kLeaves = "File path leaves the client folder of the job.";
  // No marker (case counts), or a tail that climbs above the client folder
  // once resolved; a tail glued to the folder's name adds no level.
  const std::vector<std::pair<std::string, std::string>> cases{
      {"/x/documents/a.txt", kOutside},
      {"/x/DOCUMENTS/a.txt", kOutside},
      {"", kOutside},
      {"/x/Documents/../a.txt", kLeaves},
      {"/x/Documents/a/../../b", kLeaves},
      {"/x/Documents\\..\\a.txt", kLeaves},
      {"/x/Documents../..", kLeaves},
      {"/jobs/1/Documents/%2E%2E/%2E%2E/x", kLeaves},
      {"/x/Documents/%2e%2E/a", kLeaves},
      {"/x/Documents/a%2F..%2F..%2Fb", kLeaves},
      {"/x/Documents%5C..%5Ca", kLeaves},
      {"/x/Documents/./../a", kLeaves},
      {"/x/Documents/a/./../b/../..", kLeaves},
      {"/x/MyDocumentsOld/../a", kLeaves},
  };
  for (const auto& [path, description] : cases) {
    ClientUrlHost t;
    const CfxResult result = RaisedBy([&] { t.Deduce(path); });
    EXPECT_EQ(result.Code(), E_INVALIDARG) << path;
    EXPECT_EQ(result.Description(), description) << path;
    EXPECT_EQ(result.LastDescriptionAction(), 0) << path;
    EXPECT_EQ(t.host.Journal(), Lines{"root.ISBContainerRoot.GetUrlFactory()"}) << path;
    EXPECT_TRUE(t.host.Balanced()) << path;
  }
}

TEST(DeduceClientUrl, NullArgumentsRaiseTheNullCheckBeforeTheirFirstUse) {
  {
    ClientUrlHost t;
    const CfxResult result =
        RaisedBy([&] { AppUtils::Document::DeduceClientUrl("/Documents/a", t.job.As<ISBManagedJob>(), nullptr); });
    EXPECT_EQ(result.Code(), E_POINTER);
    EXPECT_TRUE(t.host.Journal().empty());
    EXPECT_TRUE(t.host.Balanced());
  }
  {
    ClientUrlHost t;
    const CfxResult result =
        RaisedBy([&] { AppUtils::Document::DeduceClientUrl("/Documents/a", nullptr, t.root.As<ISBContainerRoot>()); });
    EXPECT_EQ(result.Code(), E_POINTER);
    EXPECT_EQ(t.host.Journal(), Lines{"root.ISBContainerRoot.GetUrlFactory()"});
    EXPECT_TRUE(t.host.Balanced());
  }
}

TEST(DeduceClientUrl, AnEmptyFactoryRaisesAfterTheClientFolderWasAsked) {
  ClientUrlHost t;
  t.root.Get<fakehost::FakeContainerRoot>().urlFactory = nullptr;
  EXPECT_EQ(RaisedBy([&] { t.Deduce("/x/Documents/a"); }).Code(), E_POINTER);
  EXPECT_EQ(t.host.Journal(), (Lines{"root.ISBContainerRoot.GetUrlFactory()", "job.ISBManagedJob.GetClientFolder()"}));
  EXPECT_TRUE(t.host.Balanced());
}

TEST(DeduceClientUrl, NoLocationFromTheFactoryIsAnEmptyResult) {
  ClientUrlHost t;
  {
    const CfxComPtr<ISBUrl> url = t.Deduce("/x/Documents/a");
    EXPECT_FALSE(url);
  }
  EXPECT_EQ(t.host.Journal().size(), 3u);
  EXPECT_TRUE(t.host.Balanced());
}

TEST(DeduceClientUrl, AFailingHostCallRaisesItsStatusAndNothingLeaks) {
  const Lines calls{"root.ISBContainerRoot.GetUrlFactory()", "job.ISBManagedJob.GetClientFolder()",
                    R"(factory.ISBUrlFactory.CreateUrl("file:C:/Projects/P1/Job17/a"))"};
  for (std::size_t failing = 0; failing < calls.size(); ++failing) {
    ClientUrlHost t;
    t.Expect(OLESTR("file:C:/Projects/P1/Job17/a"));
    t.host.FailCall(static_cast<int>(failing) + 1, E_ACCESSDENIED);
    EXPECT_EQ(RaisedBy([&] { t.Deduce("/x/Documents/a"); }).Code(), E_ACCESSDENIED) << calls[failing];
    EXPECT_EQ(t.host.Journal(), Lines(calls.begin(), calls.begin() + static_cast<long>(failing) + 1));
    EXPECT_TRUE(t.host.Balanced()) << calls[failing];
  }
}

TEST(DeduceClientUrl, AFailingStringAllocationLeaksNothing) {
  {  // the host cannot give the client folder: its status
    ClientUrlHost t;
    t.host.FailAllocation(1);
    EXPECT_EQ(RaisedBy([&] { t.Deduce("/x/Documents/a"); }).Code(), E_OUTOFMEMORY);
    EXPECT_EQ(t.host.Journal().size(), 2u);
    EXPECT_TRUE(t.host.Balanced());
  }
  {  // the URL text cannot be built: the standard exception, CreateUrl not called
    ClientUrlHost t;
    t.host.FailAllocation(2);
    EXPECT_THROW(t.Deduce("/x/Documents/a"), std::bad_alloc);
    EXPECT_EQ(t.host.Journal().size(), 2u);
    EXPECT_TRUE(t.host.Balanced());
  }
}

}  // namespace
