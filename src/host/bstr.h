// Host strings: raw length-prefixed UTF-16 strings and their owner CfxBSTR.
//
// A BSTR points at UTF-16 text that is preceded by its length and followed by
// a zero; a null BSTR is the empty string. SysAllocString* allocate one,
// SysFreeString frees it. Every host operation that gives text out allocates
// it this way and the receiver frees it.
//
// CfxBSTR owns a host string through a shared, reference-counted holder
// (BSTRData). Copies share the holder; all empty strings share nullBSTRData.
// To let a host operation fill a CfxBSTR, call CopyOnWrite() and pass out():
//
//   CfxBSTR name;
//   name.CopyOnWrite();
//   CheckStatus(url->GetName(name.out()));
//
// Narrow text is UTF-8. Bytes that are not valid UTF-8 become the lone
// surrogates U+DC80..U+DCFF (one per byte) on the way in and turn back into
// the same bytes on the way out, so any byte string survives a round trip.
// A lone surrogate that did not come from such a byte becomes U+FFFD (EF BF BD).
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "host/host_api.h"

using OLECHAR = char16_t;
using BSTR = OLECHAR*;
using LPOLESTR = OLECHAR*;
// A wide literal of the host's character type: OLESTR("text").
#define OLESTR(text) u##text

// Wide text of the host's character type, owned and viewed.
using CfxWString = std::basic_string<OLECHAR>;
using CfxWStringView = std::basic_string_view<OLECHAR>;

// Allocation returns null when memory runs out.
CFX_API BSTR SysAllocString(const OLECHAR* text);
CFX_API BSTR SysAllocStringLen(const OLECHAR* text, std::uint32_t length);
CFX_API void SysFreeString(BSTR text) noexcept;
CFX_API std::uint32_t SysStringLen(BSTR text) noexcept;

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
    void Release() noexcept;  // frees text and holder with the last reference
    bool IsShared() const noexcept;

    BSTR text_ = nullptr;

   private:
    ~BSTRData();
    std::atomic<std::uint32_t> refs_{1};
    friend class CfxBSTR;
  };

  // The one holder of every empty string; never freed.
  static BSTRData nullBSTRData;

  CfxBSTR() noexcept;
  explicit CfxBSTR(const OLECHAR* text);  // up to the first zero; null is empty
  CfxBSTR(const OLECHAR* text, std::size_t length);
  explicit CfxBSTR(CfxWStringView text);
  explicit CfxBSTR(const char* narrow);         // UTF-8 up to the first zero; null is empty
  explicit CfxBSTR(const std::string& narrow);  // every byte, zero bytes included
  CfxBSTR(const CfxBSTR& other) noexcept;
  CfxBSTR(CfxBSTR&& other) noexcept;
  CfxBSTR& operator=(const CfxBSTR& other) noexcept;
  CfxBSTR& operator=(CfxBSTR&& other) noexcept;
  ~CfxBSTR();

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
  std::string ToTString() const;  // the application's code page, UTF-8 here
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

// Conversions between UTF-8 and UTF-16 used by CfxBSTR (rules above).
CFX_API CfxWString CfxNarrowToWide(std::string_view narrow);
CFX_API std::string CfxWideToNarrow(CfxWStringView wide);
