// The inputs of the benchmarks, made the same way on every run (fixed seeds).
#pragma once

#include <cstddef>
#include <string>

namespace zarnbench {

constexpr std::size_t kMiB = 1024 * 1024;

// Text for percent-decoding. None: no '%' at all. Sparse: about one escape
// per hundred bytes, and now and then a '%' that starts no escape (never
// followed by another '%', the one case where libcurl decodes and we do
// not). Dense: "%41" repeated, one third of the bytes are escapes.
enum class Escapes { kNone, kSparse, kDense };
std::string UnescapeInput(Escapes kind, std::size_t size);
const char* NameOf(Escapes kind);

// Template text of lines of 50 to 70 printable bytes, each ended by LF or
// by CR LF; cut off at a line end at or before `size`.
std::string TemplateText(std::size_t size, bool crlf);

}  // namespace zarnbench
