#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <string>

#include "cfx/cfx_host.h"
#include "fake_host/host.h"
#include "frame/call_frame.h"

namespace {

using fakehost::FakeUnknown;
using fakehost::Host;

// What each kind of exception becomes when the quiet release catches it.
TEST(ResultOfCurrentException, ConvertsEachKindOfException) {
  struct Case {
    const char* what;
    std::function<void()> raise;
    HRESULT code;
    std::string description;
    bool diagnosed;
  };
  const Case cases[] = {
      {"result", [] { throw CfxResult(E_ACCESSDENIED, "kept as it is", 1); }, E_ACCESSDENIED, "kept as it is", false},
      {"bare status", [] { throw E_POINTER; }, E_POINTER, CfxResult::StandardDescription(E_POINTER).Description(),
       false},
      {"out of memory", [] { throw std::bad_alloc(); }, E_OUTOFMEMORY, std::bad_alloc().what(), false},
      {"standard exception", [] { throw std::runtime_error("disk on fire"); }, E_FAIL, "disk on fire", false},
      {"anything else", [] { throw 2.5; }, E_FAIL, "Internal Error", true},
  };
  for (const auto& c : cases) {
    const auto diagnosedBefore = CfxGenericCatchCount();
    CfxResult result;
    try {
      c.raise();
    } catch (...) {
      result = zarn::ResultOfCurrentException();
    }
    EXPECT_EQ(result.Code(), c.code) << c.what;
    EXPECT_EQ(result.Description(), c.description) << c.what;
    EXPECT_EQ(CfxGenericCatchCount() - diagnosedBefore, c.diagnosed ? 1u : 0u) << c.what;
  }
  // A result keeps its last-description action too.
  try {
    throw CfxResult(E_FAIL, "x", 1);
  } catch (...) {
    EXPECT_EQ(zarn::ResultOfCurrentException().LastDescriptionAction(), 1);
  }
}

// A variant that the clearing rules send to VariantClear, where the hook fails.
class QuietReleaseOfAFailingClear : public ::testing::Test {
 protected:
  ~QuietReleaseOfAFailingClear() override { CfxSetVariantClearHook({}); }
  static CfxVariant ArrayVariant() {
    CfxVariant variant;
    variant.vt = VT_ARRAY | VT_I4;
    variant.parray = nullptr;
    return variant;
  }
};

TEST_F(QuietReleaseOfAFailingClear, NeverRaises) {
  const std::function<HRESULT(VARIANT*)> hooks[] = {
      [](VARIANT*) -> HRESULT { return E_FAIL; },
      [](VARIANT*) -> HRESULT { throw CfxResult(E_FAIL, "result"); },
      [](VARIANT*) -> HRESULT { throw E_ACCESSDENIED; },
      [](VARIANT*) -> HRESULT { throw std::bad_alloc(); },
      [](VARIANT*) -> HRESULT { throw std::logic_error("logic"); },
      [](VARIANT*) -> HRESULT { throw 'x'; },
  };
  for (const auto& hook : hooks) {
    int calls = 0;
    CfxSetVariantClearHook([&](VARIANT* variant) {
      ++calls;
      return hook(variant);
    });
    CfxVariant variant = ArrayVariant();
    EXPECT_NO_THROW(zarn::QuietRelease(variant));
    EXPECT_EQ(calls, 1);
    CfxSetVariantClearHook([](VARIANT* variant) {
      variant->vt = VT_EMPTY;
      return S_OK;
    });
  }
}

TEST_F(QuietReleaseOfAFailingClear, ReportsOnlyUnknownExceptionsToTheDiagnosis) {
  CfxVariant variant = ArrayVariant();
  CfxSetVariantClearHook([](VARIANT*) -> HRESULT { throw std::runtime_error("known"); });
  const auto before = CfxGenericCatchCount();
  zarn::QuietRelease(variant);
  EXPECT_EQ(CfxGenericCatchCount(), before);
  CfxSetVariantClearHook([](VARIANT*) -> HRESULT { throw 42.0; });
  zarn::QuietRelease(variant);
  EXPECT_EQ(CfxGenericCatchCount(), before + 1);
  CfxSetVariantClearHook([](VARIANT* v) {
    v->vt = VT_EMPTY;
    return S_OK;
  });
}

TEST(QuietRelease, FreesTheStringOfAStringVariant) {
  Host host;
  {
    CfxVariant variant(CfxBSTR(OLESTR("C:/work/out.txt")));
    EXPECT_EQ(variant.vt, VT_BSTR);
    zarn::QuietRelease(variant);
    EXPECT_EQ(variant.vt, VT_EMPTY);
  }
  EXPECT_TRUE(host.Balanced());
}

TEST(QuietRelease, ReleasesTheObjectOfAnInterfaceVariant) {
  for (const VARTYPE type : {VARTYPE{VT_UNKNOWN}, VARTYPE{VT_DISPATCH}}) {
    Host host;
    auto& view = host.Make("view");
    view.Add<FakeUnknown>();
    CfxVariant variant;
    variant.vt = type;
    variant.punkVal = view.As<IUnknown>();
    variant.punkVal->AddRef();
    EXPECT_EQ(view.Refs(), 2);
    zarn::QuietRelease(variant);
    EXPECT_EQ(variant.vt, VT_EMPTY);
    EXPECT_TRUE(host.Balanced());
  }
}

TEST(QuietRelease, LeavesAnEmptyVariantEmpty) {
  Host host;
  CfxVariant variant;
  zarn::QuietRelease(variant);
  EXPECT_EQ(variant.vt, VT_EMPTY);
  EXPECT_TRUE(host.Journal().empty());
}

}  // namespace
