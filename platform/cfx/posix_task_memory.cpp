// Task memory on Linux: the framework's own, over malloc, counted so that
// tests can see leaks.
#include <atomic>
#include <cstdlib>
#include <utility>

#include "cfx/cfx_host.h"
#include "host/cotaskmem.h"

namespace {
std::atomic<std::size_t> liveBlocks{0};
// Set only by a test's host while no other thread uses task memory.
CfxTaskMemFreeObserver freeObserver;
}  // namespace

void* CoTaskMemAlloc(std::size_t size) noexcept {
  // A zero-sized request still gets a distinct block that must be freed.
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block != nullptr) liveBlocks.fetch_add(1, std::memory_order_relaxed);
  return block;
}

void CoTaskMemFree(void* block) noexcept {
  if (block == nullptr) return;
  if (freeObserver) freeObserver(block);
  liveBlocks.fetch_sub(1, std::memory_order_relaxed);
  std::free(block);
}

// Host strings are not task memory here: nothing to tell apart.
CfxPlainTaskMemoryScope::CfxPlainTaskMemoryScope() noexcept = default;
CfxPlainTaskMemoryScope::~CfxPlainTaskMemoryScope() = default;

std::size_t CfxLiveTaskMemCount() noexcept { return liveBlocks.load(std::memory_order_relaxed); }

void CfxSetTaskMemFreeObserver(CfxTaskMemFreeObserver observer) { freeObserver = std::move(observer); }
