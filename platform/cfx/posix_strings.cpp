// Host strings on Linux: the framework's own length-prefixed allocator,
// counted so that tests can see leaks and fail the n-th allocation.
//
// A host string is one block: [uint32 byte length][UTF-16 text][zero]. The
// BSTR points at the text, so it can be passed wherever zero-terminated
// UTF-16 is expected while its length (embedded zeros included) stays known.
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "cfx/cfx_host.h"
#include "host/bstr.h"

namespace {

constexpr std::size_t kPrefixSize = sizeof(std::uint32_t);
// The byte length has to fit its 32-bit prefix.
constexpr std::uint32_t kMaxLength = std::numeric_limits<std::uint32_t>::max() / sizeof(OLECHAR) - 1;

std::atomic<std::size_t> liveStrings{0};
std::atomic<std::uint64_t> stringAllocations{0};
std::atomic<std::uint64_t> allocationsUntilFailure{0};

// Counts down the injected failure; true for the allocation it falls on.
bool InjectedFailureDue() noexcept {
  std::uint64_t left = allocationsUntilFailure.load(std::memory_order_relaxed);
  while (left != 0 && !allocationsUntilFailure.compare_exchange_weak(left, left - 1, std::memory_order_relaxed)) {
  }
  return left == 1;
}

char* BlockOf(BSTR text) noexcept { return reinterpret_cast<char*>(text) - kPrefixSize; }

}  // namespace

BSTR SysAllocString(const OLECHAR* text) {
  if (text == nullptr) return nullptr;
  const std::size_t length = std::char_traits<OLECHAR>::length(text);
  if (length > kMaxLength) return nullptr;
  return SysAllocStringLen(text, static_cast<std::uint32_t>(length));
}

BSTR SysAllocStringLen(const OLECHAR* text, std::uint32_t length) {
  if (length > kMaxLength || InjectedFailureDue()) return nullptr;
  const std::uint32_t byteLength = length * sizeof(OLECHAR);
  char* block = static_cast<char*>(std::malloc(kPrefixSize + byteLength + sizeof(OLECHAR)));
  if (block == nullptr) return nullptr;
  std::memcpy(block, &byteLength, kPrefixSize);
  BSTR result = reinterpret_cast<BSTR>(block + kPrefixSize);
  // Without source text the string is `length` zero characters.
  if (text != nullptr) {
    std::memcpy(result, text, byteLength);
  } else {
    std::memset(result, 0, byteLength);
  }
  result[length] = OLESTR('\0');
  liveStrings.fetch_add(1, std::memory_order_relaxed);
  stringAllocations.fetch_add(1, std::memory_order_relaxed);
  return result;
}

void SysFreeString(BSTR text) noexcept {
  if (text == nullptr) return;
  liveStrings.fetch_sub(1, std::memory_order_relaxed);
  std::free(BlockOf(text));
}

std::uint32_t SysStringLen(BSTR text) noexcept {
  if (text == nullptr) return 0;
  std::uint32_t byteLength = 0;
  std::memcpy(&byteLength, BlockOf(text), kPrefixSize);
  return byteLength / sizeof(OLECHAR);
}

std::size_t CfxLiveStringCount() noexcept { return liveStrings.load(std::memory_order_relaxed); }

std::uint64_t CfxStringAllocationCount() noexcept { return stringAllocations.load(std::memory_order_relaxed); }

void CfxFailStringAllocation(std::uint64_t n) noexcept { allocationsUntilFailure.store(n, std::memory_order_relaxed); }
