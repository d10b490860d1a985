// Scripted answers and object identity: what a test sets up is what the
// library gets, with the references a host would hand out.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "fake_host/host.h"
#include "host/com_ptr.h"

namespace fakehost {
namespace {

TEST(Objects, FacetsShareOneIdentityAndCount) {
  Host host;
  Object& url = host.Make("url");
  url.Add<FakeUrl>();
  url.Add<FakeFileUrl>();

  CfxComPtr<ISBFileUrl> file = CfxComPtr<ISBFileUrl>::Query(url.As<ISBUrl>());
  CfxComPtr<IUnknown> fromUrl = CfxComPtr<IUnknown>::Query(url.As<ISBUrl>());
  CfxComPtr<IUnknown> fromFile = CfxComPtr<IUnknown>::Query(file);
  EXPECT_EQ(file.get(), url.As<ISBFileUrl>());
  EXPECT_EQ(fromUrl.get(), fromFile.get());
  EXPECT_EQ(fromUrl.get(), url.As<IUnknown>());
  EXPECT_EQ(url.Refs(), 4);
}

TEST(Objects, NamesAreUnique) {
  Host host;
  host.Make("doc");
  EXPECT_THROW(host.Make("doc"), std::invalid_argument);
}

TEST(Objects, OnlyOneHostAtATime) {
  Host host;
  EXPECT_THROW(Host(), std::logic_error);
}

TEST(Objects, ScriptedObjectWithoutTheFacetIsASetupError) {
  Host host;
  Object& root = host.Make("root");
  Object& wrong = host.Make("wrong");
  wrong.Add<FakeUnknown>();
  root.Add<FakeContainerRoot>().documentManager = &wrong;

  ISBDocumentManager* manager = nullptr;
  HRESULT status = S_OK;
  EXPECT_NONFATAL_FAILURE(status = root.As<ISBContainerRoot>()->GetDocumentManager(&manager),
                          "fake object wrong has no facet of the interface that "
                          "root.ISBContainerRoot.GetDocumentManager() hands out");
  EXPECT_EQ(status, E_NOINTERFACE);
  EXPECT_EQ(manager, nullptr);
  EXPECT_TRUE(host.Balanced());
}

TEST(Scripted, ListGivesItemsFromOneAndItsCount) {
  Host host;
  Object& a = host.Make("a");
  Object& b = host.Make("b");
  a.Add<FakeUrl>();
  b.Add<FakeUrl>();
  Object& list = host.Make("list");
  auto& fake = list.Add<FakeUrlList>();
  fake.items = {&a, &b};
  {
    std::int32_t count = 0;
    EXPECT_EQ(list.As<ISBUrlList>()->GetCount(&count), S_OK);
    EXPECT_EQ(count, 2);
    fake.count = -1;
    EXPECT_EQ(list.As<ISBUrlList>()->GetCount(&count), S_OK);
    EXPECT_EQ(count, -1);

    CfxComPtr<ISBUrl> item;
    EXPECT_EQ(list.As<ISBUrlList>()->GetItem(2, item.put()), S_OK);
    EXPECT_EQ(item.get(), b.As<ISBUrl>());
    EXPECT_EQ(b.Refs(), 2);
    for (const std::int32_t outside : {0, 3}) {
      EXPECT_EQ(list.As<ISBUrlList>()->GetItem(outside, item.put()), E_INVALIDARG) << outside;
      EXPECT_EQ(item.get(), nullptr);
    }
  }
  EXPECT_TRUE(host.Balanced());
}

TEST(Scripted, AnswersByLocationFallBackToDefaults) {
  Host host;
  Object& here = host.Make("here");
  Object& there = host.Make("there");
  here.Add<FakeUrl>();
  there.Add<FakeUrl>();
  Object& hereList = host.Make("hereList");
  Object& otherList = host.Make("otherList");
  hereList.Add<FakeUrlList>();
  otherList.Add<FakeUrlList>();
  Object& services = host.Make("services");
  auto& fake = services.Add<FakeUrlServices>();
  fake.lists[&here] = &hereList;
  fake.list = &otherList;
  Object& manager = host.Make("manager");
  manager.Add<FakeDocumentManager>().types[&here] = OLESTR("SDDocuments.StudyTableDocument");
  {
    CfxComPtr<ISBUrlList> list;
    services.As<ISBUrlServices>()->ListUrls(here.As<ISBUrl>(), list.put());
    EXPECT_EQ(list.get(), hereList.As<ISBUrlList>());
    services.As<ISBUrlServices>()->ListUrls(there.As<ISBUrl>(), list.put());
    EXPECT_EQ(list.get(), otherList.As<ISBUrlList>());

    CfxBSTR type;
    manager.As<ISBDocumentManager>()->GetDocumentType(here.As<ISBUrl>(), type.out());
    EXPECT_EQ(type.ToString(), "SDDocuments.StudyTableDocument");
    manager.As<ISBDocumentManager>()->GetDocumentType(there.As<ISBUrl>(), type.out());
    EXPECT_TRUE(type.IsEmpty());
  }
  EXPECT_TRUE(host.Balanced());
}

TEST(Scripted, SplitPathFillsOnlyTheSlotsAsked) {
  Host host;
  Object& disk = host.Make("disk");
  auto& fake = disk.Add<FakeDiskManager>();
  fake.splitName = OLESTR("model");
  fake.splitExtension = OLESTR(".abc");
  {
    CfxBSTR drive;
    CfxBSTR folder;
    CfxBSTR name;
    CfxBSTR extension;
    EXPECT_EQ(disk.As<ISBDiskManager>()->SplitPath(nullptr, drive.out(), folder.out(), name.out(), extension.out()),
              S_OK);
    EXPECT_NE(drive.in(), nullptr) << "an empty host string, not null";
    EXPECT_TRUE(drive.IsEmpty());
    EXPECT_TRUE(folder.IsEmpty());
    EXPECT_EQ(name.ToString(), "model");
    EXPECT_EQ(extension.ToString(), ".abc");
    EXPECT_EQ(disk.As<ISBDiskManager>()->SplitPath(nullptr, nullptr, nullptr, nullptr, extension.out()), S_OK);
    EXPECT_EQ(extension.ToString(), ".abc");
  }
  EXPECT_TRUE(host.Balanced());
}

TEST(Scripted, RecordedEffects) {
  Host host;
  Object& o = host.Make("o");
  auto& lockable = o.Add<FakeLockable>();
  auto& factory = o.Add<FakeUrlFactory>();
  auto& url = o.Add<FakeUrl>();
  auto& environment = o.Add<FakeEnvironment>();
  environment.expanded[OLESTR("%W%\\a")] = OLESTR("/w/a");
  {
    const CfxBSTR owner("Corvane Server");
    o.As<ISBLockable>()->Lock(owner.in());
    o.As<ISBLockable>()->Lock(owner.in());
    o.As<ISBLockable>()->Unlock(owner.in());
    o.As<ISBUrlFactory>()->SetHidden(CfxBSTR("/a").in(), VARIANT_TRUE);
    o.As<ISBUrlFactory>()->SetHidden(CfxBSTR("/b").in(), VARIANT_TRUE);
    o.As<ISBUrl>()->SetQuery(CfxBSTR("Recursive=No").in());

    CfxBSTR expanded;
    o.As<ISBEnvironment>()->ExpandVariables(CfxBSTR("%W%\\a").in(), expanded.out());
    EXPECT_EQ(expanded.ToString(), "/w/a");
    o.As<ISBEnvironment>()->ExpandVariables(CfxBSTR("plain").in(), expanded.out());
    EXPECT_EQ(expanded.ToString(), "plain");
  }
  EXPECT_EQ(lockable.locks, (std::map<CfxWString, int>{{OLESTR("Corvane Server"), 1}}));
  EXPECT_EQ(factory.hidden, (std::vector<CfxWString>{OLESTR("/a"), OLESTR("/b")}));
  EXPECT_EQ(url.query, OLESTR("Recursive=No"));
  EXPECT_TRUE(host.Balanced());
}

TEST(Scripted, FileExistsAnswersFromTheSet) {
  Host host;
  Object& root = host.Make("root");
  root.Add<FakeContainerRoot>().existingFiles = {"/p/model.abc"};
  VARIANT_BOOL exists = VARIANT_FALSE;
  root.As<ISBContainerRoot>()->FileExists(CfxBSTR("/p/model.abc").in(), &exists);
  EXPECT_EQ(exists, VARIANT_TRUE);
  root.As<ISBContainerRoot>()->FileExists(CfxBSTR("/p/other").in(), &exists);
  EXPECT_EQ(exists, VARIANT_FALSE);
}

}  // namespace
}  // namespace fakehost
