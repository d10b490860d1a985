#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "ZarnServerJobUtils.h"
#include "fake_host/code_page.h"
#include "hiding/hiding_project.h"
#include "hiding/hiding_scenes.h"

namespace {

using namespace hidingtest;
using AppUtils::Document::HideDependentFiles;
using AppUtils::Document::HideFiles;

const Journal kListing{
    "container.ISBContainerRoot.GetUrlFactory()",      "factory.QueryInterface(ISBUrlServices)",
    R"(folder.ISBUrl.SetQuery("Recursive=No"))",       "factory.ISBUrlServices.ListUrls(folder)",
    "container.ISBContainerRoot.GetDocumentManager()", "list.ISBUrlList.GetCount()",
};

Journal Concat(Journal head, const Journal& tail) {
  head.insert(head.end(), tail.begin(), tail.end());
  return head;
}

const Journal kModelWithDependents = Concat(kListing, {
                                                          "list.ISBUrlList.GetItem(1)",
                                                          "documents.ISBDocumentManager.GetDocumentType(model)",
                                                          "model.QueryInterface(ISBFileUrl)",
                                                          "model.ISBFileUrl.GetFilePath()",
                                                          R"(Paths::Extension("/p/model.abc"))",
                                                          "documents.QueryInterface(ISBFileTypeProvider)",
                                                          "documents.ISBFileTypeProvider.GetFileTypes()",
                                                          R"(types.ISBFileTypes.GetDependentExtensions("abc"))",
                                                          "model.QueryInterface(ISBFileUrl)",
                                                          "model.ISBFileUrl.GetFilePath()",
                                                          R"(Paths::ReplaceExtension("/p/model.abc", ".def"))",
                                                          R"(container.ISBContainerRoot.FileExists("/p/model.def"))",
                                                          R"(Paths::ReplaceExtension("/p/model.abc", ".ghi"))",
                                                          R"(container.ISBContainerRoot.FileExists("/p/model.ghi"))",
                                                          R"(factory.ISBUrlFactory.SetHidden("/p/model.ghi", -1))",
                                                      });

TEST(HideDependentFiles, HidesTheDependentFilesThatExistButNotTheDocument) {
  ModelWithDependents project;
  HideDependentFiles(project.Folder(), project.Container(), false);
  EXPECT_EQ(project.host.Journal(), kModelWithDependents);
  EXPECT_EQ(project.Hidden(), std::vector<CfxWString>{OLESTR("/p/model.ghi")});
  EXPECT_TRUE(project.host.Balanced());
}

TEST(HideDependentFiles, MissingArgumentsRaiseBeforeAnyHostCall) {
  Project project;
  try {
    HideDependentFiles(nullptr, project.Container(), true);
    ADD_FAILURE() << "no raise";
  } catch (const CfxResult& result) {
    EXPECT_EQ(result.Code(), E_INVALIDARG);
    EXPECT_EQ(result.Description(), "No files to test");
  }
  EXPECT_EQ(CodeOf([&] { HideDependentFiles(project.Folder(), nullptr, true); }), E_POINTER);
  EXPECT_EQ(project.host.CallCount(), 0);
}

TEST(HideDependentFiles, LeavesTheQueryOfRecursiveOnTheCallersLocationEvenForAnEmptyListing) {
  for (const bool recursive : {false, true}) {
    const CfxWString query = recursive ? OLESTR("Recursive=Yes") : OLESTR("Recursive=No");
    Project project;
    HideDependentFiles(project.Folder(), project.Container(), recursive);
    Journal expected = kListing;
    expected[2] =
        recursive ? R"(folder.ISBUrl.SetQuery("Recursive=Yes"))" : R"(folder.ISBUrl.SetQuery("Recursive=No"))";
    EXPECT_EQ(project.host.Journal(), expected) << recursive;
    EXPECT_EQ(project.FolderQuery(), query);

    // A later HideFiles lists the location with the query that was left on it.
    project.host.ClearJournal();
    HideFiles(project.Folder(), project.Container());
    EXPECT_EQ(project.FolderQuery(), query);
    EXPECT_EQ(project.host.Journal()[2], "factory.ISBUrlServices.ListUrls(folder)");
    EXPECT_TRUE(project.host.Balanced()) << recursive;
  }
}

TEST(HideDependentFiles, TheRegistryGetsTheExtensionWithoutItsFirstDot) {
  const struct {
    std::string extension;  // what Paths::Extension answers
    CfxWString asked;       // what the registry is asked
  } cases[] = {{".abc", OLESTR("abc")}, {"abc", OLESTR("abc")}, {"..abc", OLESTR(".abc")}};
  for (const auto& c : cases) {
    ModelWithDependents project;
    project.host.extensionOf["/p/model.abc"] = c.extension;
    project.types.Get<FakeFileTypes>().dependents = {{c.asked, {OLESTR("ghi")}}};
    HideDependentFiles(project.Folder(), project.Container(), false);
    const std::string line =
        "types.ISBFileTypes.GetDependentExtensions(\"" + std::string(c.asked.begin(), c.asked.end()) + "\")";
    EXPECT_EQ(project.host.Journal().at(13), line) << c.extension;
    EXPECT_EQ(project.Hidden(), std::vector<CfxWString>{OLESTR("/p/model.ghi")}) << c.extension;
    EXPECT_TRUE(project.host.Balanced()) << c.extension;
  }
}

TEST(HideDependentFiles, ADocumentWithoutExtensionIsPassedOverWithoutAskingTheRegistry) {
  for (const std::optional<std::string>& extension : {std::optional<std::string>(), std::optional<std::string>("")}) {
    ModelWithDependents project;
    project.host.extensionOf["/p/model.abc"] = extension;
    HideDependentFiles(project.Folder(), project.Container(), false);
    EXPECT_EQ(project.host.Journal(), Journal(kModelWithDependents.begin(), kModelWithDependents.begin() + 11));
    EXPECT_TRUE(project.Hidden().empty());
    EXPECT_TRUE(project.host.Balanced());
  }
}

TEST(HideDependentFiles, NoDependentExtensionsPassTheDocumentOver) {
  for (const bool emptyAsArray : {false, true}) {
    ModelWithDependents project;
    auto& types = project.types.Get<FakeFileTypes>();
    types.dependents.clear();
    types.emptyAsArray = emptyAsArray;
    HideDependentFiles(project.Folder(), project.Container(), false);
    EXPECT_EQ(project.host.Journal(), Journal(kModelWithDependents.begin(), kModelWithDependents.begin() + 14))
        << emptyAsArray;
    EXPECT_TRUE(project.host.Balanced()) << emptyAsArray;
  }
}

TEST(HideDependentFiles, OnlyTheExactStudyTableTypeNameMakesAStudyTable) {
  for (const CfxWString type : {OLESTR("sddocuments.studytabledocument"), OLESTR("SDDocuments.StudyTableDocument "),
                                OLESTR("SDDocuments.StudyTable")}) {
    ModelWithDependents project;
    project.documents.Get<FakeDocumentManager>().types[&project.model] = type;
    HideDependentFiles(project.Folder(), project.Container(), false);
    EXPECT_EQ(project.host.Journal(), kModelWithDependents);
    EXPECT_TRUE(project.host.Balanced());
  }
}

TEST(HideDependentFiles, EveryFailingHostCallEndsTheCallThereAndLeaksNothing) {
  for (std::size_t n = 1; n <= kModelWithDependents.size(); ++n) {
    ModelWithDependents project;
    project.host.FailCall(static_cast<int>(n), E_FAIL);
    EXPECT_EQ(CodeOf([&] { HideDependentFiles(project.Folder(), project.Container(), false); }), E_FAIL) << n;
    EXPECT_EQ(project.host.Journal(), Journal(kModelWithDependents.begin(), kModelWithDependents.begin() + n)) << n;
    EXPECT_TRUE(project.host.Balanced()) << n;
  }
}

TEST(HideDependentFiles, EveryFailingStringAllocationRaisesAndLeaksNothing) {
  // Host-side allocations fail the host call; the library's own raise
  // std::bad_alloc. Either way nothing may be left behind, also when the
  // allocation falls between two strings of the dependent-extension array.
  int badAllocsAfterTheArrayCame = 0;
  for (std::uint64_t n = 1; n <= 20; ++n) {
    ModelWithDependents project;
    project.host.FailAllocation(n);
    bool raised = false;
    try {
      HideDependentFiles(project.Folder(), project.Container(), false);
    } catch (const std::bad_alloc&) {
      raised = true;
      if (project.host.Journal().size() == 14) ++badAllocsAfterTheArrayCame;
    } catch (const CfxResult& result) {
      raised = true;
      EXPECT_EQ(result.Code(), E_OUTOFMEMORY) << n;
    }
    project.host.FailAllocation(0);
    if (!raised) {
      EXPECT_EQ(project.host.Journal(), kModelWithDependents) << n;
    }
    EXPECT_TRUE(project.host.Balanced()) << n;
  }
  EXPECT_GE(badAllocsAfterTheArrayCame, 2);  // the first and the second string
}

}  // namespace

namespace {

TEST(HideDependentFiles, FreesEachDependentExtensionRightAfterReadingItAndTheArrayAfterTheLast) {
  ModelWithDependents project;
  project.types.Get<FakeFileTypes>().journalFrees = true;
  HideDependentFiles(project.Folder(), project.Container(), false);

  const Journal& journal = project.host.Journal();
  const auto asked = std::find(journal.begin(), journal.end(), R"(types.ISBFileTypes.GetDependentExtensions("abc"))");
  ASSERT_NE(asked, journal.end());
  const auto first = static_cast<std::size_t>(asked - journal.begin()) + 1;
  EXPECT_EQ(Journal(asked + 1, asked + 5), (Journal{R"(CoTaskMemFree("def"))", R"(CoTaskMemFree("ghi"))",
                                                    "CoTaskMemFree(array)", "model.QueryInterface(ISBFileUrl)"}));
  // Each string is read (one host string made from it) and freed before the next is read.
  const auto& made = project.host.AllocationsAtCalls();
  EXPECT_EQ(made[first] - made[first - 1], 1u);
  EXPECT_EQ(made[first + 1] - made[first], 1u);
  EXPECT_EQ(made[first + 2], made[first + 1]);
  EXPECT_TRUE(project.host.Balanced());
}

TEST(HideDependentFiles, PathsAndExtensionsTravelInTheApplicationsCodePage) {
  fakehost::CodePage windows1252(kCfxCodePageWindows1252);
  Project project;
  project.Entry("model", OLESTR("/p/m\u00F6del.abc"));
  project.types.Get<FakeFileTypes>().dependents[OLESTR("abc")] = {OLESTR("d\u00EBf")};
  project.container.Get<FakeContainerRoot>().existingFiles = {
      "/p/m\xC3\xB6"
      "del.d\xC3\xAB"
      "f"};
  HideDependentFiles(project.Folder(), project.Container(), false);

  const Journal& journal = project.host.Journal();
  const auto has = [&](const std::string& line) {
    return std::find(journal.begin(), journal.end(), line) != journal.end();
  };
  // Narrow text is single bytes (0xF6, 0xEB); the host's own texts are wide.
  EXPECT_TRUE(has(R"(Paths::Extension("/p/m\xF6del.abc"))"));
  EXPECT_TRUE(has(R"(Paths::ReplaceExtension("/p/m\xF6del.abc", ".d\xEBf"))"));
  EXPECT_EQ(project.Hidden(), std::vector<CfxWString>{OLESTR("/p/m\u00F6del.d\u00EBf")});
  EXPECT_TRUE(project.host.Balanced());
}

}  // namespace
