// ReadTemplate over the fake host's file stream against the reference line
// splitter. The input's first bytes choose how the stream delivers the file:
//   byte 0: bit 0 set: the stream reports end of file right after Open when
//           the file is empty; bits 1-3: how many read sizes follow (0: reads
//           are limited only by the reader's buffer);
//   then two bytes per read size (little endian, taken modulo 1000, plus 1);
//   the rest is the file.
// Every run must also give back every reference and host string.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "server/reference_splitter.h"
#include "server/template_host.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const bool eofBeforeRead = (data[0] & 1) != 0;
  const std::size_t sizes = (data[0] >> 1) & 7;
  std::size_t at = 1;
  std::vector<std::uint32_t> chunks;
  for (std::size_t i = 0; i < sizes && at + 1 < size; ++i, at += 2) {
    chunks.push_back((static_cast<std::uint32_t>(data[at]) | static_cast<std::uint32_t>(data[at + 1]) << 8) % 1000 + 1);
  }
  const std::string bytes(reinterpret_cast<const char*>(data) + at, size - at);

  servertest::TemplateHost t;
  if (t.Read(bytes, chunks, eofBeforeRead) != servertest::SplitLines(bytes, eofBeforeRead)) std::abort();
  if (!t.host.Balanced()) std::abort();
  return 0;
}
