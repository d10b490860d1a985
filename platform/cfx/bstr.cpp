// Host strings: the length-prefixed allocator and the CfxBSTR owner.
//
// A host string is one block: [uint32 byte length][UTF-16 text][zero]. The
// BSTR points at the text, so it can be passed wherever zero-terminated
// UTF-16 is expected while its length (embedded zeros included) stays known.
#include "host/bstr.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <utility>

#include "cfx/cfx_host.h"

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

// A new holder owning `text`; frees the text if the holder cannot be made.
CfxBSTR::BSTRData* AdoptText(BSTR text) {
  try {
    return new CfxBSTR::BSTRData(text);
  } catch (...) {
    SysFreeString(text);
    throw;
  }
}

// A holder with a copy of the text; empty text shares the null holder.
CfxBSTR::BSTRData* HolderFor(const OLECHAR* text, std::size_t length) {
  if (text == nullptr || length == 0) return &CfxBSTR::nullBSTRData;
  if (length > kMaxLength) throw std::bad_alloc();
  BSTR copy = SysAllocStringLen(text, static_cast<std::uint32_t>(length));
  if (copy == nullptr) throw std::bad_alloc();
  return AdoptText(copy);
}

CfxBSTR::BSTRData* HolderForNarrow(std::string_view narrow) {
  const CfxWString wide = CfxNarrowToWide(narrow);
  return HolderFor(wide.data(), wide.size());
}

// A copy of a host string that keeps its full length; null stays null.
BSTR CopyText(BSTR text) {
  if (text == nullptr) return nullptr;
  BSTR copy = SysAllocStringLen(text, SysStringLen(text));
  if (copy == nullptr) throw std::bad_alloc();
  return copy;
}

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

// ---- CfxBSTR::BSTRData -------------------------------------------------------

CfxBSTR::BSTRData CfxBSTR::nullBSTRData;

// The null holder is shared by every empty string for the process's whole
// life, so it is never counted and never freed.
void CfxBSTR::BSTRData::AddRef() noexcept {
  if (this == &nullBSTRData) return;
  refs_.fetch_add(1, std::memory_order_relaxed);
}

void CfxBSTR::BSTRData::Release() noexcept {
  if (this == &nullBSTRData) return;
  if (refs_.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
}

bool CfxBSTR::BSTRData::IsShared() const noexcept {
  return this == &nullBSTRData || refs_.load(std::memory_order_acquire) > 1;
}

CfxBSTR::BSTRData::~BSTRData() { SysFreeString(text_); }

// ---- CfxBSTR -----------------------------------------------------------------

CfxBSTR::CfxBSTR() noexcept : data_(&nullBSTRData) {}

CfxBSTR::CfxBSTR(const OLECHAR* text) : CfxBSTR(HolderFor(text, text ? std::char_traits<OLECHAR>::length(text) : 0)) {}

CfxBSTR::CfxBSTR(const OLECHAR* text, std::size_t length) : CfxBSTR(HolderFor(text, length)) {}

CfxBSTR::CfxBSTR(CfxWStringView text) : CfxBSTR(HolderFor(text.data(), text.size())) {}

CfxBSTR::CfxBSTR(const char* narrow)
    : CfxBSTR(HolderForNarrow(narrow ? std::string_view(narrow) : std::string_view())) {}

CfxBSTR::CfxBSTR(const std::string& narrow) : CfxBSTR(HolderForNarrow(narrow)) {}

CfxBSTR::CfxBSTR(const CfxBSTR& other) noexcept : data_(other.data_) { data_->AddRef(); }

CfxBSTR::CfxBSTR(CfxBSTR&& other) noexcept : data_(std::exchange(other.data_, &nullBSTRData)) {}

CfxBSTR& CfxBSTR::operator=(const CfxBSTR& other) noexcept {
  other.data_->AddRef();
  data_->Release();
  data_ = other.data_;
  return *this;
}

CfxBSTR& CfxBSTR::operator=(CfxBSTR&& other) noexcept {
  if (this != &other) {
    data_->Release();
    data_ = std::exchange(other.data_, &nullBSTRData);
  }
  return *this;
}

CfxBSTR::~CfxBSTR() { data_->Release(); }

void CfxBSTR::CopyOnWrite() {
  if (!data_->IsShared()) return;
  BSTRData* own = AdoptText(CopyText(data_->text_));
  data_->Release();
  data_ = own;
}

BSTR* CfxBSTR::out() {
  if (data_->IsShared()) {
    // The text is about to be replaced, so there is nothing worth copying.
    BSTRData* own = new BSTRData();
    data_->Release();
    data_ = own;
  } else {
    SysFreeString(std::exchange(data_->text_, nullptr));
  }
  return &data_->text_;
}

BSTR CfxBSTR::Detach() {
  BSTR result = data_->IsShared() ? CopyText(data_->text_) : std::exchange(data_->text_, nullptr);
  data_->Release();
  data_ = &nullBSTRData;
  return result;
}

std::size_t CfxBSTR::Length() const noexcept { return SysStringLen(data_->text_); }

std::string CfxBSTR::ToString() const { return CfxWideToNarrow(View()); }

std::string CfxBSTR::ToTString() const { return ToString(); }

CfxWString CfxBSTR::ToWString() const { return CfxWString(View()); }
