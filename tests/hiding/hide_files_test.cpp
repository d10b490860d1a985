#include <gtest/gtest.h>

#include <cstdint>

#include <optional>

#include "ZarnServerJobUtils.h"
#include "hiding/hiding_project.h"

namespace {

using namespace hidingtest;
using AppUtils::Document::HideFiles;

struct TwoEntries : Project {
  TwoEntries() {
    Entry("e1", OLESTR("/p/one.abc"));
    Entry("e2", OLESTR("/p/sub dir"));
    folder.Get<FakeUrl>().query = OLESTR("Recursive=Yes");
  }
};

const Journal kTwoEntries{
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
    R"(factory.ISBUrlFactory.SetHidden("/p/sub dir", -1))",
};

TEST(HideFiles, HidesEachListedEntryInIndexOrderAndLeavesTheCallersQueryAlone) {
  for (const std::optional<int> count :
       {std::optional<int>(), std::optional<int>(0), std::optional<int>(-1), std::optional<int>(INT32_MIN)}) {
    TwoEntries project;
    project.list.Get<FakeUrlList>().count = count;
    HideFiles(project.Folder(), project.Container());
    EXPECT_EQ(project.host.Journal(), Journal(kTwoEntries.begin(), kTwoEntries.begin() + (count ? 4 : 12)));
    EXPECT_EQ(project.FolderQuery(), OLESTR("Recursive=Yes"));
    EXPECT_TRUE(project.host.Balanced());
  }
}

TEST(HideFiles, MissingArgumentsRaiseBeforeAnyHostCall) {
  Project project;
  try {
    HideFiles(nullptr, project.Container());
    ADD_FAILURE() << "no raise";
  } catch (const CfxResult& result) {
    EXPECT_EQ(result.Code(), E_INVALIDARG);
    EXPECT_EQ(result.Description(), "No files to hide");
  }
  EXPECT_EQ(CodeOf([&] { HideFiles(project.Folder(), nullptr); }), E_POINTER);
  EXPECT_EQ(project.host.CallCount(), 0);
}

TEST(HideFiles, AFailingSetHiddenKeepsEarlierMarksAndVisitsNoLaterEntry) {
  Project project;
  for (OLECHAR i = OLESTR('1'); i <= OLESTR('5'); ++i)
    project.Entry("e" + std::string(1, char(i)), OLESTR("/p/") + CfxWString(1, i));
  project.host.FailOp("SetHidden", 3, E_ACCESSDENIED);
  EXPECT_EQ(CodeOf([&] { HideFiles(project.Folder(), project.Container()); }), E_ACCESSDENIED);
  EXPECT_EQ(project.Hidden(), (std::vector<CfxWString>{OLESTR("/p/1"), OLESTR("/p/2")}));
  EXPECT_EQ(project.host.Journal().back(), R"(factory.ISBUrlFactory.SetHidden("/p/3", -1))");
  EXPECT_TRUE(project.host.Balanced());
}

TEST(HideFiles, EveryFailingHostCallEndsTheCallThereAndLeaksNothing) {
  for (std::size_t n = 1; n <= kTwoEntries.size(); ++n) {
    TwoEntries project;
    project.host.FailCall(static_cast<int>(n), E_FAIL);
    EXPECT_EQ(CodeOf([&] { HideFiles(project.Folder(), project.Container()); }), E_FAIL) << n;
    EXPECT_EQ(project.host.Journal(), Journal(kTwoEntries.begin(), kTwoEntries.begin() + n)) << n;
    EXPECT_TRUE(project.host.Balanced()) << n;
  }
}

TEST(HideFiles, ANullFactoryOrEntryRaisesTheNullCheckWithoutAQuery) {
  for (const bool noFactory : {true, false}) {
    TwoEntries project;
    if (noFactory) {
      project.container.Get<FakeContainerRoot>().urlFactory = nullptr;
    } else {
      project.list.Get<FakeUrlList>().items[0] = nullptr;
    }
    EXPECT_EQ(CodeOf([&] { HideFiles(project.Folder(), project.Container()); }), E_POINTER);
    EXPECT_EQ(project.host.Journal(), Journal(kTwoEntries.begin(), kTwoEntries.begin() + (noFactory ? 1 : 5)));
    EXPECT_TRUE(project.host.Balanced());
  }
}

}  // namespace
