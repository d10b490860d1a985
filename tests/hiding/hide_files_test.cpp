#include <gtest/gtest.h>

#include "ZarnServerJobUtils.h"
#include "hiding/hiding_project.h"

namespace {

using namespace hidingtest;
using AppUtils::Document::HideFiles;

struct ThreeEntries : Project {
  ThreeEntries() {
    Entry("e1", u"/p/one.abc");
    Entry("e2", u"/p/two");
    Entry("e3", u"/p/sub dir");
  }
};

const Journal kThreeEntries{
    "container.ISBContainerRoot.GetUrlFactory()",
    "factory.QueryInterface(ISBUrlServices)",
    "factory.ISBUrlServices.ListUrls(folder)",
    "list.ISBUrlList.GetCount()",
    "list.ISBUrlList.GetItem(1)",
    "e1.QueryInterface(ISBFileUrl)",
    "e1.ISBFileUrl.GetFilePath()",
    R"(factory.ISBUrlFactory.SetHidden("/p/one.abc", -1))",
    "list.ISBUrlList.GetItem(2)",
    "e2.QueryInterface(ISBFileUrl)",
    "e2.ISBFileUrl.GetFilePath()",
    R"(factory.ISBUrlFactory.SetHidden("/p/two", -1))",
    "list.ISBUrlList.GetItem(3)",
    "e3.QueryInterface(ISBFileUrl)",
    "e3.ISBFileUrl.GetFilePath()",
    R"(factory.ISBUrlFactory.SetHidden("/p/sub dir", -1))",
};

TEST(HideFiles, HidesEachListedEntryInIndexOrderByItsOwnPathAndLeavesTheQueryAlone) {
  ThreeEntries project;
  project.folder.Get<FakeUrl>().query = u"Recursive=Yes";
  HideFiles(project.Folder(), project.Container());
  EXPECT_EQ(project.host.Journal(), kThreeEntries);
  EXPECT_EQ(project.FolderQuery(), u"Recursive=Yes");
  EXPECT_TRUE(project.host.Balanced());
}

TEST(HideFiles, ANullLocationRaisesBeforeAnyHostCall) {
  Project project;
  try {
    HideFiles(nullptr, project.Container());
    ADD_FAILURE() << "no raise";
  } catch (const CfxResult& result) {
    EXPECT_EQ(result.Code(), E_INVALIDARG);
    EXPECT_EQ(result.Description(), "No files to hide");
    EXPECT_EQ(result.LastDescriptionAction(), 0);
  }
  EXPECT_EQ(project.host.CallCount(), 0);
  EXPECT_TRUE(project.host.Balanced());
}

TEST(HideFiles, ACountBelowOneHidesNothing) {
  for (const int count : {0, -1}) {
    ThreeEntries project;
    project.list.Get<FakeUrlList>().count = count;
    HideFiles(project.Folder(), project.Container());
    EXPECT_EQ(project.host.Journal(), Journal(kThreeEntries.begin(), kThreeEntries.begin() + 4)) << count;
    EXPECT_TRUE(project.Hidden().empty()) << count;
    EXPECT_TRUE(project.host.Balanced()) << count;
  }
}

TEST(HideFiles, AFailingSetHiddenKeepsEarlierMarksAndVisitsNoLaterEntry) {
  Project project;
  for (int i = 1; i <= 5; ++i) project.Entry("e" + std::to_string(i), u"/p/" + std::u16string(1, u'0' + i));
  project.host.FailOp("SetHidden", 3, E_ACCESSDENIED);
  EXPECT_EQ(CodeOf([&] { HideFiles(project.Folder(), project.Container()); }), E_ACCESSDENIED);
  EXPECT_EQ(project.Hidden(), (std::vector<std::u16string>{u"/p/1", u"/p/2"}));
  EXPECT_EQ(project.host.Journal().back(), R"(factory.ISBUrlFactory.SetHidden("/p/3", -1))");
  EXPECT_TRUE(project.host.Balanced());
}

TEST(HideFiles, EveryFailingHostCallEndsTheCallThereAndLeaksNothing) {
  for (std::size_t n = 1; n <= kThreeEntries.size(); ++n) {
    ThreeEntries project;
    project.host.FailCall(static_cast<int>(n), E_FAIL);
    EXPECT_EQ(CodeOf([&] { HideFiles(project.Folder(), project.Container()); }), E_FAIL) << n;
    EXPECT_EQ(project.host.Journal(), Journal(kThreeEntries.begin(), kThreeEntries.begin() + n)) << n;
    EXPECT_TRUE(project.host.Balanced()) << n;
  }
}

TEST(HideFiles, APositiveStatusIsStoredAndTheWalkGoesOn) {
  ThreeEntries project;
  project.host.FailOp("SetHidden", 1, S_FALSE);
  HideFiles(project.Folder(), project.Container());
  EXPECT_EQ(project.host.Journal(), kThreeEntries);
  EXPECT_EQ(CfxResult::LastErrorCheckNotS_OK().Code(), S_FALSE);
  EXPECT_TRUE(project.host.Balanced());
}

TEST(HideFiles, MissingReferencesRaiseTheNullCheck) {
  {
    Project project;
    EXPECT_EQ(CodeOf([&] { HideFiles(project.Folder(), nullptr); }), E_POINTER);
    EXPECT_EQ(project.host.CallCount(), 0);
  }
  {
    // No factory: no query is made and the listing cannot be asked for.
    Project project;
    project.container.Get<FakeContainerRoot>().urlFactory = nullptr;
    EXPECT_EQ(CodeOf([&] { HideFiles(project.Folder(), project.Container()); }), E_POINTER);
    EXPECT_EQ(project.host.Journal(), Journal{"container.ISBContainerRoot.GetUrlFactory()"});
    EXPECT_TRUE(project.host.Balanced());
  }
  {
    // A null entry is not queried.
    Project project;
    project.list.Get<FakeUrlList>().items.push_back(nullptr);
    EXPECT_EQ(CodeOf([&] { HideFiles(project.Folder(), project.Container()); }), E_POINTER);
    EXPECT_EQ(project.host.Journal().back(), "list.ISBUrlList.GetItem(1)");
    EXPECT_TRUE(project.host.Balanced());
  }
}

TEST(HideFiles, AFactoryWithoutListingServiceRaisesTheQueryFailure) {
  Project project;
  project.host.FailOp("QueryInterface(ISBUrlServices)", 1, E_NOINTERFACE);
  EXPECT_EQ(CodeOf([&] { HideFiles(project.Folder(), project.Container()); }), E_NOINTERFACE);
  EXPECT_EQ(project.host.Journal().size(), 2U);
  EXPECT_TRUE(project.host.Balanced());
}

}  // namespace
