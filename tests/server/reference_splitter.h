// The reference that ReadTemplate is checked against: the template reader's
// line rules applied to the whole file at once, with no buffer and no reads.
#pragma once

#include <cstddef>
#include <string>

namespace servertest {

// The reader's rules without a buffer: LF, CR, CR LF and a zero byte end a
// line, each line comes out followed by LF. At the end of the data the
// reader reads once more and hands out what it got: an empty line after a
// final LF, CR LF or zero byte, the text of an unterminated last line, and
// nothing after a final lone CR (its look for an LF already met the end).
// An empty file gives one empty line only when the stream says so at once.
inline std::string SplitLines(const std::string& bytes, bool eofBeforeRead) {
  if (bytes.empty()) return eofBeforeRead ? "\n" : "";
  std::string out;
  std::string line;
  bool endedByLoneCr = false;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c != '\n' && c != '\r' && c != '\0') {
      line += c;
      continue;
    }
    out += line + '\n';
    line.clear();
    endedByLoneCr = c == '\r';
    if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
      ++i;
      endedByLoneCr = false;
    }
  }
  if (!line.empty() || !endedByLoneCr) out += line + '\n';
  return out;
}

}  // namespace servertest
