// Every fake operation's journal line: interface and operation names and
// the arguments in slot order, as the library's tests will expect them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_host/host.h"
#include "host/com_ptr.h"

namespace fakehost {
namespace {

using Lines = std::vector<std::string>;

TEST(FacetLines, ProjectSideOperations) {
  Host host;
  Object& o = host.Make("o");
  Object& arg = host.Make("arg");
  arg.Add<FakeUrl>();
  arg.Add<FakeDocumentRoot>();
  arg.Add<FakeContainerRoot>();
  o.Add<FakeContainerRoot>();
  o.Add<FakeUrlFactory>();
  o.Add<FakeUrlServices>();
  o.Add<FakeUrlList>();
  o.Add<FakeUrl>();
  o.Add<FakeFileUrl>();
  o.Add<FakeDocumentManager>();
  o.Add<FakeFileTypeProvider>();
  o.Add<FakeFileTypes>();
  o.Add<FakeDocumentRoot>();
  o.Add<FakeLockable>();
  o.Add<FakeDocumentStorage>();
  o.Add<FakeDocumentInfo>();
  o.Add<FakeDiskManager>();
  o.Add<FakeEnvironment>();
  o.Add<FakeViewHost>();
  o.Add<FakeViewManager>();
  {  // the owners of arguments and results are gone before the balance check
    const CfxBSTR a("a");
    const CfxBSTR b("b");
    const CfxVariant empty{};
    CfxBSTR text;
    VARIANT_BOOL flag = 0;
    std::int32_t count = 0;
    LPOLESTR* extensions = nullptr;
    CfxComPtr<IUnknown> unknown;

    auto* root = o.As<ISBContainerRoot>();
    root->GetDocumentManager(CfxComPtr<ISBDocumentManager>().put());
    root->GetEnvironment(CfxComPtr<ISBEnvironment>().put());
    root->GetUrlFactory(CfxComPtr<ISBUrlFactory>().put());
    root->GetDiskManager(CfxComPtr<ISBDiskManager>().put());
    root->FileExists(a.in(), &flag);
    root->CreateOperation(3, a.in(), unknown.put());
    o.As<ISBUrlFactory>()->SetHidden(a.in(), VARIANT_TRUE);
    o.As<ISBUrlFactory>()->CreateUrl(a.in(), CfxComPtr<ISBUrl>().put());
    o.As<ISBUrlServices>()->ListUrls(arg.As<ISBUrl>(), CfxComPtr<ISBUrlList>().put());
    o.As<ISBUrlList>()->GetItem(1, CfxComPtr<ISBUrl>().put());
    o.As<ISBUrlList>()->GetCount(&count);
    auto* url = o.As<ISBUrl>();
    url->GetFileName(text.out());
    url->GetName(text.out());
    url->SetQuery(a.in());
    url->CreateChildUrl(a.in(), CfxComPtr<ISBUrl>().put());
    url->GetRelativeUrl(arg.As<ISBUrl>(), text.out());
    o.As<ISBFileUrl>()->GetFilePath(text.out());
    o.As<ISBFileUrl>()->Exists(&flag);
    auto* manager = o.As<ISBDocumentManager>();
    manager->SaveDocument(arg.As<ISBDocumentRoot>(), 2, empty, empty, empty);
    manager->GetDocument(4, arg.As<ISBUrl>(), empty, empty, empty, CfxComPtr<ISBDocumentRoot>().put());
    manager->GetDocumentType(arg.As<ISBUrl>(), text.out());
    o.As<ISBFileTypeProvider>()->GetFileTypes(CfxComPtr<ISBFileTypes>().put());
    o.As<ISBFileTypes>()->GetDependentExtensions(a.in(), &extensions, &count);
    o.As<ISBDocumentRoot>()->Show(1);
    o.As<ISBDocumentRoot>()->GetDocumentInfo(CfxComPtr<ISBDocumentInfo>().put());
    o.As<ISBDocumentRoot>()->RegenerateDisplay(arg.As<ISBContainerRoot>());
    o.As<ISBLockable>()->Lock(a.in());
    o.As<ISBLockable>()->Unlock(a.in());
    o.As<ISBDocumentStorage>()->IsVirtual(&flag);
    o.As<ISBDocumentInfo>()->GetDocumentPath(text.out());
    CfxBSTR name;
    CfxBSTR extension;
    o.As<ISBDiskManager>()->SplitPath(a.in(), nullptr, nullptr, name.out(), extension.out());
    o.As<ISBDiskManager>()->MakePath(a.in(), b.in(), a.in(), b.in(), text.out());
    o.As<ISBEnvironment>()->ExpandVariables(a.in(), text.out());
    o.As<ISBViewHost>()->GetViewManager(CfxComPtr<ISBViewManager>().put());
    o.As<ISBViewManager>()->OpenView(arg.As<ISBDocumentRoot>(), unknown.put());
  }
  EXPECT_EQ(host.Journal(), (Lines{
                                R"(o.ISBContainerRoot.GetDocumentManager())",
                                R"(o.ISBContainerRoot.GetEnvironment())",
                                R"(o.ISBContainerRoot.GetUrlFactory())",
                                R"(o.ISBContainerRoot.GetDiskManager())",
                                R"(o.ISBContainerRoot.FileExists("a"))",
                                R"(o.ISBContainerRoot.CreateOperation(3, "a"))",
                                R"(o.ISBUrlFactory.SetHidden("a", -1))",
                                R"(o.ISBUrlFactory.CreateUrl("a"))",
                                R"(o.ISBUrlServices.ListUrls(arg))",
                                R"(o.ISBUrlList.GetItem(1))",
                                R"(o.ISBUrlList.GetCount())",
                                R"(o.ISBUrl.GetFileName())",
                                R"(o.ISBUrl.GetName())",
                                R"(o.ISBUrl.SetQuery("a"))",
                                R"(o.ISBUrl.CreateChildUrl("a"))",
                                R"(o.ISBUrl.GetRelativeUrl(arg))",
                                R"(o.ISBFileUrl.GetFilePath())",
                                R"(o.ISBFileUrl.Exists())",
                                R"(o.ISBDocumentManager.SaveDocument(arg, 2, empty, empty, empty))",
                                R"(o.ISBDocumentManager.GetDocument(4, arg, empty, empty, empty))",
                                R"(o.ISBDocumentManager.GetDocumentType(arg))",
                                R"(o.ISBFileTypeProvider.GetFileTypes())",
                                R"(o.ISBFileTypes.GetDependentExtensions("a"))",
                                R"(o.ISBDocumentRoot.Show(1))",
                                R"(o.ISBDocumentRoot.GetDocumentInfo())",
                                R"(o.ISBDocumentRoot.RegenerateDisplay(arg))",
                                R"(o.ISBLockable.Lock("a"))",
                                R"(o.ISBLockable.Unlock("a"))",
                                R"(o.ISBDocumentStorage.IsVirtual())",
                                R"(o.ISBDocumentInfo.GetDocumentPath())",
                                R"(o.ISBDiskManager.SplitPath("a"))",
                                R"(o.ISBDiskManager.MakePath("a", "b", "a", "b"))",
                                R"(o.ISBEnvironment.ExpandVariables("a"))",
                                R"(o.ISBViewHost.GetViewManager())",
                                R"(o.ISBViewManager.OpenView(arg))",
                            }));
  EXPECT_TRUE(host.Balanced());
}

TEST(FacetLines, JobSideOperations) {
  Host host;
  Object& o = host.Make("o");
  Object& jobHost = host.Make("jobHost");
  Object& state = host.Make("state");
  Object& file = host.Make("file");
  jobHost.Add<FakeJobHost>();
  state.Add<FakeState>();
  file.Add<FakeUrl>();
  o.Add<FakeJob>();
  o.Add<FakeJobTransfer>();
  o.Add<FakeManagedJob>();
  o.Add<FakeZarnServerJob>();
  o.Add<FakeJobFiles>();
  {  // the owners of arguments and results are gone before the balance check
    const CfxBSTR a("a");
    const CfxBSTR b("b");
    const CfxVariant text(CfxBSTR("t"));
    const CfxVariant empty{};
    CfxBSTR out;

    o.As<ISBJob>()->GetProperty(a.in(), out.out());
    o.As<ISBJob>()->BeginLiveUpdates(a.in());
    o.As<ISBJob>()->EndLiveUpdates(b.in());
    o.As<ISBJobTransfer>()->Download(a.in(), b.in(), 0, 1);
    o.As<ISBManagedJob>()->GetClientFolder(out.out());
    auto* job = o.As<ISBZarnServerJob>();
    job->Initialize(jobHost.As<ISBJobHost>(), state.As<ISBState>(), text, a.in());
    job->AddInputFile(file.As<ISBUrl>(), a.in());
    job->GetDocumentsFolder(out.out());
    job->SetJobText(a.in());
    job->GetJobFiles(CfxComPtr<ISBJobFiles>().put());
    o.As<ISBJobFiles>()->GetName(out.out());
    o.As<ISBJobFiles>()->CopyFiles(a.in(), b.in(), 1, 2, empty, text, empty, empty, CfxComPtr<IUnknown>().put());
  }
  EXPECT_EQ(host.Journal(), (Lines{
                                R"(o.ISBJob.GetProperty("a"))",
                                R"(o.ISBJob.BeginLiveUpdates("a"))",
                                R"(o.ISBJob.EndLiveUpdates("b"))",
                                R"(o.ISBJobTransfer.Download("a", "b", 0, 1))",
                                R"(o.ISBManagedJob.GetClientFolder())",
                                R"(o.ISBZarnServerJob.Initialize(jobHost, state, "t", "a"))",
                                R"(o.ISBZarnServerJob.AddInputFile(file, "a"))",
                                R"(o.ISBZarnServerJob.GetDocumentsFolder())",
                                R"(o.ISBZarnServerJob.SetJobText("a"))",
                                R"(o.ISBZarnServerJob.GetJobFiles())",
                                R"(o.ISBJobFiles.GetName())",
                                R"(o.ISBJobFiles.CopyFiles("a", "b", 1, 2, empty, "t", empty, empty))",
                            }));
  EXPECT_TRUE(host.Balanced());
}

}  // namespace
}  // namespace fakehost
