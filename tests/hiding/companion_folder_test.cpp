#include <gtest/gtest.h>

#include "ZarnServerJobUtils.h"
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
