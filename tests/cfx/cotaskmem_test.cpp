#include "host/cotaskmem.h"

#include <gtest/gtest.h>

#include "cfx/cfx_host.h"

namespace {

TEST(CoTaskMemTest, CountsLiveBlocks) {
  const std::size_t before = CfxLiveTaskMemCount();
  void* block = CoTaskMemAlloc(64);
  void* empty = CoTaskMemAlloc(0);
  ASSERT_NE(block, nullptr);
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(CfxLiveTaskMemCount(), before + 2);
  CoTaskMemFree(block);
  CoTaskMemFree(nullptr);
  EXPECT_EQ(CfxLiveTaskMemCount(), before + 1);
  CoTaskMemFree(empty);
  EXPECT_EQ(CfxLiveTaskMemCount(), before);
}

}  // namespace
