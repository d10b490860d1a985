// Decoding RFC 1738 escapes ("%" and two hexadecimal digits) in narrow text.
//
// One pass from left to right, compacting the text in place: every output
// byte is written once, so the cost is linear in the length. The bytes
// between two '%' are found with memchr and moved as one block, so text
// with few escapes costs little more than a scan. Text that an escape
// produces is never looked at again, and the byte right behind a '%' that
// does not start an escape is copied without being taken as the start of
// one.
#include <array>
#include <cstddef>
#include <cstring>

#include "ZarnServerJobUtils.h"

namespace AppUtils::Document {
namespace {

// The value of each byte as an ASCII hexadecimal digit, or -1 for any other.
constexpr std::array<signed char, 256> kHexValue = [] {
  std::array<signed char, 256> values{};
  for (int byte = 0; byte < 256; ++byte) {
    if (byte >= '0' && byte <= '9')
      values[byte] = static_cast<signed char>(byte - '0');
    else if (byte >= 'a' && byte <= 'f')
      values[byte] = static_cast<signed char>(byte - 'a' + 10);
    else if (byte >= 'A' && byte <= 'F')
      values[byte] = static_cast<signed char>(byte - 'A' + 10);
    else
      values[byte] = -1;
  }
  return values;
}();

int HexValue(char byte) { return kHexValue[static_cast<unsigned char>(byte)]; }

// The position of the first '%' at or after `from`, or `length`. A '%' right
// at `from` (as in runs of escapes) is seen without a call.
std::size_t NextPercent(const char* data, std::size_t from, std::size_t length) {
  if (from >= length || data[from] == '%') return from;
  const void* found = std::memchr(data + from, '%', length - from);
  return found ? static_cast<std::size_t>(static_cast<const char*>(found) - data) : length;
}

}  // namespace

std::string UnescapeRFC1738(std::string text) {
  char* const data = text.data();
  const std::size_t length = text.size();
  // Nothing before the first '%' moves.
  std::size_t read = NextPercent(data, 0, length);
  std::size_t write = read;
  // Here data[read] is a '%' with two bytes behind it.
  while (read + 2 < length) {
    // Escapes in a row are decoded without looking for the next '%'.
    do {
      const int high = HexValue(data[read + 1]);
      const int low = HexValue(data[read + 2]);
      if ((high | low) < 0) break;
      data[write++] = static_cast<char>(high * 16 + low);
      read += 3;
    } while (read + 2 < length && data[read] == '%');
    if (read + 2 >= length) break;
    if (data[read] == '%') {
      // Not an escape: the '%' and the byte behind it stay as they are.
      data[write++] = '%';
      data[write++] = data[read + 1];
      read += 2;
    }
    const std::size_t next = NextPercent(data, read, length);
    if (next != read) {
      std::memmove(data + write, data + read, next - read);
      write += next - read;
      read = next;
    }
  }
  // Fewer than two bytes follow any '%' from here on: the rest stays.
  if (read < length) {
    std::memmove(data + write, data + read, length - read);
    write += length - read;
  }
  text.resize(write);
  return text;
}

}  // namespace AppUtils::Document
