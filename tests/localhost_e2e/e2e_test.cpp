// The library and the local host together, in a temporary project. One test
// per export goes here; until the exports are all in, the host's side of
// their roads is walked directly, the way they call it.
#include <gtest/gtest.h>

#include "ZarnServerJobUtils.h"
#include "host/container_utils.h"
#include "host/cotaskmem.h"
#include "host/create.h"
#include "localhost_e2e/e2e_fixture.h"

namespace zarne2e {
namespace {

std::string TextOf(HRESULT status, CfxBSTR& text) {
  EXPECT_EQ(status, S_OK) << CfxResult::LastErrorCheckNotS_OK().Description();
  return text.ToString();
}

TEST_F(EndToEnd, ID2MessageStringAsksNothingOfTheHost) {
  for (const std::int32_t id : {0, 1, -1, 4096}) EXPECT_EQ(ID2MessageString(id), nullptr) << id;
  EXPECT_TRUE(Calls().empty());
  EXPECT_EQ(TreeOf("."), (std::vector<std::string>{".zarn/", ".zarn/filetypes"}));
}

// A job from creation to imported results, one host operation after the
// other as the job, server and document exports make them; then a second
// process picks the job up by its id.
TEST_F(EndToEnd, AJobFromStagingToImportedResults) {
  PutFile("Tables/T.std", "x\ny\n");
  PutFile("Tables/T Files/notes.txt", "notes");
  PutFile("Tables/T Files/deep/more.txt", "more");

  // Creation and initialisation.
  CfxComPtr<ISBZarnServerJob> job;
  ASSERT_EQ(CfxCreateImpl(CLSID_ZarnServerJob, nullptr, 21, InterfaceIdOf<ISBZarnServerJob>, job.put_void(), 0).Code(), S_OK);
  CfxComPtr<ISBState> plan = zarnlocal::MakeJobTemplate("Fit");
  CfxVariant argument;
  ASSERT_EQ(job->Initialize(CfxComPtr<ISBJobHost>::Query(Root()).get(), plan.get(), argument, CfxBSTR("Input").in()), S_OK);
  ASSERT_EQ(job->SetJobText(CfxBSTR("fit the table").in()), S_OK);

  // Staging with the input folder: the name in the job and the companion copy.
  CfxComPtr<ISBUrl> table = Url("Tables/T.std");
  CfxComPtr<ISBUrl> staged;
  ASSERT_EQ(table->CreateChildUrl(CfxBSTR("Input/T.std").in(), staged.put()), S_OK);
  CfxBSTR name;
  name.CopyOnWrite();
  EXPECT_EQ(TextOf(table->GetRelativeUrl(staged.get(), name.out()), name), "Input/T.std");
  ASSERT_EQ(job->AddInputFile(table.get(), name.in()), S_OK);
  CfxComPtr<ISBUrl> companion;
  ASSERT_EQ(table->CreateChildUrl(CfxBSTR("T Files/*").in(), companion.put()), S_OK);
  CfxBSTR source, documents;
  source.CopyOnWrite();
  documents.CopyOnWrite();
  const std::string sourcePath = TextOf(CfxComPtr<ISBFileUrl>::Query(companion)->GetFilePath(source.out()), source);
  const std::string documentsFolder = TextOf(job->GetDocumentsFolder(documents.out()), documents);
  CfxComPtr<ISBJobFiles> files;
  ASSERT_EQ(job->GetJobFiles(files.put()), S_OK);
  CfxVariant empty;
  CfxComPtr<IUnknown> copied;
  ASSERT_EQ(files->CopyFiles(CfxBSTR(sourcePath).in(), CfxBSTR(documentsFolder + "\\Input/T Files").in(), 513, 0, empty,
                             empty, empty, empty, copied.put()),
            S_OK);

  // The server runs it; the first result is mapped to the client and downloaded.
  zarnlocal::ServerJob handle = *zarnlocal::ServerJob::Of(job.get());
  const std::vector<std::string> results = handle.Run();
  ASSERT_EQ(results.size(), 2u);
  CfxBSTR clientFolder;
  clientFolder.CopyOnWrite();
  const std::string client = TextOf(handle.ManagedJob()->GetClientFolder(clientFolder.out()), clientFolder);
  CfxComPtr<ISBUrlFactory> factory;
  ASSERT_EQ(Root()->GetUrlFactory(factory.put()), S_OK);
  CfxComPtr<ISBUrl> destination;
  const std::string tail = results[0].substr(results[0].find("Documents") + 9);
  ASSERT_EQ(factory->CreateUrl(CfxBSTR("file:" + client + tail).in(), destination.put()), S_OK);
  CfxBSTR destinationPath;
  destinationPath.CopyOnWrite();
  const std::string downloadTo = TextOf(CfxComPtr<ISBFileUrl>::Query(destination)->GetFilePath(destinationPath.out()),
                                        destinationPath);
  ASSERT_EQ(CfxComPtr<ISBJobTransfer>::Query(handle.Job())->Download(CfxBSTR(results[0]).in(), CfxBSTR(downloadTo).in(), 1, 0),
            S_OK);

  // Import: unlock, regenerate inside the operation, save, view, lock.
  auto documentsManager = AppUtils::Container::GetDocumentManager(Root());
  CfxComPtr<ISBDocumentRoot> document;
  ASSERT_EQ(documentsManager->GetDocument(16, destination.get(), {}, {}, {}, document.put()), S_OK);
  auto lockable = CfxComPtr<ISBLockable>::Query(document);
  EXPECT_EQ(lockable->Unlock(CfxBSTR("Corvane Server").in()), S_FALSE);
  {
    CfxComPtr<IUnknown> operation = AppUtils::Container::CreateOperation(Root(), 3, "Import live update document");
    AppUtils::Document::RegenerateDisplay(document.get(), Root());
  }
  ASSERT_EQ(documentsManager->SaveDocument(document.get(), 0, {}, {}, {}), S_OK);
  CfxComPtr<ISBViewManager> views;
  ASSERT_EQ(CfxComPtr<ISBViewHost>::Query(Root())->GetViewManager(views.put()), S_OK);
  CfxComPtr<IUnknown> view;
  ASSERT_EQ(views->OpenView(document.get(), view.put()), S_OK);
  ASSERT_EQ(lockable->Lock(CfxBSTR("Corvane Server").in()), S_OK);

  // What is on disk.
  EXPECT_EQ(TreeOf("Jobs/1"), (std::vector<std::string>{"Results/", "Results/T.std.txt"}));
  EXPECT_EQ(ReadFile("Jobs/1/Results/T.std.txt"), "Result of Input/T.std\njob: 1\nbytes: 4\nlines: 2\n");
  EXPECT_EQ(zarntest::Tree(handle.DocumentsFolder()),
            (std::vector<std::string>{"Input/", "Input/T Files/", "Input/T Files/deep/", "Input/T Files/deep/more.txt",
                                      "Input/T Files/notes.txt", "Input/T.std", "Results/", "Results/T.std.txt",
                                      "Results/summary.txt"}));
  EXPECT_EQ(ReadFile(".zarn/locks").value_or(""),
            "# Document locks: the document's path relative to the project, a tab, the owner.\n"
            "Jobs/1/Results/T.std.txt\tCorvane Server\n");

  // The next process finds the job and the project view as they were left.
  job.Reset();
  document.Reset();
  lockable.Reset();
  view.Reset();
  Open();
  const zarnlocal::ServerJob again = Project().OpenJob("1");
  EXPECT_EQ(again.State(), "finished");
  EXPECT_EQ(again.Setting("text"), "fit the table");
  EXPECT_EQ(again.Inputs(), (std::vector<zarnlocal::JobInput>{{"Input/T.std", At("Tables/T.std")}}));
  EXPECT_EQ(Project().LockOwners("Jobs/1/Results/T.std.txt"), std::vector<std::string>{"Corvane Server"});
  EXPECT_EQ(Project().Views(), (std::vector<zarnlocal::ViewRecord>{{"view", "Jobs/1/Results/T.std.txt"}}));
}

// Dependent files of a model document and a study table's companion folder,
// hidden the way file hiding walks a listing.
TEST_F(EndToEnd, DependentFilesAndCompanionFoldersAreHiddenByPath) {
  PutFile("Models/m.abc", "model");
  PutFile("Models/m.def", "dependent");
  PutFile("Models/T.std", "table");
  PutFile("Models/T_Files/a.txt", "a");
  CfxComPtr<ISBUrlFactory> factory;
  ASSERT_EQ(Root()->GetUrlFactory(factory.put()), S_OK);
  CfxComPtr<ISBUrl> models = Url("Models/");
  ASSERT_EQ(models->SetQuery(CfxBSTR("Recursive=No").in()), S_OK);
  CfxComPtr<ISBUrlList> list;
  ASSERT_EQ(CfxComPtr<ISBUrlServices>::Query(factory)->ListUrls(models.get(), list.put()), S_OK);
  auto documents = AppUtils::Container::GetDocumentManager(Root());
  CfxComPtr<ISBFileTypes> types;
  ASSERT_EQ(CfxComPtr<ISBFileTypeProvider>::Query(documents)->GetFileTypes(types.put()), S_OK);
  std::int32_t count = 0;
  ASSERT_EQ(list->GetCount(&count), S_OK);
  for (std::int32_t i = 1; i <= count; ++i) {
    CfxComPtr<ISBUrl> entry;
    ASSERT_EQ(list->GetItem(i, entry.put()), S_OK);
    CfxBSTR type, path;
    type.CopyOnWrite();
    path.CopyOnWrite();
    ASSERT_EQ(documents->GetDocumentType(entry.get(), type.out()), S_OK);
    ASSERT_EQ(CfxComPtr<ISBFileUrl>::Query(entry)->GetFilePath(path.out()), S_OK);
    if (type.ToWString() == u"SDDocuments.StudyTableDocument") {
      CfxComPtr<ISBUrl> folder;
      ASSERT_EQ(entry->CreateChildUrl(CfxBSTR("T_Files/").in(), folder.put()), S_OK);
      CfxBSTR folderPath;
      folderPath.CopyOnWrite();
      ASSERT_EQ(CfxComPtr<ISBFileUrl>::Query(folder)->GetFilePath(folderPath.out()), S_OK);
      ASSERT_EQ(factory->SetHidden(folderPath.in(), VARIANT_TRUE), S_OK);
      continue;
    }
    std::string extension;
    if (!Paths::Extension(path.ToTString(), extension)) continue;
    LPOLESTR* dependents = nullptr;
    std::int32_t dependentCount = 0;
    ASSERT_EQ(types->GetDependentExtensions(CfxBSTR(extension.substr(1)).in(), &dependents, &dependentCount), S_OK);
    for (std::int32_t j = 0; j < dependentCount; ++j) {
      const std::string candidate = Paths::ReplaceExtension(path.ToTString(), "." + CfxWideToNarrow(dependents[j]));
      if (AppUtils::Container::FileExists(candidate, Root())) {
        ASSERT_EQ(factory->SetHidden(CfxBSTR(candidate).in(), VARIANT_TRUE), S_OK);
      }
      CoTaskMemFree(dependents[j]);
    }
    CoTaskMemFree(dependents);
  }
  EXPECT_EQ(Project().HiddenEntries(), (std::vector<std::string>{"Models/T_Files", "Models/m.def"}));
  EXPECT_EQ(ReadFile(".zarn/hidden").value_or(""),
            "# Entries hidden from the project view: one path relative to the project a line.\n"
            "Models/T_Files\nModels/m.def\n");
}

}  // namespace
}  // namespace zarne2e
