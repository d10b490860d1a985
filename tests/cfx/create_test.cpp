#include "host/create.h"

#include <gtest/gtest.h>

#include <optional>

#include "cfx/cfx_host.h"

namespace {

constexpr nsID kClass = nsIDFromText("{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}");
constexpr nsID kInterface = nsIDFromText("{11111111-2222-3333-4444-555555555555}");
constexpr nsID kUnknownClass = nsIDFromText("{DEADBEEF-0000-0000-0000-000000000001}");

class CreateTest : public ::testing::Test {
 protected:
  void TearDown() override { CfxRegisterClassFactory(kClass, {}); }
  void* out_ = &garbage_;  // a stale value that CfxCreateImpl must overwrite
  int garbage_ = 0;
};

TEST_F(CreateTest, UnregisteredClassIsReturnedWithoutThrowFlag) {
  const CfxResult result = CfxCreateImpl(kUnknownClass, nullptr, CLSCTX_INPROC_SERVER, kInterface, &out_, 0);
  EXPECT_EQ(result.Code(), REGDB_E_CLASSNOTREG);
  EXPECT_NE(result.Description().find("{DEADBEEF-0000-0000-0000-000000000001}"), std::string::npos)
      << result.Description();
  EXPECT_EQ(out_, nullptr);
}

TEST_F(CreateTest, UnregisteredClassIsThrownWithThrowFlag) {
  try {
    (void)CfxCreateImpl(kUnknownClass, nullptr, CLSCTX_INPROC_SERVER, kInterface, &out_, 1);
    ADD_FAILURE() << "no exception";
  } catch (const CfxResult& result) {
    EXPECT_EQ(result.Code(), REGDB_E_CLASSNOTREG);
  }
  EXPECT_EQ(out_, nullptr);
}

TEST_F(CreateTest, FactoryReceivesEveryRequestField) {
  std::optional<CfxCreateRequest> seen;
  int object = 0;
  CfxRegisterClassFactory(kClass, [&](const CfxCreateRequest& request, void** out) {
    seen = request;
    EXPECT_EQ(*out, nullptr) << "the slot is cleared before the factory runs";
    *out = &object;
    return S_OK;
  });
  auto* outer = reinterpret_cast<IUnknown*>(&garbage_);
  const CfxResult result = CfxCreateImpl(kClass, outer, CLSCTX_LOCAL_SERVER, kInterface, &out_, 7);
  EXPECT_EQ(result.Code(), S_OK);
  EXPECT_EQ(out_, &object);
  ASSERT_TRUE(seen);
  EXPECT_EQ(seen->clsid, kClass);
  EXPECT_EQ(seen->outer, outer);
  EXPECT_EQ(seen->context, CLSCTX_LOCAL_SERVER);
  EXPECT_EQ(seen->iid, kInterface);
  EXPECT_EQ(seen->throwFlag, 7);
}

TEST_F(CreateTest, FactoryFailureFollowsTheThrowFlag) {
  CfxRegisterClassFactory(kClass, [](const CfxCreateRequest&, void**) { return E_OUTOFMEMORY; });
  const CfxResult returned = CfxCreateImpl(kClass, nullptr, CLSCTX_INPROC_SERVER, kInterface, &out_, 0);
  EXPECT_EQ(returned.Code(), E_OUTOFMEMORY);
  EXPECT_EQ(returned.Description(), CfxResult::StandardDescription(E_OUTOFMEMORY).Description());
  EXPECT_EQ(out_, nullptr);

  EXPECT_THROW((void)CfxCreateImpl(kClass, nullptr, CLSCTX_INPROC_SERVER, kInterface, &out_, 1), CfxResult);
}

TEST_F(CreateTest, EmptyFactoryUnregisters) {
  CfxRegisterClassFactory(kClass, [](const CfxCreateRequest&, void**) { return S_OK; });
  EXPECT_EQ(CfxCreateImpl(kClass, nullptr, CLSCTX_INPROC_SERVER, kInterface, &out_, 0).Code(), S_OK);
  CfxRegisterClassFactory(kClass, {});
  EXPECT_EQ(CfxCreateImpl(kClass, nullptr, CLSCTX_INPROC_SERVER, kInterface, &out_, 0).Code(), REGDB_E_CLASSNOTREG);
}

}  // namespace
