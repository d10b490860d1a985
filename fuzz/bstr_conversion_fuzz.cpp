// The narrow-to-wide-to-narrow conversions of CfxBSTR. Narrow text is UTF-8:
//   - any byte string comes back byte for byte (bytes that are not valid
//     UTF-8 travel as the lone surrogates U+DC80..U+DCFF);
//   - valid UTF-8 becomes exactly its UTF-16, as a plain decoder gives it;
//   - wide text that is well-formed UTF-16 comes back unit for unit, and any
//     wide text converts without a fault.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "host/bstr.h"

namespace {

// Plain UTF-8 decoding to UTF-16, or nothing when the bytes are not valid
// UTF-8 (overlong forms, surrogates and code points above U+10FFFF included).
std::optional<std::u16string> Utf16Of(const std::string& bytes) {
  std::u16string out;
  for (std::size_t i = 0; i < bytes.size();) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    const std::size_t length = lead < 0x80         ? 1
                               : (lead >> 5) == 6  ? 2
                               : (lead >> 4) == 14 ? 3
                               : (lead >> 3) == 30 ? 4
                                                   : 0;
    if (length == 0 || i + length > bytes.size()) return std::nullopt;
    char32_t c = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(bytes[i + k]);
      if ((next >> 6) != 2) return std::nullopt;
      c = (c << 6) | (next & 0x3F);
    }
    static const char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kSmallest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
    if (c >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
    i += length;
  }
  return out;
}

bool WellFormed(const std::u16string& wide) {
  for (std::size_t i = 0; i < wide.size(); ++i) {
    if (wide[i] >= 0xD800 && wide[i] <= 0xDBFF) {
      if (i + 1 == wide.size() || wide[i + 1] < 0xDC00 || wide[i + 1] > 0xDFFF) return false;
      ++i;
    } else if (wide[i] >= 0xDC00 && wide[i] <= 0xDFFF) {
      return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string narrow(reinterpret_cast<const char*>(data), size);
  const CfxBSTR text(narrow);
  if (text.ToString() != narrow || text.ToTString() != narrow) std::abort();
  if (const auto utf16 = Utf16Of(narrow); utf16 && text.ToWString() != *utf16) std::abort();

  std::u16string wide(size / 2, u'\0');
  for (std::size_t i = 0; i < wide.size(); ++i) wide[i] = static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8);
  const CfxBSTR fromWide(wide);
  const std::string back = fromWide.ToString();
  if (WellFormed(wide) && CfxBSTR(back).ToWString() != wide) std::abort();
  return 0;
}
