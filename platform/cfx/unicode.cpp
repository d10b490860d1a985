// UTF-8 <-> UTF-16 for host strings, lossless for any byte string.
//
// A byte that does not begin a valid, complete, shortest-form sequence is
// carried as the lone surrogate U+DC00 + byte (always U+DC80..U+DCFF, since
// ASCII bytes are always valid) and turned back into that byte on the way out.
#include <cstdint>
#include <string>
#include <string_view>

#include "host/bstr.h"

namespace {

constexpr OLECHAR kEscapeBase = 0xDC00;

constexpr bool IsHighSurrogate(char32_t c) noexcept { return c >= 0xD800 && c <= 0xDBFF; }
constexpr bool IsLowSurrogate(char32_t c) noexcept { return c >= 0xDC00 && c <= 0xDFFF; }
constexpr bool IsEscapedByte(OLECHAR c) noexcept { return c >= 0xDC80 && c <= 0xDCFF; }

// Length of the valid sequence starting at `at` and its code point; 0 when
// the byte there does not begin one. The allowed range of the second byte
// excludes overlong forms, surrogates and code points above U+10FFFF.
std::size_t DecodeSequence(std::string_view text, std::size_t at, char32_t& codePoint) noexcept {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  if (lead < 0x80) {
    codePoint = lead;
    return 1;
  }
  std::size_t length = 0;
  unsigned char secondLow = 0x80;
  unsigned char secondHigh = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    codePoint = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    codePoint = lead & 0x0F;
    if (lead == 0xE0) secondLow = 0xA0;
    if (lead == 0xED) secondHigh = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    codePoint = lead & 0x07;
    if (lead == 0xF0) secondLow = 0x90;
    if (lead == 0xF4) secondHigh = 0x8F;
  } else {
    return 0;
  }
  if (text.size() - at < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    const unsigned char next = byte(at + i);
    const unsigned char low = i == 1 ? secondLow : 0x80;
    const unsigned char high = i == 1 ? secondHigh : 0xBF;
    if (next < low || next > high) return 0;
    codePoint = (codePoint << 6) | (next & 0x3F);
  }
  return length;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

CfxWString CfxNarrowToWide(std::string_view narrow) {
  CfxWString wide;
  wide.reserve(narrow.size());
  std::size_t at = 0;
  while (at < narrow.size()) {
    char32_t c = 0;
    const std::size_t length = DecodeSequence(narrow, at, c);
    if (length == 0) {
      wide += static_cast<OLECHAR>(kEscapeBase + static_cast<unsigned char>(narrow[at]));
      ++at;
      continue;
    }
    if (c >= 0x10000) {
      c -= 0x10000;
      wide += static_cast<OLECHAR>(0xD800 + (c >> 10));
      wide += static_cast<OLECHAR>(0xDC00 + (c & 0x3FF));
    } else {
      wide += static_cast<OLECHAR>(c);
    }
    at += length;
  }
  return wide;
}

std::string CfxWideToNarrow(CfxWStringView wide) {
  std::string narrow;
  narrow.reserve(wide.size());
  for (std::size_t at = 0; at < wide.size(); ++at) {
    const OLECHAR c = wide[at];
    if (IsHighSurrogate(c) && at + 1 < wide.size() && IsLowSurrogate(wide[at + 1])) {
      AppendUtf8(narrow, 0x10000 + ((char32_t{c} - 0xD800) << 10) + (char32_t{wide[at + 1]} - 0xDC00));
      ++at;
    } else if (IsEscapedByte(c)) {
      narrow += static_cast<char>(c - kEscapeBase);
    } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
      AppendUtf8(narrow, 0xFFFD);
    } else {
      AppendUtf8(narrow, c);
    }
  }
  return narrow;
}
