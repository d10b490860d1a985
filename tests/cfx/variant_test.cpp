#include "host/variant.h"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <vector>

#include "cfx/cfx_host.h"
#include "string_leak_check.h"

namespace {

// The status a call threw as a bare HRESULT, if it threw one.
template <class F>
std::optional<HRESULT> ThrownStatus(F&& call) {
  try {
    call();
  } catch (HRESULT status) {
    return status;
  }
  return std::nullopt;
}

class VariantTest : public StringLeakCheck {
 protected:
  void TearDown() override {
    CfxSetVariantClearHook({});
    StringLeakCheck::TearDown();
  }

  // Installs a hook that records the type of every variant it is given.
  void RecordClears(HRESULT status = S_OK) {
    CfxSetVariantClearHook([this, status](VARIANT* variant) {
      hookSaw_.push_back(variant->vt);
      return status;
    });
  }

  std::vector<VARTYPE> hookSaw_;
};

// An array of an element type that no variant can hold: the platform's
// VariantClear and the framework's own both refuse it and leave it as it is.
constexpr VARTYPE kUnknownArrayType = VT_ARRAY | 0x0FFF;

struct ClearCase {
  VARTYPE type;
  bool reachesVariantClear;
};

// Only types with the array or by-reference flag reach VariantClear.
const ClearCase kClearCases[] = {
    {VT_EMPTY, false},
    {VT_NULL, false},
    {VT_I2, false},
    {VT_I4, false},
    {VT_BOOL, false},
    {VT_UNKNOWN, false},
    {VT_DISPATCH, false},
    {0x40, false},
    {VT_BSTR | VT_BYREF, true},
    {VT_I4 | VT_BYREF, true},
    {VT_ARRAY | VT_I4, true},
    {VT_ARRAY | VT_BYREF | VT_BSTR, true},
};

TEST_F(VariantTest, HookSeesExactlyTheIndirectTypes) {
  RecordClears();
  for (const ClearCase& c : kClearCases) {
    hookSaw_.clear();
    CfxVariant variant;
    variant.vt = c.type;
    variant.llVal = 0;  // null interfaces and references: nothing to release
    variant.Clear();
    EXPECT_EQ(variant.vt, VT_EMPTY) << "type " << c.type;
    EXPECT_EQ(hookSaw_, c.reachesVariantClear ? std::vector<VARTYPE>{c.type} : std::vector<VARTYPE>{})
        << "type " << c.type;
  }
}

TEST_F(VariantTest, StringIsFreedDirectly) {
  RecordClears();
  CfxVariant variant;
  variant.vt = VT_BSTR;
  variant.bstrVal = SysAllocString(OLESTR("owned"));
  variant.Clear();
  EXPECT_EQ(variant.vt, VT_EMPTY);
  EXPECT_TRUE(hookSaw_.empty());
  EXPECT_EQ(LiveSinceStart(), 0);
}

TEST_F(VariantTest, FailingVariantClearIsThrownAsABareStatus) {
  CfxVariant variant;
  variant.vt = kUnknownArrayType;
  variant.parray = nullptr;
  EXPECT_EQ(ThrownStatus([&] { variant.Clear(); }), DISP_E_BADVARTYPE);
  EXPECT_EQ(variant.vt, kUnknownArrayType) << "a failed clear leaves the value as it was";

  RecordClears(E_ACCESSDENIED);
  variant.vt = VT_I4 | VT_BYREF;
  EXPECT_EQ(ThrownStatus([&] { variant.Clear(); }), E_ACCESSDENIED);
  variant.vt = VT_EMPTY;
}

TEST_F(VariantTest, SuccessWithInformationFromVariantClearStillEmpties) {
  RecordClears(S_FALSE);
  CfxVariant variant;
  variant.vt = VT_I4 | VT_BYREF;
  EXPECT_EQ(ThrownStatus([&] { variant.Clear(); }), std::nullopt);
  EXPECT_EQ(variant.vt, VT_EMPTY);
}

TEST_F(VariantTest, DestructorSwallowsClearingFailures) {
  {
    CfxVariant variant;
    variant.vt = kUnknownArrayType;
    variant.parray = nullptr;
  }
  int calls = 0;
  CfxSetVariantClearHook([&](VARIANT*) -> HRESULT {
    ++calls;
    throw std::runtime_error("hook failure");
  });
  {
    CfxVariant variant;
    variant.vt = VT_BSTR | VT_BYREF;
  }
  EXPECT_EQ(calls, 1);
}

TEST_F(VariantTest, SetHoldsItsOwnCopy) {
  const CfxBSTR text(OLESTR("value"));
  CfxVariant variant(text);
  ASSERT_EQ(variant.vt, VT_BSTR);
  EXPECT_NE(variant.bstrVal, text.in());
  EXPECT_EQ(CfxWStringView(variant.bstrVal, SysStringLen(variant.bstrVal)), OLESTR("value"));
  EXPECT_EQ(LiveSinceStart(), 2);

  variant.Set(CfxBSTR(CfxWStringView(OLESTR("a\0b"), 3)));
  EXPECT_EQ(SysStringLen(variant.bstrVal), 3u) << "the copy keeps embedded zeros";
  EXPECT_EQ(LiveSinceStart(), 2) << "Set frees the previous value";

  variant.Set(CfxBSTR());
  EXPECT_EQ(variant.vt, VT_BSTR);
  EXPECT_EQ(SysStringLen(variant.bstrVal), 0u);
}

TEST_F(VariantTest, SetThrowsBadAllocAndLeavesTheVariantEmpty) {
  CfxVariant variant(CfxBSTR(OLESTR("old")));
  const CfxBSTR text(OLESTR("new"));
  CfxFailStringAllocation(1);
  EXPECT_THROW(variant.Set(text), std::bad_alloc);
  EXPECT_EQ(variant.vt, VT_EMPTY);
}

TEST_F(VariantTest, MovesTransferTheValue) {
  CfxVariant source(CfxBSTR(OLESTR("moving")));
  const BSTR text = source.bstrVal;
  CfxVariant target(std::move(source));
  EXPECT_EQ(source.vt, VT_EMPTY);
  EXPECT_EQ(target.vt, VT_BSTR);
  EXPECT_EQ(target.bstrVal, text);

  CfxVariant other(CfxBSTR(OLESTR("replaced")));
  other = std::move(target);
  EXPECT_EQ(target.vt, VT_EMPTY);
  EXPECT_EQ(other.bstrVal, text);
  EXPECT_EQ(LiveSinceStart(), 1) << "move assignment frees the old value";
}

TEST_F(VariantTest, VariantClearRules) {
  VARIANT variant;
  VariantInit(&variant);
  EXPECT_EQ(variant.vt, VT_EMPTY);

  variant.vt = VT_BSTR;
  variant.bstrVal = SysAllocString(OLESTR("freed"));
  EXPECT_EQ(VariantClear(&variant), S_OK);
  EXPECT_EQ(variant.vt, VT_EMPTY);
  EXPECT_EQ(LiveSinceStart(), 0);

  // By reference: the referent belongs to someone else and stays alive.
  BSTR referent = SysAllocString(OLESTR("not ours"));
  variant.vt = VT_BSTR | VT_BYREF;
  variant.byref = &referent;
  EXPECT_EQ(VariantClear(&variant), S_OK);
  EXPECT_EQ(variant.vt, VT_EMPTY);
  EXPECT_EQ(LiveSinceStart(), 1);
  SysFreeString(referent);

  SAFEARRAY* const notOurs = reinterpret_cast<SAFEARRAY*>(&referent);
  variant.vt = kUnknownArrayType;
  variant.parray = notOurs;
  EXPECT_EQ(VariantClear(&variant), DISP_E_BADVARTYPE);
  EXPECT_EQ(variant.vt, kUnknownArrayType);
  EXPECT_EQ(variant.parray, notOurs);

  variant.vt = VT_I4;
  variant.lVal = 7;
  EXPECT_EQ(VariantClear(&variant), S_OK);
  EXPECT_EQ(variant.vt, VT_EMPTY);
}

}  // namespace
