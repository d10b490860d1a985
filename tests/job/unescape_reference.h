// The reference that UnescapeRFC1738 is checked against.
#pragma once

#include <cstddef>
#include <string>

namespace jobtest {

// The decoding as a plain sequence of searches and in-place replacements:
// each escape's value replaces its '%' and the two digits are erased.
inline bool IsHexDigit(char byte) {
  return (byte >= '0' && byte <= '9') || (byte >= 'a' && byte <= 'f') || (byte >= 'A' && byte <= 'F');
}
inline int DigitValue(char byte) {
  if (byte <= '9') return byte - '0';
  return (byte | 0x20) - 'a' + 10;
}
inline std::string SearchAndEraseDecoding(std::string text) {
  std::size_t p = text.find('%');
  while (p != std::string::npos) {
    if (p + 2 >= text.size()) break;
    if (IsHexDigit(text[p + 1]) && IsHexDigit(text[p + 2])) {
      text[p] = static_cast<char>(16 * DigitValue(text[p + 1]) + DigitValue(text[p + 2]));
      text.erase(p + 1, 2);
      p = text.find('%', p + 1);
    } else {
      p = text.find('%', p + 2);
    }
  }
  return text;
}

}  // namespace jobtest
