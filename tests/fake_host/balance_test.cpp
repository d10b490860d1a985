// Balanced(): the leak check every library test ends with.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <new>

#include "fake_host/host.h"
#include "host/com_ptr.h"
#include "host/cotaskmem.h"

namespace fakehost {
namespace {

// Keeps a reference it never gives back, as a library bug would.
void KeepForever(ISBUrl* url) {
  CfxComPtr<ISBUrl> kept(url);
  static_cast<void>(kept.Detach());
}

TEST(Balance, HoldsWhenEverythingIsGivenBack) {
  Host host;
  Object& url = host.Make("url");
  url.Add<FakeUrl>().name = OLESTR("n");
  url.Add<FakeFileUrl>();
  {
    CfxComPtr<ISBFileUrl> file = CfxComPtr<ISBFileUrl>::Query(url.As<ISBUrl>());
    CfxBSTR name;
    url.As<ISBUrl>()->GetName(name.out());
    EXPECT_EQ(url.Refs(), 2);
  }
  EXPECT_TRUE(host.Balanced());
}

TEST(Balance, NamesALeakedReference) {
  Host host;
  host.Make("other").Add<FakeUrl>();
  Object& url = host.Make("url");
  url.Add<FakeUrl>();
  KeepForever(url.As<ISBUrl>());

  EXPECT_NONFATAL_FAILURE(EXPECT_TRUE(host.Balanced()), "url: 2 references, 1 expected (leaked)");
  url.held = 2;  // a test that keeps a returned reference says so
  EXPECT_TRUE(host.Balanced());
}

TEST(Balance, NamesAnOverRelease) {
  Host host;
  Object& doc = host.Make("doc");
  doc.Add<FakeDocumentRoot>();
  doc.As<ISBDocumentRoot>()->Release();

  EXPECT_NONFATAL_FAILURE(EXPECT_TRUE(host.Balanced()), "doc: 0 references, 1 expected (over-released)");
}

TEST(Balance, CountsALeakedHostString) {
  Host host;
  BSTR leaked = CfxBSTR("kept").Detach();

  EXPECT_NONFATAL_FAILURE(EXPECT_TRUE(host.Balanced()), "host strings: +1 (leaked)");
  SysFreeString(leaked);
  EXPECT_TRUE(host.Balanced());
}

TEST(Balance, CountsALeakedOutString) {
  Host host;
  Object& url = host.Make("url");
  url.Add<FakeUrl>().name = OLESTR("n");
  BSTR name = nullptr;
  url.As<ISBUrl>()->GetName(&name);

  EXPECT_NONFATAL_FAILURE(EXPECT_TRUE(host.Balanced()), "host strings: +1 (leaked)");
  SysFreeString(name);
}

TEST(Balance, CountsTaskMemoryOfDependentExtensions) {
  Host host;
  Object& types = host.Make("types");
  types.Add<FakeFileTypes>().dependents[OLESTR(".abc")] = {OLESTR(".def"), OLESTR(".ghi")};
  LPOLESTR* extensions = nullptr;
  std::int32_t count = 0;

  ASSERT_EQ(types.As<ISBFileTypes>()->GetDependentExtensions(CfxBSTR(".abc").in(), &extensions, &count), S_OK);
  ASSERT_EQ(count, 2);
  EXPECT_EQ(CfxWString(extensions[0]), OLESTR(".def"));
  EXPECT_EQ(CfxWString(extensions[1]), OLESTR(".ghi"));
  EXPECT_NONFATAL_FAILURE(EXPECT_TRUE(host.Balanced()), "task memory blocks: +3 (leaked)");

  CoTaskMemFree(extensions[0]);
  CoTaskMemFree(extensions[1]);
  CoTaskMemFree(extensions);
  EXPECT_TRUE(host.Balanced());
}

TEST(Balance, FailedAllocationThrowsFromCfxBSTR) {
  Host host;
  host.FailAllocation(2);

  {
    const CfxBSTR first("first");
    EXPECT_THROW(CfxBSTR("second"), std::bad_alloc);
    const CfxBSTR third("third");
    EXPECT_EQ(third.ToString(), "third");
  }
  EXPECT_TRUE(host.Balanced());
}

TEST(Balance, FailedAllocationFailsAnOperationThatGivesText) {
  Host host;
  Object& url = host.Make("url");
  url.Add<FakeUrl>().name = OLESTR("n");
  host.FailAllocation(1);

  BSTR name = reinterpret_cast<BSTR>(0x1);
  EXPECT_EQ(url.As<ISBUrl>()->GetName(&name), E_OUTOFMEMORY);
  EXPECT_EQ(name, nullptr);
  EXPECT_TRUE(host.Balanced());
}

TEST(Balance, FailedAllocationInSplitPathTakesBackWhatWasGiven) {
  Host host;
  Object& disk = host.Make("disk");
  auto& fake = disk.Add<FakeDiskManager>();
  fake.splitName = OLESTR("model");
  fake.splitExtension = OLESTR(".abc");
  host.FailAllocation(2);  // the extension, after the name was given

  BSTR name = nullptr;
  BSTR extension = nullptr;
  EXPECT_EQ(disk.As<ISBDiskManager>()->SplitPath(nullptr, nullptr, nullptr, &name, &extension), E_OUTOFMEMORY);
  EXPECT_EQ(name, nullptr);
  EXPECT_EQ(extension, nullptr);
  EXPECT_TRUE(host.Balanced());
}

TEST(Balance, DestroyedHostStopsFailingAllocations) {
  {
    Host host;
    host.FailAllocation(1);
  }
  EXPECT_NO_THROW(CfxBSTR("fine"));
}

}  // namespace
}  // namespace fakehost
