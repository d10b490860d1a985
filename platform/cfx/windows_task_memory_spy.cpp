// Accounting and fault injection of host strings and task memory on Windows.
//
// The platform allocates both (oleaut32, ole32), so the framework does not
// own the allocator it has to watch. COM lets one spy see every task memory
// allocation and free of the process (CoRegisterMallocSpy); with the string
// cache off (SetOaNoCache), every SysAllocString* is one such allocation
// and every SysFreeString one such free. The platform cannot tell a string's
// block from any other: a block is counted as a host string unless it was
// made inside a CfxPlainTaskMemoryScope (see cfx_host.h), and only string
// allocations are counted and made to fail.
//
// The spy is registered on the first call of any function below, so a host
// that checks for leaks takes its baseline before the calls it watches.
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <unordered_set>
#include <utility>

#include "cfx/cfx_host.h"
#include "host/com_types.h"

namespace {

// oleaut32 exports SetOaNoCache, but no SDK header declares it and its import
// library is not known to have it: it is found when it is needed.
void TurnOffTheStringCache() {
  using SetOaNoCacheFunction = void(WINAPI*)(void);
  const HMODULE oleaut32 = GetModuleHandleW(L"oleaut32.dll");
  const auto setOaNoCache =
      oleaut32 ? reinterpret_cast<SetOaNoCacheFunction>(GetProcAddress(oleaut32, "SetOaNoCache")) : nullptr;
  // With the cache on, a freed string is not freed and the counts are wrong.
  if (!setOaNoCache) std::abort();
  setOaNoCache();
}

// CfxPlainTaskMemoryScopes alive on this thread.
thread_local int plainScopes = 0;

class TaskMemorySpy final : public IMallocSpy {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IMallocSpy) {
      *out = static_cast<IMallocSpy*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  // The spy lives as long as the process: COM's references do not own it.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  // A zero size makes the allocation fail: that is how a failure is injected.
  SIZE_T STDMETHODCALLTYPE PreAlloc(SIZE_T size) override {
    return plainScopes == 0 && InjectedFailureDue() ? 0 : size;
  }
  void* STDMETHODCALLTYPE PostAlloc(void* block) override {
    if (block == nullptr) return block;
    if (plainScopes > 0) {
      std::lock_guard lock(mutex_);
      plainBlocks_.insert(block);
      liveBlocks.fetch_add(1, std::memory_order_relaxed);
    } else {
      liveStrings.fetch_add(1, std::memory_order_relaxed);
      stringAllocations.fetch_add(1, std::memory_order_relaxed);
    }
    return block;
  }
  // Blocks allocated before the spy came are not counted going either way.
  // The observer hears of plain blocks only (host strings are not task
  // memory it was given), outside the lock: it may allocate itself.
  void* STDMETHODCALLTYPE PreFree(void* block, BOOL spied) override {
    if (block == nullptr || !spied) return block;
    bool plain = false;
    {
      std::lock_guard lock(mutex_);
      plain = plainBlocks_.erase(block) != 0;
    }
    if (plain) {
      if (freeObserver) freeObserver(block);
      liveBlocks.fetch_sub(1, std::memory_order_relaxed);
    } else {
      liveStrings.fetch_sub(1, std::memory_order_relaxed);
    }
    return block;
  }
  void STDMETHODCALLTYPE PostFree(BOOL) override {}
  SIZE_T STDMETHODCALLTYPE PreRealloc(void* block, SIZE_T size, void** newBlock, BOOL) override {
    *newBlock = block;
    return size;
  }
  void* STDMETHODCALLTYPE PostRealloc(void* block, BOOL) override { return block; }
  void* STDMETHODCALLTYPE PreGetSize(void* block, BOOL) override { return block; }
  SIZE_T STDMETHODCALLTYPE PostGetSize(SIZE_T size, BOOL) override { return size; }
  void* STDMETHODCALLTYPE PreDidAlloc(void* block, BOOL) override { return block; }
  int STDMETHODCALLTYPE PostDidAlloc(void*, BOOL, int actual) override { return actual; }
  void STDMETHODCALLTYPE PreHeapMinimize() override {}
  void STDMETHODCALLTYPE PostHeapMinimize() override {}

  std::atomic<std::size_t> liveStrings{0};
  std::atomic<std::size_t> liveBlocks{0};
  std::atomic<std::uint64_t> stringAllocations{0};
  std::atomic<std::uint64_t> allocationsUntilFailure{0};
  // Set only by a test's host while no other thread uses task memory.
  CfxTaskMemFreeObserver freeObserver;

 private:
  std::mutex mutex_;
  std::unordered_set<void*> plainBlocks_;  // the live blocks made in a plain scope

  // Counts down the injected failure; true for the allocation it falls on.
  bool InjectedFailureDue() noexcept {
    std::uint64_t left = allocationsUntilFailure.load(std::memory_order_relaxed);
    while (left != 0 && !allocationsUntilFailure.compare_exchange_weak(left, left - 1, std::memory_order_relaxed)) {
    }
    return left == 1;
  }
};

TaskMemorySpy& Spy() noexcept {
  static TaskMemorySpy spy;
  static std::once_flag registered;
  std::call_once(registered, [] {
    TurnOffTheStringCache();
    // Only one spy per process; if another holds the place, counts stay 0
    // and a leak check sees nothing move, so make that loud.
    if (FAILED(CoRegisterMallocSpy(&spy))) std::abort();
    // Wine's allocator looks for a freed block among the spied ones in a
    // table it makes at the first spied allocation, and crashes on a block
    // freed before that one (made before the spy came). One block now makes it.
    ++plainScopes;
    CoTaskMemFree(CoTaskMemAlloc(1));
    --plainScopes;
  });
  return spy;
}

}  // namespace

CfxPlainTaskMemoryScope::CfxPlainTaskMemoryScope() noexcept {
  Spy();
  ++plainScopes;
}

CfxPlainTaskMemoryScope::~CfxPlainTaskMemoryScope() { --plainScopes; }

std::size_t CfxLiveStringCount() noexcept { return Spy().liveStrings.load(std::memory_order_relaxed); }

std::size_t CfxLiveTaskMemCount() noexcept { return Spy().liveBlocks.load(std::memory_order_relaxed); }

std::uint64_t CfxStringAllocationCount() noexcept { return Spy().stringAllocations.load(std::memory_order_relaxed); }

void CfxFailStringAllocation(std::uint64_t n) noexcept {
  Spy().allocationsUntilFailure.store(n, std::memory_order_relaxed);
}

void CfxSetTaskMemFreeObserver(CfxTaskMemFreeObserver observer) { Spy().freeObserver = std::move(observer); }
