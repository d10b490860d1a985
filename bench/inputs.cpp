#include "inputs.h"

#include <random>
#include <string_view>

namespace zarnbench {
namespace {

// Bytes that URL text carries besides escapes; no '%'.
constexpr std::string_view kUrlBytes = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-._~/+=&;:";
constexpr std::string_view kHexDigits = "0123456789abcdefABCDEF";
// Template lines: printable text without '%' rules of any kind.
constexpr std::string_view kLineBytes =
    " abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789=,.;:()[]{}<>-+*/\"'";

// A cheap generator: the inputs are 64 MiB each, made at every start.
using Random = std::minstd_rand;

char Pick(Random& random, std::string_view from) { return from[random() % from.size()]; }

}  // namespace

const char* NameOf(Escapes kind) {
  switch (kind) {
    case Escapes::kNone: return "no-escapes";
    case Escapes::kSparse: return "1%-escapes";
    case Escapes::kDense: return "third-escapes";
  }
  return "?";
}

std::string UnescapeInput(Escapes kind, std::size_t size) {
  std::string text;
  text.reserve(size);
  if (kind == Escapes::kDense) {
    while (text.size() < size) text += "%41";
    text.resize(size);
    return text;
  }
  Random random(1738);
  while (text.size() < size) {
    if (kind == Escapes::kSparse && random() % 100 == 0) {
      text += '%';
      text += Pick(random, kHexDigits);
      // One '%' in fifty starts no escape; the byte behind it is no '%'.
      text += random() % 50 == 0 ? Pick(random, "ghxyz") : Pick(random, kHexDigits);
    } else {
      text += Pick(random, kUrlBytes);
    }
  }
  // Cutting the tail off cannot put a '%' right behind another.
  text.resize(size);
  return text;
}

std::string TemplateText(std::size_t size, bool crlf) {
  Random random(3101);
  const std::string_view end = crlf ? "\r\n" : "\n";
  std::string text;
  text.reserve(size);
  for (;;) {
    const std::size_t bytes = 50 + random() % 21;
    if (text.size() + bytes + end.size() > size) break;
    for (std::size_t i = 0; i < bytes; ++i) text += Pick(random, kLineBytes);
    text += end;
  }
  return text;
}

}  // namespace zarnbench
