// Host strings: raw length-prefixed wide strings and their owner CfxBSTR.
//
// A BSTR (com_types.h) points at UTF-16 text that is preceded by its length
// and followed by a zero; a null BSTR is the empty string. SysAllocString*
// allocate one, SysFreeString frees it. Every host operation that gives text
// out allocates it this way and the receiver frees it.
//
// CfxBSTR owns a host string through a shared, reference-counted holder
// (BSTRData). Copies share the holder; all empty strings share nullBSTRData.
// To let a host operation fill a CfxBSTR, call CopyOnWrite() and pass out():
//
//   CfxBSTR name;
//   name.CopyOnWrite();
//   CheckStatus(url->GetName(name.out()));
//
// Narrow text is in the application's code page: ToTString gives it and the
// narrow constructors read it. ToString always gives UTF-8. The code page is a
// setting of the framework (CfxSetApplicationCodePage):
//   - UTF-8, the default on Linux, is kept lossless: bytes that are not valid
//     UTF-8 become the lone surrogates U+DC80..U+DCFF (one per byte) on the
//     way in and turn back into the same bytes on the way out, so any byte
//     string survives a round trip. A lone surrogate that did not come from
//     such a byte becomes U+FFFD (EF BF BD).
//   - On Windows the default is the system's ANSI code page. In a single-byte
//     code page (Windows-1252 and the like) every byte is one character, so
//     any byte string survives a round trip as well. A wide character outside
//     the code page becomes '?', and in a multi-byte code page a byte that
//     does not form a character becomes the code page's replacement.
// CfxNarrowToWide and CfxWideToNarrow are the lossless UTF-8 rules on both
// platforms, for text that is UTF-8 whatever the code page.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "host/com_types.h"
#include "host/host_api.h"

// Wide text of the host's character type, owned and viewed.
using CfxWString = std::basic_string<OLECHAR>;
using CfxWStringView = std::basic_string_view<OLECHAR>;

ZARN_EXPORTED_CLASSES_BEGIN

class CFX_API CfxBSTR {
 public:
  // The shared holder of one host string.
  class CFX_API BSTRData {
   public:
    BSTRData() noexcept = default;
    explicit BSTRData(BSTR text) noexcept : text_(text) {}
    BSTRData(const BSTRData&) = delete;
    BSTRData& operator=(const BSTRData&) = delete;

    void AddRef() noexcept;
    inline void Release() noexcept;  // frees text and holder with the last reference (below)
    bool IsShared() const noexcept;

    BSTR text_ = nullptr;

   private:
    ~BSTRData() { SysFreeString(text_); }
    std::atomic<std::uint32_t> refs_{1};
    friend class CfxBSTR;
  };

  // The one holder of every empty string; never freed.
  static BSTRData nullBSTRData;

  CfxBSTR() noexcept;
  explicit CfxBSTR(const OLECHAR* text);  // up to the first zero; null is empty
  CfxBSTR(const OLECHAR* text, std::size_t length);
  explicit CfxBSTR(CfxWStringView text);
  explicit CfxBSTR(const char* narrow);         // up to the first zero; null is empty
  explicit CfxBSTR(const std::string& narrow);  // every byte, zero bytes included
  CfxBSTR(const CfxBSTR& other) noexcept;
  CfxBSTR(CfxBSTR&& other) noexcept;
  CfxBSTR& operator=(const CfxBSTR& other) noexcept;
  CfxBSTR& operator=(CfxBSTR&& other) noexcept;
  ~CfxBSTR() { data_->Release(); }

  // Gives this string a holder of its own, so that filling it cannot change
  // other strings. Throws std::bad_alloc.
  void CopyOnWrite();
  // The slot for a host operation to fill. Frees any text held first.
  BSTR* out();
  // The text to pass to a host operation; null when empty.
  BSTR in() const noexcept { return data_->text_; }
  operator const OLECHAR*() const noexcept { return data_->text_; }
  // Gives up ownership: the caller frees the result with SysFreeString.
  BSTR Detach();

  std::size_t Length() const noexcept;
  bool IsEmpty() const noexcept { return Length() == 0; }

  std::string ToString() const;   // UTF-8
  std::string ToTString() const;  // the application's code page
  CfxWString ToWString() const;

  friend bool operator==(const CfxBSTR& a, CfxWStringView b) noexcept { return a.View() == b; }
  friend bool operator==(const CfxBSTR& a, const OLECHAR* b) noexcept {
    return a.View() == CfxWStringView(b ? b : OLESTR(""));
  }
  CfxWStringView View() const noexcept { return {data_->text_ ? data_->text_ : OLESTR(""), Length()}; }

 private:
  explicit CfxBSTR(BSTRData* data) noexcept : data_(data) {}
  BSTRData* data_;
};

// The last release is inline: a string is freed, with the platform's
// SysFreeString, by the module that holds it, as it would be by the
// component model's own string owners.
inline void CfxBSTR::BSTRData::Release() noexcept {
  // The null holder is shared by every empty string for the process's whole
  // life, so it is never counted and never freed.
  if (this == &nullBSTRData) return;
  if (refs_.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
}

// Lossless conversions between UTF-8 and UTF-16 (rules above).
CFX_API CfxWString CfxNarrowToWide(std::string_view narrow);
CFX_API std::string CfxWideToNarrow(CfxWStringView wide);

// Conversions between the application's code page and UTF-16, the ones
// CfxBSTR uses (rules above).
CFX_API CfxWString CfxCodePageToWide(std::string_view narrow);
CFX_API std::string CfxWideToCodePage(CfxWStringView wide);

ZARN_EXPORTED_CLASSES_END
