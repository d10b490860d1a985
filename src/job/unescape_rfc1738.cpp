// Decoding RFC 1738 escapes ("%" and two hexadecimal digits) in narrow text.
//
// One pass from left to right, compacting the text in place: every output
// byte is written once, so the cost is linear in the length. Text that an
// escape produces is never looked at again, and the byte right behind a '%'
// that does not start an escape is copied without being taken as the start
// of one.
#include <cstddef>

#include "ZarnServerJobUtils.h"

namespace AppUtils::Document {
namespace {

// The value of an ASCII hexadecimal digit, or -1 for any other byte.
constexpr int HexDigitValue(char byte) {
  if (byte >= '0' && byte <= '9') return byte - '0';
  if (byte >= 'a' && byte <= 'f') return byte - 'a' + 10;
  if (byte >= 'A' && byte <= 'F') return byte - 'A' + 10;
  return -1;
}

}  // namespace

std::string UnescapeRFC1738(std::string text) {
  const std::size_t length = text.size();
  std::size_t read = 0;
  std::size_t write = 0;
  while (read < length) {
    if (text[read] != '%' || read + 2 >= length) {
      text[write++] = text[read++];
      continue;
    }
    const int high = HexDigitValue(text[read + 1]);
    const int low = HexDigitValue(text[read + 2]);
    if (high >= 0 && low >= 0) {
      text[write++] = static_cast<char>(high * 16 + low);
      read += 3;
    } else {
      // Not an escape: the '%' and the byte behind it stay as they are.
      text[write++] = text[read++];
      text[write++] = text[read++];
    }
  }
  text.resize(write);
  return text;
}

}  // namespace AppUtils::Document
