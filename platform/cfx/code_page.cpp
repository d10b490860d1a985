// The application's code page: the narrow text of ToTString and of the
// narrow CfxBSTR constructors.
//
// The system's code page is the default (system_code_page.h). UTF-8 (65001)
// keeps the lossless rules of unicode.cpp on every platform.
// Windows-1252 (1252) maps every byte to one UTF-16 unit and back: the five
// bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand
// for the C1 controls of the same value, as Windows' own conversion does, so
// any byte string still survives a round trip. A character outside the code
// page becomes '?' on the way out. Any other code page, which only Windows
// can have as its own, is converted by the system.
#include <array>
#include <atomic>
#include <stdexcept>
#include <string>
#include <string_view>

#include "cfx/cfx_host.h"
#include "cfx/system_code_page.h"

namespace {

// Zero until a code page is set: the system's code page then.
std::atomic<std::uint32_t> applicationCodePage{0};

// Windows-1252 for the bytes 0x80..0x9F; every other byte is its own code point.
constexpr std::array<OLECHAR, 32> kWindows1252High{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

CfxWString Windows1252ToWide(std::string_view narrow) {
  CfxWString wide;
  wide.reserve(narrow.size());
  for (const char c : narrow) {
    const auto byte = static_cast<unsigned char>(c);
    wide += byte >= 0x80 && byte <= 0x9F ? kWindows1252High[byte - 0x80] : static_cast<OLECHAR>(byte);
  }
  return wide;
}

char WideToWindows1252(OLECHAR c) noexcept {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (std::size_t i = 0; i < kWindows1252High.size(); ++i) {
    if (kWindows1252High[i] == c) return static_cast<char>(0x80 + i);
  }
  return '?';
}

}  // namespace

void CfxSetApplicationCodePage(std::uint32_t codePage) {
  if (codePage != kCfxCodePageUtf8 && codePage != kCfxCodePageWindows1252 && codePage != CfxSystemCodePage()) {
    throw std::invalid_argument("unsupported application code page " + std::to_string(codePage));
  }
  applicationCodePage.store(codePage, std::memory_order_relaxed);
}

std::uint32_t CfxApplicationCodePage() noexcept {
  const std::uint32_t chosen = applicationCodePage.load(std::memory_order_relaxed);
  return chosen != 0 ? chosen : CfxSystemCodePage();
}

CfxWString CfxCodePageToWide(std::string_view narrow) {
  const std::uint32_t codePage = CfxApplicationCodePage();
  if (codePage == kCfxCodePageUtf8) return CfxNarrowToWide(narrow);
  if (codePage == kCfxCodePageWindows1252) return Windows1252ToWide(narrow);
  return CfxSystemCodePageToWide(codePage, narrow);
}

std::string CfxWideToCodePage(CfxWStringView wide) {
  const std::uint32_t codePage = CfxApplicationCodePage();
  if (codePage == kCfxCodePageUtf8) return CfxWideToNarrow(wide);
  if (codePage != kCfxCodePageWindows1252) return CfxWideToSystemCodePage(codePage, wide);
  std::string narrow;
  narrow.reserve(wide.size());
  for (const OLECHAR c : wide) narrow += WideToWindows1252(c);
  return narrow;
}
