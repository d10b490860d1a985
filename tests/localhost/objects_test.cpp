// The project-side host objects through their interfaces: identity and
// reference counts, listings, documents, the project view, failures and the
// call trace.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "host/container_utils.h"
#include "host/cotaskmem.h"
#include "localhost/local_host_fixture.h"
#include "localhost/project_objects.h"

namespace zarntest {
namespace {

using zarnlocal::LockRecord;
using zarnlocal::ViewRecord;

class ObjectsTest : public LocalHostTest {
 protected:
  CfxComPtr<ISBUrlFactory> Factory() {
    CfxComPtr<ISBUrlFactory> factory;
    EXPECT_EQ(TheProject().Container()->GetUrlFactory(factory.put()), S_OK);
    return factory;
  }
  CfxComPtr<ISBDocumentManager> Documents() { return AppUtils::Container::GetDocumentManager(Container()); }
  ISBContainerRoot* Container() {
    if (!container_) container_ = TheProject().Container();
    return container_.get();
  }
  CfxComPtr<ISBDocumentRoot> Document(const std::string& relative, std::int32_t flags = 0) {
    CfxComPtr<ISBDocumentRoot> document;
    EXPECT_EQ(Documents()->GetDocument(flags, TheProject().Url(relative).get(), {}, {}, {}, document.put()), S_OK);
    return document;
  }
  // The file names of a listing, in list order.
  std::vector<std::string> Listing(ISBUrl* location) {
    auto services = CfxComPtr<ISBUrlServices>::Query(Factory());
    CfxComPtr<ISBUrlList> list;
    EXPECT_EQ(services->ListUrls(location, list.put()), S_OK);
    std::int32_t count = 0;
    EXPECT_EQ(list->GetCount(&count), S_OK);
    std::vector<std::string> names;
    for (std::int32_t i = 1; i <= count; ++i) {
      CfxComPtr<ISBUrl> entry;
      EXPECT_EQ(list->GetItem(i, entry.put()), S_OK);
      auto file = CfxComPtr<ISBFileUrl>::Query(entry);
      names.push_back(TextOf([&](BSTR* out) { return file->GetFilePath(out); }).substr(folder_.Path().size() + 1));
    }
    return names;
  }
  void TearDown() override {
    container_.Reset();
    LocalHostTest::TearDown();
  }

  CfxComPtr<ISBContainerRoot> container_;
};

TEST_F(ObjectsTest, EveryInterfaceOfAnObjectIsOneObjectWithOneCount) {
  CfxComPtr<ISBUrl> url = TheProject().Url("a.txt");
  auto file = CfxComPtr<ISBFileUrl>::Query(url);
  auto viaUrl = CfxComPtr<IUnknown>::Query(url);
  auto viaFile = CfxComPtr<IUnknown>::Query(file);
  EXPECT_EQ(viaUrl.get(), viaFile.get());
  EXPECT_EQ(url->AddRef(), 5u);  // url, file, viaUrl, viaFile, and this one
  EXPECT_EQ(file->Release(), 4u);
  // Probing for an interface the object lacks is an answer, not an error.
  CfxResult::SetLastError(CfxResult(E_FAIL, "earlier failure"));
  EXPECT_FALSE(CfxComPtr<ISBLockable>::TryQuery(url));
  EXPECT_EQ(CfxResult::LastErrorCheckNotS_OK().Description(), "earlier failure");
}

TEST_F(ObjectsTest, ListingsAreInNameOrderAndRecursiveOnlyWhenAsked) {
  PutFile("d/c.txt");
  PutFile("d/a.txt");
  PutFile("d/b/x.txt");
  PutFile("d/b/a/");
  CfxComPtr<ISBUrl> folder = TheProject().Url("d/");
  EXPECT_EQ(Listing(folder.get()), (std::vector<std::string>{"d/a.txt", "d/b", "d/c.txt"}));
  EXPECT_EQ(folder->SetQuery(CfxBSTR("Recursive=Yes").in()), S_OK);
  EXPECT_EQ(Listing(folder.get()), (std::vector<std::string>{"d/a.txt", "d/b", "d/b/a", "d/b/x.txt", "d/c.txt"}));
  EXPECT_EQ(folder->SetQuery(CfxBSTR("Recursive=No").in()), S_OK);
  CfxComPtr<ISBUrl> everything;
  ASSERT_EQ(folder->CreateChildUrl(CfxBSTR("*").in(), everything.put()), S_OK);
  EXPECT_EQ(Listing(everything.get()), (std::vector<std::string>{"d/a.txt", "d/b", "d/c.txt"}));
}

TEST_F(ObjectsTest, TheStateFolderIsNotAnEntryOfTheProject) {
  PutFile("a.txt");
  PutFile(".zarn/hidden", "a.txt\n");
  EXPECT_EQ(Listing(TheProject().Url("./").get()), std::vector<std::string>{"a.txt"});
}

TEST_F(ObjectsTest, FailuresAreStatusesWithActionableDescriptions) {
  auto services = CfxComPtr<ISBUrlServices>::Query(Factory());
  CfxComPtr<ISBUrlList> list;
  EXPECT_EQ(services->ListUrls(TheProject().Url("nothing/").get(), list.put()), E_FILE_NOT_FOUND);
  EXPECT_FALSE(list);
  EXPECT_EQ(CfxResult::LastErrorCheckNotS_OK().Description(), "no such folder: " + At("nothing"));

  PutFile("d/a.txt");
  ASSERT_EQ(services->ListUrls(TheProject().Url("d/").get(), list.put()), S_OK);
  CfxComPtr<ISBUrl> entry;
  EXPECT_EQ(list->GetItem(0, entry.put()), E_INVALIDARG);
  EXPECT_EQ(list->GetItem(2, entry.put()), E_INVALIDARG);
  EXPECT_EQ(CfxResult::LastErrorCheckNotS_OK().Description(),
            "list index 2 is out of range: the list holds 1 entries, counted from 1");
  EXPECT_EQ(zarnlocal::LastFailureDescription(), CfxResult::LastErrorCheckNotS_OK().Description());

  CfxComPtr<ISBDocumentRoot> document;
  EXPECT_EQ(Documents()->GetDocument(16, TheProject().Url("gone.std").get(), {}, {}, {}, document.put()),
            E_FILE_NOT_FOUND);
  EXPECT_EQ(CfxResult::LastErrorCheckNotS_OK().Description(), "no such file: " + At("gone.std"));
  EXPECT_EQ(Factory()->SetHidden(CfxBSTR("/elsewhere/x").in(), VARIANT_TRUE), E_INVALIDARG);
  EXPECT_EQ(Factory()->SetHidden(CfxBSTR(At(".zarn/hidden")).in(), VARIANT_TRUE), E_ACCESSDENIED);
}

TEST_F(ObjectsTest, HiddenMarksAndLocksPersistAsReadableText) {
  PutFile("Results/a b.std", "table");
  PutFile("Results/a b.def");
  EXPECT_EQ(Factory()->SetHidden(CfxBSTR(At("Results/a b.def")).in(), VARIANT_TRUE), S_OK);
  {
    CfxComPtr<ISBDocumentRoot> document = Document("Results/a b.std");
    auto lockable = CfxComPtr<ISBLockable>::Query(document);
    EXPECT_EQ(lockable->Lock(CfxBSTR("Corvane Server").in()), S_OK);
    EXPECT_EQ(lockable->Lock(CfxBSTR("Corvane Server").in()), S_OK);
    EXPECT_EQ(lockable->Lock(CfxBSTR("Someone").in()), S_OK);
  }
  Reopen();
  EXPECT_EQ(TheProject().HiddenEntries(), std::vector<std::string>{"Results/a b.def"});
  EXPECT_EQ(TheProject().Locks(),
            (std::vector<LockRecord>{{"Results/a b.std", "Corvane Server"}, {"Results/a b.std", "Someone"}}));
  EXPECT_EQ(Read(At(".zarn/hidden")).value_or("").find("Results/a b.def\n") != std::string::npos, true);
  auto lockable = CfxComPtr<ISBLockable>::Query(Document("Results/a b.std"));
  EXPECT_EQ(lockable->Unlock(CfxBSTR("Corvane Server").in()), S_OK);
  EXPECT_EQ(lockable->Unlock(CfxBSTR("Corvane Server").in()), S_FALSE);  // nothing left to lift
  EXPECT_EQ(TheProject().LockOwners("Results/a b.std"), std::vector<std::string>{"Someone"});
  EXPECT_EQ(Factory()->SetHidden(CfxBSTR(At("Results/a b.def")).in(), VARIANT_FALSE), S_OK);
  EXPECT_TRUE(TheProject().HiddenEntries().empty());
}

TEST_F(ObjectsTest, DocumentsByLocation) {
  PutFile("d/T.std", "t");
  PutFile("d/sub/");
  CfxComPtr<ISBDocumentRoot> first = Document("d/T.std", 16);
  CfxComPtr<ISBDocumentRoot> second = Document("d/T.std");
  EXPECT_EQ(first.get(), second.get()) << "one location, one open document";
  EXPECT_FALSE(Document("d/sub"));       // a folder is no document
  EXPECT_FALSE(Document("d/none.std"));  // nothing there, and not importing
  EXPECT_EQ(TheProject().DocumentType("d/T.std"), "SDDocuments.StudyTableDocument");
  EXPECT_EQ(TheProject().DocumentType("d/sub"), "Folder");
  EXPECT_EQ(TheProject().DocumentType("d/x.unknown"), "Document");
}

TEST_F(ObjectsTest, AVirtualDocumentIsSavedIntoTheWorkspaceByPath) {
  TheProject().MakeVirtualDocument("Virtual/V.std", "virtual content");
  CfxComPtr<ISBDocumentRoot> document = Document("Virtual/V.std", 16);
  ASSERT_TRUE(document);
  VARIANT_BOOL isVirtual = VARIANT_FALSE;
  EXPECT_EQ(CfxComPtr<ISBDocumentStorage>::Query(document)->IsVirtual(&isVirtual), S_OK);
  EXPECT_EQ(isVirtual, VARIANT_TRUE);
  auto info = AppUtils::Container::GetDocumentInfo(document.get());
  const std::string path = TextOf([&](BSTR* out) { return info->GetDocumentPath(out); });
  EXPECT_EQ(path, At("Virtual/V.std"));

  auto disk = AppUtils::Container::GetDiskManager(Container());
  CfxBSTR name, extension;
  name.CopyOnWrite();
  extension.CopyOnWrite();
  ASSERT_EQ(disk->SplitPath(CfxBSTR(path).in(), nullptr, nullptr, name.out(), extension.out()), S_OK);
  EXPECT_EQ(name.ToString(), "V");
  EXPECT_EQ(extension.ToString(), ".std");
  const std::string joined = TextOf([&](BSTR* out) {
    return disk->MakePath(nullptr, CfxBSTR("%WORKSPACE_FOLDER%").in(), name.in(), extension.in(), out);
  });
  CfxComPtr<ISBEnvironment> environment;
  ASSERT_EQ(Container()->GetEnvironment(environment.put()), S_OK);
  const std::string real = TextOf([&](BSTR* out) { return environment->ExpandVariables(CfxBSTR(joined).in(), out); });
  EXPECT_EQ(real, At(".zarn/workspace/V.std"));

  CfxVariant target{CfxBSTR(real)};
  EXPECT_EQ(Documents()->SaveDocument(document.get(), 0, {}, {}, target), S_OK);
  EXPECT_EQ(Read(real), "virtual content");
  EXPECT_FALSE(Read(At("Virtual/V.std"))) << "a virtual document has no file of its own";
}

TEST_F(ObjectsTest, PathsSplitAndJoin) {
  struct Case {
    std::string path, folder, name, extension;
  };
  const Case cases[] = {
      {"/p/a b/T.std", "/p/a b/", "T", ".std"}, {"/p/a.b.c", "/p/", "a.b", ".c"},
      {"/p/.profile", "/p/", ".profile", ""},   {"noext", "", "noext", ""},
      {"C:\\x\\y.txt", "C:\\x\\", "y", ".txt"},
  };
  for (const Case& c : cases) {
    const zarnlocal::SplitParts parts = zarnlocal::SplitFilePath(c.path);
    EXPECT_EQ(parts.folder, c.folder) << c.path;
    EXPECT_EQ(parts.name, c.name) << c.path;
    EXPECT_EQ(parts.extension, c.extension) << c.path;
    EXPECT_EQ(zarnlocal::MakeFilePath("", parts.folder, parts.name, parts.extension), c.path);
  }
  EXPECT_EQ(zarnlocal::MakeFilePath("", "%WORKSPACE_FOLDER%", "V", "std"), "%WORKSPACE_FOLDER%/V.std");
}

TEST_F(ObjectsTest, DependentExtensionsComeAsTaskMemory) {
  PutFile(".zarn/filetypes", "abc Acme.Model def ghi\n");
  CfxComPtr<ISBFileTypes> types;
  ASSERT_EQ(CfxComPtr<ISBFileTypeProvider>::Query(Documents())->GetFileTypes(types.put()), S_OK);
  LPOLESTR* extensions = nullptr;
  std::int32_t count = -1;
  ASSERT_EQ(types->GetDependentExtensions(CfxBSTR("abc").in(), &extensions, &count), S_OK);
  ASSERT_EQ(count, 2);
  EXPECT_EQ(CfxWString(extensions[0]), OLESTR("def"));
  EXPECT_EQ(CfxWString(extensions[1]), OLESTR("ghi"));
  for (std::int32_t i = 0; i < count; ++i) CoTaskMemFree(extensions[i]);
  CoTaskMemFree(extensions);
  ASSERT_EQ(types->GetDependentExtensions(CfxBSTR("zzz").in(), &extensions, &count), S_OK);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(extensions, nullptr);
}

TEST_F(ObjectsTest, ViewsShowsAndOperationsAreRecorded) {
  PutFile("a.std");
  CfxComPtr<ISBDocumentRoot> document = Document("a.std");
  {
    CfxComPtr<IUnknown> operation = AppUtils::Container::CreateOperation(Container(), 3, "Import live update document");
    EXPECT_TRUE(TheProject().Operations().back().open);
  }
  EXPECT_EQ(TheProject().Operations(),
            (std::vector<zarnlocal::OperationRecord>{{3, "Import live update document", false}}));
  CfxComPtr<ISBViewManager> views;
  ASSERT_EQ(CfxComPtr<ISBViewHost>::Query(Container())->GetViewManager(views.put()), S_OK);
  CfxComPtr<IUnknown> view;
  EXPECT_EQ(views->OpenView(document.get(), view.put()), S_OK);
  EXPECT_EQ(document->Show(-1), S_OK);
  EXPECT_EQ(TheProject().Views(), (std::vector<ViewRecord>{{"view", "a.std"}, {"shown", "a.std"}}));
}

TEST_F(ObjectsTest, EveryCallFromOutsideIsTracedOnce) {
  PutFile("d/a.txt");
  std::vector<std::string> lines;
  zarnlocal::SetCallObserver(
      [&](const zarnlocal::CallRecord& record) { lines.push_back(zarnlocal::FormatCall(record)); });
  CfxComPtr<ISBUrlFactory> factory = Factory();
  EXPECT_EQ(factory->SetHidden(CfxBSTR(At("d/a.txt")).in(), VARIANT_TRUE), S_OK);
  EXPECT_EQ(factory->SetHidden(CfxBSTR(At("d/none")).in(), VARIANT_TRUE), E_FILE_NOT_FOUND);
  zarnlocal::SetCallObserver({});
  EXPECT_EQ(factory->SetHidden(CfxBSTR(At("d/a.txt")).in(), VARIANT_FALSE), S_OK);
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "ISBContainerRoot.GetUrlFactory() -> 0x00000000",
                       "ISBUrlFactory.SetHidden(\"" + At("d/a.txt") + "\", 65535) -> 0x00000000",
                       "ISBUrlFactory.SetHidden(\"" + At("d/none") +
                           "\", 65535) -> 0x80070002 (no such file: " + At("d/none") + ")",
                   }));
}

}  // namespace
}  // namespace zarntest
