// Injected faults: which call is hit, and what a hit call does.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "fake_host/host.h"
#include "host/com_ptr.h"
#include "host/container_utils.h"

namespace fakehost {
namespace {

// Four calls on one location, the second a different operation.
struct FaultCase {
  const char* label;
  std::function<void(Host&)> inject;
  std::vector<bool> failed;  // per call
  friend void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.label; }
};

class FaultSelection : public testing::TestWithParam<FaultCase> {};

TEST_P(FaultSelection, HitsExactlyTheChosenCalls) {
  Host host;
  Object& url = host.Make("url");
  url.Add<FakeUrl>().name = OLESTR("model.abc");
  url.Get<FakeUrl>().fileName = OLESTR("/p/model.abc");
  url.As<ISBUrl>()->SetQuery(nullptr);  // a call before the fault is armed: "from now" starts after it
  GetParam().inject(host);

  std::vector<bool> failed;
  for (const bool fileName : {false, true, false, false}) {
    CfxBSTR text;
    const HRESULT status = fileName ? url.As<ISBUrl>()->GetFileName(text.out()) : url.As<ISBUrl>()->GetName(text.out());
    failed.push_back(status == E_ACCESSDENIED);
    if (status == E_ACCESSDENIED) {
      EXPECT_EQ(text.in(), nullptr) << "a failed call gives no text";
    } else {
      EXPECT_EQ(status, S_OK);
      EXPECT_FALSE(text.IsEmpty());
    }
  }
  EXPECT_EQ(failed, GetParam().failed);
  EXPECT_EQ(host.CallCount(), 5);
  EXPECT_TRUE(host.Balanced());
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FaultSelection,
    testing::Values(
        FaultCase{"first_call", [](Host& h) { h.FailCall(1, E_ACCESSDENIED); }, {true, false, false, false}},
        FaultCase{"third_call", [](Host& h) { h.FailCall(3, E_ACCESSDENIED); }, {false, false, true, false}},
        FaultCase{"call_past_the_end", [](Host& h) { h.FailCall(5, E_ACCESSDENIED); }, {false, false, false, false}},
        FaultCase{"second_match",
                  [](Host& h) { h.FailOp("ISBUrl.GetName", 2, E_ACCESSDENIED); },
                  {false, false, true, false}},
        FaultCase{"every_match", [](Host& h) { h.FailOp("GetName()", 0, E_ACCESSDENIED); }, {true, false, true, true}},
        FaultCase{"other_operation",
                  [](Host& h) { h.FailOp("GetFileName", 1, E_ACCESSDENIED); },
                  {false, true, false, false}},
        FaultCase{
            "no_match", [](Host& h) { h.FailOp("other.ISBUrl", 0, E_ACCESSDENIED); }, {false, false, false, false}},
        FaultCase{"two_rules",
                  [](Host& h) {
                    h.FailCall(1, E_ACCESSDENIED);
                    h.FailOp("GetName", 3, E_ACCESSDENIED);
                  },
                  {true, false, false, true}}),
    [](const testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.label); });

TEST(Faults, NegativeStatusDoesNoWork) {
  Host host;
  Object& doc = host.Make("doc");
  auto& lockable = doc.Add<FakeLockable>();
  host.FailOp("Lock", 0, E_FAIL);

  EXPECT_EQ(doc.As<ISBLockable>()->Lock(CfxBSTR("owner").in()), E_FAIL);
  EXPECT_TRUE(lockable.locks.empty());
}

TEST(Faults, NegativeStatusNullsEveryOutSlot) {
  Host host;
  Object& disk = host.Make("disk");
  auto& fake = disk.Add<FakeDiskManager>();
  fake.splitName = OLESTR("model");
  fake.splitExtension = OLESTR(".abc");
  host.FailCall(1, E_FAIL);

  // Slots that hold garbage on the way in must come back null.
  BSTR drive = reinterpret_cast<BSTR>(0x1);
  BSTR folder = reinterpret_cast<BSTR>(0x1);
  BSTR name = reinterpret_cast<BSTR>(0x1);
  BSTR extension = reinterpret_cast<BSTR>(0x1);
  EXPECT_EQ(disk.As<ISBDiskManager>()->SplitPath(CfxBSTR("m").in(), &drive, &folder, &name, &extension), E_FAIL);
  EXPECT_EQ(drive, nullptr);
  EXPECT_EQ(folder, nullptr);
  EXPECT_EQ(name, nullptr);
  EXPECT_EQ(extension, nullptr);

  Object& list = host.Make("list");
  list.Add<FakeUrlList>().items = {&disk};
  host.FailOp("GetCount", 1, E_FAIL);
  std::int32_t count = 99;
  EXPECT_EQ(list.As<ISBUrlList>()->GetCount(&count), E_FAIL);
  EXPECT_EQ(count, 0);
  EXPECT_TRUE(host.Balanced());
}

TEST(Faults, PositiveStatusDoesTheWorkAndReturnsIt) {
  Host host;
  Object& doc = host.Make("doc");
  auto& lockable = doc.Add<FakeLockable>();
  Object& url = host.Make("url");
  url.Add<FakeUrl>().name = OLESTR("model.abc");
  host.FailOp("", 0, S_FALSE);

  EXPECT_EQ(doc.As<ISBLockable>()->Lock(CfxBSTR("owner").in()), S_FALSE);
  EXPECT_EQ(lockable.locks[OLESTR("owner")], 1);
  {
    CfxBSTR name;
    EXPECT_EQ(url.As<ISBUrl>()->GetName(name.out()), S_FALSE);
    EXPECT_EQ(name.ToString(), "model.abc");
  }
  EXPECT_TRUE(host.Balanced());
}

TEST(Faults, QueryFailsWithNullResult) {
  Host host;
  Object& url = host.Make("url");
  url.Add<FakeUrl>();
  url.Add<FakeFileUrl>();
  host.FailOp("QueryInterface(ISBFileUrl)", 1, E_OUTOFMEMORY);

  void* out = &url;
  EXPECT_EQ(url.As<ISBUrl>()->QueryInterface(InterfaceIdOf<ISBFileUrl>, &out), E_OUTOFMEMORY);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(url.Refs(), 1);
  EXPECT_TRUE(CfxComPtr<ISBFileUrl>::TryQuery(url.As<ISBUrl>())) << "only the first query was failed";
  EXPECT_TRUE(host.Balanced());
}

TEST(Faults, QueryForAMissingInterfaceIsNoInterface) {
  Host host;
  Object& url = host.Make("url");
  url.Add<FakeUrl>();

  void* out = &url;
  EXPECT_EQ(url.As<ISBUrl>()->QueryInterface(InterfaceIdOf<ISBFileUrl>, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(url.Refs(), 1);
  EXPECT_EQ(host.Journal(), std::vector<std::string>{"url.QueryInterface(ISBFileUrl)"});
}

TEST(Faults, StreamAndPathCallsThrowTheInjectedStatus) {
  Host host;
  host.AddFile(OLESTR("/t.txt"), "abc");
  host.FailOp("stream.Open", 1, E_ACCESSDENIED);
  host.FailOp("Paths::ReplaceExtension", 0, E_FAIL);

  CfxFileStream stream;
  try {
    stream.Open(CfxFileStreamModeRead, CfxBSTR("/t.txt").in());
    ADD_FAILURE() << "Open did not throw";
  } catch (const CfxResult& result) {
    EXPECT_EQ(result.Code(), E_ACCESSDENIED);
    EXPECT_EQ(result.Description(), "injected failure");
  }
  try {
    static_cast<void>(Paths::ReplaceExtension("m.abc", ".def"));
    ADD_FAILURE() << "ReplaceExtension did not throw";
  } catch (const CfxResult& result) {
    EXPECT_EQ(result.Code(), E_FAIL);
    EXPECT_EQ(result.Description(), "injected failure");
  }
}

}  // namespace
}  // namespace fakehost
