// The application's code page: the narrow text of ToTString and of the
// narrow CfxBSTR constructors.
//
// UTF-8 (65001) is the default and keeps the lossless rules of unicode.cpp.
// Windows-1252 (1252) maps every byte to one UTF-16 unit and back: the five
// bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand
// for the C1 controls of the same value, as Windows' own conversion does, so
// any byte string still survives a round trip. A character outside the code
// page becomes '?' on the way out.
#include <array>
#include <atomic>
#include <stdexcept>
#include <string>
#include <string_view>

#include "cfx/cfx_host.h"

namespace {

std::atomic<std::uint32_t> applicationCodePage{kCfxCodePageUtf8};

// Windows-1252 for the bytes 0x80..0x9F; every other byte is its own code point.
constexpr std::array<char16_t, 32> kWindows1252High{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

std::u16string Windows1252ToWide(std::string_view narrow) {
  std::u16string wide;
  wide.reserve(narrow.size());
  for (const char c : narrow) {
    const auto byte = static_cast<unsigned char>(c);
    wide += byte >= 0x80 && byte <= 0x9F ? kWindows1252High[byte - 0x80] : static_cast<char16_t>(byte);
  }
  return wide;
}

char WideToWindows1252(char16_t c) noexcept {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (std::size_t i = 0; i < kWindows1252High.size(); ++i) {
    if (kWindows1252High[i] == c) return static_cast<char>(0x80 + i);
  }
  return '?';
}

}  // namespace

void CfxSetApplicationCodePage(std::uint32_t codePage) {
  if (codePage != kCfxCodePageUtf8 && codePage != kCfxCodePageWindows1252) {
    throw std::invalid_argument("unsupported application code page " + std::to_string(codePage));
  }
  applicationCodePage.store(codePage, std::memory_order_relaxed);
}

std::uint32_t CfxApplicationCodePage() noexcept { return applicationCodePage.load(std::memory_order_relaxed); }

std::u16string CfxCodePageToWide(std::string_view narrow) {
  if (CfxApplicationCodePage() == kCfxCodePageUtf8) return CfxNarrowToWide(narrow);
  return Windows1252ToWide(narrow);
}

std::string CfxWideToCodePage(std::u16string_view wide) {
  if (CfxApplicationCodePage() == kCfxCodePageUtf8) return CfxWideToNarrow(wide);
  std::string narrow;
  narrow.reserve(wide.size());
  for (const char16_t c : wide) narrow += WideToWindows1252(c);
  return narrow;
}
