#include <gtest/gtest.h>

#include <algorithm>

#include "ZarnServerJobUtils.h"
#include "fake_host/code_page.h"
#include "hiding/hiding_project.h"
#include "hiding/hiding_scenes.h"

namespace {

using namespace hidingtest;
using AppUtils::Document::HideDependentFiles;

Journal Concat(std::initializer_list<Journal> parts) {
  Journal all;
  for (const Journal& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

const Journal kUpToTheSpaceFolder{
    "container.ISBContainerRoot.GetUrlFactory()",
    "factory.QueryInterface(ISBUrlServices)",
    R"(folder.ISBUrl.SetQuery("Recursive=No"))",
    "factory.ISBUrlServices.ListUrls(folder)",
    "container.ISBContainerRoot.GetDocumentManager()",
    "list.ISBUrlList.GetCount()",
    "list.ISBUrlList.GetItem(1)",
    "documents.ISBDocumentManager.GetDocumentType(T)",
    "T.ISBUrl.GetName()",
    R"(T.ISBUrl.CreateChildUrl("T Files/"))",
    "space.QueryInterface(ISBFileUrl)",
    "space.ISBFileUrl.Exists()",
};
const Journal kTheUnderscoreFolder{
    R"(T.ISBUrl.CreateChildUrl("T_Files/"))",
    "underscore.QueryInterface(ISBFileUrl)",
    "underscore.ISBFileUrl.Exists()",
};
const Journal kHideTheSpaceFolder{
    "space.ISBFileUrl.GetFilePath()",
    R"(factory.ISBUrlFactory.SetHidden("/p/T Files", -1))",
    "factory.QueryInterface(ISBUrlServices)",
    R"(space.ISBUrl.CreateChildUrl("*"))",
    R"(spaceAll.ISBUrl.SetQuery("Recursive=Yes"))",
    "factory.ISBUrlServices.ListUrls(spaceAll)",
    "spaceContent.ISBUrlList.GetCount()",
    "spaceContent.ISBUrlList.GetItem(1)",
    "c1.QueryInterface(ISBFileUrl)",
    "c1.ISBFileUrl.GetFilePath()",
    R"(factory.ISBUrlFactory.SetHidden("/p/T Files/a", -1))",
    "spaceContent.ISBUrlList.GetItem(2)",
    "c2.QueryInterface(ISBFileUrl)",
    "c2.ISBFileUrl.GetFilePath()",
    R"(factory.ISBUrlFactory.SetHidden("/p/T Files/sub/b", -1))",
};
const Journal kHideTheUnderscoreFolder{
    "underscore.ISBFileUrl.GetFilePath()",
    R"(factory.ISBUrlFactory.SetHidden("/p/T_Files", -1))",
    "factory.QueryInterface(ISBUrlServices)",
    R"(underscore.ISBUrl.CreateChildUrl("*"))",
    R"(underscoreAll.ISBUrl.SetQuery("Recursive=Yes"))",
    "factory.ISBUrlServices.ListUrls(underscoreAll)",
    "underscoreContent.ISBUrlList.GetCount()",
    "underscoreContent.ISBUrlList.GetItem(1)",
    "u1.QueryInterface(ISBFileUrl)",
    "u1.ISBFileUrl.GetFilePath()",
    R"(factory.ISBUrlFactory.SetHidden("/p/T_Files/a", -1))",
};
// The next entry is an ordinary document: the walk goes on.
const Journal kThePlainEntry{
    "list.ISBUrlList.GetItem(2)",       "documents.ISBDocumentManager.GetDocumentType(plain)",
    "plain.QueryInterface(ISBFileUrl)", "plain.ISBFileUrl.GetFilePath()",
    R"(Paths::Extension("/p/readme"))",
};

TEST(HideCompanionFolder, HidesTheFirstFolderThatExistsBeforeItsContentListedRecursively) {
  const struct {
    const char* what;
    bool spaceExists, underscoreExists;
    Journal journal;
    std::vector<CfxWString> hidden;
  } cases[] = {
      {"both folders",
       true,
       true,
       Concat({kUpToTheSpaceFolder, kHideTheSpaceFolder, kThePlainEntry}),
       {OLESTR("/p/T Files"), OLESTR("/p/T Files/a"), OLESTR("/p/T Files/sub/b")}},
      {"only T Files",
       true,
       false,
       Concat({kUpToTheSpaceFolder, kHideTheSpaceFolder, kThePlainEntry}),
       {OLESTR("/p/T Files"), OLESTR("/p/T Files/a"), OLESTR("/p/T Files/sub/b")}},
      {"only T_Files",
       false,
       true,
       Concat({kUpToTheSpaceFolder, kTheUnderscoreFolder, kHideTheUnderscoreFolder, kThePlainEntry}),
       {OLESTR("/p/T_Files"), OLESTR("/p/T_Files/a")}},
      {"neither folder", false, false, Concat({kUpToTheSpaceFolder, kTheUnderscoreFolder, kThePlainEntry}), {}},
  };
  for (const auto& c : cases) {
    StudyTable project(c.spaceExists, c.underscoreExists);
    HideDependentFiles(project.Folder(), project.Container(), false);
    EXPECT_EQ(project.host.Journal(), c.journal) << c.what;
    EXPECT_EQ(project.Hidden(), c.hidden) << c.what;
    EXPECT_EQ(project.FolderQuery(), OLESTR("Recursive=No")) << c.what;
    EXPECT_TRUE(project.host.Balanced()) << c.what;
  }
}

TEST(HideCompanionFolder, EveryFailingHostCallEndsTheCallThereAndLeaksNothing) {
  const Journal full = Concat({kUpToTheSpaceFolder, kTheUnderscoreFolder, kHideTheUnderscoreFolder, kThePlainEntry});
  for (std::size_t n = 1; n <= full.size(); ++n) {
    StudyTable project(false, true);
    project.host.FailCall(static_cast<int>(n), E_FAIL);
    EXPECT_EQ(CodeOf([&] { HideDependentFiles(project.Folder(), project.Container(), true); }), E_FAIL) << n;
    EXPECT_EQ(project.host.Journal().size(), n) << n;
    EXPECT_TRUE(project.host.Balanced()) << n;
  }
}

}  // namespace

namespace {

TEST(HideCompanionFolder, AnyNonZeroExistsMeansTheFolderIsThere) {
  for (const VARIANT_BOOL found : {VARIANT_BOOL{1}, static_cast<VARIANT_BOOL>(0x8000), VARIANT_TRUE}) {
    StudyTable project(false, false);
    project.space.Get<FakeFileUrl>().exists = found;
    HideDependentFiles(project.Folder(), project.Container(), false);
    EXPECT_EQ(project.host.Journal(), Concat({kUpToTheSpaceFolder, kHideTheSpaceFolder, kThePlainEntry})) << found;
    EXPECT_TRUE(project.host.Balanced());
  }
}

TEST(HideCompanionFolder, LetsGoOfTheFirstFolderBeforeMakingTheSecondAndOfItsFileViewWhenReplaced) {
  StudyTable project(false, true);
  project.space.journalReleases = true;
  HideDependentFiles(project.Folder(), project.Container(), false);

  Journal expected = Concat({kUpToTheSpaceFolder, kTheUnderscoreFolder, kHideTheUnderscoreFolder, kThePlainEntry});
  const auto second = std::find(expected.begin(), expected.end(), R"(T.ISBUrl.CreateChildUrl("T_Files/"))");
  expected.insert(expected.insert(second, "space.ISBUrl.Release()") + 3, "space.ISBFileUrl.Release()");
  EXPECT_EQ(project.host.Journal(), expected);
  EXPECT_EQ(project.host.OutSlotsOf("space.ISBFileUrl.Exists"), "0");
  EXPECT_TRUE(project.host.Balanced());
}

TEST(HideCompanionFolder, TheTableNameTravelsInTheApplicationsCodePage) {
  // The folder names are made from narrow text: in Windows-1252 a name read
  // back as UTF-8 would ask for a folder that is not there.
  fakehost::CodePage windows1252(kCfxCodePageWindows1252);
  StudyTable project(true, false);
  project.table.Get<FakeUrl>().name = OLESTR("T\u00FC");
  project.table.Get<FakeUrl>().children = {{OLESTR("T\u00FC Files/"), &project.space},
                                           {OLESTR("T\u00FC_Files/"), &project.underscore}};
  HideDependentFiles(project.Folder(), project.Container(), false);
  const Journal& journal = project.host.Journal();
  EXPECT_NE(std::find(journal.begin(), journal.end(), R"(T.ISBUrl.CreateChildUrl("T\xC3\xBC Files/"))"), journal.end());
  EXPECT_EQ(project.Hidden(),
            (std::vector<CfxWString>{OLESTR("/p/T Files"), OLESTR("/p/T Files/a"), OLESTR("/p/T Files/sub/b")}));
  EXPECT_TRUE(project.host.Balanced());
}

}  // namespace
