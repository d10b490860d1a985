// CfxBSTR: the shared, reference-counted owner of a host string.
#include "host/bstr.h"

#include <cstdint>
#include <limits>
#include <new>
#include <utility>

#include "cfx/cfx_host.h"

namespace {

// A host string's length has to fit its 32-bit byte count.
constexpr std::size_t kMaxLength = std::numeric_limits<std::uint32_t>::max() / sizeof(OLECHAR) - 1;

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
  const CfxWString wide = CfxCodePageToWide(narrow);
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

// ---- CfxBSTR::BSTRData -------------------------------------------------------

CfxBSTR::BSTRData CfxBSTR::nullBSTRData;

// The null holder is shared by every empty string for the process's whole
// life, so it is never counted and never freed.
void CfxBSTR::BSTRData::AddRef() noexcept {
  if (this == &nullBSTRData) return;
  refs_.fetch_add(1, std::memory_order_relaxed);
}

bool CfxBSTR::BSTRData::IsShared() const noexcept {
  return this == &nullBSTRData || refs_.load(std::memory_order_acquire) > 1;
}

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

std::string CfxBSTR::ToTString() const { return CfxWideToCodePage(View()); }

CfxWString CfxBSTR::ToWString() const { return CfxWString(View()); }
