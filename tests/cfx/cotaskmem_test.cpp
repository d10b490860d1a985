#include "host/cotaskmem.h"

#include <gtest/gtest.h>

#include "cfx/cfx_host.h"

namespace {

TEST(CoTaskMemTest, CountsLiveBlocks) {
  const std::size_t before = CfxLiveTaskMemCount();
  const std::size_t stringsBefore = CfxLiveStringCount();
  void* block = nullptr;
  void* empty = nullptr;
  {
    const CfxPlainTaskMemoryScope plain;
    block = CoTaskMemAlloc(64);
    empty = CoTaskMemAlloc(0);
  }
  ASSERT_NE(block, nullptr);
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(CfxLiveTaskMemCount(), before + 2);
  CoTaskMemFree(block);
  CoTaskMemFree(nullptr);
  EXPECT_EQ(CfxLiveTaskMemCount(), before + 1);
  CoTaskMemFree(empty);
  EXPECT_EQ(CfxLiveTaskMemCount(), before);
  EXPECT_EQ(CfxLiveStringCount(), stringsBefore) << "plain task memory is no host string";
}

// A host string and a block are counted apart, also where strings are task memory.
TEST(CoTaskMemTest, StringsAndBlocksAreCountedApart) {
  const std::size_t blocks = CfxLiveTaskMemCount();
  const std::size_t strings = CfxLiveStringCount();
  BSTR text = SysAllocString(OLESTR("text"));
  EXPECT_EQ(CfxLiveStringCount(), strings + 1);
  EXPECT_EQ(CfxLiveTaskMemCount(), blocks);
  SysFreeString(text);
  EXPECT_EQ(CfxLiveStringCount(), strings);
}

}  // namespace
