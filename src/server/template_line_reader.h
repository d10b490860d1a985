// TemplateLineReader: reads a template file line by line through the host's
// file stream, in blocks of at most 1000 bytes into one buffer.
//
// A line ends at LF, CR, CR LF (one terminator) or a zero byte. Lines are
// handed out in place: a pointer into the buffer, the terminator overwritten
// by a zero byte, valid until the next ReadLine. Nothing is copied per line.
//
// A line that does not fit the buffer (1000 bytes or more), or a last line
// that the buffered data ends in, comes out in pieces: ReadLine then gives
// no line while the end is not reached, Unfinished() holds the piece, and
// the next ReadLine carries on with the same line.
//
//   TemplateLineReader reader;
//   reader.OpenFile(path);
//   while (!reader.AtEnd()) {
//     if (const char* line = reader.ReadLine()) use(line), endLine();
//     else use(reader.Unfinished());
//   }
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "host/file_stream.h"

namespace zarn {

class TemplateLineReader {
 public:
  static constexpr std::size_t kBufferSize = 1000;

  // Raises std::bad_alloc when the buffer cannot be had.
  TemplateLineReader();
  TemplateLineReader(const TemplateLineReader&) = delete;
  TemplateLineReader& operator=(const TemplateLineReader&) = delete;
  ~TemplateLineReader();

  // Opens the file for reading in binary mode. True when the first block was
  // read, false when the stream reported end of file at once. Raises what
  // the stream raises.
  bool OpenFile(const std::string& path);

  // The next line, or null: at the end, or when only a piece of a line was
  // available (see Unfinished).
  const char* ReadLine();

  // The length of the line that the latest ReadLine gave out (its bytes up
  // to the zero byte), so that a caller need not measure it again.
  std::size_t LineLength() const noexcept { return lineLength_; }

  // The piece of a line that the latest ReadLine gave out instead of a line;
  // empty otherwise. Valid until the next ReadLine.
  std::string_view Unfinished() const noexcept { return unfinished_; }

  bool AtEnd() const noexcept { return atEnd_; }

  // Closes the stream once; whatever the stream raises is dropped. Also done
  // on destruction.
  void Close() noexcept;

 private:
  // Zeroes the buffer from `offset` on and reads into that part.
  void Refill(std::size_t offset);
  // Moves the bytes from `start` up to the cursor to the buffer start and
  // reads into the rest; the cursor then stands after the moved bytes.
  void ShiftAndRefill(std::size_t start);
  // A refill at the buffer start when the cursor stands at the data end.
  void RefillIfDrained();
  // After a line ended by CR: swallows an LF right behind it, reading on when
  // the CR was the last byte of the data. Gives where the line starts now.
  std::size_t SwallowLfAfterCr(std::size_t start);

  // Where one search for a byte from `from` to the data end found it (the
  // data end when it is not there). CR and zero bytes are rare in a
  // template, so one search for each serves many lines. A refill forgets
  // it; the zero bytes the reader writes lie behind the cursor, where no
  // later search starts.
  struct Search {
    std::size_t from = 0;
    std::size_t at = 0;
    bool known = false;
  };
  // The first `byte` at or after `from` (at most the data end), reusing the
  // last search when it covers `from`.
  std::size_t NextOf(char byte, Search& search, std::size_t from);
  // The first line terminator (LF, CR or a zero byte) at or after `from`,
  // which lies before the data end, or the data end when there is none.
  std::size_t FindTerminator(std::size_t from);

  std::unique_ptr<char[]> buffer_;
  std::size_t cursor_ = 0;
  std::size_t dataEnd_ = 0;
  std::size_t lineLength_ = 0;
  CfxFileStream stream_;
  bool atEnd_ = false;
  // A CR ended a line that filled the whole buffer; an LF right after it
  // belongs to that terminator and is skipped by the next ReadLine.
  bool swallowLf_ = false;
  bool closed_ = false;
  std::string_view unfinished_;
  Search nextCr_;
  Search nextZero_;
};

}  // namespace zarn
