// The textbook erase-in-a-loop decoder: find a '%', write the escape's value
// over it and erase the two digits behind it. Every erase moves the rest of
// the text, so the cost grows with the square of the length; it is timed
// beside ours to show what the one-pass decoder saves.
#pragma once

#include <string>

namespace zarnbench {

inline int TextbookDigit(char byte) {
  if (byte >= '0' && byte <= '9') return byte - '0';
  if (byte >= 'a' && byte <= 'f') return byte - 'a' + 10;
  if (byte >= 'A' && byte <= 'F') return byte - 'A' + 10;
  return -1;
}

inline std::string TextbookUnescape(std::string text) {
  std::size_t p = text.find('%');
  while (p != std::string::npos && p + 2 < text.size()) {
    const int high = TextbookDigit(text[p + 1]);
    const int low = TextbookDigit(text[p + 2]);
    if (high >= 0 && low >= 0) {
      text[p] = static_cast<char>(high * 16 + low);
      text.erase(p + 1, 2);
      p = text.find('%', p + 1);
    } else {
      p = text.find('%', p + 2);
    }
  }
  return text;
}

}  // namespace zarnbench
