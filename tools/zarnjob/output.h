// Results go to stdout one line at a time, so that they interleave with the
// trace on stderr in the order things happened.
#pragma once

#include <cstdio>
#include <string_view>

namespace zarnjob {

inline void WriteBytes(std::string_view bytes) {
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  std::fflush(stdout);
}

inline void PrintLine(std::string_view line) {
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

}  // namespace zarnjob
